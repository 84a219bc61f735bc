#include "frame/CompanionViewModule.h"
#include "frame/HeadlessProgressView.h"
#include "frame/ProgressViewFactory.h"
#include "frame/SendReporter.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"

namespace ProgressViews {

ProgressViewFactory headless(std::function<bool()> isCancelled)
{
    return [isCancelled = std::move(isCancelled)](const ProgressViewSetup& setup,
                                                  SendReporter& reporter) {
        return std::make_unique<HeadlessProgressView>(reporter.log(), std::string(reporter.tag()),
                                                      isCancelled, setup.progressMaximum,
                                                      cancelPollInterval);
    };
}

ProgressViewFactory chosen(bool showProgress, std::string modulePath,
                           std::function<bool()> isCancelled)
{
    ProgressViewFactory fallback = headless(isCancelled);
    if (!showProgress) {
        return fallback;
    }
    return [modulePath = std::move(modulePath), fallback = std::move(fallback)](
               const ProgressViewSetup& setup, SendReporter& reporter) {
        std::string error;
        std::unique_ptr<ProgressView> view
            = CompanionViewModule::createView(modulePath, setup, error);
        if (view) {
            return view;
        }
        // The host asked for a window it cannot have here; the send goes on without one.
        reporter.log().write(LogLevel::Info, reporter.tag(), "Progress window not shown: %s",
                             error.c_str());
        return fallback(setup, reporter);
    };
}

} // namespace ProgressViews
