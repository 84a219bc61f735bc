#include "FakeDriverScript.h"

#include "FakeDriverIds.h"
#include "plugin/ClassRegistry.h"
#include "settings/SettingsKey.h"

namespace {

SettingsKey key()
{
    return SettingsKey(RootKey::CurrentUser, FakeDriverIds::scriptKey);
}

} // namespace

FakeDriverScript::FakeDriverScript(const std::string& recordFile)
{
    SettingsKey script = key();
    using namespace FakeDriverIds::Script;
    for (const std::string_view name : {sendCode, sendCodes, messageCodes, sendDelayMs,
                                        deafToCancel, holdBack, capacity, failCreate}) {
        (void)script.deleteValue(name);
    }
    (void)script.setString(FakeDriverIds::Script::recordFile, recordFile);
}

std::string FakeDriverScript::pluginPath()
{
    return NORVANE_FAKE_DRIVER_PATH;
}

bool FakeDriverScript::registerAs(std::string_view classId)
{
    ClassRegistry registry;
    return registry.registerClass(
        {std::string(classId), "", "Norvane Fake Paging Driver", pluginPath()});
}

void FakeDriverScript::setSendCode(std::int32_t code)
{
    (void)key().setNumber(FakeDriverIds::Script::sendCode, code);
}

void FakeDriverScript::appendCode(std::string_view value, const std::string& name,
                                  std::int32_t code)
{
    SettingsKey script = key();
    std::string text;
    (void)script.getString(value, text, 4096);
    if (!text.empty()) {
        text += ';';
    }
    text += name + '=' + std::to_string(code);
    (void)script.setString(value, text);
}

void FakeDriverScript::setSendCodeFor(std::string_view address, std::int32_t code)
{
    appendCode(FakeDriverIds::Script::sendCodes, std::string(address), code);
}

void FakeDriverScript::setMessageCode(std::int32_t pin, std::int32_t code)
{
    appendCode(FakeDriverIds::Script::messageCodes, std::to_string(pin), code);
}

void FakeDriverScript::setSendDelayMs(std::int32_t ms)
{
    (void)key().setNumber(FakeDriverIds::Script::sendDelayMs, ms);
}

void FakeDriverScript::setDeafToCancel(bool deaf)
{
    (void)key().setNumber(FakeDriverIds::Script::deafToCancel, deaf ? 1 : 0);
}

void FakeDriverScript::setHoldBack(std::int32_t count)
{
    (void)key().setNumber(FakeDriverIds::Script::holdBack, count);
}

void FakeDriverScript::setCapacity(std::int32_t count)
{
    (void)key().setNumber(FakeDriverIds::Script::capacity, count);
}

void FakeDriverScript::setFailCreate(bool fail)
{
    (void)key().setNumber(FakeDriverIds::Script::failCreate, fail ? 1 : 0);
}
