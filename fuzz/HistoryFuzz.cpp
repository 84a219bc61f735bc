// Fuzzes the message history "msg.dat": the input is split at its first 0x00 byte into a
// history file and a page (recipients and message at the first "="). Checked: the entries
// read are the file's lines, newest first and bounded; every entry splits into recipients
// and message that make the same entry again; a page's entry splits back into exactly that
// page; adding an entry puts it on top, drops its older copy and keeps the rest in order.
#include "FuzzCheck.h"
#include "FuzzScratch.h"
#include "stores/MessageHistory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool holds, const char* what)
{
    fuzzRequire(holds, "fuzz_history", what);
}

// The file's lines with their line ends taken off, each with the "\n" the entries carry. A
// line ends in CR LF, in LF or in CR alone (a file from another system's editor keeps every
// record); a last line without a line end counts.
std::vector<std::string> fileLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++i;
        }
        lines.push_back(line + "\n");
        line.clear();
    }
    if (!line.empty()) {
        lines.push_back(line + "\n");
    }
    return lines;
}

void checkEntry(const std::string& entry)
{
    require(!entry.empty() && entry.find('\n') == entry.size() - 1, "one line per entry");
    std::string recipients, message;
    if (!MessageHistory::splitEntry(entry, recipients, message)) {
        require(entry.find('=') == std::string::npos, "an entry with = splits");
        return;
    }
    const std::string again = MessageHistory::entryText(recipients, message);
    std::string recipients2, message2;
    require(MessageHistory::splitEntry(again, recipients2, message2), "a made entry splits");
    require(recipients2 == recipients && message2 == message, "entry round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string_view file = input.substr(0, zero);
    const std::string_view page
        = zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);
    const std::size_t equals = page.find('=');
    const std::string_view recipients = page.substr(0, equals);
    const std::string_view message
        = equals == std::string_view::npos ? std::string_view() : page.substr(equals + 1);

    // A page's entry is one line that splits back into the page.
    const std::string entry = MessageHistory::entryText(recipients, message);
    require(entry.find('\n') == entry.size() - 1 && entry.find('\r') == std::string::npos,
            "a page's entry is one line");
    require(entry.size() <= 4 * (recipients.size() + message.size()) + 2, "entry bounded");
    std::string splitRecipients, splitMessage;
    require(MessageHistory::splitEntry(entry, splitRecipients, splitMessage)
                && splitRecipients == recipients && splitMessage == message,
            "page round trip");

    const std::string path = FuzzScratch::path("msg.dat");
    FuzzScratch::writeFile(path, file);
    MessageHistory history(path);
    const auto bound = static_cast<std::size_t>(std::max(MessageHistory::maxSavedCount(), 0));
    const std::vector<std::string> lines = fileLines(file);

    std::vector<std::string> before;
    require(history.entries(before), "a history file reads");
    require(before.size() == std::min(lines.size(), bound + 1)
                && std::equal(before.begin(), before.end(), lines.begin()),
            "the entries are the file's first lines");
    for (const std::string& old : before) {
        checkEntry(old);
    }

    const bool added = history.add(entry);
    require(added == (entry.size() >= 3 && entry.find('\0') == std::string::npos),
            "an entry of a page is refused only when too short or holding a zero byte");
    if (!added) {
        require(!MessageHistory::lastErrorText().empty(), "a refusal says why");
        return 0;
    }
    std::vector<std::string> expected {entry};
    for (const std::string& old : lines) {
        if (expected.size() > bound) {
            break;
        }
        if (old != entry) {
            expected.push_back(old);
        }
    }
    std::vector<std::string> after;
    require(history.entries(after), "the history reads after an add");
    require(after == expected, "an add puts the entry on top and keeps the others");
    std::string top;
    require(history.getAt(0, top) && top == entry, "the newest entry is at position 0");
    return 0;
}
