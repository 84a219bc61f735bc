#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

// One page of the options sheet: it reads its values from the settings the first time it is
// shown (or when the sheet needs them), marks itself modified at any edit, and writes its
// values when the sheet applies.
class OptionsPage : public QWidget
{
    Q_OBJECT

public:
    // The page's help topic: context 0x20000 plus the page's number, and its key.
    struct Help
    {
        std::uint32_t context;
        const char* key;
    };

    // A page whose values are not read yet.
    explicit OptionsPage(QWidget* parent = nullptr);

    // Reads the values unless they were read already.
    void ensureLoaded();
    // Whether the values were read (only such a page applies).
    bool isLoaded() const { return m_loaded; }
    // Whether an edit happened since the last read or apply.
    bool isModified() const { return m_modified; }
    // Writes the values of a page that was read; clears the modified mark.
    void apply();
    // The page's help topic.
    virtual Help help() const = 0;

Q_SIGNALS:
    // An edit marked the page modified.
    void modified();

protected:
    // Shows the stored values; edits it causes do not mark the page.
    virtual void loadValues() = 0;
    // Writes the shown values.
    virtual void applyValues() = 0;
    // Marks the page modified (not while its values are being shown).
    void markModified();
    // Shows the stored values again (after an apply), without marking the page.
    void showStoredValues();
    // Tells the user when an apply could not write the settings (`stored` false), with why.
    void reportIfNotStored(bool stored);
    void showEvent(QShowEvent* event) override;

private:
    bool m_loaded = false;
    bool m_loading = false;
    bool m_modified = false;
};
