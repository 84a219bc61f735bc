#pragma once

#include <QDialog>

class QLabel;

// "About Norvane Desk": the program's version and the two drivers found through their
// registration, each with its version and file, or why it is missing and how to mend it. The
// compose window's "About..." and the taskbar menu's "About Norvane..." both show it.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    // Shows the box over `parent` until OK.
    static void run(QWidget* parent);

    explicit AboutBox(QWidget* parent = nullptr);
    // The program's version line ("Version 0.1.0").
    QString versionText() const;
    // One line per driver, as shown.
    QStringList driverLines() const;

private:
    QLabel* m_version = nullptr;
    QLabel* m_drivers = nullptr;
    QStringList m_driverLines;
};
