#pragma once
// The hourglass for long work; restored on every way out of the scope.
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

}  // namespace platform
