// The drawing area of the preview: the model seen from above, the front, the side or at an angle, with the
// axes through the origin, zoomed with the wheel about the cursor, panned by dragging, fitted to the drawing
// on request and, until the user zooms or pans, by itself while the drawing grows. Clicks pick entities, or
// with the measure tool the entity ends and arc centres to measure between.
//
// Painting a million entities through QPainter would take far longer than a repaint may, so the entities are
// rasterised into a cached picture by hand: an entity smaller than a pixel is one pixel, anything else is
// clipped to the view and drawn as straight steps. The cache is redrawn whole when the view changes and is
// extended by the new entities while a run adds them; the highlight, the tight-arc marks, the measurement and
// the depth legend are drawn over it.
#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QWidget>
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "app/Measurement.h"
#include "app/PreviewModel.h"
#include "app/ViewProjection.h"
#include "dxf/LayerStyles.h"

class PreviewCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PreviewCanvas(const PreviewModel& model, QWidget* parent = nullptr);

    void setStyles(const LayerStyles& styles);
    void setLayerVisible(DrawingLayer layer, bool visible);
    bool layerVisible(DrawingLayer layer) const { return visible_[static_cast<int>(layer)]; }

    // Looks from another side, with the whole drawing in view.
    void setView(PreviewView view);
    PreviewView view() const { return projection_.view(); }
    // Cutting moves coloured by their depth over a ramp from the lowest Z (blue) to the highest (red).
    void setDepthColours(bool on);
    // With the measure tool, clicks pick points to measure between instead of entities.
    void setMeasuring(bool on);
    bool measuring() const { return measuring_; }
    const Measurement& measurement() const { return measurement_; }

    // The whole drawing in view; the view keeps following the drawing until the user zooms or pans.
    void fitToExtents();
    // The model was cleared: no selection, and the next drawing is fitted again.
    void forgetDrawing();
    // The model has new entities (or was completed): they are painted with the next repaint.
    void drawingGrew();

    QPointF toScreen(double x, double y, double z = 0.0) const;
    // The visible entity nearest to `position`, within a few pixels.
    std::optional<std::size_t> entityAt(QPointF position) const;
    // The end of a visible entity or the centre of a visible arc or circle nearest to `position`, within a
    // few pixels.
    std::optional<Point3> snapAt(QPointF position) const;

    // The entities drawn highlighted; select() highlights one, selected() is the first.
    void setHighlighted(std::vector<std::size_t> entities);
    const std::vector<std::size_t>& highlighted() const { return highlighted_; }
    void select(std::optional<std::size_t> index);
    std::optional<std::size_t> selected() const;

    // Redraws the cached picture of the whole view (what a zoom, a pan or a view change costs).
    void renderAll();

signals:
    void entityClicked(std::size_t index);
    // A click that hit no entity.
    void emptyClicked();
    // The cursor's place in the view's drawing axes; empty where the view has none or the cursor left.
    void cursorMoved(const QString& coordinates);
    void measuringChanged(bool on);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ScreenMap screenMap() const { return projection_.onScreen(left_, top_, scale_); }
    PlanePoint planeAt(QPointF position) const {
        return {left_ + position.x() / scale_, top_ - position.y() / scale_};
    }
    void bringIntoView();
    void followDrawing();
    void fitTo(const DrawingExtents& extents);
    // The view plane's rectangle that the drawing covers, in DrawingExtents' x (right) and y (up).
    DrawingExtents fitExtents() const;
    void renderEntities(std::size_t from, std::size_t to);
    void renderAxesAndTexts();
    void paintDepthLegend(QPainter& painter) const;
    void paintMeasurement(QPainter& painter) const;
    void userMovedView();
    // The polyline's vertices on the screen.
    std::vector<QPointF> polylinePoints(const PreviewEntity& polyline, const ScreenMap& map) const;
    // The steps of an arc or circle on the screen.
    std::vector<QPointF> curvePoints(const PreviewEntity& curve, const ScreenMap& map) const;
    QPainterPath outline(const PreviewEntity& e, const ScreenMap& map) const;
    // How many pixels `position` lies from the entity.
    double distanceTo(const PreviewEntity& e, const ScreenMap& map, QPointF position) const;
    // A polyline's box on the screen: left, top, right, bottom.
    std::array<double, 4> screenBox(const PreviewEntity& polyline, const ScreenMap& map) const;

    const PreviewModel& model_;
    LayerStyles styles_;
    std::array<bool, kDrawingLayerCount> visible_;
    ViewProjection projection_;
    // The view: the view plane's point at the top-left corner and the pixels per drawing unit.
    double left_ = 0.0;
    double top_ = 0.0;
    double scale_ = 1.0;
    bool following_ = true;
    bool fittedComplete_ = false;

    bool depthColours_ = false;
    std::array<QRgb, 256> ramp_;

    QImage cache_;
    bool cacheValid_ = false;
    std::size_t cachedCount_ = 0;
    // The Z range the cache's depth colours were drawn for.
    double cachedMinZ_ = 0.0;
    double cachedMaxZ_ = 0.0;

    std::vector<std::size_t> highlighted_;
    bool measuring_ = false;
    Measurement measurement_;
    QPointF pressPosition_;
    QPointF lastDragPosition_;
    bool pressed_ = false;
    bool dragging_ = false;
};
