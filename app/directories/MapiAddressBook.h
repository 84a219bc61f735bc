#pragma once

#include "directories/AddressBook.h"

// The "Windows Messaging (MAPI) Address Book". The messaging system does not exist on this
// platform, so the book never loads: its first open after a selection shows the load message
// once and succeeds, and from then on the book is disabled and every operation fails.
class MapiAddressBook final : public AddressBook
{
public:
    // The message shown once when the book is opened.
    static constexpr std::string_view loadMessage
        = "Unable to load the MAPI DLL.\rPlease verify that Windows Message\ris installed or "
          "switch to use the\rbuilt-in Simple Address Book.\rAddress will be disabled";

    // A book that is not loaded; the message goes to `prompt` (logged when null).
    explicit MapiAddressBook(std::shared_ptr<UserPrompt> prompt = nullptr);
    ~MapiAddressBook() override;

    // Tries to load the messaging system: clears the disabled flag, fails and marks the
    // load failed.
    [[nodiscard]] bool locate() override;
    // Fails when disabled or not loaded yet; after a failed load shows the message, disables
    // the book and succeeds.
    [[nodiscard]] bool open() override;
    void close() override;
    bool isDisabled() const override;
    [[nodiscard]] bool add(std::string_view name, std::string_view pagerInfo) override;
    [[nodiscard]] bool enumerate(AddressBookVisitor& visitor) override;
    [[nodiscard]] bool findLike(std::string_view prefix, std::string& name) override;
    bool isOpen() const override { return false; }
    bool isWritable() const override { return false; }
    [[nodiscard]] bool update(std::string_view name, std::string_view pagerInfo) override;
    [[nodiscard]] bool remove(std::string_view name) override;
    [[nodiscard]] bool getPagerInfo(std::string_view name, std::string& pagerInfo) override;
    AddressBookType type() const override { return AddressBookType::Mapi; }
    std::string location() const override { return {}; }

private:
    bool unavailable(int stringId);

    mutable std::mutex m_mutex;
    bool m_loadFailed = false;
    bool m_disabled = false;
};
