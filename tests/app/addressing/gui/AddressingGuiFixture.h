#pragma once

#include "ScopedRegistry.h"
#include "addressing/RecipientListForm.h"
#include "directories/ProviderDatabase.h"
#include "directories/SimpleAddressBook.h"
#include "qt/ModalWindows.h"
#include "settings/SettingsKey.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// A private settings store whose home is a temporary folder, holding a provider database with
// two companies and a simple address book with "Bobby Smith"; a form over both.
struct AddressingGuiFixture
{
    AddressingGuiFixture()
    {
        SettingsKey paths(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\NorvaneDesk\\Paths");
        ready = paths.setString("home", registry.dir().path()) && providers.open()
            && providers.add("Zeta Paging", "555-0199") && providers.add("MyPaging", "555-0100")
            && book.open() && book.add("Bobby Smith", "MyPaging/12");
    }

    std::string storedAddress(const std::string& name)
    {
        std::string address;
        return book.getPagerInfo(name, address) ? address : std::string("(none)");
    }

    ScopedRegistry registry;
    ProviderDatabase providers;
    SimpleAddressBook book;
    bool ready = false;
    RecipientListForm form {&providers, &book, nullptr};
};
