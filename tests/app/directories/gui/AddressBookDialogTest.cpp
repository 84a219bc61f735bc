// The "Address Book" dialog over real books: the overwrite question of "&Add", an entry
// without pager information in selecting mode, the names handed back, and books that cannot
// be edited (a read-only data source, the disabled MAPI book).
#include "directories/gui/AddressBookDialog.h"

#include "DirectoriesGuiFixture.h"
#include "RecordingPrompt.h"
#include "directories/AddressBookSelection.h"
#include "directories/MapiAddressBook.h"
#include "directories/SimpleAddressBook.h"
#include "gui/MessageBox.h"
#include "sending/gui/MessageDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <deque>
#include <memory>

using Entry = AddressBookDialog::Entry;

class AddressBookDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void managingListsTheBookWithoutSelect();
    void addingAnExistingNameFollowsTheOverwriteAnswer();
    void aFailedAddShowsItsMessage();
    void anEntryWithoutPagerInformationIsRefusedAndTheDialogStays();
    void selectedNamesAreHandedBackJoined();
    void theDeleteKeyAsksPerEntry();
    void aReadOnlyBookCannotBeEditedButCanBeChosenFrom();
    void theDisabledMapiBookShowsNothingToDo();

private:
    std::unique_ptr<AddressBookDialog> open(AddressBookForm::Mode mode, AddressBook* book);
    template<typename T>
    T* child(const char* name) const
    {
        return childOf<T>(m_dialog.get(), name);
    }
    void selectRows(const QStringList& names);
    QString infoOf(const char* name);

    std::unique_ptr<ScopedRegistry> m_registry;
    std::shared_ptr<RecordingPrompt> m_prompt;
    std::unique_ptr<AddressBookSelection> m_books;
    std::unique_ptr<AddressBookDialog> m_dialog;
    // The entry dialog's scripted answers and the presets it was shown.
    std::deque<std::optional<Entry>> m_edits;
    std::vector<Entry> m_presets;
};

void AddressBookDialogTest::init()
{
    m_registry = std::make_unique<ScopedRegistry>();
    setPath("home", m_registry->dir().path());
    m_prompt = std::make_shared<RecordingPrompt>();
    m_prompt->choices.push_back({LocateChoice::Action::Create, {}});
    m_books = std::make_unique<AddressBookSelection>(m_prompt);
    AddressBook* book = m_books->selectFromSettings();
    QVERIFY(book && book->open());
    QVERIFY(book->add("Ann", "Acme/1"));
    QVERIFY(book->add("Bob", "pager.example.net!2"));
    QVERIFY(book->add("Nobody", ""));
    m_edits.clear();
    m_presets.clear();
}

void AddressBookDialogTest::cleanup()
{
    m_dialog.reset();
    m_books.reset();
    m_registry.reset();
}

std::unique_ptr<AddressBookDialog> AddressBookDialogTest::open(AddressBookForm::Mode mode,
                                                               AddressBook* book)
{
    auto dialog = std::make_unique<AddressBookDialog>(book, mode, nullptr,
                                                      [this](QWidget*, const Entry& preset, bool) {
                                                          m_presets.push_back(preset);
                                                          std::optional<Entry> answer;
                                                          if (!m_edits.empty()) {
                                                              answer = m_edits.front();
                                                              m_edits.pop_front();
                                                          }
                                                          return answer;
                                                      });
    dialog->show();
    return dialog;
}

