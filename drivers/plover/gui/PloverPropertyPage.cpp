#include "plover/gui/PloverPropertyPage.h"

#include <QLabel>
#include <QVBoxLayout>

PloverPropertyPage::PloverPropertyPage(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("General"));
    auto* text = new QLabel(tr("The SNPP driver's settings are in its properties dialog."), this);
    text->setObjectName(QStringLiteral("pageText"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addStretch();
}
