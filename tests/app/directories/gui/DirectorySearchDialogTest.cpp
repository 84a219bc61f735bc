// The "Directory Search" dialog against a real slapd on loopback and against a server that
// never answers: people found and handed back, an entry without a pager refused, the bind
// question answered No, and Stop, with the window served all the while.
#include "directories/gui/DirectorySearchDialog.h"

#include "LdapSamplePeople.h"
#include "LdapTestServer.h"
#include "ScopedRegistry.h"
#include "SilentLdapServer.h"
#include "directories/DirectorySettings.h"
#include "gui/MessageBox.h"
#include "qt/ModalWindows.h"
#include "settings/SettingsKey.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>

namespace {

QStringList rowTexts(QTreeWidget* list)
{
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        rows << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + item->text(2);
    }
    return rows;
}

QString lastBox()
{
    const auto box = MessageBox::lastAnswered();
    return box ? box->caption + QLatin1String(": ") + box->text : QString();
}

// A DN as the stored entry holds it: the entry has no room for commas, so the parts of the
// name are separated by ";", which directory servers read alike.
std::string stored(std::string_view dn)
{
    std::string text(dn);
    std::replace(text.begin(), text.end(), ',', ';');
    return text;
}

void writeService(const std::string& name, const std::string& data)
{
    SettingsKey key(RootKey::CurrentUser, LdapService::key);
    if (!key.setString(name, data))
        qFatal("cannot write the service %s", name.c_str());
}

} // namespace

class DirectorySearchDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void aPersonFoundIsHandedBackFromAddToRecipients();
    void anEntryWithoutPagerIsRefusedAndTheDialogStays();
    void theBindQuestionAnsweredNoEndsTheSearchWhileTheWindowIsServed();
    void stopAbandonsASearchThatNeverEnds();

private:
    void search(const QString& name);
    // Closes any message box shown for real (no answer was given in advance), so that an
    // unexpected box fails the test instead of waiting for ever.
    void closeUnexpectedBoxes();
    QTreeWidget* list() const { return childOf<QTreeWidget>(m_dialog.get(), "resultList"); }

    std::unique_ptr<LdapTestServer> m_slapd;
    std::unique_ptr<ScopedRegistry> m_registry;
    std::unique_ptr<DirectorySearchDialog> m_dialog;
    QTimer m_boxWatch;
    QStringList m_unexpectedBoxes;
};

void DirectorySearchDialogTest::closeUnexpectedBoxes()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            m_unexpectedBoxes << box->windowTitle() + QLatin1String(": ") + box->text();
            box->done(QMessageBox::No);
        }
    }
}

void DirectorySearchDialogTest::initTestCase()
{
    const std::string unavailable = LdapTestServer::unavailableReason();
    if (!unavailable.empty())
        QSKIP(unavailable.c_str());
    m_slapd = std::make_unique<LdapTestServer>();
    QVERIFY(m_slapd->start(ldapSamplePeople()));
    m_boxWatch.setInterval(100);
    connect(&m_boxWatch, &QTimer::timeout, this, &DirectorySearchDialogTest::closeUnexpectedBoxes);
    m_boxWatch.start();
}

void DirectorySearchDialogTest::init()
{
    m_registry = std::make_unique<ScopedRegistry>();
    writeService("Local",
                 "127.0.0.1," + std::to_string(m_slapd->port()) + ",,,"
                     + stored(LdapTestServer::peopleBase));
}

void DirectorySearchDialogTest::cleanup()
{
    const QStringList unexpected = std::exchange(m_unexpectedBoxes, {});
    m_dialog.reset();
    m_registry.reset();
    QCOMPARE(unexpected, QStringList());
}

void DirectorySearchDialogTest::search(const QString& name)
{
    m_dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(name);
    childOf<QPushButton>(m_dialog.get(), "findButton")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_dialog->searching(), 10000);
}

void DirectorySearchDialogTest::aPersonFoundIsHandedBackFromAddToRecipients()
{
    QString handedBack = QStringLiteral("(not run)");
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<DirectorySearchDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Directory Search"));
        QCOMPARE(childOf<QComboBox>(dialog, "serviceList")->currentText(), QStringLiteral("Local"));
        auto* results = childOf<QTreeWidget>(dialog, "resultList");
        QCOMPARE(results->headerItem()->text(2), QStringLiteral("Pager Address"));
        QVERIFY(childOf<QPushButton>(dialog, "findButton")->isDefault());
        // Enter in the name field is Find Now.
        auto* name = childOf<QLineEdit>(dialog, "nameEdit");
        QTest::keyClicks(name, QStringLiteral("Bob*"));
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->searching(), 10000);
        QCOMPARE(rowTexts(results),
                 (QStringList {QStringLiteral("Bob Smith|bob@norvane.test|snpp.norvane.test!1234"),
                               QStringLiteral("Bobby Tables|bobby@norvane.test|5551234/77")}));
        results->topLevelItem(0)->setSelected(true);
        results->topLevelItem(1)->setSelected(true);
        childOf<QPushButton>(dialog, "addButton")->click();
    });
    handedBack = DirectorySearchDialog::run(nullptr);
    QCOMPARE(handedBack, QStringLiteral("snpp.norvane.test!1234;5551234/77;"));

    // Closed without Add To Recipients: nothing.
    QTimer::singleShot(
        0, [] { childOf<QPushButton>(QApplication::activeModalWidget(), "closeButton")->click(); });
    QCOMPARE(DirectorySearchDialog::run(nullptr), QString());
}

