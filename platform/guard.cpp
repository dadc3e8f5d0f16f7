#include "platform/guard.h"

#include "platform/error.h"
#include "platform/prompt.h"

#include <exception>

namespace platform {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        msgBox(describeCurrentException());
        return false;
    }
}

QString describeCurrentException() {
    try {
        throw;
    } catch (const Error& e) {
        return e.description();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("予期しないエラーが発生しました。");
    }
}

}  // namespace platform
