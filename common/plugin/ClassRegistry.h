#pragma once

#include <memory>
#include <string>
#include <string_view>

class SettingsStore;

// What the registration entries of one control class say.
struct ClassRegistration
{
    std::string classId; // "{...}", any accepted form
    std::string progId; // program identifier, e.g. "KESTREL.KestrelCtrl.1"; may be empty
    std::string typeName; // human-readable name of the class
    std::string libraryPath; // absolute path of the plug-in that serves it
};

// Reads and writes the registration entries of control classes in the settings store:
//   HKEY_CURRENT_USER\SOFTWARE\Classes\CLSID\{id}                 @ = type name
//   HKEY_CURRENT_USER\SOFTWARE\Classes\CLSID\{id}\InprocServer32  @ = library path,
//                                                                 ThreadingModel = "Apartment"
//   HKEY_CURRENT_USER\SOFTWARE\Classes\CLSID\{id}\ProgID          @ = program identifier
//   HKEY_CURRENT_USER\SOFTWARE\Classes\<ProgID>\CLSID             @ = class identifier
class ClassRegistry
{
public:
    // Works on the current user's store as it is named at this moment.
    ClassRegistry();
    // Works on the given store.
    explicit ClassRegistry(std::shared_ptr<SettingsStore> store);

    // Writes the entries of the class (replacing older ones); false names the failing value.
    [[nodiscard]] bool registerClass(const ClassRegistration& registration);
    // Removes the class's entries, and the program identifier's key when it names this class;
    // entries that do not exist count as removed.
    [[nodiscard]] bool unregisterClass(std::string_view classId, std::string_view progId);
    // The library path registered for the class; false when it has none.
    [[nodiscard]] bool libraryPath(std::string_view classId, std::string& path);
    // The class identifier registered for a program identifier; false when it has none.
    [[nodiscard]] bool classIdOfProgId(std::string_view progId, std::string& classId);
    // Why the latest failing operation failed.
    const std::string& lastErrorText() const { return m_lastError; }

    // The full name of a class's key ("HKEY_CURRENT_USER\SOFTWARE\Classes\CLSID\{...}").
    static std::string classKeyName(std::string_view classId);
    // The full name of a program identifier's key.
    static std::string progIdKeyName(std::string_view progId);

private:
    bool fail(std::string text);
    bool setString(const std::string& key, std::string_view name, std::string_view text);

    std::shared_ptr<SettingsStore> m_store;
    std::string m_lastError;
};
