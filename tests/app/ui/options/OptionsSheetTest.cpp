#include "FakeDriverIds.h"
#include "FakeDriverScript.h"
#include "FreePort.h"
#include "GatewayClient.h"
#include "PrivateLog.h"
#include "addressing/GeneralSettings.h"
#include "addressing/RecipientListForm.h"
#include "directories/DirectorySettings.h"
#include "directories/HeadlessPrompt.h"
#include "directories/InternetAddressBook.h"
#include "directories/LdapService.h"
#include "gateway/GatewaySettings.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "gui/NumberSpinBox.h"
#include "net/TcpSocket.h"
#include "plugin/ControlLoader.h"
#include "services/DeskServices.h"
#include "settings/SettingsKey.h"
#include "settings/SharedSettings.h"
#include "stores/StoreSettings.h"
#include "ui/options/COptionsPropertyPage5.h"
#include "ui/options/COptionsPropertySheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <memory>

namespace {

// The value names of a key, in stored order.
QStringList valueNames(std::string_view keyPath)
{
    const SettingsKey key(RootKey::CurrentUser, keyPath);
    QStringList names;
    std::string name;
    std::string data;
    for (int index = 0; key.enumValue(index, name, data); ++index) {
        names << QString::fromStdString(name);
    }
    return names;
}

void setNumber(std::string_view keyPath, std::string_view name, std::int32_t value)
{
    SettingsKey key(RootKey::CurrentUser, keyPath);
    QVERIFY(key.setNumber(name, value));
}

std::int32_t number(std::string_view keyPath, std::string_view name)
{
    const SettingsKey key(RootKey::CurrentUser, keyPath);
    return key.getNumber(name, -1);
}

// Replaces a number field's text as a user would: select all, type.
void typeInto(NumberSpinBox* field, const QString& text)
{
    QLineEdit* edit = field->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The label editor the list has open now (closed editors linger hidden until deleted).
QLineEdit* openEditor(QListWidget* list)
{
    for (QLineEdit* editor : list->viewport()->findChildren<QLineEdit*>()) {
        if (editor->isVisible()) {
            return editor;
        }
    }
    return nullptr;
}

// Closes the modal window titled `title` once it comes up (run by a plug-in or by the sheet's
// own exec()); tells whether it came.
class ModalCloser
{
public:
    explicit ModalCloser(QString title)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, title] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && modal->windowTitle() == title) {
                m_closed = true;
                modal->close();
            }
        });
        m_timer.start(10);
    }
    bool closed() const { return m_closed; }

private:
    QTimer m_timer;
    bool m_closed = false;
};

} // namespace

// The options sheet over the program's real services, a private settings store and data folder.
class OptionsSheetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void closingTheSheetReReadsTheFlagsAndStartsAStoppedGateway();
    void generalCheckBoxesMarkThePageAndOkWritesThem();
    void zeroOrTextInTheLoggingNumbersStoresTheDefaults();
    void thePurgeButtonsDeleteTheirFilesAndSaySo();
    void removingAMiddleHostLeavesExactlyTheOthers();
    void theHostLabelsAreEditedWithInsertAndAnEmptiedLabelGoes();
    void theServiceSwitchRulesTheServerControls();
    void theServerPageSaysWhereTheGatewayListensOrWhyNot();
    void anUnknownBookTypeShowsNoRadioAndApplyingStoresZero();
    void applyingAnotherBookTypeResolvesNamesInItAtOnce();
    void aRegisteredDriverShowsItsOwnPropertiesWindow();
    void aDriverThatCannotLoadSaysWhyAndHowToFixIt();
    void theLdapPageListsSortedAndDeletesAtOnce();
    void windowsNotBuiltYetSaySo();

private:
    // A sheet showing the page at the index.
    std::unique_ptr<COptionsPropertySheet> openAt(int index);
    template<typename T>
    T* child(const char* name) const
    {
        T* found = m_sheet ? m_sheet->findChild<T*>(QLatin1String(name)) : nullptr;
        if (found == nullptr) {
            qWarning("no child %s", name);
        }
        return found;
    }

    std::unique_ptr<PrivateLog> m_log;
    std::unique_ptr<DeskServices> m_services;
    OptionsWindows m_windows;
    COptionsPropertySheet* m_sheet = nullptr;
};

