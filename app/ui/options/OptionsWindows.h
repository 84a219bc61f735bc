#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

// The windows that the options sheet's buttons open but other parts of the program own, as
// callbacks the program fills in. Each one left as made shows the box '"X" is not available
// yet in this version of Norvane Desk.'.
struct OptionsWindows
{
    // "Show Address Book": the current address book's dialog.
    std::function<void(QWidget* parent)> showAddressBook;
    // "Service Providers": the paging service provider dialog.
    std::function<void(QWidget* parent)> serviceProviders;
    // "Properties..." of the address book type (0 simple, 1 MAPI, 2 Internet).
    std::function<void(QWidget* parent, int adbType)> bookProperties;
    // "View": the log viewer.
    std::function<void(QWidget* parent)> viewLog;
    // The "LDAP Server" dialog on the entry `name` ("" for a new one); true when the user
    // stored the entry (then `name` holds its name).
    std::function<bool(QWidget* parent, std::string& name)> editLdapServer;
    // Told after an applied change made another address book the current one, so that the
    // compose window looks names up in it from then on.
    std::function<void()> addressBookChanged;

    // Every window as "not available yet", and no one told of a book change.
    OptionsWindows();

    // The text of the box that a window not available yet shows.
    static QString notAvailableText(const QString& window);
    // Shows that box over `parent`.
    static void showNotAvailable(QWidget* parent, const QString& window);
    // The caption of the properties window of the address book type.
    static QString bookPropertiesCaption(int adbType);
};
