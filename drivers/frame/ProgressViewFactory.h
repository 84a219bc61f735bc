#pragma once

#include "frame/ProgressView.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class SendReporter;

// Makes the progress view of one send; the reporter gives the send's log and origin tag.
// A factory that returns null leaves the send headless.
using ProgressViewFactory
    = std::function<std::unique_ptr<ProgressView>(const ProgressViewSetup&, SendReporter&)>;

// The ways a driver gets its progress view.
namespace ProgressViews {

// How often a headless view asks the host whether to cancel.
inline constexpr std::chrono::milliseconds cancelPollInterval {50};

// Headless views: progress goes to the send's log, and `isCancelled` (may be null), asked
// every cancelPollInterval, stands for the Cancel button.
ProgressViewFactory headless(std::function<bool()> isCancelled);

// The view of a companion GUI module (see CompanionViewModule) when the host asked to see
// progress and the module, loaded from `modulePath`, makes one (it does so only where a GUI
// application runs); otherwise a headless view as above.
ProgressViewFactory chosen(bool showProgress, std::string modulePath,
                           std::function<bool()> isCancelled);

} // namespace ProgressViews