void OptionsSheetTest::init()
{
    m_log = std::make_unique<PrivateLog>();
    const std::string home = m_log->registry().dir().path();
    std::filesystem::create_directories(home + "/data");
    SettingsKey paths(RootKey::CurrentUser, SharedSettings::Paths::key);
    QVERIFY(paths.setString("home", home));
    m_services = std::make_unique<DeskServices>(std::make_shared<HeadlessPrompt>(), "Main");
    m_services->history().initPath();
    m_windows = OptionsWindows();
}

void OptionsSheetTest::cleanup()
{
    m_sheet = nullptr;
    m_services.reset();
    m_log.reset();
}

std::unique_ptr<COptionsPropertySheet> OptionsSheetTest::openAt(int index)
{
    auto sheet = std::make_unique<COptionsPropertySheet>(*m_services, m_windows);
    m_sheet = sheet.get();
    sheet->tabs()->setCurrentIndex(index);
    sheet->show();
    if (!QTest::qWaitForWindowExposed(sheet.get())) {
        qWarning("the sheet did not come up");
    }
    return sheet;
}

void OptionsSheetTest::closingTheSheetReReadsTheFlagsAndStartsAStoppedGateway()
{
    const FreePort port;
    SettingsKey server(RootKey::CurrentUser, GatewaySettings::SnppSrv::key);
    QVERIFY(server.setBool("enabled", true));
    QVERIFY(server.setString("port", port.text()));
    SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    QVERIFY(hosts.setString("127.0.0.1", "rwx"));
    RecipientListForm recipients(nullptr, nullptr, nullptr);
    recipients.setFlags({});
    // Written while the panel's copy is older, as another instance or the CLI would.
    setNumber(GeneralSettings::key, "disableAddrCheck", 1);
    QCOMPARE(m_services->gatewayStatus().outcome, GatewayOutcome::None);

    const ModalCloser closer(QStringLiteral("Norvane Properties"));
    int afterClose = 0;
    COptionsPropertySheet::run(nullptr, *m_services, m_windows, [&] {
        ++afterClose;
        recipients.reloadFlags();
    });
    QVERIFY(closer.closed());
    QCOMPARE(afterClose, 1);
    QVERIFY(recipients.flags().disableCheck);
    QVERIFY(waitForListener(port.number()));
    GatewayClient client(port.number());
    QCOMPARE(QString::fromStdString(client.readLine().value_or("none").substr(0, 3)),
             QStringLiteral("220"));
}

void OptionsSheetTest::generalCheckBoxesMarkThePageAndOkWritesThem()
{
    setNumber(GeneralSettings::key, "disableAddrWarning", 1);
    const auto sheet = openAt(0);
    auto* apply = child<QPushButton>("applyButton");
    QVERIFY(apply && !apply->isEnabled());
    auto* warning = child<QCheckBox>("disableAddrWarningBox");
    QVERIFY(warning && warning->isChecked());
    warning->click();
    child<QCheckBox>("disableAddrCompletionBox")->click();
    QVERIFY(apply->isEnabled());
    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    QCOMPARE(sheet->result(), int(QDialog::Accepted));
    QCOMPARE(number(GeneralSettings::key, "disableAddrWarning"), 0);
    QCOMPARE(number(GeneralSettings::key, "disableAddrCompletion"), 1);
    QCOMPARE(number(GeneralSettings::key, "disableAddrCheck"), 0);
}

