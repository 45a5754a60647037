#include "simdromed/ui/SimKeys.h"

#include "platform/Platform.h"

#include <QKeyEvent>

namespace kv {

namespace {

struct TNamedKey {
    int QtKey;
    std::uint8_t Vk;
};

constexpr TNamedKey kNamedKeys[] = {
    {Qt::Key_Shift, win::VK_SHIFT},   {Qt::Key_Control, win::VK_CONTROL},
    {Qt::Key_Alt, win::VK_MENU},      {Qt::Key_AltGr, win::VK_MENU},
    {Qt::Key_Return, win::VK_RETURN}, {Qt::Key_Enter, win::VK_RETURN},
    {Qt::Key_Escape, win::VK_ESCAPE}, {Qt::Key_Backspace, win::VK_BACK},
    {Qt::Key_Tab, win::VK_TAB},       {Qt::Key_Backtab, win::VK_TAB},
    {Qt::Key_Space, win::VK_SPACE},   {Qt::Key_Left, win::VK_LEFT},
    {Qt::Key_Up, win::VK_UP},         {Qt::Key_Right, win::VK_RIGHT},
    {Qt::Key_Down, win::VK_DOWN},     {Qt::Key_PageUp, win::VK_PRIOR},
    {Qt::Key_PageDown, win::VK_NEXT}, {Qt::Key_Home, win::VK_HOME},
    {Qt::Key_End, win::VK_END},       {Qt::Key_Insert, win::VK_INSERT},
    {Qt::Key_Delete, win::VK_DELETE}, {Qt::Key_CapsLock, win::VK_CAPITAL},
};

} // namespace

TVirtualKey VirtualKeyOf(int qtKey, TPlatform& layout) {
    for (const TNamedKey& named : kNamedKeys) {
        if (named.QtKey == qtKey) return {named.Vk, false};
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return {static_cast<std::uint8_t>(win::VK_F1 + (qtKey - Qt::Key_F1)), false};
    }
    // Qt names the printable keys by their Latin-1 character, upper case for letters.
    if (qtKey > ' ' && qtKey < 0x7F) {
        const char ch = static_cast<char>(qtKey);
        const std::int16_t scan = layout.VkKeyScan(ch);
        if (scan == -1) return {};
        const bool letter = ch >= 'A' && ch <= 'Z';
        return {static_cast<std::uint8_t>(scan & 0xFF), !letter && (scan & 0x100) != 0};
    }
    return {};
}

TVirtualKey VirtualKeyOf(const QKeyEvent& event, TPlatform& layout) {
    // The text tells Shift+letter from letter and the shifted punctuation that Qt may report
    // under the unshifted key; it is empty or a control character while Ctrl or Alt is held.
    const QString text = event.text();
    if (text.size() == 1 && text[0].unicode() > ' ' && text[0].unicode() < 0x7F) {
        const std::int16_t scan = layout.VkKeyScan(static_cast<char>(text[0].unicode()));
        if (scan != -1) {
            return {static_cast<std::uint8_t>(scan & 0xFF), (scan & 0x100) != 0};
        }
    }
    return VirtualKeyOf(event.key(), layout);
}

std::uint32_t HotKeyModifiersOf(int qtModifiers) {
    std::uint32_t modifiers = 0;
    if ((qtModifiers & Qt::ShiftModifier) != 0) modifiers |= win::MOD_SHIFT;
    if ((qtModifiers & Qt::ControlModifier) != 0) modifiers |= win::MOD_CONTROL;
    if ((qtModifiers & Qt::AltModifier) != 0) modifiers |= win::MOD_ALT;
    return modifiers;
}

} // namespace kv
