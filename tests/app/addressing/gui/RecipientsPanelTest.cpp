// The recipients panel: label edits with completion and the adding rules, the keys of the list
// and the message text, and the dialogs it opens.
#include "addressing/gui/RecipientsPanel.h"

#include "AddressingGuiFixture.h"
#include "addressing/GeneralSettings.h"
#include "addressing/gui/AddRecipientDialog.h"
#include "gui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <memory>

using Flags = RecipientListForm::Flags;
Q_DECLARE_METATYPE(Flags)

class RecipientsPanelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void typingCompletesFromTheAddressBook_data();
    void typingCompletesFromTheAddressBook();
    void endingAnEditFollowsTheAddingRules_data();
    void endingAnEditFollowsTheAddingRules();
    void enterSendsOutsideALabelEdit();
    void deleteRemovesEverySelectedItem();
    void theDialogAddsTheAddressOrTheStoredName_data();
    void theDialogAddsTheAddressOrTheStoredName();
    void doubleClickEditsAnAddressOrChoosesForAName();

private:
    // Presses Insert in the list and gives the new item's label editor.
    QLineEdit* insertAndEdit();
    // Lets the end of a label edit reach the form.
    static void settle();
    QStringList shownTexts() const;

    std::unique_ptr<AddressingGuiFixture> m_fixture;
    std::unique_ptr<RecipientsPanel> m_panel;
};

void RecipientsPanelTest::init()
{
    m_fixture = std::make_unique<AddressingGuiFixture>();
    QVERIFY(m_fixture->ready);
    m_panel = std::make_unique<RecipientsPanel>(m_fixture->form);
    m_panel->resize(300, 300);
    m_panel->show();
    m_panel->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_panel.get()));
    m_panel->list()->setFocus();
}

void RecipientsPanelTest::cleanup()
{
    m_panel.reset();
    m_fixture.reset();
}

QLineEdit* RecipientsPanelTest::insertAndEdit()
{
    QTest::keyClick(m_panel->list(), Qt::Key_Insert);
    return m_panel->list()->findChild<QLineEdit*>(QStringLiteral("labelEdit"));
}

void RecipientsPanelTest::settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QStringList RecipientsPanelTest::shownTexts() const
{
    QStringList texts;
    for (int row = 0; row < m_panel->list()->count(); ++row)
        texts << m_panel->list()->item(row)->text();
    return texts;
}

void RecipientsPanelTest::typingCompletesFromTheAddressBook_data()
{
    QTest::addColumn<bool>("off");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("typedOn"); // after "x" replaced the completed part
    QTest::newRow("on") << false << "Bobby Smith"
                        << "by Smith"
                        << "Bobx";
    QTest::newRow("off") << true << "bob"
                         << ""
                         << "bobx";
}

void RecipientsPanelTest::typingCompletesFromTheAddressBook()
{
    QFETCH(bool, off);
    QFETCH(QString, shown);
    QFETCH(QString, selected);
    QFETCH(QString, typedOn);
    if (off) {
        // The flags are read when the panel opens.
        SettingsKey general(RootKey::CurrentUser, GeneralSettings::key);
        QVERIFY(general.write(GeneralSettings::disableAddrCompletion, true));
        m_panel = std::make_unique<RecipientsPanel>(m_fixture->form);
        m_panel->show();
        m_panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_panel.get()));
        m_panel->list()->setFocus();
    }
    QLineEdit* edit = insertAndEdit();
    QVERIFY(edit != nullptr);
    QCOMPARE(m_panel->list()->item(0)->data(RecipientsPanel::pictureRole).toInt(),
             RecipientListForm::typingPicture);
    QTest::keyClicks(edit, QStringLiteral("bob"));
    QCOMPARE(edit->text(), shown);
    QCOMPARE(edit->selectedText(), selected);
    // The next character replaces the completed part; a deletion does not complete again.
    QTest::keyClick(edit, Qt::Key_X);
    QCOMPARE(edit->text(), typedOn);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), typedOn.chopped(1));
}

