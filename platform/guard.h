#pragma once
// An application whose event delivery is guarded: an error that escapes an event handler is
// shown in a message box (its description) and the program goes on.
#include <QApplication>

namespace platform {

class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The readable description of the exception being handled (inside a catch block).
QString describeCurrentException();

}  // namespace platform
