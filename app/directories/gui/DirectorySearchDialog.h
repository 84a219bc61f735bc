#pragma once

#include "directories/DirectorySearchForm.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class DirectorySearchJob;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The "Directory Search" dialog: pick a directory service, type a name, "Find Now" lists the
// people found (name, email, pager address), "Add To Recipients" hands back the selected pager
// addresses. The search runs off the GUI thread; "Stop" abandons it.
class DirectorySearchDialog final : public QDialog
{
    Q_OBJECT

public:
    // The help context and key of the dialog's own topic.
    static constexpr std::uint32_t helpContext = 0x20000 + 160;
    static constexpr const char* helpKey = "HIDD_DIRSEARCH";

    // Runs the dialog modal over `parent` and answers the chosen pager addresses, each
    // followed by ";" (under 127 characters in all); empty when the user closed it.
    static QString run(QWidget* parent);

    // The dialog over the services of the current user's settings.
    explicit DirectorySearchDialog(QWidget* parent = nullptr);
    ~DirectorySearchDialog() override;

    // The address list "Add To Recipients" built (each address followed by ";").
    QString recipients() const;
    // Whether a search is running.
    bool searching() const;

    // Close and Escape abandon a running search first.
    void reject() override;

private:
    void findNow();
    void stopSearch();
    void askKeepWaiting();
    void searchFinished();
    void addToRecipients();
    void showRows();
    void setSearching(bool on);
    void showMessage(const DirectoryMessage& message);

    DirectorySearchForm m_form;
    std::unique_ptr<DirectorySearchJob> m_job;
    QComboBox* m_services;
    QLineEdit* m_name;
    QPushButton* m_find;
    QPushButton* m_stop;
    QTreeWidget* m_list;
    QPushButton* m_add;
};
