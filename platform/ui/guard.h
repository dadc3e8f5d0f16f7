#pragma once
// Every handler of a window runs inside a guard: an error it throws is shown through the
// prompt seam (its description) and stops there, so it never travels through Qt's signal
// machinery, and the program goes on. The guarded application catches what a handler not
// connected this way lets escape, as the last resort.
#include <QApplication>
#include <QObject>
#include <cstddef>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

class QTranslator;

namespace platform {

// Qt's own texts (コピー, すべて選択, はい/いいえ/キャンセル, the file dialog) in Japanese, from
// Qt's translations where they are installed; the translator, or nullptr when there are none.
QTranslator* installQtJapanese(QCoreApplication* app);

class GuardedApplication : public QApplication {
  public:
    // Makes the window prompt the program's default prompt as well, and Qt's texts Japanese.
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

namespace detail {
template <class F, class Tuple, class Seq>
struct TakesPrefix;
template <class F, class Tuple, std::size_t... I>
struct TakesPrefix<F, Tuple, std::index_sequence<I...>>
    : std::is_invocable<const F&, std::tuple_element_t<I, Tuple>&...> {};

// Calls `f` with as many leading arguments as it takes, as a slot does.
template <std::size_t N, class F, class Tuple>
void callWithPrefix(const F& f, Tuple& args) {
    if constexpr (TakesPrefix<F, Tuple, std::make_index_sequence<N>>::value) {
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            std::invoke(f, std::get<I>(args)...);
        }
        (std::make_index_sequence<N>{});
    } else {
        static_assert(N > 0, "the handler takes none of the signal's arguments");
        callWithPrefix<N - 1>(f, args);
    }
}
}  // namespace detail

// Connects a button, menu item or other signal to `body`, run inside the guard in the
// context of `receiver` (the connection ends with it). `body` takes the signal's leading
// arguments, or none.
template <class Sender, class Signal, class F>
QMetaObject::Connection connectGuarded(const Sender* sender, Signal signal, const QObject* receiver,
                                       F body) {
    return QObject::connect(sender, signal, receiver, [body = std::move(body)](auto... args) {
        guard([&] {
            std::tuple<decltype(args)...> all(args...);
            detail::callWithPrefix<sizeof...(args)>(body, all);
        });
    });
}

}  // namespace platform
