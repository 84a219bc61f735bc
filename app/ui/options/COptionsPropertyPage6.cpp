#include "ui/options/COptionsPropertyPage6.h"

#include "gui/MessageBox.h"
#include "services/LdapOptionsForm.h"
#include "ui/options/OptionsWindows.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

COptionsPropertyPage6::COptionsPropertyPage6(const OptionsWindows& windows, QWidget* parent)
    : OptionsPage(parent)
    , m_windows(windows)
{
    setObjectName(QStringLiteral("ldapPage"));
    m_servers = new QListWidget;
    m_servers->setObjectName(QStringLiteral("ldapList"));
    auto* caption = new QLabel(tr("LDAP Servers"));
    caption->setBuddy(m_servers);
    auto* add = new QPushButton(tr("Add"));
    add->setObjectName(QStringLiteral("addLdapButton"));
    auto* remove = new QPushButton(tr("Delete"));
    remove->setObjectName(QStringLiteral("deleteLdapButton"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(caption, 0, 0);
    layout->addWidget(m_servers, 1, 0, 3, 1);
    layout->addWidget(add, 1, 1);
    layout->addWidget(remove, 2, 1);
    layout->setRowStretch(3, 1);

    connect(add, &QPushButton::clicked, this, &COptionsPropertyPage6::addServer);
    connect(remove, &QPushButton::clicked, this, &COptionsPropertyPage6::deleteServer);
    connect(m_servers, &QListWidget::itemDoubleClicked, this,
            [this](const QListWidgetItem* item) { editServer(item->text()); });
}

void COptionsPropertyPage6::reload()
{
    const QString selected
        = m_servers->currentItem() != nullptr ? m_servers->currentItem()->text() : QString();
    m_servers->clear();
    for (const std::string& name : LdapOptionsForm::names()) {
        m_servers->addItem(QString::fromLocal8Bit(name));
    }
    const QList<QListWidgetItem*> again = m_servers->findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !again.isEmpty()) {
        m_servers->setCurrentItem(again.first());
    }
}

void COptionsPropertyPage6::addServer()
{
    std::string name;
    if (m_windows.editLdapServer(this, name)) {
        reload();
    }
}

void COptionsPropertyPage6::editServer(const QString& name)
{
    std::string entry = name.toLocal8Bit().toStdString();
    if (m_windows.editLdapServer(this, entry)) {
        reload();
    }
}

void COptionsPropertyPage6::deleteServer()
{
    const QListWidgetItem* item = m_servers->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return;
    }
    if (!LdapOptionsForm::remove(item->text().toLocal8Bit().toStdString())) {
        MessageBox::show(this, QMessageBox::Warning, QStringLiteral("Error"),
                         QStringLiteral("Cannot delete entry"));
    }
    reload();
}
