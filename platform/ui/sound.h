#pragma once
#include <QString>

class QWidget;

namespace platform {

// Plays a WAV file without waiting; a missing file or no audio device is silent.
// The effect is parented to `owner` so that it goes away with the window.
void playSound(const QString& path, QWidget* owner);
void beep();

}  // namespace platform
