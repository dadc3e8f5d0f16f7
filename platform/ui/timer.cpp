#include "platform/ui/timer.h"

#include "platform/vb.h"

#include <QTimer>

namespace platform {

void setTimerInterval(QTimer* timer, int ms) {
    timer->setInterval(ms);
    if (ms == 0)
        timer->stop();
    else
        timer->start();
}

bool applyTypedInterval(QTimer* timer, const QString& text) {
    const std::optional<int> ms = timerInterval(text);
    if (!ms) return false;
    setTimerInterval(timer, *ms);
    return true;
}

}  // namespace platform
