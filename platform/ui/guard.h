#pragma once
// Every handler of a window runs inside a guard: an error it throws is shown through the
// prompt seam (its description) and stops there, so it never travels through Qt's signal
// machinery, and the program goes on. The guarded application catches what a handler not
// connected this way lets escape, as the last resort.
#include <QApplication>
#include <QObject>
#include <functional>
#include <type_traits>
#include <utility>

namespace platform {

class GuardedApplication : public QApplication {
  public:
    // Makes the window prompt the program's default prompt as well.
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the description of the exception being handled (inside a catch block).
void showCurrentException() noexcept;

// Runs `body`; an error it throws is shown and goes no further. Returns false then.
template <class F>
bool guard(F&& body) noexcept {
    try {
        std::forward<F>(body)();
        return true;
    } catch (...) {
        showCurrentException();
        return false;
    }
}

// Connects a button, menu item or other signal to `body`, run inside the guard in the
// context of `receiver` (the connection ends with it). `body` takes the signal's arguments
// or none.
template <class Sender, class Signal, class F>
QMetaObject::Connection connectGuarded(const Sender* sender, Signal signal,
                                       const QObject* receiver, F body) {
    return QObject::connect(sender, signal, receiver, [body = std::move(body)](auto&&... args) {
        guard([&] {
            if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                std::invoke(body, std::forward<decltype(args)>(args)...);
            else
                std::invoke(body);
        });
    });
}

}  // namespace platform
