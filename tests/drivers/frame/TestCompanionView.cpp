// A companion progress-window module for the frame's tests, built like the real GUI module
// but without a GUI: its view shows itself at once, counts as visible, and presses Cancel as
// soon as it is up when the caption asks it to. It makes no view for the tag "nogui", as the
// real module does when no GUI application runs. Its dialogs answer what their record says:
// the about box by its text ("accept", "reject", anything else: not shown).
#include "TestDialogRecord.h"
#include "frame/CompanionDialogs.h"
#include "frame/CompanionViewModule.h"

#include <condition_variable>
#include <mutex>

namespace {

class CompanionTestView final : public ProgressView
{
public:
    explicit CompanionTestView(bool pressCancel)
        : m_pressCancel(pressCancel)
    { }

    int run(ProgressViewEvents& events) override
    {
        {
            const std::lock_guard<std::mutex> guard(m_mutex);
            if (m_ended) {
                return m_result;
            }
        }
        events.viewShown();
        if (m_pressCancel) {
            events.cancelPressed();
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_ended; });
        return m_result;
    }
    void end(int result) override
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_ended) {
            m_ended = true;
            m_result = result;
            m_changed.notify_all();
        }
    }
    void setPhase(int) override { }
    void setStatus(const std::string&) override { }
    void setProgress(int) override { }
    void setCancelEnabled(bool) override { }
    void setRightAnimation(RightAnimation) override { }
    bool isVisible() const override { return true; }

private:
    const bool m_pressCancel;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_ended = false;
    int m_result = 0;
};

} // namespace

extern "C" ProgressView* nvCreateProgressView(int abiVersion, const ProgressViewSetup* setup)
{
    if (abiVersion != CompanionViewModule::abiVersion || setup == nullptr
        || setup->tag == "nogui") {
        return nullptr;
    }
    return new CompanionTestView(setup->caption.find("press cancel") != std::string::npos);
}

extern "C" int nvShowAboutBox(int abiVersion, const AboutBoxRequest* setup)
{
    if (abiVersion != CompanionViewModule::abiVersion || setup == nullptr) {
        return static_cast<int>(DialogOutcome::NotShown);
    }
    if (setup->text == "accept") {
        return static_cast<int>(DialogOutcome::Accepted);
    }
    if (setup->text == "reject") {
        return static_cast<int>(DialogOutcome::Rejected);
    }
    return static_cast<int>(DialogOutcome::NotShown);
}

extern "C" int nvShowTestDialog(int abiVersion, TestDialogRecord* record)
{
    if (abiVersion != CompanionViewModule::abiVersion || record == nullptr) {
        return static_cast<int>(DialogOutcome::NotShown);
    }
    if (record->answer == static_cast<int>(DialogOutcome::Accepted)) {
        record->text += " (edited)";
    }
    return record->answer;
}
