#include "gui/HelpTopics.h"

#include "gui/HelpTopicsBridge.h"
#include "gui/MessageBox.h"

#include <QCoreApplication>
#include <QWidget>

#include <utility>

HelpTopics::Opener HelpTopics::s_opener;
QPointer<QObject> HelpTopics::s_bridge;

bool HelpTopics::open(QWidget* parent, std::uint32_t context, const QString& key)
{
    if (context == 0) {
        return false;
    }
    if (s_opener) {
        s_opener(parent, context, key);
    } else if (QObject* bridge = findBridge()) {
        // The opener belongs to another module (this is a plug-in's copy): it is reached
        // through the bridge that module made.
        QMetaObject::invokeMethod(bridge, "openTopic", Qt::DirectConnection,
                                  Q_ARG(QWidget*, parent), Q_ARG(uint, context),
                                  Q_ARG(QString, key));
    } else {
        (void)MessageBox::show(parent, QMessageBox::Information,
                               QStringLiteral("Norvane Desk Help"), placeholderText(context, key));
    }
    return true;
}

void HelpTopics::setOpener(Opener opener)
{
    s_opener = std::move(opener);
    if (s_opener && !findBridge() && QCoreApplication::instance())
        s_bridge = new HelpTopicsBridge(QCoreApplication::instance());
    else if (!s_opener)
        delete s_bridge; // only the bridge this module made: another module's opener stays
}

QObject* HelpTopics::findBridge()
{
    QCoreApplication* application = QCoreApplication::instance();
    return application ? application->findChild<QObject*>(
               QLatin1String(HelpTopicsBridge::objectNameText), Qt::FindDirectChildrenOnly)
                       : nullptr;
}

QString HelpTopics::placeholderText(std::uint32_t context, const QString& key)
{
    QString text = QStringLiteral("The help topic 0x%1").arg(context, 5, 16, QLatin1Char('0'));
    if (!key.isEmpty()) {
        text += QStringLiteral(" (%1)").arg(key);
    }
    return text + QStringLiteral(" would open here.\nThe help pages are not installed yet.");
}