void OptionsSheetTest::zeroOrTextInTheLoggingNumbersStoresTheDefaults()
{
    setNumber(StoreSettings::Messages::key, "maxSavedCount", 33);
    setNumber(SharedSettings::Log::key, "maxLogSize", 77);
    const auto sheet = openAt(2);
    auto* saved = child<NumberSpinBox>("maxSavedCountEdit");
    auto* size = child<NumberSpinBox>("maxLogSizeEdit");
    QVERIFY(saved && size);
    QCOMPARE(saved->text(), QStringLiteral("33"));
    QCOMPARE(size->text(), QStringLiteral("77"));
    auto* apply = child<QPushButton>("applyButton");
    QVERIFY(!apply->isEnabled());

    typeInto(saved, QStringLiteral("0"));
    typeInto(size, QStringLiteral("lots"));
    QVERIFY(apply->isEnabled());
    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(number(StoreSettings::Messages::key, "maxSavedCount"), 20);
    QCOMPARE(number(SharedSettings::Log::key, "maxLogSize"), 50);
    QCOMPARE(saved->text(), QStringLiteral("20"));
    QVERIFY(!apply->isEnabled());

    typeInto(size, QStringLiteral("120"));
    auto* level = child<QComboBox>("logLevelList");
    QCOMPARE(level->count(), 13);
    QCOMPARE(level->itemText(4), QStringLiteral("Transactions"));
    level->setCurrentIndex(5);
    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    QCOMPARE(number(SharedSettings::Log::key, "maxLogSize"), 120);
    QCOMPARE(number(SharedSettings::Log::key, "logLevel"), 5);
}

void OptionsSheetTest::thePurgeButtonsDeleteTheirFilesAndSaySo()
{
    QVERIFY(m_services->history().recordSent("555-0100/1;", "kept until purged"));
    QVERIFY(std::filesystem::exists(m_services->history().path()));
    const auto sheet = openAt(2);
    MessageBox::answerNext(QMessageBox::Ok);
    QTest::mouseClick(child<QPushButton>("purgeSavedButton"), Qt::LeftButton);
    auto shown = MessageBox::lastAnswered();
    QVERIFY(shown.has_value());
    QCOMPARE(shown->caption, QStringLiteral("Purge Saved Message"));
    QCOMPARE(shown->text, QStringLiteral("All saved messaged deleted."));
    QVERIFY(!std::filesystem::exists(m_services->history().path()));

    LogFile log;
    log.write(1, "Local", "a line to purge");
    QVERIFY(std::filesystem::exists(m_log->logPath()));
    MessageBox::answerNext(QMessageBox::Ok);
    QTest::mouseClick(child<QPushButton>("purgeLogButton"), Qt::LeftButton);
    shown = MessageBox::lastAnswered();
    QCOMPARE(shown->caption, QStringLiteral("Purge Message Log"));
    QCOMPARE(shown->text, QStringLiteral("All logged messaged deleted."));
    QVERIFY(!std::filesystem::exists(m_log->logPath()));
}

void OptionsSheetTest::removingAMiddleHostLeavesExactlyTheOthers()
{
    SettingsKey server(RootKey::CurrentUser, GatewaySettings::SnppSrv::key);
    QVERIFY(server.setBool("enabled", true));
    SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    for (const char* host : {"alpha", "beta", "gamma"}) {
        QVERIFY(hosts.setString(host, "rwx"));
    }
    const auto sheet = openAt(4);
    auto* list = child<QListWidget>("hostList");
    QVERIFY(list && list->isEnabled());
    QCOMPARE(list->count(), 3);
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->count(), 2);
    QVERIFY(child<QPushButton>("applyButton")->isEnabled());
    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    QCOMPARE(valueNames(GatewaySettings::Hosts::key),
             (QStringList {QStringLiteral("alpha"), QStringLiteral("gamma")}));
}

