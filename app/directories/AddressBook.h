#pragma once

#include "threads/ThreadLastError.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class AddressBookVisitor;
class UserPrompt;

// The kinds of address book, as the setting `adbType` numbers them.
enum class AddressBookType : std::int32_t { Simple = 0, Mapi = 1, Internet = 2 };

// An address book: entries that map a person's name to pager information (a pager address
// in its text form). The operations are the same for every kind of book. Failures return
// false; the calling thread's lastErrorText/lastErrorCode then say why (code 0x30000 plus the
// string-table id of the message). Every operation may be called from any thread.
class AddressBook
{
public:
    // The longest entry name, in characters.
    static constexpr std::size_t maxNameLength = 127;

    virtual ~AddressBook();
    AddressBook(const AddressBook&) = delete;
    AddressBook& operator=(const AddressBook&) = delete;

    // Finds or prepares the book's store before opening.
    [[nodiscard]] virtual bool locate() = 0;
    // Opens the book, locating it first.
    [[nodiscard]] virtual bool open() = 0;
    // Closes the book.
    virtual void close() = 0;
    // True when the book cannot be used for editing (disabled, read-only or not open).
    virtual bool isDisabled() const = 0;
    // Adds an entry; refuses a name that is empty, too long, holds ";" or "=", or exists.
    [[nodiscard]] virtual bool add(std::string_view name, std::string_view pagerInfo) = 0;
    // Passes every entry to the visitor.
    [[nodiscard]] virtual bool enumerate(AddressBookVisitor& visitor) = 0;
    // The whole name of the first entry whose name begins with the prefix (any case).
    [[nodiscard]] virtual bool findLike(std::string_view prefix, std::string& name) = 0;
    // Whether the book is open.
    virtual bool isOpen() const = 0;
    // Whether entries can be written.
    virtual bool isWritable() const = 0;
    // Changes the pager information of the entry of that name.
    [[nodiscard]] virtual bool update(std::string_view name, std::string_view pagerInfo) = 0;
    // Deletes the entry of that name.
    [[nodiscard]] virtual bool remove(std::string_view name) = 0;
    // The pager information of the entry of that name; on failure the last error is set.
    [[nodiscard]] virtual bool getPagerInfo(std::string_view name, std::string& pagerInfo) = 0;

    // The kind of book.
    virtual AddressBookType type() const = 0;
    // Where the book keeps its entries (a file, a folder; "" when nowhere), for messages.
    virtual std::string location() const = 0;

    // The calling thread's last error text (at most 127 bytes).
    static const std::string& lastErrorText() { return Error::text(); }
    // The calling thread's last error code: 0x30000 plus the message's string-table id.
    static std::int32_t lastErrorCode() { return Error::code(); }
    // Replaces the prompt for the book's questions and messages (the GUI sets its dialogs).
    void setPrompt(std::shared_ptr<UserPrompt> prompt);

    // Why an entry name cannot be stored ("" when it can): empty, longer than maxLength
    // characters, or holding ";" (the recipient list separator) or "=" (the history's).
    static std::string nameProblem(std::string_view name, std::size_t maxLength);

protected:
    explicit AddressBook(std::shared_ptr<UserPrompt> prompt);
    // Sets the calling thread's last error to a string-table message with its code.
    bool failWith(int stringId);
    // Sets the calling thread's last error to the text, with the code of the message id.
    bool failWith(int stringId, std::string_view text);
    // The prompt (never null).
    std::shared_ptr<UserPrompt> prompt() const;

private:
    using Error = ThreadLastError<std::int32_t, AddressBook>;

    mutable std::mutex m_promptMutex;
    std::shared_ptr<UserPrompt> m_prompt;
};
