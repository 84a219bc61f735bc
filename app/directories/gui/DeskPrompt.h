#pragma once

#include "directories/HeadlessPrompt.h"
#include "directories/UserPrompt.h"

#include <QPointer>
#include <QWidget>

#include <memory>

// The directories' questions as the desktop program puts them: message boxes and the locate
// dialog over the program's window on the GUI thread. A background thread (the gateway, the
// scheduler) never waits for a user: its questions go to the log and are answered as a
// server's would be, and the box is queued to the GUI thread (which does not wait either).
class DeskPrompt final : public UserPrompt
{
public:
    // Boxes open over `parent` (may be null, and may be set later).
    explicit DeskPrompt(QWidget* parent = nullptr);

    // The window the boxes open over (GUI thread).
    void setParent(QWidget* parent) { *m_parent = parent; }

    void showMessage(std::string_view text, std::string_view caption, PromptIcon icon) override;
    bool askYesNo(std::string_view text, std::string_view caption, PromptIcon icon) override;
    LocateChoice locateFile(const LocateRequest& request) override;
    void reportDatabaseError(std::string_view context, std::string_view description,
                             int code) override;

private:
    // Read and written on the GUI thread only; a background thread hands the holder on to the
    // box it queues, which looks at the window once it runs there.
    const std::shared_ptr<QPointer<QWidget>> m_parent;
    HeadlessPrompt m_background;
};
