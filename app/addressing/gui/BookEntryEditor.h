#pragma once

#include "directories/gui/AddressBookDialog.h"

class ProviderDatabase;

// The address book's entry dialog is the "Add Recipient" dialog: a new entry with its name
// typed in, an existing one ("&Properties") with its name fixed and its address parsed.
class BookEntryEditor final
{
public:
    // The editor the address book dialog runs, choosing companies from `providers` (may be
    // null).
    static AddressBookDialog::EntryEditor make(ProviderDatabase* providers);
};
