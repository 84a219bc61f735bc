#include "sending/PagingDriver.h"

#include "plugin/ControlLoader.h"

#include <utility>

PagingDriver::PagingDriver(std::string_view classId, const DriverDispatchIds& ids,
                           std::string_view pluginName)
    : m_classId(classId)
    , m_pluginName(pluginName)
    , m_ids(ids)
{ }

PagingDriver::~PagingDriver()
{
    destroy();
}

bool PagingDriver::create(ControlLoader& loader, const ControlOptions& options)
{
    m_lastError.clear();
    m_control = loader.createOrRegister(m_classId, m_pluginName, options);
    if (!m_control) {
        m_lastError = loader.lastErrorText();
        return false;
    }
    return true;
}

void PagingDriver::destroy()
{
    m_control.reset();
}

void PagingDriver::noteCall(bool succeeded)
{
    // A control that does not exist answers nothing; the caller sees the fallback value and
    // can read why here.
    if (!succeeded) {
        m_lastError = m_control.lastErrorText();
    }
}

std::int32_t PagingDriver::intResult(bool succeeded, std::int32_t value, std::int32_t fallback)
{
    noteCall(succeeded);
    return succeeded ? value : fallback;
}

std::string PagingDriver::textResult(bool succeeded, std::string value)
{
    noteCall(succeeded);
    return succeeded ? std::move(value) : std::string();
}

std::int32_t PagingDriver::getDebugLevel()
{
    std::int32_t level = 0;
    const bool done = m_control.getInt(m_ids.debugLevel, level);
    return intResult(done, level, 0);
}

void PagingDriver::setDebugLevel(std::int32_t level)
{
    noteCall(m_control.setInt(m_ids.debugLevel, level));
}

std::string PagingDriver::getProviderName()
{
    std::string name;
    const bool done = m_control.getText(m_ids.providerName, name);
    return textResult(done, std::move(name));
}

void PagingDriver::setProviderName(std::string_view name)
{
    noteCall(m_control.setText(m_ids.providerName, name));
}

std::string PagingDriver::getClientName()
{
    std::string name;
    const bool done = m_control.getText(m_ids.clientName, name);
    return textResult(done, std::move(name));
}

void PagingDriver::setClientName(std::string_view name)
{
    noteCall(m_control.setText(m_ids.clientName, name));
}

std::int32_t PagingDriver::send(std::string_view address)
{
    std::int32_t code = 0;
    const bool done = m_control.callInt(m_ids.send, {std::string(address)}, code);
    return intResult(done, code, unavailableCode);
}

std::int32_t PagingDriver::addMessage(std::string_view recipient, std::string_view message)
{
    std::int32_t code = 0;
    const bool done
        = m_control.callInt(m_ids.addMessage, {std::string(recipient), std::string(message)}, code);
    return intResult(done, code, unavailableCode);
}

void PagingDriver::clear()
{
    noteCall(m_control.callMethod(m_ids.clear));
}

void PagingDriver::showProperties()
{
    noteCall(m_control.callMethod(m_ids.showProperties));
}

std::int32_t PagingDriver::getMessageCount()
{
    std::int32_t count = 0;
    const bool done = m_control.callInt(m_ids.getMessageCount, {}, count);
    return intResult(done, count, 0);
}

std::int32_t PagingDriver::getMessageResultCode(std::int16_t index)
{
    std::int32_t code = 0;
    const bool done = m_control.callInt(m_ids.getMessageResultCode, {index}, code);
    return intResult(done, code, noSuchMessage);
}

void PagingDriver::AboutBox()
{
    noteCall(m_control.callMethod(m_ids.aboutBox));
}
