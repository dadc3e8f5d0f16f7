#pragma once
// The hourglass for long work; restored on every way out of the scope.
#include <QtGlobal>

namespace platform {

class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    bool active_ = false;
};

// Lets pending window events run (DoEvents); harmless without a GUI.
void pumpEvents();

// For a loop that lets events in after every step: runs them at most once a frame, since
// running them for each of thousands of records would cost more than the records.
class FramePump {
  public:
    explicit FramePump(int intervalMs = 16);
    void operator()();

  private:
    int intervalMs_;
    qint64 last_ = -1;
};

}  // namespace platform
