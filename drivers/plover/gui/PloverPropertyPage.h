#pragma once

#include <QWidget>

// The plover control's property page, "General": one line of text and no settings. It binds
// nothing and always reports that nothing has changed; the settings dialog is where the
// settings are edited.
class PloverPropertyPage final : public QWidget
{
    Q_OBJECT

public:
    // The page with its text.
    explicit PloverPropertyPage(QWidget* parent = nullptr);

    // Whether the page holds changes to apply: never.
    bool isModified() const { return false; }
};