void OptionsSheetTest::theHostLabelsAreEditedWithInsertAndAnEmptiedLabelGoes()
{
    SettingsKey server(RootKey::CurrentUser, GatewaySettings::SnppSrv::key);
    QVERIFY(server.setBool("enabled", true));
    SettingsKey hosts(RootKey::CurrentUser, GatewaySettings::Hosts::key);
    QVERIFY(hosts.setString("alpha", "rwx"));
    QVERIFY(hosts.setString("beta", "rwx"));
    const auto sheet = openAt(4);
    auto* list = child<QListWidget>("hostList");
    list->setFocus();

    // Keypad "+" appends a row and opens its label.
    QTest::keyClick(list, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(list->count(), 3);
    QLineEdit* editor = nullptr;
    QTRY_VERIFY((editor = openEditor(list)) != nullptr);
    QTest::keyClicks(editor, QStringLiteral("10.1.2.3"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(list->item(2)->text(), QStringLiteral("10.1.2.3"));

    // Insert, then leaving the new label empty, removes the row again.
    QTest::keyClick(list, Qt::Key_Insert);
    QCOMPARE(list->count(), 4);
    QTRY_VERIFY((editor = openEditor(list)) != nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_COMPARE(list->count(), 3);

    // Emptying an existing label removes its row.
    list->setCurrentRow(0);
    list->editItem(list->item(0));
    QTRY_VERIFY((editor = openEditor(list)) != nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(list->count(), 2);

    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    QCOMPARE(valueNames(GatewaySettings::Hosts::key),
             (QStringList {QStringLiteral("beta"), QStringLiteral("10.1.2.3")}));
}

void OptionsSheetTest::theServiceSwitchRulesTheServerControls()
{
    const auto sheet = openAt(4);
    auto* enable = child<QCheckBox>("enableServiceBox");
    auto* port = child<NumberSpinBox>("portEdit");
    auto* list = child<QListWidget>("hostList");
    auto* fromAdb = child<QCheckBox>("fromAdbOnlyBox");
    auto* level2 = child<QCheckBox>("level2LoginBox");
    QVERIFY(enable && port && list && fromAdb && level2);
    QVERIFY(!enable->isChecked());
    QCOMPARE(port->text(), QStringLiteral("444"));
    // Disabled at opening: the port and the list wait for the switch.
    QVERIFY(!port->isEnabled());
    QVERIFY(!list->isEnabled());
    QVERIFY(fromAdb->isEnabled());

    enable->click();
    QVERIFY(port->isEnabled() && list->isEnabled() && fromAdb->isEnabled() && level2->isEnabled());
    QVERIFY(child<QPushButton>("applyButton")->isEnabled());
    enable->click();
    QVERIFY(!port->isEnabled() && !list->isEnabled() && !fromAdb->isEnabled()
            && !level2->isEnabled());

    enable->click();
    level2->click();
    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    const SettingsKey server(RootKey::CurrentUser, GatewaySettings::SnppSrv::key);
    QVERIFY(server.getBool("enabled", false));
    QVERIFY(server.getBool("level2Login", false));
    QVERIFY(!server.getBool("fromAdbOnly", true));
}

void OptionsSheetTest::theServerPageSaysWhereTheGatewayListensOrWhyNot()
{
    const auto sheet = openAt(4);
    auto* status = child<QLabel>("gatewayStatusLabel");
    QCOMPARE(status->text(), QStringLiteral("The gateway has not started yet."));
    auto* page = static_cast<COptionsPropertyPage5*>(sheet->page(4));

    const FreePort free;
    child<QCheckBox>("enableServiceBox")->click();
    typeInto(child<NumberSpinBox>("portEdit"), QString::fromStdString(free.text()));
    QTest::mouseClick(child<QPushButton>("applyButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!page->isWaitingForGateway(), 10000);
    QCOMPARE(status->text(),
             QStringLiteral("The gateway is listening on port %1.").arg(free.number()));

    // A port that another program holds: the line says so, and what to do.
    const FreePort held;
    TcpSocket holder;
    QVERIFY(holder.bind(held.text()));
    (void)holder.acceptConnection(1, 5); // listening from now on
    typeInto(child<NumberSpinBox>("portEdit"), QString::fromStdString(held.text()));
    QTest::mouseClick(child<QPushButton>("applyButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!page->isWaitingForGateway(), 10000);
    QVERIFY2(status->text().startsWith(QStringLiteral("The gateway is not listening: port %1 "
                                                      "cannot be opened")
                                           .arg(held.number())),
             qPrintable(status->text()));

    child<QCheckBox>("enableServiceBox")->click();
    QTest::mouseClick(child<QPushButton>("applyButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!page->isWaitingForGateway(), 10000);
    QCOMPARE(status->text(),
             QStringLiteral("The gateway is not listening: the SNPP service is disabled."));
}

void OptionsSheetTest::anUnknownBookTypeShowsNoRadioAndApplyingStoresZero()
{
    setNumber(DirectorySettings::Adb::key, "adbType", 3);
    const auto sheet = openAt(3);
    for (const char* name : {"simpleBookRadio", "mapiBookRadio", "internetBookRadio"}) {
        QVERIFY2(!child<QRadioButton>(name)->isChecked(), name);
    }
    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    QCOMPARE(number(DirectorySettings::Adb::key, "adbType"), 0);
}

void OptionsSheetTest::applyingAnotherBookTypeResolvesNamesInItAtOnce()
{
    FakeDriverScript script(m_log->registry().dir().file("record.txt"));
    QVERIFY(FakeDriverScript::registerAs(FakeDriverIds::kestrelClass));
    std::filesystem::create_directories(m_log->registry().dir().file("data/contacts"));
    m_log->registry().dir().write("data/contacts/carol.vcf",
                                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Carol\r\n"
                                  "TEL;TYPE=PAGER:555-0100/7\r\nEND:VCARD\r\n");
    QVERIFY(m_services->selectAddressBook());
    std::int32_t sent = -1;
    QVERIFY(m_services->sender().sendToRecipients("Carol", "before", true, true, "Local", &sent));
    QCOMPARE(sent, 0); // not in the simple book

    int told = 0;
    m_windows.addressBookChanged = [&told] { ++told; };
    const auto sheet = openAt(3);
    auto* properties = child<QPushButton>("bookPropertiesButton");
    auto* show = child<QPushButton>("showAddressBookButton");
    QVERIFY(child<QRadioButton>("simpleBookRadio")->isChecked());
    QVERIFY(properties->isEnabled() && show->isEnabled());
    child<QRadioButton>("internetBookRadio")->click();
    QVERIFY(!properties->isEnabled() && !show->isEnabled());
    QVERIFY(child<QPushButton>("serviceProvidersButton")->isEnabled());
    QTest::mouseClick(child<QPushButton>("applyButton"), Qt::LeftButton);
    QVERIFY(properties->isEnabled() && show->isEnabled());
    QCOMPARE(told, 1);
    QCOMPARE(number(DirectorySettings::Adb::key, "adbType"), 2);
    QCOMPARE(static_cast<void*>(m_services->books().current()),
             static_cast<void*>(&m_services->books().internet()));
    QVERIFY(m_services->sender().sendToRecipients("Carol", "after", true, true, "Local", &sent));
    QCOMPARE(sent, 1);
}

void OptionsSheetTest::aRegisteredDriverShowsItsOwnPropertiesWindow()
{
    ControlLoader loader;
    QVERIFY2(loader.registerServer(NV_KESTREL_PLUGIN_PATH), loader.lastErrorText().c_str());
    QVERIFY2(loader.registerServer(NV_PLOVER_PLUGIN_PATH), loader.lastErrorText().c_str());
    const auto sheet = openAt(1);
    auto* list = child<QListWidget>("driverList");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("IXO/TAP driver"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("SNPP driver"));
    QVERIFY(!child<QPushButton>("addDriverButton")->isEnabled());
    QVERIFY(!child<QPushButton>("deleteDriverButton")->isEnabled());

    const struct
    {
        int row;
        const char* title;
    } drivers[] = {{0, "Kestrel ActiveX Properties"}, {1, "SNPP Driver Properties"}};
    for (const auto& driver : drivers) {
        list->setCurrentRow(driver.row);
        const ModalCloser closer(QString::fromLatin1(driver.title));
        QTest::mouseClick(child<QPushButton>("driverPropertiesButton"), Qt::LeftButton);
        QVERIFY2(closer.closed(), driver.title);
    }
}

void OptionsSheetTest::aDriverThatCannotLoadSaysWhyAndHowToFixIt()
{
    const auto sheet = openAt(1);
    child<QListWidget>("driverList")->setCurrentRow(1);
    MessageBox::answerNext(QMessageBox::Ok);
    QTest::mouseClick(child<QPushButton>("driverPropertiesButton"), Qt::LeftButton);
    const auto shown = MessageBox::lastAnswered();
    QVERIFY(shown.has_value());
    QVERIFY2(shown->text.startsWith(QStringLiteral("The SNPP driver cannot be opened: ")),
             qPrintable(shown->text));
    QVERIFY2(shown->text.contains(QStringLiteral("norvane-cli regsvr")), qPrintable(shown->text));
}

void OptionsSheetTest::theLdapPageListsSortedAndDeletesAtOnce()
{
    SettingsKey ldap(RootKey::CurrentUser, LdapService::key);
    for (const char* name : {"zeta", "Alpha", "beta"}) {
        QVERIFY(ldap.setString(name, "ldap.example.org,389,,,o=x"));
    }
    std::string edited = "none";
    m_windows.editLdapServer = [&edited](QWidget*, std::string& name) {
        edited = name;
        SettingsKey key(RootKey::CurrentUser, LdapService::key);
        return key.setString(name.empty() ? std::string("Gamma") : name, "h,389,,,o=y");
    };
    const auto sheet = openAt(5);
    auto* list = child<QListWidget>("ldapList");
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Alpha"));
    QCOMPARE(list->item(2)->text(), QStringLiteral("zeta"));

    QTest::mouseClick(child<QPushButton>("addLdapButton"), Qt::LeftButton);
    QCOMPARE(edited, std::string());
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->item(2)->text(), QStringLiteral("Gamma"));
    const QRect zeta = list->visualItemRect(list->item(3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, zeta.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, zeta.center());
    QCOMPARE(edited, std::string("zeta"));

    list->setCurrentRow(1);
    QTest::mouseClick(child<QPushButton>("deleteLdapButton"), Qt::LeftButton);
    QCOMPARE(valueNames(LdapService::key).size(), 3);
    QVERIFY(!valueNames(LdapService::key).contains(QStringLiteral("beta")));
    QCOMPARE(list->count(), 3);

    // An entry that went meanwhile (another program removed it) cannot be deleted.
    list->setCurrentRow(0);
    QVERIFY(ldap.deleteValue("Alpha"));
    MessageBox::answerNext(QMessageBox::Ok);
    QTest::mouseClick(child<QPushButton>("deleteLdapButton"), Qt::LeftButton);
    const auto shown = MessageBox::lastAnswered();
    QVERIFY(shown.has_value());
    QCOMPARE(shown->caption, QStringLiteral("Error"));
    QCOMPARE(shown->text, QStringLiteral("Cannot delete entry"));
    QCOMPARE(list->count(), 2);
}

void OptionsSheetTest::windowsNotBuiltYetSaySo()
{
    const auto sheet = openAt(3);
    const struct
    {
        const char* button;
        const char* window;
    } rows[] = {{"showAddressBookButton", "Show Address Book"},
                {"serviceProvidersButton", "Service Providers"},
                {"bookPropertiesButton", "Simple Address Book Properties"}};
    for (const auto& row : rows) {
        MessageBox::answerNext(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(row.button), Qt::LeftButton);
        const auto shown = MessageBox::lastAnswered();
        QVERIFY(shown.has_value());
        QCOMPARE(shown->text,
                 QStringLiteral("\"%1\" is not available yet in this version of Norvane Desk.")
                     .arg(QLatin1String(row.window)));
    }
    // "&Help" opens the topic of the page in front.
    MessageBox::answerNext(QMessageBox::Ok);
    QTest::mouseClick(child<QPushButton>("helpButton"), Qt::LeftButton);
    const auto shown = MessageBox::lastAnswered();
    QVERIFY(shown.has_value());
    QCOMPARE(
        shown->text,
        HelpTopics::placeholderText(0x20000 + 204, QStringLiteral("HIDD_OPTIONS_ADDRESSBOOK")));
}

QTEST_MAIN(OptionsSheetTest)
#include "OptionsSheetTest.moc"
