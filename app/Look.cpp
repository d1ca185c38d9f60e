#include "app/Look.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QScreen>
#include <QStringList>
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
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    painter.drawRect(QRectF(0.5, 0.5, 31, 31));

    QPainterPath contour;
    contour.moveTo(8, 26);
    contour.lineTo(8, 12);
    contour.arcTo(QRectF(8, 6, 12, 12), 180, -90);
    contour.lineTo(26, 6);
    contour.lineTo(26, 26);
    contour.closeSubpath();
    painter.setPen(QPen(QColor(0x00, 0x40, 0xC0), 2.2));
    painter.drawPath(contour);

    painter.setPen(QPen(QColor(0xD0, 0x00, 0x00), 1.4, Qt::DashLine));
    painter.drawLine(QPointF(2, 30), QPointF(8, 26));
    return pixmap;
}
