#pragma once

#include "addressing/AddRecipientForm.h"

#include <QDialog>

#include <cstdint>

class AddressBook;
class ProviderDatabase;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QStackedWidget;

// The "Add Recipient" dialog ("Edit Address Book Entry" for an existing address): the name, the
// "Add to address book" box, the address type and one address panel per type. OK runs the
// form's checks (a refusal is shown and the dialog stays) and, with the box ticked, stores the
// entry in the address book.
class AddRecipientDialog final : public QDialog
{
    Q_OBJECT

public:
    // The dialog's help topic.
    static constexpr std::uint32_t helpContext = 0x200A5;

    // A dialog over `form`, listing the companies of `providers` and storing into `book`
    // (either may be null: no companies, nothing stored).
    AddRecipientDialog(AddRecipientForm form, ProviderDatabase* providers, AddressBook* book,
                       QWidget* parent = nullptr);

    // What OK took: the name and the formatted address.
    const AddRecipientForm::Accepted& accepted() const { return m_accepted; }
    // Whether the entry went to the address book (the box was ticked at OK).
    bool addedToBook() const { return m_form.fields().addToBook; }
    const AddRecipientForm& form() const { return m_form; }

    // OK: checks, stores when asked to, and closes only when all went through.
    void accept() override;

private:
    AddRecipientForm::Fields readFields() const;
    // Shows the form's fields in the panel of their type.
    void showFields();
    void typeChanged(int index);
    void boxToggled(bool on);
    void showMessageId(int id);
    AddRecipientForm::Overwrite askOverwrite(const std::string& name);
    // The company's "Add": the providers dialog, then the companies listed again.
    void editProviders(ProviderDatabase* providers);

    AddRecipientForm m_form;
    AddressBook* m_book;
    AddRecipientForm::Accepted m_accepted;
    QLineEdit* m_name;
    QCheckBox* m_addToBook;
    QComboBox* m_type;
    QStackedWidget* m_panels;
    QComboBox* m_company;
    QLineEdit* m_ixoPin;
    QLineEdit* m_phone;
    QLineEdit* m_host;
    QLineEdit* m_snppPin;
};
