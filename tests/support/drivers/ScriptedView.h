#pragma once

#include "frame/ProgressView.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

// A progress view for the frame's tests: shows itself (or fails to, or never comes up) as
// told, records every update, and lets the test press Cancel while it runs.
class ScriptedView final : public ProgressView
{
public:
    // How run() behaves.
    enum class Show { AtOnce, Late, Never, Fail };

    struct Record
    {
        std::vector<int> phases;
        std::vector<std::string> statuses;
        std::vector<int> progress;
        std::vector<bool> cancelEnabled;
        std::vector<RightAnimation> animations;
        int endResult = 0;
        int ends = 0;
        bool shown = false;
    };

    explicit ScriptedView(Show show = Show::AtOnce, bool visible = true,
                          std::chrono::milliseconds lateBy = std::chrono::milliseconds(0))
        : m_show(show)
        , m_visible(visible)
        , m_lateBy(lateBy)
    { }

    int run(ProgressViewEvents& events) override
    {
        if (m_show == Show::Fail) {
            return -1;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_ended) {
            return m_record.endResult;
        }
        m_events = &events;
        if (m_show == Show::Late) {
            m_changed.wait_for(lock, m_lateBy, [this] { return m_ended; });
        }
        if (m_show != Show::Never && !m_ended) {
            m_record.shown = true;
            lock.unlock();
            events.viewShown();
            lock.lock();
        }
        m_running = true;
        m_changed.notify_all();
        // Like a window's modal loop, run() does not return while a Cancel press is handled.
        m_changed.wait(lock, [this] { return m_ended && m_pressing == 0; });
        m_running = false;
        m_events = nullptr;
        return m_record.endResult;
    }

    void end(int result) override
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        ++m_record.ends;
        if (!m_ended) {
            m_ended = true;
            m_record.endResult = result;
            m_changed.notify_all();
        }
    }

    void setPhase(int phase) override { add(m_record.phases, phase); }
    void setStatus(const std::string& text) override { add(m_record.statuses, text); }
    void setProgress(int value) override { add(m_record.progress, value); }
    void setCancelEnabled(bool enabled) override { add(m_record.cancelEnabled, enabled); }
    void setRightAnimation(RightAnimation animation) override
    {
        add(m_record.animations, animation);
    }
    bool isVisible() const override { return m_visible; }

    // Waits until run() is in its loop (shown, or past showing for Show::Never).
    bool waitUntilRunning(std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [this] { return m_running || m_ended; });
    }

    // Presses Cancel as a user would, from the test's thread, while run() runs.
    void pressCancel()
    {
        ProgressViewEvents* events = nullptr;
        {
            const std::lock_guard<std::mutex> guard(m_mutex);
            events = m_events;
            if (events == nullptr) {
                return;
            }
            ++m_pressing;
        }
        events->cancelPressed();
        const std::lock_guard<std::mutex> guard(m_mutex);
        --m_pressing;
        m_changed.notify_all();
    }

    Record record() const
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        return m_record;
    }

private:
    template<class T>
    void add(std::vector<T>& list, const T& value)
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        list.push_back(value);
    }

    const Show m_show;
    const bool m_visible;
    const std::chrono::milliseconds m_lateBy;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Record m_record;
    ProgressViewEvents* m_events = nullptr;
    bool m_ended = false;
    bool m_running = false;
    int m_pressing = 0; // Cancel presses being handled
};

// Hands the frame a view that the test keeps: the frame deletes this forwarder, not the view.
class BorrowedView final : public ProgressView
{
public:
    explicit BorrowedView(ProgressView& view)
        : m_view(view)
    { }
    int run(ProgressViewEvents& events) override { return m_view.run(events); }
    void end(int result) override { m_view.end(result); }
    void setPhase(int phase) override { m_view.setPhase(phase); }
    void setStatus(const std::string& text) override { m_view.setStatus(text); }
    void setProgress(int value) override { m_view.setProgress(value); }
    void setCancelEnabled(bool enabled) override { m_view.setCancelEnabled(enabled); }
    void setRightAnimation(RightAnimation animation) override
    {
        m_view.setRightAnimation(animation);
    }
    bool isVisible() const override { return m_view.isVisible(); }

private:
    ProgressView& m_view;
};
