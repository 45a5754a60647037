#include "simdromed/ui/SimHotKeys.h"

#include "platform/sim/SimDesktop.h"
#include "simdromed/ui/SimDromEdWindow.h"
#include "simdromed/ui/SimKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace kv {

TSimHotKeyFilter::TSimHotKeyFilter(sim::TSimDesktop& desktop, QObject* parent)
    : QObject(parent), desktop_(desktop) {}

bool TSimHotKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    // Key events reach the window system's window first and then the widgets; the widget alone
    // counts, or one press would be played twice.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat() || QApplication::activeModalWidget() != nullptr) return false;
    if (qobject_cast<const TFrmSimDromEd*>(static_cast<QWidget*>(watched)->window()) != nullptr) {
        return false;
    }
    const TVirtualKey vk = VirtualKeyOf(*key, desktop_);
    if (vk.Vk == 0 || vk.Vk == win::VK_SHIFT || vk.Vk == win::VK_CONTROL || vk.Vk == win::VK_MENU) {
        return false;
    }
    return desktop_.PressHotKey(HotKeyModifiersOf(static_cast<int>(key->modifiers())), vk.Vk);
}

} // namespace kv
