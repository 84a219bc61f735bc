#pragma once

#include "plover/PloverDialogRecord.h"

#include <QDialog>

class NumberSpinBox;
class QCheckBox;
class QComboBox;

// The "SNPP Driver Properties" dialog: the default port (a box whose arrows step within
// 1..2048), the dial-up networking profile list (always empty and disabled: the driver dials
// nothing) and "Disconnect after sending messages". It edits a record and hands it back;
// reading the port and storing are the caller's.
class PloverPropertiesDialog final : public QDialog
{
    Q_OBJECT

public:
    // A dialog showing the record.
    explicit PloverPropertiesDialog(const PloverDialogRecord& record, QWidget* parent = nullptr);

    // The record with what the dialog holds now.
    PloverDialogRecord record() const;

private:
    const PloverDialogRecord m_opened;
    NumberSpinBox* m_port = nullptr;
    QComboBox* m_profiles = nullptr;
    QCheckBox* m_disconnect = nullptr;
};
