#include "settings/RegistryDocument.h"

#include "settings/RegistryText.h"

RegistryEntry* RegistryKeyData::findValue(std::string_view valueName)
{
    for (RegistryEntry& entry : entries) {
        if (!entry.isRaw && RegistryText::sameName(entry.value.name, valueName)) {
            return &entry;
        }
    }
    return nullptr;
}

const RegistryEntry* RegistryKeyData::findValue(std::string_view valueName) const
{
    return const_cast<RegistryKeyData*>(this)->findValue(valueName);
}

bool RegistryKeyLess::operator()(std::string_view a, std::string_view b) const
{
    // Part by part, so "A\B" sorts right after "A" and before "A B".
    for (std::size_t i = 0;; ++i) {
        const bool aEnd = i == a.size();
        const bool bEnd = i == b.size();
        if (aEnd || bEnd) {
            return aEnd && !bEnd;
        }
        const char ca = a[i] == '\\' ? '\0' : RegistryText::lower(a[i]);
        const char cb = b[i] == '\\' ? '\0' : RegistryText::lower(b[i]);
        if (ca != cb) {
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
        }
    }
}

bool RegistryDocument::addKey(const std::string& key)
{
    bool added = false;
    for (std::size_t slash = key.find('\\');; slash = key.find('\\', slash + 1)) {
        const std::string part = key.substr(0, slash);
        if (keys.find(part) == keys.end()) {
            keys.emplace(part, RegistryKeyData {part, {}, {}});
            added = part == key;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return added;
}

bool RegistryDocument::removeKey(const std::string& key)
{
    auto first = keys.lower_bound(key);
    auto last = first;
    std::vector<std::string> stray;
    while (last != keys.end() && RegistryText::isWithin(last->first, key)) {
        stray.insert(stray.end(), last->second.strayLines.begin(), last->second.strayLines.end());
        ++last;
    }
    if (first == last) {
        return false;
    }
    // Lines that belonged to no key were written after the removed keys' values; they stay
    // where they were, now after the key before.
    std::vector<std::string>& before
        = first == keys.begin() ? leadingLines : std::prev(first)->second.strayLines;
    before.insert(before.end(), stray.begin(), stray.end());
    keys.erase(first, last);
    return true;
}

void RegistryDocument::apply(const std::vector<RegistryChange>& changes)
{
    for (const RegistryChange& change : changes) {
        switch (change.kind) {
        case RegistryChange::Kind::DeleteKey:
            (void)removeKey(change.key);
            break;
        case RegistryChange::Kind::CreateKey:
            (void)addKey(change.key);
            break;
        case RegistryChange::Kind::SetValue: {
            (void)addKey(change.key);
            RegistryKeyData& data = keys.find(change.key)->second;
            if (RegistryEntry* existing = data.findValue(change.value.name)) {
                existing->value = change.value;
            } else {
                data.entries.push_back(RegistryEntry {change.value, {}, false});
            }
            break;
        }
        case RegistryChange::Kind::DeleteValue: {
            const auto found = keys.find(change.key);
            if (found != keys.end()) {
                std::erase_if(found->second.entries, [&](const RegistryEntry& entry) {
                    return !entry.isRaw
                        && RegistryText::sameName(entry.value.name, change.value.name);
                });
            }
            break;
        }
        }
    }
}
