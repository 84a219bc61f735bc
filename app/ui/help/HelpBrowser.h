#pragma once

#include <QTextBrowser>

// A text browser over the help topics: a link or source "KEY" (scheme "help") is the page of
// that topic, so back and forward walk the topics the user saw. Links are handed to the owner
// through anchorClicked; the browser follows none by itself.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    // The url of a topic key.
    static QUrl topicUrl(const QString& key);
    // The topic key of a url ("" when it names none).
    static QString keyOf(const QUrl& url);

    explicit HelpBrowser(QWidget* parent = nullptr);
    // Shows the topic (a new step of the history).
    void showTopic(const QString& key);
    // The key of the topic shown.
    QString currentKey() const { return m_ownPage ? QString() : keyOf(source()); }
    // Shows a page of its own (not a topic, not in the history).
    void showText(const QString& html);

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    bool m_ownPage = false;
};
