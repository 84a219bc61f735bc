#include "ui/options/COptionsPropertySheet.h"

#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "services/DeskServices.h"
#include "ui/options/COptionsPropertyPage1.h"
#include "ui/options/COptionsPropertyPage2.h"
#include "ui/options/COptionsPropertyPage3.h"
#include "ui/options/COptionsPropertyPage4.h"
#include "ui/options/COptionsPropertyPage5.h"
#include "ui/options/COptionsPropertyPage6.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

COptionsPropertySheet::COptionsPropertySheet(DeskServices& services, const OptionsWindows& windows,
                                             QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("optionsSheet"));
    setWindowTitle(QStringLiteral("Norvane Properties"));
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("optionsPages"));
    // All six tabs stay in sight: the sheet is as wide as they need.
    m_tabs->setUsesScrollButtons(false);
    m_pages = {new COptionsPropertyPage1,
               new COptionsPropertyPage2,
               new COptionsPropertyPage3(services, windows),
               new COptionsPropertyPage4(services, windows),
               new COptionsPropertyPage5(services),
               new COptionsPropertyPage6(windows)};
    const QString titles[pageCount] = {tr("General"),      tr("Protocols"), tr("Logging"),
                                       tr("Address Book"), tr("Server"),    tr("LDAP")};
    for (int index = 0; index < pageCount; ++index) {
        OptionsPage* shown = page(index);
        m_tabs->addTab(shown, titles[index]);
        connect(shown, &OptionsPage::modified, this, &COptionsPropertySheet::pageModified);
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    m_apply = buttons->addButton(tr("&Apply"), QDialogButtonBox::ApplyRole);
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setEnabled(false);
    QPushButton* help = buttons->addButton(tr("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("helpButton"));
    // A button row keeps Enter for OK: the page buttons must not take it as default.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button != ok) {
            button->setAutoDefault(false);
        }
    }
    connect(ok, &QPushButton::clicked, this, [this] {
        applyPages();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_apply, &QPushButton::clicked, this, &COptionsPropertySheet::applyPages);
    connect(help, &QPushButton::clicked, this, &COptionsPropertySheet::openHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

void COptionsPropertySheet::run(QWidget* parent, DeskServices& services,
                                const OptionsWindows& windows,
                                const std::function<void()>& afterClose)
{
    {
        COptionsPropertySheet sheet(services, windows, parent);
        (void)sheet.exec();
    }
    if (afterClose) {
        afterClose();
    }
    if (!services.restartGateway()) {
        MessageBox::show(parent, QMessageBox::Warning, QStringLiteral("Norvane Desk"),
                         tr("The SNPP gateway could not be started: %1")
                             .arg(QString::fromStdString(services.lastErrorText())));
    }
}

void COptionsPropertySheet::applyPages()
{
    for (OptionsPage* each : m_pages) {
        each->apply();
    }
    m_apply->setEnabled(false);
}

void COptionsPropertySheet::pageModified()
{
    m_apply->setEnabled(true);
}

void COptionsPropertySheet::openHelp()
{
    const auto* shown = static_cast<const OptionsPage*>(m_tabs->currentWidget());
    const OptionsPage::Help topic = shown->help();
    (void)HelpTopics::open(this, topic.context, QString::fromLatin1(topic.key));
}
