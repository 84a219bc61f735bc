#pragma once

#include "directories/UserPrompt.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <string_view>

// The questions and messages of the checks and directories as real message boxes (through
// MessageBox), modal over a window of the program. Calls from other threads are carried to the
// GUI thread and wait there for the answer.
class BoxPrompt final : public UserPrompt
{
public:
    // Boxes over `parent` (null, or once it is gone: over the application).
    explicit BoxPrompt(QWidget* parent = nullptr);

    // A stored text as the screen shows it: UTF-8, every "\r" a line break.
    static QString screenText(std::string_view text);

    void showMessage(std::string_view text, std::string_view caption, PromptIcon icon) override;
    bool askYesNo(std::string_view text, std::string_view caption, PromptIcon icon) override;
    // Shows the request's message and offers to create the file at its path ("Yes") or to go on
    // without it.
    LocateChoice locateFile(const LocateRequest& request) override;
    void reportDatabaseError(std::string_view context, std::string_view description,
                             int code) override;

private:
    // Shows one box on the GUI thread and answers its button (No without an application).
    int ask(const QString& text, const QString& caption, PromptIcon icon, int buttons,
            int defaultButton);

    QPointer<QWidget> m_parent;
};
