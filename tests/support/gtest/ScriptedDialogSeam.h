#pragma once

#include "frame/CompanionDialogs.h"
#include "plugin/DispatchControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// A driver control's dialog seam (`Dialogs`, whose settings dialog edits a `Record`) for the
// control tests: every dialog answers `answer`, the settings dialog applies `edit` to its
// record unless it is not shown, and what each dialog was shown is kept in the test's lists.
template<class Dialogs, class Record>
class ScriptedDialogSeam : public Dialogs
{
public:
    ScriptedDialogSeam(DialogOutcome answer, std::function<void(Record&)> edit,
                       std::vector<Record>& shown, std::vector<AboutBoxRequest>& abouts)
        : m_answer(answer)
        , m_edit(std::move(edit))
        , m_shown(shown)
        , m_abouts(abouts)
    { }

    DialogOutcome showProperties(Record& record, std::string& error) override
    {
        m_shown.push_back(record);
        if (m_answer == DialogOutcome::NotShown) {
            error = "no GUI application";
        } else {
            m_edit(record);
        }
        return m_answer;
    }
    DialogOutcome showAbout(const AboutBoxRequest& setup, std::string& error) override
    {
        m_abouts.push_back(setup);
        if (m_answer == DialogOutcome::NotShown) {
            error = "no GUI application";
        }
        return m_answer;
    }

private:
    const DialogOutcome m_answer;
    const std::function<void(Record&)> m_edit;
    std::vector<Record>& m_shown;
    std::vector<AboutBoxRequest>& m_abouts;
};

// Calls the control's method `dispId`, which takes no arguments, and expects it to run.
inline void callMethod(DispatchControl& control, std::int32_t dispId)
{
    DispatchValue result;
    std::string error;
    EXPECT_EQ(control.invoke(dispId, CallKind::Method, {}, result, error), DispatchStatus::Ok)
        << error;
}
