#include "ui/options/COptionsPropertyPage5.h"

#include "gui/NumberSpinBox.h"
#include "services/DeskServices.h"

#include <QAbstractItemDelegate>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

QCheckBox* namedBox(const QString& text, const char* name)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

COptionsPropertyPage5::COptionsPropertyPage5(DeskServices& services, QWidget* parent)
    : OptionsPage(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("serverPage"));
    m_enabled = namedBox(tr("Enable SNPP service"), "enableServiceBox");
    m_port = new NumberSpinBox(0, 65535, static_cast<int>(ServerOptionsForm::maxPortLength));
    m_port->setObjectName(QStringLiteral("portEdit"));
    auto* portLabel = new QLabel(tr("Port:"));
    portLabel->setBuddy(m_port);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(portLabel);
    portRow->addWidget(m_port);
    portRow->addStretch();

    auto* security = new QGroupBox(tr("Security"));
    m_hosts = new QListWidget;
    m_hosts->setObjectName(QStringLiteral("hostList"));
    m_hosts->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_hosts->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_hosts->setToolTip(tr("Insert or + adds a host, Delete removes the selected hosts"));
    m_hosts->installEventFilter(this);
    auto* hostsLabel = new QLabel(tr("Allow Hosts"));
    hostsLabel->setBuddy(m_hosts);
    m_fromAdbOnly = namedBox(tr("Allow recipients from address book only"), "fromAdbOnlyBox");
    m_level2Login
        = namedBox(tr("Accept LOGI and LEVE (for clients that log in first)"), "level2LoginBox");
    auto* securityLayout = new QVBoxLayout(security);
    securityLayout->addWidget(hostsLabel);
    securityLayout->addWidget(m_hosts);
    securityLayout->addWidget(m_fromAdbOnly);
    securityLayout->addWidget(m_level2Login);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("gatewayStatusLabel"));
    m_status->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    layout->addLayout(portRow);
    layout->addWidget(security, 1);
    layout->addWidget(m_status);

    connect(m_enabled, &QCheckBox::clicked, this, &COptionsPropertyPage5::switchClicked);
    connect(m_port->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
            &COptionsPropertyPage5::markModified);
    connect(m_fromAdbOnly, &QCheckBox::clicked, this, &COptionsPropertyPage5::markModified);
    connect(m_level2Login, &QCheckBox::clicked, this, &COptionsPropertyPage5::markModified);
    // The edit of a label ends here whether it was committed or abandoned.
    connect(m_hosts->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            &COptionsPropertyPage5::finishEdit);
    m_poll.setInterval(statusPollMs);
    connect(&m_poll, &QTimer::timeout, this, &COptionsPropertyPage5::pollStatus);
}

void COptionsPropertyPage5::loadValues()
{
    m_form = ServerOptionsForm::load();
    m_switchClicked = false;
    m_enabled->setChecked(m_form.enabled);
    m_port->setRecordText(m_form.port);
    m_fromAdbOnly->setChecked(m_form.fromAdbOnly);
    m_level2Login->setChecked(m_form.level2Login);
    showHosts();
    showEnabling();
    m_status->setText(
        QString::fromStdString(ServerOptionsForm::statusText(m_services.gatewayStatus())));
}

void COptionsPropertyPage5::applyValues()
{
    m_form.enabled = m_enabled->isChecked();
    m_form.port = m_port->recordText();
    m_form.fromAdbOnly = m_fromAdbOnly->isChecked();
    m_form.level2Login = m_level2Login->isChecked();
    reportIfNotStored(m_form.apply());
    if (!isModified()) {
        return; // nothing new for the gateway to read
    }
    // The gateway reads the new settings now, so that the line below tells what they led to.
    m_serialBefore = m_services.gatewayStatus().serial;
    if (!m_services.restartGateway()) {
        m_status->setText(tr("The gateway thread could not be started: %1")
                              .arg(QString::fromStdString(m_services.lastErrorText())));
        return;
    }
    m_status->setText(tr("The gateway is reading the new settings..."));
    m_polled = 0;
    m_poll.start();
}

void COptionsPropertyPage5::pollStatus()
{
    const GatewayStatus status = m_services.gatewayStatus();
    if (status.serial != m_serialBefore && status.outcome != GatewayOutcome::None) {
        m_poll.stop();
        m_status->setText(QString::fromStdString(ServerOptionsForm::statusText(status)));
        return;
    }
    if (++m_polled * statusPollMs >= statusWaitMs) {
        m_poll.stop();
        m_status->setText(tr("The gateway has not answered yet; it may still be starting."));
    }
}

void COptionsPropertyPage5::switchClicked()
{
    m_switchClicked = true;
    m_form.enabled = m_enabled->isChecked();
    showEnabling();
    markModified();
}

void COptionsPropertyPage5::showEnabling()
{
    m_form.enabled = m_enabled->isChecked();
    const ServerOptionsForm::Enabling rules = m_form.enabling(m_switchClicked);
    m_port->setEnabled(rules.port);
    m_hosts->setEnabled(rules.hosts);
    m_fromAdbOnly->setEnabled(rules.security);
    m_level2Login->setEnabled(rules.security);
}

void COptionsPropertyPage5::showHosts()
{
    m_hosts->clear();
    for (const std::string& host : m_form.hosts()) {
        auto* item = new QListWidgetItem(QString::fromLocal8Bit(host), m_hosts);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

void COptionsPropertyPage5::appendHost()
{
    const auto row = static_cast<int>(m_form.appendHost());
    showHosts();
    QListWidgetItem* item = m_hosts->item(row);
    m_hosts->setCurrentItem(item);
    m_hosts->editItem(item);
    markModified();
}

void COptionsPropertyPage5::removeSelectedHosts()
{
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : m_hosts->selectedItems()) {
        rows.push_back(static_cast<std::size_t>(m_hosts->row(item)));
    }
    if (rows.empty()) {
        return;
    }
    m_form.removeHosts(std::move(rows));
    showHosts();
    markModified();
}

void COptionsPropertyPage5::finishEdit()
{
    // The view has committed (or abandoned) the label and let go of its editor: the row is
    // changed in place, so that a key pressed right after the edit finds the list as it shows.
    const int row = m_hosts->currentRow();
    QListWidgetItem* item = m_hosts->currentItem();
    if (row < 0 || item == nullptr || static_cast<std::size_t>(row) >= m_form.hosts().size()) {
        return;
    }
    const std::string label = item->text().toLocal8Bit().toStdString();
    if (!label.empty() && m_form.hosts()[static_cast<std::size_t>(row)] == label) {
        return;
    }
    (void)m_form.finishEdit(static_cast<std::size_t>(row), label);
    if (m_form.hosts().size() < static_cast<std::size_t>(m_hosts->count())) {
        delete m_hosts->takeItem(row);
    } else {
        item->setText(QString::fromLocal8Bit(m_form.hosts()[static_cast<std::size_t>(row)]));
    }
    markModified();
}

bool COptionsPropertyPage5::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_hosts && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool keypadPlus
            = key->key() == Qt::Key_Plus && key->modifiers().testFlag(Qt::KeypadModifier);
        if (key->key() == Qt::Key_Insert || keypadPlus) {
            appendHost();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            removeSelectedHosts();
            return true;
        }
    }
    return OptionsPage::eventFilter(watched, event);
}
