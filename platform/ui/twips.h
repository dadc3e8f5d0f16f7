#pragma once
// Window measures are given in twips: 1440 per inch, 15 a pixel at 96 DPI.
#include <QRect>

class QWidget;

namespace platform {

int twipsToPixels(double twips);
int pixelsToTwips(int pixels);
// Moves and sizes a widget (a top-level or MDI child: its frame) in twips.
void setGeometryTwips(QWidget* w, int left, int top, int width, int height);
QRect geometryTwips(const QWidget* w);

}  // namespace platform
