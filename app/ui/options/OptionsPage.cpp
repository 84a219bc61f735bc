#include "ui/options/OptionsPage.h"

OptionsPage::OptionsPage(QWidget* parent)
    : QWidget(parent)
{ }

void OptionsPage::ensureLoaded()
{
    if (m_loaded) {
        return;
    }
    showStoredValues();
    m_loaded = true;
    m_modified = false;
}

void OptionsPage::apply()
{
    if (!m_loaded) {
        return;
    }
    applyValues();
    m_modified = false;
}

void OptionsPage::showStoredValues()
{
    m_loading = true;
    loadValues();
    m_loading = false;
}

void OptionsPage::markModified()
{
    if (m_loading) {
        return;
    }
    m_modified = true;
    Q_EMIT modified();
}

void OptionsPage::showEvent(QShowEvent* event)
{
    ensureLoaded();
    QWidget::showEvent(event);
}
