// The look shared by the program's windows: the Japanese Gothic font, screen-centred placement, the colour
// values of the original controls kept readable under any palette, and the program's icon.
#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPalette>
#include <QPixmap>
#include <QRect>
#include <QSize>

class QWidget;

// IPAPGothic (fonts-ipafont-gothic), else Noto Sans CJK JP, at 12 pixels.
QFont WindowFont();
// The window font made bold at `pixelSize`.
QFont BoldFont(int pixelSize);

void CentreOnScreen(QWidget& window);

// Where a window of `wanted` size goes on a screen whose free area is `available`, its frame adding `frame`
// around it: centred, made smaller where it would not fit, and never with its title above the free area.
QRect PlaceWithin(QSize wanted, QMargins frame, QRect available);
// The window at `wanted` size, or as much of it as the screen's free area holds, centred there.
void FitOnScreen(QWidget& window, QSize wanted);

// A colour value as the original controls give it: red in the low byte, then green, then blue.
QColor ColourOf(int value);
// `colour` as text on `background`: kept on a light background, as the original controls showed it, and
// lightened on a dark one until it reads as clearly as ordinary text.
QColor ReadableOn(const QColor& colour, const QColor& background);
// A caption colour of the original controls (ColourOf) on a control of `palette`: black is the palette's own
// `text` colour, so that a dark desktop palette keeps it readable; any other colour is ReadableOn the
// palette's `background`.
QColor TextColourOf(int value, const QPalette& palette, QPalette::ColorRole text,
                    QPalette::ColorRole background);

// The program's icon (plotra.svg, also the icon the desktop shows for it) drawn at `size` pixels.
QPixmap ProgramIcon(int size);
