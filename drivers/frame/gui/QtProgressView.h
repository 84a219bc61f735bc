#pragma once

#include "frame/ProgressView.h"

#include <functional>
#include <memory>

class ProgressDialog;

// The progress view of a send in a GUI process: a ProgressDialog on the QApplication's thread.
// run() on the GUI thread shows it application-modal and serves events in a local loop until
// end(); run() on any other thread has the GUI thread create and show it (not modal: that
// thread owns no windows to block) and waits for it to close. Updates from any thread are
// queued to the GUI thread in the order they come and dropped once the dialog has closed;
// nothing here ever makes the GUI thread wait.
class QtProgressView final : public ProgressView
{
public:
    // A view for the setup, or null when abiVersion is not this build's or no QApplication
    // exists (the companion module's nvCreateProgressView).
    static QtProgressView* create(int abiVersion, const ProgressViewSetup* setup);

    // A view for the setup; a QApplication must exist.
    explicit QtProgressView(const ProgressViewSetup& setup);
    ~QtProgressView() override;

    int run(ProgressViewEvents& events) override;
    void end(int result) override;
    void setPhase(int phase) override;
    void setStatus(const std::string& text) override;
    void setProgress(int value) override;
    void setCancelEnabled(bool enabled) override;
    void setRightAnimation(RightAnimation animation) override;
    bool isVisible() const override { return true; }

private:
    struct Shared;

    int runHere(ProgressViewEvents& events);
    int runFromOtherThread(ProgressViewEvents& events);
    void post(std::function<void(ProgressDialog&)> change);

    std::shared_ptr<Shared> m_shared;
};
