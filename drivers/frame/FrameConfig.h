#pragma once

#include "frame/FrameTimings.h"
#include "log/LogLevel.h"

#include <string>

// One log line the frame writes: its level and its text, where "%d" and "%s" are filled in.
struct FrameLogLine
{
    int level = 0;
    std::string text;
};

// Everything in which the drivers' send frames differ. The defaults are the IXO/TAP
// driver's; the SNPP driver overrides the lines, names and rules that differ for it (see the
// frame's README).
struct FrameConfig
{
    // The origin tag of every log line.
    std::string tag = "kestrel";

    // The send's lines: its start (with the instance number), the thread's start, the modal
    // view's start and result, the wait for the thread.
    FrameLogLine sendStart {LogLevel::Trans, "Send Start (instance=%d)"};
    FrameLogLine startThread {LogLevel::Debug2, "Start protocol thread"};
    FrameLogLine showView {LogLevel::Debug3, "Show Modal dialog"};
    FrameLogLine viewReturns {LogLevel::Debug3, "Modal dialog returns %d"};
    FrameLogLine waitThread {LogLevel::Debug4, "Waiting for terminate thread"};
    // The protocol thread's first and last lines.
    FrameLogLine threadStarts {LogLevel::Debug3, "Local Thread starts"};
    FrameLogLine threadEnds {LogLevel::Debug3, "Thread ends"};
    // The view's lines when it comes up: its start, then its caption.
    FrameLogLine viewInit {LogLevel::Debug4, "Progress dialog init"};
    FrameLogLine viewCaption {LogLevel::Debug4, "Provider name=%s"};
    // The line of a Cancel press.
    FrameLogLine cancelled {LogLevel::Debug3, "User clicked cancel button"};

    // The view's caption without a provider; with one it reads "<caption> (<provider>)".
    std::string caption = "IXO/TAP Paging";
    std::string versionLabel = "kestrel v1.0";
    std::string initialStatus = "Initializing...";
    int leftClip = 117;
    int leftClipFrames = 5;
    int rightClip = 118;
    int rightClipFrames = 31;
    int connectingLastFrame = 15;

    // Cancel shows "Aborting..." and makes 213 the send's final code at once (IXO/TAP); when
    // false, the send's code is what the engine records, or 213 only when the view ended
    // before any protocol thread ran (SNPP).
    bool cancelAborts = true;
    // When the view has ended, the engine is told to stop (IXO/TAP); the SNPP driver lets
    // its engine run on until the frame's wait for the thread runs out.
    bool stopEngineWhenViewEnds = true;

    // The waits' defaults; the driver may read overrides from its settings at each send.
    FrameTimings timings;
};
