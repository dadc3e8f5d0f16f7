#include "viewer/tools/blocktimer.h"

namespace viewer {

QString GetTime(int ticks) {
    if (ticks < 1) return QStringLiteral("-");
    const int h = ticks / 3600;
    const int m = ticks % 3600 / 60;
    const int s = ticks % 60;
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    if (h > 0) return QStringLiteral("%1:%2:%3").arg(h).arg(two(m), two(s));
    if (m > 0) return QStringLiteral("%1:%2").arg(m).arg(two(s));
    return QString::number(s);
}

BlockTimer::Step BlockTimer::tick() {
    Step s;
    ++ticks;
    s.bar = block;
    s.value = ticks;
    const QString number = QString::number(block + 1);
    s.genre = QStringLiteral("ブロック") + number;
    s.time = GetTime(ticks);
    s.caption = u' ' + s.time + QStringLiteral(" -ブロック") + number;
    s.warning = ticks >= kWarnTicks;
    s.sound = ticks == kWarnTicks || ticks == kWarnTicks + 1;
    if (ticks == kBlockTicks) {
        ticks = 0;
        ++block;
        s.sound = true;
        if (block == kBlocks) {
            block = 0;
            s.barsReset = true;
        }
    }
    return s;
}

}  // namespace viewer
