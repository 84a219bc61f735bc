#include "help/HelpLibrary.h"

#include <QDir>
#include <QFile>

namespace {

struct Loaded
{
    HelpIndex index;
    QString error;
};

Loaded load()
{
    Loaded loaded;
    const QDir folder(QStringLiteral(":/help/topics"));
    const QStringList names
        = folder.entryList({QStringLiteral("*.topics")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        loaded.error = QStringLiteral("The help topics are missing from the program.");
    }
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            loaded.error = QStringLiteral("Cannot read the help topics %1.").arg(name);
            break;
        }
        const QByteArray text = file.readAll();
        if (!loaded.index.addSource(std::string_view(text.constData(), text.size()),
                                    name.toStdString())) {
            loaded.error = QString::fromStdString(loaded.index.lastErrorText());
            break;
        }
    }
    if (loaded.error.isEmpty() && !loaded.index.checkLinks()) {
        loaded.error = QString::fromStdString(loaded.index.lastErrorText());
    }
    if (!loaded.error.isEmpty()) {
        loaded.index = HelpIndex();
    }
    return loaded;
}

const Loaded& loaded()
{
    static const Loaded instance = load();
    return instance;
}

QString notFound(const QString& what)
{
    return QStringLiteral("<html><body><h2>No help for this</h2><p>%1</p>"
                          "<p>Choose a topic from the <a href=\"contents\">Contents</a>, or use "
                          "Search to find the topics that hold a word.</p></body></html>")
        .arg(what.toHtmlEscaped());
}

} // namespace

const HelpIndex& HelpLibrary::index()
{
    return loaded().index;
}

QString HelpLibrary::loadError()
{
    return loaded().error;
}

QString HelpLibrary::page(const QString& key)
{
    const std::string html = index().page(key.toStdString());
    if (html.empty()) {
        if (!loadError().isEmpty()) {
            return notFound(loadError());
        }
        return notFound(QStringLiteral("There is no help topic named %1.").arg(key));
    }
    return QString::fromStdString(html);
}

QString HelpLibrary::missingPage(std::uint32_t context, const QString& key)
{
    QString what = QStringLiteral("There is no help topic numbered 0x%1")
                       .arg(context, 5, 16, QLatin1Char('0'));
    if (!key.isEmpty()) {
        what += QStringLiteral(" (%1)").arg(key);
    }
    return notFound(what + QLatin1Char('.'));
}
