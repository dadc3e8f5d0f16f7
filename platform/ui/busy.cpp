#include "platform/ui/busy.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace platform {

BusyCursor::BusyCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        active_ = true;
    }
}

BusyCursor::~BusyCursor() {
    if (active_) QGuiApplication::restoreOverrideCursor();
}

void pumpEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

}  // namespace platform
