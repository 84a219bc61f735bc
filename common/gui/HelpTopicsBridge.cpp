#include "gui/HelpTopicsBridge.h"

#include "gui/HelpTopics.h"

HelpTopicsBridge::HelpTopicsBridge(QObject* parent)
    : QObject(parent)
{
    setObjectName(QLatin1String(objectNameText));
}

void HelpTopicsBridge::openTopic(QWidget* parent, uint context, const QString& key)
{
    (void)HelpTopics::open(parent, context, key);
}
