#pragma once

#include <cstdint>
#include <string_view>

class SendResults;
struct Transmission;

// How a send that is not quiet shows itself to its user: the desktop program gives it its
// dialogs, norvane-cli prints. The send calls it on the thread that called sendToRecipients
// while it holds the send lock, so a later send waits until showResults() has returned.
class SendPresenter
{
public:
    virtual ~SendPresenter() = default;

    // Shows one message of the send (102 "No valid address specified", 117 "All messages
    // sent successfully") with its help key and origin ("main"); returns when it was seen.
    virtual void showMessage(int messageId, std::string_view helpKey, std::string_view origin) = 0;
    // Shows the send's results, one row per recipient; returns when the user is done with them.
    virtual void showResults(const SendResults& results) = 0;
    // Called every few milliseconds while the send waits for earlier sends to finish, so that
    // a GUI thread keeps serving its events.
    virtual void serveEvents() { }
    // A transmission is about to start (the driver then shows or logs its own progress).
    virtual void transmissionStarted(const Transmission& transmission) { (void)transmission; }
    // A transmission has ended with the driver's overall code.
    virtual void transmissionEnded(const Transmission& transmission, std::int32_t returnCode)
    {
        (void)transmission;
        (void)returnCode;
    }
};
