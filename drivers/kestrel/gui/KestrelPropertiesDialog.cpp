#include "kestrel/gui/KestrelPropertiesDialog.h"

#include "gui/DialogButtons.h"
#include "gui/HelpTopics.h"
#include "gui/NumberSpinBox.h"
#include "kestrel/gui/DeviceMarkArt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int markRole = Qt::UserRole;
constexpr int deviceRole = Qt::UserRole + 1;
// The arrows' range: the toolkit's default for a spin box, none being given.
constexpr int arrowMinimum = 0;
constexpr int arrowMaximum = 99;

NumberSpinBox* numberBox(const std::string& text, const QString& name, QWidget* parent)
{
    auto* box = new NumberSpinBox(arrowMinimum, arrowMaximum,
                                  static_cast<int>(KestrelDialogEntry::maxBoxText), parent);
    box->setObjectName(name);
    box->setRecordText(text);
    return box;
}

// A label and its box on one row of a group's grid.
void addBoxRow(QGridLayout* grid, int row, const QString& text, NumberSpinBox* box)
{
    auto* label = new QLabel(text);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
}

} // namespace

QString KestrelPropertiesDialog::columnHeader()
{
    return QStringLiteral("Name") + QString(58, QLatin1Char(' '));
}

KestrelPropertiesDialog::KestrelPropertiesDialog(const KestrelDialogRecord& record, QWidget* parent)
    : QDialog(parent)
    , m_opened(record)
{
    setWindowTitle(QStringLiteral("Kestrel ActiveX Properties"));

    auto* devicesLabel = new QLabel(tr("Available Data Modems"), this);
    m_devices = new QTreeWidget(this);
    m_devices->setObjectName(QStringLiteral("deviceList"));
    m_devices->setColumnCount(1);
    m_devices->setHeaderLabels({columnHeader()});
    m_devices->setRootIsDecorated(false);
    m_devices->setSelectionMode(QAbstractItemView::SingleSelection);
    m_devices->setIconSize(QSize(14, 14));
    m_devices->setColumnWidth(
        0, m_devices->header()->fontMetrics().horizontalAdvance(columnHeader()) + 15);
    m_devices->installEventFilter(this);
    devicesLabel->setBuddy(m_devices);
    connect(m_devices, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem*, int) { toggleFirstSelected(); });
    fillDevices();

    m_prompt = numberBox(record.promptTimeout, QStringLiteral("promptBox"), this);
    m_read = numberBox(record.readTimeout, QStringLiteral("readBox"), this);
    m_resends = numberBox(record.resends, QStringLiteral("resendsBox"), this);
    m_transChars = new QCheckBox(tr("Support control characters"), this);
    m_transChars->setObjectName(QStringLiteral("transCharsBox"));
    m_transChars->setChecked(record.transChars);

    auto* timeout = new QGroupBox(tr("Timeout"), this);
    auto* timeoutGrid = new QGridLayout(timeout);
    addBoxRow(timeoutGrid, 0, tr("Prompt"), m_prompt);
    addBoxRow(timeoutGrid, 1, tr("Read"), m_read);
    auto* protocol = new QGroupBox(tr("Protocol"), this);
    auto* protocolGrid = new QGridLayout(protocol);
    addBoxRow(protocolGrid, 0, tr("Resends"), m_resends);
    protocolGrid->addWidget(m_transChars, 1, 0, 1, 2);

    QDialogButtonBox* buttons = DialogButtons::okCancel(this);
    QPushButton* help = buttons->addButton(tr("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("helpButton"));
    connect(help, &QPushButton::clicked, this, [this] {
        (void)HelpTopics::open(this, helpContext, QStringLiteral("HIDD_KESTREL_PROPERTIES"));
    });

    auto* grid = new QGridLayout(this);
    grid->addWidget(devicesLabel, 0, 0, 1, 2);
    grid->addWidget(m_devices, 1, 0, 1, 2);
    grid->addWidget(buttons, 1, 2, Qt::AlignTop);
    grid->addWidget(timeout, 2, 0);
    grid->addWidget(protocol, 2, 1, 1, 2);
}

void KestrelPropertiesDialog::fillDevices()
{
    for (const KestrelDeviceRow& row : m_opened.rows) {
        auto* item = new QTreeWidgetItem(
            m_devices,
            {QString::fromLocal8Bit(row.name.data(), static_cast<qsizetype>(row.name.size()))});
        item->setData(0, markRole, static_cast<int>(row.mark));
        item->setData(0, deviceRole, row.device);
        item->setIcon(0, QIcon(DeviceMarkArt::picture(row.mark)));
    }
}

void KestrelPropertiesDialog::toggleFirstSelected()
{
    const QList<QTreeWidgetItem*> selected = m_devices->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    QTreeWidgetItem* item = selected.front();
    const auto mark = static_cast<DeviceMark>(item->data(0, markRole).toInt());
    if (mark == DeviceMark::Unavailable) {
        return;
    }
    const DeviceMark toggled
        = mark == DeviceMark::Selected ? DeviceMark::NotSelected : DeviceMark::Selected;
    item->setData(0, markRole, static_cast<int>(toggled));
    item->setIcon(0, QIcon(DeviceMarkArt::picture(toggled)));
}

bool KestrelPropertiesDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The space bar toggles too, so the list works without a mouse.
    if (watched == m_devices && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        toggleFirstSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

KestrelDialogRecord KestrelPropertiesDialog::record() const
{
    KestrelDialogRecord record = m_opened;
    for (int i = 0; i < m_devices->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_devices->topLevelItem(i);
        auto& row = record.rows[static_cast<std::size_t>(i)];
        row.mark = static_cast<DeviceMark>(item->data(0, markRole).toInt());
    }
    record.promptTimeout = m_prompt->recordText();
    record.readTimeout = m_read->recordText();
    record.resends = m_resends->recordText();
    record.transChars = m_transChars->isChecked();
    return record;
}
