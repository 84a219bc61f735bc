#include "ui/ComposeWindow.h"

#include "addressing/gui/BookEntryEditor.h"
#include "addressing/gui/RecipientsPanel.h"
#include "directories/gui/AddressBookDialog.h"
#include "directories/gui/DeskPrompt.h"
#include "directories/gui/DirectorySearchDialog.h"
#include "directories/gui/InternetBookPropertiesDialog.h"
#include "directories/gui/LdapServerDialog.h"
#include "directories/gui/MapiBookPropertiesDialog.h"
#include "directories/gui/ProvidersDialog.h"
#include "directories/gui/SimpleBookPropertiesDialog.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "help/AboutBox.h"
#include "help/HelpWindow.h"
#include "log/gui/LogViewerDialog.h"
#include "services/DeskServices.h"
#include "stores/gui/SaveMessageDialog.h"
#include "stores/gui/SavedMessagesDialog.h"
#include "tutorial/Tutorial.h"
#include "ui/options/COptionsPropertySheet.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace {

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

// The pictures are built into this library; a static library's resources are registered by
// hand, as nothing else would pull them into the program. (Outside any namespace, as the
// registration's declaration must be.)
static void initResources()
{
    Q_INIT_RESOURCE(ui);
}

ComposeWindow::ComposeWindow(DeskServices& services, DeskPrompt& prompt, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
    , m_prompt(prompt)
    , m_recipients(&services.providers(), services.books().current(), &prompt)
    , m_form(services.history(), services.savedMessages(), m_recipients)
{
    initResources();
    setObjectName(QStringLiteral("composeWindow"));
    setWindowTitle(QStringLiteral("Norvane Desk"));
    setWindowIcon(QIcon(QStringLiteral(":/ui/norvane.svg")));
    setMinimumSize(minimumWidth, minimumHeight);
    m_prompt.setParent(this);
    m_recipients.reloadFlags();

    m_panel = new RecipientsPanel(m_recipients, this);
    m_panel->setObjectName(QStringLiteral("recipientsPanel"));
    connect(m_panel, &RecipientsPanel::sendRequested, this, &ComposeWindow::send);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(m_panel, 1);
    body->addWidget(makeButtons(), 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(makeToolbar());
    layout->addLayout(body, 1);
    resize(520, 360);

    auto* exit = new QAction(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("exitAction"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &ComposeWindow::exitRequested);
    addAction(exit);

    // The controls' ids, which their help pop-ups are numbered after.
    for (const auto& [name, id] : {std::pair {"newMessageButton", 1040},
                                   {"saveMessageButton", 1010},
                                   {"savedMessagesButton", 1098},
                                   {"addressBookButton", 1001},
                                   {"directorySearchButton", 1002},
                                   {"previousMessageButton", 1007},
                                   {"clearMessageToolButton", 1011},
                                   {"nextMessageButton", 1009},
                                   {"messagesButton", 1097},
                                   {"sendButton", 1},
                                   {"closeButton", 1026},
                                   {"helpButton", 1025}}) {
        if (QWidget* control = findChild<QWidget*>(QLatin1String(name)))
            control->setProperty(helpIdProperty, id);
    }
    m_tutorial = new Tutorial(this);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &ComposeWindow::controlHelp);
}

void ComposeWindow::offerExitInMenu()
{
    m_helpMenu->addSeparator();
    QAction* exit = m_helpMenu->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("menuExitAction"));
    connect(exit, &QAction::triggered, this, &ComposeWindow::exitRequested);
}

ComposeWindow::~ComposeWindow()
{
    m_prompt.setParent(nullptr);
}

QToolButton* ComposeWindow::toolButton(const char* name, const QString& tip, const QString& icon)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setIcon(QIcon(QStringLiteral(":/ui/%1.svg").arg(icon)));
    button->setIconSize(QSize(20, 20));
    // Flat until the pointer is over it, raised while it is.
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget* ComposeWindow::makeToolbar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("toolbar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 0, 0, 0);
    row->setSpacing(1);
    const auto add
        = [this, row](const char* name, const QString& tip, const QString& icon, auto command) {
              QToolButton* button = toolButton(name, tip, icon);
              connect(button, &QToolButton::clicked, this, command);
              row->addWidget(button);
              return button;
          };
    add("newMessageButton", QStringLiteral("New message"), QStringLiteral("new"),
        &ComposeWindow::newMessage);
    add("saveMessageButton", QStringLiteral("Save Message"), QStringLiteral("save"),
        &ComposeWindow::saveMessage);
    add("savedMessagesButton", QStringLiteral("Edit Saved Messages"), QStringLiteral("saved"),
        &ComposeWindow::editSavedMessages);
    row->addWidget(separator(bar));
    add("addressBookButton", QStringLiteral("Select recipient from Address Book"),
        QStringLiteral("addressbook"), &ComposeWindow::selectFromAddressBook);
    add("directorySearchButton", QStringLiteral("Directory Search"), QStringLiteral("search"),
        &ComposeWindow::directorySearch);
    row->addWidget(separator(bar));
    add("previousMessageButton", QStringLiteral("Previous Message"), QStringLiteral("previous"),
        &ComposeWindow::previousMessage);
    add("clearMessageToolButton", QStringLiteral("Clear Message"), QStringLiteral("clear"),
        &ComposeWindow::clearMessage);
    add("nextMessageButton", QStringLiteral("Next Message"), QStringLiteral("next"),
        &ComposeWindow::nextMessage);
    row->addWidget(separator(bar));
    m_messages = add("messagesButton", QStringLiteral("Messages"), QStringLiteral("messages"),
                     &ComposeWindow::showMessagesMenu);
    m_messages->setIconSize(QSize(26, 20));
    row->addStretch();
    return bar;
}

QWidget* ComposeWindow::makeButtons()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(3);
    m_send = new QPushButton(QStringLiteral("&Send"), column);
    m_send->setObjectName(QStringLiteral("sendButton"));
    m_send->setDefault(true);
    connect(m_send, &QPushButton::clicked, this, &ComposeWindow::send);
    auto* close = new QPushButton(QStringLiteral("&Close"), column);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &ComposeWindow::closeWindow);
    auto* help
        = new QPushButton(QIcon(QStringLiteral(":/ui/help.svg")), QStringLiteral("&Help"), column);
    help->setObjectName(QStringLiteral("helpButton"));
    auto* menu = new QMenu(help);
    menu->setObjectName(QStringLiteral("helpMenu"));
    connect(menu->addAction(QStringLiteral("Contents")), &QAction::triggered, this,
            [] { HelpWindow::usable()->showContents(); });
    connect(menu->addAction(QStringLiteral("Search...")), &QAction::triggered, this,
            [] { HelpWindow::usable()->showSearch(); });
    connect(menu->addAction(QStringLiteral("Tutorial...")), &QAction::triggered, this,
            [this] { m_tutorial->start(); });
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("About...")), &QAction::triggered, this,
            &ComposeWindow::about);
    help->setMenu(menu);
    m_helpMenu = menu;
    for (QPushButton* button : {m_send, close, help})
        button->setMinimumWidth(80);
    layout->addWidget(m_send);
    layout->addWidget(close);
    layout->addWidget(help);
    layout->addStretch();
    return column;
}

