#include "addressing/gui/BoxPrompt.h"

#include "gui/GuiThread.h"
#include "gui/MessageBox.h"

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Stop:
        return QMessageBox::Critical;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

BoxPrompt::BoxPrompt(QWidget* parent)
    : m_parent(parent)
{ }

QString BoxPrompt::screenText(std::string_view text)
{
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

int BoxPrompt::ask(const QString& text, const QString& caption, PromptIcon icon, int buttons,
                   int defaultButton)
{
    if (!GuiThread::available())
        return QMessageBox::No;
    // The widget pointer is read on the GUI thread only, where the widget lives.
    return GuiThread::call([&] {
        return static_cast<int>(
            MessageBox::show(m_parent.data(), boxIcon(icon), caption, text,
                             static_cast<QMessageBox::StandardButtons>(buttons),
                             static_cast<QMessageBox::StandardButton>(defaultButton)));
    });
}

void BoxPrompt::showMessage(std::string_view text, std::string_view caption, PromptIcon icon)
{
    ask(screenText(text), screenText(caption), icon, QMessageBox::Ok, QMessageBox::Ok);
}

bool BoxPrompt::askYesNo(std::string_view text, std::string_view caption, PromptIcon icon)
{
    return ask(screenText(text), screenText(caption), icon, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes)
        == QMessageBox::Yes;
}

LocateChoice BoxPrompt::locateFile(const LocateRequest& request)
{
    QString text = screenText(request.message);
    if (request.createFailed)
        text += QLatin1Char('\n') + screenText(request.createError);
    text += QStringLiteral("\nCreate a new file there?");
    const bool create = ask(text, QStringLiteral("Norvane Desk: Error"), PromptIcon::Exclamation,
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
    return {create ? LocateChoice::Action::Create : LocateChoice::Action::Cancel, {}};
}

void BoxPrompt::reportDatabaseError(std::string_view context, std::string_view description,
                                    int code)
{
    const QString caption
        = context.empty() ? QStringLiteral("Address Book Error") : screenText(context);
    ask(screenText(description) + QStringLiteral("\n(error %1)").arg(code), caption,
        PromptIcon::Stop, QMessageBox::Ok, QMessageBox::Ok);
}
