#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The help opener reached from other modules: a driver's window lives in a plug-in with its
// own copy of HelpTopics, which finds this object among the application's children by its name
// and calls openTopic() through Qt's meta-object system. Made by HelpTopics::setOpener.
class HelpTopicsBridge final : public QObject
{
    Q_OBJECT

public:
    // The object name other modules look for.
    static constexpr const char* objectNameText = "norvaneHelpTopics";

    explicit HelpTopicsBridge(QObject* parent);

    // Opens the topic through the opener of the module that made the bridge.
    Q_INVOKABLE void openTopic(QWidget* parent, uint context, const QString& key);
};
