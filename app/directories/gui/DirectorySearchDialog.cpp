#include "directories/gui/DirectorySearchDialog.h"

#include "directories/DirectorySettings.h"
#include "directories/gui/DirectorySearchJob.h"
#include "gui/DialogButtons.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "gui/QtStrings.h"
#include "settings/SettingsKey.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

QString DirectorySearchDialog::run(QWidget* parent)
{
    DirectorySearchDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.recipients();
}

DirectorySearchDialog::DirectorySearchDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Directory Search"));
    setObjectName(QStringLiteral("directorySearchDialog"));

    m_services = new QComboBox;
    m_services->setObjectName(QStringLiteral("serviceList"));
    for (const std::string& name : DirectorySearchForm::serviceNames())
        m_services->addItem(fromStd(name));
    m_services->setCurrentIndex(m_services->count() > 0 ? 0 : -1);
    m_name = new QLineEdit;
    m_name->setObjectName(QStringLiteral("nameEdit"));
    m_name->setMaxLength(static_cast<int>(LdapService::maxText));

    m_find = DialogButtons::named(tr("Find Now"), "findButton");
    m_find->setDefault(true);
    m_stop = DialogButtons::named(tr("Stop"), "stopButton");
    m_stop->setEnabled(false);
    auto* close = DialogButtons::named(tr("Close"), "closeButton");
    auto* help = DialogButtons::named(tr("&Help"), "helpButton");
    m_add = DialogButtons::named(tr("Add To Recipients"), "addButton");

    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("resultList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({tr("Name"), tr("Email"), tr("Pager Address")});
    const QFontMetrics metrics = m_list->fontMetrics();
    // Each column is as wide as its header with room for typical entries, plus 15 pixels.
    const QString room(24, QLatin1Char(' '));
    for (int column = 0; column < 3; ++column) {
        const QString header = m_list->headerItem()->text(column);
        m_list->setColumnWidth(column, metrics.horizontalAdvance(header + room) + 15);
    }

    auto* serviceLabel = new QLabel(tr("Directory Service"));
    serviceLabel->setBuddy(m_services);
    auto* nameLabel = new QLabel(tr("Name"));
    nameLabel->setBuddy(m_name);
    auto* fields = new QGridLayout;
    fields->addWidget(serviceLabel, 0, 0);
    fields->addWidget(m_services, 0, 1);
    fields->addWidget(nameLabel, 1, 0);
    fields->addWidget(m_name, 1, 1);
    fields->setColumnStretch(1, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(m_list, 1);
    auto* addRow = new QHBoxLayout;
    addRow->addStretch();
    addRow->addWidget(m_add);
    left->addLayout(addRow);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_find);
    buttons->addWidget(m_stop);
    buttons->addWidget(close);
    buttons->addWidget(help);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(700, 380)));
    QWidget* const order[] = {m_services, m_name, m_find, m_stop, m_list, m_add, close, help};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    m_name->setFocus();

    connect(m_find, &QPushButton::clicked, this, &DirectorySearchDialog::findNow);
    connect(m_stop, &QPushButton::clicked, this, &DirectorySearchDialog::stopSearch);
    connect(close, &QPushButton::clicked, this, &DirectorySearchDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [this] { (void)HelpTopics::open(this, helpContext, QString::fromLatin1(helpKey)); });
    connect(m_add, &QPushButton::clicked, this, &DirectorySearchDialog::addToRecipients);
}

DirectorySearchDialog::~DirectorySearchDialog() = default;

QString DirectorySearchDialog::recipients() const
{
    return fromStd(m_form.recipients());
}

bool DirectorySearchDialog::searching() const
{
    return m_stop->isEnabled();
}

void DirectorySearchDialog::showMessage(const DirectoryMessage& message)
{
    MessageBox::show(this, QMessageBox::Critical, fromStd(message.title),
                     MessageBox::screenText(message.text));
}

void DirectorySearchDialog::setSearching(bool on)
{
    m_find->setEnabled(!on);
    m_stop->setEnabled(on);
    m_add->setEnabled(!on);
    m_services->setEnabled(!on);
    // Enter stops a running search rather than starting another.
    m_stop->setDefault(on);
    m_find->setDefault(!on);
    if (on)
        m_stop->setFocus();
    else
        m_name->setFocus();
}

void DirectorySearchDialog::findNow()
{
    if (searching())
        return;
    DirectoryMessage message;
    const std::optional<LdapService> service
        = DirectorySearchForm::readService(m_services->currentText().toStdString(), message);
    if (!service) {
        showMessage(message);
        return;
    }
    m_form.setRows({});
    m_list->clear();
    const SettingsKey waits(RootKey::CurrentUser, DirectorySettings::LdapSearch::key);
    const auto bindWait
        = std::chrono::milliseconds(waits.read(DirectorySettings::LdapSearch::bindWait));
    const auto searchLimit
        = std::chrono::milliseconds(waits.read(DirectorySettings::LdapSearch::searchLimit));
    // The finished run of the last press is joined here (its thread has ended).
    m_job = std::make_unique<DirectorySearchJob>(
        *service, m_name->text().toStdString(), bindWait, searchLimit, [this] { askKeepWaiting(); },
        [this] { searchFinished(); });
    setSearching(true);
    m_job->start();
}

void DirectorySearchDialog::stopSearch()
{
    if (m_job && searching())
        m_job->stop();
}

void DirectorySearchDialog::askKeepWaiting()
{
    const DirectoryMessage question = DirectorySearchForm::bindQuestion();
    const QMessageBox::StandardButton answer
        = MessageBox::show(this, QMessageBox::Critical, fromStd(question.title),
                           fromStd(question.text), QMessageBox::Yes | QMessageBox::No);
    if (m_job)
        m_job->answer(answer == QMessageBox::Yes);
}

void DirectorySearchDialog::searchFinished()
{
    setSearching(false);
    const DirectorySearchJob::Outcome& outcome = m_job->outcome();
    if (outcome.found) {
        m_form.setRows(outcome.rows);
        showRows();
        return;
    }
    if (outcome.gaveUp)
        return;
    if (const std::optional<DirectoryMessage> message
        = DirectorySearchForm::failureMessage(outcome.error, outcome.errorText))
        showMessage(*message);
}

void DirectorySearchDialog::showRows()
{
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(m_form.rows().size()));
    for (const DirectoryRow& row : m_form.rows())
        items.append(
            new QTreeWidgetItem({fromStd(row.name), fromStd(row.mail), fromStd(row.pager)}));
    m_list->addTopLevelItems(items);
}

void DirectorySearchDialog::addToRecipients()
{
    std::vector<std::size_t> selected;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (item->isSelected()) {
            selected.push_back(static_cast<std::size_t>(row));
            item->setSelected(false);
        }
    }
    if (const std::optional<DirectoryMessage> message = m_form.addToRecipients(selected)) {
        showMessage(*message);
        return;
    }
    accept();
}

void DirectorySearchDialog::reject()
{
    if (m_job) {
        m_job->stop();
        m_job.reset();
    }
    QDialog::reject();
}
