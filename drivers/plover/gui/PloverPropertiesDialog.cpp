#include "plover/gui/PloverPropertiesDialog.h"

#include "gui/DialogButtons.h"
#include "gui/NumberSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PloverPropertiesDialog::PloverPropertiesDialog(const PloverDialogRecord& record, QWidget* parent)
    : QDialog(parent)
    , m_opened(record)
{
    setWindowTitle(QStringLiteral("SNPP Driver Properties"));

    auto* portLabel = new QLabel(tr("Default Port No."), this);
    m_port = new NumberSpinBox(PloverDialogEntry::lowestPort, PloverDialogEntry::highestPort,
                               static_cast<int>(PloverDialogEntry::maxPortText), this);
    m_port->setObjectName(QStringLiteral("portBox"));
    m_port->setRecordText(record.port);
    portLabel->setBuddy(m_port);

    auto* dialup = new QGroupBox(tr("Dialup Networking"), this);
    auto* profileLabel = new QLabel(tr("Dialup network profile"), dialup);
    m_profiles = new QComboBox(dialup);
    m_profiles->setObjectName(QStringLiteral("profileList"));
    m_profiles->setInsertPolicy(QComboBox::InsertAlphabetically);
    // Never filled: the driver connects over the network as it stands.
    m_profiles->setEnabled(false);
    profileLabel->setBuddy(m_profiles);
    m_disconnect = new QCheckBox(tr("Disconnect after sending messages"), dialup);
    m_disconnect->setObjectName(QStringLiteral("disconnectBox"));
    m_disconnect->setChecked(record.disconOnClose);
    auto* dialupLayout = new QVBoxLayout(dialup);
    dialupLayout->addWidget(profileLabel);
    dialupLayout->addWidget(m_profiles);
    dialupLayout->addWidget(m_disconnect);

    QDialogButtonBox* buttons = DialogButtons::okCancel(this);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(portLabel);
    portRow->addWidget(m_port);
    portRow->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addLayout(portRow, 0, 0);
    grid->addWidget(dialup, 1, 0);
    grid->addWidget(buttons, 0, 1, 2, 1, Qt::AlignTop);
}

PloverDialogRecord PloverPropertiesDialog::record() const
{
    PloverDialogRecord record = m_opened;
    record.port = m_port->recordText();
    record.disconOnClose = m_disconnect->isChecked();
    return record;
}
