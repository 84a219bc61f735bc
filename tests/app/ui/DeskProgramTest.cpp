#include "ChildProcess.h"
#include "FakeDriverIds.h"
#include "FakeDriverScript.h"
#include "LdapTestServer.h"
#include "PrivateLog.h"
#include "SnppTestServer.h"
#include "TempDir.h"
#include "addressing/GeneralSettings.h"
#include "addressing/gui/RecipientsPanel.h"
#include "directories/HeadlessPrompt.h"
#include "directories/LdapService.h"
#include "directories/ProviderDatabase.h"
#include "directories/SimpleAddressBook.h"
#include "directories/gui/AddressBookDialog.h"
#include "directories/gui/DeskPrompt.h"
#include "directories/gui/DirectorySearchDialog.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "help/HelpWindow.h"
#include "plugin/ControlLoader.h"
#include "qt/ModalWindows.h"
#include "qt/ProgressWatcher.h"
#include "sending/gui/MessageDialog.h"
#include "sending/gui/QtSendPresenter.h"
#include "sending/gui/SendResultsDialog.h"
#include "services/DeskServices.h"
#include "settings/SettingsKey.h"
#include "shell/GreetingChoice.h"
#include "stores/SavedMessage.h"
#include "stores/gui/SaveMessageDialog.h"
#include "stores/gui/SavedMessagesDialog.h"
#include "tutorial/Tutorial.h"
#include "ui/ComposeWindow.h"
#include "ui/DeskApplication.h"
#include "ui/SingleInstance.h"
#include "ui/TaskbarIcon.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <thread>

// The desktop program's compose window over its real services (a private settings store and
// data folder), and the program's single-instance rule across processes.
class DeskProgramTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void theWindowKeepsItsMinimumSizeAndHidesOnClose();
    void steppingThroughTheHistoryWithTheButtons();
    void theMessagesMenuListsHistoryAndSavedMessages();
    void aMessageIsSavedFromTheWindowAndListedInSavedMessages();
    void theAddressBookAddsChosenNamesAndLeadsTheTutorialsLesson();
    void directorySearchAddsThePagerAddressOfAPersonFound();
    void theTaskbarsWindowsAndTheHelpOfAControlOpen();
    void aSentPageIsInTheHistoryAndComesBack();
    void theWindowStaysResponsiveWhileABackgroundSendHoldsTheLock();
    void aSecondStartBringsTheFirstForward();
    void aCrashedInstanceNeverBlocksAStart();
    void theStartBringsUpTheWindowAndExitStopsTheServices();
    void theTaskbarMenuHoldsItsItemsInOrder();

private:
    // Clicks "&Send", closing the send's window as soon as it is up; what it showed (the
    // results' rows as "recipient|result", a message as its id).
    QStringList sendAndClose();
    // Clicks a toolbar button whose box the hook answers; gives the box's text.
    QString clickAnswered(const char* button);
    QToolButton* toolButton(const char* name) const
    {
        return childOf<QToolButton>(m_window.get(), name);
    }
    QStringList listed() const;

    std::unique_ptr<PrivateLog> m_log;
    std::shared_ptr<DeskPrompt> m_prompt;
    std::unique_ptr<DeskServices> m_services;
    std::unique_ptr<ComposeWindow> m_window;
};

