#include "qt/ProgressWatcher.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

ProgressWatcher::ProgressWatcher(QString captionStart)
    : m_captionStart(std::move(captionStart))
{
    qApp->installEventFilter(this);
}

ProgressWatcher::~ProgressWatcher()
{
    qApp->removeEventFilter(this);
}

bool ProgressWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide) {
        return false;
    }
    auto* window = qobject_cast<QWidget*>(watched);
    if (window == nullptr || !window->isWindow()
        || !window->windowTitle().startsWith(m_captionStart)) {
        return false;
    }
    auto* bar = window->findChild<QProgressBar*>(QStringLiteral("progressBar"));
    if (event->type() == QEvent::Show) {
        ++shows;
        caption = window->windowTitle();
        auto* label = window->findChild<QLabel*>(QStringLiteral("versionLabel"));
        version = label != nullptr ? label->text() : QString();
        modality = window->windowModality();
        owner = window->parentWidget();
        maximum = bar->maximum();
        connect(bar, &QProgressBar::valueChanged, this,
                [this](int value) { values.append(value); });
    } else {
        ++hides;
        statusAtClose = window->findChild<QLabel*>(QStringLiteral("statusText"))->text();
        valueAtClose = bar->value();
        cancelEnabledAtClose
            = window->findChild<QPushButton*>(QStringLiteral("cancelButton"))->isEnabled();
    }
    return false;
}
