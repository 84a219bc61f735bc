// The "Add Recipient" dialog: its lists and panels, the refusals of OK, and the question
// before an address-book entry is overwritten.
#include "addressing/gui/AddRecipientDialog.h"

#include "AddressingGuiFixture.h"
#include "gui/MessageBox.h"
#include "text/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <memory>

class AddRecipientDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void theTypeChoosesThePanelAndHandsTheRecordOn();
    void theNameIsTypedOnlyForTheAddressBook();
    void refusalsAreShownAndTheDialogStays_data();
    void refusalsAreShownAndTheDialogStays();
    void anExistingNameIsOverwrittenOnlyOnYes_data();
    void anExistingNameIsOverwrittenOnlyOnYes();

private:
    template<typename T>
    T* child(const char* name) const
    {
        return childOf<T>(m_dialog.get(), name);
    }
    void clickOk(QMessageBox::StandardButton answer);

    std::unique_ptr<AddressingGuiFixture> m_fixture;
    std::unique_ptr<AddRecipientDialog> m_dialog;
};

void AddRecipientDialogTest::init()
{
    m_fixture = std::make_unique<AddressingGuiFixture>();
    QVERIFY(m_fixture->ready);
    m_dialog = std::make_unique<AddRecipientDialog>(AddRecipientForm::forNew(false),
                                                    &m_fixture->providers, &m_fixture->book);
    m_dialog->show();
}

void AddRecipientDialogTest::cleanup()
{
    m_dialog.reset();
    m_fixture.reset();
}

void AddRecipientDialogTest::clickOk(QMessageBox::StandardButton answer)
{
    MessageBox::answerNext(answer);
    child<QPushButton>("okButton")->click();
}

void AddRecipientDialogTest::theTypeChoosesThePanelAndHandsTheRecordOn()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Add Recipient"));
    auto* types = child<QComboBox>("typeList");
    QStringList texts;
    for (int row = 0; row < types->count(); ++row)
        texts << types->itemText(row);
    QCOMPARE(texts,
             (QStringList {QStringLiteral("Direct Modem  (IXO/TAP)"),
                           QStringLiteral("Touch Tone Phone (DTMF)"),
                           QStringLiteral("Simple Network Paging (SNPP)")}));
    auto* panels = child<QStackedWidget>("addressPanels");
    const auto title = [&] { return qobject_cast<QGroupBox*>(panels->currentWidget())->title(); };
    QCOMPARE(title(), QStringLiteral("IXO/TAP Address"));
    child<QComboBox>("companyBox")->setCurrentText(QStringLiteral("Zeta Paging"));
    child<QLineEdit>("ixoPinEdit")->setText(QStringLiteral("7"));
    types->setCurrentIndex(2);
    QCOMPARE(title(), QStringLiteral("SNPP Pager Address"));
    QCOMPARE(child<QLineEdit>("hostEdit")->text(), QStringLiteral("Zeta Paging"));
    QCOMPARE(child<QLineEdit>("snppPinEdit")->text(), QStringLiteral("7"));
    child<QLineEdit>("hostEdit")->setText(QStringLiteral("snpp.example.com"));
    types->setCurrentIndex(1);
    QCOMPARE(title(), QStringLiteral("Analog Pager Address"));
    QCOMPARE(child<QLineEdit>("phoneEdit")->text(), QStringLiteral("snpp.example.com"));
    child<QLineEdit>("phoneEdit")->setText(QStringLiteral("555-1234"));
    clickOk(QMessageBox::Ok);
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_dialog->accepted().address, "555-1234");
}

void AddRecipientDialogTest::theNameIsTypedOnlyForTheAddressBook()
{
    auto* name = child<QLineEdit>("nameEdit");
    auto* box = child<QCheckBox>("addToBookBox");
    QCOMPARE(name->text(), QStringLiteral("NoName"));
    QVERIFY(!name->isEnabled());
    box->setChecked(true);
    QVERIFY(name->isEnabled());
    name->setText(QStringLiteral("Pat"));
    box->setChecked(false);
    QCOMPARE(name->text(), QStringLiteral("NoName"));
    QVERIFY(!name->isEnabled());
    // A book that cannot take entries leaves the box disabled.
    AddRecipientDialog disabled(AddRecipientForm::forNew(true), nullptr, nullptr);
    QVERIFY(!disabled.findChild<QCheckBox*>(QStringLiteral("addToBookBox"))->isEnabled());
}

void AddRecipientDialogTest::refusalsAreShownAndTheDialogStays_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name"); // empty: the box stays clear; " " is a blank name
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("pin");
    QTest::addColumn<int>("message");
    QTest::newRow("no company") << 0 << ""
                                << ""
                                << "42" << 130;
    QTest::newRow("no pin") << 0 << ""
                            << "MyPaging"
                            << "" << 131;
    QTest::newRow("no host") << 2 << ""
                             << ""
                             << "42" << 130;
    QTest::newRow("no snpp pin") << 2 << ""
                                 << "snpp.example.com"
                                 << "" << 131;
    QTest::newRow("no name") << 0 << " "
                             << "MyPaging"
                             << "42" << 132;
}

void AddRecipientDialogTest::refusalsAreShownAndTheDialogStays()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(QString, number);
    QFETCH(QString, pin);
    QFETCH(int, message);
    child<QComboBox>("typeList")->setCurrentIndex(type);
    if (!name.isEmpty()) {
        child<QCheckBox>("addToBookBox")->setChecked(true);
        child<QLineEdit>("nameEdit")->setText(name);
    }
    if (type == 0) {
        child<QComboBox>("companyBox")->setCurrentText(number);
        child<QLineEdit>("ixoPinEdit")->setText(pin);
    } else {
        child<QLineEdit>("hostEdit")->setText(number);
        child<QLineEdit>("snppPinEdit")->setText(pin);
    }
    clickOk(QMessageBox::Ok);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
    QVERIFY(MessageBox::lastAnswered().has_value());
    QCOMPARE(MessageBox::lastAnswered()->caption, QStringLiteral("Norvane Desk Error"));
    QCOMPARE(MessageBox::lastAnswered()->text, MessageBox::screenText(StringTable::text(message)));
}

void AddRecipientDialogTest::anExistingNameIsOverwrittenOnlyOnYes_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << true << "MyPaging/99";
    QTest::newRow("No") << int(QMessageBox::No) << false << "MyPaging/12";
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << true << "MyPaging/12";
}

void AddRecipientDialogTest::anExistingNameIsOverwrittenOnlyOnYes()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QString, stored);
    child<QCheckBox>("addToBookBox")->setChecked(true);
    child<QLineEdit>("nameEdit")->setText(QStringLiteral("Bobby Smith"));
    child<QLineEdit>("ixoPinEdit")->setText(QStringLiteral("99"));
    clickOk(QMessageBox::StandardButton(answer));
    QCOMPARE(MessageBox::lastAnswered()->text,
             QStringLiteral("Entry \"Bobby Smith\" exists already.\n"
                            "Overwrite existing pager address?"));
    QCOMPARE(MessageBox::lastAnswered()->buttons,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(m_dialog->isVisible(), !closed);
    QCOMPARE(QString::fromStdString(m_fixture->storedAddress("Bobby Smith")), stored);
    if (closed) {
        QVERIFY(m_dialog->addedToBook());
        QCOMPARE(m_dialog->accepted().name, "Bobby Smith");
    }
}

QTEST_MAIN(AddRecipientDialogTest)
#include "AddRecipientDialogTest.moc"
#include "qt/ModalWindows.h"