void ComposeWindow::bringForward()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void ComposeWindow::showNotice(const ComposeForm::Notice& notice)
{
    MessageBox::show(this, QMessageBox::Information, MessageBox::screenText(notice.caption),
                     MessageBox::screenText(notice.text));
}

void ComposeWindow::newMessage()
{
    bringForward();
    m_form.newMessage();
    m_panel->refresh();
}

void ComposeWindow::saveMessage()
{
    if (const auto refusal = m_form.saveRefusal()) {
        showNotice(*refusal);
        return;
    }
    m_panel->syncMessage();
    (void)SaveMessageDialog::run(this, m_services.savedMessages(), m_recipients.recipientsText(),
                                 m_recipients.messageText());
}

void ComposeWindow::editSavedMessages()
{
    SavedMessagesDialog::run(this, m_services.savedMessages());
}

void ComposeWindow::selectFromAddressBook()
{
    m_tutorial->addressBookPressed();
    if (m_panel->selectFromAddressBook())
        m_tutorial->addressBookAccepted();
}

void ComposeWindow::directorySearch()
{
    m_panel->addEntries(DirectorySearchDialog::run(this).toStdString());
}

void ComposeWindow::viewLog()
{
    LogViewerDialog(this).exec();
}

void ComposeWindow::addressBookChanged()
{
    m_panel->setAddressBook(m_services.books().current());
}

