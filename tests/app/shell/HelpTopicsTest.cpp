#include "shell/HelpIndex.h"
#include "text/StringTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

// The program's own topic files, as the build bundles them.
HelpIndex programTopics()
{
    HelpIndex index;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(NORVANE_HELP_TOPICS_DIR)) {
        if (entry.path().extension() == ".topics") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    EXPECT_FALSE(files.empty());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_TRUE(index.addSource(text.str(), file.filename().string())) << index.lastErrorText();
    }
    return index;
}

TEST(ProgramHelpTopics, EveryMessageHasItsTopicByNumberAndByKey)
{
    const HelpIndex index = programTopics();
    for (const StringEntry& entry : StringTable::all()) {
        const auto context = static_cast<std::uint32_t>(StringTable::errorCode(entry.id));
        const HelpTopic* byNumber = index.byContext(context);
        ASSERT_NE(byNumber, nullptr) << "message " << entry.id << " has no topic";
        EXPECT_FALSE(byNumber->body.empty());
        if (!entry.helpKey.empty()) {
            EXPECT_EQ(index.byKey(entry.helpKey), byNumber) << entry.helpKey;
        }
    }
}

TEST(ProgramHelpTopics, NoDeadLinkAndEveryTopicReachableFromTheContents)
{
    HelpIndex index = programTopics();
    ASSERT_TRUE(index.checkLinks()) << index.lastErrorText();
    // Walk the pages from the contents as a reader would, following every topic link.
    std::set<std::string> seen;
    std::vector<std::string> toVisit {std::string(HelpIndex::contentsKey)};
    while (!toVisit.empty()) {
        const std::string key = toVisit.back();
        toVisit.pop_back();
        if (!seen.insert(key).second) {
            continue;
        }
        const std::string page = index.page(key);
        ASSERT_FALSE(page.empty()) << "dead link to " << key;
        for (const std::string& link : HelpIndex::links(page)) {
            if (!link.starts_with("lesson:")) {
                toVisit.push_back(index.byKey(link) ? index.byKey(link)->key : link);
            }
        }
    }
    for (const HelpTopic& topic : index.topics()) {
        EXPECT_TRUE(seen.count(topic.key)) << topic.key << " cannot be reached";
    }
}

TEST(ProgramHelpTopics, WindowsTutorialCardsAndControlPopUpsHaveTopics)
{
    const HelpIndex index = programTopics();
    for (const char* key :
         {"HIDD_SENDRESULTS", "HIDD_COMPOSE", "HIDD_ADDRECIPIENT", "HIDD_WELCOME", "HIDD_ABOUT",
          "HIDT_General", "HIDT_SM_STEP1", "HIDT_AU_STEP1", "HIDT_SA_STEP1", "HIDT_SA_STEP2",
          "HIDT_SA_STEP3", "HIDT_RP_STEP1", "HIDT_RP_STEP2"}) {
        EXPECT_NE(index.byKey(key), nullptr) << key;
    }
    // The send results' own topic, and the compose window's "Select recipient from Address
    // Book" (control 1001).
    EXPECT_EQ(index.byContext(0x20000 + 135), index.byKey("HIDD_SENDRESULTS"));
    ASSERT_NE(index.byContext(0x10000 + 1001), nullptr);
    EXPECT_EQ(index.byContext(0x10000 + 1001)->title, "Select recipient from Address Book");
    // The general card offers the four lessons.
    const auto lessons = HelpIndex::links(index.byKey("HIDT_General")->body);
    EXPECT_EQ(lessons, (std::vector<std::string> {"lesson:1", "lesson:2", "lesson:3", "lesson:4"}));
}

struct BadSource
{
    const char* text;
    const char* error;
};

TEST(HelpIndexTest, RefusesBrokenSourcesSayingWhereAndWhy)
{
    const BadSource cases[] = {
        {"@topic A 0x30066 One\nx\n@topic a Two\n", "f:3: the key a is taken twice"},
        {"@topic A 0x30066 One\n@topic B 0x30066 Two\n",
         "f:2: the context number of B already opens A"},
        {"@topic A 0x30066\n", "f:1: the topic A has no title"},
        {"stray text\n", "f:1: text outside a topic"},
        {"@topik A One\n", "f:1: unknown line \"@topik A One\""},
        {"@topic contents Mine\n", "f:1: the key contents is taken twice"},
    };
    for (const BadSource& c : cases) {
        HelpIndex index;
        EXPECT_FALSE(index.addSource(c.text, "f")) << c.text;
        EXPECT_EQ(index.lastErrorText(), c.error);
    }
}

TEST(HelpIndexTest, FindsByNumberKeyAndWordsAndNamesADeadLink)
{
    HelpIndex index;
    ASSERT_TRUE(index.addSource("# comment\r\n@group Messages\r\n"
                                "@topic HIDS_ONE 0x30066 0x10001 Busy line\r\n"
                                "<p>The paging company&apos;s line was <b>busy</b>.</p>\r\n"
                                "@topic TWO Modem trouble\n<p>The line is busy &amp; dead. "
                                "See <a href=\"hids_one\">one</a>.</p>\n"
                                "@group\n@topic CARD A card\n<a href=\"lesson:2\">go</a>\n",
                                "f"));
    EXPECT_TRUE(index.checkLinks());
    EXPECT_EQ(index.byContext(0x10001)->key, "HIDS_ONE");
    EXPECT_EQ(index.byKey("hids_one")->contexts, (std::vector<std::uint32_t> {0x30066, 0x10001}));
    EXPECT_EQ(index.byContext(0x30067), nullptr);
    // Title hits come first; words match the start of a word, in any case; all words count.
    const auto found = index.search("BUS lin");
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(found[0]->key, "HIDS_ONE");
    EXPECT_EQ(found[1]->key, "TWO");
    EXPECT_EQ(index.search("busy dead").size(), 1U);
    EXPECT_TRUE(index.search("usy").empty());
    EXPECT_TRUE(index.search("   ").empty());
    // The contents page lists grouped topics only; the card has no group.
    const std::string contents = index.page("contents");
    EXPECT_NE(contents.find("href=\"TWO\""), std::string::npos);
    EXPECT_EQ(contents.find("CARD"), std::string::npos);
    EXPECT_NE(index.page("TWO").find("<h2>Modem trouble</h2>"), std::string::npos);
    EXPECT_TRUE(index.page("NONE").empty());

    ASSERT_TRUE(index.addSource("@topic THREE Three\n<a href=\"FOUR\">x</a>\n", "g"));
    EXPECT_FALSE(index.checkLinks());
    EXPECT_EQ(index.lastErrorText(), "the topic THREE links to \"FOUR\", which is no topic");
}

TEST(HelpIndexTest, PlainTextDropsTagsAndReadsEntities)
{
    EXPECT_EQ(HelpIndex::plainText("<p>a&amp;b &lt;c&gt;</p>&bogus;x"), " a&b <c>  x");
}

} // namespace
