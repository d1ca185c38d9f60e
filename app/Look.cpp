#include "app/Look.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStringList>
#include <QSvgRenderer>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "conversion/RunHost.h"

namespace {

// What ordinary text needs against its background (the usual accessibility measure, WCAG's 4.5 to 1).
constexpr double kReadableContrast = 4.5;
// Backgrounds darker than this relative luminance take light text: white and black read equally well here.
constexpr double kDarkLuminance = 0.18;
constexpr int kLighteningSteps = 20;

double RelativeLuminance(const QColor& colour) {
    const auto linear = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& one, const QColor& other) {
    const double a = RelativeLuminance(one);
    const double b = RelativeLuminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor TowardsWhite(const QColor& colour, double share) {
    const auto blend = [share](int value) {
        return static_cast<int>(std::lround(value + (255 - value) * share));
    };
    return QColor(blend(colour.red()), blend(colour.green()), blend(colour.blue()));
}

// Room for the title bar and the edges of a frame the window system has not told yet: it only knows them
// once the window is up, and a title pushed off the screen cannot be grabbed to move the window back.
QMargins FrameOf(const QWidget& window) {
    constexpr int kEdge = 8;
    constexpr int kTitle = 40;
    const QMargins known(window.geometry().left() - window.frameGeometry().left(),
                         window.geometry().top() - window.frameGeometry().top(),
                         window.frameGeometry().right() - window.geometry().right(),
                         window.frameGeometry().bottom() - window.geometry().bottom());
    return known.isNull() ? QMargins(kEdge, kTitle, kEdge, kEdge) : known;
}

}  // namespace

QFont WindowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(12);
    return font;
}

QFont BoldFont(int pixelSize) {
    QFont font = WindowFont();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QRect PlaceWithin(QSize wanted, QMargins frame, QRect available) {
    const QSize room = available.marginsRemoved(frame).size();
    QRect outer(QPoint(), wanted.boundedTo(room).grownBy(frame));
    outer.moveCenter(available.center());
    outer.moveTopLeft(
        QPoint(std::max(outer.left(), available.left()), std::max(outer.top(), available.top())));
    return outer.marginsRemoved(frame);
}

void FitOnScreen(QWidget& window, QSize wanted) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        window.resize(wanted);
        return;
    }
    const QMargins frame = FrameOf(window);
    const QRect placed = PlaceWithin(wanted, frame, screen->availableGeometry());
    window.resize(placed.size());
    window.move(placed.topLeft() - QPoint(frame.left(), frame.top()));
}

QColor ColourOf(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QColor ReadableOn(const QColor& colour, const QColor& background) {
    if (RelativeLuminance(background) >= kDarkLuminance) {
        return colour;
    }
    QColor lighter = colour;
    for (int step = 1; step <= kLighteningSteps && Contrast(lighter, background) < kReadableContrast;
         ++step) {
        lighter = TowardsWhite(colour, static_cast<double>(step) / kLighteningSteps);
    }
    return lighter;
}

QColor TextColourOf(int value, const QPalette& palette, QPalette::ColorRole text,
                    QPalette::ColorRole background) {
    if (value == kColourBlack) {
        return palette.color(text);
    }
    return ReadableOn(ColourOf(value), palette.color(background));
}

QPixmap ProgramIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer drawing(QStringLiteral(":/plotra.svg"));
    QPainter painter(&pixmap);
    drawing.render(&painter);
    return pixmap;
}
