#include "plugin/ClassRegistry.h"

#include "plugin/ClassId.h"
#include "settings/SettingsStore.h"

namespace {

constexpr std::string_view classesKey = "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\";

// The default value of a key when it exists as a string.
bool readDefault(SettingsStore& store, const std::string& key, std::string& out)
{
    const auto value = store.value(key, "");
    if (!value || value->type != ValueType::String) {
        return false;
    }
    out = value->data;
    return true;
}

} // namespace

ClassRegistry::ClassRegistry()
    : m_store(SettingsStore::current())
{ }

ClassRegistry::ClassRegistry(std::shared_ptr<SettingsStore> store)
    : m_store(std::move(store))
{ }

std::string ClassRegistry::classKeyName(std::string_view classId)
{
    std::string id = ClassId::normalize(classId);
    if (id.empty()) {
        id = classId;
    }
    return std::string(classesKey) + "CLSID\\" + id;
}

std::string ClassRegistry::progIdKeyName(std::string_view progId)
{
    return std::string(classesKey) + std::string(progId);
}

bool ClassRegistry::fail(std::string text)
{
    m_lastError = std::move(text);
    return false;
}

bool ClassRegistry::setString(const std::string& key, std::string_view name, std::string_view text)
{
    if (m_store->setValue(key, SettingsValue::makeString(name, text))) {
        return true;
    }
    const std::string valueName = name.empty() ? "(default)" : std::string(name);
    return fail("cannot write the value " + valueName + " of " + key + " in the settings store "
                + m_store->path() + ": " + SettingsStore::lastErrorText());
}

bool ClassRegistry::registerClass(const ClassRegistration& registration)
{
    m_lastError.clear();
    const std::string id = ClassId::normalize(registration.classId);
    if (id.empty()) {
        return fail("cannot register \"" + registration.classId
                    + "\": it is not a class identifier of the form "
                      "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
    }
    if (registration.libraryPath.empty()) {
        return fail("cannot register class " + id + ": no library path");
    }
    // A program identifier with a backslash would name a key below another one.
    if (registration.progId.find('\\') != std::string::npos) {
        return fail("cannot register class " + id + ": the program identifier \""
                    + registration.progId + "\" contains a backslash");
    }
    if (!m_store) {
        return fail("cannot register class " + id + ": no settings store");
    }
    const std::string key = classKeyName(id);
    if (!setString(key, "", registration.typeName)
        || !setString(key + "\\InprocServer32", "", registration.libraryPath)
        || !setString(key + "\\InprocServer32", "ThreadingModel", "Apartment")) {
        return false;
    }
    if (registration.progId.empty()) {
        return true;
    }
    return setString(key + "\\ProgID", "", registration.progId)
        && setString(progIdKeyName(registration.progId) + "\\CLSID", "", id);
}

bool ClassRegistry::unregisterClass(std::string_view classId, std::string_view progId)
{
    m_lastError.clear();
    const std::string id = ClassId::normalize(classId);
    if (id.empty()) {
        return fail("cannot unregister \"" + std::string(classId)
                    + "\": it is not a class identifier");
    }
    if (!m_store) {
        return fail("cannot unregister class " + id + ": no settings store");
    }
    const std::string key = classKeyName(id);
    if (m_store->keyExists(key) && !m_store->deleteKey(key)) {
        return fail("cannot remove " + key + " from the settings store " + m_store->path() + ": "
                    + SettingsStore::lastErrorText());
    }
    if (progId.empty() || progId.find('\\') != std::string_view::npos) {
        return true;
    }
    // The program identifier may since have been given to another class; leave that alone.
    const std::string progKey = progIdKeyName(progId);
    std::string registered;
    if (!readDefault(*m_store, progKey + "\\CLSID", registered)
        || !ClassId::equal(registered, id)) {
        return true;
    }
    if (!m_store->deleteKey(progKey)) {
        return fail("cannot remove " + progKey + " from the settings store " + m_store->path()
                    + ": " + SettingsStore::lastErrorText());
    }
    return true;
}

bool ClassRegistry::libraryPath(std::string_view classId, std::string& path)
{
    m_lastError.clear();
    path.clear();
    const std::string id = ClassId::normalize(classId);
    if (id.empty()) {
        return fail("\"" + std::string(classId) + "\" is not a class identifier");
    }
    if (!m_store) {
        return fail("class " + id + " is not registered: no settings store");
    }
    const std::string key = classKeyName(id) + "\\InprocServer32";
    if (!readDefault(*m_store, key, path) || path.empty()) {
        path.clear();
        return fail("class " + id + " is not registered (no library path in " + key
                    + " of the settings store " + m_store->path() + ")");
    }
    return true;
}

bool ClassRegistry::classIdOfProgId(std::string_view progId, std::string& classId)
{
    m_lastError.clear();
    classId.clear();
    if (!m_store || progId.empty() || progId.find('\\') != std::string_view::npos) {
        return fail("\"" + std::string(progId) + "\" is not a registered program identifier");
    }
    const std::string key = progIdKeyName(progId) + "\\CLSID";
    std::string text;
    if (!readDefault(*m_store, key, text) || !ClassId::isValid(text)) {
        return fail("program identifier " + std::string(progId) + " is not registered (no class "
                    + "identifier in " + key + ")");
    }
    classId = ClassId::normalize(text);
    return true;
}
