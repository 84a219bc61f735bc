// The locate dialog of a missing database file as the program's prompt shows it: "C&reate",
// "Cancel" (after which the providers dialog has nothing to list or add), "&Help", the
// open-file dialog's filter; and questions from a background thread, shown on the GUI thread
// while neither thread waits for the other.
#include "directories/gui/LocateDatabaseDialog.h"

#include "DirectoriesGuiFixture.h"
#include "directories/ProviderDatabase.h"
#include "directories/gui/DeskPrompt.h"
#include "directories/gui/ProvidersDialog.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <thread>

class LocateDatabaseDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void createMakesTheFileAndStoresItsPath();
    void cancelLeavesTheProvidersUnavailable();
    void helpOpensTheDialogsTopic();
    void theBrowserOffersTheFileAndFilter();
    void aBackgroundQuestionIsShownWithoutWaiting();

private:
    std::unique_ptr<ScopedRegistry> m_registry;
    std::shared_ptr<DeskPrompt> m_prompt;
};

void LocateDatabaseDialogTest::init()
{
    m_registry = std::make_unique<ScopedRegistry>();
    setPath("home", m_registry->dir().path());
    m_prompt = std::make_shared<DeskPrompt>();
}

void LocateDatabaseDialogTest::cleanup()
{
    HelpTopics::setOpener({});
    m_prompt.reset();
    m_registry.reset();
}

void LocateDatabaseDialogTest::createMakesTheFileAndStoresItsPath()
{
    ProviderDatabase database(m_prompt);
    QString shown;
    onNextModal([&shown](QWidget* window) {
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Norvane Desk: Error"));
        shown = window->findChild<QLabel*>(QStringLiteral("messageLabel"))->text();
        QVERIFY(window->findChild<QPushButton*>(QStringLiteral("browseButton"))->isDefault());
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("createButton")),
                          Qt::LeftButton);
    });
    QVERIFY(database.open());
    QVERIFY(
        shown.startsWith(QStringLiteral("Cannot find the Paging Service Provider database file")));
    const std::string path = m_registry->dir().path() + "/data/pspDbs.mdb";
    QVERIFY(std::filesystem::exists(path));
    QCOMPARE(readString(pathsKey, "pspDbs"), path);
    QVERIFY(database.add("Acme", "555"));
}

void LocateDatabaseDialogTest::cancelLeavesTheProvidersUnavailable()
{
    ProviderDatabase database(m_prompt);
    onNextModal([](QWidget* window) {
        QVERIFY(window);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cancelButton")),
                          Qt::LeftButton);
    });
    QVERIFY(!database.open());
    QVERIFY(database.isUnavailable());
    QVERIFY(readString(pathsKey, "pspDbs").empty());

    ProvidersDialog dialog(database);
    QCOMPARE(dialog.list()->topLevelItemCount(), 0);
    dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("Acme"));
    dialog.findChild<QLineEdit*>(QStringLiteral("addressEdit"))->setText(QStringLiteral("555"));
    BoxScript boxes({QMessageBox::Ok});
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("addButton")), Qt::LeftButton);
    QVERIFY2(!boxes.done(), "adding without the database was not quiet");
    QCOMPARE(dialog.list()->topLevelItemCount(), 0);
    QVERIFY(!std::filesystem::exists(m_registry->dir().path() + "/data/pspDbs.mdb"));
}

void LocateDatabaseDialogTest::helpOpensTheDialogsTopic()
{
    std::uint32_t opened = 0;
    HelpTopics::setOpener(
        [&opened](QWidget*, std::uint32_t context, const QString&) { opened = context; });
    LocateDatabaseDialog dialog({"Cannot find\n[x]\n", "x", "pspDbs.mdb", "", false, ""});
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("helpButton")), Qt::LeftButton);
    QCOMPARE(opened, LocateDatabaseDialog::helpContext);
    QVERIFY(dialog.isVisible());
}

void LocateDatabaseDialogTest::theBrowserOffersTheFileAndFilter()
{
    QCOMPARE(
        LocateDatabaseDialog::browserFilter("Database File (*.mdb)|*.mdb|All Files (*.*)|*.*||"),
        QStringLiteral("Database File (*.mdb);;All Files (*.*)"));
    LocateRequest request;
    request.path = m_registry->dir().path() + "/data/other.db";
    request.fileName = "simpleAdb.mdb";
    QCOMPARE(LocateDatabaseDialog::browserStart(request),
             QString::fromStdString(m_registry->dir().path() + "/data/simpleAdb.mdb"));
}

void LocateDatabaseDialogTest::aBackgroundQuestionIsShownWithoutWaiting()
{
    // The thread gets its answer while the GUI thread is not serving events at all: it never
    // waits for the GUI thread.
    bool answer = true;
    std::thread background([this, &answer] {
        answer = m_prompt->askYesNo("Replace the file?", "Norvane Desk", PromptIcon::Question);
        m_prompt->showMessage("The book is gone", "Address Book", PromptIcon::Stop);
    });
    background.join();
    QVERIFY(!answer);
    // Both boxes then come up on the GUI thread, in order.
    BoxScript boxes({QMessageBox::Ok, QMessageBox::Ok});
    QTRY_VERIFY(boxes.done());
    QCOMPARE(boxes.texts.size(), 2);
    QVERIFY2(boxes.texts[0].startsWith(QStringLiteral("Replace the file?")),
             qPrintable(boxes.texts.join(QLatin1Char('|'))));
    QVERIFY(boxes.texts[0].contains(QStringLiteral("No")));
    QCOMPARE(boxes.texts[1], QStringLiteral("The book is gone"));
}

QTEST_MAIN(LocateDatabaseDialogTest)
#include "LocateDatabaseDialogTest.moc"
