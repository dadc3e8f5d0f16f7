#include "platform/ui/run.h"

#include <QCloseEvent>
#include <QTimer>

namespace platform {

bool RunState::deferClose(QCloseEvent* e) {
    if (!running_) return false;
    stopRequested_ = true;
    closePending_ = true;
    e->ignore();
    return true;
}

RunState::Scope::Scope(RunState& state) : state_(state) {
    state_.running_ = true;
    state_.stopRequested_ = false;
}

RunState::Scope::~Scope() {
    state_.running_ = false;
    state_.stopRequested_ = false;
    if (state_.closePending_) {
        state_.closePending_ = false;
        // After the handler that ran the loop has returned, not inside it.
        if (QWidget* w = state_.window_) QTimer::singleShot(0, w, [w] { w->close(); });
    }
}

}  // namespace platform
