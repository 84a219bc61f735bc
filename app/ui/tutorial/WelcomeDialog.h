#pragma once

#include <QDialog>

class QCheckBox;

// "Welcome To Norvane Desk": offers the tutorial at start. "&Yes" (the default) and "&No"
// close it; "Don't show this message in the future" is kept (dontShowGreeting) by either.
class WelcomeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit WelcomeDialog(QWidget* parent = nullptr);
    // Whether "Don't show this message in the future" is ticked.
    bool dontShowAgain() const;

private:
    QCheckBox* m_dontShow = nullptr;
};
