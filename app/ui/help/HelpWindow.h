#pragma once

#include <QWidget>

#include <cstdint>

class HelpBrowser;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QUrl;

// "Norvane Desk Help": the contents (topics under their headings), a full-text search, the
// topic shown with back and forward. One window for the program; HelpTopics opens topics in
// it once install() ran. GUI thread.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // Makes the program's help window the opener of every HelpTopics::open().
    static void install();
    // The program's help window, made on first use.
    static HelpWindow* instance();
    // The window a topic opens in: the program's one, or, while a modal dialog is up (which
    // would block every other window), a help window of that dialog's own, closed with it.
    static HelpWindow* usable();

    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the topic of a context number, else of the key, else a page saying there is none;
    // answers whether a topic was found. Brings the window forward.
    bool openTopic(std::uint32_t context, const QString& key = {});
    // Shows the topic of a key; false (and the "no topic" page) when there is none.
    bool openKey(const QString& key);
    // "Contents": the contents page and list.
    void showContents();
    // "Search...": the search tab with its field focused; a non-empty `words` is searched.
    void showSearch(const QString& words = {});
    // Searches the topics for the words of the search field and lists the topics found.
    void search();
    // The key of the topic shown ("" for a page of its own).
    QString currentKey() const;
    // The titles listed by the latest search.
    QStringList searchResults() const;

private:
    void followLink(const QUrl& url);
    void fillContents();
    void updateButtons();
    void bringForward();

    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_searchField = nullptr;
    QListWidget* m_results = nullptr;
    HelpBrowser* m_browser = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
};
