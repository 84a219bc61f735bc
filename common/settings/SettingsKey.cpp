#include "settings/SettingsKey.h"

#include <charconv>
#include <optional>

namespace {

std::string fullName(RootKey root, std::string_view path)
{
    std::string name = root == RootKey::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
    if (!path.empty()) {
        name += '\\';
        name += path;
    }
    return SettingsStore::normalizeKeyName(name);
}

// The decimal number a text holds, blanks around it allowed; nothing for any other text or a
// number beyond 32 bits.
std::optional<std::int32_t> numberInText(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

} // namespace

SettingsKey::SettingsKey(RootKey root, std::string_view path)
{
    // A key that did not open reads its fallbacks and refuses writes; isOpen() tells.
    (void)open(root, path);
}

SettingsKey::SettingsKey(std::shared_ptr<SettingsStore> store, RootKey root, std::string_view path)
{
    (void)open(std::move(store), root, path);
}

SettingsKey::~SettingsKey() = default;
SettingsKey::SettingsKey(SettingsKey&&) noexcept = default;
SettingsKey& SettingsKey::operator=(SettingsKey&&) noexcept = default;

bool SettingsKey::open(RootKey root, std::string_view path)
{
    return open(SettingsStore::current(), root, path);
}

bool SettingsKey::open(std::shared_ptr<SettingsStore> store, RootKey root, std::string_view path)
{
    close();
    m_name = fullName(root, path);
    bool created = false;
    if (!store || !store->createKey(m_name, &created)) {
        return false;
    }
    m_store = std::move(store);
    m_open = true;
    m_created = created;
    return true;
}

void SettingsKey::close()
{
    m_store.reset();
    m_open = false;
    m_created = false;
}

bool SettingsKey::getString(std::string_view name, std::string& out, std::size_t bufferSize,
                            std::string_view fallback) const
{
    if (m_open) {
        const auto value = m_store->value(m_name, name);
        // The text and its terminating zero must fit the caller's buffer.
        if (value && value->type == ValueType::String && value->data.size() < bufferSize) {
            out = value->data;
            return true;
        }
    }
    out.assign(fallback);
    return false;
}

std::int32_t SettingsKey::getNumber(std::string_view name, std::int32_t fallback) const
{
    if (m_open) {
        const auto value = m_store->value(m_name, name);
        if (value && value->type == ValueType::Number) {
            return static_cast<std::int32_t>(value->number());
        }
    }
    return fallback;
}

bool SettingsKey::getBool(std::string_view name, bool fallback) const
{
    return getNumber(name, fallback ? 1 : 0) != 0;
}

bool SettingsKey::getBinary(std::string_view name, std::string& out, std::size_t bufferSize) const
{
    if (!m_open || m_created) {
        return false;
    }
    const auto value = m_store->value(m_name, name);
    if (!value || value->type != ValueType::Binary || value->data.size() > bufferSize) {
        return false;
    }
    out = value->data;
    return true;
}

bool SettingsKey::hasValue(std::string_view name) const
{
    return m_open && m_store->value(m_name, name).has_value();
}

bool SettingsKey::enumValue(int index, std::string& name, std::string& data) const
{
    ValueType ignored;
    return enumValue(index, name, data, ignored);
}

bool SettingsKey::enumValue(int index, std::string& name, std::string& data, ValueType& type) const
{
    if (!m_open || m_created || index < 0) {
        return false;
    }
    const std::vector<SettingsValue> values = m_store->values(m_name);
    if (static_cast<std::size_t>(index) >= values.size()) {
        return false;
    }
    const SettingsValue& value = values[static_cast<std::size_t>(index)];
    name = value.name;
    data = value.data;
    type = value.type;
    return true;
}

bool SettingsKey::setString(std::string_view name, std::string_view text)
{
    return m_open && m_store->setValue(m_name, SettingsValue::makeString(name, text));
}

bool SettingsKey::setNumber(std::string_view name, std::int32_t value)
{
    return m_open
        && m_store->setValue(m_name,
                             SettingsValue::makeNumber(name, static_cast<std::uint32_t>(value)));
}

bool SettingsKey::setBool(std::string_view name, bool value)
{
    return setNumber(name, value ? 1 : 0);
}

bool SettingsKey::setBinary(std::string_view name, std::string_view bytes)
{
    return m_open && m_store->setValue(m_name, SettingsValue::makeBinary(name, bytes));
}

bool SettingsKey::deleteValue(std::string_view name)
{
    return m_open && m_store->deleteValue(m_name, name);
}

std::string SettingsKey::read(const StringSetting& setting) const
{
    std::string text;
    if (!getString(setting.name, text, setting.bufferSize, setting.fallback) && setting.numberAsText
        && m_open) {
        const auto value = m_store->value(m_name, setting.name);
        if (value && value->type == ValueType::Number) {
            text = std::to_string(static_cast<std::int32_t>(value->number()));
        }
    }
    return text;
}

std::int32_t SettingsKey::read(const NumberSetting& setting) const
{
    if (setting.textAsNumber && m_open) {
        const auto value = m_store->value(m_name, setting.name);
        if (value && value->type == ValueType::String) {
            return numberInText(value->data).value_or(setting.fallback);
        }
    }
    return getNumber(setting.name, setting.fallback);
}

bool SettingsKey::read(const BoolSetting& setting) const
{
    return getBool(setting.name, setting.fallback);
}

bool SettingsKey::write(const StringSetting& setting, std::string_view text)
{
    return setString(setting.name, text);
}

bool SettingsKey::write(const NumberSetting& setting, std::int32_t value)
{
    return setNumber(setting.name, value);
}

bool SettingsKey::write(const BoolSetting& setting, bool value)
{
    return setBool(setting.name, value);
}
