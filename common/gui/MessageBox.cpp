#include "gui/MessageBox.h"

std::optional<QMessageBox::StandardButton> MessageBox::s_nextAnswer;
std::optional<MessageBox::Request> MessageBox::s_lastAnswered;

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon,
                                             const QString& caption, const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    if (s_nextAnswer) {
        const QMessageBox::StandardButton answer = *s_nextAnswer;
        s_nextAnswer.reset();
        s_lastAnswered = Request {icon, caption, text, buttons};
        return answer;
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    // exec() answers the standard button pressed, or the escape button on Escape and close.
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBox::answerNext(QMessageBox::StandardButton answer)
{
    s_nextAnswer = answer;
}

std::optional<MessageBox::Request> MessageBox::lastAnswered()
{
    return s_lastAnswered;
}

QString MessageBox::screenText(std::string_view text)
{
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}
