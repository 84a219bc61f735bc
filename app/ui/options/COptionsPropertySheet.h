#pragma once

#include "ui/options/OptionsWindows.h"

#include <QDialog>

#include <array>
#include <functional>

class DeskServices;
class OptionsPage;
class QPushButton;
class QTabWidget;

// "Norvane Properties": the program's settings on six pages. Each page reads its values when
// first shown; OK and "&Apply" write the pages that were shown, "&Apply" being available after
// any edit. The caller brings the program in line afterwards (see run()).
class COptionsPropertySheet final : public QDialog
{
    Q_OBJECT

public:
    // The number of pages.
    static constexpr int pageCount = 6;

    // A sheet over `parent` for the program's `services`, opening other windows through
    // `windows`; both must outlive it.
    COptionsPropertySheet(DeskServices& services, const OptionsWindows& windows,
                          QWidget* parent = nullptr);

    // Shows the sheet modally; once it is closed, whatever closed it, calls `afterClose` (the
    // owner re-reads the General flags there) and then starts the gateway if it is stopped or
    // has it restart with the new settings. A gateway that cannot start is reported.
    static void run(QWidget* parent, DeskServices& services, const OptionsWindows& windows,
                    const std::function<void()>& afterClose);

    // The page at the index (0 "General" ... 5 "LDAP").
    OptionsPage* page(int index) const { return m_pages[static_cast<std::size_t>(index)]; }
    // The page tabs.
    QTabWidget* tabs() const { return m_tabs; }
    // Writes every page that was shown; "&Apply" is unavailable afterwards.
    void applyPages();

private:
    void pageModified();
    void openHelp();

    QTabWidget* m_tabs;
    std::array<OptionsPage*, pageCount> m_pages {};
    QPushButton* m_apply;
};
