#include "stores/gui/SavedMessagesDialog.h"

#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "stores/SavedMessageStore.h"
#include "stores/gui/ScheduleDialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>

namespace {

const QString caption = QStringLiteral("Saved Messages");
// The column's heading: the name followed by blanks that give the column its width.
const QString nameHeading = QStringLiteral("Name") + QString(31, QLatin1Char(' '));

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

QLineEdit* readOnlyField(QWidget* parent, const char* objectName)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(objectName));
    field->setReadOnly(true);
    return field;
}

} // namespace

SavedMessagesDialog::SavedMessagesDialog(SavedMessageStore& store, QWidget* parent,
                                         std::chrono::milliseconds refreshInterval)
    : QDialog(parent)
    , m_store(store)
    , m_form(store)
{
    setWindowTitle(caption);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("messageList"));
    m_list->setColumnCount(1);
    m_list->setHeaderLabels({nameHeading.trimmed()});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setStretchLastSection(true);
    const int columnWidth = QFontMetrics(m_list->font()).horizontalAdvance(nameHeading) + 15;
    m_list->setMinimumWidth(columnWidth + 4);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &SavedMessagesDialog::showSelection);

    auto* content = new QGroupBox(QStringLiteral("Content"), this);
    content->setObjectName(QStringLiteral("contentGroup"));
    m_to = readOnlyField(content, "toField");
    m_message = new QPlainTextEdit(content);
    m_message->setObjectName(QStringLiteral("messageField"));
    m_message->setReadOnly(true);
    m_message->setTabChangesFocus(true);
    m_message->setMinimumHeight(QFontMetrics(font()).lineSpacing() * 4);
    auto* deleteButton = new QPushButton(QStringLiteral("Delete Message"), content);
    deleteButton->setObjectName(QStringLiteral("deleteButton"));
    auto* contentLayout = new QFormLayout(content);
    contentLayout->addRow(QStringLiteral("To:"), m_to);
    contentLayout->addRow(QStringLiteral("Message:"), m_message);
    auto* deleteRow = new QHBoxLayout;
    deleteRow->addStretch();
    deleteRow->addWidget(deleteButton);
    contentLayout->addRow(deleteRow);

    auto* scheduleGroup = new QGroupBox(QStringLiteral("Schedule"), this);
    scheduleGroup->setObjectName(QStringLiteral("scheduleGroup"));
    m_schedule = new QLabel(scheduleGroup);
    m_schedule->setObjectName(QStringLiteral("scheduleText"));
    m_schedule->setWordWrap(true);
    m_schedule->setMinimumHeight(QFontMetrics(font()).lineSpacing() * 2);
    m_schedule->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* change = new QPushButton(QStringLiteral("Change"), scheduleGroup);
    change->setObjectName(QStringLiteral("changeButton"));
    auto* clear = new QPushButton(QStringLiteral("Clear"), scheduleGroup);
    clear->setObjectName(QStringLiteral("clearButton"));
    m_lastSent = readOnlyField(scheduleGroup, "lastSentField");
    m_lastSent->setMinimumWidth(
        QFontMetrics(font()).horizontalAdvance(QStringLiteral("Wed Sep 30 22:49:08 1993")) + 16);
    auto* scheduleButtons = new QHBoxLayout;
    scheduleButtons->addWidget(m_schedule, 1);
    scheduleButtons->addWidget(change, 0, Qt::AlignTop);
    scheduleButtons->addWidget(clear, 0, Qt::AlignTop);
    auto* lastSentRow = new QHBoxLayout;
    lastSentRow->addWidget(new QLabel(QStringLiteral("Last Sent:"), scheduleGroup));
    lastSentRow->addWidget(m_lastSent, 1);
    auto* scheduleLayout = new QVBoxLayout(scheduleGroup);
    scheduleLayout->addLayout(scheduleButtons);
    scheduleLayout->addLayout(lastSentRow);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("helpButton"));
    QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [this] { (void)HelpTopics::open(this, helpContext, QString::fromLatin1(helpKey)); });
    connect(deleteButton, &QPushButton::clicked, this, &SavedMessagesDialog::deleteSelected);
    connect(change, &QPushButton::clicked, this, &SavedMessagesDialog::changeSchedule);
    connect(clear, &QPushButton::clicked, this, &SavedMessagesDialog::clearSchedule);

    auto* details = new QVBoxLayout;
    details->addWidget(content);
    details->addWidget(scheduleGroup);
    auto* upper = new QHBoxLayout;
    upper->addWidget(m_list);
    upper->addLayout(details, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper, 1);
    layout->addWidget(buttons);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("refreshTimer"));
    m_timer->setInterval(refreshInterval);
    connect(m_timer, &QTimer::timeout, this, &SavedMessagesDialog::refreshFromStore);

    fillList();
}

