#include "kestrel/TapBlock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string checksumOf(std::string_view bytes)
{
    char out[3];
    TapBlock::checksum(bytes.data(), bytes.size(), out);
    return std::string(out, 3);
}

std::string blocksOf(std::int32_t pagerId, std::string_view text, bool transChars,
                     std::vector<std::string>* each = nullptr)
{
    TapBlock block;
    block.begin(pagerId, text, transChars);
    std::string all;
    while (block.buildNext()) {
        const std::string one(block.data(), block.size());
        all += one;
        if (each != nullptr) {
            each->push_back(one);
        }
    }
    return all;
}

// The encoded text of a single-block message: between the identifier's CR and CR ETX.
std::string encodedText(std::string_view text, bool transChars)
{
    const std::string block = blocksOf(7, text, transChars);
    const std::size_t start = block.find('\r') + 1;
    return block.substr(start, block.size() - start - 6);
}

TEST(TapBlockTest, BlockFor1234AndHiIsByteExact)
{
    const std::string expected("\x02"
                               "1234\rHI\r\x03"
                               "17:\r");
    EXPECT_EQ(blocksOf(1234, "HI", true), expected);
}

TEST(TapBlockTest, ChecksumSumsLowSevenBitsModulo4096)
{
    EXPECT_EQ(checksumOf(std::string("\x02\x31\x32\x33\x34\x0d\x48\x49\x0d\x03")), "17:");
    EXPECT_EQ(checksumOf(""), "000");
    // The eighth bit does not count: 0xC1 adds as 0x41.
    EXPECT_EQ(checksumOf("\xc1"), checksumOf("A"));
    // 0x7F * 33 = 4191 = 4096 + 95: the sum wraps at 4096.
    EXPECT_EQ(checksumOf(std::string(33, '\x7f')), "05?");
    // 0x7F * 32 + 0x1F = 4095: every group at its highest, "?".
    EXPECT_EQ(checksumOf(std::string(32, '\x7f') + "\x1f"), "???");
}

TEST(TapBlockTest, PagerIdentifierIsWrittenUnsigned)
{
    EXPECT_EQ(blocksOf(-5, "", true).substr(0, 12),
              "\x02"
              "4294967291\r");
    EXPECT_EQ(blocksOf(0, "", true).substr(0, 3),
              "\x02"
              "0\r");
}

TEST(TapBlockTest, EmptyTextGivesIdentifierCrCrEtx)
{
    const std::string block = blocksOf(7, "", true);
    const std::string head("\x02"
                           "7\r\r\x03");
    ASSERT_EQ(block.size(), head.size() + 4);
    EXPECT_EQ(block.substr(0, head.size()), head);
    EXPECT_EQ(block.substr(head.size(), 3), checksumOf(head));
    EXPECT_EQ(block.back(), '\r');
}

struct EncodingCase
{
    std::string text;
    bool transChars;
    std::string encoded;
};

class TapBlockEncodingTest : public ::testing::TestWithParam<EncodingCase>
{ };

TEST_P(TapBlockEncodingTest, EncodesTextBytes)
{
    EXPECT_EQ(encodedText(GetParam().text, GetParam().transChars), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, TapBlockEncodingTest,
    ::testing::Values(EncodingCase {"Hello ~!", true, "Hello ~!"},
                      EncodingCase {"\x7f", true, "\x7f"}, EncodingCase {"a\rb", true, "a\x1aMb"},
                      EncodingCase {"a\rb", false, "a?b"},
                      EncodingCase {std::string(1, '\0'), true, "\x1a@"},
                      EncodingCase {"\x1f", true, "\x1a_"}, EncodingCase {"\xe9", true, "\x1a\x29"},
                      EncodingCase {"\xe9", false, "?"}, EncodingCase {"\x80", true, "\x1a\xc0"},
                      EncodingCase {"\xbf", true, "\x1a\xff"},
                      // Their escape would be a raw control byte (0xC3 → ETX): "?" instead.
                      EncodingCase {"\xc0\xc3\xdf", true, "???"},
                      EncodingCase {"\xe0\xff", true, "\x1a\x20\x1a\x3f"}));

TEST(TapBlockTest, TextThatFitsStaysInOneBlock)
{
    std::vector<std::string> blocks;
    blocksOf(99, std::string(511, 'x'), true, &blocks);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].size(), 1u + 2 + 1 + 511 + 2 + 3 + 1);
    EXPECT_EQ(blocks[0][blocks[0].size() - 5], '\x03');
}

TEST(TapBlockTest, LongTextContinuesInBlocksEndingWithUs)
{
    const std::string text = std::string(511, 'a') + std::string(511, 'b') + "cc";
    std::vector<std::string> blocks;
    blocksOf(42, text, true, &blocks);
    ASSERT_EQ(blocks.size(), 3u);

    const std::string first = "\x02"
                              "42\r"
        + std::string(511, 'a') + "\x1f";
    EXPECT_EQ(blocks[0], first + checksumOf(first) + "\r");
    // A continuation block does not repeat the identifier.
    const std::string second = "\x02" + std::string(511, 'b') + "\x1f";
    EXPECT_EQ(blocks[1], second + checksumOf(second) + "\r");
    const std::string last = "\x02"
                             "cc\r\x03";
    EXPECT_EQ(blocks[2], last + checksumOf(last) + "\r");
}

TEST(TapBlockTest, EscapePairIsNeverSplitBetweenBlocks)
{
    // 255 escape pairs fill 510 bytes; the next pair would need 512.
    const std::string text = std::string(256, '\r');
    std::vector<std::string> blocks;
    blocksOf(1, text, true, &blocks);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].size(), 1u + 2 + 510 + 1 + 4);
    EXPECT_EQ(blocks[1], std::string("\x02\x1aM\r\x03") + checksumOf("\x02\x1aM\r\x03") + "\r");
}

TEST(TapBlockTest, NoBlockExceedsTheBufferAndAbandonStops)
{
    TapBlock block;
    const std::string text(5000, '\x01');
    block.begin(-1, text, true);
    int count = 0;
    while (block.buildNext()) {
        EXPECT_LE(block.size(), TapBlock::capacity);
        EXPECT_EQ(block.isFirst(), count == 0);
        ++count;
        if (count == 3) {
            block.abandon();
        }
    }
    EXPECT_EQ(count, 3);
    EXPECT_FALSE(block.hasMore());
}

} // namespace
