// The preview after real conversions in the window: the same entities and extents as the DXF file, the NC
// line of a clicked entity, layer check boxes, the tight-arc marks, clearing, and programs that draw nothing
// sensible.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "app/PreviewCanvas.h"
#include "app/PreviewPane.h"
#include "app/tests/WindowFixture.h"

namespace {

constexpr std::string_view kCentreLineLayer = "\x92\x86\x90\x53\x90\xFC";
constexpr std::string_view kInformationLayer = "\x8F\xEE\x95\xF1";
// The tool-path layers in the order of DrawingLayer.
constexpr std::string_view kToolPathLayers[] = {
    "\x91\x81\x91\x97\x82\xE8", "\x95\xE2\x90\xB3\x82\xA0\x82\xE8", "\x95\xE2\x90\xB3\x96\xB3\x82\xB5",
    "\x8C\xC5\x92\xE8\x83\x54\x83\x43\x83\x4E\x83\x8B"};

// One tool-path entity: its layer's place in kToolPathLayers, and for a line its start and end, for an arc
// its centre (x y z), radius, start angle and counter-clockwise sweep, for a circle its centre and radius.
struct DxfEntity {
    std::string type;
    int layer = -1;
    std::vector<double> values;
};

// The tool-path entities of a DXF file and the XY rectangle they cover, read pair by pair.
struct DxfDrawing {
    std::vector<DxfEntity> entities;
    double minX = INFINITY;
    double minY = INFINITY;
    double maxX = -INFINITY;
    double maxY = -INFINITY;

    void add(double x, double y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
};

DxfDrawing ReadDxf(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    DxfDrawing drawing;
    bool inEntities = false;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        if (lines[i] == "2" && lines[i + 1] == "ENTITIES") {
            inEntities = true;
        }
        if (!inEntities || lines[i] != "0" ||
            (lines[i + 1] != "LINE" && lines[i + 1] != "ARC" && lines[i + 1] != "CIRCLE" &&
             lines[i + 1] != "POLYLINE" && lines[i + 1] != "VERTEX")) {
            continue;
        }
        const std::string type = lines[i + 1];
        std::string layer;
        double g[64] = {};
        for (std::size_t j = i + 2; j + 1 < lines.size() && lines[j] != "0"; j += 2) {
            int code = 0;
            std::from_chars(lines[j].data(), lines[j].data() + lines[j].size(), code);
            if (code == 8) {
                layer = lines[j + 1];
            } else if (code < 64) {
                // Qt's application object has adopted the locale, which may use a decimal comma.
                std::from_chars(lines[j + 1].data(), lines[j + 1].data() + lines[j + 1].size(), g[code]);
            }
        }
        if (layer == kCentreLineLayer || layer == kInformationLayer) {
            continue;
        }
        // A polyline is one entity; its vertices follow it.
        if (type == "VERTEX") {
            drawing.add(g[10], g[20]);
            continue;
        }
        DxfEntity& entity = drawing.entities.emplace_back();
        entity.type = type;
        entity.layer =
            static_cast<int>(std::find(std::begin(kToolPathLayers), std::end(kToolPathLayers), layer) -
                             std::begin(kToolPathLayers));
        if (type == "POLYLINE") {
            continue;
        }
        if (type == "LINE") {
            drawing.add(g[10], g[20]);
            drawing.add(g[11], g[21]);
            // The first point of a LINE is where the move ends.
            entity.values = {g[11], g[21], g[31], g[10], g[20], g[30]};
        } else if (type == "CIRCLE") {
            drawing.add(g[10] - g[40], g[20] - g[40]);
            drawing.add(g[10] + g[40], g[20] + g[40]);
            entity.values = {g[10], g[20], g[30], g[40]};
        } else {
            // The arc by a thousand points of its counter-clockwise sweep from group 50 to group 51.
            double sweep = std::fmod(g[51] - g[50], 360.0);
            sweep = sweep > 0 ? sweep : sweep + 360.0;
            entity.values = {g[10], g[20], g[30], g[40], g[50], sweep};
            for (int k = 0; k <= 1000; ++k) {
                const double a = (g[50] + sweep * k / 1000) * std::numbers::pi / 180;
                drawing.add(g[10] + g[40] * std::cos(a), g[20] + g[40] * std::sin(a));
            }
        }
    }
    return drawing;
}

class PreviewTest : public WindowTest {
protected:
    PreviewPane& convertExample(const std::string& name) { return convert(EXAMPLES_DIR "/" + name); }

