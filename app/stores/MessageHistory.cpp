#include "stores/MessageHistory.h"

#include "settings/DataPaths.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/StoreSettings.h"
#include "stores/StoreUpdate.h"
#include "stores/TextLines.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

struct Escape
{
    char byte;
    std::string_view text;
};

constexpr std::array<Escape, 4> escapes = {{
    {'\r', "<0d>"},
    {'\n', "<0a>"},
    {'=', "<3d>"},
    {'<', "<3c>"},
}};

// Whether the text at `position` starts with one of the escapes.
bool escapeAt(std::string_view text, std::size_t position, Escape* found = nullptr)
{
    for (const Escape& escape : escapes) {
        if (text.substr(position, escape.text.size()) == escape.text) {
            if (found != nullptr) {
                *found = escape;
            }
            return true;
        }
    }
    return false;
}

// Escapes line breaks, "<" where it would read as an escape, and "=" when `equalsToo`.
void appendEscaped(std::string& out, std::string_view text, bool equalsToo)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "<0d>";
        } else if (c == '\n') {
            out += "<0a>";
        } else if (c == '=' && equalsToo) {
            out += "<3d>";
        } else if (c == '<' && escapeAt(text, i)) {
            out += "<3c>";
        } else {
            out += c;
        }
    }
}

std::string unescaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        Escape escape {};
        if (text[i] == '<' && escapeAt(text, i, &escape)) {
            out += escape.byte;
            i += escape.text.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string_view withoutLineEnd(std::string_view line)
{
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

MessageHistory::MessageHistory(std::string path)
    : m_file(std::move(path))
{ }

void MessageHistory::initPath()
{
    m_file.setPath(DataPaths::resolve(SharedSettings::Paths::msgDbs, StoreSettings::historyFile));
}

void MessageHistory::setPath(std::string path)
{
    m_file.setPath(std::move(path));
}

int MessageHistory::maxSavedCount()
{
    const SettingsKey messages(RootKey::CurrentUser, StoreSettings::Messages::key);
    return messages.read(StoreSettings::Messages::maxSavedCount);
}

std::string MessageHistory::entryText(std::string_view recipients, std::string_view message)
{
    std::string entry;
    entry.reserve(recipients.size() + message.size() + 10);
    appendEscaped(entry, recipients, true);
    entry += '=';
    appendEscaped(entry, message, false);
    entry += '\n';
    return entry;
}

bool MessageHistory::splitEntry(std::string_view entry, std::string& recipients,
                                std::string& message)
{
    entry = withoutLineEnd(entry);
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    recipients = unescaped(entry.substr(0, equals));
    message = unescaped(entry.substr(equals + 1));
    return true;
}

bool MessageHistory::recordSent(std::string_view recipients, std::string_view message)
{
    return add(entryText(recipients, message));
}

bool MessageHistory::add(std::string_view entry)
{
    StoreError::reset();
    const std::string what = "cannot add to the message history " + path() + ": ";
    if (entry.size() < 3) {
        return StoreError::set(StoreErrorCode::BadField,
                               what + "an entry needs at least 3 characters");
    }
    const std::string_view line = withoutLineEnd(entry);
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return StoreError::set(StoreErrorCode::BadField,
                               what + "the entry holds a line break or a zero byte");
    }
    const int bound = maxSavedCount();
    return StoreUpdate(m_file, what).createOrChange([&](std::string& bytes) {
        const std::string old = std::move(bytes);
        bytes.clear();
        bytes.reserve(old.size() + line.size() + 2);
        bytes.append(line);
        bytes += "\r\n";
        int kept = 0;
        for (const std::string_view older : TextLines::split(old)) {
            // Checked before copying, so that a bound of 0 (or less) keeps no older entry.
            if (kept >= bound) {
                break;
            }
            if (older == line) {
                continue;
            }
            bytes.append(older);
            bytes += "\r\n";
            ++kept;
        }
        return true;
    });
}

bool MessageHistory::getAt(int position, std::string& entry) const
{
    StoreError::reset();
    const int bound = maxSavedCount();
    if (position < 0 || position > bound) {
        return StoreError::set(StoreErrorCode::NoRecord,
                               "the message history keeps positions 0 to " + std::to_string(bound)
                                   + ", not " + std::to_string(position));
    }
    std::vector<std::string> all;
    if (!entries(all)) {
        return false;
    }
    if (static_cast<std::size_t>(position) >= all.size()) {
        return StoreError::set(StoreErrorCode::NoRecord,
                               "the message history " + path() + " has no entry at position "
                                   + std::to_string(position));
    }
    entry = std::move(all[static_cast<std::size_t>(position)]);
    return true;
}

bool MessageHistory::entries(std::vector<std::string>& list) const
{
    StoreError::reset();
    list.clear();
    std::string bytes, error;
    switch (m_file.read(bytes, error)) {
    case StoreFile::ReadResult::Read:
        break;
    case StoreFile::ReadResult::Missing:
        return StoreError::set(StoreErrorCode::Missing,
                               "no message history: " + path() + " does not exist");
    case StoreFile::ReadResult::Failed:
        return StoreError::set(StoreErrorCode::Io, error);
    }
    const std::vector<std::string_view> lines = TextLines::split(bytes);
    // A bound of 0 or less still shows the newest entry, as add keeps it.
    const auto bound = static_cast<std::size_t>(std::max(maxSavedCount(), 0));
    const std::size_t kept = std::min(lines.size(), bound + 1);
    for (std::size_t index = 0; index < kept; ++index) {
        list.push_back(std::string(lines[index]) + "\n");
    }
    return true;
}

bool MessageHistory::purge()
{
    StoreError::reset();
    return StoreUpdate(m_file, "cannot purge the message history: ").remove();
}
