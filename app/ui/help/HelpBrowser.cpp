#include "help/HelpBrowser.h"

#include "help/HelpLibrary.h"

namespace {
const QString scheme = QStringLiteral("help");
}

QUrl HelpBrowser::topicUrl(const QString& key)
{
    QUrl url;
    url.setScheme(scheme);
    url.setPath(key);
    return url;
}

QString HelpBrowser::keyOf(const QUrl& url)
{
    if (!url.scheme().isEmpty() && url.scheme() != scheme) {
        return {};
    }
    QString path = url.path();
    while (path.startsWith(QLatin1Char('/'))) {
        path.remove(0, 1);
    }
    return path;
}

HelpBrowser::HelpBrowser(QWidget* parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

void HelpBrowser::showTopic(const QString& key)
{
    setSource(topicUrl(key), QTextDocument::HtmlResource);
}

void HelpBrowser::showText(const QString& html)
{
    setHtml(html);
    m_ownPage = true;
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type)
{
    m_ownPage = false;
    QTextBrowser::doSetSource(name, type);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    if (type == QTextDocument::HtmlResource && (name.scheme() == scheme || name.isRelative())) {
        return HelpLibrary::page(keyOf(name));
    }
    return QTextBrowser::loadResource(type, name);
}
