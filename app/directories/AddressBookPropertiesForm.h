#pragma once

#include <string>
#include <string_view>
#include <vector>

class AddressBookSelection;

// The rules of the address books' properties dialogs without their windows: what each shows
// and what its OK does (store the setting, close the current book, select the configured book
// again and open it).
class AddressBookPropertiesForm
{
public:
    static constexpr std::string_view simpleCaption = "Simple Address Book Properties";
    static constexpr std::string_view internetCaption = "Internet Address Book Properties";
    static constexpr std::string_view mapiCaption = "MAPI Address Book Properties";
    // The only profile there is on this platform.
    static constexpr std::string_view defaultProfile = "Default";

    // The simple book's path as its dialog shows it: a data source ("=" and its connect text)
    // without the "=", and whether it is one.
    struct SimplePath
    {
        std::string shown;
        bool dataSource = false;
    };

    // The MAPI book's settings as its dialog shows them.
    struct MapiSettings
    {
        bool promptLogin = false;
        std::string profileName {defaultProfile};
    };

    // The simple book's stored path (`simpleAdb`, or where the book is).
    static SimplePath simplePath(AddressBookSelection& books);
    // The path OK stores for what the field holds (a data source gets its "=" back).
    static std::string storedSimplePath(std::string_view field, bool dataSource);
    // OK of the simple book: uses the path, then re-selects and opens the current book. False
    // (with `error`) when the path is empty or cannot be stored.
    static bool applySimple(AddressBookSelection& books, const std::string& path,
                            std::string& error);

    // The vCard folder the Internet book uses.
    static std::string internetFolder(AddressBookSelection& books);
    // OK of the Internet book's dialog: uses the folder, then re-selects and opens the current
    // book. False (with `error`) when the folder is empty or cannot be stored.
    static bool applyInternet(AddressBookSelection& books, const std::string& folder,
                              std::string& error);

    // The MAPI settings as stored.
    static MapiSettings mapiSettings();
    // The profiles the list offers: "Default", as no other exists here.
    static std::vector<std::string> profiles();
    // The list row to select for the stored name: its row (any case), else the first.
    static int profileIndex(const std::vector<std::string>& profiles, std::string_view name);
    // OK of the MAPI dialog: stores both values, then re-selects and opens the current book.
    static bool applyMapi(AddressBookSelection& books, const MapiSettings& settings,
                          std::string& error);

private:
    // Closes the current book, selects the configured one and opens it.
    static void reopen(AddressBookSelection& books);
};