void DeskProgramTest::init()
{
    m_log = std::make_unique<PrivateLog>();
    m_prompt = std::make_shared<DeskPrompt>();
    m_services = std::make_unique<DeskServices>(m_prompt, "Main");
    m_window = std::make_unique<ComposeWindow>(*m_services, *m_prompt);
    m_services->history().initPath();
    m_services->savedMessages().initPath();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void DeskProgramTest::cleanup()
{
    m_window.reset();
    m_services.reset();
    m_prompt.reset();
    m_log.reset();
}

QString DeskProgramTest::clickAnswered(const char* button)
{
    auto* tool = m_window->findChild<QToolButton*>(QString::fromLatin1(button));
    if (tool == nullptr)
        return QStringLiteral("no button %1").arg(QString::fromLatin1(button));
    MessageBox::answerNext(QMessageBox::Ok);
    tool->click();
    const auto shown = MessageBox::lastAnswered();
    // A click that showed no box leaves the hook armed: spend it so the next test starts clean.
    const QString text = shown ? shown->text : QString();
    return text;
}

QStringList DeskProgramTest::sendAndClose()
{
    QStringList shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&shown] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* results = qobject_cast<SendResultsDialog*>(modal)) {
            for (int i = 0; i < results->list()->topLevelItemCount(); ++i)
                shown << results->list()->topLevelItem(i)->text(0) + QLatin1Char('|')
                        + results->list()->topLevelItem(i)->text(1);
            results->accept();
        } else if (auto* message = qobject_cast<MessageDialog*>(modal)) {
            shown << QString::number(message->helpContext() - 0x30000);
            message->accept();
        }
    });
    closer.start(20);
    m_window->findChild<QPushButton*>(QStringLiteral("sendButton"))->click();
    return shown;
}

QStringList DeskProgramTest::listed() const
{
    QStringList texts;
    for (int row = 0; row < m_window->panel()->list()->count(); ++row)
        texts << m_window->panel()->list()->item(row)->text();
    return texts;
}

void DeskProgramTest::theWindowKeepsItsMinimumSizeAndHidesOnClose()
{
    m_window->resize(100, 100);
    QCOMPARE(m_window->size(), QSize(280, 220));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Norvane Desk"));
    QSignalSpy shown(m_window.get(), &ComposeWindow::shownChanged);
    QVERIFY(m_window->close() == false);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.at(0).at(0).toBool(), false);
    m_window->bringForward();
    QVERIFY(m_window->isVisible());
}

void DeskProgramTest::steppingThroughTheHistoryWithTheButtons()
{
    QCOMPARE(clickAnswered("previousMessageButton"), QStringLiteral("No saved messages"));
    QVERIFY(m_services->history().recordSent("555-0100/1;", "first"));
    QVERIFY(m_services->history().recordSent("555-0100/2;not checked!;", "second"));

    m_window->findChild<QToolButton*>(QStringLiteral("previousMessageButton"))->click();
    QCOMPARE(listed(),
             (QStringList {QStringLiteral("555-0100/2"), QStringLiteral("not checked!")}));
    QCOMPARE(m_window->panel()->messageEdit()->toPlainText(), QStringLiteral("second"));
    m_window->findChild<QToolButton*>(QStringLiteral("previousMessageButton"))->click();
    QCOMPARE(m_window->panel()->messageEdit()->toPlainText(), QStringLiteral("first"));
    QCOMPARE(clickAnswered("previousMessageButton"), QStringLiteral("No more saved messages"));

    m_window->findChild<QToolButton*>(QStringLiteral("clearMessageToolButton"))->click();
    QCOMPARE(m_window->form().historyPosition(), -1);
    QCOMPARE(m_window->panel()->messageEdit()->toPlainText(), QString());
    QCOMPARE(listed(), QStringList {QStringLiteral("555-0100/1")});
    m_window->findChild<QToolButton*>(QStringLiteral("nextMessageButton"))->click();
    QVERIFY(listed().isEmpty());
}

void DeskProgramTest::theMessagesMenuListsHistoryAndSavedMessages()
{
    MessageBox::answerNext(QMessageBox::Ok);
    QVERIFY(m_window->buildMessagesMenu() == nullptr);
    QCOMPARE(MessageBox::lastAnswered()->caption, QStringLiteral("No Saved Messages"));

    QVERIFY(m_services->history().recordSent(std::string(30, 'r') + ";", "hello"));
    QVERIFY(m_services->savedMessages().add("Weekly", "", "555-0100/3;", "standup"));
    const std::unique_ptr<QMenu> menu = m_window->buildMessagesMenu();
    QVERIFY(menu != nullptr);
    QStringList labels;
    for (QAction* action : menu->actions())
        labels << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(labels,
             (QStringList {QString(22, QLatin1Char('r')) + QStringLiteral("...,   hello"),
                           QStringLiteral("-"), QStringLiteral("Weekly")}));
    menu->actions().last()->trigger();
    QCOMPARE(listed(), QStringList {QStringLiteral("555-0100/3")});
    QCOMPARE(m_window->panel()->messageEdit()->toPlainText(), QStringLiteral("standup"));
}

