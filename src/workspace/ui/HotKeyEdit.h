// A hot-key control: shows a key combination and takes the next one the user presses. Its value
// is the settings' 16-bit shortcut (virtual key in the low byte, kShortcutShift, kShortcutCtrl,
// kShortcutAlt); a key pressed without Shift, Ctrl or Alt is no hotkey and leaves it empty.
#pragma once

#include <QLineEdit>

#include <cstdint>

namespace kv {

// The Windows virtual-key code of a Qt key on a US keyboard; 0 for keys a hotkey cannot use
// (modifiers alone, unknown keys). Shifted symbols give their key ("!" gives "1").
[[nodiscard]] std::uint8_t VirtualKeyOfQtKey(int key, bool keypad);

class THotKeyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit THotKeyEdit(QWidget* parent = nullptr);

    [[nodiscard]] std::uint16_t HotKey() const { return hotKey_; }
    void SetHotKey(std::uint16_t shortcut);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    std::uint16_t hotKey_ = 0;
};

} // namespace kv