void RecipientsPanelTest::endingAnEditFollowsTheAddingRules_data()
{
    QTest::addColumn<Flags>("flags");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<int>("picture"); // of the new last item; -1: the new item is gone
    const int none = QMessageBox::NoButton;
    QTest::newRow("address") << Flags {} << "555-0199/7" << none << "" << 1;
    QTest::newRow("same with a trailing blank") << Flags {} << "555-0100/12 " << none << "" << -1;
    QTest::newRow("same name in capitals") << Flags {} << "BOBBY SMITH" << none << "" << -1;
    QTest::newRow("no protocol, No")
        << Flags {} << "555-1234" << int(QMessageBox::No) << "Protocol Not Found" << -1;
    QTest::newRow("no protocol, Yes")
        << Flags {} << "555-1234" << int(QMessageBox::Yes) << "Protocol Not Found" << 4;
    QTest::newRow("warnings off") << Flags {.disableWarning = true} << "555-1234" << none << ""
                                  << 4;
    QTest::newRow("check off") << Flags {.disableCheck = true} << "anything at all" << none << ""
                               << 0;
    QTest::newRow("empty") << Flags {} << "" << none << "" << -1;
}

void RecipientsPanelTest::endingAnEditFollowsTheAddingRules()
{
    QFETCH(Flags, flags);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, asked);
    QFETCH(int, picture);
    m_fixture->form.load("Bobby Smith;555-0100/12=");
    m_panel->refresh();
    m_fixture->form.setFlags(flags);
    QSignalSpy sends(m_panel.get(), &RecipientsPanel::sendRequested);
    QLineEdit* edit = insertAndEdit();
    QVERIFY(edit != nullptr);
    QTest::keyClicks(edit, typed);
    if (answer != QMessageBox::NoButton)
        MessageBox::answerNext(QMessageBox::StandardButton(answer));
    const std::optional<MessageBox::Request> before = MessageBox::lastAnswered();
    QTest::keyClick(edit, Qt::Key_Return);
    settle();

    QStringList expected {QStringLiteral("Bobby Smith"), QStringLiteral("555-0100/12")};
    if (picture >= 0)
        expected << typed;
    QCOMPARE(shownTexts(), expected);
    if (picture >= 0)
        QCOMPARE(m_panel->list()->item(2)->data(RecipientsPanel::pictureRole).toInt(), picture);
    QCOMPARE(int(m_fixture->form.items().size()), int(expected.size()));
    if (asked.isEmpty()) {
        QCOMPARE(MessageBox::lastAnswered().has_value(), before.has_value());
    } else {
        QVERIFY(MessageBox::lastAnswered().has_value());
        QCOMPARE(MessageBox::lastAnswered()->caption, asked);
    }
    // Enter ended the label edit: it did not send.
    QCOMPARE(sends.count(), 0);
}

