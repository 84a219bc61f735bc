#pragma once

#include "directories/UserPrompt.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

// A prompt that records what it was shown and asked, and answers from scripts: the next
// locate choices and Yes/No answers in order (Cancel and "No" when a script runs out).
class RecordingPrompt final : public UserPrompt
{
public:
    struct Shown
    {
        std::string kind; // "message", "question", "locate", "database"
        std::string text;
        std::string caption;
    };

    void showMessage(std::string_view text, std::string_view caption, PromptIcon) override
    {
        record({"message", std::string(text), std::string(caption)});
    }
    bool askYesNo(std::string_view text, std::string_view caption, PromptIcon) override
    {
        record({"question", std::string(text), std::string(caption)});
        const std::lock_guard lock(m_mutex);
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    LocateChoice locateFile(const LocateRequest& request) override
    {
        record({"locate", request.message, request.fileName});
        const std::lock_guard lock(m_mutex);
        lastRequest = request;
        if (choices.empty()) {
            return {LocateChoice::Action::Cancel, {}};
        }
        LocateChoice choice = choices.front();
        choices.pop_front();
        return choice;
    }
    void reportDatabaseError(std::string_view context, std::string_view description, int) override
    {
        record({"database", std::string(description), std::string(context)});
    }

    // Everything shown so far of the kind.
    std::vector<Shown> ofKind(const std::string& kind) const
    {
        const std::lock_guard lock(m_mutex);
        std::vector<Shown> result;
        for (const Shown& shown : m_shown) {
            if (shown.kind == kind) {
                result.push_back(shown);
            }
        }
        return result;
    }

    std::deque<LocateChoice> choices;
    std::deque<bool> answers;
    LocateRequest lastRequest;

private:
    void record(Shown shown)
    {
        const std::lock_guard lock(m_mutex);
        m_shown.push_back(std::move(shown));
    }

    mutable std::mutex m_mutex;
    std::vector<Shown> m_shown;
};

// The choice "C&reate".
inline LocateChoice createChoice()
{
    return {LocateChoice::Action::Create, {}};
}