    PreviewCanvas& canvas() { return *form->Preview->canvas; }

    void click(double x, double y) {
        QTest::mouseClick(&canvas(), Qt::LeftButton, {}, canvas().toScreen(x, y).toPoint());
    }

    // In the whole canvas, or in `area` of it.
    int pixelsOf(QRgb colour, QRect area = {}) {
        const QImage picture = canvas().grab().toImage().convertToFormat(QImage::Format_RGB32).copy(area);
        int count = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                count += (picture.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
            }
        }
        return count;
    }
};

class PreviewMatchesDxfTest : public PreviewTest, public testing::WithParamInterface<const char*> {};

TEST_P(PreviewMatchesDxfTest, SameEntitiesAndExtents) {
    const PreviewModel& model = convertExample(GetParam()).model();
    ASSERT_EQ(messages, std::vector<ShownMessage>{kCompleted});
    // A completed run keeps its information block, which the picture draws below the drawing.
    EXPECT_TRUE(model.completed());
    EXPECT_TRUE(model.info().has_value());
    const DxfDrawing dxf = ReadDxf(folder.file("OUT.DXF"));
    ASSERT_EQ(model.size(), dxf.entities.size());
    constexpr const char* kTypes[] = {"LINE", "ARC", "CIRCLE", "POLYLINE"};
    for (std::size_t i = 0; i < model.size(); ++i) {
        const PreviewEntity& e = model[i];
        const DxfEntity& d = dxf.entities[i];
        SCOPED_TRACE(testing::Message() << "entity " << i << ", " << d.type);
        EXPECT_EQ(kTypes[static_cast<int>(e.kind)], d.type);
        EXPECT_EQ(static_cast<int>(e.layer), d.layer);
        for (std::size_t k = 0; k < d.values.size(); ++k) {
            const double off = e.v[k] - d.values[k];
            // A start angle may differ by whole turns.
            EXPECT_NEAR(k == 4 && e.kind == EntityKind::Arc ? std::remainder(off, 360.0) : off, 0.0, 1e-3)
                << k;
        }
    }
    EXPECT_NEAR(model.extents().minX, dxf.minX, 1e-3);
    EXPECT_NEAR(model.extents().minY, dxf.minY, 1e-3);
    EXPECT_NEAR(model.extents().maxX, dxf.maxX, 1e-3);
    EXPECT_NEAR(model.extents().maxY, dxf.maxY, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Examples, PreviewMatchesDxfTest,
                         testing::Values("contour.nc", "drill-plate.nc", "arcs-three-planes.nc",
                                         "cycles-and-helices.nc"));

TEST_F(PreviewTest, ClickShowsTheLineOfTheEntityAndLayerBoxesHideIt) {
    PreviewPane& pane = convertExample("contour.nc");
    // Line 12, "G01 X40.", moves along Y 80 from X 20 to X 40.
    QSignalSpy emptyClicks(&canvas(), &PreviewCanvas::emptyClicked);
    click(30.0, 80.0);
    EXPECT_EQ(text(pane.status->text()), "12行目: G01 X40.");
    EXPECT_EQ(emptyClicks.count(), 0);
    ASSERT_TRUE(canvas().selected().has_value());
    EXPECT_EQ(pane.model()[*canvas().selected()].fileLine, 12u);

    // The contour runs under compensation: magenta in the bundled template.
    const QRgb magenta = qRgb(255, 0, 255);
    EXPECT_GT(pixelsOf(magenta), 0);
    pane.layerBoxes[static_cast<int>(DrawingLayer::Compensated)]->click();
    EXPECT_EQ(pixelsOf(magenta), 0);
    EXPECT_FALSE(canvas().entityAt(canvas().toScreen(30.0, 80.0)).has_value());
    click(30.0, 80.0);
    EXPECT_EQ(emptyClicks.count(), 1);
    EXPECT_FALSE(canvas().selected().has_value());
    pane.layerBoxes[static_cast<int>(DrawingLayer::Compensated)]->click();
    EXPECT_GT(pixelsOf(magenta), 0);
    EXPECT_EQ(text(pane.layerBoxes[static_cast<int>(DrawingLayer::Compensated)]->text()), "補正あり");
}

TEST_F(PreviewTest, TightInsideArcsOfTheContourAreMarked) {
    const PreviewModel& model = convertExample("contour.nc").model();
    // The 12 mm tool does not fit the two G03 corners of radius 5 in the notch (lines 14 and 16); the G02
    // corners of radius 20 lie outside.
    std::set<std::uint32_t> lines;
    for (const PreviewEntity& arc : model.tightArcs()) {
        lines.insert(arc.fileLine);
        EXPECT_FLOAT_EQ(arc.v[3], 5.0f);
    }
    EXPECT_EQ(lines, (std::set<std::uint32_t>{14, 16}));
}

TEST_F(PreviewTest, ZoomPanAndFitKeepTheDrawingInView) {
    convertExample("contour.nc");
    const QPointF before = canvas().toScreen(30.0, 80.0);
    QWheelEvent wheel(canvas().rect().center(), canvas().mapToGlobal(canvas().rect().center()), {}, {0, 240},
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&canvas(), &wheel);
    const QPointF centre = canvas().rect().center();
    const QPointF after = canvas().toScreen(30.0, 80.0);
    // Zoomed in about the cursor: the point moved away from the centre.
    EXPECT_GT(std::hypot(after.x() - centre.x(), after.y() - centre.y()),
              std::hypot(before.x() - centre.x(), before.y() - centre.y()));
    QTest::mousePress(&canvas(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(&canvas(), {150, 130});
    QTest::mouseRelease(&canvas(), Qt::LeftButton, {}, {150, 130});
    const QPointF panned = canvas().toScreen(30.0, 80.0);
    EXPECT_NEAR(panned.x() - after.x(), 50.0, 1e-6);
    EXPECT_NEAR(panned.y() - after.y(), 30.0, 1e-6);
    // Fitted by its key while a name field has the focus.
    form->activateWindow();
    form->NcFileNameEdit->setFocus();
    QTest::keyClick(form->NcFileNameEdit, Qt::Key_0, Qt::ControlModifier);
    canvas().grab();
    EXPECT_NEAR(canvas().toScreen(30.0, 80.0).x(), before.x(), 1e-6);
    EXPECT_EQ(text(form->Preview->fitButton->text()), "全体表示");
}

TEST_F(PreviewTest, FailedAbortedAndNewRunsClearIt) {
    PreviewPane& pane = convertExample("contour.nc");
    ASSERT_GT(pane.model().size(), 0u);
    convert(folder.file("MISSING.NC"));
    EXPECT_EQ(pane.model().size(), 0u);

    convertExample("contour.nc");
    ASSERT_GT(pane.model().size(), 0u);
    AtLine abort(*form, 12, [this] { form->Aboat->click(); });
    convertExample("contour.nc");
    EXPECT_TRUE(abort.done());
    EXPECT_EQ(pane.model().size(), 0u);
    EXPECT_TRUE(pane.model().tightArcs().empty());
}

// A G03 half circle about (20, 60) from (20, 40) to (20, 80): counter-clockwise from 270 degrees through 0,
// the right half. The other half would be drawn from a wrong start angle or sweep.
TEST_F(PreviewTest, HalfCircleThroughZeroDegreesIsTheRightHalf) {
    const PreviewModel& model =
        convert(folder.write("HALF.NC", "G01 X20. Y40. F100\nG03 X20. Y80. I0 J20.\n")).model();
    ASSERT_EQ(model.size(), 2u);
    EXPECT_EQ(std::vector<float>(model[1].v, model[1].v + 6), (std::vector<float>{20, 60, 0, 20, 270, 180}));
    EXPECT_EQ(canvas().entityAt(canvas().toScreen(40, 60)), std::optional<std::size_t>(1));
    EXPECT_FALSE(canvas().entityAt(canvas().toScreen(0, 60)).has_value());
    const QRgb green = qRgb(0, 255, 0);
    const QPoint corner(3, 3);
    const QPoint right = canvas().toScreen(40, 60).toPoint();
    const QPoint left = canvas().toScreen(0, 60).toPoint();
    EXPECT_GT(pixelsOf(green, QRect(right - corner, right + corner)), 0);
    EXPECT_EQ(pixelsOf(green, QRect(left - corner, left + corner)), 0);
}

// A G19 half circle from (60, 0, 0) to (60, 20, 0) about (60, 10, 0): from above, X 60 from Y 0 to Y 20.
TEST_F(PreviewTest, PolylineIsDrawnMarkedAndPickedByItsTopView) {
    PreviewPane& pane = *open().Preview;
    pane.startRun(folder.write("HALF.NC", "G19\nG02 Y20. Z0 J10. K0\n"), DefaultLayerStyles());
    DrawingEntity half{};
    half.kind = EntityKind::Polyline;
    half.layer = DrawingLayer::Compensated;
    half.fileLine = 2;
    half.path = {19, {60, 0, 0}, {60, 20, 0}, 10, 0, 10, std::numbers::pi, -std::numbers::pi};
    pane.model().add(half);
    pane.model().complete(std::nullopt);
    pane.showProgress();
    const DrawingExtents& e = pane.model().extents();
    EXPECT_EQ(std::vector<double>({e.minX, e.maxX, e.minY, e.maxY}), std::vector<double>({60, 60, 0, 20}));
    // Magenta in every row of the column of X 60 from Y 0 to Y 20, and nowhere else.
    const QPointF corner(1.5, 1.5);
    const QRect column =
        QRectF(canvas().toScreen(60, 20) - corner, canvas().toScreen(60, 0) + corner).toRect();
    const QRgb magenta = qRgb(255, 0, 255);
    EXPECT_EQ(pixelsOf(magenta, column), pixelsOf(magenta));
    EXPECT_GE(pixelsOf(magenta), column.height() - 4);

    pane.model().markTightArc(half);
    EXPECT_EQ(pixelsOf(magenta, column), 0);
    // Five pixels beside the middle of the chord from Y 10 to Y 10 + 10 cos 85°.
    QTest::mouseClick(&canvas(), Qt::LeftButton, {},
                      canvas().toScreen(60.0, 10.4358).toPoint() + QPoint(5, 0));
    EXPECT_EQ(text(pane.status->text()), "2行目: G02 Y20. Z0 J10. K0");
}

// A helix of one turn about the origin from (10, 0, 0) down to Z -4, then a G19 half circle about Y 10 at
// Z -4 from Y 0 to Y 20 that bulges up to Z 6: each view must put their points where hand projection says.
struct ViewCase {
    char key;
    // The screen's x and y per drawing unit of X, Y and Z, in units of the view's scale.
    double screen[3][2];
};

void PrintTo(const ViewCase& c, std::ostream* os) {
    *os << c.key;
}

class ViewTest : public PreviewTest, public testing::WithParamInterface<ViewCase> {};

TEST_P(ViewTest, ShowsAndPicksTheHelixAndTheG19ArcWhereHandProjectionPutsThem) {
    const PreviewModel& model =
        convert(folder.write("VIEW.NC", "G01 X10. F100\nG03 X10. Y0 Z-4. I-10. J0\nG19 G02 Y20. J10. K0\n"))
            .model();
    ASSERT_EQ(model.size(), 3u);
    form->activateWindow();
    QTest::keyClick(form.get(), GetParam().key);
    canvas().grab();
    // The helix a quarter, a half and three quarters round, the arc's top, and the arc's end.
    const Point3 points[] = {{0, 10, -1}, {-10, 0, -2}, {0, -10, -3}, {10, 10, 6}, {10, 20, -4}};
    const std::size_t entities[] = {1, 1, 1, 2, 2};
    const QPointF start = canvas().toScreen(10, 0, 0);
    const auto expected = [&](const Point3& p) {
        const double d[3] = {p.x - 10, p.y, p.z};
        QPointF offset;
        for (int axis = 0; axis < 3; ++axis) {
            offset += d[axis] * QPointF(GetParam().screen[axis][0], GetParam().screen[axis][1]);
        }
        return offset;
    };
    // The view's scale, from the arc's end.
    const QPointF toEnd = canvas().toScreen(10, 20, -4) - start;
    const double scale =
        std::hypot(toEnd.x(), toEnd.y()) / std::hypot(expected(points[4]).x(), expected(points[4]).y());
    const QRgb green = qRgb(0, 255, 0);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const QPointF at = canvas().toScreen(points[i].x, points[i].y, points[i].z);
        EXPECT_NEAR(at.x(), start.x() + scale * expected(points[i]).x(), 1e-6);
        EXPECT_NEAR(at.y(), start.y() + scale * expected(points[i]).y(), 1e-6);
        EXPECT_TRUE(canvas().rect().contains(at.toPoint()));
        EXPECT_GT(pixelsOf(green, QRect(at.toPoint() - QPoint(2, 2), QSize(5, 5))), 0);
        EXPECT_EQ(canvas().entityAt(at), entities[i]);
    }
}

constexpr double kR = 0.70710678;  // 1 / sqrt 2
constexpr double kU = 0.40824829;  // 1 / sqrt 6

INSTANTIATE_TEST_SUITE_P(Views, ViewTest,
                         testing::Values(ViewCase{'1', {{1, 0}, {0, -1}, {0, 0}}},
                                         ViewCase{'F', {{1, 0}, {0, 0}, {0, -1}}},
                                         ViewCase{'3', {{0, 0}, {1, 0}, {0, -1}}},
                                         ViewCase{'I', {{kR, kU}, {kR, -kU}, {0, -2 * kU}}}),
                         [](const auto& info) { return std::string(1, info.param.key); });

// From the start of a line to the centre of an arc, each clicked a few pixels off, seen from the front.
TEST_F(PreviewTest, MeasureSnapsToALineEndAndAnArcCentre) {
    PreviewPane& pane = convert(folder.write("MEASURE.NC", "G01 X10. Y5. Z-2. F100\nG02 X30. I10. J0\n"));
    form->activateWindow();
    // The keys are the name fields' while they have the focus.
    form->NcFileNameEdit->setFocus();
    QTest::keyClicks(form->NcFileNameEdit, "2M");
    EXPECT_TRUE(text(form->NcFileNameEdit->text()).ends_with("2M"));
    EXPECT_FALSE(pane.measureAction->isChecked());
    canvas().setFocus();
    QTest::keyClick(form.get(), Qt::Key_2);
    QTest::keyClick(form.get(), Qt::Key_M);
    ASSERT_TRUE(canvas().measuring());
    const auto clickNear = [this](double x, double y, double z) {
        QTest::mouseClick(&canvas(), Qt::LeftButton, {},
                          canvas().toScreen(x, y, z).toPoint() + QPoint(3, -2));
    };
    clickNear(0, 0, 0);
    clickNear(20, 5, -2);
    ASSERT_EQ(canvas().measurement().count(), 2);
    // sqrt(20² + 5² + 2²) = sqrt(429)
    EXPECT_EQ(text(canvas().measurement().text()), "距離 20.712  ΔX 20.000  ΔY 5.000  ΔZ -2.000");
    // Nothing to snap to: no point is taken.
    QTest::mouseClick(&canvas(), Qt::LeftButton, {}, canvas().toScreen(5, 0, 5).toPoint());
    EXPECT_EQ(canvas().measurement().count(), 2);
    QTest::keyClick(&canvas(), Qt::Key_Escape);
    EXPECT_FALSE(pane.measureAction->isChecked());
    EXPECT_EQ(text(form->Start->text()), "変換開始");
}

// Cuts at Z0 and Z-10 under a retract to Z50: the ramp spans the cuts alone, red at the top, blue at the foot.
TEST_F(PreviewTest, DepthColoursSpanTheCuttingMoves) {
    PreviewPane& pane = convert(folder.write(
        "DEPTH.NC", "G00 Z50.\nY10.\nZ0\nG01 X40. F100\nG00 Z50.\nX0 Y30.\nZ0\nG01 Z-10.\nX40.\nG00 Z50.\n"));
    pane.depthBox->click();
    const auto colourAt = [this](double x, double y) {
        const QPoint at = canvas().toScreen(x, y).toPoint();
        return pixelsOf(qRgb(255, 0, 0), QRect(at - QPoint(1, 1), QSize(3, 3))) > 0   ? 'r'
               : pixelsOf(qRgb(0, 0, 255), QRect(at - QPoint(1, 1), QSize(3, 3))) > 0 ? 'b'
                                                                                         : '-';
    };
    EXPECT_EQ(colourAt(20, 10), 'r');
    EXPECT_EQ(colourAt(20, 30), 'b');
}

// On a screen of two pixels per logical one (a test run under QT_SCALE_FACTOR=2), a line is two pixels thick.
TEST_F(PreviewTest, LinesAreALogicalPixelWide) {
    convert(folder.write("WIDE.NC", "G01 Y20. F100\nX50.\n"));
    const QPixmap picture = canvas().grab();
    const QImage image = picture.toImage().convertToFormat(QImage::Format_RGB32);
    const int column = static_cast<int>(canvas().toScreen(25, 20).x() * picture.devicePixelRatio());
    int thickness = 0;
    for (int y = 0; y < image.height(); ++y) {
        thickness += (image.pixel(column, y) & 0xFFFFFF) == 0x00FF00;
    }
    EXPECT_GE(thickness, std::lround(picture.devicePixelRatio()));
}

struct BadDrawingCase {
    const char* label;
    std::string program;
};

void PrintTo(const BadDrawingCase& c, std::ostream* os) {
    *os << c.label;
}

class BadDrawingTest : public PreviewTest, public testing::WithParamInterface<BadDrawingCase> {};

// Painted, zoomed, panned, fitted and clicked without dividing by zero or hanging; the extents stay finite.
TEST_P(BadDrawingTest, ShowsSomethingSensible) {
    const PreviewModel& model = convert(folder.write("BAD.NC", GetParam().program)).model();
    ASSERT_EQ(messages.size(), 1u);
    ASSERT_TRUE(messages[0] == kCompleted || messages[0] == kCompletedWithOmissions);
    canvas().grab();
    QWheelEvent wheel({10, 10}, canvas().mapToGlobal(QPoint(10, 10)), {}, {0, -1200}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&canvas(), &wheel);
    canvas().grab();
    QTest::mouseClick(&canvas(), Qt::LeftButton, {}, canvas().rect().center());
    form->Preview->fitButton->click();
    canvas().grab();
    if (!model.extents().empty) {
        for (double value :
             {model.extents().minX, model.extents().maxX, model.extents().minY, model.extents().maxY}) {
            EXPECT_TRUE(std::isfinite(value));
        }
    }
    const QPointF origin = canvas().toScreen(0.0, 0.0);
    EXPECT_TRUE(std::isfinite(origin.x()) && std::isfinite(origin.y()));
}

const std::string kNines(400, '9');

INSTANTIATE_TEST_SUITE_P(
    Programs, BadDrawingTest,
    testing::Values(BadDrawingCase{"OnePoint", "G02\n"},
                    BadDrawingCase{"OnlyZMoves", "G01 Z-5. F100\nZ5.\nZ-2.\n"},
                    BadDrawingCase{"ExtentsOfAMillion",
                                   "G01 X1000000. Y-1000000. F100\nG03 X0 Y0 R2000000.\n"},
                    BadDrawingCase{"SaturatedCoordinates", "G01 X" + kNines + ". Y-" + kNines +
                                                               ". F100\nG02 X0 Y0 I" + kNines + ". J0\n"},
                    BadDrawingCase{"NoEntities", "(NOTHING TO DRAW)\n"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(PreviewModelTest, ClearingForgetsTheCompletedRun) {
    PreviewModel model;
    model.add(DrawingEntity{});
    model.complete(InfoBlockLayout{});
    model.clear();
    EXPECT_EQ(model.size(), 0u);
    EXPECT_FALSE(model.completed());
    EXPECT_FALSE(model.info().has_value());
}

}  // namespace