void RecipientsPanelTest::enterSendsOutsideALabelEdit()
{
    QSignalSpy sends(m_panel.get(), &RecipientsPanel::sendRequested);
    QTest::keyClick(m_panel->list(), Qt::Key_Return);
    QCOMPARE(sends.count(), 1);
    QTest::keyClicks(m_panel->messageEdit(), QStringLiteral("Call me"));
    QTest::keyClick(m_panel->messageEdit(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(sends.count(), 2);
    QCOMPARE(m_fixture->form.message(), "Call me");
    // Escape cancels a new label: the item goes, nothing is sent.
    m_panel->list()->setFocus();
    QLineEdit* edit = insertAndEdit();
    QVERIFY(edit != nullptr);
    QTest::keyClicks(edit, QStringLiteral("555"));
    QTest::keyClick(edit, Qt::Key_Escape);
    settle();
    QCOMPARE(m_panel->list()->count(), 0);
    QCOMPARE(sends.count(), 2);
    // A history recall changes the form; refresh shows it.
    m_fixture->form.load("a;b=Recalled");
    m_panel->refresh();
    QCOMPARE(shownTexts(), (QStringList {QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(m_panel->messageEdit()->toPlainText(), QStringLiteral("Recalled"));
}

void RecipientsPanelTest::deleteRemovesEverySelectedItem()
{
    m_fixture->form.load("a;b;c;d;e=");
    m_panel->refresh();
    for (int row : {0, 2, 3})
        m_panel->list()->item(row)->setSelected(true);
    QTest::keyClick(m_panel->list(), Qt::Key_Delete);
    QCOMPARE(shownTexts(), (QStringList {QStringLiteral("b"), QStringLiteral("e")}));
    QCOMPARE(m_fixture->form.recipientsText(), "b;e;");
    m_panel->findChild<QAbstractButton*>(QStringLiteral("clearListButton"))->click();
    QCOMPARE(m_panel->list()->count(), 0);
    QVERIFY(m_fixture->form.items().empty());
}

void RecipientsPanelTest::theDialogAddsTheAddressOrTheStoredName_data()
{
    QTest::addColumn<QString>("name"); // empty: the box stays clear
    QTest::addColumn<QString>("added");
    QTest::newRow("address") << ""
                             << "MyPaging/42";
    QTest::newRow("stored name") << "Pat Jones"
                                 << "Pat Jones";
}

void RecipientsPanelTest::theDialogAddsTheAddressOrTheStoredName()
{
    QFETCH(QString, name);
    QFETCH(QString, added);
    QStringList companies;
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<AddRecipientDialog*>(modal);
        QVERIFY(dialog != nullptr);
        auto* company = dialog->findChild<QComboBox*>(QStringLiteral("companyBox"));
        for (int row = 0; row < company->count(); ++row)
            companies << company->itemText(row);
        companies << company->currentText();
        if (!name.isEmpty()) {
            dialog->findChild<QCheckBox*>(QStringLiteral("addToBookBox"))->setChecked(true);
            dialog->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(name);
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("ixoPinEdit"))
            ->setText(QStringLiteral("0042"));
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    QTest::keyClick(m_panel->list(), Qt::Key_Plus, Qt::KeypadModifier);

    // The companies sorted, the first one chosen.
    QCOMPARE(companies,
             (QStringList {QStringLiteral("MyPaging"), QStringLiteral("Zeta Paging"),
                           QStringLiteral("MyPaging")}));
    QCOMPARE(shownTexts(), QStringList {added});
    QCOMPARE(m_fixture->form.items().at(0).picture, 1);
    QCOMPARE(m_fixture->storedAddress(name.toStdString()),
             name.isEmpty() ? "(none)" : "MyPaging/42");
    QCOMPARE(m_panel->focusWidget(), m_panel->messageEdit());
}

void RecipientsPanelTest::doubleClickEditsAnAddressOrChoosesForAName()
{
    m_fixture->form.load("555-0100/12;Bobby Smith=");
    m_panel->refresh();
    QStringList seen;
    onNextModal([&](QWidget* modal) {
        QVERIFY(modal != nullptr);
        auto* name = modal->findChild<QLineEdit*>(QStringLiteral("nameEdit"));
        seen << modal->windowTitle() << name->text();
        QVERIFY(name->isReadOnly());
        QVERIFY(modal->findChild<QCheckBox*>(QStringLiteral("addToBookBox"))->isHidden());
        auto* pin = modal->findChild<QLineEdit*>(QStringLiteral("ixoPinEdit"));
        seen << pin->text();
        pin->setText(QStringLiteral("13"));
        modal->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    QListWidget* list = m_panel->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(0)).center());
    QCOMPARE(seen,
             (QStringList {QStringLiteral("Edit Address Book Entry"), QStringLiteral("NoName"),
                           QStringLiteral("12")}));
    QCOMPARE(shownTexts(),
             (QStringList {QStringLiteral("555-0100/13"), QStringLiteral("Bobby Smith")}));

    // A name opens the address book to choose from; the names chosen replace it.
    QVERIFY(m_fixture->book.add("Ann Lee", "555-0100/44"));
    QString title;
    onNextModal([&](QWidget* modal) {
        QVERIFY(modal != nullptr);
        title = modal->windowTitle();
        auto* entries = childOf<QTreeView>(modal, "entryList");
        const QModelIndexList found
            = entries->model()->match(entries->model()->index(0, 0), Qt::DisplayRole,
                                      QStringLiteral("Ann Lee"), 1, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        entries->selectionModel()->select(
            found.front(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        childOf<QPushButton>(modal, "selectButton")->click();
    });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(1)).center());
    settle();
    QCOMPARE(title, QStringLiteral("Address Book - selecting recipients"));
    QCOMPARE(shownTexts(),
             (QStringList {QStringLiteral("555-0100/13"), QStringLiteral("Ann Lee")}));
}

QTEST_MAIN(RecipientsPanelTest)
#include "RecipientsPanelTest.moc"
