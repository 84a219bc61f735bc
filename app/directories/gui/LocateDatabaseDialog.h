#pragma once

#include "directories/UserPrompt.h"

#include <QDialog>

// The "Norvane Desk: Error" dialog for a database file that is not where the settings say:
// create it there, browse for it, or go on without it.
class LocateDatabaseDialog final : public QDialog
{
    Q_OBJECT

public:
    // A dialog for `request` (its message, the file name and filter the browser offers).
    explicit LocateDatabaseDialog(const LocateRequest& request, QWidget* parent = nullptr);

    // Runs the dialog and gives the choice (a browsed file's path with Browse).
    LocateChoice choose();

private:
    void browse();

    LocateRequest m_request;
    LocateChoice m_choice;
};
