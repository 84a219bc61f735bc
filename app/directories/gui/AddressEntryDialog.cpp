#include "directories/gui/AddressEntryDialog.h"

#include "directories/AddressBook.h"
#include "gui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

AddressEntryDialog::AddressEntryDialog(const AddressBookForm::Entry& preset, bool editing,
                                       QWidget* parent)
    : QDialog(parent)
    , m_name(new QLineEdit(QString::fromStdString(preset.name), this))
    , m_pagerInfo(new QLineEdit(QString::fromStdString(preset.pagerInfo), this))
{
    setWindowTitle(editing ? QStringLiteral("Edit Address Book Entry")
                           : QStringLiteral("Add Recipient"));
    m_name->setObjectName(QStringLiteral("nameEdit"));
    m_name->setMaxLength(static_cast<int>(AddressBook::maxNameLength));
    m_name->setReadOnly(editing);
    m_pagerInfo->setObjectName(QStringLiteral("pagerInfoEdit"));
    m_pagerInfo->setMaxLength(static_cast<int>(AddressBook::maxNameLength));
    m_pagerInfo->setMinimumWidth(220);
    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->addRow(QStringLiteral("&Name"), m_name);
    fields->addRow(QStringLiteral("&Pager Information"), m_pagerInfo);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(DialogButtons::okCancel(this));
    (editing ? m_pagerInfo : m_name)->setFocus();
}

AddressBookForm::Entry AddressEntryDialog::entry() const
{
    return {m_name->text().toStdString(), m_pagerInfo->text().toStdString()};
}

std::optional<AddressBookForm::Entry>
AddressEntryDialog::run(QWidget* parent, const AddressBookForm::Entry& preset, bool editing)
{
    AddressEntryDialog dialog(preset, editing, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.entry();
}
