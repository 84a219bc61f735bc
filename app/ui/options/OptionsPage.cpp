#include "ui/options/OptionsPage.h"

#include "gui/MessageBox.h"
#include "settings/SettingsStore.h"

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

void OptionsPage::reportIfNotStored(bool stored)
{
    if (stored) {
        return;
    }
    const std::string why = SettingsStore::lastErrorText();
    (void)MessageBox::show(
        this, QMessageBox::Warning, QStringLiteral("Norvane Properties"),
        tr("The settings of this page could not all be stored in %1.\n%2\nCorrect the cause "
           "and press Apply again.")
            .arg(QString::fromStdString(SettingsStore::defaultPath()),
                 why.empty() ? tr("The settings file could not be written.")
                             : QString::fromStdString(why)));
}
