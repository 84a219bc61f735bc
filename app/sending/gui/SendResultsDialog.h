#pragma once

#include "sending/ResultRow.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class QTreeWidget;

// "Send Results": one row per recipient of a send, the recipient with the picture of its
// status and what became of its page; a double-click on a row opens the help topic of its
// outcome, "&Help" the dialog's own topic, "&Close" (the default) ends it.
class SendResultsDialog final : public QDialog
{
    Q_OBJECT

public:
    // The help context and key of the dialog's own topic.
    static constexpr std::uint32_t helpContext = 0x20000 + 135;
    static constexpr const char* helpKey = "HIDD_SENDRESULTS";

    // The dialog showing `rows` in their order, over `parent`.
    explicit SendResultsDialog(const std::vector<ResultRow>& rows, QWidget* parent = nullptr);

    // The list of the rows (object name "resultsList").
    QTreeWidget* list() const { return m_list; }
    // Opens the help topic of the selected row's outcome; nothing without a selected row or
    // for an outcome without a topic of its own (help code 0).
    void openSelectedRowHelp();
    // Opens the dialog's own help topic.
    void openHelp();

private:
    void fitColumns();

    std::vector<ResultRow> m_rows;
    QTreeWidget* m_list = nullptr;
};
