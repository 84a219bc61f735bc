#include "sending/gui/SendingIcons.h"

#include <QPixmap>

namespace SendingIcons {

QString statusIconPath(ResultStatus status)
{
    switch (status) {
    case ResultStatus::ResultSent:
        return QStringLiteral(":/sending/icons/status-sent.svg");
    case ResultStatus::ResultRejected:
        return QStringLiteral(":/sending/icons/status-rejected.svg");
    case ResultStatus::ResultFailed:
        return QStringLiteral(":/sending/icons/status-failed.svg");
    case ResultStatus::ResultNotDeliverable:
        return QStringLiteral(":/sending/icons/status-undeliverable.svg");
    case ResultStatus::ResultDeleted:
        break;
    }
    return {};
}

QIcon statusIcon(ResultStatus status)
{
    const QString path = statusIconPath(status);
    if (path.isEmpty()) {
        // A blank picture keeps the row's text in line with the rows that have one.
        QPixmap blank(14, 13);
        blank.fill(Qt::transparent);
        return QIcon(blank);
    }
    return QIcon(path);
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/sending/icons/norvane.svg"));
}

} // namespace SendingIcons
