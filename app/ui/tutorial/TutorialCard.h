#pragma once

#include <QWidget>

class QTextBrowser;
class QUrl;

// The training card: a small window beside the compose window showing one card of the
// tutorial (a help topic such as "HIDT_SA_STEP2"). The general card's lesson links and the
// user's closing are reported; other links open in the help window.
class TutorialCard : public QWidget
{
    Q_OBJECT

public:
    explicit TutorialCard(QWidget* parent = nullptr);
    // Shows the card of the topic key, beside `anchor` when it is given and visible.
    void showCard(const QString& key, QWidget* anchor);
    // The key of the card shown.
    QString card() const { return m_card; }
    // Closes the card without reporting closedByUser().
    void dismiss();
    // The text of the card shown (for its reader and tests).
    QString cardText() const;

Q_SIGNALS:
    // The general card's lesson link was clicked (1 to 4).
    void lessonChosen(int number);
    // The user closed the card.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void followLink(const QUrl& url);
    void placeBeside(QWidget* anchor);

    QTextBrowser* m_view = nullptr;
    QString m_card;
    bool m_dismissing = false;
};
