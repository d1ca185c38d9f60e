#include "app/Look.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStringList>
#include <QSvgRenderer>
#include <QWidget>

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

QColor ColourOf(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QPixmap ProgramIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer drawing(QStringLiteral(":/plotra.svg"));
    QPainter painter(&pixmap);
    drawing.render(&painter);
    return pixmap;
}
