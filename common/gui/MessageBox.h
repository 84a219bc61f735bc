#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>
#include <string_view>

// The one way the program shows a message box: a modal box on the GUI thread that answers the
// button pressed. A test answers the next box in advance, so that no test ever waits on one.
class MessageBox final
{
public:
    // What a box was asked to show.
    struct Request
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    };

    // Shows `text` under `caption` with `icon` and `buttons` (`defaultButton`, when given,
    // pressed by Enter), modal over `parent` (none: over the application), and answers the
    // button pressed; Escape and the close button answer the box's escape button. GUI thread.
    static QMessageBox::StandardButton
    show(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
         QMessageBox::StandardButtons buttons = QMessageBox::Ok,
         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // A stored text as a box shows it: UTF-8, every "\r" (or "\r\n") a line break.
    static QString screenText(std::string_view text);

    // Test hook: the next box is not shown and `show` answers `answer` in its place; the hook
    // then is spent, and the box after it is shown again. GUI thread.
    static void answerNext(QMessageBox::StandardButton answer);
    // What the last box answered by the hook was asked to show; none before the first.
    static std::optional<Request> lastAnswered();

private:
    static std::optional<QMessageBox::StandardButton> s_nextAnswer;
    static std::optional<Request> s_lastAnswered;
};