void AddressBookDialogTest::selectRows(const QStringList& names)
{
    QTreeView* list = m_dialog->list();
    list->clearSelection();
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex index = list->model()->index(row, 0);
        if (names.contains(index.data().toString())) {
            list->selectionModel()->select(index,
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
}

QString AddressBookDialogTest::infoOf(const char* name)
{
    std::string info;
    return m_books->current()->getPagerInfo(name, info) ? QString::fromStdString(info)
                                                        : QStringLiteral("(none)");
}

void AddressBookDialogTest::managingListsTheBookWithoutSelect()
{
    m_dialog = open(AddressBookForm::Mode::Managing, m_books->current());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Address Book"));
    QCOMPARE(m_dialog->list()->model()->rowCount(), 3);
    QCOMPARE(m_dialog->list()->model()->headerData(1, Qt::Horizontal).toString(),
             QStringLiteral("Pager Information"));
    QVERIFY(!child<QPushButton>("selectButton")->isVisible());
    QCOMPARE(child<QPushButton>("closeButton")->text(), QStringLiteral("&Close"));
    QVERIFY(child<QPushButton>("addButton")->isEnabled());
    QVERIFY(!child<QPushButton>("deleteButton")->isEnabled());
    QVERIFY(!child<QPushButton>("propertiesButton")->isEnabled());
    selectRows({"Bob"});
    QVERIFY(child<QPushButton>("deleteButton")->isEnabled());
    QVERIFY(child<QPushButton>("propertiesButton")->isEnabled());

    // "&Properties" shows the entry and changes its pager information.
    m_edits.push_back(Entry {"Bob", "pager.example.net!7"});
    QTest::mouseClick(child<QPushButton>("propertiesButton"), Qt::LeftButton);
    QCOMPARE(m_presets.size(), 1U);
    QCOMPARE(m_presets[0].pagerInfo, std::string("pager.example.net!2"));
    QCOMPARE(infoOf("Bob"), QStringLiteral("pager.example.net!7"));
}

void AddressBookDialogTest::addingAnExistingNameFollowsTheOverwriteAnswer()
{
    m_dialog = open(AddressBookForm::Mode::Managing, m_books->current());
    // No: the entry dialog again with what was typed, then Cancel there.
    m_edits.push_back(Entry {"Ann", "Acme/9"});
    m_edits.push_back(std::nullopt);
    MessageBox::answerNext(QMessageBox::No);
    QTest::mouseClick(child<QPushButton>("addButton"), Qt::LeftButton);
    QCOMPARE(MessageBox::lastAnswered()->text,
             QStringLiteral("Entry \"Ann\" exists already.\nOverwrite existing pager address?"));
    QCOMPARE(MessageBox::lastAnswered()->buttons,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(m_presets.size(), 2U);
    QCOMPARE(m_presets[1].pagerInfo, std::string("Acme/9"));
    QCOMPARE(infoOf("Ann"), QStringLiteral("Acme/1"));

    // Cancel ends the command; Yes changes only that entry.
    m_edits.push_back(Entry {"Ann", "Acme/9"});
    MessageBox::answerNext(QMessageBox::Cancel);
    QTest::mouseClick(child<QPushButton>("addButton"), Qt::LeftButton);
    QCOMPARE(m_presets.size(), 3U);
    QCOMPARE(infoOf("Ann"), QStringLiteral("Acme/1"));
    m_edits.push_back(Entry {"Ann  ", "Acme/9"});
    MessageBox::answerNext(QMessageBox::Yes);
    QTest::mouseClick(child<QPushButton>("addButton"), Qt::LeftButton);
    QCOMPARE(infoOf("Ann"), QStringLiteral("Acme/9"));
    QCOMPARE(infoOf("Bob"), QStringLiteral("pager.example.net!2"));
    QCOMPARE(m_dialog->list()->model()->rowCount(), 3);
}

void AddressBookDialogTest::aFailedAddShowsItsMessage()
{
    m_dialog = open(AddressBookForm::Mode::Managing, m_books->current());
    m_edits.push_back(Entry {"Ann;Bob", "Acme/3"});
    MessageDialog::skipNext();
    QTest::keyClick(m_dialog->list(), Qt::Key_Insert);
    QVERIFY(MessageDialog::lastSkipped());
    QCOMPARE(MessageDialog::lastSkipped()->messageId, 135);
    QCOMPARE(MessageDialog::lastSkipped()->helpKey, QStringLiteral("HIDS_ERM_ADDUSERFAILED"));
    QCOMPARE(m_dialog->list()->model()->rowCount(), 3);
}

void AddressBookDialogTest::anEntryWithoutPagerInformationIsRefusedAndTheDialogStays()
{
    m_dialog = open(AddressBookForm::Mode::Selecting, m_books->current());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Address Book - selecting recipients"));
    QCOMPARE(child<QLabel>("noteLabel")->text(),
             QStringLiteral("Double click on a user to select it"));
    QCOMPARE(child<QPushButton>("closeButton")->text(), QStringLiteral("&Cancel"));
    selectRows({"Nobody"});
    MessageBox::answerNext(QMessageBox::Ok);
    QTest::mouseClick(child<QPushButton>("selectButton"), Qt::LeftButton);
    QCOMPARE(MessageBox::lastAnswered()->text,
             QStringLiteral("Entry \"Nobody\" does not have valid pager information\n"
                            "Please select another entry from the address book"));
    QCOMPARE(MessageBox::lastAnswered()->icon, QMessageBox::Warning);
    QVERIFY(m_dialog->isVisible());
    QVERIFY(m_dialog->result().empty());
}

void AddressBookDialogTest::selectedNamesAreHandedBackJoined()
{
    m_dialog = open(AddressBookForm::Mode::Selecting, m_books->current());
    selectRows({"Ann", "Bob"});
    QTest::mouseClick(child<QPushButton>("selectButton"), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->QDialog::result(), int(QDialog::Accepted));
    QCOMPARE(m_dialog->result(), std::string("Ann;Bob;"));

    // A double click on a row selects it, through the dialog's entry point.
    onNextModal([](QWidget* window) {
        auto* dialog = qobject_cast<AddressBookDialog*>(window);
        QVERIFY(dialog);
        QTreeView* list = dialog->list();
        const QRect rect = list->visualRect(list->model()->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    });
    QCOMPARE(AddressBookDialog::select(nullptr, *m_books), std::optional<std::string>("Bob;"));
}

void AddressBookDialogTest::theDeleteKeyAsksPerEntry()
{
    m_dialog = open(AddressBookForm::Mode::Managing, m_books->current());
    selectRows({"Ann", "Nobody"});
    BoxScript boxes({QMessageBox::No, QMessageBox::Yes});
    QTest::keyClick(m_dialog->list(), Qt::Key_Delete);
    QVERIFY(boxes.done());
    QCOMPARE(boxes.texts.value(0),
             QStringLiteral("Are you sure your want to delete the entry \"Ann\" ?"));
    QCOMPARE(infoOf("Ann"), QStringLiteral("Acme/1"));
    std::string info;
    QVERIFY(!m_books->current()->getPagerInfo("Nobody", info));
    QCOMPARE(m_dialog->list()->model()->rowCount(), 2);
}

void AddressBookDialogTest::aReadOnlyBookCannotBeEditedButCanBeChosenFrom()
{
    const std::string file = m_books->current()->location();
    m_books->current()->close();
    QVERIFY(m_books->simple().setPath("=" + file));
    QVERIFY(m_books->simple().open());
    m_dialog = open(AddressBookForm::Mode::Selecting, &m_books->simple());
    QCOMPARE(m_dialog->list()->model()->rowCount(), 3);
    QCOMPARE(child<QLabel>("noteLabel")->text(),
             QStringLiteral("Note: Address book is readonly or disabled"));
    QVERIFY(!child<QPushButton>("addButton")->isEnabled());
    selectRows({"Ann"});
    QVERIFY(!child<QPushButton>("deleteButton")->isEnabled());
    QVERIFY(!child<QPushButton>("propertiesButton")->isEnabled());
    QTest::keyClick(m_dialog->list(), Qt::Key_Insert);
    QVERIFY(m_presets.empty());
    QVERIFY(child<QPushButton>("selectButton")->isEnabled());
    QTest::mouseClick(child<QPushButton>("selectButton"), Qt::LeftButton);
    QCOMPARE(m_dialog->result(), std::string("Ann;"));
}

void AddressBookDialogTest::theDisabledMapiBookShowsNothingToDo()
{
    QVERIFY(m_books->select(1));
    QVERIFY(m_books->current()->open());
    m_dialog = open(AddressBookForm::Mode::Selecting, m_books->current());
    QCOMPARE(m_dialog->list()->model()->rowCount(), 0);
    QCOMPARE(child<QLabel>("noteLabel")->text(),
             QStringLiteral("Note: Address book is readonly or disabled"));
    for (const char* name : {"addButton", "selectButton", "deleteButton", "propertiesButton"}) {
        QVERIFY2(!child<QPushButton>(name)->isEnabled(), name);
    }
}

QTEST_MAIN(AddressBookDialogTest)
#include "AddressBookDialogTest.moc"
#include "qt/ModalWindows.h"