void DeskProgramTest::aMessageIsSavedFromTheWindowAndListedInSavedMessages()
{
    QCOMPARE(
        clickAnswered("saveMessageButton"),
        QStringLiteral("Recipient list empty\nPlease add recipients and save the message again"));
    QVERIFY(m_window->panel()->addEntry(QStringLiteral("555-0100/3")));
    m_window->panel()->messageEdit()->setPlainText(QStringLiteral("standup"));
    bool saved = false;
    onNextModal([&saved](QWidget* modal) {
        QVERIFY(qobject_cast<SaveMessageDialog*>(modal) != nullptr);
        childOf<QComboBox>(modal, "nameCombo")->setEditText(QStringLiteral("Standup"));
        childOf<QPushButton>(modal, "okButton")->click();
        saved = true;
    });
    toolButton("saveMessageButton")->click();
    QVERIFY(saved);
    SavedMessage record;
    QVERIFY(m_services->savedMessages().getAt(0, record));
    QCOMPARE(record.name, std::string("Standup"));
    QCOMPARE(record.recipients, std::string("555-0100/3;"));
    QCOMPARE(record.message, std::string("standup"));

    QStringList listedNames;
    onNextModal([&listedNames](QWidget* modal) {
        QVERIFY(qobject_cast<SavedMessagesDialog*>(modal) != nullptr);
        auto* list = childOf<QTreeWidget>(modal, "messageList");
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            listedNames << list->topLevelItem(row)->text(0);
        childOf<QPushButton>(modal, "closeButton")->click();
    });
    toolButton("savedMessagesButton")->click();
    QCOMPARE(listedNames, QStringList {QStringLiteral("Standup")});
}

