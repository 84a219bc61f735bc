#include "directories/gui/DeskPrompt.h"

#include "directories/gui/LocateDatabaseDialog.h"
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

// A text and more below it.
QString boxText(std::string_view text, std::string_view more)
{
    return MessageBox::screenText(text) + QLatin1Char('\n') + MessageBox::screenText(more);
}

} // namespace

DeskPrompt::DeskPrompt(QWidget* parent)
    : m_parent(parent)
{ }

void DeskPrompt::showMessage(std::string_view text, std::string_view caption, PromptIcon icon)
{
    if (!GuiThread::isCurrent()) {
        m_background.showMessage(text, caption, icon);
        return;
    }
    MessageBox::show(m_parent, boxIcon(icon), MessageBox::screenText(caption),
                     MessageBox::screenText(text));
}

bool DeskPrompt::askYesNo(std::string_view text, std::string_view caption, PromptIcon icon)
{
    if (!GuiThread::isCurrent())
        return m_background.askYesNo(text, caption, icon);
    return MessageBox::show(m_parent, boxIcon(icon), MessageBox::screenText(caption),
                            MessageBox::screenText(text), QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::Yes)
        == QMessageBox::Yes;
}

LocateChoice DeskPrompt::locateFile(const LocateRequest& request)
{
    if (!GuiThread::isCurrent())
        return m_background.locateFile(request);
    if (request.createFailed) {
        MessageBox::show(m_parent, QMessageBox::Critical, QStringLiteral("Norvane Desk: Error"),
                         request.createError.empty()
                             ? QStringLiteral("Create database file failed")
                             : boxText("Create database file failed", request.createError));
    }
    LocateDatabaseDialog dialog(request, m_parent);
    return dialog.choose();
}

void DeskPrompt::reportDatabaseError(std::string_view context, std::string_view description,
                                     int code)
{
    if (!GuiThread::isCurrent()) {
        m_background.reportDatabaseError(context, description, code);
        return;
    }
    const QString text
        = MessageBox::screenText(description) + QStringLiteral("\n(error %1)").arg(code);
    MessageBox::show(m_parent, QMessageBox::Critical,
                     context.empty() ? QStringLiteral("Norvane Desk: Error")
                                     : MessageBox::screenText(context),
                     text);
}
