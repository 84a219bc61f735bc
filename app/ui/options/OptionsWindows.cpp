#include "ui/options/OptionsWindows.h"

#include "gui/MessageBox.h"

OptionsWindows::OptionsWindows()
    : showAddressBook(
        [](QWidget* parent) { showNotAvailable(parent, QStringLiteral("Show Address Book")); })
    , serviceProviders(
          [](QWidget* parent) { showNotAvailable(parent, QStringLiteral("Service Providers")); })
    , bookProperties([](QWidget* parent, int adbType) {
        showNotAvailable(parent, bookPropertiesCaption(adbType));
    })
    , viewLog([](QWidget* parent) { showNotAvailable(parent, QStringLiteral("View Log")); })
    , editLdapServer([](QWidget* parent, std::string&) {
        showNotAvailable(parent, QStringLiteral("LDAP Server"));
        return false;
    })
    , addressBookChanged([] {})
{ }

QString OptionsWindows::notAvailableText(const QString& window)
{
    return QStringLiteral("\"%1\" is not available yet in this version of Norvane Desk.")
        .arg(window);
}

void OptionsWindows::showNotAvailable(QWidget* parent, const QString& window)
{
    MessageBox::show(parent, QMessageBox::Information, QStringLiteral("Norvane Desk"),
                     notAvailableText(window));
}

QString OptionsWindows::bookPropertiesCaption(int adbType)
{
    switch (adbType) {
    case 1:
        return QStringLiteral("MAPI Address Book Properties");
    case 2:
        return QStringLiteral("Internet (Outlook) Address Book Properties");
    default:
        return QStringLiteral("Simple Address Book Properties");
    }
}
