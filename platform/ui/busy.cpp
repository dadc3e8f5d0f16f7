#include "platform/ui/busy.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
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

FramePump::FramePump(int intervalMs) : intervalMs_(intervalMs) {}

void FramePump::operator()() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    const qint64 now = clock.elapsed();
    if (last_ >= 0 && now - last_ < intervalMs_) return;
    last_ = now;
    pumpEvents();
}

void pumpEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

}  // namespace platform