void DeskProgramTest::theAddressBookAddsChosenNamesAndLeadsTheTutorialsLesson()
{
    {
        SimpleAddressBook book(std::make_shared<HeadlessPrompt>());
        QVERIFY(book.open());
        QVERIFY(book.add("Alice", "555-0100/7"));
        QVERIFY(book.add("Carol", "555-0100/8"));
    }
    QVERIFY(m_services->selectAddressBook());
    m_window->recipients().setAddressBook(m_services->books().current());
    m_window->panel()->setAddressBook(m_services->books().current());
    Tutorial* tutorial = m_window->tutorial();
    tutorial->start();
    tutorial->chooseLesson(3);
    QCOMPARE(tutorial->currentCard(), QStringLiteral("HIDT_SA_STEP1"));

    // The chosen row is taken with "&Select"; the card follows each step.
    const auto choose = [tutorial](const QString& name, QString* cardWhileOpen) {
        onNextModal([=](QWidget* modal) {
            QVERIFY(qobject_cast<AddressBookDialog*>(modal) != nullptr);
            if (cardWhileOpen)
                *cardWhileOpen = tutorial->currentCard();
            auto* list = childOf<QTreeView>(modal, "entryList");
            const QModelIndexList found = list->model()->match(
                list->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            list->selectionModel()->select(
                found.front(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            childOf<QPushButton>(modal, "selectButton")->click();
        });
    };
    QString cardWhileOpen;
    choose(QStringLiteral("Alice"), &cardWhileOpen);
    toolButton("addressBookButton")->click();
    QCOMPARE(cardWhileOpen, QStringLiteral("HIDT_SA_STEP2"));
    QCOMPARE(tutorial->currentCard(), QStringLiteral("HIDT_SA_STEP3"));
    QCOMPARE(listed(), QStringList {QStringLiteral("Alice")});

    // A double-click on a name replaces it by the names chosen.
    choose(QStringLiteral("Carol"), nullptr);
    QListWidget* list = m_window->panel()->list();
    Q_EMIT list->itemDoubleClicked(list->item(0));
    QCOMPARE(listed(), QStringList {QStringLiteral("Carol")});
}

void DeskProgramTest::directorySearchAddsThePagerAddressOfAPersonFound()
{
    if (const std::string reason = LdapTestServer::unavailableReason(); !reason.empty())
        QSKIP(reason.c_str());
    LdapTestServer slapd;
    QVERIFY(slapd.start(LdapTestServer::person("Dana Pager",
                                               "mail: dana@norvane.test\n"
                                               "pager: snpp.norvane.test!4711")));
    std::string base(LdapTestServer::peopleBase);
    std::replace(base.begin(), base.end(), ',', ';');
    QVERIFY(SettingsKey(RootKey::CurrentUser, LdapService::key)
                .setString("Local", "127.0.0.1," + std::to_string(slapd.port()) + ",,," + base));
    onNextModal([](QWidget* modal) {
        QVERIFY(qobject_cast<DirectorySearchDialog*>(modal) != nullptr);
        childOf<QLineEdit>(modal, "nameEdit")->setText(QStringLiteral("Dana*"));
        childOf<QPushButton>(modal, "findButton")->click();
        auto* results = childOf<QTreeWidget>(modal, "resultList");
        QTRY_COMPARE_WITH_TIMEOUT(results->topLevelItemCount(), 1, 10000);
        results->topLevelItem(0)->setSelected(true);
        childOf<QPushButton>(modal, "addButton")->click();
    });
    toolButton("directorySearchButton")->click();
    QCOMPARE(listed(), QStringList {QStringLiteral("snpp.norvane.test!4711")});
}

void DeskProgramTest::theTaskbarsWindowsAndTheHelpOfAControlOpen()
{
    QStringList opened;
    const auto closeNext = [&opened] {
        onNextModal([&opened](QWidget* modal) {
            opened << QString::fromLatin1(modal ? modal->metaObject()->className() : "none");
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
    };
    closeNext();
    m_window->viewLog();
    // Closing the sheet, whatever closed it, reads the recipients' flags again.
    QVERIFY(!m_window->recipients().flags().disableCheck);
    QVERIFY(SettingsKey(RootKey::CurrentUser, GeneralSettings::key)
                .setNumber(std::string(GeneralSettings::disableAddrCheck.name), 1));
    closeNext();
    m_window->showOptions();
    QCOMPARE(
        opened,
        (QStringList {QStringLiteral("LogViewerDialog"), QStringLiteral("COptionsPropertySheet")}));
    QVERIFY(m_window->recipients().flags().disableCheck);

    // F1 over a control opens its pop-up, over nothing in particular the window's topic.
    HelpWindow::install();
    QCursor::setPos(-100, -100);
    auto* send = m_window->findChild<QPushButton*>(QStringLiteral("sendButton"));
    send->setFocus();
    m_window->controlHelp();
    QCOMPARE(HelpWindow::instance()->currentKey(), QStringLiteral("HIDC_SEND"));
    m_window->panel()->messageEdit()->setFocus();
    m_window->controlHelp();
    QCOMPARE(HelpWindow::instance()->currentKey(), QStringLiteral("HIDD_COMPOSE"));
    HelpTopics::setOpener({});
    HelpWindow::instance()->close();
}

void DeskProgramTest::aSentPageIsInTheHistoryAndComesBack()
{
    // Through the real SNPP plug-in, loaded from its file, to the SNPP test server.
    SettingsKey plover(RootKey::CurrentUser, "SOFTWARE\\Tessal\\Norvane\\Plover");
    QVERIFY(plover.setNumber("replyTimeoutMs", 2000));
    QVERIFY(plover.setNumber("threadWaitMs", 5000));
    ControlLoader loader;
    QVERIFY2(loader.registerServer(NV_PLOVER_PLUGIN_PATH), loader.lastErrorText().c_str());
    SnppTestServer server;
    QVERIFY(server.start());
    m_services->sender().setPresenter(std::make_shared<QtSendPresenter>(m_window.get()));
    // As the program sends: the driver's progress window over the compose window.
    ControlOptions options = m_services->sender().driverOptions();
    options.showProgress = true;
    options.parentWindow = m_window.get();
    m_services->sender().setDriverOptions(options);
    ProgressWatcher progress(QStringLiteral("SNPP Paging"));
    const QString address = QString::fromStdString(server.address()) + QStringLiteral("!1234");
    QCOMPARE(m_window->recipients().add(address.toStdString(), true), 1);
    m_window->panel()->refresh();
    QTest::keyClicks(m_window->panel()->messageEdit(), QStringLiteral("Meeting at ten"));

    QCOMPARE(sendAndClose(), QStringList {address + QStringLiteral("|Sent successfully")});
    QCOMPARE(progress.shows, 1);
    QCOMPARE(progress.hides, 1);
    QCOMPARE(progress.owner, m_window.get());
    const std::vector<SnppTestServer::Page> pages = server.pages();
    QCOMPARE(pages.size(), std::size_t {1});
    QCOMPARE(pages[0].pager, std::string("1234"));
    QCOMPARE(pages[0].message, std::string("Meeting at ten"));
    QCOMPARE(m_window->form().historyPosition(), -1);

    m_window->findChild<QToolButton*>(QStringLiteral("newMessageButton"))->click();
    QVERIFY(listed().isEmpty());
    m_window->findChild<QToolButton*>(QStringLiteral("previousMessageButton"))->click();
    QCOMPARE(listed(), QStringList {address});
    QCOMPARE(m_window->panel()->messageEdit()->toPlainText(), QStringLiteral("Meeting at ten"));
}

void DeskProgramTest::theWindowStaysResponsiveWhileABackgroundSendHoldsTheLock()
{
    FakeDriverScript script(m_log->registry().dir().file("record.txt"));
    QVERIFY(FakeDriverScript::registerAs(FakeDriverIds::kestrelClass));
    script.setSendDelayMs(1500);
    m_services->sender().setPresenter(std::make_shared<QtSendPresenter>(m_window.get()));
    Sender& sender = m_services->sender();
    // A scheduled send, quiet, on its own thread, holds the send lock for its page.
    std::thread scheduled([&sender] {
        (void)sender.sendToRecipients("555-0000/1;", "scheduled", true, true, "Sch(test)");
    });
    QTRY_VERIFY_WITH_TIMEOUT(sender.isSending(), 5000);

    QCOMPARE(m_window->recipients().add("555-1234/9", true), 1);
    m_window->panel()->refresh();
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(50);
    const QStringList shown = sendAndClose();
    ticker.stop();
    scheduled.join();
    QCOMPARE(shown, QStringList {QStringLiteral("555-1234/9|Sent successfully")});
    // The window's events ran while its send waited for the scheduled one (about 1.5 s).
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
}

void DeskProgramTest::aSecondStartBringsTheFirstForward()
{
    const TempDir folder;
    SingleInstance first(QString::fromStdString(folder.path()));
    QVERIFY(first.acquire());
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    // The program itself, started a second time: it finds the lock held, asks the first to
    // come forward and ends without a window.
    ChildProcess second;
    QVERIFY(second.start({NORVANE_PROGRAM_PATH, "-t"},
                         {{"XDG_RUNTIME_DIR", folder.path()}, {"QT_QPA_PLATFORM", "offscreen"}}));
    QVERIFY(asked.wait(10000));
    std::optional<ChildProcess::Ending> ending;
    QTRY_VERIFY_WITH_TIMEOUT((ending = second.waitForEnd(0)).has_value(), 10000);
    QCOMPARE(ending->exitCode, 0);

    // "-m" takes no lock and asks nobody.
    SingleInstance third(QString::fromStdString(folder.path()));
    QVERIFY(!third.acquire());
}

void DeskProgramTest::aCrashedInstanceNeverBlocksAStart()
{
    const TempDir folder;
    ChildProcess crashed;
    QVERIFY(crashed.start({NORVANE_PROGRAM_PATH, "-t"},
                          {{"XDG_RUNTIME_DIR", folder.path()},
                           {"QT_QPA_PLATFORM", "offscreen"},
                           {"NORVANE_REGISTRY", folder.file("store.reg")},
                           {"XDG_DATA_HOME", folder.file("data")}}));
    const std::string socket = folder.file("norvane-desk.socket");
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(socket), 10000);
    QVERIFY(crashed.signal(SIGKILL));
    QVERIFY(crashed.waitForEnd(5000).has_value());

    SingleInstance next(QString::fromStdString(folder.path()));
    QVERIFY(next.acquire());
    QVERIFY2(next.lastErrorText().isEmpty(), qPrintable(next.lastErrorText()));
}

void DeskProgramTest::theStartBringsUpTheWindowAndExitStopsTheServices()
{
    // The data files a start finds (a first start asks where they are).
    const auto headless = std::make_shared<HeadlessPrompt>();
    QVERIFY(ProviderDatabase(headless).open());
    QVERIFY(SimpleAddressBook(headless).open());
    StartupOptions options;
    options.multipleInstances = true;
    options.taskbarOnly = true;
    DeskApplication desk(options, QString::fromStdString(m_log->registry().dir().file("run")));
    // The start offers the tutorial (with -t too) once the program runs its events; "No" with
    // the box ticked keeps it from the next start.
    bool welcomed = false;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&welcomed] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->objectName() != QStringLiteral("welcomeDialog"))
            return;
        welcomed = true;
        modal->findChild<QCheckBox*>(QStringLiteral("dontShowBox"))->setChecked(true);
        modal->findChild<QPushButton*>(QStringLiteral("noButton"))->click();
    });
    answer.start(10);
    QVERIFY(desk.start());
    QTRY_VERIFY(welcomed);
    QVERIFY(!GreetingChoice::shouldOffer());
    QVERIFY(!desk.window()->tutorial()->isRunning());
    // Offscreen there is no notification area: the window is shown even with -t, and closing
    // it minimises it.
    QVERIFY(desk.taskbarIcon() == nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(desk.window()));
    QVERIFY(desk.window()->findChild<QAction*>(QStringLiteral("menuExitAction")) != nullptr);
    QCOMPARE(desk.services()->threadsLeft(), 2);

    desk.window()->findChild<QAction*>(QStringLiteral("exitAction"))->trigger();
    QCOMPARE(desk.services()->threadsLeft(), 0);
    QVERIFY(!desk.window()->isVisible());
}

void DeskProgramTest::theTaskbarMenuHoldsItsItemsInOrder()
{
    TaskbarIcon icon;
    QStringList items;
    for (QAction* action : icon.menu()->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(icon.menu()->title(), QStringLiteral("Task Bar"));
    QCOMPARE(
        items,
        (QStringList {QStringLiteral("About Norvane..."), QStringLiteral("-"),
                      QStringLiteral("Show"), QStringLiteral("New Message..."), QStringLiteral("-"),
                      QStringLiteral("View Log..."), QStringLiteral("Schedule..."),
                      QStringLiteral("Options..."), QStringLiteral("-"), QStringLiteral("Exit")}));
    QSignalSpy exit(&icon, &TaskbarIcon::exitRequested);
    icon.menu()->actions().last()->trigger();
    QCOMPARE(exit.count(), 1);
    // "Show" carries its check mark while the window is visible.
    auto* show = icon.menu()->findChild<QAction*>(QStringLiteral("showAction"));
    QVERIFY(show != nullptr && show->isChecked());
    icon.setWindowShown(false);
    QVERIFY(!show->isChecked());
}

QTEST_MAIN(DeskProgramTest)
#include "DeskProgramTest.moc"
