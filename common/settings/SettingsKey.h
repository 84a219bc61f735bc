#pragma once

#include "settings/SettingDefinition.h"
#include "settings/SettingsStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The registry roots the suite uses.
enum class RootKey { CurrentUser, LocalMachine };

// One open key of the settings store with typed reads that fall back to a default and
// typed writes. Reads never fail: a missing value, a value of another type, a string too
// long for the caller's buffer and a closed key all give the default.
class SettingsKey
{
public:
    // A closed key.
    SettingsKey() = default;
    // Opens the key of the current user's store, creating it when missing.
    SettingsKey(RootKey root, std::string_view path);
    // Opens the key of the given store, creating it when missing.
    SettingsKey(std::shared_ptr<SettingsStore> store, RootKey root, std::string_view path);
    ~SettingsKey();
    SettingsKey(SettingsKey&&) noexcept;
    SettingsKey& operator=(SettingsKey&&) noexcept;

    // Opens (and creates) the key in the current user's store; false leaves it closed.
    [[nodiscard]] bool open(RootKey root, std::string_view path);
    // Opens (and creates) the key in the given store; false leaves it closed.
    [[nodiscard]] bool open(std::shared_ptr<SettingsStore> store, RootKey root,
                            std::string_view path);
    // Releases the key; later reads give their defaults and writes fail.
    void close();
    // Whether the key is open.
    bool isOpen() const { return m_open; }
    // Whether opening created the key (it did not exist before).
    bool wasCreated() const { return m_created; }
    // The full name of the key ("HKEY_CURRENT_USER\...").
    const std::string& name() const { return m_name; }

    // The string when it exists and, with its terminating zero, fits bufferSize bytes;
    // otherwise `out` receives the fallback and the result is false.
    bool getString(std::string_view name, std::string& out, std::size_t bufferSize,
                   std::string_view fallback = {}) const;
    // The stored 32-bit number, or the fallback.
    std::int32_t getNumber(std::string_view name, std::int32_t fallback) const;
    // Whether the number (fallback given as 0 or 1) is not 0.
    bool getBool(std::string_view name, bool fallback) const;
    // The binary block when the key was not just created and the block fits bufferSize.
    bool getBinary(std::string_view name, std::string& out, std::size_t bufferSize) const;
    // Whether the value exists, of whatever type.
    bool hasValue(std::string_view name) const;
    // The name and raw data of the value at the 0-based index; fails on a closed or new key.
    bool enumValue(int index, std::string& name, std::string& data) const;
    // The same, with the value's type.
    bool enumValue(int index, std::string& name, std::string& data, ValueType& type) const;

    // Stores a string; false when the key is closed or the store cannot be written.
    [[nodiscard]] bool setString(std::string_view name, std::string_view text);
    // Stores a 32-bit number.
    [[nodiscard]] bool setNumber(std::string_view name, std::int32_t value);
    // Stores a flag as 0 or 1.
    [[nodiscard]] bool setBool(std::string_view name, bool value);
    // Stores a binary block.
    [[nodiscard]] bool setBinary(std::string_view name, std::string_view bytes);
    // Removes the value; true only when it was removed.
    [[nodiscard]] bool deleteValue(std::string_view name);

    // Typed reads and writes through a settings table entry.
    std::string read(const StringSetting& setting) const;
    std::int32_t read(const NumberSetting& setting) const;
    bool read(const BoolSetting& setting) const;
    [[nodiscard]] bool write(const StringSetting& setting, std::string_view text);
    [[nodiscard]] bool write(const NumberSetting& setting, std::int32_t value);
    [[nodiscard]] bool write(const BoolSetting& setting, bool value);

private:
    std::shared_ptr<SettingsStore> m_store;
    std::string m_name;
    bool m_open = false;
    bool m_created = false;
};
