// Qt key events as the core's key values: virtual-key codes, the shift
// state, and the characters a key event types.
#pragma once

#include <QKeyEvent>
#include <cstdint>

#include "grid/grid_types.h"

namespace plu {

// The virtual-key code of a key event, 0 for keys the core has no code for.
uint16_t VirtualKey(const QKeyEvent& event);
TShiftState ShiftOf(Qt::KeyboardModifiers modifiers);
TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
TMouseButton ButtonOf(Qt::MouseButton button);

}  // namespace plu
