// The "LDAP Server" dialog: a new entry written from its fields, an entry edited in place, a
// missing entry, and the refusals of OK that keep the dialog open.
#include "directories/gui/LdapServerDialog.h"

#include "ScopedRegistry.h"
#include "gui/MessageBox.h"
#include "gui/NumberSpinBox.h"
#include "qt/ModalWindows.h"
#include "settings/SettingsKey.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

std::string stored(const std::string& name)
{
    SettingsKey key(RootKey::CurrentUser, LdapService::key);
    std::string data;
    return key.getString(name, data, 128) ? data : std::string("(none)");
}

} // namespace

class LdapServerDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_registry = std::make_unique<ScopedRegistry>(); }
    void cleanup() { m_registry.reset(); }
    void aNewEntryIsWrittenUnderItsName();
    void anEntryOpensWithItsFieldsAndIsRewritten();
    void aMissingEntryIsReportedAndOpensEmpty();
    void refusalsKeepTheDialogOpen();

private:
    std::unique_ptr<ScopedRegistry> m_registry;
};

void LdapServerDialogTest::aNewEntryIsWrittenUnderItsName()
{
    bool checked = false;
    onNextDialog([&](QDialog* dialog) {
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("LDAP Server"));
        auto* name = childOf<QLineEdit>(dialog, "nameEdit");
        QCOMPARE(name->text(), QStringLiteral("NoName"));
        QCOMPARE(childOf<NumberSpinBox>(dialog, "portBox")->text(), QStringLiteral("389"));
        QCOMPARE(childOf<QGroupBox>(dialog, "authenticationGroup")->title(),
                 QStringLiteral("Authentication (Optional)"));
        QCOMPARE(childOf<QLineEdit>(dialog, "passwordEdit")->echoMode(), QLineEdit::Password);
        // Typing replaces the proposed name.
        QTest::keyClicks(name, QStringLiteral("Test Directory"));
        QTest::keyClicks(childOf<QLineEdit>(dialog, "hostEdit"), QStringLiteral("127.0.0.1"));
        auto* port = childOf<NumberSpinBox>(dialog, "portBox");
        port->setText(QStringLiteral("1388"));
        QTest::keyClick(port, Qt::Key_Up);
        QTest::keyClicks(childOf<QLineEdit>(dialog, "baseEdit"), QStringLiteral("dc=test"));
        checked = true;
        childOf<QPushButton>(dialog, "okButton")->click();
    });
    std::string name;
    QVERIFY(LdapServerDialog::edit(nullptr, name));
    QVERIFY(checked);
    QCOMPARE(name, std::string("Test Directory"));
    QCOMPARE(stored("Test Directory"), std::string("127.0.0.1,1389,,,dc=test"));
}

void LdapServerDialogTest::anEntryOpensWithItsFieldsAndIsRewritten()
{
    SettingsKey key(RootKey::CurrentUser, LdapService::key);
    QVERIFY(key.setString("Corp", "ldap.corp.test,0,cn=reader,pw,dc=corp"));
    onNextDialog([](QDialog* dialog) {
        QVERIFY(dialog);
        QCOMPARE(childOf<QLineEdit>(dialog, "nameEdit")->text(), QStringLiteral("Corp"));
        QCOMPARE(childOf<QLineEdit>(dialog, "hostEdit")->text(), QStringLiteral("ldap.corp.test"));
        QCOMPARE(childOf<NumberSpinBox>(dialog, "portBox")->text(), QStringLiteral("389"));
        QCOMPARE(childOf<QLineEdit>(dialog, "loginEdit")->text(), QStringLiteral("cn=reader"));
        QCOMPARE(childOf<QLineEdit>(dialog, "passwordEdit")->text(), QStringLiteral("pw"));
        QCOMPARE(childOf<QLineEdit>(dialog, "baseEdit")->text(), QStringLiteral("dc=corp"));
        childOf<QLineEdit>(dialog, "passwordEdit")->setText(QStringLiteral("new"));
        childOf<QPushButton>(dialog, "okButton")->click();
    });
    std::string name = "Corp";
    QVERIFY(LdapServerDialog::edit(nullptr, name));
    QCOMPARE(stored("Corp"), std::string("ldap.corp.test,389,cn=reader,new,dc=corp"));

    // Cancel writes nothing.
    onNextDialog([](QDialog* dialog) {
        childOf<QLineEdit>(dialog, "hostEdit")->setText(QStringLiteral("other.test"));
        childOf<QPushButton>(dialog, "cancelButton")->click();
    });
    QVERIFY(!LdapServerDialog::edit(nullptr, name));
    QCOMPARE(stored("Corp"), std::string("ldap.corp.test,389,cn=reader,new,dc=corp"));
}

void LdapServerDialogTest::aMissingEntryIsReportedAndOpensEmpty()
{
    MessageBox::answerNext(QMessageBox::Ok);
    onNextDialog([](QDialog* dialog) {
        QVERIFY(dialog);
        const auto box = MessageBox::lastAnswered();
        QVERIFY(box);
        QCOMPARE(box->text, QStringLiteral("Failed to find entry"));
        QCOMPARE(box->caption, QStringLiteral("Error"));
        QCOMPARE(childOf<QLineEdit>(dialog, "nameEdit")->text(), QStringLiteral("Gone"));
        QCOMPARE(childOf<QLineEdit>(dialog, "hostEdit")->text(), QString());
        dialog->reject();
    });
    std::string name = "Gone";
    QVERIFY(!LdapServerDialog::edit(nullptr, name));
}

void LdapServerDialogTest::refusalsKeepTheDialogOpen()
{
    QStringList shown;
    onNextDialog([&](QDialog* dialog) {
        QVERIFY(dialog);
        auto pressOk = [&] {
            MessageBox::answerNext(QMessageBox::Ok);
            childOf<QPushButton>(dialog, "okButton")->click();
            const auto box = MessageBox::lastAnswered();
            shown << (box ? box->caption + QLatin1String(": ") + box->text : QString());
            QVERIFY(dialog->isVisible());
        };
        childOf<QLineEdit>(dialog, "nameEdit")->clear();
        pressOk();
        childOf<QLineEdit>(dialog, "nameEdit")->setText(QStringLiteral("Corp"));
        pressOk();
        childOf<QLineEdit>(dialog, "hostEdit")->setText(QStringLiteral("ldap.corp.test"));
        childOf<QLineEdit>(dialog, "baseEdit")->setText(QStringLiteral("dc=corp,dc=test"));
        pressOk();
        dialog->reject();
    });
    std::string name;
    QVERIFY(!LdapServerDialog::edit(nullptr, name));
    QCOMPARE(shown,
             (QStringList {
                 QStringLiteral("Error: Entry Name cannot be empty"),
                 QStringLiteral("Error: Hostname cannot be empty"),
                 QStringLiteral("Error: Directory Base cannot hold a comma: separate the parts "
                                "of the name with \";\" (dc=example;dc=com)")}));
    QCOMPARE(stored("Corp"), std::string("(none)"));
}

QTEST_MAIN(LdapServerDialogTest)
#include "LdapServerDialogTest.moc"
