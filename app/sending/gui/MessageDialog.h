#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

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

private:
    int m_messageId;
    QString m_helpKey;
    QString m_origin;
};
