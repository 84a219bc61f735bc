#include "directories/gui/ProvidersDialog.h"

#include "gui/DialogButtons.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBox.h"
#include "gui/QtStrings.h"
#include "sending/gui/MessageDialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ProvidersDialog::ProvidersDialog(ProviderDatabase& database, QWidget* parent)
    : QDialog(parent)
    , m_form(database)
    , m_list(new QTreeWidget(this))
    , m_name(new QLineEdit(this))
    , m_address(new QLineEdit(this))
{
    setWindowTitle(fromStd(ProvidersForm::caption));
    m_list->setObjectName(QStringLiteral("providerList"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Phone Number")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_list->setMinimumSize(360, 180);
    connect(m_list, &QTreeWidget::itemClicked, this, &ProvidersDialog::copySelection);

    m_name->setObjectName(QStringLiteral("nameEdit"));
    m_address->setObjectName(QStringLiteral("addressEdit"));
    const auto limit = static_cast<int>(ProvidersForm::maxFieldLength);
    m_name->setMaxLength(limit);
    m_address->setMaxLength(limit);
    auto* group = new QGroupBox(QStringLiteral("Service Provider"), this);
    group->setObjectName(QStringLiteral("providerGroup"));
    auto* fields = new QFormLayout(group);
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->addRow(QStringLiteral("&Name"), m_name);
    fields->addRow(QStringLiteral("&Address (phone no. or hostname)"), m_address);

    auto* add = DialogButtons::named(QStringLiteral("Add"), "addButton", this);
    add->setDefault(true);
    m_delete = DialogButtons::named(QStringLiteral("Delete"), "deleteButton", this);
    auto* close = DialogButtons::named(QStringLiteral("&Close"), "closeButton", this);
    auto* help = DialogButtons::named(QStringLiteral("&Help"), "helpButton", this);
    connect(add, &QPushButton::clicked, this, &ProvidersDialog::addProvider);
    connect(m_delete, &QPushButton::clicked, this, &ProvidersDialog::deleteProviders);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this,
            [this] { (void)HelpTopics::open(this, helpContext); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addWidget(group);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    setTabOrder(m_name, m_address);
    m_name->setFocus();
    fill();
}

void ProvidersDialog::fill()
{
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    for (const Provider& provider : m_form.rows()) {
        items << new QTreeWidgetItem({fromStd(provider.name), fromStd(provider.phone)});
    }
    m_list->addTopLevelItems(items);
}

void ProvidersDialog::copySelection()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    m_name->setText(selected.front()->text(0));
    m_address->setText(selected.front()->text(1));
}

void ProvidersDialog::addProvider()
{
    const auto outcome
        = m_form.add(m_name->text().toStdString(), m_address->text().toStdString(), [this] {
              return MessageBox::show(this, QMessageBox::Warning, windowTitle(),
                                      fromStd(ProvidersForm::replaceText),
                                      QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
                  == QMessageBox::Ok;
          });
    if (outcome.messageId == ProvidersForm::noNameId) {
        MessageDialog::run(outcome.messageId, fromStd(ProvidersForm::noNameHelpKey),
                           QStringLiteral("main"), this, fromStd(ProvidersForm::noNameText));
        m_name->setFocus();
        return;
    }
    if (outcome.messageId == ProvidersForm::noPhoneId) {
        MessageDialog::run(outcome.messageId, fromStd(ProvidersForm::noPhoneHelpKey),
                           QStringLiteral("main"), this, fromStd(ProvidersForm::noPhoneText));
        m_address->setFocus();
        return;
    }
    // A refused value (the database's own failures were reported by its prompt) is said here.
    if (!outcome.changed && !outcome.error.empty()) {
        MessageBox::show(this, QMessageBox::Warning, windowTitle(),
                         QStringLiteral("Cannot store the provider:\n") + fromStd(outcome.error));
    }
    if (outcome.changed) {
        fill();
    }
    m_name->clear();
    m_address->clear();
    m_name->setFocus();
}

void ProvidersDialog::deleteProviders()
{
    std::vector<std::string> names;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (item->isSelected()) {
            names.push_back(item->text(0).toStdString());
        }
    }
    const auto outcome = m_form.remove(names, [this](const std::string& name) {
        switch (MessageBox::show(this, QMessageBox::Question, windowTitle(),
                                 fromStd(ProvidersForm::deleteQuestion(name)),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                 QMessageBox::No)) {
        case QMessageBox::Yes:
            return ProvidersForm::DeleteAnswer::Yes;
        case QMessageBox::Cancel:
            return ProvidersForm::DeleteAnswer::Cancel;
        default:
            return ProvidersForm::DeleteAnswer::No;
        }
    });
    // Exactly the rows deleted leave the list; the others stay where they are.
    for (const std::string& name : outcome.removed) {
        for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
            if (m_list->topLevelItem(row)->text(0).toStdString() == name) {
                delete m_list->takeTopLevelItem(row);
                break;
            }
        }
    }
    if (!outcome.failed.empty() && !outcome.error.empty()) {
        MessageBox::show(this, QMessageBox::Warning, windowTitle(),
                         QStringLiteral("Cannot delete the provider:\n") + fromStd(outcome.error));
    }
    m_name->clear();
    m_address->clear();
}
