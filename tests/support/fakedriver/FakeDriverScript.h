#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What a test tells the fake driver plug-in, through the script key of the current user's
// settings store (the test's private one): where to record, which codes to answer. The fake
// reads the key at creation and at each send, so a script may change between sends.
class FakeDriverScript
{
public:
    // A script that records to `recordFile`; every other value back at its default.
    explicit FakeDriverScript(const std::string& recordFile);

    // The built fake plug-in file.
    static std::string pluginPath();
    // Registers the fake plug-in file under the class identifier (kestrel's, plover's or the
    // fake's own); false when the entries could not be written.
    [[nodiscard]] static bool registerAs(std::string_view classId);

    // Every send returns this code (unless a code for its address is set).
    void setSendCode(std::int32_t code);
    // A send to exactly this address returns this code.
    void setSendCodeFor(std::string_view address, std::int32_t code);
    // A message to this pager identifier gets this result code at send (otherwise 1 when the
    // send returns 0, else it stays 5).
    void setMessageCode(std::int32_t pin, std::int32_t code);
    // Each send takes this long, asking the host's cancel callback meanwhile (cancel: 213).
    void setSendDelayMs(std::int32_t ms);
    // The send's delay runs to its end whatever the host's cancel callback says (a driver
    // stuck in a call).
    void setDeafToCancel(bool deaf);
    // getMessageCount reports this many messages fewer than the list holds.
    void setHoldBack(std::int32_t count);
    // The message list holds this many (addMessage answers 207 beyond).
    void setCapacity(std::int32_t count);
    // Creation fails (the class factory throws).
    void setFailCreate(bool fail);

private:
    void appendCode(std::string_view value, const std::string& key, std::int32_t code);
};
