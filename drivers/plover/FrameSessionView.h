#pragma once

#include "plover/SessionView.h"

class SendFrame;

// What the SNPP session shows, carried onto the send frame's progress view: the right-hand
// animation's loops, the Cancel button, and the frame's readable pause (only on a view a
// person can see, cut short by Cancel, as long as the frame's statusPause).
class FrameSessionView final : public SessionView
{
public:
    // A view onto the frame's progress view for one send.
    explicit FrameSessionView(SendFrame& frame)
        : m_frame(frame)
    { }

    void showConnecting() override;
    void showConnected() override;
    void stopAnimation() override;
    void disableCancel() override;
    void pauseForReading(int ms, const SendReporter& reporter) override;

private:
    SendFrame& m_frame;
};
