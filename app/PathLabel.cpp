#include "app/PathLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace {

QTextOption Wrapping() {
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

}  // namespace

PathLabel::PathLabel(const QString& path, int wrapWidth) : QLabel(path), wrapWidth_(wrapWidth) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int PathLabel::around() const {
    return 2 * (frameWidth() + margin());
}

int PathLabel::textHeight(int textWidth) const {
    QTextLayout layout(text(), font());
    layout.setTextOption(Wrapping());
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(textWidth, 1));
        height += line.height();
    }
    layout.endLayout();
    return static_cast<int>(std::ceil(height));
}

QSize PathLabel::sizeHint() const {
    const int textWidth = std::min(fontMetrics().horizontalAdvance(text()) + 1, wrapWidth_);
    return {textWidth + around(), textHeight(textWidth) + around()};
}

QSize PathLabel::minimumSizeHint() const {
    return {around(), fontMetrics().height() + around()};
}

bool PathLabel::hasHeightForWidth() const {
    return true;
}

int PathLabel::heightForWidth(int width) const {
    return textHeight(width - around()) + around();
}

void PathLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const int inset = around() / 2;
    painter.drawText(QRectF(rect().adjusted(inset, inset, -inset, -inset)), text(), Wrapping());
}
