#pragma once

#include "frame/StepEngine.h"
#include "kestrel/TapEngine.h"

// The IXO/TAP engine as the send frame runs it.
class TapStepEngine final : public StepEngine
{
public:
    // An engine over the link, sending the list's messages and reporting to `reporter`.
    TapStepEngine(ByteLink& link, MessageList& messages, SendReporter& reporter,
                  const TapSettings& settings)
        : m_engine(link, messages, reporter, settings)
    { }

    void start() override { m_engine.start(); }
    bool step() override { return m_engine.step(); }
    void requestStop() override { m_engine.requestDisconnect(); }

private:
    TapEngine m_engine;
};
