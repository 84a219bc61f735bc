#include "plover/FrameSessionView.h"

#include "frame/SendFrame.h"

void FrameSessionView::showConnecting()
{
    m_frame.setRightAnimation(RightAnimation::Connecting);
}

void FrameSessionView::showConnected()
{
    m_frame.setRightAnimation(RightAnimation::Connected);
}

void FrameSessionView::stopAnimation()
{
    m_frame.setRightAnimation(RightAnimation::Stopped);
}

void FrameSessionView::disableCancel()
{
    m_frame.setCancelEnabled(false);
}

void FrameSessionView::pauseForReading(int, const SendReporter&)
{
    // The frame's own pause reads the same statusPauseMs value under the driver's key, and
    // skips the wait where no one can read the status (a headless send).
    m_frame.pauseForReading();
}
