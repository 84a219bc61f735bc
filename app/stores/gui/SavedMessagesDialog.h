#pragma once

#include "stores/SavedMessagesForm.h"

#include <QDialog>

#include <chrono>
#include <cstdint>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class SavedMessageStore;

// "Saved Messages": lists the first 100 saved messages, shows the content, schedule and last
// send of the one selected, deletes messages and sets or clears their schedules through
// "Schedule Message". A timer looks at the store file and shows the selection again when it
// changed, so a send of the scheduler shows while the dialog is open. A change refused
// because the message changed elsewhere fills the list again and tells the user.
class SavedMessagesDialog final : public QDialog
{
    Q_OBJECT

public:
    // The help topic of the dialog.
    static constexpr std::uint32_t helpContext = 0x20000 + 181;
    static constexpr const char* helpKey = "HIDD_SAVEDMESSAGES";
    // How often the dialog looks at the store file.
    static constexpr std::chrono::milliseconds defaultRefreshInterval {5000};

    // A dialog over `store` (which must outlive it) that looks at the file every
    // `refreshInterval`.
    explicit SavedMessagesDialog(SavedMessageStore& store, QWidget* parent = nullptr,
                                 std::chrono::milliseconds refreshInterval
                                 = defaultRefreshInterval);

    // Runs the dialog modally over `parent`.
    static void run(QWidget* parent, SavedMessageStore& store);

    // Fills the list from the store, selecting the rows of `names` that are still there.
    void fillList(const std::vector<std::string>& names = {});
    // Shows the selected message's fields (all empty unless exactly one row is selected).
    void showSelection();
    // The buttons' actions.
    void deleteSelected();
    void changeSchedule();
    void clearSchedule();
    // The timer's look at the store.
    void refreshFromStore();

    // The form behind the list.
    const SavedMessagesForm& form() const { return m_form; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::vector<int> selectedRows() const;
    std::vector<std::string> selectedNames() const;
    // Fills the list again and tells the user what the outcome says.
    void settle(const SavedMessagesForm::Outcome& outcome, const std::vector<std::string>& keep);

    SavedMessageStore& m_store;
    SavedMessagesForm m_form;
    QTreeWidget* m_list;
    QLineEdit* m_to;
    QPlainTextEdit* m_message;
    QLabel* m_schedule;
    QLineEdit* m_lastSent;
    QTimer* m_timer;
    bool m_refilling = false; // a selection shown again fills the list at most once
};
