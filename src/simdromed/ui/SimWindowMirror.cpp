#include "simdromed/ui/SimWindowMirror.h"

#include "platform/sim/SimDesktop.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace kv {

namespace {

// Often enough that a window pushed aside by the program seems to move at once.
constexpr int kPollMs = 100;
constexpr int kSettlePolls = 5;

} // namespace

TSimWindowMirror::TSimWindowMirror(sim::TSimDesktop& desktop, QWidget* window, THwnd handle)
    : QObject(window), desktop_(desktop), window_(window), handle_(handle) {
    if (const sim::TSimWindow* w = desktop_.Window(handle_)) agreed_ = w->Props.Rect;
    lastForeground_ = desktop_.GetForegroundWindow();
    window_->installEventFilter(this);
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &TSimWindowMirror::Pull);
    timer_.start();
}

TRect TSimWindowMirror::FrameRect(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

void TSimWindowMirror::SetFrameRect(QWidget& window, const TRect& rect) {
    // move() places the frame, resize() sizes the inside: the frame's own widths come off.
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    const int extraWidth = frame.width() - inner.width();
    const int extraHeight = frame.height() - inner.height();
    window.move(rect.Left, rect.Top);
    window.resize(std::max(1, rect.Width() - extraWidth), std::max(1, rect.Height() - extraHeight));
}

bool TSimWindowMirror::IsMine(THwnd window) const {
    return window != 0 && (window == handle_ || (OwnsWindow && OwnsWindow(window)));
}

void TSimWindowMirror::Pull() {
    sim::TSimWindow* w = desktop_.Window(handle_);
    if (w == nullptr) return;
    if (!w->Minimised && w->Props.Rect != agreed_) {
        agreed_ = w->Props.Rect;
        pulling_ = true;
        SetFrameRect(*window_, agreed_);
        pulling_ = false;
        settling_ = kSettlePolls;
    } else if (!w->Minimised && window_->isVisible() && FrameRect(*window_) != agreed_) {
        // A change of the Qt window that came without an event (the frame's widths became
        // known after showing); a window system that places windows later gets a few polls
        // to carry out the last pull before the Qt side counts as changed.
        if (settling_ > 0) {
            --settling_;
        } else {
            Push();
        }
    } else {
        settling_ = 0;
    }
    const THwnd foreground = desktop_.GetForegroundWindow();
    if (foreground != lastForeground_) {
        lastForeground_ = foreground;
        if (IsMine(foreground) && window_->isVisible() && !window_->isActiveWindow()) {
            window_->raise();
            window_->activateWindow();
            // A message box open meanwhile stays above the window it belongs to, as a window
            // manager would keep it.
            if (QWidget* modal = QApplication::activeModalWidget();
                modal != nullptr && modal != window_) {
                modal->raise();
                modal->activateWindow();
            }
        }
    }
}

void TSimWindowMirror::Push() {
    sim::TSimWindow* w = desktop_.Window(handle_);
    if (w == nullptr || w->Minimised || !window_->isVisible()) return;
    const TRect rect = FrameRect(*window_);
    if (rect != w->Props.Rect) {
        desktop_.MoveWindow(handle_, rect.Left, rect.Top, rect.Width(), rect.Height(), true);
    }
    agreed_ = rect;
    if (AfterPush) AfterPush(*w);
}

bool TSimWindowMirror::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
            if (!pulling_) Push();
            break;
        case QEvent::WindowActivate:
            if (!IsMine(desktop_.GetForegroundWindow()) && desktop_.IsWindow(handle_)) {
                desktop_.SetForegroundWindow(handle_);
            }
            lastForeground_ = desktop_.GetForegroundWindow();
            break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kv
