#pragma once

#include "directories/UserPrompt.h"

#include <iosfwd>
#include <mutex>

// The prompt without a GUI: every message and question goes to the log (origin "Local"),
// and optionally to a stream such as a command-line program's stderr (database errors only to
// the log: the failing call's own error reaches the caller). Questions are answered "No"; a
// missing database file is created (as "C&reate" would), and left alone after a failed
// creation.
class HeadlessPrompt final : public UserPrompt
{
public:
    // A prompt that logs only; with `echo`, each message is also written there, one line each,
    // after `echoPrefix`.
    explicit HeadlessPrompt(std::ostream* echo = nullptr, std::string echoPrefix = {});

    void showMessage(std::string_view text, std::string_view caption, PromptIcon icon) override;
    bool askYesNo(std::string_view text, std::string_view caption, PromptIcon icon) override;
    LocateChoice locateFile(const LocateRequest& request) override;
    void reportDatabaseError(std::string_view context, std::string_view description,
                             int code) override;

    // A message box text as one line: its line breaks become blanks.
    static std::string oneLine(std::string_view text);

private:
    void emit(int level, const std::string& line, bool echo = true);

    std::ostream* m_echo;
    std::string m_echoPrefix;
    std::mutex m_mutex;
};
