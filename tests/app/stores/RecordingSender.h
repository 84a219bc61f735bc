#pragma once

#include "stores/ScheduledSender.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A ScheduledSender that records every send and can run a hook inside the send (to change
// the store while the scheduler is sending).
class RecordingSender : public ScheduledSender
{
public:
    struct Send
    {
        std::string recipients;
        std::string message;
        std::string origin;
    };

    bool sendScheduled(std::string_view recipients, std::string_view message,
                       std::string_view originTag) override
    {
        std::function<void(const Send&)> hook;
        Send send {std::string(recipients), std::string(message), std::string(originTag)};
        {
            std::lock_guard guard(m_mutex);
            m_sends.push_back(send);
            hook = m_hook;
        }
        if (hook) {
            hook(send);
        }
        return true;
    }

    // Every send so far, in order.
    std::vector<Send> sends() const
    {
        std::lock_guard guard(m_mutex);
        return m_sends;
    }
    // The origins of every send so far.
    std::vector<std::string> origins() const
    {
        std::vector<std::string> result;
        for (const Send& send : sends()) {
            result.push_back(send.origin);
        }
        return result;
    }
    // Runs `hook` inside each later send.
    void setHook(std::function<void(const Send&)> hook)
    {
        std::lock_guard guard(m_mutex);
        m_hook = std::move(hook);
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Send> m_sends;
    std::function<void(const Send&)> m_hook;
};
