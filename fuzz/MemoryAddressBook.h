#pragma once

#include "directories/AddressBook.h"

#include <map>
#include <string>

// An address book held in memory, for fuzzing code that looks entries up: names compare
// exactly, nothing is stored anywhere.
class MemoryAddressBook final : public AddressBook
{
public:
    MemoryAddressBook();

    [[nodiscard]] bool locate() override { return true; }
    [[nodiscard]] bool open() override { return true; }
    void close() override { }
    bool isDisabled() const override { return false; }
    [[nodiscard]] bool add(std::string_view name, std::string_view pagerInfo) override;
    [[nodiscard]] bool enumerate(AddressBookVisitor& visitor) override;
    [[nodiscard]] bool findLike(std::string_view prefix, std::string& name) override;
    bool isOpen() const override { return true; }
    bool isWritable() const override { return true; }
    [[nodiscard]] bool update(std::string_view name, std::string_view pagerInfo) override;
    [[nodiscard]] bool remove(std::string_view name) override;
    [[nodiscard]] bool getPagerInfo(std::string_view name, std::string& pagerInfo) override;
    AddressBookType type() const override { return AddressBookType::Simple; }
    std::string location() const override { return {}; }

private:
    std::map<std::string, std::string, std::less<>> m_entries;
};
