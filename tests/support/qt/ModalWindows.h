#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

// Runs `act` on the modal window that the next step opens (null when none opened), from inside
// its event loop.
inline void onNextModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] { act(QApplication::activeModalWidget()); });
}

// The same for a modal dialog (null when the window that opened is not one).
inline void onNextDialog(std::function<void(QDialog*)> act)
{
    onNextModal([act = std::move(act)](QWidget* modal) { act(qobject_cast<QDialog*>(modal)); });
}

// The child of `parent` with the object name; a test that asks for a missing control stops.
template<typename T>
T* childOf(const QObject* parent, const char* name)
{
    T* widget = parent ? parent->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!widget)
        qFatal("no %s", name);
    return widget;
}

// Clicks a check box or radio button on its mark (a click beside its text misses it).
inline void clickBox(QAbstractButton* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}
