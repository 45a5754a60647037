// The application's default error handler: every action handler runs inside it, so an
// exception that escapes a command becomes an error message box, and the silent abort
// shows nothing.
#pragma once

#include <functional>

class QWidget;

namespace kv {

class TUiPrompts;

// Runs Handler; returns false when it ended with an exception (after showing it).
bool RunGuarded(QWidget* parent, TUiPrompts& prompts, const std::function<void()>& handler);

} // namespace kv
