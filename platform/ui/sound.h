#pragma once
#include <QString>

#include <functional>

class QWidget;

namespace platform {

// Plays a WAV file without waiting; a missing file or no audio device is silent.
// The effect is parented to `owner` so that it goes away with the window.
void playSound(const QString& path, QWidget* owner);
void beep();

// Sees every sound a window asks for, played or not (tests count them); empty to remove.
void setSoundObserver(std::function<void(const QString& path)> observer);

}  // namespace platform
