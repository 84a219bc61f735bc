#pragma once

#include "DirectoryTestSupport.h"
#include "qt/ModalWindows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

// Answers the message boxes that open, one after another, with the scripted buttons, and
// keeps their texts: for commands that ask more than one question in a row (the message
// box's own test hook answers one box only).
class BoxScript final : public QObject
{
public:
    explicit BoxScript(std::deque<QMessageBox::StandardButton> answers)
        : m_answers(std::move(answers))
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxScript::poll);
        m_timer.start(5);
    }

    // The texts of the boxes answered, in order.
    QStringList texts;
    // Whether every scripted answer was given.
    bool done() const { return m_answers.empty(); }

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || m_answers.empty()) {
            return;
        }
        QAbstractButton* button = box->button(m_answers.front());
        m_answers.pop_front();
        texts << box->text();
        if (button) {
            button->click();
        } else {
            box->reject();
        }
    }

    std::deque<QMessageBox::StandardButton> m_answers;
    QTimer m_timer;
};