void SavedMessagesDialog::showEvent(QShowEvent* event)
{
    m_timer->start();
    QDialog::showEvent(event);
}

void SavedMessagesDialog::hideEvent(QHideEvent* event)
{
    m_timer->stop();
    QDialog::hideEvent(event);
}

void SavedMessagesDialog::fillList(const std::vector<std::string>& names)
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const std::string& name : m_form.fill()) {
        auto* item = new QTreeWidgetItem(m_list, {text(name)});
        if (std::find(names.begin(), names.end(), name) != names.end())
            item->setSelected(true);
    }
    showSelection();
}

std::vector<int> SavedMessagesDialog::selectedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        if (m_list->topLevelItem(row)->isSelected())
            rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> SavedMessagesDialog::selectedNames() const
{
    std::vector<std::string> names;
    for (const int row : selectedRows()) {
        if (static_cast<std::size_t>(row) < m_form.rows().size())
            names.push_back(m_form.rows()[static_cast<std::size_t>(row)]);
    }
    return names;
}

void SavedMessagesDialog::showSelection()
{
    bool stale = false;
    const SavedMessagesForm::Details details = m_form.details(selectedRows(), &stale);
    m_to->setText(text(details.to));
    m_to->setCursorPosition(0);
    m_message->setPlainText(text(details.message));
    m_schedule->setText(text(details.schedule));
    m_lastSent->setText(text(details.lastSent));
    if (stale && !m_refilling) {
        // The list no longer matches the store: show the store as it is, keeping the
        // selection by name (once: a store that keeps changing is shown at the next look).
        m_refilling = true;
        fillList(selectedNames());
        m_refilling = false;
    }
}

void SavedMessagesDialog::settle(const SavedMessagesForm::Outcome& outcome,
                                 const std::vector<std::string>& keep)
{
    if (outcome.refill)
        fillList(keep);
    if (!outcome.notice.empty()) {
        (void)MessageBox::show(this, QMessageBox::Warning, caption,
                               MessageBox::screenText(outcome.notice));
    }
}

void SavedMessagesDialog::deleteSelected()
{
    const std::vector<int> rows = selectedRows();
    m_list->clearSelection();
    settle(m_form.remove(rows), {});
}

void SavedMessagesDialog::changeSchedule()
{
    const std::vector<int> rows = selectedRows();
    std::string names;
    Schedule schedule;
    SavedMessagesForm::Outcome refused;
    if (!m_form.scheduleTarget(rows, names, schedule, refused)) {
        settle(refused, {});
        return;
    }
    // The list is not filled again while the schedule is chosen: the rows taken above must
    // still name the records they showed when the schedule is written.
    m_timer->stop();
    const bool chosen = ScheduleDialog::run(this, names, schedule);
    m_timer->start();
    if (!chosen)
        return;
    settle(m_form.applySchedule(rows, schedule), selectedNames());
}

void SavedMessagesDialog::clearSchedule()
{
    settle(m_form.clear(selectedRows()), selectedNames());
}

void SavedMessagesDialog::refreshFromStore()
{
    if (m_form.storeChanged(m_store.modificationTime(), std::time(nullptr)))
        showSelection();
}

void SavedMessagesDialog::run(QWidget* parent, SavedMessageStore& store)
{
    SavedMessagesDialog dialog(store, parent);
    (void)dialog.exec();
}
