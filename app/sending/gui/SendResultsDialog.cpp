#include "sending/gui/SendResultsDialog.h"

#include "gui/HelpTopics.h"
#include "gui/QtStrings.h"
#include "sending/gui/SendingIcons.h"
#include "text/StringTable.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace { } // namespace

SendResultsDialog::SendResultsDialog(const std::vector<ResultRow>& rows, QWidget* parent)
    : QDialog(parent)
    , m_rows(rows)
{
    setObjectName(QStringLiteral("sendResultsDialog"));
    setWindowTitle(QStringLiteral("Send Results"));

    auto* caption = new QLabel(QStringLiteral("Transmission results:"), this);
    caption->setObjectName(QStringLiteral("captionLabel"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("resultsList"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Recipient"), QStringLiteral("Result")});
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setIconSize(QSize(14, 13));
    m_list->header()->setSectionsMovable(false);
    m_list->header()->setStretchLastSection(true);
    caption->setBuddy(m_list);
    for (const ResultRow& row : m_rows) {
        auto* item = new QTreeWidgetItem(m_list, {fromStd(row.recipient), fromStd(row.text)});
        item->setIcon(0, SendingIcons::statusIcon(row.status));
        item->setToolTip(1, item->text(1));
    }
    fitColumns();
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem*, int) { openSelectedRowHelp(); });

    auto* tip = new QLabel(QStringLiteral("Tips: Double click on an item above for details"), this);
    tip->setObjectName(QStringLiteral("tipLabel"));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QDialogButtonBox(Qt::Horizontal, this);
    buttons->setCenterButtons(true);
    QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    QPushButton* help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("helpButton"));
    help->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &SendResultsDialog::openHelp);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    layout->addWidget(tip);
    layout->addSpacing(2);
    layout->addWidget(line);
    layout->addWidget(buttons);

    if (!m_rows.empty()) {
        m_list->setCurrentItem(m_list->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
    }
    close->setFocus();
    // Wide enough to show every result without scrolling where the screen allows it.
    const int charWidth = fontMetrics().averageCharWidth();
    const int listFrame
        = m_list->frameWidth() * 2 + m_list->verticalScrollBar()->sizeHint().width();
    const int wanted = m_list->columnWidth(0) + m_list->columnWidth(1) + listFrame
        + layout->contentsMargins().left() + layout->contentsMargins().right();
    int width = std::max({sizeHint().width(), charWidth * 64, wanted});
    if (const QScreen* shown = screen()) {
        width = std::min(width, shown->availableGeometry().width() * 4 / 5);
    }
    resize(width, sizeHint().height());
    setMinimumSize(charWidth * 40, minimumSizeHint().height());
}

void SendResultsDialog::fitColumns()
{
    // The recipient column fits its widest entry (but no less than its header with some room
    // and no more than half a wide list); the result column takes the rest.
    const QFontMetrics metrics = m_list->fontMetrics();
    int recipientWidth = metrics.horizontalAdvance(QStringLiteral("Recipient")) * 2;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        const int width
            = metrics.horizontalAdvance(item->text(0)) + m_list->iconSize().width() + 24;
        recipientWidth = std::max(recipientWidth, width);
    }
    m_list->setColumnWidth(0, std::min(recipientWidth, metrics.averageCharWidth() * 36));
    m_list->resizeColumnToContents(1);
}

void SendResultsDialog::openSelectedRowHelp()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int index = m_list->indexOfTopLevelItem(selected.front());
    if (index < 0 || static_cast<std::size_t>(index) >= m_rows.size()) {
        return;
    }
    // Address errors carry 0x30000 plus their message id; driver outcomes carry 0.
    const auto context
        = static_cast<std::uint32_t>(m_rows[static_cast<std::size_t>(index)].helpCode);
    // The key of a message's topic goes along, so the topic can be found by either.
    QString key;
    if ((context & 0xFFFF0000U) == 0x30000U) {
        const std::string_view found = StringTable::helpKey(static_cast<int>(context & 0xFFFFU));
        key = QString::fromLatin1(found.data(), static_cast<qsizetype>(found.size()));
    }
    (void)HelpTopics::open(this, context, key);
}

void SendResultsDialog::openHelp()
{
    (void)HelpTopics::open(this, helpContext, QString::fromLatin1(helpKey));
}
