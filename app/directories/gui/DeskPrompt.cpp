#include "directories/gui/DeskPrompt.h"

#include "directories/gui/LocateDatabaseDialog.h"
#include "gui/GuiThread.h"
#include "gui/MessageBox.h"

#include <QPointer>

#include <deque>

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

// A box asked for by a background thread.
struct PostedBox
{
    // The prompt's window as it is when the box opens (it may be gone by then).
    std::shared_ptr<QPointer<QWidget>> owner;
    QMessageBox::Icon icon;
    std::string caption;
    std::string text;
};

// Shows a box on the GUI thread from any other thread: queued, so neither thread waits. Boxes
// come up one after another in the order they were asked for, never stacked over each other
// (the queue is touched on the GUI thread only).
void postBox(std::shared_ptr<QPointer<QWidget>> parent, QMessageBox::Icon icon,
             const std::string& caption, const std::string& text)
{
    GuiThread::post([box = PostedBox {std::move(parent), icon, caption, text}] {
        static std::deque<PostedBox> waiting;
        static bool showing = false;
        waiting.push_back(box);
        if (showing) {
            return; // the box showing now opens this one after it
        }
        showing = true;
        while (!waiting.empty()) {
            const PostedBox next = waiting.front();
            waiting.pop_front();
            MessageBox::show(next.owner->data(), next.icon, MessageBox::screenText(next.caption),
                             MessageBox::screenText(next.text));
        }
        showing = false;
    });
}

} // namespace

DeskPrompt::DeskPrompt(QWidget* parent)
    : m_parent(std::make_shared<QPointer<QWidget>>(parent))
{ }

void DeskPrompt::showMessage(std::string_view text, std::string_view caption, PromptIcon icon)
{
    if (!GuiThread::isCurrent()) {
        m_background.showMessage(text, caption, icon);
        postBox(m_parent, boxIcon(icon), std::string(caption), std::string(text));
        return;
    }
    MessageBox::show(m_parent->data(), boxIcon(icon), MessageBox::screenText(caption),
                     MessageBox::screenText(text));
}

bool DeskPrompt::askYesNo(std::string_view text, std::string_view caption, PromptIcon icon)
{
    if (!GuiThread::isCurrent()) {
        // A server thread cannot wait for a user: it goes on with "No", and the user learns
        // what was asked and answered.
        const bool answer = m_background.askYesNo(text, caption, icon);
        postBox(m_parent, boxIcon(icon), std::string(caption),
                std::string(text) + "\r(answered \"No\" for a background task)");
        return answer;
    }
    return MessageBox::show(m_parent->data(), boxIcon(icon), MessageBox::screenText(caption),
                            MessageBox::screenText(text), QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::Yes)
        == QMessageBox::Yes;
}

LocateChoice DeskPrompt::locateFile(const LocateRequest& request)
{
    if (!GuiThread::isCurrent()) {
        const LocateChoice choice = m_background.locateFile(request);
        postBox(m_parent, QMessageBox::Critical, "Norvane Desk: Error",
                request.message
                    + (choice.action == LocateChoice::Action::Create
                           ? "A background task created the file."
                           : "A background task went on without the file."));
        return choice;
    }
    if (request.createFailed) {
        MessageBox::show(m_parent->data(), QMessageBox::Critical,
                         QStringLiteral("Norvane Desk: Error"),
                         request.createError.empty()
                             ? QStringLiteral("Create database file failed")
                             : boxText("Create database file failed", request.createError));
    }
    LocateDatabaseDialog dialog(request, m_parent->data());
    return dialog.choose();
}

void DeskPrompt::reportDatabaseError(std::string_view context, std::string_view description,
                                     int code)
{
    const std::string text = std::string(description) + "\n(error " + std::to_string(code) + ")";
    const std::string caption = context.empty() ? "Norvane Desk: Error" : std::string(context);
    if (!GuiThread::isCurrent()) {
        m_background.reportDatabaseError(context, description, code);
        postBox(m_parent, QMessageBox::Critical, caption, text);
        return;
    }
    MessageBox::show(m_parent->data(), QMessageBox::Critical, MessageBox::screenText(caption),
                     MessageBox::screenText(text));
}
