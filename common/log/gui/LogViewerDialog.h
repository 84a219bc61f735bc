#pragma once

#include "log/LogIndex.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <stop_token>
#include <thread>
#include <vector>

class LogTableModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

// "View Log": the shared log newest first, filtered by a highest level ("Level:") and by a text
// in origin or message, with "&Purge", "&Refresh" (the default), "&Help" and "&Close". The file
// (found from the settings as LogFile finds it) is read anew at each filling, on a worker
// thread, so the window stays responsive and shows the progress of a large file; the selection
// and the scroll position survive a refresh. Selected rows copy as text (Ctrl+C, context menu).
// Usage: `LogViewerDialog dialog(parent); dialog.exec();` GUI thread.
class LogViewerDialog final : public QDialog
{
    Q_OBJECT

public:
    // The dialog's help topic and key.
    static constexpr std::uint32_t helpContext = 0x20000 + 157;
    static constexpr const char* helpKey = "HIDD_LOGVIEWER";
    // Files at least this large show a progress bar while they are read.
    static constexpr std::uint64_t progressThreshold = std::uint64_t {2} << 20;

    // Sets the list up with "Information" selected and starts its first filling.
    explicit LogViewerDialog(QWidget* parent = nullptr);
    // Stops a filling under way and waits for its thread.
    ~LogViewerDialog() override;

    // Fills the list again from the file ("&Refresh", and a change of level).
    void refresh();
    // Deletes the log file, empties the list and says so ("&Purge").
    void purge();
    // Copies the selected rows to the clipboard as text.
    void copySelection();
    // Whether a filling is under way.
    bool isLoading() const { return m_loading; }

Q_SIGNALS:
    // A filling has been shown (or has found no file or failed, said in the status line).
    void filled();

private:
    void buildLayout();
    void startLoad();
    void loaded(std::uint64_t generation, std::shared_ptr<LogIndex> index,
                std::vector<std::uint32_t> rows);
    void showProgress(std::uint64_t generation, std::uint64_t done, std::uint64_t total);
    void filterChanged();
    // Shows new rows, keeping the selected entries, the current one and the top row.
    void showRows(std::shared_ptr<const LogIndex> index, std::vector<std::uint32_t> rows);
    void showStatus();
    // Keeps an index no longer shown for the next reading to fill.
    void keepSpare(std::shared_ptr<LogIndex> index);
    int highestLevel() const;

    LogTableModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    QComboBox* m_level = nullptr;
    QLineEdit* m_filter = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_refresh = nullptr;
    // The index shown, and the one shown before it, whose memory the next reading uses again.
    std::shared_ptr<LogIndex> m_shown;
    std::shared_ptr<LogIndex> m_spare;
    QString m_problem; // why the last filling listed less than the file, or nothing
    std::uint64_t m_generation = 0;
    bool m_loading = false;
    bool m_loadAgain = false;
    bool m_filterChangedWhileLoading = false;
    // The dialog as the worker's queued calls find it: cleared (on the GUI thread) when the
    // dialog goes, so a call that was still queued then does nothing.
    struct Link
    {
        LogViewerDialog* dialog;
    };
    std::shared_ptr<Link> m_link;
    // Last: the thread is stopped and joined before anything it reports to goes.
    std::jthread m_worker;
};
