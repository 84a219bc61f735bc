#include "gui/HelpTopics.h"

#include "gui/MessageBox.h"

#include <utility>

HelpTopics::Opener HelpTopics::s_opener;

bool HelpTopics::open(QWidget* parent, std::uint32_t context, const QString& key)
{
    if (context == 0) {
        return false;
    }
    if (s_opener) {
        s_opener(parent, context, key);
    } else {
        (void)MessageBox::show(parent, QMessageBox::Information,
                               QStringLiteral("Norvane Desk Help"), placeholderText(context, key));
    }
    return true;
}

void HelpTopics::setOpener(Opener opener)
{
    s_opener = std::move(opener);
}

QString HelpTopics::placeholderText(std::uint32_t context, const QString& key)
{
    QString text = QStringLiteral("The help topic 0x%1").arg(context, 5, 16, QLatin1Char('0'));
    if (!key.isEmpty()) {
        text += QStringLiteral(" (%1)").arg(key);
    }
    return text + QStringLiteral(" would open here.\nThe help pages are not installed yet.");
}
