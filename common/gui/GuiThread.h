#pragma once

#include <functional>

class QWidget;

// Where the windows may run: widgets exist on the GUI thread of a QApplication only, and other
// threads reach it by queued calls.
namespace GuiThread {

// Whether a QApplication (not just a core application) exists in the process.
bool available();
// Whether the calling thread is the QApplication's thread.
bool isCurrent();
// Queues `task` to run on the GUI thread after the tasks queued before it (from any thread);
// dropped when no application object exists. Never waits.
void post(std::function<void()> task);
// Runs `task` on the GUI thread and returns its answer: at once when called there, else by a
// queued call while the calling thread blocks (the GUI thread never waits for it). Requires
// available().
int call(const std::function<int()>& task);
// An opaque owner window (as a plug-in's host hands it over) as a widget, when it is one of
// this application's live widgets; null otherwise (an owner not made with Qt is ignored). GUI
// thread.
QWidget* ownerWidget(void* parentWindow);

} // namespace GuiThread
