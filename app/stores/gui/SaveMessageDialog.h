#pragma once

#include "stores/SaveMessageForm.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QComboBox;
class SavedMessageStore;

// "Save Message": stores the compose window's recipients and message under a name typed or
// picked from the saved names. OK with an empty name does nothing; an existing name is
// replaced only after the user agreed (its schedule and last send stay); a refusal is shown
// and the dialog stays open.
class SaveMessageDialog final : public QDialog
{
    Q_OBJECT

public:
    // The help topic of the dialog.
    static constexpr std::uint32_t helpContext = 0x20000 + 180;
    static constexpr const char* helpKey = "HIDD_SAVEMESSAGE";
    // The longest name the field takes.
    static constexpr int maxNameLength = 127;

    // A dialog saving `recipients` and `message` (with `schedule`; "" stores "-") into
    // `store`, which must outlive it.
    SaveMessageDialog(SavedMessageStore& store, const std::string& recipients,
                      const std::string& message, QWidget* parent = nullptr,
                      const std::string& schedule = {});

    // Runs the dialog modally over `parent`; true when the message was saved.
    static bool run(QWidget* parent, SavedMessageStore& store, const std::string& recipients,
                    const std::string& message);

    // The name the message was saved under (after OK).
    const std::string& savedName() const { return m_savedName; }

    // OK: saves, asks, or refuses as the form decides; closes only once the message is saved.
    void accept() override;

private:
    SaveMessageForm m_form;
    QComboBox* m_name;
    std::string m_savedName;
};
