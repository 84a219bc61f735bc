#include "shell/HelpIndex.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits off the first blank-separated word of `text`.
std::string_view takeWord(std::string_view& text)
{
    text = trim(text);
    const std::size_t end = std::min(text.find_first_of(" \t"), text.size());
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

bool parseContext(std::string_view word, std::uint32_t& context)
{
    if (word.size() < 3 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X')) {
        return false;
    }
    const char* first = word.data() + 2;
    const char* last = word.data() + word.size();
    const auto result = std::from_chars(first, last, context, 16);
    return result.ec == std::errc() && result.ptr == last;
}

std::string escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The lower-case words of a plain text (letters, digits and the underscore of help keys).
std::vector<std::string> words(std::string_view text)
{
    std::vector<std::string> out;
    std::string word;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '_' || u >= 0x80) {
            word += static_cast<char>(std::tolower(u));
        } else if (!word.empty()) {
            out.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) {
        out.push_back(std::move(word));
    }
    return out;
}

bool holdsAll(const std::vector<std::string>& haystack, const std::vector<std::string>& wanted)
{
    return std::all_of(wanted.begin(), wanted.end(), [&](const std::string& w) {
        return std::any_of(haystack.begin(), haystack.end(),
                           [&](const std::string& h) { return h.starts_with(w); });
    });
}

} // namespace

bool HelpIndex::addSource(std::string_view text, std::string_view origin)
{
    std::string group;
    HelpTopic* current = nullptr;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::string where = std::string(origin) + ":" + std::to_string(lineNumber) + ": ";
        if (line.starts_with('#')) {
            continue;
        }
        if (line.starts_with("@group")) {
            group = std::string(trim(line.substr(6)));
            current = nullptr;
            continue;
        }
        if (line.starts_with("@topic")) {
            std::string_view rest = line.substr(6);
            HelpTopic topic;
            topic.key = std::string(takeWord(rest));
            topic.group = group;
            if (topic.key.empty()) {
                return fail(where + "a topic without a key");
            }
            if (byKey(topic.key) || lower(topic.key) == contentsKey) {
                return fail(where + "the key " + topic.key + " is taken twice");
            }
            for (;;) {
                std::string_view probe = rest;
                std::uint32_t context = 0;
                if (!parseContext(takeWord(probe), context)) {
                    break;
                }
                if (const HelpTopic* other = byContext(context)) {
                    return fail(where + "the context number of " + topic.key + " already opens "
                                + other->key);
                }
                topic.contexts.push_back(context);
                rest = probe;
            }
            topic.title = std::string(trim(rest));
            if (topic.title.empty()) {
                return fail(where + "the topic " + topic.key + " has no title");
            }
            m_topics.push_back(std::move(topic));
            current = &m_topics.back();
            continue;
        }
        if (line.starts_with('@')) {
            return fail(where + "unknown line \"" + std::string(line) + "\"");
        }
        if (current == nullptr) {
            if (!trim(line).empty()) {
                return fail(where + "text outside a topic");
            }
            continue;
        }
        current->body.append(line);
        current->body += '\n';
    }
    return true;
}

bool HelpIndex::checkLinks()
{
    for (const HelpTopic& topic : m_topics) {
        for (const std::string& link : links(topic.body)) {
            if (link.starts_with("lesson:") || lower(link) == contentsKey || byKey(link)) {
                continue;
            }
            return fail("the topic " + topic.key + " links to \"" + link + "\", which is no topic");
        }
    }
    return true;
}

const HelpTopic* HelpIndex::byKey(std::string_view key) const
{
    const std::string wanted = lower(key);
    for (const HelpTopic& topic : m_topics) {
        if (lower(topic.key) == wanted) {
            return &topic;
        }
    }
    return nullptr;
}

const HelpTopic* HelpIndex::byContext(std::uint32_t context) const
{
    for (const HelpTopic& topic : m_topics) {
        if (std::find(topic.contexts.begin(), topic.contexts.end(), context)
            != topic.contexts.end()) {
            return &topic;
        }
    }
    return nullptr;
}

