#pragma once
// Key handling as the key tables are written: the modifier state as one number
// (1 Shift, 2 Ctrl, 4 Alt), compared exactly.
#include <Qt>

namespace platform {

constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

inline int shiftMask(Qt::KeyboardModifiers m) {
    return (m.testFlag(Qt::ShiftModifier) ? kShiftMask : 0) |
           (m.testFlag(Qt::ControlModifier) ? kCtrlMask : 0) |
           (m.testFlag(Qt::AltModifier) ? kAltMask : 0);
}

}  // namespace platform
