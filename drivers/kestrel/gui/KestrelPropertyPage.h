#pragma once

#include <QWidget>

class QCheckBox;
class QTreeWidget;

// The kestrel control's property page, "General": a device list and two check boxes that are
// bound to nothing. Nothing is filled in, nothing changed in it is stored, and it always
// reports that nothing has changed; the settings dialog is where the settings are edited.
class KestrelPropertyPage final : public QWidget
{
    Q_OBJECT

public:
    // The page with its unfilled controls.
    explicit KestrelPropertyPage(QWidget* parent = nullptr);

    // Whether the page holds changes to apply: never.
    bool isModified() const { return false; }
};
