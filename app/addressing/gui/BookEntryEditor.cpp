#include "addressing/gui/BookEntryEditor.h"

#include "addressing/AddRecipientForm.h"
#include "addressing/AddressParser.h"
#include "addressing/gui/AddRecipientDialog.h"

AddressBookDialog::EntryEditor BookEntryEditor::make(ProviderDatabase* providers)
{
    return [providers](QWidget* parent, const AddressBookDialog::Entry& preset,
                       bool editing) -> std::optional<AddressBookDialog::Entry> {
        AddRecipientForm form = AddRecipientForm::forNew(false);
        PagerAddress address;
        if (editing && AddressParser(providers).parseAddress(preset.pagerInfo, address, false)) {
            form = AddRecipientForm::forEdit(address, preset.name);
        } else {
            // A new entry, or one whose stored information no longer parses: every field is
            // the user's to fill.
            form.setAddToBook(true);
            AddRecipientForm::Fields fields = form.fields();
            if (!preset.name.empty())
                fields.name = preset.name;
            form.setFields(fields);
        }
        AddRecipientDialog dialog(std::move(form), providers, nullptr, parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return AddressBookDialog::Entry {dialog.accepted().name, dialog.accepted().address};
    };
}