OptionsWindows ComposeWindow::optionsWindows()
{
    OptionsWindows windows;
    AddressBookSelection& books = m_services.books();
    ProviderDatabase* providers = &m_services.providers();
    windows.showAddressBook = [&books, providers](QWidget* parent) {
        AddressBookDialog::manage(parent, books, BookEntryEditor::make(providers));
    };
    windows.serviceProviders
        = [providers](QWidget* parent) { ProvidersDialog(*providers, parent).exec(); };
    windows.bookProperties = [this, &books](QWidget* parent, int adbType) {
        bool changed = false;
        if (adbType == 1)
            changed = MapiBookPropertiesDialog::run(parent, books);
        else if (adbType == 2)
            changed = InternetBookPropertiesDialog::run(parent, books);
        else
            changed = SimpleBookPropertiesDialog::run(parent, books);
        // A book opened again at a new place is another object.
        if (changed)
            addressBookChanged();
    };
    windows.viewLog = [](QWidget* parent) { LogViewerDialog(parent).exec(); };
    windows.editLdapServer
        = [](QWidget* parent, std::string& name) { return LdapServerDialog::edit(parent, name); };
    windows.addressBookChanged = [this] { addressBookChanged(); };
    return windows;
}

void ComposeWindow::showOptions()
{
    COptionsPropertySheet::run(this, m_services, optionsWindows(), [this] {
        m_recipients.reloadFlags();
        m_panel->refresh();
    });
}

void ComposeWindow::previousMessage()
{
    m_tutorial->messageStepped();
    if (const auto notice = m_form.previousMessage()) {
        showNotice(*notice);
        return;
    }
    m_panel->refresh();
}

void ComposeWindow::nextMessage()
{
    m_tutorial->messageStepped();
    m_form.nextMessage();
    m_panel->refresh();
}

void ComposeWindow::clearMessage()
{
    m_form.clearMessage();
    m_panel->refresh();
}

std::unique_ptr<QMenu> ComposeWindow::buildMessagesMenu()
{
    std::vector<ComposeForm::MenuItem> items;
    if (const auto notice = m_form.messagesMenu(items)) {
        showNotice(*notice);
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("messagesMenu"));
    for (const ComposeForm::MenuItem& item : items) {
        if (item.command == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromStdString(item.label));
        action->setData(item.command);
        const int command = item.command;
        connect(action, &QAction::triggered, this, [this, command] {
            if (m_form.choose(command))
                m_panel->refresh();
        });
    }
    return menu;
}

void ComposeWindow::showMessagesMenu()
{
    if (const std::unique_ptr<QMenu> menu = buildMessagesMenu())
        menu->exec(QCursor::pos());
}

void ComposeWindow::send()
{
    // A send already running on this window keeps the window's events served; a second
    // press waits for nothing and does nothing.
    if (m_sending)
        return;
    m_tutorial->sending();
    m_sending = true;
    m_send->setEnabled(false);
    m_panel->syncMessage();
    const std::string recipients = m_recipients.recipientsText();
    const std::string message = m_recipients.messageText();
    (void)m_services.sender().sendToRecipients(recipients, message, false, false, "Local");
    m_form.sent();
    m_send->setEnabled(true);
    m_sending = false;
}

void ComposeWindow::about()
{
    AboutBox::run(this);
}

void ComposeWindow::controlHelp()
{
    // The control under the pointer, else the one with the focus, names its pop-up; the
    // window's own topic otherwise.
    QWidget* widget = QApplication::widgetAt(QCursor::pos());
    if (widget == nullptr || window() != widget->window())
        widget = focusWidget();
    for (; widget != nullptr && widget != this; widget = widget->parentWidget()) {
        const QVariant id = widget->property(helpIdProperty);
        if (id.isValid()) {
            HelpTopics::open(this, controlHelpBase + id.toUInt());
            return;
        }
    }
    HelpTopics::open(this, windowHelpContext, QStringLiteral("HIDD_COMPOSE"));
}

void ComposeWindow::closeWindow()
{
    if (m_hidesOnClose)
        hide();
    else
        showMinimized();
}

void ComposeWindow::closeEvent(QCloseEvent* event)
{
    // Only "Exit" ends the program; the window's close box hides it.
    event->ignore();
    closeWindow();
}

void ComposeWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        closeWindow();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ComposeWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Q_EMIT shownChanged(true);
}

void ComposeWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    Q_EMIT shownChanged(false);
}
