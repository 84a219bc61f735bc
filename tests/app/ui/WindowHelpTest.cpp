#include "ScopedRegistry.h"
#include "addressing/gui/AddRecipientDialog.h"
#include "directories/HeadlessPrompt.h"
#include "directories/gui/AddressBookDialog.h"
#include "directories/gui/DirectorySearchDialog.h"
#include "directories/gui/LocateDatabaseDialog.h"
#include "directories/gui/ProvidersDialog.h"
#include "help/HelpLibrary.h"
#include "log/gui/LogViewerDialog.h"
#include "sending/gui/SendResultsDialog.h"
#include "services/DeskServices.h"
#include "shell/HelpIndex.h"
#include "stores/gui/SaveMessageDialog.h"
#include "stores/gui/SavedMessagesDialog.h"
#include "stores/gui/ScheduleDialog.h"
#include "ui/ComposeWindow.h"
#include "ui/options/COptionsPropertySheet.h"
#include "ui/options/OptionsPage.h"

#include <QTest>

#include <cstdint>
#include <memory>

// Each window's "&Help" opens its own topic by its context number: the number and the topic's
// key agree with the bundled topics.
class WindowHelpTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyWindowsContextOpensItsTopic_data();
    void everyWindowsContextOpensItsTopic();
    void everyOptionsPageOpensItsTopic();
};

void WindowHelpTest::everyWindowsContextOpensItsTopic_data()
{
    QTest::addColumn<std::uint32_t>("context");
    QTest::addColumn<QString>("key");
    const auto row = [](const char* name, std::uint32_t context, const char* key) {
        QTest::newRow(name) << context << QString::fromLatin1(key);
    };
    row("compose", ComposeWindow::windowHelpContext, "HIDD_COMPOSE");
    row("add recipient", AddRecipientDialog::helpContext, "HIDD_ADDRECIPIENT");
    row("send results", SendResultsDialog::helpContext, SendResultsDialog::helpKey);
    row("locate", LocateDatabaseDialog::helpContext, "HIDD_LOCATEDB");
    row("providers", ProvidersDialog::helpContext, "HIDD_PROVIDERS");
    row("address book", AddressBookDialog::helpContext, "HIDD_ADDRESSBOOK");
    row("directory search", DirectorySearchDialog::helpContext, DirectorySearchDialog::helpKey);
    row("save message", SaveMessageDialog::helpContext, SaveMessageDialog::helpKey);
    row("saved messages", SavedMessagesDialog::helpContext, SavedMessagesDialog::helpKey);
    row("schedule", ScheduleDialog::helpContext, ScheduleDialog::helpKey);
    row("log viewer", LogViewerDialog::helpContext, LogViewerDialog::helpKey);
    row("send button", ComposeWindow::controlHelpBase + 1, "HIDC_SEND");
    // The IXO/TAP driver's settings, in its plug-in (KestrelPropertiesDialog::helpContext).
    row("kestrel properties", 0x2F0C9, "HIDD_KESTREL_PROPERTIES");
}

void WindowHelpTest::everyWindowsContextOpensItsTopic()
{
    QFETCH(std::uint32_t, context);
    QFETCH(QString, key);
    const HelpTopic* topic = HelpLibrary::index().byContext(context);
    QVERIFY2(topic != nullptr, qPrintable(QStringLiteral("no topic for 0x%1").arg(context, 0, 16)));
    QCOMPARE(QString::fromStdString(topic->key), key);
}

void WindowHelpTest::everyOptionsPageOpensItsTopic()
{
    ScopedRegistry registry;
    DeskServices services(std::make_shared<HeadlessPrompt>(), "Main");
    const OptionsWindows windows;
    COptionsPropertySheet sheet(services, windows);
    for (int index = 0; index < COptionsPropertySheet::pageCount; ++index) {
        const OptionsPage::Help help = sheet.page(index)->help();
        const HelpTopic* topic = HelpLibrary::index().byContext(help.context);
        QVERIFY2(topic != nullptr, help.key);
        QCOMPARE(topic->key, std::string(help.key));
    }
}

QTEST_MAIN(WindowHelpTest)
#include "WindowHelpTest.moc"
