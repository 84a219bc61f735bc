#pragma once

#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>

class QObject;
class QWidget;

// The one way the program opens a help topic: by its context number (0x30000 plus a message
// id, 0x10000 plus a control id, a dialog's own topic) and its help key. Until the help window
// is installed as the opener, a message box says which topic would have opened. GUI thread.
class HelpTopics final
{
public:
    // What opens a topic: the window asking, the context number and the help key.
    using Opener = std::function<void(QWidget* parent, std::uint32_t context, const QString& key)>;

    // Opens the topic of `context` (and `key`, which may be empty) over `parent`; a context of
    // 0 names no topic and opens nothing. Answers whether a topic was asked for.
    static bool open(QWidget* parent, std::uint32_t context, const QString& key = {});
    // Installs the opener of every later open(), in this module and, through a bridge object
    // under the application, in plug-ins that carry their own copy of this class; an empty one
    // restores the message box.
    static void setOpener(Opener opener);
    // The text of the box shown while no opener is installed ("0x30091" and the key).
    static QString placeholderText(std::uint32_t context, const QString& key);

private:
    // The bridge some module made under the application, or null.
    static QObject* findBridge();

    static Opener s_opener;
    // The bridge this module made, if any.
    static QPointer<QObject> s_bridge;
};
