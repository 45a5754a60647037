// The main window's global hotkeys, its docking beside DromEd's window, and the settings
// dialog that changes both.
#include "dromed/DromEdWindow.h"
#include "workspace/Docking.h"
#include "workspace/Hotkeys.h"
#include "workspace/Settings.h"
#include "ui/ActionGuard.h"
#include "workspace/ui/MainWindow.h"
#include "workspace/ui/SettingsDialog.h"

#include <QAction>
#include <QLayout>
#include <QTimer>

namespace kv {

void TFrmKvMain::CreateDockingAndHotkeys() {
    TimerDock = new QTimer(this);
    TimerDock->setObjectName("TimerDock");
    TimerDock->setInterval(1000);
    connect(TimerDock, &QTimer::timeout, this,
            [this] { RunGuarded(this, prompts_, [this] { TimerDockTimer(); }); });
    platform_.SetHotKeyHandler([this](int id) { HotKeyPressed(id); });
    // Docked beside DromEd the window takes whatever strip of the screen is left, however
    // narrow; the user's own resizing is not bound by the contents either.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
}

void TFrmKvMain::ApplySettings() {
    UnregisterHotkeys();
    RegisterOneHotkey(registeredHkAdd_, Settings.HkAdd, kHotkeyAddId, "adding DromEd selection");
    RegisterOneHotkey(registeredHkSel_, Settings.HkSel, kHotkeySelId, "selecting DromEd selection");
    RegisterOneHotkey(registeredHkTog_, Settings.HkTog, kHotkeyTogId,
                      "switching between DromEd/Korvane");
    ApplyDockMenu();
    UpdateDocking(true);
}

void TFrmKvMain::UnregisterHotkeys() {
    const std::pair<std::uint16_t*, int> hotkeys[] = {{&registeredHkAdd_, kHotkeyAddId},
                                                      {&registeredHkSel_, kHotkeySelId},
                                                      {&registeredHkTog_, kHotkeyTogId}};
    for (const auto& [registered, id] : hotkeys) {
        if (*registered != 0) platform_.UnregisterHotKey(ownWindow_, id);
        *registered = 0;
    }
}

void TFrmKvMain::RegisterOneHotkey(std::uint16_t& registered, std::uint16_t shortcut, int id,
                                   const std::string& description) {
    if (registered != 0) platform_.UnregisterHotKey(ownWindow_, id);
    registered = 0;
    // The shortcut names the virtual key itself, so it is registered as it stands: function
    // keys and other keys that type no character work as well as letters and digits.
    if (shortcut == 0 || ShortcutKey(shortcut) == 0) return;
    const std::string text = ShortcutText(shortcut);
    if (platform_.RegisterHotKey(ownWindow_, id, ShortcutModifiers(shortcut),
                                 ShortcutKey(shortcut))) {
        Log("Hotkey " + text + " registered for " + description);
        registered = shortcut;
    } else {
        LogError("Failed to register hotkey " + text + " for " + description);
    }
}

void TFrmKvMain::HotKeyPressed(int id) {
    switch (id) {
    case kHotkeyAddId: ActAddDromEdSel->trigger(); break;
    case kHotkeySelId: ActSelDromEdSel->trigger(); break;
    case kHotkeyTogId: ActToggleWindows->trigger(); break;
    default: break;
    }
}

void TFrmKvMain::ActToggleWindowsExecute() {
    const THwnd foreground = platform_.GetForegroundWindow();
    THwnd dromEd = 0;
    try {
        dromEd = FindDromEdWindow(platform_);
    } catch (const std::exception&) {
        return; // nothing to switch to
    }
    if (dromEd == foreground) {
        ActivateWindow(platform_, ownWindow_);
        raise();
        activateWindow();
    } else {
        BringDromEdToFront(platform_);
    }
}

void TFrmKvMain::TimerDockTimer() { UpdateDocking(false); }

void TFrmKvMain::UpdateDocking(bool force) {
    if (Settings.Dock == dsNone) {
        TimerDock->stop();
    } else if (!TimerDock->isActive()) {
        TimerDock->start();
    }
    THwnd dromEd = 0;
    try {
        dromEd = FindDromEdWindow(platform_);
    } catch (const std::exception&) {
        return; // docks as soon as DromEd's window is there
    }
    TRect r;
    TRect work;
    if (!platform_.GetWindowRect(dromEd, r) || !platform_.GetWorkArea(work)) return;
    if (r.Left < 0 && r.Top < 0 && r.Right < 0 && r.Bottom < 0) return; // minimised
    if (Settings.Push) {
        const TRect pushed = PushedDromEdRect(Settings.Dock, r, work);
        if (pushed != r) {
            platform_.MoveWindow(dromEd, pushed.Left, pushed.Top, pushed.Width(), pushed.Height(),
                                 true);
            if (!platform_.GetWindowRect(dromEd, r)) return;
        }
    }
    if (!force && r == lastDromEdRect_) return;
    lastDromEdRect_ = r;
    const std::optional<TRect> m = DockedMainRect(Settings.Dock, r, work);
    if (!m) return;
    // The rectangle is the whole window; Qt places the client area inside the frame.
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const int left = client.left() - frame.left();
    const int top = client.top() - frame.top();
    const int right = frame.right() - client.right();
    const int bottom = frame.bottom() - client.bottom();
    setGeometry(m->Left + left, m->Top + top, m->Width() - left - right,
                m->Height() - top - bottom);
    if (ownWindow_ != 0) {
        platform_.MoveWindow(ownWindow_, m->Left, m->Top, m->Width(), m->Height(), true);
    }
}

void TFrmKvMain::ActSettingsExecute() {
    UnregisterHotkeys();
    try {
        if (EditSettings(this, prompts_, Settings)) SaveSettings(Settings, settingsFile_);
    } catch (...) {
        ApplySettings(); // the hotkeys and the docking come back whatever happened
        throw;
    }
    ApplySettings();
}

} // namespace kv
