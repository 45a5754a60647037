// One cursor for the whole program while a scope lives, the one before it back however the scope
// ends: the hourglass while the program waits on a file or on the system, the arrow for a
// message box shown meanwhile.
#pragma once

#include <QApplication>

namespace kv {

class TCursorOverride {
public:
    explicit TCursorOverride(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~TCursorOverride() { QApplication::restoreOverrideCursor(); }
    TCursorOverride(const TCursorOverride&) = delete;
    TCursorOverride& operator=(const TCursorOverride&) = delete;
};

} // namespace kv
