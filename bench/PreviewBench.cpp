// How long the preview takes to redraw a drawing of 1,000,000 entities after a zoom, a pan or a change of
// view (Qt's offscreen platform): the whole drawing in view, zoomed in four and forty times about the centre,
// panned, then seen at an angle, at an angle coloured by depth, and from the front. Each figure is the best
// of three redraws.
//
// Usage: preview_bench
// The exit status is 1 when any redraw takes more than 100 ms.
#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>

#include "app/PreviewCanvas.h"
#include "app/PreviewModel.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kEntities = 1'000'000;
constexpr double kAllowedMilliseconds = 100.0;

std::string Fixed(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return std::string(text, result.ptr);
}

// A surfacing zigzag of short feed moves, with a hole circle every thousand moves, a helix of one turn down
// every hundred and an arc at each row end.
void FillSurfacing(PreviewModel& model) {
    constexpr int kSteps = 500;
    Point3 last{0.0, 0.0, 0.0};
    for (int i = 0, row = 0; i < kEntities; ++row) {
        for (int step = 0; step < kSteps && i < kEntities; ++step, ++i) {
            DrawingEntity entity{};
            entity.fileLine = i + 1;
            if (i % 1000 == 999) {
                entity.kind = EntityKind::Circle;
                entity.layer = DrawingLayer::CannedCycle;
                entity.centre = last;
                entity.radius = 2.5;
            } else if (i % 100 == 49) {
                entity.kind = EntityKind::Polyline;
                entity.layer = DrawingLayer::Uncompensated;
                entity.start = last;
                entity.end = {last.x, last.y, last.z - 0.5};
                entity.radius = 1.0;
                // One turn counter-clockwise from `last`, about the point 1 mm to its right.
                constexpr double kPi = std::numbers::pi;
                entity.path = {17, entity.start, entity.end, last.x + 1.0, last.y, 1.0, kPi, 2 * kPi};
            } else if (step == kSteps - 1) {
                entity.kind = EntityKind::Arc;
                entity.layer = DrawingLayer::Compensated;
                entity.centre = {last.x, last.y + 0.125, 0.0};
                entity.radius = 0.125;
                entity.startAngle = 270.0;
                entity.endAngle = 90.0;
            } else {
                const double x = (row % 2 == 0 ? step : kSteps - 1 - step) * 0.2;
                const Point3 next{x, row * 0.25, -2.0 + std::sin(x * 0.05)};
                entity.kind = EntityKind::Line;
                entity.layer = DrawingLayer::Uncompensated;
                entity.start = last;
                entity.end = next;
                last = next;
            }
            model.add(entity);
        }
    }
    model.complete(std::nullopt);
}

double BestRedraw(PreviewCanvas& canvas) {
    Clock::duration best = Clock::duration::max();
    for (int i = 0; i < 3; ++i) {
        const Clock::time_point start = Clock::now();
        canvas.renderAll();
        best = std::min(best, Clock::now() - start);
    }
    return std::chrono::duration<double, std::milli>(best).count();
}

void Zoom(PreviewCanvas& canvas, int wheelSteps) {
    const QPointF centre = canvas.rect().center();
    QWheelEvent wheel(centre, canvas.mapToGlobal(centre), {}, {0, 120 * wheelSteps}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&canvas, &wheel);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    PreviewModel model;
    FillSurfacing(model);
    PreviewCanvas canvas(model);
    canvas.resize(1000, 640);
    canvas.show();
    canvas.fitToExtents();
    canvas.grab();

    double worst = 0.0;
    const auto report = [&worst](const char* what, double milliseconds) {
        std::printf("%-28s %s ms\n", what, Fixed(milliseconds).c_str());
        worst = std::max(worst, milliseconds);
    };
    std::printf("entities:                    %d (%d bytes each)\n", static_cast<int>(model.size()),
                static_cast<int>(sizeof(PreviewEntity)));
    report("whole drawing:", BestRedraw(canvas));
    Zoom(canvas, 8);
    report("zoomed in about 4 times:", BestRedraw(canvas));
    Zoom(canvas, 16);
    report("zoomed in about 40 times:", BestRedraw(canvas));
    Zoom(canvas, -22);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(500, 320), canvas.mapToGlobal(QPointF(500, 320)),
                      Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&canvas, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(650, 400), canvas.mapToGlobal(QPointF(650, 400)),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&canvas, &move);
    report("panned:", BestRedraw(canvas));
    canvas.setView(PreviewView::Isometric);
    report("isometric view:", BestRedraw(canvas));
    canvas.setDepthColours(true);
    report("isometric, depth colours:", BestRedraw(canvas));
    canvas.setDepthColours(false);
    canvas.setView(PreviewView::Front);
    report("front view:", BestRedraw(canvas));
    std::printf("at most %s ms allowed\n", Fixed(kAllowedMilliseconds).c_str());
    return worst <= kAllowedMilliseconds ? 0 : 1;
}
