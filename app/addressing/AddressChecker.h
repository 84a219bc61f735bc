#pragma once

#include "addressing/AddressCheck.h"
#include "addressing/AddressError.h"
#include "addressing/PagerAddress.h"

#include <string_view>

class AddressBook;
class ProviderDatabase;
class UserPrompt;

// The acceptance check of an entered recipient (an address or an address-book name), as
// the recipient entry and the SNPP gateway use it. Keeps the results of its last check;
// use one checker per call or per thread.
class AddressChecker
{
public:
    // Texts and captions of the three questions.
    static constexpr std::string_view notFoundText
        = "The pager address you entered seems to\rbe a address book entry but is not "
          "found\rin the address book or does not contain\rvalid address";
    static constexpr std::string_view notFoundCaption = "Address Not Found";
    static constexpr std::string_view malformedText
        = "The pager address you entered seems to be malformed\r%s\rDo you want to enter it "
          "anyway?";
    static constexpr std::string_view malformedCaption = "Bad Address";
    static constexpr std::string_view noProtocolText
        = "The protocol required by this \raddress is not available. \rDo you want to enter it "
          "anyway?";
    static constexpr std::string_view noProtocolCaption = "Protocol Not Found";

    // A checker that translates provider names through `providers` and looks names up in
    // `book` (either may be null: nothing is found there); questions go to `prompt` (with
    // none, a check that is not quiet accepts as the quiet one does).
    AddressChecker(ProviderDatabase* providers, AddressBook* book, UserPrompt* prompt);

    // Checks the text and gives the kind found. Quiet: always accepts (true), the caller
    // decides from `kind`. Otherwise each doubtful case is asked as a Yes/No question and
    // "No" rejects. An address-book failure does not touch the last address error.
    [[nodiscard]] bool checkAddress(bool quiet, std::string_view text, AddressCheck& kind);

    // The address the last check parsed (type Invalid when it did not parse).
    const PagerAddress& address() const { return m_address; }
    // The address text the last check parsed: the text, or the entry's pager information.
    const std::string& addressText() const { return m_addressText; }
    // The code of the last failed parse: 0x30000 plus the message id (0 when none failed).
    std::int32_t lastError() const { return m_error.code; }
    // The text of the last failed parse ("" when none failed).
    const std::string& lastErrorText() const { return m_error.text; }

private:
    bool ask(bool quiet, std::string_view text, std::string_view caption);

    ProviderDatabase* m_providers;
    AddressBook* m_book;
    UserPrompt* m_prompt;
    PagerAddress m_address;
    std::string m_addressText;
    AddressError m_error;
};
