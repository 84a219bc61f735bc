#include "help/HelpWindow.h"

#include "gui/DialogButtons.h"
#include "gui/HelpTopics.h"
#include "help/HelpBrowser.h"
#include "help/HelpLibrary.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int keyRole = Qt::UserRole;

} // namespace

void HelpWindow::install()
{
    HelpTopics::setOpener([](QWidget*, std::uint32_t context, const QString& key) {
        (void)usable()->openTopic(context, key);
    });
}

HelpWindow* HelpWindow::instance()
{
    static QPointer<HelpWindow> window;
    if (window.isNull()) {
        // A window of its own, not a child of the window that asked: it outlives dialogs
        // and stays open beside the compose window. It goes with the application.
        window = new HelpWindow();
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window.data(),
                         &QObject::deleteLater);
    }
    return window.data();
}

HelpWindow* HelpWindow::usable()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
        return instance();
    }
    // A modal dialog lets the user work only in itself and its own windows: the topic opens in
    // a help window owned by the dialog, so it can be read and browsed while the dialog waits.
    auto* own = modal->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (own == nullptr) {
        own = new HelpWindow(modal);
    }
    return own;
}

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Norvane Desk Help"));

    m_back = DialogButtons::named(QStringLiteral("< &Back"), "backButton", this);
    m_forward = DialogButtons::named(QStringLiteral("&Forward >"), "forwardButton", this);
    QPushButton* contents
        = DialogButtons::named(QStringLiteral("&Contents"), "contentsButton", this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addStretch(1);

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("contentsTree"));
    m_contents->setHeaderHidden(true);
    m_contents->setRootIsDecorated(true);

    auto* searchPage = new QWidget(this);
    m_searchField = new QLineEdit(searchPage);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(QStringLiteral("Words to find"));
    auto* find = new QPushButton(QStringLiteral("&Find"), searchPage);
    find->setObjectName(QStringLiteral("findButton"));
    find->setAutoDefault(false);
    m_results = new QListWidget(searchPage);
    m_results->setObjectName(QStringLiteral("searchResults"));
    m_results->setWordWrap(true);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(m_searchField, 1);
    findRow->addWidget(find);
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->setContentsMargins(0, 4, 0, 0);
    searchLayout->addLayout(findRow);
    searchLayout->addWidget(m_results, 1);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("helpTabs"));
    m_tabs->addTab(m_contents, QStringLiteral("Contents"));
    m_tabs->addTab(searchPage, QStringLiteral("Search"));

    m_browser = new HelpBrowser(this);
    m_browser->setObjectName(QStringLiteral("topicView"));

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({290, 590});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);
    resize(900, 600);

    connect(contents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, this, &HelpWindow::updateButtons);
    connect(m_browser, &QTextBrowser::forwardAvailable, this, &HelpWindow::updateButtons);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(m_contents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString key = item->data(0, keyRole).toString();
        if (!key.isEmpty()) {
            (void)openKey(key);
        }
    });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { Q_EMIT m_contents->itemActivated(item, 0); });
    connect(find, &QPushButton::clicked, this, &HelpWindow::search);
    connect(m_searchField, &QLineEdit::returnPressed, this, &HelpWindow::search);
    connect(m_results, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { (void)openKey(item->data(keyRole).toString()); });
    connect(m_results, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { (void)openKey(item->data(keyRole).toString()); });

    fillContents();
    m_browser->showTopic(QString::fromLatin1(HelpIndex::contentsKey));
    updateButtons();
}

bool HelpWindow::openTopic(std::uint32_t context, const QString& key)
{
    const HelpIndex& index = HelpLibrary::index();
    const HelpTopic* topic = context != 0 ? index.byContext(context) : nullptr;
    if (topic == nullptr && !key.isEmpty()) {
        topic = index.byKey(key.toStdString());
    }
    bringForward();
    if (topic == nullptr) {
        m_browser->showText(HelpLibrary::missingPage(context, key));
        return false;
    }
    m_browser->showTopic(QString::fromStdString(topic->key));
    return true;
}

bool HelpWindow::openKey(const QString& key)
{
    if (key.compare(QLatin1String(HelpIndex::contentsKey.data()), Qt::CaseInsensitive) == 0) {
        showContents();
        return true;
    }
    return openTopic(0, key);
}

void HelpWindow::showContents()
{
    bringForward();
    m_tabs->setCurrentIndex(0);
    m_browser->showTopic(QString::fromLatin1(HelpIndex::contentsKey));
}

void HelpWindow::showSearch(const QString& words)
{
    bringForward();
    m_tabs->setCurrentIndex(1);
    m_searchField->setFocus();
    if (!words.isEmpty()) {
        m_searchField->setText(words);
        search();
    }
}

void HelpWindow::search()
{
    m_results->clear();
    const auto found = HelpLibrary::index().search(m_searchField->text().toStdString());
    for (const HelpTopic* topic : found) {
        auto* item = new QListWidgetItem(QString::fromStdString(topic->title), m_results);
        item->setData(keyRole, QString::fromStdString(topic->key));
    }
    if (found.empty() && !m_searchField->text().trimmed().isEmpty()) {
        auto* item = new QListWidgetItem(QStringLiteral("No topic holds these words."), m_results);
        item->setFlags(Qt::NoItemFlags);
    }
}

QString HelpWindow::currentKey() const
{
    return m_browser->currentKey();
}

QStringList HelpWindow::searchResults() const
{
    QStringList titles;
    for (int i = 0; i < m_results->count(); ++i) {
        if (!m_results->item(i)->data(keyRole).toString().isEmpty()) {
            titles << m_results->item(i)->text();
        }
    }
    return titles;
}

void HelpWindow::followLink(const QUrl& url)
{
    // Topic links are keys; anything else (another scheme) is not followed.
    const QString key = HelpBrowser::keyOf(url);
    if (!key.isEmpty()) {
        (void)openKey(key);
    }
}

void HelpWindow::fillContents()
{
    m_contents->clear();
    QTreeWidgetItem* group = nullptr;
    for (const HelpTopic& topic : HelpLibrary::index().topics()) {
        if (topic.group.empty()) {
            continue;
        }
        const QString groupName = QString::fromStdString(topic.group);
        if (group == nullptr || group->text(0) != groupName) {
            group = new QTreeWidgetItem(m_contents, {groupName});
            group->setFlags(Qt::ItemIsEnabled);
        }
        auto* item = new QTreeWidgetItem(group, {QString::fromStdString(topic.title)});
        item->setData(0, keyRole, QString::fromStdString(topic.key));
    }
    if (m_contents->topLevelItemCount() > 0) {
        m_contents->topLevelItem(0)->setExpanded(true);
    }
}

void HelpWindow::updateButtons()
{
    m_back->setEnabled(m_browser->isBackwardAvailable());
    m_forward->setEnabled(m_browser->isForwardAvailable());
}

void HelpWindow::bringForward()
{
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}
