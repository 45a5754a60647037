#include "workspace/ui/HotKeyEdit.h"

#include "text/ui/QtText.h"
#include "workspace/Hotkeys.h"
#include "workspace/Settings.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace kv {

namespace {

constexpr std::array<std::pair<int, std::uint8_t>, 48> kKeys{{
    {Qt::Key_Space, 0x20},        {Qt::Key_Backspace, 0x08},  {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},        {Qt::Key_Pause, 0x13},      {Qt::Key_Escape, 0x1B},
    {Qt::Key_PageUp, 0x21},       {Qt::Key_PageDown, 0x22},   {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},         {Qt::Key_Left, 0x25},       {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},        {Qt::Key_Down, 0x28},       {Qt::Key_Print, 0x2C},
    {Qt::Key_Insert, 0x2D},       {Qt::Key_Delete, 0x2E},     {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA},    {Qt::Key_Colon, 0xBA},      {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},         {Qt::Key_Comma, 0xBC},      {Qt::Key_Less, 0xBC},
    {Qt::Key_Minus, 0xBD},        {Qt::Key_Underscore, 0xBD}, {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},      {Qt::Key_Slash, 0xBF},      {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},    {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB},    {Qt::Key_Backslash, 0xDC},  {Qt::Key_Bar, 0xDC},
    {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_QuoteDbl, 0xDE},     {Qt::Key_Exclam, '1'},      {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},    {Qt::Key_Dollar, '4'},      {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},   {Qt::Key_Ampersand, '7'},   {Qt::Key_Asterisk, '8'},
}};

// The keypad keys that are no digits.
constexpr std::array<std::pair<int, std::uint8_t>, 5> kKeypadKeys{{
    {Qt::Key_Asterisk, 0x6A},
    {Qt::Key_Plus, 0x6B},
    {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},
    {Qt::Key_Slash, 0x6F},
}};

} // namespace

std::uint8_t VirtualKeyOfQtKey(int key, bool keypad) {
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) {
        return static_cast<std::uint8_t>(0x60 + key - Qt::Key_0);
    }
    if (keypad) {
        for (const auto& [qt, vk] : kKeypadKeys) {
            if (qt == key) return vk;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<std::uint8_t>(key); // Qt and Windows share these codes
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return static_cast<std::uint8_t>(0x70 + key - Qt::Key_F1);
    }
    if (key == Qt::Key_ParenLeft) return '9';
    if (key == Qt::Key_ParenRight) return '0';
    for (const auto& [qt, vk] : kKeys) {
        if (qt == key) return vk;
    }
    return 0;
}

THotKeyEdit::THotKeyEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true); // typed characters are keys, not text
    setContextMenuPolicy(Qt::NoContextMenu);
    SetHotKey(0);
}

void THotKeyEdit::SetHotKey(std::uint16_t shortcut) {
    hotKey_ = shortcut;
    setText(shortcut == 0 ? QString("None") : ToQt(ShortcutText(shortcut)));
}

void THotKeyEdit::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    std::uint16_t bits = 0;
    if (mods.testFlag(Qt::ShiftModifier)) bits |= kShortcutShift;
    if (mods.testFlag(Qt::ControlModifier)) bits |= kShortcutCtrl;
    if (mods.testFlag(Qt::AltModifier)) bits |= kShortcutAlt;
    const std::uint8_t vk = VirtualKeyOfQtKey(event->key(), mods.testFlag(Qt::KeypadModifier));
    event->accept();
    if (vk == 0) {
        // A modifier on its own: show what is held until the key comes.
        if (bits != 0) {
            const QString held = ToQt(ShortcutText(bits));
            setText(held.left(held.lastIndexOf('+') + 1));
        }
        return;
    }
    SetHotKey(bits == 0 ? std::uint16_t{0} : static_cast<std::uint16_t>(bits | vk));
}

void THotKeyEdit::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    SetHotKey(hotKey_); // a modifier let go without a key: back to the value
}

} // namespace kv
