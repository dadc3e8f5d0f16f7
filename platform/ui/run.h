#pragma once
// A window whose long run lets window events in (an import, a search). Closing the window
// while the run goes on must not pull it from under the run: the close asks the run to stop
// after its current step, and the window closes once the run has returned.
#include <QPointer>
#include <QWidget>

class QCloseEvent;

namespace platform {

class RunState {
  public:
    explicit RunState(QWidget* window) : window_(window) {}

    bool running() const { return running_; }
    // The run checks this between its steps.
    bool stopRequested() const { return stopRequested_; }
    void requestStop() { stopRequested_ = running_; }
    // For the window's closeEvent: while a run goes on, asks it to stop, ignores the event
    // and returns true; the window closes when the run ends.
    bool deferClose(QCloseEvent* e);

    // Marks the run for its lifetime; on the way out a deferred close takes place.
    class Scope {
      public:
        explicit Scope(RunState& state);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        RunState& state_;
    };

  private:
    QPointer<QWidget> window_;
    bool running_ = false;
    bool stopRequested_ = false;
    bool closePending_ = false;
};

}  // namespace platform
