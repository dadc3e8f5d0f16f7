#pragma once
// The tool windows' timers: an interval of 0 stops the timer, as the platform's timers did
// (a QTimer of interval 0 would fire whenever the event loop is idle).
#include <QString>

class QTimer;

namespace platform {

// 0 stops the timer; any other interval (re)starts it with that interval.
void setTimerInterval(QTimer* timer, int ms);
// The interval typed into a box; a text that is no valid interval (not a number, negative,
// too large) leaves the timer as it is and returns false.
bool applyTypedInterval(QTimer* timer, const QString& text);

}  // namespace platform
