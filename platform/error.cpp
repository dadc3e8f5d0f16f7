#include "platform/error.h"

#include <exception>

namespace platform {

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
