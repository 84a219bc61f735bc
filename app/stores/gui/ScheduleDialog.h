#pragma once

#include "stores/ScheduleForm.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class NumericEdit;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// "Schedule Message": edits the schedule of one or more saved messages on a ScheduleForm. The
// fields show the form's values and hand every change to it; OK takes the form's schedule
// (lastSent 0), Cancel leaves it.
class ScheduleDialog final : public QDialog
{
    Q_OBJECT

public:
    // The help topic of the dialog.
    static constexpr std::uint32_t helpContext = 0x20000 + 182;
    static constexpr const char* helpKey = "HIDD_SCHEDULE";

    // A dialog for the messages `names` (joined by ", ") on `schedule`; a never-scheduled one
    // opens as Once at `now` (seconds since 1970, UTC), the current time by default.
    ScheduleDialog(const std::string& names, const Schedule& schedule, QWidget* parent = nullptr,
                   std::int64_t now = currentTime());

    // Runs the dialog modally over `parent`; on OK `schedule` holds the edited schedule and
    // the answer is true.
    static bool run(QWidget* parent, const std::string& names, Schedule& schedule);

    // The schedule as OK leaves it.
    Schedule schedule() const { return m_form.accept(); }
    // The form the fields show.
    const ScheduleForm& form() const { return m_form; }

    // The time now, seconds since 1970 (UTC).
    static std::int64_t currentTime();

private:
    void showForm();
    void chooseType(ScheduleType type);

    ScheduleForm m_form;
    QLineEdit* m_names;
    NumericEdit* m_hour;
    NumericEdit* m_minute;
    QRadioButton* m_am;
    QRadioButton* m_pm;
    QRadioButton* m_once;
    QRadioButton* m_weekly;
    QRadioButton* m_monthly;
    QComboBox* m_month;
    NumericEdit* m_date;
    std::array<QCheckBox*, 7> m_weekdays {};
    bool m_showing = false;
};
