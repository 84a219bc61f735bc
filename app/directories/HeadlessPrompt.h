#pragma once

#include "UserPrompt.h"

#include <iosfwd>
#include <mutex>

// The prompt without a GUI: every message and question goes to the log (origin "Local"),
// and optionally to a stream such as a command-line program's stderr. Questions are answered
// "No"; a missing database file is created (as "C&reate" would), and left alone after a
// failed creation.
class HeadlessPrompt final : public UserPrompt
{
public:
    // A prompt that logs only; with `echo`, each message is also written there, one line each.
    explicit HeadlessPrompt(std::ostream* echo = nullptr);

    void showMessage(std::string_view text, std::string_view caption, PromptIcon icon) override;
    bool askYesNo(std::string_view text, std::string_view caption, PromptIcon icon) override;
    LocateChoice locateFile(const LocateRequest& request) override;
    void reportDatabaseError(std::string_view context, std::string_view description,
                             int code) override;

    // A message box text as one line: its line breaks become blanks.
    static std::string oneLine(std::string_view text);

private:
    void emit(int level, const std::string& line);

    std::ostream* m_echo;
    std::mutex m_mutex;
};
