// Draws the desktop program's main windows with sample contents into PNG files, for the
// README: scripts/screenshots runs it under a virtual X server. Not a test and not installed.
#include "addressing/gui/RecipientsPanel.h"
#include "directories/HeadlessPrompt.h"
#include "directories/LdapService.h"
#include "directories/SimpleAddressBook.h"
#include "directories/gui/AddressBookDialog.h"
#include "directories/gui/DeskPrompt.h"
#include "directories/gui/DirectorySearchDialog.h"
#include "directories/gui/LdapServerDialog.h"
#include "directories/gui/ProvidersDialog.h"
#include "help/HelpWindow.h"
#include "log/LogFile.h"
#include "log/gui/LogViewerDialog.h"
#include "sending/ResultRow.h"
#include "sending/gui/SendResultsDialog.h"
#include "services/DeskServices.h"
#include "settings/SettingsKey.h"
#include "stores/Schedule.h"
#include "stores/gui/SavedMessagesDialog.h"
#include "stores/gui/ScheduleDialog.h"
#include "tutorial/WelcomeDialog.h"
#include "ui/ComposeWindow.h"
#include "ui/options/COptionsPropertySheet.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <memory>
#include <tuple>
#include <utility>

namespace {

bool save(QWidget& window, const QString& path)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QTest::qWait(200);
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    // Sample data: an address book, saved messages and a log, in the private folders the
    // script gives.
    {
        SimpleAddressBook book(std::make_shared<HeadlessPrompt>());
        if (book.open()) {
            for (const auto& [name, pager] : {std::pair {"Bobby Smith", "555-0100/1234"},
                                              {"Night desk", "pager.example.com!77"},
                                              {"Facilities", "555-0142/88"},
                                              {"Ann Lee", ""}})
                (void)book.add(name, pager);
        }
    }
    for (const auto& [level, origin, text] :
         {std::tuple {4, "Local", "Sent to 555-0100/1234: Server room at 24 C"},
          {1, "SNPP(192.0.2.10)", "Cannot open server port 444: Address already in use"},
          {4, "Sch(Disk alarm)", "Sent to 5551234/77: Disk full"},
          {5, "plover", "Connected to pager.example.com port 444"}})
        (void)LogFile().write(level, origin, "%s", text);

    auto prompt = std::make_shared<DeskPrompt>();
    DeskServices services(prompt, "Main");
    (void)services.selectAddressBook();
    services.savedMessages().initPath();
    (void)services.savedMessages().add("Disk alarm", "W 062 00 00 09 05 000000000000",
                                       "5551234/77;", "Disk full on the backup server");
    (void)services.savedMessages().add("Shift change", "-", "Night desk;Facilities;",
                                       "Night shift starts now");
    ComposeWindow window(services, *prompt);
    window.resize(560, 380);
    // Quiet checks, so that each entry shows the picture of what its check found.
    window.recipients().setFlags({.disableWarning = true});
    for (const char* entry : {"555-0100/1234", "pager.example.com!77", "555-0199", "Bobby Smith"})
        (void)window.recipients().add(entry, false);
    window.recipients().setMessage("Server room at 24 C and rising. Please call the desk.");
    window.panel()->refresh();
    bool ok = save(window, folder + QStringLiteral("/compose.png"));

    const std::vector<ResultRow> rows {
        {"555-0100/1234", ResultStatus::ResultSent, "Sent successfully", 0, 0},
        {"pager.example.com!77", ResultStatus::ResultRejected, "Rejected by the remote server", 0,
         0},
        {"Bobby Smith", ResultStatus::ResultNotDeliverable, "Entry not found", 0, std::nullopt}};
    SendResultsDialog results(rows);
    ok = save(results, folder + QStringLiteral("/results.png")) && ok;

    AddressBookDialog book(services.books().current(), AddressBookForm::Mode::Managing);
    ok = save(book, folder + QStringLiteral("/addressbook.png")) && ok;

    SavedMessagesDialog saved(services.savedMessages());
    if (auto* list = saved.findChild<QTreeWidget*>(QStringLiteral("messageList")))
        list->setCurrentItem(list->topLevelItem(0));
    ok = save(saved, folder + QStringLiteral("/saved.png")) && ok;

    LogViewerDialog log;
    log.resize(640, 300);
    ok = save(log, folder + QStringLiteral("/log.png")) && ok;

    const OptionsWindows windows;
    COptionsPropertySheet options(services, windows);
    options.tabs()->setCurrentIndex(4);
    ok = save(options, folder + QStringLiteral("/options.png")) && ok;

    ProvidersDialog providers(services.providers());
    ok = save(providers, folder + QStringLiteral("/providers.png")) && ok;

    ScheduleDialog schedule("Disk alarm", Schedule::fromText("W 062 00 00 09 05 000000000000"));
    ok = save(schedule, folder + QStringLiteral("/schedule.png")) && ok;

    SettingsKey ldap(RootKey::CurrentUser, LdapService::key);
    (void)ldap.setString("Staff", "ldap.example.com,389,,,ou=people;dc=example;dc=com");
    DirectorySearchDialog search;
    ok = save(search, folder + QStringLiteral("/search.png")) && ok;
    LdapServerDialog server(LdapServerForm::forEntry(ldap, "Staff"), ldap);
    ok = save(server, folder + QStringLiteral("/ldapserver.png")) && ok;

    WelcomeDialog welcome;
    ok = save(welcome, folder + QStringLiteral("/welcome.png")) && ok;

    HelpWindow help;
    (void)help.openKey(QStringLiteral("HIDH_OVERVIEW"));
    help.resize(760, 480);
    ok = save(help, folder + QStringLiteral("/help.png")) && ok;
    return ok ? 0 : 1;
}
