#pragma once
// The study timer without a window: seven blocks of 3600 ticks, a warning from tick 3000,
// and the text of the time elapsed.
#include <QString>

namespace viewer {

// "-" before the first tick; else h:mm:ss, m:ss or s.
QString GetTime(int ticks);

class BlockTimer {
  public:
    static constexpr int kBlocks = 7;
    static constexpr int kBlockTicks = 3600;  // the bars' maximum
    static constexpr int kWarnTicks = 3000;   // ten minutes before a block ends

    int ticks = 0;  // in the current block
    int block = 0;  // 0 to 6, shown as 1 to 7

    // What one tick shows.
    struct Step {
        int bar = 0;             // the bar of the block ticked
        int value = 0;           // its value
        QString genre;           // ブロック1
        QString time;            // GetTime of the ticks
        QString caption;         // " 1:00 -ブロック1"
        bool warning = false;    // yellow background, else light cyan
        bool sound = false;      // s03.wav plays
        bool barsReset = false;  // the seventh block ended: every bar back to 0
    };
    Step tick();
};

}  // namespace viewer