std::vector<const HelpTopic*> HelpIndex::search(std::string_view query) const
{
    const std::vector<std::string> wanted = words(query);
    std::vector<const HelpTopic*> inTitle;
    std::vector<const HelpTopic*> inText;
    if (wanted.empty()) {
        return inTitle;
    }
    for (const HelpTopic& topic : m_topics) {
        const std::vector<std::string> titleWords = words(topic.title);
        std::vector<std::string> all = words(plainText(topic.body));
        all.insert(all.end(), titleWords.begin(), titleWords.end());
        all.push_back(lower(topic.key));
        if (holdsAll(titleWords, wanted)) {
            inTitle.push_back(&topic);
        } else if (holdsAll(all, wanted)) {
            inText.push_back(&topic);
        }
    }
    inTitle.insert(inTitle.end(), inText.begin(), inText.end());
    return inTitle;
}

std::string HelpIndex::page(std::string_view key) const
{
    if (lower(key) == contentsKey) {
        return contentsPage();
    }
    const HelpTopic* topic = byKey(key);
    if (topic == nullptr) {
        return {};
    }
    std::string html = "<html><head><title>" + escaped(topic->title) + "</title></head><body><h2>"
        + escaped(topic->title) + "</h2>\n" + topic->body;
    if (!topic->group.empty()) {
        html += "<hr/><p><a href=\"contents\">Contents</a> &middot; " + escaped(topic->group)
            + "</p>";
    }
    return html + "</body></html>";
}

std::string HelpIndex::contentsPage() const
{
    std::string html = "<html><head><title>Norvane Desk Help</title></head><body>"
                       "<h2>Norvane Desk Help</h2>\n<p>Choose a topic, or use Search to find the "
                       "topics that hold a word. Every window's Help button and every message's "
                       "Help button open their topic here.</p>\n";
    std::vector<std::string> groups;
    for (const HelpTopic& topic : m_topics) {
        if (!topic.group.empty()
            && std::find(groups.begin(), groups.end(), topic.group) == groups.end()) {
            groups.push_back(topic.group);
        }
    }
    for (const std::string& group : groups) {
        html += "<h3>" + escaped(group) + "</h3>\n<ul>\n";
        for (const HelpTopic& topic : m_topics) {
            if (topic.group == group) {
                html += "<li><a href=\"" + escaped(topic.key) + "\">" + escaped(topic.title)
                    + "</a></li>\n";
            }
        }
        html += "</ul>\n";
    }
    return html + "</body></html>";
}

std::vector<std::string> HelpIndex::links(std::string_view html)
{
    std::vector<std::string> out;
    constexpr std::string_view marker = "href=\"";
    std::size_t at = 0;
    while ((at = html.find(marker, at)) != std::string_view::npos) {
        at += marker.size();
        const std::size_t end = html.find('"', at);
        if (end == std::string_view::npos) {
            break;
        }
        out.emplace_back(html.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::string HelpIndex::plainText(std::string_view html)
{
    std::string out;
    bool inTag = false;
    for (std::size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (inTag) {
            inTag = c != '>';
            continue;
        }
        if (c == '<') {
            inTag = true;
            out += ' ';
        } else if (c == '&') {
            const std::size_t end = html.find(';', i);
            const std::string_view entity
                = end == std::string_view::npos ? std::string_view() : html.substr(i, end - i + 1);
            static constexpr std::pair<std::string_view, char> known[]
                = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}};
            const auto* found = std::find_if(std::begin(known), std::end(known),
                                             [&](const auto& k) { return k.first == entity; });
            if (found != std::end(known)) {
                out += found->second;
                i = end;
            } else {
                out += ' ';
                i = end == std::string_view::npos ? i : end;
            }
        } else {
            out += c;
        }
    }
    return out;
}

bool HelpIndex::fail(std::string text)
{
    m_lastError = std::move(text);
    return false;
}
