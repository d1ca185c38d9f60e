// The drawing area of the preview: the top view of the model (X right, Y up) with the axes through the
// origin, zoomed with the wheel about the cursor, panned by dragging, fitted to the drawing on request and,
// until the user zooms or pans, by itself while the drawing grows.
//
// Painting a million entities through QPainter would take far longer than a repaint may, so the entities are
// rasterised into a cached picture by hand: an entity smaller than a pixel is one pixel, anything else is
// clipped to the view and drawn as straight steps. The cache is redrawn whole when the view changes and is
// extended by the new entities while a run adds them; the highlight and the tight-arc marks are drawn over
// it.
#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "app/PreviewModel.h"
#include "dxf/LayerStyles.h"

class PreviewCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PreviewCanvas(const PreviewModel& model, QWidget* parent = nullptr);

    void setStyles(const LayerStyles& styles);
    void setLayerVisible(DrawingLayer layer, bool visible);
    bool layerVisible(DrawingLayer layer) const { return visible_[static_cast<int>(layer)]; }

    // The whole drawing in view; the view keeps following the drawing until the user zooms or pans.
    void fitToExtents();
    // The model was cleared: no selection, and the next drawing is fitted again.
    void forgetDrawing();
    // The model has new entities (or was completed): they are painted with the next repaint.
    void drawingGrew();

    QPointF toScreen(double x, double y) const;
    // The visible entity nearest to `position`, within a few pixels.
    std::optional<std::size_t> entityAt(QPointF position) const;
    std::optional<std::size_t> selected() const { return selected_; }
    void select(std::optional<std::size_t> index);
    // Every listed entity drawn highlighted, as the selected one is.
    void setHighlighted(std::vector<std::size_t> indices);
    const std::vector<std::size_t>& highlighted() const { return highlighted_; }

    // Redraws the cached picture of the whole view (what a zoom or pan costs).
    void renderAll();

signals:
    void entityClicked(std::size_t index);
    // A click that found no entity.
    void emptyClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void followDrawing();
    void fitTo(const DrawingExtents& extents);
    DrawingExtents fitExtents() const;
    void renderEntities(std::size_t from, std::size_t to);
    void renderAxesAndTexts();
    void userMovedView();
    // The top view of a polyline's vertices on the screen.
    std::vector<QPointF> polylinePoints(const PreviewEntity& polyline) const;
    // How many pixels `position` lies from the entity.
    double distanceTo(const PreviewEntity& e, QPointF position) const;
    // A polyline's box on the screen: left, top, right, bottom.
    std::array<double, 4> screenBox(const PreviewEntity& polyline) const;

    const PreviewModel& model_;
    LayerStyles styles_;
    std::array<bool, kDrawingLayerCount> visible_;
    // The view: the world point at the top-left corner and the pixels per drawing unit.
    double left_ = 0.0;
    double top_ = 0.0;
    double scale_ = 1.0;
    bool following_ = true;
    bool fittedComplete_ = false;

    QImage cache_;
    bool cacheValid_ = false;
    std::size_t cachedCount_ = 0;

    std::optional<std::size_t> selected_;
    std::vector<std::size_t> highlighted_;
    QPointF pressPosition_;
    QPointF lastDragPosition_;
    bool pressed_ = false;
    bool dragging_ = false;
};
