#include "ui/options/COptionsPropertyPage1.h"

#include "services/GeneralOptionsForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

COptionsPropertyPage1::COptionsPropertyPage1(QWidget* parent)
    : OptionsPage(parent)
{
    setObjectName(QStringLiteral("generalPage"));
    auto* group = new QGroupBox(tr("Recipients"));
    auto* boxes = new QVBoxLayout(group);
    const auto box = [this, boxes](const QString& text, const char* name) {
        auto* check = new QCheckBox(text);
        check->setObjectName(QLatin1String(name));
        boxes->addWidget(check);
        connect(check, &QCheckBox::clicked, this, &COptionsPropertyPage1::markModified);
        return check;
    };
    m_warning = box(tr("Disable entry time address warnings"), "disableAddrWarningBox");
    m_completion = box(tr("Disable address auto-completion"), "disableAddrCompletionBox");
    m_check = box(tr("Disable recipient validation during entry"), "disableAddrCheckBox");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
}

void COptionsPropertyPage1::loadValues()
{
    const GeneralOptionsForm form = GeneralOptionsForm::load();
    m_warning->setChecked(form.disableAddrWarning);
    m_completion->setChecked(form.disableAddrCompletion);
    m_check->setChecked(form.disableAddrCheck);
}

void COptionsPropertyPage1::applyValues()
{
    GeneralOptionsForm form;
    form.disableAddrWarning = m_warning->isChecked();
    form.disableAddrCompletion = m_completion->isChecked();
    form.disableAddrCheck = m_check->isChecked();
    reportIfNotStored(form.apply());
}
