#pragma once

class QDialog;
class QDialogButtonBox;

// The buttons that the settings dialogs share.
namespace DialogButtons {

// A column of buttons in `dialog`: "&OK" (the default; object name "okButton"), which accepts
// the dialog, and "&Cancel" ("cancelButton"), which rejects it. A dialog may add more.
QDialogButtonBox* okCancel(QDialog* dialog);

} // namespace DialogButtons
