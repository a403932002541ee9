#include "hostinput.h"

#include <QHash>
#include <QKeyEvent>

namespace lensbox {

namespace {

const QHash<int, short> &namedKeyCodes()
{
    static const QHash<int, short> codes{
        {Qt::Key_Backspace, 8},     {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9},
        {Qt::Key_Clear, 12},        {Qt::Key_Return, 13},      {Qt::Key_Enter, 13},
        {Qt::Key_Shift, 16},        {Qt::Key_Control, 17},     {Qt::Key_Alt, 18},
        {Qt::Key_Pause, 19},        {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},
        {Qt::Key_Space, 32},        {Qt::Key_PageUp, 33},      {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},          {Qt::Key_Home, 36},        {Qt::Key_Left, 37},
        {Qt::Key_Up, 38},           {Qt::Key_Right, 39},       {Qt::Key_Down, 40},
        {Qt::Key_Print, 44},        {Qt::Key_Insert, 45},      {Qt::Key_Delete, 46},
        {Qt::Key_Help, 47},         {Qt::Key_Meta, 91},        {Qt::Key_Menu, 93},
        {Qt::Key_NumLock, 144},     {Qt::Key_ScrollLock, 145}, {Qt::Key_Semicolon, 186},
        {Qt::Key_Equal, 187},       {Qt::Key_Comma, 188},      {Qt::Key_Minus, 189},
        {Qt::Key_Period, 190},      {Qt::Key_Slash, 191},      {Qt::Key_QuoteLeft, 192},
        {Qt::Key_BracketLeft, 219}, {Qt::Key_Backslash, 220},  {Qt::Key_BracketRight, 221},
        {Qt::Key_Apostrophe, 222},
    };
    return codes;
}

const QHash<int, short> &keypadKeyCodes()
{
    static const QHash<int, short> codes{
        {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
        {Qt::Key_Period, 110},   {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
    };
    return codes;
}

} // namespace

short keyCodeFor(const QKeyEvent &event)
{
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<short>(96 + (key - Qt::Key_0));
    if (keypad && keypadKeyCodes().contains(key))
        return keypadKeyCodes().value(key);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<short>(key); // letters and digits keep their ASCII codes
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<short>(112 + (key - Qt::Key_F1));
    return namedKeyCodes().value(key, 0);
}

short keyAsciiFor(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.isEmpty() || text.front().unicode() > 0x7FFF)
        return 0;
    return static_cast<short>(text.front().unicode());
}

short shiftStateFor(Qt::KeyboardModifiers modifiers)
{
    short state = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        state |= 1;
    if (modifiers.testFlag(Qt::ControlModifier))
        state |= 2;
    if (modifiers.testFlag(Qt::AltModifier))
        state |= 4;
    return state;
}

short buttonsFor(Qt::MouseButtons buttons)
{
    short value = 0;
    if (buttons.testFlag(Qt::LeftButton))
        value |= kLeftButton;
    if (buttons.testFlag(Qt::RightButton))
        value |= kRightButton;
    if (buttons.testFlag(Qt::MiddleButton))
        value |= kMiddleButton;
    return value;
}

} // namespace lensbox
