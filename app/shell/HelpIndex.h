#pragma once

#include "shell/HelpTopic.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The help topics read from their source files, found by key or context number, listed for
// the contents page and searched by words. A source file is plain text:
//   # a comment line
//   @group Heading in the contents        (the group of the topics that follow)
//   @topic KEY [0xCONTEXT ...] Title       (a topic; the lines up to the next @ line are its
//                                           body, HTML; a link names a topic by key:
//                                           <a href="KEY">; "lesson:N" links are the
//                                           tutorial's)
// A topic whose group is empty is not listed in the contents (the tutorial's cards).
class HelpIndex
{
public:
    // The key of the contents page, which the index writes itself.
    static constexpr std::string_view contentsKey = "contents";

    // Reads the topics of one source file; false with lastErrorText() naming the file
    // (`origin`) and line when a line cannot be read, a key or context number is taken twice
    // or a topic has no title.
    [[nodiscard]] bool addSource(std::string_view text, std::string_view origin);
    // Checks every link of every topic; false with lastErrorText() naming the first link
    // to a topic that does not exist.
    [[nodiscard]] bool checkLinks();
    // Why the latest failing call failed.
    const std::string& lastErrorText() const { return m_lastError; }

    // Every topic in the order read.
    const std::vector<HelpTopic>& topics() const { return m_topics; }
    // The topic of a key (case does not matter), nullptr when there is none.
    const HelpTopic* byKey(std::string_view key) const;
    // The topic a context number opens, nullptr when there is none.
    const HelpTopic* byContext(std::uint32_t context) const;
    // The topics holding every word of `query` (a word matches the start of a word of the
    // title or text, case not mattering), those with the words in their titles first.
    std::vector<const HelpTopic*> search(std::string_view query) const;

    // The whole page of a topic (with its title as heading); the contents page for
    // contentsKey; "" for an unknown key.
    std::string page(std::string_view key) const;
    // The contents page: every listed topic under its group's heading.
    std::string contentsPage() const;

    // The targets of the links (href="...") of an HTML text, in order.
    static std::vector<std::string> links(std::string_view html);
    // The words of an HTML text without its tags, entities turned into their characters.
    static std::string plainText(std::string_view html);

private:
    bool fail(std::string text);

    std::vector<HelpTopic> m_topics;
    std::string m_lastError;
};
