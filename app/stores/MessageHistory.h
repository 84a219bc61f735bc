#pragma once

#include "stores/StoreError.h"
#include "stores/StoreFile.h"

#include <string>
#include <string_view>
#include <vector>

// The message history "msg.dat": the pages sent from the compose window, newest first, one
// "recipients=message" line each, at most maxSavedCount + 1 lines. Sending the same
// recipients and message again moves their entry to the top.
//
// Line breaks, "=" in the recipient list and "<" opening such an escape are stored as
// "<0d>", "<0a>", "<3d>" and "<3c>", so that every entry is one line and splits back
// into the recipients and message it was made of (splitEntry()). Every change takes the
// lock file beside the history and replaces the file atomically.
class MessageHistory
{
public:
    // The bound when `maxSavedCount` is not set.
    static constexpr int defaultMaxSavedCount = 20;

    // A history without a path; call initPath() or setPath().
    MessageHistory() = default;
    // The history at the path.
    explicit MessageHistory(std::string path);

    // Works out the path from the settings: `msgDbs`, else home/data/msg.dat, else "msg.dat".
    void initPath();
    // Uses the file at the path.
    void setPath(std::string path);
    // The history file's path.
    const std::string& path() const { return m_file.path(); }

    // The bound from the settings (Messages: maxSavedCount, default 20).
    static int maxSavedCount();
    // The entry line for a send, with its line end: "recipients=message\n", escaped.
    static std::string entryText(std::string_view recipients, std::string_view message);
    // Splits an entry (as getAt() gives it) into its recipients and message, undoing the
    // escapes; false when it holds no "=".
    [[nodiscard]] static bool splitEntry(std::string_view entry, std::string& recipients,
                                         std::string& message);

    // Records a send: adds entryText(recipients, message).
    [[nodiscard]] bool recordSent(std::string_view recipients, std::string_view message);
    // Adds the entry (a line that may end in its line end) at the top, drops an equal older
    // entry and keeps at most maxSavedCount older ones. Refused: fewer than 3 characters, or a
    // line break inside the entry.
    [[nodiscard]] bool add(std::string_view entry);
    // The entry at the position (0 newest) with its line end "\n"; false for a position
    // above maxSavedCount, a missing file or a file without that line.
    [[nodiscard]] bool getAt(int position, std::string& entry) const;
    // Every entry from the newest, each with its line end, read at one moment (at most
    // maxSavedCount + 1 of them); false for a missing or unreadable file.
    [[nodiscard]] bool entries(std::vector<std::string>& list) const;
    // Deletes the history; true when it is gone (also when there was none).
    [[nodiscard]] bool purge();

    // The code of the last failure on the calling thread.
    static StoreErrorCode lastError() { return StoreError::code(); }
    // The text of the last failure on the calling thread.
    static const std::string& lastErrorText() { return StoreError::text(); }

private:
    StoreFile m_file;
};
