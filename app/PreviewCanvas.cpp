#include "app/PreviewCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

constexpr QRgb kBackground = qRgb(0, 0, 0);
constexpr QColor kTightColour{255, 208, 0, 160};
constexpr QColor kHighlightColour{255, 255, 255};
constexpr double kMarginShare = 0.05;
constexpr double kPickDistance = 6.0;
// Curves are drawn in straight steps of about this many pixels.
constexpr double kStepPixels = 3.0;
constexpr double kDegree = std::numbers::pi / 180.0;
// Pixels on, then off, along a dashed line.
constexpr int kDashOn = 6;
constexpr int kDashPeriod = 9;

QRgb Rgb(std::uint32_t rgb) {
    return qRgb(static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

// Pixels written straight into the cached picture.
class Raster {
public:
    explicit Raster(QImage& image)
        : bits_(reinterpret_cast<QRgb*>(image.bits())),
          stride_(image.bytesPerLine() / 4),
          width_(image.width()),
          height_(image.height()) {}

    void pixel(double x, double y, QRgb colour) {
        if (x >= 0.0 && y >= 0.0 && x < width_ && y < height_) {
            bits_[static_cast<int>(y) * stride_ + static_cast<int>(x)] = colour;
        }
    }

    // A line clipped to the picture (Liang-Barsky), then stepped pixel by pixel.
    void line(double x0, double y0, double x1, double y1, QRgb colour, bool dashed) {
        double t0 = 0.0;
        double t1 = 1.0;
        const double dx = x1 - x0;
        const double dy = y1 - y0;
        const double p[] = {-dx, dx, -dy, dy};
        const double q[] = {x0, width_ - 1.0 - x0, y0, height_ - 1.0 - y0};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0.0) {
                if (q[i] < 0.0) {
                    return;
                }
            } else {
                const double t = q[i] / p[i];
                if (p[i] < 0.0) {
                    t0 = std::max(t0, t);
                } else {
                    t1 = std::min(t1, t);
                }
            }
        }
        if (!(t0 <= t1)) {
            return;
        }
        const double ax = x0 + t0 * dx;
        const double ay = y0 + t0 * dy;
        const double bx = x0 + t1 * dx;
        const double by = y0 + t1 * dy;
        // Steps of at most a pixel, so that the short chords of a polyline leave no gaps.
        const int steps = static_cast<int>(std::ceil(std::max(std::fabs(bx - ax), std::fabs(by - ay))));
        const double sx = steps > 0 ? (bx - ax) / steps : 0.0;
        const double sy = steps > 0 ? (by - ay) / steps : 0.0;
        for (int i = 0; i <= steps; ++i) {
            if (!dashed || i % kDashPeriod < kDashOn) {
                pixel(ax + sx * i + 0.5, ay + sy * i + 0.5, colour);
            }
        }
    }

    // Solid lines from point to point.
    void steps(const std::vector<QPointF>& points, QRgb colour) {
        for (std::size_t k = 1; k < points.size(); ++k) {
            line(points[k - 1].x(), points[k - 1].y(), points[k].x(), points[k].y(), colour, false);
        }
    }

    int width() const { return width_; }
    int height() const { return height_; }

private:
    QRgb* bits_;
    int stride_;
    int width_;
    int height_;
};

// The screen points of an arc, enough of them that each step is a few pixels long.
std::vector<QPointF> ArcPoints(QPointF centre, double radius, double startDegrees, double sweepDegrees) {
    const int steps =
        static_cast<int>(std::clamp(std::ceil(radius * sweepDegrees * kDegree / kStepPixels), 4.0, 4096.0));
    std::vector<QPointF> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double angle = (startDegrees + sweepDegrees * i / steps) * kDegree;
        // The screen's Y runs down, so the drawing's counter-clockwise turns clockwise on screen.
        points.emplace_back(centre.x() + radius * std::cos(angle), centre.y() - radius * std::sin(angle));
    }
    return points;
}

double DistanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    double t = length2 > 0.0 ? QPointF::dotProduct(p - a, ab) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

}  // namespace

