#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <optional>

// The program's message with a help button, "Norvane Desk Error": a picture, the text of a
// string-table message ("\r" breaks its lines), "OK" (the default) and "Help", which opens the
// message's help topic (0x30000 plus its id), as F1 does. Used by the send (messages 102 and
// 117) and by other windows.
class MessageDialog final : public QDialog
{
    Q_OBJECT

public:
    // The dialog of message `messageId` with its help key and the origin of the message
    // ("main" for the send), over `parent`. A non-empty `text` is shown in place of the
    // message's own text (a message formatted with its arguments).
    MessageDialog(int messageId, const QString& helpKey, const QString& origin,
                  QWidget* parent = nullptr, const QString& text = {});

    // The message shown.
    int messageId() const { return m_messageId; }
    // The help key the dialog was given.
    QString helpKey() const { return m_helpKey; }
    // Where the message came from.
    QString origin() const { return m_origin; }
    // The help context of the message: 0x30000 plus its id.
    std::uint32_t helpContext() const;

    // Opens the message's help topic.
    void openHelp();

    // The text of a string-table message as a label shows it (line breaks for "\r").
    static QString messageText(int messageId);

    // What a dialog was asked to show.
    struct Request
    {
        int messageId = 0;
        QString helpKey;
        QString origin;
        QString text;
    };
    // Shows the dialog of the message modally over `parent` and returns when it was closed.
    // GUI thread.
    static void run(int messageId, const QString& helpKey, const QString& origin,
                    QWidget* parent = nullptr, const QString& text = {});
    // Test hook: the next run() shows nothing and only records its request; then the hook is
    // spent. GUI thread.
    static void skipNext();
    // The request of the last run() the hook skipped; none before the first.
    static std::optional<Request> lastSkipped();

private:
    static bool s_skipNext;
    static std::optional<Request> s_lastSkipped;

    int m_messageId;
    QString m_helpKey;
    QString m_origin;
};
