// What task views that run workers share: the end of a view with a running
// worker (OnTaskViewDestroy) and the message for a worker that failed with an
// exception.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kalvor::platform {
class TaskThread;
}

// The view's destruction: sets the stop event of a running worker and waits
// for it under the wait cursor, keeping the event loop turning, so that a
// worker waiting on the user-interface thread gets Cancel and ends. No signal
// of the worker reaches the view afterwards.
void OnTaskViewDestroy(kalvor::platform::TaskThread& thread);

// Shows the text of an exception that ended a worker (TASK_FAILED with a
// message): an error box with the program's caption. Nothing for an empty text.
void ShowTaskFailure(const QString& failure, QWidget* owner = nullptr);

// Runs work on a worker thread while a modal wait window with the text is
// shown (it cannot be closed meanwhile); the user-interface thread keeps
// turning. Returns what the work returned (false when no worker could start).
bool RunWithWaitWindow(const QString& text, const std::function<bool()>& work, QWidget* owner = nullptr);
