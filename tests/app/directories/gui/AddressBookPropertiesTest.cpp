// The three address books' properties dialogs: what they show, when OK is offered, and that
// OK stores the setting and opens the configured book again.
#include "DirectoriesGuiFixture.h"
#include "RecordingPrompt.h"
#include "directories/AddressBookSelection.h"
#include "directories/SimpleAddressBook.h"
#include "directories/gui/InternetBookPropertiesDialog.h"
#include "directories/gui/MapiBookPropertiesDialog.h"
#include "directories/gui/SimpleBookPropertiesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

class AddressBookPropertiesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void simpleOkWaitsForAnEditAndReopensTheBook();
    void aDataSourcePathIsShownChecked();
    void internetOkMovesTheBook();
    void mapiOffersDefaultAndStoresBothValues();

private:
    template<typename T>
    static T* child(QWidget* dialog, const char* name)
    {
        T* widget = dialog->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }

    std::unique_ptr<ScopedRegistry> m_registry;
    std::shared_ptr<RecordingPrompt> m_prompt;
    std::unique_ptr<AddressBookSelection> m_books;
};

void AddressBookPropertiesTest::init()
{
    m_registry = std::make_unique<ScopedRegistry>();
    setPath("home", m_registry->dir().path());
    m_prompt = std::make_shared<RecordingPrompt>();
    m_prompt->choices.push_back({LocateChoice::Action::Create, {}});
    m_books = std::make_unique<AddressBookSelection>(m_prompt);
    QVERIFY(m_books->selectFromSettings()->open());
}

void AddressBookPropertiesTest::cleanup()
{
    m_books.reset();
    m_registry.reset();
}

void AddressBookPropertiesTest::simpleOkWaitsForAnEditAndReopensTheBook()
{
    SimpleBookPropertiesDialog dialog(*m_books);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Simple Address Book Properties"));
    auto* path = child<QLineEdit>(&dialog, "pathEdit");
    QCOMPARE(path->text().toStdString(), m_books->simple().location());
    QVERIFY(path->isReadOnly());
    QVERIFY(!child<QCheckBox>(&dialog, "dataSourceBox")->isChecked());
    QVERIFY(!child<QCheckBox>(&dialog, "dataSourceBox")->isEnabled());
    auto* ok = child<QPushButton>(&dialog, "okButton");
    QVERIFY(!ok->isEnabled());

    const std::string other = m_registry->dir().file("other.mdb");
    path->setReadOnly(false); // as a browse would fill it
    path->clear();
    QTest::keyClicks(path, QString::fromStdString(other));
    QVERIFY(ok->isEnabled());
    m_prompt->choices.push_back({LocateChoice::Action::Create, {}});
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(readString(pathsKey, "simpleAdb"), other);
    QVERIFY(m_books->current()->isOpen());
    QCOMPARE(m_books->current()->location(), other);
}

void AddressBookPropertiesTest::aDataSourcePathIsShownChecked()
{
    QVERIFY(m_books->simple().setPath("=file:/tmp/book.mdb?mode=ro"));
    SimpleBookPropertiesDialog dialog(*m_books);
    QCOMPARE(child<QLineEdit>(&dialog, "pathEdit")->text(),
             QStringLiteral("file:/tmp/book.mdb?mode=ro"));
    QVERIFY(child<QCheckBox>(&dialog, "dataSourceBox")->isChecked());
    QVERIFY(!child<QCheckBox>(&dialog, "dataSourceBox")->isEnabled());
}

void AddressBookPropertiesTest::internetOkMovesTheBook()
{
    SettingsKey adb(RootKey::CurrentUser, adbKey);
    QVERIFY(adb.setNumber("adbType", 2));
    InternetBookPropertiesDialog dialog(*m_books);
    dialog.show();
    auto* folder = child<QLineEdit>(&dialog, "folderEdit");
    QVERIFY(!folder->text().isEmpty());
    auto* ok = child<QPushButton>(&dialog, "okButton");
    QVERIFY(!ok->isEnabled());
    const std::string cards = m_registry->dir().file("cards");
    folder->clear();
    QTest::keyClicks(folder, QString::fromStdString(cards));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(readString(adbKey, "internetAdb"), cards);
    QCOMPARE(m_books->current()->type(), AddressBookType::Internet);
    QVERIFY(m_books->current()->isOpen());
    QCOMPARE(m_books->current()->location(), cards);
}

void AddressBookPropertiesTest::mapiOffersDefaultAndStoresBothValues()
{
    MapiBookPropertiesDialog dialog(*m_books);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("MAPI Address Book Properties"));
    auto* prompt = child<QCheckBox>(&dialog, "promptBox");
    auto* profile = child<QComboBox>(&dialog, "profileBox");
    QCOMPARE(prompt->text(), QStringLiteral("Prompt user for profile on startup"));
    QCOMPARE(profile->count(), 1);
    QCOMPARE(profile->currentText(), QStringLiteral("Default"));
    QVERIFY(profile->isEnabled());
    prompt->click();
    QVERIFY(!profile->isEnabled());
    QTest::mouseClick(child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    const SettingsKey adb(RootKey::CurrentUser, adbKey);
    QCOMPARE(adb.getNumber("promptLogin", 0), 1);
    QCOMPARE(readString(adbKey, "profileName"), std::string("Default"));
    // The current (simple) book was opened again.
    QVERIFY(m_books->current()->isOpen());
}

QTEST_MAIN(AddressBookPropertiesTest)
#include "AddressBookPropertiesTest.moc"
