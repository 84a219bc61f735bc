#pragma once

#include "directories/AddressBook.h"

#include <memory>

class VCardFolder;

// The "Internet Address Book": a folder of vCard files, one contact per file, as contact
// tools and sync tools keep them. An entry's name is the card's FN and its pager information
// the TEL of type pager. Searches by name read the first 1024 entries in file-name order.
// The folder comes from `internetAdb` (else `home`/data/contacts, else "contacts") and is
// created when missing; a folder that cannot be used disables the book with one message.
class InternetAddressBook final : public AddressBook
{
public:
    // How many entries a search by name reads.
    static constexpr std::size_t searchLimit = 1024;
    // The longest pager information stored (a pager address's limit).
    static constexpr std::size_t maxPagerInfoLength = 127;

    // A book that is not located yet; messages go to `prompt` (logged when null).
    explicit InternetAddressBook(std::shared_ptr<UserPrompt> prompt = nullptr);
    ~InternetAddressBook() override;

    // Works out the folder, creates it when missing and checks it can be read; the folder
    // is written to `internetAdb`. A failure marks the load failed.
    [[nodiscard]] bool locate() override;
    // After a failed load, shows the message once, disables the book and succeeds; a
    // disabled book fails.
    [[nodiscard]] bool open() override;
    // Keeps the folder in use (as the system book kept its objects until the program ends).
    void close() override;
    bool isDisabled() const override;
    [[nodiscard]] bool add(std::string_view name, std::string_view pagerInfo) override;
    [[nodiscard]] bool enumerate(AddressBookVisitor& visitor) override;
    [[nodiscard]] bool findLike(std::string_view prefix, std::string& name) override;
    bool isOpen() const override;
    bool isWritable() const override;
    [[nodiscard]] bool update(std::string_view name, std::string_view pagerInfo) override;
    [[nodiscard]] bool remove(std::string_view name) override;
    // No entry: message 141; an entry without a pager number: message 142.
    [[nodiscard]] bool getPagerInfo(std::string_view name, std::string& pagerInfo) override;
    AddressBookType type() const override { return AddressBookType::Internet; }
    // Uses the folder from now on: writes it to `internetAdb` and closes the book, so that
    // the next locate and open work on it (and a disabled book may load again). False when
    // the settings cannot be written.
    [[nodiscard]] bool setFolder(const std::string& folder);
    // The folder the book uses, or would use once located (`internetAdb` and the home rule).
    static std::string configuredFolder();
    std::string location() const override;

private:
    bool usable(int stringId);
    bool findEntry(std::string_view name, std::string& fileName, std::string& pagerInfo,
                   int stringId);
    bool failFolder(int stringId, const std::string& error);

    mutable std::mutex m_mutex;
    std::unique_ptr<VCardFolder> m_folder;
    std::string m_loadError;
    bool m_loadFailed = false;
    bool m_disabled = false;
    bool m_open = false;
    bool m_writable = false;
};
