// Keeps a top-level Qt window and its window on the simulated desktop together: where one is
// moved or sized the other follows, and the foreground of the one becomes the active window of
// the other. Each side is only written when it changed since the last agreement, so the two never
// chase each other.
#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

namespace kv::sim {
class TSimDesktop;
struct TSimWindow;
} // namespace kv::sim

namespace kv {

class TSimWindowMirror : public QObject {
    Q_OBJECT
public:
    // Window must outlive the mirror (make the mirror its child); Handle may vanish any time.
    TSimWindowMirror(sim::TSimDesktop& desktop, QWidget* window, THwnd handle);

    [[nodiscard]] THwnd Handle() const { return handle_; }
    // Other simulated windows whose foreground stands for this window (its dialogs).
    std::function<bool(THwnd)> OwnsWindow;
    // Called after the simulated window took the Qt window's rectangle, to set its frame widths.
    std::function<void(sim::TSimWindow&)> AfterPush;

    // The simulated side to the Qt side: rectangle and foreground.
    void Pull();
    // The Qt side to the simulated side.
    void Push();

    // The Qt window's outer rectangle, frame included, in screen coordinates.
    [[nodiscard]] static TRect FrameRect(const QWidget& window);
    // Places the Qt window so that its outer rectangle is Rect.
    static void SetFrameRect(QWidget& window, const TRect& rect);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool IsMine(THwnd window) const;

    sim::TSimDesktop& desktop_;
    QWidget* window_;
    THwnd handle_;
    TRect agreed_; // the rectangle both sides had when they last agreed
    THwnd lastForeground_ = 0;
    bool pulling_ = false;
    int settling_ = 0; // polls left for the window system to carry out the last pull
    QTimer timer_;
};

} // namespace kv
