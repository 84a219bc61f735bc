#pragma once

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QString;
class QWidget;

// The buttons that the settings dialogs share.
namespace DialogButtons {

// A column of buttons in `dialog`: "&OK" (the default; object name "okButton"), which accepts
// the dialog, and "&Cancel" ("cancelButton"), which rejects it. A dialog may add more.
QDialogButtonBox* okCancel(QDialog* dialog);

// A push button with its object name that Enter does not press (it never becomes the default
// by taking the focus); the caller lays it out.
QPushButton* named(const QString& text, const char* objectName, QWidget* parent = nullptr);

} // namespace DialogButtons
