#include "ui/options/COptionsPropertyPage2.h"

#include "gui/MessageBox.h"
#include "plugin/ControlLoader.h"
#include "sending/CKestrel.h"
#include "sending/CPlover.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <memory>

namespace {

// The item data role that holds the driver's protocol: 0 IXO/TAP, 1 SNPP.
constexpr int protocolRole = Qt::UserRole;

std::unique_ptr<PagingDriver> driverOf(int protocol)
{
    if (protocol == 0) {
        return std::make_unique<CKestrel>();
    }
    return std::make_unique<CPlover>();
}

} // namespace

COptionsPropertyPage2::COptionsPropertyPage2(QWidget* parent)
    : OptionsPage(parent)
{
    setObjectName(QStringLiteral("protocolsPage"));
    m_drivers = new QListWidget;
    m_drivers->setObjectName(QStringLiteral("driverList"));
    m_drivers->setSortingEnabled(true);
    const auto addDriver = [this](const QString& name, int protocol) {
        auto* item = new QListWidgetItem(name, m_drivers);
        item->setData(protocolRole, protocol);
    };
    addDriver(tr("IXO/TAP driver"), 0);
    addDriver(tr("SNPP driver"), 1);
    m_drivers->setCurrentRow(0);
    auto* caption = new QLabel(tr("Installed Protocol Drivers"));
    caption->setBuddy(m_drivers);

    const auto button = [](const QString& text, const char* name) {
        auto* pushButton = new QPushButton(text);
        pushButton->setObjectName(QLatin1String(name));
        return pushButton;
    };
    QPushButton* add = button(tr("Add"), "addDriverButton");
    QPushButton* remove = button(tr("Delete"), "deleteDriverButton");
    // Drivers come with the program; there is nothing to add or remove here.
    add->setEnabled(false);
    remove->setEnabled(false);
    m_properties = button(tr("Properties"), "driverPropertiesButton");
    connect(m_properties, &QPushButton::clicked, this,
            &COptionsPropertyPage2::showDriverProperties);
    connect(m_drivers, &QListWidget::itemActivated, this,
            &COptionsPropertyPage2::showDriverProperties);

    auto* layout = new QGridLayout(this);
    layout->addWidget(caption, 0, 0);
    layout->addWidget(m_drivers, 1, 0, 4, 1);
    layout->addWidget(add, 1, 1);
    layout->addWidget(remove, 2, 1);
    layout->addWidget(m_properties, 3, 1);
    layout->setRowStretch(4, 1);
}

void COptionsPropertyPage2::showDriverProperties()
{
    const QListWidgetItem* item = m_drivers->currentItem();
    if (item == nullptr) {
        return;
    }
    const std::unique_ptr<PagingDriver> driver = driverOf(item->data(protocolRole).toInt());
    ControlLoader loader;
    ControlOptions options;
    options.parentWindow = window();
    // A control shows its windows only to a host that wants to see them.
    options.showProgress = true;
    if (!driver->create(loader, options)) {
        MessageBox::show(this, QMessageBox::Warning, QStringLiteral("Norvane Properties"),
                         tr("The %1 cannot be opened: %2")
                             .arg(item->text(), QString::fromStdString(driver->lastErrorText())));
        return;
    }
    driver->showProperties();
    const std::string failed = driver->lastErrorText();
    driver->destroy();
    if (!failed.empty()) {
        MessageBox::show(this, QMessageBox::Warning, QStringLiteral("Norvane Properties"),
                         tr("The %1 could not show its settings: %2")
                             .arg(item->text(), QString::fromStdString(failed)));
    }
}
