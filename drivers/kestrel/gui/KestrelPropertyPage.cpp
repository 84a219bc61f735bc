#include "kestrel/gui/KestrelPropertyPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

KestrelPropertyPage::KestrelPropertyPage(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("General"));
    auto* label = new QLabel(tr("Available Data Modems"), this);
    auto* devices = new QTreeWidget(this);
    devices->setObjectName(QStringLiteral("deviceList"));
    devices->setRootIsDecorated(false);
    devices->setHeaderHidden(true);
    label->setBuddy(devices);
    auto* transparent = new QCheckBox(tr("Support transparent control characters"), this);
    transparent->setObjectName(QStringLiteral("transparentBox"));
    auto* debug = new QCheckBox(tr("Log debug messages"), this);
    debug->setObjectName(QStringLiteral("debugBox"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(devices);
    layout->addWidget(transparent);
    layout->addWidget(debug);
}
