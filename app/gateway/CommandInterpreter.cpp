#include "gateway/CommandInterpreter.h"

#include "gateway/AddressJudge.h"
#include "gateway/GatewayCommand.h"
#include "log/LogLevel.h"
#include "text/TextNumber.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

namespace {

// Every command's log line is written at this level.
constexpr int commandLogLevel = LogLevel::Debug5;

std::string formatted(const char* format, va_list arguments) __attribute__((format(printf, 1, 0)));

std::string formatted(const char* format, va_list arguments)
{
    va_list copy;
    va_copy(copy, arguments);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, arguments);
    text.resize(static_cast<std::size_t>(needed));
    return text;
}

GatewayStep reply(const GatewayState& state, int code, std::string text)
{
    GatewayStep step;
    step.state = state;
    step.replies.push_back({code, std::move(text)});
    return step;
}

void log(GatewayStep& step, std::string text)
{
    step.log.push_back({commandLogLevel, std::move(text)});
}

std::string badAddress(AddressCheck kind)
{
    return "Bad address (" + std::to_string(static_cast<int>(kind)) + ")";
}

} // namespace

CommandInterpreter::CommandInterpreter(std::string clientAddress, GatewayOptions options,
                                       AddressJudge& judge)
    : m_client(std::move(clientAddress))
    , m_options(options)
    , m_judge(judge)
{ }

std::string CommandInterpreter::logText(const char* format, ...) const
{
    va_list arguments;
    va_start(arguments, format);
    std::string text = "<" + m_client + "> " + formatted(format, arguments);
    va_end(arguments);
    return text;
}

std::string CommandInterpreter::originTag() const
{
    return "SNPP(" + m_client + ")";
}

GatewayStep CommandInterpreter::greeting(const GatewayState& state) const
{
    return reply(state, 220, std::string(GatewayText::ready));
}

GatewayStep CommandInterpreter::step(const GatewayState& state, std::string_view line) const
{
    GatewayCommand command = GatewayCommand::parse(line, m_options.level2Login);
    const std::string* argument = command.argument ? &*command.argument : nullptr;
    switch (command.kind) {
    case CommandKind::Page:
        return page(state, argument);
    case CommandKind::Mess:
        return message(state, argument);
    case CommandKind::Rese: {
        GatewayStep step = reply(GatewayState(), 250, std::string(GatewayText::stateResetted));
        log(step, logText("cmd=RESET"));
        return step;
    }
    case CommandKind::Send: {
        GatewayStep step;
        step.state = state;
        step.action = GatewayAction::Send;
        return step;
    }
    case CommandKind::Help:
        return reply(state, 218, std::string(GatewayText::help));
    case CommandKind::Quit: {
        GatewayStep step = reply(state, 221, std::string(GatewayText::goodBye));
        step.action = GatewayAction::Close;
        return step;
    }
    case CommandKind::Login: {
        // The login and its password are not checked, and never logged.
        GatewayStep step = reply(state, 250, std::string(GatewayText::loginAccepted));
        log(step, logText("cmd=Login accepted"));
        return step;
    }
    case CommandKind::Level: {
        GatewayStep step = reply(state, 250, std::string(GatewayText::levelAccepted));
        log(step, logText("cmd=Level accepted"));
        return step;
    }
    case CommandKind::Unknown:
        break;
    }
    return reply(state, 581, std::string(GatewayText::what));
}

GatewayStep CommandInterpreter::page(const GatewayState& state, const std::string* id) const
{
    if (id == nullptr) {
        // A PAGE without a blank names no pager; the list stays as it is.
        GatewayStep step = reply(state, 550, badAddress(AddressCheck::CheckMalformed));
        log(step, logText("cmd=AddPager, rejected(no id)"));
        return step;
    }
    if (id->size() + state.addressList.size() >= listFullLength) {
        GatewayStep step = reply(state, 550, std::string(GatewayText::bufferFull));
        log(step, logText("cmd=AddPager (%s), rejected(full)", id->c_str()));
        return step;
    }
    std::string address = *id;
    if (TextNumber::atoi(*id) > 0) {
        const std::string pinEntry = "pin" + *id;
        if (m_judge.hasEntry(pinEntry)) {
            address = pinEntry;
        }
    }
    // A ";" would split the address into several recipient entries that no check has seen.
    const AddressCheck kind = address.find(';') != std::string::npos ? AddressCheck::CheckMalformed
                                                                     : m_judge.check(address);
    if (kind != AddressCheck::CheckOk) {
        GatewayStep step = reply(state, 550, badAddress(kind));
        log(step, logText("cmd=AddPager (%s), invalid", address.c_str()));
        return step;
    }
    if (m_options.fromAdbOnly && !m_judge.hasEntry(address)) {
        GatewayStep step = reply(state, 550, std::string(GatewayText::notAllowed));
        log(step, logText("cmd=AddPager (%s), rejected(not in adb)", id->c_str()));
        return step;
    }
    GatewayStep step = reply(state, 250, std::string(GatewayText::idAccepted));
    step.state.addressList += ';';
    step.state.addressList += address;
    log(step, logText("cmd=AddPager (%s) accepted", id->c_str()));
    return step;
}

GatewayStep CommandInterpreter::message(const GatewayState& state, const std::string* text) const
{
    if (text == nullptr) {
        GatewayStep step = reply(state, 550, std::string(GatewayText::messageMissing));
        log(step, logText("cmd=SetMsg, rejected(no text)"));
        return step;
    }
    if (text->size() > GatewayState::maxMessage) {
        GatewayStep step = reply(state, 550, std::string(GatewayText::messageTooLong));
        log(step, logText("cmd=SetMsg (len=%d), too long", static_cast<int>(text->size())));
        return step;
    }
    GatewayStep step = reply(state, 250, std::string(GatewayText::messageAccepted));
    step.state.messageText = *text;
    log(step, logText("cmd=SetMsg (%s) accepted", text->c_str()));
    return step;
}

GatewayStep CommandInterpreter::lost(const GatewayState& state, std::string_view partial) const
{
    GatewayStep step = reply(state, 400, "Read timeout  (" + std::string(partial) + ")");
    step.replies.push_back({221, std::string(GatewayText::lostConnection)});
    step.action = GatewayAction::Close;
    return step;
}

GatewayStep CommandInterpreter::sendDone(const GatewayState&, bool started,
                                         const GatewaySendCounts& counts) const
{
    // The relayed pages are done with, whatever became of them: a later SEND must not page
    // these pagers again, as other SNPP servers also clear their list at SEND.
    const GatewayState state;
    if (!started) {
        GatewayStep step = reply(state, 550, std::string(GatewayText::sendFailed));
        log(step, logText("cmd=Send failed"));
        return step;
    }
    if (counts.sent == 0) {
        GatewayStep step = reply(state, 550, std::string(GatewayText::sendFailed));
        log(step, logText("cmd=Send - all msg failed"));
        return step;
    }
    if (counts.failed == 0) {
        return reply(state, 250, std::string(GatewayText::sendSuccessful));
    }
    GatewayStep step = reply(state, 250,
                             "Send completed - succ=" + std::to_string(counts.sent)
                                 + ", failed=" + std::to_string(counts.failed));
    log(step, logText("cmd=Send - succ=%d failed=%d", counts.sent, counts.failed));
    return step;
}