PreviewCanvas::PreviewCanvas(const PreviewModel& model, QWidget* parent)
    : QWidget(parent), model_(model), styles_(DefaultLayerStyles()) {
    visible_.fill(true);
    setMinimumSize(120, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void PreviewCanvas::setStyles(const LayerStyles& styles) {
    styles_ = styles;
    cacheValid_ = false;
    update();
}

void PreviewCanvas::setLayerVisible(DrawingLayer layer, bool visible) {
    visible_[static_cast<int>(layer)] = visible;
    if (selected_ && !visible && model_[*selected_].layer == layer) {
        selected_.reset();
    }
    cacheValid_ = false;
    update();
}

void PreviewCanvas::fitToExtents() {
    following_ = true;
    fittedComplete_ = false;
    followDrawing();
    update();
}

void PreviewCanvas::forgetDrawing() {
    selected_.reset();
    highlighted_.clear();
    following_ = true;
    fittedComplete_ = false;
    cacheValid_ = false;
    update();
}

void PreviewCanvas::drawingGrew() {
    followDrawing();
    update();
}

QPointF PreviewCanvas::toScreen(double x, double y) const {
    return {(x - left_) * scale_, (top_ - y) * scale_};
}

std::array<double, 4> PreviewCanvas::screenBox(const PreviewEntity& polyline) const {
    const float* box = polyline.polyline.box;
    return {(box[0] - left_) * scale_, (top_ - box[3]) * scale_, (box[2] - left_) * scale_,
            (top_ - box[1]) * scale_};
}

std::vector<QPointF> PreviewCanvas::polylinePoints(const PreviewEntity& polyline) const {
    const ArcPath& arc = model_.polylineArc(polyline);
    const int segments = PolylineSegments(arc);
    // Vertices are made and drawn only about a step apart, or a drawing of many small helices would cost
    // mostly sines and cosines. The top view of at most one turn runs no longer than twice across its box
    // each way, so the steps drawn pass within a few pixels of the vertices left out.
    const auto [left, top, right, bottom] = screenBox(polyline);
    const double length = 2 * (right - left + bottom - top);
    const int shown = static_cast<int>(std::clamp(std::ceil(length / kStepPixels), 1.0, 1.0 * segments));
    std::vector<QPointF> points;
    points.reserve(static_cast<std::size_t>(shown) + 1);
    for (int k = 0; k <= shown; ++k) {
        const Point3 vertex = PolylineVertex(arc, k * segments / shown, segments);
        points.push_back(toScreen(PictureCoordinate(vertex.x), PictureCoordinate(vertex.y)));
    }
    return points;
}

void PreviewCanvas::select(std::optional<std::size_t> index) {
    selected_ = index;
    update();
}

void PreviewCanvas::setHighlighted(std::vector<std::size_t> indices) {
    highlighted_ = std::move(indices);
    update();
}

// What the view is fitted to: the entities and the origin, through which the axes run, and the information
// texts below them once the run has written them.
DrawingExtents PreviewCanvas::fitExtents() const {
    DrawingExtents extents = model_.extents();
    extents.add(0.0, 0.0);
    const auto& info = model_.info();
    if (info && visible_[static_cast<int>(DrawingLayer::Information)]) {
        // A character is taken as 0.6 of the text height wide, and the descenders reach a third below.
        const double height = info->textHeight;
        for (int i = 0; i < 3; ++i) {
            const double width = height * 0.6 * static_cast<double>(info->texts[i].size());
            extents.add(info->xmin + width, info->textY[i] - height / 3);
        }
    }
    return extents;
}

void PreviewCanvas::fitTo(const DrawingExtents& extents) {
    const double width = extents.maxX - extents.minX;
    const double height = extents.maxY - extents.minY;
    // A drawing without size (one point, nothing at all) is shown as a frame one unit wide.
    const double side = std::max({width, height, 0.0}) > 0.0 ? std::max(width, height) : 1.0;
    const double margin = side * kMarginShare;
    const double viewWidth = std::max(width, 0.0) + 2 * margin;
    const double viewHeight = std::max(height, 0.0) + 2 * margin;
    const double pixelsWide = std::max(1, this->width());
    const double pixelsHigh = std::max(1, this->height());
    scale_ = std::min(pixelsWide / viewWidth, pixelsHigh / viewHeight);
    if (!(scale_ > 0.0) || !std::isfinite(scale_)) {
        scale_ = 1.0;
    }
    const double centreX = extents.minX + width / 2;
    const double centreY = extents.minY + height / 2;
    left_ = centreX - pixelsWide / scale_ / 2;
    top_ = centreY + pixelsHigh / scale_ / 2;
    cacheValid_ = false;
}

// While the view follows the drawing: a drawing that outgrows the view is fitted with room to grow, so that
// a growing drawing is refitted only a few times; the completed drawing is fitted exactly.
void PreviewCanvas::followDrawing() {
    if (!following_) {
        return;
    }
    const DrawingExtents extents = fitExtents();
    if (model_.completed()) {
        if (!fittedComplete_) {
            fitTo(extents);
            fittedComplete_ = true;
        }
        return;
    }
    fittedComplete_ = false;
    const double right = left_ + std::max(1, width()) / scale_;
    const double bottom = top_ - std::max(1, height()) / scale_;
    if (cacheValid_ && extents.minX >= left_ && extents.maxX <= right && extents.minY >= bottom &&
        extents.maxY <= top_) {
        return;
    }
    DrawingExtents roomy = extents;
    const double growX = (extents.maxX - extents.minX) / 2;
    const double growY = (extents.maxY - extents.minY) / 2;
    roomy.add(extents.minX - growX, extents.minY - growY);
    roomy.add(extents.maxX + growX, extents.maxY + growY);
    fitTo(roomy);
}

void PreviewCanvas::renderAll() {
    if (cache_.size() != size() || cache_.isNull()) {
        cache_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    }
    cache_.fill(kBackground);
    cachedCount_ = 0;
    renderAxesAndTexts();
    renderEntities(0, model_.size());
    cacheValid_ = true;
}

void PreviewCanvas::renderAxesAndTexts() {
    DrawingExtents extents = model_.extents();
    extents.add(0.0, 0.0);
    if (visible_[static_cast<int>(DrawingLayer::CentreLine)]) {
        Raster raster(cache_);
        const QRgb grey = Rgb(styles_[static_cast<int>(DrawingLayer::CentreLine)].rgb);
        const QPointF xFrom = toScreen(extents.minX, 0.0);
        const QPointF xTo = toScreen(extents.maxX, 0.0);
        const QPointF yFrom = toScreen(0.0, extents.minY);
        const QPointF yTo = toScreen(0.0, extents.maxY);
        raster.line(xFrom.x(), xFrom.y(), xTo.x(), xTo.y(), grey, false);
        raster.line(yFrom.x(), yFrom.y(), yTo.x(), yTo.y(), grey, false);
    }
    const auto& info = model_.info();
    if (!info || !visible_[static_cast<int>(DrawingLayer::Information)]) {
        return;
    }
    // Texts too small to read or larger than the view are left out.
    const double pixels = info->textHeight * scale_;
    if (pixels < 4.0 || pixels > 1000.0) {
        return;
    }
    QPainter painter(&cache_);
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(pixels));
    painter.setFont(font);
    painter.setPen(QColor(Rgb(styles_[static_cast<int>(DrawingLayer::Information)].rgb)));
    for (int i = 0; i < 3; ++i) {
        const QPointF at = toScreen(info->xmin, info->textY[i]);
        if (std::fabs(at.x()) < 1e6 && std::fabs(at.y()) < 1e6) {
            painter.drawText(at, QString::fromLatin1(info->texts[i].c_str()));
        }
    }
}

void PreviewCanvas::renderEntities(std::size_t from, std::size_t to) {
    Raster raster(cache_);
    const double w = raster.width();
    const double h = raster.height();
    QRgb colours[kDrawingLayerCount];
    for (int layer = 0; layer < kDrawingLayerCount; ++layer) {
        colours[layer] = Rgb(styles_[layer].rgb);
    }
    for (std::size_t i = from; i < to; ++i) {
        const PreviewEntity& e = model_[i];
        const int layer = static_cast<int>(e.layer);
        if (!visible_[layer]) {
            continue;
        }
        const QRgb colour = colours[layer];
        if (e.kind == EntityKind::Polyline) {
            const auto [bx0, by0, bx1, by1] = screenBox(e);
            if (bx1 < 0.0 || bx0 >= w || by1 < 0.0 || by0 >= h) {
                continue;
            }
            if (bx1 - bx0 < 1.0 && by1 - by0 < 1.0) {
                raster.pixel(bx0, by0, colour);
                continue;
            }
            raster.steps(polylinePoints(e), colour);
            continue;
        }
        const double x0 = (e.v[0] - left_) * scale_;
        const double y0 = (top_ - e.v[1]) * scale_;
        if (e.kind == EntityKind::Line) {
            const double x1 = (e.v[2] - left_) * scale_;
            const double y1 = (top_ - e.v[3]) * scale_;
            if (std::max(x0, x1) < 0.0 || std::min(x0, x1) >= w || std::max(y0, y1) < 0.0 ||
                std::min(y0, y1) >= h) {
                continue;
            }
            if (std::fabs(x1 - x0) < 1.0 && std::fabs(y1 - y0) < 1.0) {
                raster.pixel(x0, y0, colour);
            } else {
                raster.line(x0, y0, x1, y1, colour, styles_[layer].dashed);
            }
            continue;
        }
        const double r = e.v[2] * scale_;
        if (x0 + r < 0.0 || x0 - r >= w || y0 + r < 0.0 || y0 - r >= h) {
            continue;
        }
        if (r < 1.0) {
            raster.pixel(x0, y0, colour);
            continue;
        }
        const double sweep = e.kind == EntityKind::Arc ? e.v[4] : 360.0;
        raster.steps(ArcPoints({x0, y0}, r, e.kind == EntityKind::Arc ? e.v[3] : 0.0, sweep), colour);
    }
    cachedCount_ = to;
}

void PreviewCanvas::paintEvent(QPaintEvent*) {
    followDrawing();
    // The cache is extended while the drawing grows and redrawn when the view changed or the drawing shrank.
    if (!cacheValid_ || cache_.size() != size() || cachedCount_ > model_.size()) {
        renderAll();
    } else if (cachedCount_ < model_.size()) {
        renderEntities(cachedCount_, model_.size());
    }
    QPainter painter(this);
    painter.drawImage(0, 0, cache_);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto outline = [this](const PreviewEntity& e) {
        QPainterPath path;
        if (e.kind == EntityKind::Polyline) {
            const std::vector<QPointF> points = polylinePoints(e);
            path.addPolygon(QPolygonF(QList<QPointF>(points.begin(), points.end())));
            return path;
        }
        const QPointF a = toScreen(e.v[0], e.v[1]);
        if (e.kind == EntityKind::Line) {
            path.moveTo(a);
            path.lineTo(toScreen(e.v[2], e.v[3]));
            return path;
        }
        const double r = std::min<double>(e.v[2] * scale_, 1e6);
        const std::vector<QPointF> points = ArcPoints(a, r, e.kind == EntityKind::Arc ? e.v[3] : 0.0,
                                                      e.kind == EntityKind::Arc ? e.v[4] : 360.0);
        path.addPolygon(QPolygonF(QList<QPointF>(points.begin(), points.end())));
        return path;
    };
    // QPainter is not handed coordinates far beyond the screen.
    const auto onScreen = [this](const PreviewEntity& e) {
        if (e.kind == EntityKind::Polyline) {
            const std::array<double, 4> box = screenBox(e);
            return std::all_of(box.begin(), box.end(), [](double c) { return std::fabs(c) < 1e6; });
        }
        const QPointF a = toScreen(e.v[0], e.v[1]);
        return std::fabs(a.x()) < 1e6 && std::fabs(a.y()) < 1e6;
    };
    painter.setPen(QPen(kTightColour, 6.0, Qt::SolidLine, Qt::RoundCap));
    for (const PreviewEntity& arc : model_.tightArcs()) {
        if (visible_[static_cast<int>(arc.layer)] && onScreen(arc)) {
            painter.drawPath(outline(arc));
        }
    }
    painter.setPen(QPen(kHighlightColour, 3.0, Qt::SolidLine, Qt::RoundCap));
    if (selected_ && *selected_ < model_.size() && onScreen(model_[*selected_])) {
        painter.drawPath(outline(model_[*selected_]));
    }
    for (const std::size_t index : highlighted_) {
        if (index < model_.size() && visible_[static_cast<int>(model_[index].layer)] &&
            onScreen(model_[index])) {
            painter.drawPath(outline(model_[index]));
        }
    }
}

void PreviewCanvas::resizeEvent(QResizeEvent*) {
    if (following_) {
        fittedComplete_ = false;
        cacheValid_ = false;
        followDrawing();
    }
    cacheValid_ = false;
}

void PreviewCanvas::userMovedView() {
    following_ = false;
    cacheValid_ = false;
    update();
}

void PreviewCanvas::wheelEvent(QWheelEvent* event) {
    const double factor = std::pow(1.0015, event->angleDelta().y());
    const double newScale = std::clamp(scale_ * factor, 1e-15, 1e12);
    const QPointF at = event->position();
    // The drawing point under the cursor stays under it.
    const double worldX = left_ + at.x() / scale_;
    const double worldY = top_ - at.y() / scale_;
    scale_ = newScale;
    left_ = worldX - at.x() / scale_;
    top_ = worldY + at.y() / scale_;
    userMovedView();
    event->accept();
}

void PreviewCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        dragging_ = false;
        pressPosition_ = lastDragPosition_ = event->position();
    }
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_) {
        return;
    }
    const QPointF position = event->position();
    if (!dragging_ && (position - pressPosition_).manhattanLength() < 4.0) {
        return;
    }
    dragging_ = true;
    left_ -= (position.x() - lastDragPosition_.x()) / scale_;
    top_ += (position.y() - lastDragPosition_.y()) / scale_;
    lastDragPosition_ = position;
    userMovedView();
}

void PreviewCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        return;
    }
    pressed_ = false;
    if (dragging_) {
        return;
    }
    select(entityAt(event->position()));
    if (selected_) {
        emit entityClicked(*selected_);
    } else {
        emit emptyClicked();
    }
}

std::optional<std::size_t> PreviewCanvas::entityAt(QPointF position) const {
    std::optional<std::size_t> nearest;
    double best = kPickDistance;
    for (std::size_t i = 0; i < model_.size(); ++i) {
        const PreviewEntity& e = model_[i];
        if (!visible_[static_cast<int>(e.layer)]) {
            continue;
        }
        const double distance = distanceTo(e, position);
        if (distance <= best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

double PreviewCanvas::distanceTo(const PreviewEntity& e, QPointF position) const {
    if (e.kind == EntityKind::Polyline) {
        // Most polylines are far from the click; their vertices are made only for those near it.
        const auto [left, top, right, bottom] = screenBox(e);
        if (position.x() < left - kPickDistance || position.x() > right + kPickDistance ||
            position.y() < top - kPickDistance || position.y() > bottom + kPickDistance) {
            return INFINITY;
        }
        const std::vector<QPointF> points = polylinePoints(e);
        double distance = INFINITY;
        for (std::size_t k = 1; k < points.size(); ++k) {
            distance = std::min(distance, DistanceToSegment(position, points[k - 1], points[k]));
        }
        return distance;
    }
    const QPointF a = toScreen(e.v[0], e.v[1]);
    if (e.kind == EntityKind::Line) {
        return DistanceToSegment(position, a, toScreen(e.v[2], e.v[3]));
    }
    const double r = e.v[2] * scale_;
    const QPointF d = position - a;
    const double fromCentre = std::hypot(d.x(), d.y());
    if (e.kind == EntityKind::Arc && fromCentre > 0.0) {
        // Off the arc's sweep, the nearer end counts.
        const double angle = std::atan2(-d.y(), d.x()) / kDegree;
        const double into = std::fmod(angle - e.v[3] + 720.0, 360.0);
        if (into > e.v[4]) {
            const std::vector<QPointF> ends = ArcPoints(a, r, e.v[3], e.v[4]);
            const QPointF first = ends.front() - position;
            const QPointF last = ends.back() - position;
            return std::min(std::hypot(first.x(), first.y()), std::hypot(last.x(), last.y()));
        }
    }
    return std::fabs(fromCentre - r);
}
