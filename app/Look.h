// The look shared by the program's windows: the Japanese Gothic font, screen-centred placement, the colour
// values of the original controls and the program's icon.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>

class QWidget;

// IPAPGothic (fonts-ipafont-gothic), else Noto Sans CJK JP, at 12 pixels.
QFont WindowFont();
// The window font made bold at `pixelSize`.
QFont BoldFont(int pixelSize);

void CentreOnScreen(QWidget& window);

// A colour value as the original controls give it: red in the low byte, then green, then blue.
QColor ColourOf(int value);

// The program's icon (plotra.svg, also the icon the desktop shows for it) drawn at `size` pixels.
QPixmap ProgramIcon(int size);
