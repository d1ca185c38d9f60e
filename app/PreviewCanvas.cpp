#include "app/PreviewCanvas.h"

#include "app/PixelRaster.h"

#include <QCursor>
#include <QKeyEvent>
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
constexpr QColor kMeasureColour{0, 255, 255};
// Curves are drawn in straight steps of about this many pixels.
constexpr double kStepPixels = 3.0;
constexpr double kDegree = std::numbers::pi / 180.0;

QRgb Rgb(std::uint32_t rgb) {
    return qRgb(static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

// The screen points of an arc or circle of the XY plane, whose radius runs `alongX` and `alongY` on the
// screen along X and Y and is at most `pixels` long: enough of them that each step is a few pixels long.
std::vector<QPointF> CurvePoints(QPointF centre, QPointF alongX, QPointF alongY, double pixels,
                                 double startDegrees, double sweepDegrees) {
    const int steps =
        static_cast<int>(std::clamp(std::ceil(pixels * sweepDegrees * kDegree / kStepPixels), 4.0, 4096.0));
    std::vector<QPointF> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double angle = (startDegrees + sweepDegrees * i / steps) * kDegree;
        points.push_back(centre + std::cos(angle) * alongX + std::sin(angle) * alongY);
    }
    return points;
}

// The (u, v, normal) axes of the planes of G17, G18 and G19: 0 is X, 1 Y, 2 Z.
constexpr int kPlaneAxes[3][3] = {{0, 1, 2}, {0, 2, 1}, {1, 2, 0}};

// The middle of an entity: of a line, of an arc's or circle's circle, of a polyline's box. Its Z is the depth
// the entity is coloured by.
Point3 MiddleOf(const PreviewEntity& e, const PreviewModel& model) {
    switch (e.kind) {
        case EntityKind::Line:
            return {(double{e.v[0]} + e.v[3]) / 2, (double{e.v[1]} + e.v[4]) / 2,
                    (double{e.v[2]} + e.v[5]) / 2};
        case EntityKind::Polyline: {
            const float* box = model.polyline(e).box;
            return {(double{box[0]} + box[3]) / 2, (double{box[1]} + box[4]) / 2,
                    (double{box[2]} + box[5]) / 2};
        }
        default:
            return {e.v[0], e.v[1], e.v[2]};
    }
}

}  // namespace

