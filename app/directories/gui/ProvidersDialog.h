#pragma once

#include "directories/ProvidersForm.h"

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QPushButton;
class QTreeWidget;

// The "Paging Service Providers" dialog: the list of providers ("Name", "Phone Number"), the
// "Service Provider" group with the name and address of the one to add, "Add", "Delete",
// "&Close" and "&Help". Changes go to the database at once.
class ProvidersDialog final : public QDialog
{
    Q_OBJECT

public:
    // The dialog's help topic.
    static constexpr std::uint32_t helpContext = 0x20000 + 131;

    // A dialog over the program's provider database; run it with exec().
    explicit ProvidersDialog(ProviderDatabase& database, QWidget* parent = nullptr);

    // Fills the list from the database again.
    void fill();
    // "Add": the edits' provider added, or its number replaced after the question.
    void addProvider();
    // "Delete": the selected providers, each confirmed.
    void deleteProviders();

    QTreeWidget* list() const { return m_list; }

private:
    void copySelection();

    ProvidersForm m_form;
    QTreeWidget* m_list;
    QLineEdit* m_name;
    QLineEdit* m_address;
    QPushButton* m_delete;
};
