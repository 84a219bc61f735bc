// "Save Message" over a real store file: the sorted names, OK with an empty name, a new name,
// an existing name replaced only on Yes (its schedule kept), and a message too long for a
// record refused with a box that says so while the dialog stays open.
#include "stores/gui/SaveMessageDialog.h"

#include "TempDir.h"
#include "gui/MessageBox.h"
#include "qt/ModalWindows.h"
#include "stores/SavedMessageStore.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

class SaveMessageDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void listsTheNamesSortedWithItsText();
    void anEmptyNameKeepsTheDialogOpen();
    void aNewNameAppendsAnUnscheduledMessage();
    void anExistingNameIsReplacedOnlyOnYes();
    void tooLongIsRefusedAndTheDialogStays();

private:
    void open(const std::string& recipients, const std::string& message);
    void typeName(const QString& name);
    void clickOk()
    {
        QTest::mouseClick(childOf<QPushButton>(m_dialog.get(), "okButton"), Qt::LeftButton);
    }
    SavedMessage at(int index) const
    {
        SavedMessage record;
        if (!m_store->getAt(index, record))
            qWarning("no record %d: %s", index, SavedMessageStore::lastErrorText().c_str());
        return record;
    }

    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<SavedMessageStore> m_store;
    std::unique_ptr<SaveMessageDialog> m_dialog;
};

void SaveMessageDialogTest::init()
{
    m_dir = std::make_unique<TempDir>();
    m_store = std::make_unique<SavedMessageStore>(m_dir->file("canMsg.dat"));
}

void SaveMessageDialogTest::cleanup()
{
    m_dialog.reset();
    m_store.reset();
    m_dir.reset();
}

void SaveMessageDialogTest::open(const std::string& recipients, const std::string& message)
{
    m_dialog = std::make_unique<SaveMessageDialog>(*m_store, recipients, message);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void SaveMessageDialogTest::typeName(const QString& name)
{
    auto* combo = childOf<QComboBox>(m_dialog.get(), "nameCombo");
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo, Qt::Key_Delete);
    QTest::keyClicks(combo, name);
}

void SaveMessageDialogTest::listsTheNamesSortedWithItsText()
{
    for (const char* name : {"pager b", "Pager A", "pager c"})
        QVERIFY(m_store->add(name, "", "5551234/1", "x"));
    open("5551234/77", "Disk full");
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Save Message"));
    auto* combo = childOf<QComboBox>(m_dialog.get(), "nameCombo");
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), QStringLiteral("Pager A"));
    QCOMPARE(combo->itemText(2), QStringLiteral("pager c"));
    QCOMPARE(combo->currentText(), QString());
    QCOMPARE(childOf<QLabel>(m_dialog.get(), "hintLabel")->text(),
             QStringLiteral("To save a message, you need to provide a unqiue name. To overwrite "
                            "an existing message, select an existing name from the combo box"));
    QCOMPARE(childOf<QPushButton>(m_dialog.get(), "helpButton")->text(), QStringLiteral("&Help"));
}

void SaveMessageDialogTest::anEmptyNameKeepsTheDialogOpen()
{
    open("5551234/77", "Disk full");
    clickOk();
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), 0);
    QCOMPARE(m_store->modificationTime(), std::int64_t {-1});
}

void SaveMessageDialogTest::aNewNameAppendsAnUnscheduledMessage()
{
    QVERIFY(m_store->add("first", "W 002 00 00 09 05 000000000000", "5551234/1", "x"));
    open("5551234/77", "Disk full");
    typeName(QStringLiteral("Disk alarm"));
    QTest::keyClick(childOf<QComboBox>(m_dialog.get(), "nameCombo"), Qt::Key_Return);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(at(1), (SavedMessage {"Disk alarm", "-", "5551234/77", "Disk full"}));
    QCOMPARE(at(0).schedule, std::string("W 002 00 00 09 05 000000000000"));
}

void SaveMessageDialogTest::anExistingNameIsReplacedOnlyOnYes()
{
    const std::string weekly = "W 002 00 00 09 05 001700000000";
    QVERIFY(m_store->add("Disk alarm", weekly, "5551234/1", "old"));
    QVERIFY(m_store->add("other", "", "5551234/2", "other text"));
    open("5551234/77", "Disk full");
    auto* combo = childOf<QComboBox>(m_dialog.get(), "nameCombo");
    combo->setCurrentIndex(combo->findText(QStringLiteral("Disk alarm")));

    MessageBox::answerNext(QMessageBox::No);
    clickOk();
    QVERIFY(MessageBox::lastAnswered().has_value());
    QCOMPARE(MessageBox::lastAnswered()->icon, QMessageBox::Question);
    QVERIFY(MessageBox::lastAnswered()->text.contains(QStringLiteral("\"Disk alarm\"")));
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(at(0), (SavedMessage {"Disk alarm", weekly, "5551234/1", "old"}));

    MessageBox::answerNext(QMessageBox::Yes);
    clickOk();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(at(0), (SavedMessage {"Disk alarm", weekly, "5551234/77", "Disk full"}));
    QCOMPARE(at(1).name, std::string("other"));
}

void SaveMessageDialogTest::tooLongIsRefusedAndTheDialogStays()
{
    // The compose window reads up to 511 characters of a message.
    open("5551234/77", std::string(511, 'm'));
    typeName(QStringLiteral("Long"));
    MessageBox::answerNext(QMessageBox::Ok);
    clickOk();
    QVERIFY(MessageBox::lastAnswered().has_value());
    const MessageBox::Request box = *MessageBox::lastAnswered();
    QCOMPARE(box.caption, QStringLiteral("Save Message"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    // "Long" and "-" leave 253 - 8 = 245 for both: the message gets 235 beside 10 recipients.
    QVERIFY2(box.text.contains(QStringLiteral("The message is too long to save: it has 511 "
                                              "characters, 276 characters more")),
             qPrintable(box.text));
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_store->modificationTime(), std::int64_t {-1});
}

QTEST_MAIN(SaveMessageDialogTest)
#include "SaveMessageDialogTest.moc"
