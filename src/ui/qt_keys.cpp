#include "ui/qt_keys.h"

#include "grid/editor_keys.h"

namespace plu {

uint16_t VirtualKey(const QKeyEvent& event) {
    const int key = event.key();
    switch (key) {
        case Qt::Key_Backspace: return vk::Back;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return vk::Tab;
        case Qt::Key_Return:
        case Qt::Key_Enter: return vk::Return;
        case Qt::Key_Escape: return vk::Escape;
        case Qt::Key_PageUp: return vk::Prior;
        case Qt::Key_PageDown: return vk::Next;
        case Qt::Key_End: return vk::End;
        case Qt::Key_Home: return vk::Home;
        case Qt::Key_Left: return vk::Left;
        case Qt::Key_Up: return vk::Up;
        case Qt::Key_Right: return vk::Right;
        case Qt::Key_Down: return vk::Down;
        case Qt::Key_Insert: return vk::Insert;
        case Qt::Key_Delete: return vk::Delete;
        case Qt::Key_Space: return 0x20;
        default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<uint16_t>(vk::F1 + (key - Qt::Key_F1));
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint16_t>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint16_t>('0' + (key - Qt::Key_0));
    return 0;
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
    TShiftState s;
    // Backtab arrives with Shift held already.
    s = s.With(TShift::ssShift, modifiers.testFlag(Qt::ShiftModifier));
    s = s.With(TShift::ssCtrl, modifiers.testFlag(Qt::ControlModifier));
    s = s.With(TShift::ssAlt, modifiers.testFlag(Qt::AltModifier));
    return s;
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState s = ShiftOf(modifiers);
    s = s.With(TShift::ssLeft, buttons.testFlag(Qt::LeftButton));
    s = s.With(TShift::ssRight, buttons.testFlag(Qt::RightButton));
    s = s.With(TShift::ssMiddle, buttons.testFlag(Qt::MiddleButton));
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton button) {
    switch (button) {
        case Qt::RightButton: return TMouseButton::mbRight;
        case Qt::MiddleButton: return TMouseButton::mbMiddle;
        default: return TMouseButton::mbLeft;
    }
}

}  // namespace plu
