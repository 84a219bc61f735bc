#pragma once

#include "kestrel/KestrelDialogRecord.h"

#include <QDialog>

#include <cstdint>

class NumberSpinBox;
class QCheckBox;
class QTreeWidget;
class QTreeWidgetItem;

// The "Kestrel ActiveX Properties" dialog: the modems the driver may dial (a click toggles a
// device between selected and not selected; an unavailable one stays as it is), the prompt
// and read time-outs, the resend limit and "Support control characters". It edits a record
// and hands it back; storing it is the caller's. Help has no action.
class KestrelPropertiesDialog final : public QDialog
{
    Q_OBJECT

public:
    // The dialog's help topic (the driver windows' numbers lie above the program's).
    static constexpr std::uint32_t helpContext = 0x2F0C9;

    // The list column's header: "Name" and blanks that make the column wide.
    static QString columnHeader();

    // A dialog showing the record.
    explicit KestrelPropertiesDialog(const KestrelDialogRecord& record, QWidget* parent = nullptr);

    // The record with what the dialog holds now.
    KestrelDialogRecord record() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillDevices();
    void toggleFirstSelected();

    const KestrelDialogRecord m_opened;
    QTreeWidget* m_devices = nullptr;
    NumberSpinBox* m_prompt = nullptr;
    NumberSpinBox* m_read = nullptr;
    NumberSpinBox* m_resends = nullptr;
    QCheckBox* m_transChars = nullptr;
};