PreviewCanvas::PreviewCanvas(const PreviewModel& model, QWidget* parent)
    : QWidget(parent), model_(model), styles_(DefaultLayerStyles()) {
    visible_.fill(true);
    // Blue at the lowest Z through cyan, green and yellow to red at the highest.
    for (std::size_t i = 0; i < ramp_.size(); ++i) {
        ramp_[i] =
            QColor::fromHsvF(2.0f / 3 * (1.0f - static_cast<float>(i) / (ramp_.size() - 1)), 1.0f, 1.0f)
                .rgb();
    }
    setMinimumSize(120, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void PreviewCanvas::setStyles(const LayerStyles& styles) {
    styles_ = styles;
    cacheValid_ = false;
    update();
}

void PreviewCanvas::setLayerVisible(DrawingLayer layer, bool visible) {
    visible_[static_cast<int>(layer)] = visible;
    if (!visible) {
        std::erase_if(highlighted_, [&](std::size_t index) {
            return index < model_.size() && model_[index].layer == layer;
        });
    }
    cacheValid_ = false;
    update();
}

void PreviewCanvas::setView(PreviewView view) {
    projection_ = ViewProjection(view);
    cacheValid_ = false;
    fitToExtents();
    // The cursor stands where it stood, over another point of another view.
    const QPointF cursor = mapFromGlobal(QCursor::pos());
    emit cursorMoved(rect().contains(cursor.toPoint()) ? projection_.coordinates(planeAt(cursor))
                                                       : QString());
}

void PreviewCanvas::setDepthColours(bool on) {
    depthColours_ = on;
    cacheValid_ = false;
    update();
}

void PreviewCanvas::setMeasuring(bool on) {
    if (on == measuring_) {
        return;
    }
    measuring_ = on;
    measurement_.clear();
    if (on) {
        // Escape, which leaves the tool, reaches the canvas only while it has the focus.
        setFocus();
    }
    update();
    emit measuringChanged(on);
}

void PreviewCanvas::fitToExtents() {
    following_ = true;
    fittedComplete_ = false;
    followDrawing();
    update();
}

void PreviewCanvas::forgetDrawing() {
    highlighted_.clear();
    measurement_.clear();
    following_ = true;
    fittedComplete_ = false;
    cacheValid_ = false;
    update();
}

void PreviewCanvas::drawingGrew() {
    followDrawing();
    update();
}

QPointF PreviewCanvas::toScreen(double x, double y, double z) const {
    return screenMap()(x, y, z);
}

std::array<double, 4> PreviewCanvas::screenBox(const PreviewEntity& polyline, const ScreenMap& map) const {
    const float* box = model_.polyline(polyline).box;
    std::array<double, 4> screen{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (int corner = 0; corner < 8; ++corner) {
        const QPointF p = map(box[corner & 1 ? 3 : 0], box[corner & 2 ? 4 : 1], box[corner & 4 ? 5 : 2]);
        screen = {std::min(screen[0], p.x()), std::min(screen[1], p.y()), std::max(screen[2], p.x()),
                  std::max(screen[3], p.y())};
    }
    return screen;
}

std::vector<QPointF> PreviewCanvas::polylinePoints(const PreviewEntity& polyline,
                                                   const ScreenMap& map) const {
    const ArcPath& arc = model_.polyline(polyline).arc;
    // Points are made and drawn only about a step apart, never more than the polyline has vertices. Along
    // each screen axis the view of at most one turn turns back at most twice, so it runs no longer than three
    // times across its box each way, and the steps drawn pass within a few pixels of the vertices left out.
    const auto [left, top, right, bottom] = screenBox(polyline, map);
    const double length = 3 * (right - left + bottom - top);
    const int shown =
        static_cast<int>(std::clamp(std::ceil(length / kStepPixels), 1.0, 1.0 * PolylineSegments(arc)));
    // The vertices lie on a helix about the normal of the arc's plane: on the screen, the centre rising
    // evenly plus the radius turned step by step, which costs no sine or cosine per step.
    const int* axes = kPlaneAxes[arc.plane == 18 ? 1 : arc.plane == 19 ? 2 : 0];
    std::array<double, 3> centre{};
    std::array<double, 3> u{};
    std::array<double, 3> v{};
    std::array<double, 3> rise{};
    centre[axes[0]] = arc.centreU;
    centre[axes[1]] = arc.centreV;
    centre[axes[2]] = arc.start[axes[2]];
    u[axes[0]] = v[axes[1]] = arc.radius;
    rise[axes[2]] = (arc.end[axes[2]] - arc.start[axes[2]]) / shown;
    const QPointF from = map(centre[0], centre[1], centre[2]);
    const QPointF alongU = map.along(u[0], u[1], u[2]);
    const QPointF alongV = map.along(v[0], v[1], v[2]);
    const QPointF risePerStep = map.along(rise[0], rise[1], rise[2]);
    const double turnCos = std::cos(arc.sweep / shown);
    const double turnSin = std::sin(arc.sweep / shown);
    double c = std::cos(arc.startAngle);
    double s = std::sin(arc.startAngle);
    std::vector<QPointF> points;
    points.reserve(static_cast<std::size_t>(shown) + 1);
    points.push_back(map(arc.start.x, arc.start.y, arc.start.z));
    for (int k = 1; k < shown; ++k) {
        const double turned = c * turnCos - s * turnSin;
        s = s * turnCos + c * turnSin;
        c = turned;
        points.push_back(from + k * risePerStep + c * alongU + s * alongV);
    }
    points.push_back(map(arc.end.x, arc.end.y, arc.end.z));
    return points;
}

std::vector<QPointF> PreviewCanvas::curvePoints(const PreviewEntity& curve, const ScreenMap& map) const {
    const double radius = curve.v[3];
    const bool arc = curve.kind == EntityKind::Arc;
    return CurvePoints(map(curve.v[0], curve.v[1], curve.v[2]), map.along(radius, 0.0, 0.0),
                       map.along(0.0, radius, 0.0), std::min(radius * scale_, 1e6), arc ? curve.v[4] : 0.0,
                       arc ? curve.v[5] : 360.0);
}

void PreviewCanvas::setHighlighted(std::vector<std::size_t> entities) {
    highlighted_ = std::move(entities);
    bringIntoView();
    update();
}

// A line chosen in the listing whose segments all lie outside the view is brought to its middle, at the
// same zoom: the machinist sees what the line drew without losing the scale he was looking at.
void PreviewCanvas::bringIntoView() {
    const ScreenMap map = screenMap();
    const QRectF view = rect();
    const auto shown = [&](std::size_t index) {
        if (index >= model_.size()) {
            return false;
        }
        const Point3 middle = MiddleOf(model_[index], model_);
        return view.contains(map(middle.x, middle.y, middle.z));
    };
    if (highlighted_.empty() || highlighted_.front() >= model_.size() ||
        std::any_of(highlighted_.begin(), highlighted_.end(), shown)) {
        return;
    }
    const Point3 middle = MiddleOf(model_[highlighted_.front()], model_);
    const PlanePoint at = projection_.project(middle.x, middle.y, middle.z);
    left_ = at.u - width() / scale_ / 2;
    top_ = at.w + height() / scale_ / 2;
    userMovedView();
}

void PreviewCanvas::select(std::optional<std::size_t> index) {
    setHighlighted(index ? std::vector<std::size_t>{*index} : std::vector<std::size_t>{});
}

std::optional<std::size_t> PreviewCanvas::selected() const {
    return highlighted_.empty() ? std::nullopt : std::optional<std::size_t>(highlighted_.front());
}

// What the view is fitted to: the box in space of the entities and the origin, through which the axes run,
// and from above the information texts below them once the run has written them.
DrawingExtents PreviewCanvas::fitExtents() const {
    DrawingExtents space = model_.extents();
    space.add(0.0, 0.0);
    const double minZ = std::min(model_.minZ(), 0.0);
    const double maxZ = std::max(model_.maxZ(), 0.0);
    DrawingExtents extents;
    for (int corner = 0; corner < 8; ++corner) {
        const PlanePoint p =
            projection_.project(corner & 1 ? space.maxX : space.minX, corner & 2 ? space.maxY : space.minY,
                                corner & 4 ? maxZ : minZ);
        extents.add(p.u, p.w);
    }
    const auto& info = model_.info();
    if (info && visible_[static_cast<int>(DrawingLayer::Information)] && view() == PreviewView::Top) {
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
    // The picture has a pixel per logical pixel and is scaled to the screen's, so that on a screen of two
    // pixels per logical one a line is still a logical pixel wide.
    if (cache_.size() != size() || cache_.isNull()) {
        cache_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    }
    cache_.fill(kBackground);
    cachedCount_ = 0;
    cachedMinZ_ = model_.cuttingZ().lowest;
    cachedMaxZ_ = model_.cuttingZ().highest;
    renderAxesAndTexts();
    renderEntities(0, model_.size());
    cacheValid_ = true;
}

void PreviewCanvas::renderAxesAndTexts() {
    DrawingExtents extents = model_.extents();
    extents.add(0.0, 0.0);
    const ScreenMap map = screenMap();
    if (visible_[static_cast<int>(DrawingLayer::CentreLine)]) {
        PixelRaster raster(cache_);
        const QRgb grey = Rgb(styles_[static_cast<int>(DrawingLayer::CentreLine)].rgb);
        const auto axis = [&](QPointF from, QPointF to) {
            raster.line(from.x(), from.y(), to.x(), to.y(), grey, false);
        };
        axis(map(extents.minX, 0.0, 0.0), map(extents.maxX, 0.0, 0.0));
        axis(map(0.0, extents.minY, 0.0), map(0.0, extents.maxY, 0.0));
        if (view() != PreviewView::Top) {
            axis(map(0.0, 0.0, std::min(model_.minZ(), 0.0)), map(0.0, 0.0, std::max(model_.maxZ(), 0.0)));
        }
    }
    const auto& info = model_.info();
    // The texts lie in the XY plane, readable only from above.
    if (!info || !visible_[static_cast<int>(DrawingLayer::Information)] || view() != PreviewView::Top) {
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
        const QPointF at = map(info->xmin, info->textY[i], 0.0);
        if (std::fabs(at.x()) < 1e6 && std::fabs(at.y()) < 1e6) {
            painter.drawText(at, QString::fromLatin1(info->texts[i].c_str()));
        }
    }
}

void PreviewCanvas::renderEntities(std::size_t from, std::size_t to) {
    PixelRaster raster(cache_);
    const double w = raster.width();
    const double h = raster.height();
    const ScreenMap m = screenMap();
    QRgb colours[kDrawingLayerCount];
    bool byDepth[kDrawingLayerCount];
    for (int layer = 0; layer < kDrawingLayerCount; ++layer) {
        colours[layer] = Rgb(styles_[layer].rgb);
        byDepth[layer] = depthColours_ && IsCuttingLayer(static_cast<DrawingLayer>(layer));
    }
    const double minZ = model_.cuttingZ().lowest;
    const double maxZ = model_.cuttingZ().highest;
    const double rampPerUnit = maxZ > minZ ? (ramp_.size() - 1) / (maxZ - minZ) : 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const PreviewEntity& e = model_[i];
        const int layer = static_cast<int>(e.layer);
        if (!visible_[layer]) {
            continue;
        }
        QRgb colour = colours[layer];
        // A branch: written as a choice of two values, the depth was worked out for every entity (a
        // polyline's from beside the entities), and a redraw of the whole drawing took more than twice as
        // long.
        if (byDepth[layer]) [[unlikely]] {
            colour = ramp_[static_cast<std::size_t>(
                std::clamp((MiddleOf(e, model_).z - minZ) * rampPerUnit, 0.0, ramp_.size() - 1.0))];
        }
        if (e.kind == EntityKind::Polyline) {
            const auto [bx0, by0, bx1, by1] = screenBox(e, m);
            if (bx1 < 0.0 || bx0 >= w || by1 < 0.0 || by0 >= h) {
                continue;
            }
            if (bx1 - bx0 < 1.0 && by1 - by0 < 1.0) {
                raster.pixel(bx0, by0, colour);
                continue;
            }
            raster.steps(polylinePoints(e, m), colour);
            continue;
        }
        const double x0 = m.screenX(e.v[0], e.v[1], e.v[2]);
        const double y0 = m.screenY(e.v[0], e.v[1], e.v[2]);
        if (e.kind == EntityKind::Line) {
            const double x1 = m.screenX(e.v[3], e.v[4], e.v[5]);
            const double y1 = m.screenY(e.v[3], e.v[4], e.v[5]);
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
        // Every view of an arc or circle lies within its radius of its centre's.
        const double r = e.v[3] * scale_;
        if (x0 + r < 0.0 || x0 - r >= w || y0 + r < 0.0 || y0 - r >= h) {
            continue;
        }
        if (r < 1.0) {
            raster.pixel(x0, y0, colour);
            continue;
        }
        raster.steps(curvePoints(e, m), colour);
    }
    cachedCount_ = to;
}

QPainterPath PreviewCanvas::outline(const PreviewEntity& e, const ScreenMap& map) const {
    QPainterPath path;
    if (e.kind == EntityKind::Line) {
        path.moveTo(map(e.v[0], e.v[1], e.v[2]));
        path.lineTo(map(e.v[3], e.v[4], e.v[5]));
        return path;
    }
    const std::vector<QPointF> points =
        e.kind == EntityKind::Polyline ? polylinePoints(e, map) : curvePoints(e, map);
    path.addPolygon(QPolygonF(QList<QPointF>(points.begin(), points.end())));
    return path;
}

void PreviewCanvas::paintEvent(QPaintEvent*) {
    followDrawing();
    if (depthColours_ &&
        (cachedMinZ_ != model_.cuttingZ().lowest || cachedMaxZ_ != model_.cuttingZ().highest)) {
        cacheValid_ = false;
    }
    // The cache is extended while the drawing grows and redrawn when the view changed or the drawing shrank.
    if (!cacheValid_ || cache_.size() != size() || cachedCount_ > model_.size()) {
        renderAll();
    } else if (cachedCount_ < model_.size()) {
        renderEntities(cachedCount_, model_.size());
    }
    QPainter painter(this);
    painter.drawImage(0, 0, cache_);
    painter.setRenderHint(QPainter::Antialiasing);
    const ScreenMap map = screenMap();
    // QPainter is not handed coordinates far beyond the screen.
    const auto onScreen = [&](const PreviewEntity& e) {
        if (e.kind == EntityKind::Polyline) {
            const std::array<double, 4> box = screenBox(e, map);
            return std::all_of(box.begin(), box.end(), [](double c) { return std::fabs(c) < 1e6; });
        }
        const QPointF a = map(e.v[0], e.v[1], e.v[2]);
        return std::fabs(a.x()) < 1e6 && std::fabs(a.y()) < 1e6;
    };
    painter.setPen(QPen(kTightColour, 6.0, Qt::SolidLine, Qt::RoundCap));
    for (const PreviewEntity& arc : model_.tightArcs()) {
        if (visible_[static_cast<int>(arc.layer)] && onScreen(arc)) {
            painter.drawPath(outline(arc, map));
        }
    }
    painter.setPen(QPen(kHighlightColour, 3.0, Qt::SolidLine, Qt::RoundCap));
    for (std::size_t index : highlighted_) {
        if (index < model_.size() && visible_[static_cast<int>(model_[index].layer)] &&
            onScreen(model_[index])) {
            painter.drawPath(outline(model_[index], map));
        }
    }
    if (depthColours_ && !model_.cuttingZ().empty()) {
        paintDepthLegend(painter);
    }
    if (measuring_) {
        paintMeasurement(painter);
    }
}

// The ramp upright at the right edge, the highest Z at its top and the lowest at its foot.
void PreviewCanvas::paintDepthLegend(QPainter& painter) const {
    const int rampHeight = std::min(160, height() - 40);
    const QRect bar(width() - 22, 20, 12, rampHeight);
    for (int row = 0; row < rampHeight; ++row) {
        const std::size_t index = (ramp_.size() - 1) * static_cast<std::size_t>(rampHeight - 1 - row) /
                                  static_cast<std::size_t>(std::max(1, rampHeight - 1));
        painter.fillRect(bar.left(), bar.top() + row, bar.width(), 1, QColor(ramp_[index]));
    }
    painter.setPen(QColor(Rgb(styles_[static_cast<int>(DrawingLayer::CentreLine)].rgb)));
    const QRect labels(0, 0, bar.left() - 6, painter.fontMetrics().height());
    painter.drawText(labels.translated(0, bar.top() - labels.height() / 2), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Z %1").arg(DrawingNumber(model_.cuttingZ().highest)));
    painter.drawText(labels.translated(0, bar.bottom() - labels.height() / 2),
                     Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Z %1").arg(DrawingNumber(model_.cuttingZ().lowest)));
}

// The picked points, the segment between them, and what the tool says at the foot of the canvas.
void PreviewCanvas::paintMeasurement(QPainter& painter) const {
    const ScreenMap map = screenMap();
    painter.setPen(QPen(kMeasureColour, 2.0));
    for (int i = 0; i < measurement_.count(); ++i) {
        const QPointF at = map(measurement_[i].x, measurement_[i].y, measurement_[i].z);
        painter.drawRect(QRectF(at - QPointF(4, 4), QSizeF(8, 8)));
    }
    if (measurement_.count() == 2) {
        painter.drawLine(map(measurement_[0].x, measurement_[0].y, measurement_[0].z),
                         map(measurement_[1].x, measurement_[1].y, measurement_[1].z));
    }
    const QString text = measurement_.text();
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect box(6, height() - metrics.height() - 10, metrics.horizontalAdvance(text) + 8,
                    metrics.height() + 4);
    painter.fillRect(box, QColor(0, 0, 0, 200));
    painter.drawText(box, Qt::AlignCenter, text);
}

void PreviewCanvas::resizeEvent(QResizeEvent*) {
    if (following_) {
        fittedComplete_ = false;
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
    const PlanePoint under = planeAt(at);
    scale_ = newScale;
    left_ = under.u - at.x() / scale_;
    top_ = under.w + at.y() / scale_;
    userMovedView();
    event->accept();
}

bool PreviewCanvas::event(QEvent* event) {
    // Escape leaves the measure tool rather than reaching the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride && measuring_ &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void PreviewCanvas::keyPressEvent(QKeyEvent* event) {
    if (measuring_ && event->key() == Qt::Key_Escape) {
        setMeasuring(false);
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreviewCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        dragging_ = false;
        pressPosition_ = lastDragPosition_ = event->position();
    }
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = event->position();
    emit cursorMoved(projection_.coordinates(planeAt(position)));
    if (!pressed_) {
        return;
    }
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
    if (measuring_) {
        // Only points on the drawing are measured: a click beside every entity end and centre picks nothing.
        if (const std::optional<Point3> point = snapAt(event->position())) {
            measurement_.add(*point);
            update();
        }
        return;
    }
    select(entityAt(event->position()));
    if (selected()) {
        emit entityClicked(*selected());
    } else {
        emit emptyClicked();
    }
}

void PreviewCanvas::leaveEvent(QEvent*) {
    emit cursorMoved(QString());
}
