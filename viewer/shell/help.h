#pragma once
// The short help of ヘルプ → 使い方: how to type a short number, the browser's keys and where
// the data lives.
#include <QString>

namespace viewer {

// The help text (CR LF), naming the data root and settings file in use.
QString usageHelpText(const QString& dataRoot, const QString& settingsFile);

}  // namespace viewer