void DirectorySearchDialogTest::anEntryWithoutPagerIsRefusedAndTheDialogStays()
{
    m_dialog = std::make_unique<DirectorySearchDialog>();
    m_dialog->show();
    search(QStringLiteral("Ann*"));
    // The row without a pager stays below the later entry's.
    QCOMPARE(rowTexts(list()),
             (QStringList {QStringLiteral("Anna Pager|anna@norvane.test|5550000/1"),
                           QStringLiteral("Ann Nopager|ann@norvane.test|")}));
    list()->topLevelItem(0)->setSelected(true);
    list()->topLevelItem(1)->setSelected(true);
    MessageBox::answerNext(QMessageBox::Ok);
    childOf<QPushButton>(m_dialog.get(), "addButton")->click();
    QCOMPARE(lastBox(),
             QStringLiteral("Pager Address Empty: Please select entries with pager address"));
    QCOMPARE(MessageBox::lastAnswered()->icon, QMessageBox::Critical);
    QVERIFY(m_dialog->isVisible());
    QVERIFY(m_dialog->result() != QDialog::Accepted);
    // The selection was cleared and the refused press added nothing: choosing Anna again
    // hands her address back once.
    QCOMPARE(list()->selectedItems().size(), 0);
    QCOMPARE(m_dialog->recipients(), QString());
    list()->topLevelItem(0)->setSelected(true);
    childOf<QPushButton>(m_dialog.get(), "addButton")->click();
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_dialog->recipients(), QStringLiteral("5550000/1;"));
}

void DirectorySearchDialogTest::theBindQuestionAnsweredNoEndsTheSearchWhileTheWindowIsServed()
{
    SilentLdapServer silent;
    QVERIFY(silent.port() != 0);
    writeService("Silent", "127.0.0.1," + std::to_string(silent.port()) + ",,,dc=silent");
    SettingsKey waits(RootKey::CurrentUser, DirectorySettings::LdapSearch::key);
    QVERIFY(waits.write(DirectorySettings::LdapSearch::bindWait, 300));
    m_dialog = std::make_unique<DirectorySearchDialog>();
    m_dialog->show();
    childOf<QComboBox>(m_dialog.get(), "serviceList")->setCurrentText(QStringLiteral("Silent"));

    MessageBox::answerNext(QMessageBox::No);
    QElapsedTimer clock;
    clock.start();
    childOf<QPushButton>(m_dialog.get(), "findButton")->click();
    // The press returns at once and the window keeps being served while the bind waits.
    QVERIFY(clock.elapsed() < 300);
    QVERIFY(m_dialog->searching());
    bool served = false;
    QTimer::singleShot(20, [&] { served = m_dialog->searching(); });
    QTRY_VERIFY(served);
    QTRY_COMPARE_WITH_TIMEOUT(lastBox(),
                              QStringLiteral("Connect Timeout: Remote server timeout. Do you "
                                             "want to continue to wait?"),
                              5000);
    QCOMPARE(MessageBox::lastAnswered()->buttons, QMessageBox::Yes | QMessageBox::No);
    // No further box follows the answer: a second one would take this answer.
    MessageBox::answerNext(QMessageBox::Ok);
    QTRY_VERIFY_WITH_TIMEOUT(!m_dialog->searching(), 5000);
    QTest::qWait(50);
    QVERIFY(lastBox().startsWith(QStringLiteral("Connect Timeout")));
    QVERIFY(childOf<QPushButton>(m_dialog.get(), "findButton")->isEnabled());
    QCOMPARE(list()->topLevelItemCount(), 0);
    MessageBox::answerNext(QMessageBox::Ok);
    // The dialog searches again afterwards.
    childOf<QComboBox>(m_dialog.get(), "serviceList")->setCurrentText(QStringLiteral("Local"));
    search(QStringLiteral("Cy*"));
    QCOMPARE(list()->topLevelItemCount(), 2);
}

void DirectorySearchDialogTest::stopAbandonsASearchThatNeverEnds()
{
    SilentLdapServer silent(true);
    QVERIFY(silent.port() != 0);
    writeService("Silent", "127.0.0.1," + std::to_string(silent.port()) + ",,,dc=silent");
    m_dialog = std::make_unique<DirectorySearchDialog>();
    m_dialog->show();
    childOf<QComboBox>(m_dialog.get(), "serviceList")->setCurrentText(QStringLiteral("Silent"));
    childOf<QPushButton>(m_dialog.get(), "findButton")->click();
    QTRY_VERIFY(silent.accepted() > 0);
    QTest::qWait(100);
    QVERIFY(m_dialog->searching());
    auto* stop = childOf<QPushButton>(m_dialog.get(), "stopButton");
    QVERIFY(stop->isEnabled());
    const QString boxBefore = lastBox();
    MessageBox::answerNext(QMessageBox::Ok);
    QElapsedTimer clock;
    clock.start();
    stop->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_dialog->searching(), 3000);
    QVERIFY2(clock.elapsed() < 2000, "Stop took more than 2 s");
    // A stopped search says nothing: the answer given in advance was not taken.
    QTest::qWait(50);
    QCOMPARE(lastBox(), boxBefore);
    QVERIFY(!stop->isEnabled());
    QVERIFY(m_dialog->isVisible());
}

QTEST_MAIN(DirectorySearchDialogTest)
#include "DirectorySearchDialogTest.moc"
