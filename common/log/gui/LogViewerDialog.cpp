#include "log/gui/LogViewerDialog.h"

#include "gui/DialogButtons.h"
#include "gui/GuiThread.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "log/LogFile.h"
#include "log/LogLevel.h"
#include "log/gui/LogTableModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

// The item opened on: "Information", levels 1 to 5.
constexpr int informationItem = 4;

} // namespace

LogViewerDialog::LogViewerDialog(QWidget* parent)
    : QDialog(parent)
    , m_link(std::make_shared<Link>(Link {this}))
{
    setWindowTitle(QStringLiteral("View Log"));
    setObjectName(QStringLiteral("logViewerDialog"));
    buildLayout();
    startLoad();
}

LogViewerDialog::~LogViewerDialog()
{
    // Calls the worker queued and calls still to come find no dialog.
    m_link->dialog = nullptr;
    m_worker.request_stop();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void LogViewerDialog::buildLayout()
{
    m_level = new QComboBox;
    m_level->setObjectName(QStringLiteral("levelCombo"));
    for (std::string_view name : LogLevel::viewerNames) {
        m_level->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    m_level->setCurrentIndex(informationItem);
    auto* levelLabel = new QLabel(QStringLiteral("Level:"));
    levelLabel->setBuddy(m_level);

    m_filter = new QLineEdit;
    m_filter->setObjectName(QStringLiteral("filterEdit"));
    m_filter->setPlaceholderText(QStringLiteral("Text in origin or message"));
    m_filter->setClearButtonEnabled(true);
    auto* filterLabel = new QLabel(QStringLiteral("&Filter:"));
    filterLabel->setBuddy(m_filter);

    auto* top = new QHBoxLayout;
    top->addWidget(levelLabel);
    top->addWidget(m_level);
    top->addSpacing(12);
    top->addWidget(filterLabel);
    top->addWidget(m_filter, 1);

    m_model = new LogTableModel(this);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("logTable"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setShowGrid(false);
    m_table->setWordWrap(false);
    m_table->setAlternatingRowColors(true);
    m_table->setTextElideMode(Qt::ElideRight);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Every row is one line high: the view never measures a million rows.
    QHeaderView* rows = m_table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    QHeaderView* columns = m_table->horizontalHeader();
    columns->setStretchLastSection(true);
    columns->setHighlightSections(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Each column as wide as its header or its usual content, plus 15 pixels.
    const QFontMetrics metrics = m_table->fontMetrics();
    const auto width = [&metrics](const char* header, const char* sample) {
        return std::max(metrics.horizontalAdvance(QLatin1String(header)),
                        metrics.horizontalAdvance(QLatin1String(sample)))
            + 15;
    };
    columns->resizeSection(LogTableModel::LevelColumn, width("Level", "Security"));
    columns->resizeSection(LogTableModel::TimeColumn, width("Time", "00:00 00/00/0000"));
    columns->resizeSection(LogTableModel::OriginColumn, width("Origin", "SNPP(255.255.255.255)"));

    auto* copy = new QAction(QStringLiteral("&Copy"), m_table);
    copy->setObjectName(QStringLiteral("copyAction"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    auto* selectAll = new QAction(QStringLiteral("Select &All"), m_table);
    selectAll->setObjectName(QStringLiteral("selectAllAction"));
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    m_table->addAction(copy);
    m_table->addAction(selectAll);
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("statusLabel"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 100);
    m_progress->setMaximumWidth(200);
    m_progress->hide();
    auto* status = new QHBoxLayout;
    status->addWidget(m_status, 1);
    status->addWidget(m_progress);

    QPushButton* purge = DialogButtons::named(QStringLiteral("&Purge"), "purgeButton");
    m_refresh = DialogButtons::named(QStringLiteral("&Refresh"), "refreshButton");
    m_refresh->setDefault(true);
    QPushButton* help = DialogButtons::named(QStringLiteral("&Help"), "helpButton");
    QPushButton* close = DialogButtons::named(QStringLiteral("&Close"), "closeButton");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(purge);
    buttons->addStretch(1);
    buttons->addWidget(m_refresh);
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    layout->addLayout(status);
    layout->addLayout(buttons);
    resize(820, 460);

    setTabOrder(m_level, m_filter);
    setTabOrder(m_filter, m_table);
    setTabOrder(m_table, purge);
    setTabOrder(purge, m_refresh);
    setTabOrder(m_refresh, help);
    setTabOrder(help, close);

    connect(purge, &QPushButton::clicked, this, &LogViewerDialog::purge);
    connect(m_refresh, &QPushButton::clicked, this, &LogViewerDialog::refresh);
    connect(help, &QPushButton::clicked, this,
            [this] { (void)HelpTopics::open(this, helpContext, QString::fromLatin1(helpKey)); });
    connect(close, &QPushButton::clicked, this, &LogViewerDialog::reject);
    connect(m_level, &QComboBox::currentIndexChanged, this, &LogViewerDialog::refresh);
    connect(m_filter, &QLineEdit::textChanged, this, &LogViewerDialog::filterChanged);
    connect(copy, &QAction::triggered, this, &LogViewerDialog::copySelection);
    connect(selectAll, &QAction::triggered, m_table, &QTableView::selectAll);
}

int LogViewerDialog::highestLevel() const
{
    return m_level->currentIndex() + 1;
}

void LogViewerDialog::refresh()
{
    startLoad();
}

void LogViewerDialog::startLoad()
{
    if (m_loading) {
        // One reading at a time: the one under way is stopped and a new one follows it.
        m_loadAgain = true;
        m_worker.request_stop();
        return;
    }
    if (m_worker.joinable()) {
        m_worker.join(); // it has handed over its result already
    }
    m_loading = true;
    const std::uint64_t generation = ++m_generation;
    const LogFile log; // the settings locate the file
    std::string path = log.path();
    std::string filter = m_filter->text().toStdString();
    const int highest = highestLevel();
    std::shared_ptr<LogIndex> spare = std::move(m_spare);
    if (!spare) {
        spare = std::make_shared<LogIndex>();
    }
    // The worker reaches the dialog only through queued calls that check it is still there.
    std::shared_ptr<Link> link = m_link;
    m_worker = std::jthread([link = std::move(link), generation, path = std::move(path),
                             filter = std::move(filter), highest,
                             index = std::move(spare)](std::stop_token stop) mutable {
        int shown = -1;
        const auto progress = [&](std::uint64_t done, std::uint64_t total) {
            const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
            if (total < progressThreshold || percent == shown) {
                return;
            }
            shown = percent;
            GuiThread::post([link, generation, done, total] {
                if (link->dialog != nullptr) {
                    link->dialog->showProgress(generation, done, total);
                }
            });
        };
        std::vector<std::uint32_t> rows;
        if (index->load(path, stop, progress)) {
            rows = index->select(highest, filter);
        }
        GuiThread::post(
            [link, generation, index = std::move(index), rows = std::move(rows)]() mutable {
                if (link->dialog != nullptr) {
                    link->dialog->loaded(generation, std::move(index), std::move(rows));
                }
            });
    });
}

void LogViewerDialog::showProgress(std::uint64_t generation, std::uint64_t done,
                                   std::uint64_t total)
{
    if (generation != m_generation || !m_loading) {
        return;
    }
    m_progress->setValue(static_cast<int>(done * 100 / total));
    m_progress->show();
    m_status->setText(QStringLiteral("Reading the log file..."));
}

void LogViewerDialog::loaded(std::uint64_t generation, std::shared_ptr<LogIndex> index,
                             std::vector<std::uint32_t> rows)
{
    m_loading = false;
    m_progress->hide();
    if (m_loadAgain || generation != m_generation) {
        // Stopped for a newer reading, or purged meanwhile: nothing to show, memory to reuse.
        keepSpare(std::move(index));
        if (std::exchange(m_loadAgain, false)) {
            startLoad();
        }
        return;
    }
    m_problem.clear();
    if (m_filterChangedWhileLoading) {
        m_filterChangedWhileLoading = false;
        rows = index->select(highestLevel(), m_filter->text().toStdString());
    }
    switch (index->lastError()) {
    case LogIndexError::None: {
        std::shared_ptr<LogIndex> previous = std::exchange(m_shown, index);
        if (!index->complete()) {
            m_problem = QStringLiteral("The listing stops at line %1 of %2: it is not a log entry.")
                            .arg(index->stopLine())
                            .arg(QString::fromStdString(index->path()));
        }
        showRows(std::move(index), std::move(rows));
        keepSpare(std::move(previous));
        break;
    }
    case LogIndexError::NotFound: // a missing log is an empty one
        m_model->clear();
        m_shown.reset();
        break;
    default:
        m_problem = QString::fromStdString(index->lastErrorText());
        m_model->clear();
        m_shown.reset();
        keepSpare(std::move(index));
        break;
    }
    showStatus();
    Q_EMIT filled();
}

void LogViewerDialog::keepSpare(std::shared_ptr<LogIndex> index)
{
    // Only an index that nothing shows any longer may be filled again.
    if (!m_spare && index && index.use_count() == 1) {
        m_spare = std::move(index);
    }
}

void LogViewerDialog::showRows(std::shared_ptr<const LogIndex> index,
                               std::vector<std::uint32_t> rows)
{
    const std::shared_ptr<const LogIndex> old = m_model->logIndex();
    QItemSelectionModel* selection = m_table->selectionModel();
    // What the user was looking at, by the entries' keys (their places in the file).
    std::vector<std::uint64_t> selected;
    for (const QItemSelectionRange& range : selection->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            selected.push_back(m_model->keyOf(row));
        }
    }
    const QModelIndex current = selection->currentIndex();
    const std::uint64_t currentKey = current.isValid() ? m_model->keyOf(current.row()) : 0;
    const int topRow = m_table->rowAt(0);
    const std::uint64_t topKey = topRow > 0 ? m_model->keyOf(topRow) : 0;
    const int horizontal = m_table->horizontalScrollBar()->value();
    // Keys mean the same entries only in the same file, grown or not.
    const bool same = old && old->sameFile(*index);

    m_model->setRows(std::move(index), std::move(rows));
    if (!same) {
        return;
    }
    std::vector<int> found;
    found.reserve(selected.size());
    for (std::uint64_t key : selected) {
        const int row = m_model->rowOfKey(key);
        if (row >= 0) {
            found.push_back(row);
        }
    }
    std::sort(found.begin(), found.end());
    QItemSelection restored;
    for (std::size_t i = 0; i < found.size();) {
        std::size_t j = i;
        while (j + 1 < found.size() && found[j + 1] == found[j] + 1) {
            ++j;
        }
        restored.select(m_model->index(found[i], 0),
                        m_model->index(found[j], LogTableModel::ColumnCount - 1));
        i = j + 1;
    }
    selection->select(restored, QItemSelectionModel::ClearAndSelect);
    if (current.isValid()) {
        const int row = m_model->rowOfKey(currentKey);
        if (row >= 0) {
            selection->setCurrentIndex(m_model->index(row, current.column()),
                                       QItemSelectionModel::NoUpdate);
        }
    }
    // At the top the user sees the newest entries, new ones included; further down the same
    // entry stays at the top.
    if (topRow > 0) {
        const int row = m_model->rowOfKey(topKey);
        if (row >= 0) {
            m_table->scrollTo(m_model->index(row, 0), QAbstractItemView::PositionAtTop);
        }
    } else {
        m_table->scrollToTop();
    }
    m_table->horizontalScrollBar()->setValue(horizontal);
}

void LogViewerDialog::filterChanged()
{
    const std::shared_ptr<const LogIndex> index = m_model->logIndex();
    if (m_loading) {
        m_filterChangedWhileLoading = true; // applied when the filling is shown
        return;
    }
    if (!index) {
        return;
    }
    showRows(index, index->select(highestLevel(), m_filter->text().toStdString()));
    showStatus();
}

void LogViewerDialog::showStatus()
{
    const QLocale locale;
    QString text = m_model->rowCount() == 1
        ? QStringLiteral("1 entry")
        : QStringLiteral("%1 entries").arg(locale.toString(m_model->rowCount()));
    if (!m_problem.isEmpty()) {
        text += QStringLiteral(". ") + m_problem;
    }
    m_status->setText(text);
}

void LogViewerDialog::purge()
{
    LogFile log;
    log.removeFile();
    // A filling under way read the file that is gone: its result is dropped.
    ++m_generation;
    if (m_loading) {
        m_worker.request_stop();
    }
    m_problem.clear();
    m_model->clear();
    m_shown.reset();
    m_spare.reset();
    showStatus();
    MessageBox::show(this, QMessageBox::Information, QStringLiteral("Purge Message Log"),
                     QStringLiteral("All logged messaged deleted."));
    log.close();
}

void LogViewerDialog::copySelection()
{
    std::vector<int> rows;
    for (const QItemSelectionRange& range : m_table->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(row);
        }
    }
    if (rows.empty()) {
        return;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QApplication::clipboard()->setText(m_model->rowsText(rows));
}
