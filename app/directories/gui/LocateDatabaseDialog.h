#pragma once

#include "directories/UserPrompt.h"

#include <QDialog>

#include <cstdint>

// The "Norvane Desk: Error" dialog for a database file that is not where the settings say:
// create it there, browse for it, or go on without it.
class LocateDatabaseDialog final : public QDialog
{
    Q_OBJECT

public:
    // The dialog's help topic.
    static constexpr std::uint32_t helpContext = 0x20000 + 130;

    // A dialog for `request` (its message, the file name and filter the browser offers).
    explicit LocateDatabaseDialog(const LocateRequest& request, QWidget* parent = nullptr);

    // The open-file dialog's filters from the "Name (*.x)|*.x|All Files (*.*)|*.*||" form.
    static QString browserFilter(const std::string& filter);
    // Where the open-file dialog starts: the looked-for path's folder and the offered name.
    static QString browserStart(const LocateRequest& request);

    // Runs the dialog and gives the choice (a browsed file's path with Browse).
    LocateChoice choose();

private:
    void browse();

    LocateRequest m_request;
    LocateChoice m_choice;
};
