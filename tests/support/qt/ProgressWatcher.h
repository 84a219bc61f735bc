#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

// The progress dialog of a send as a test sees it from outside (the dialog belongs to a
// companion module): caught by an application-wide event filter when a window whose caption
// begins with the given text is shown and when it is hidden.
class ProgressWatcher final : public QObject
{
public:
    // Watches for windows whose caption begins with `captionStart`.
    explicit ProgressWatcher(QString captionStart);
    ~ProgressWatcher() override;

    int shows = 0;
    int hides = 0;
    // When shown.
    QString caption;
    QString version; // "" when there is no version label
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* owner = nullptr; // the window it stands over

    int maximum = -1;
    // Every value the progress bar took while shown.
    QList<int> values;
    // When hidden.
    QString statusAtClose;
    int valueAtClose = -1;
    bool cancelEnabledAtClose = true;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_captionStart;
};
