// The NC listing beside the preview after real conversions in the window: a clicked entity selects its line,
// a chosen line highlights every pass through it, the step keys, Ctrl+G, a file changed on disk, a click on
// the report's list of codes not drawn; and the index's line numbers for every kind of line end.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <QTextBlock>
#include <cmath>
#include <set>
#include <utility>

#include "app/NcListing.h"
#include "app/PreviewCanvas.h"
#include "app/PreviewPane.h"
#include "app/tests/WindowFixture.h"

namespace {

using Points = std::set<std::pair<int, int>>;

class ListingTest : public WindowTest {
protected:
    PreviewPane& pane() { return *form->Preview; }
    NcListing& listing() { return *form->Preview->listing; }
    std::string status() { return text(pane().status->text()); }

    void clickDrawing(double x, double y) {
        PreviewCanvas& canvas = *pane().canvas;
        QTest::mouseClick(&canvas, Qt::LeftButton, {}, canvas.toScreen(x, y).toPoint());
    }
    void clickListing(std::int64_t line) {
        const int row = static_cast<int>(line - listing().firstShownLine());
        const int height = listing().fontMetrics().lineSpacing();
        QTest::mouseClick(listing().viewport(), Qt::LeftButton, {}, QPoint(60, row * height + height / 2));
    }
    void goTo(const char* typed) {
        QTest::keyClick(form.get(), Qt::Key_G, Qt::ControlModifier);
        EXPECT_TRUE(listing().goToEdit->hasFocus());
        listing().goToEdit->setText(QString::fromUtf8(typed));
        QTest::keyClick(listing().goToEdit, Qt::Key_Return);
    }
    // Where the highlighted entities end (lines) or stand (circles): the holes a drilling line makes.
    Points highlightedPoints() {
        Points points;
        for (const std::size_t index : pane().canvas->highlighted()) {
            const PreviewEntity& e = pane().model()[index];
            const int end = e.kind == EntityKind::Line ? 3 : 0;
            points.insert(
                {static_cast<int>(std::lround(e.v[end])), static_cast<int>(std::lround(e.v[end + 1]))});
        }
        return points;
    }
};

// bracket.nc: O1002 runs twice (M98 P1002 L2), each run calling O1001 from X10 at Y30 and Y40; then O1001
// is called once more from X70 Y10. O1001 drills where it starts (line 29) and 10 and 20 to the right (lines
// 30 and 31), so each of its lines makes three holes, drawn as circles of radius 3.
TEST_F(ListingTest, SubprogramLineHighlightsEveryPassAndAClickSelectsItsLine) {
    convert(EXAMPLES_DIR "/bracket.nc");
    ASSERT_EQ(messages, std::vector<ShownMessage>{kCompleted});
    clickListing(30);
    EXPECT_EQ(listing().selectedLine(), 30);
    EXPECT_EQ(highlightedPoints(), (Points{{20, 30}, {20, 40}, {80, 10}}));
    EXPECT_EQ(status(), "30行目: G91 X10.");

    struct Step {
        Qt::Key key;
        std::int64_t line;
        Points holes;
    };
    const Step steps[] = {{Qt::Key_Down, 31, {{30, 30}, {30, 40}, {90, 10}}},
                          {Qt::Key_Up, 30, {{20, 30}, {20, 40}, {80, 10}}},
                          {Qt::Key_Up, 29, {{10, 30}, {10, 40}, {70, 10}}}};
    for (const Step& step : steps) {
        QTest::keyClick(&listing(), step.key);
        EXPECT_EQ(listing().selectedLine(), step.line);
        EXPECT_EQ(highlightedPoints(), step.holes) << step.line;
    }

    clickDrawing(90, 13);
    EXPECT_EQ(listing().selectedLine(), 31);
    // The clicked hole alone, not every pass of its line.
    EXPECT_EQ(highlightedPoints(), (Points{{90, 10}}));
    EXPECT_EQ(status(), "31行目: X10.");
    // Empty space forgets the shown line.
    clickDrawing(50, 25);
    EXPECT_EQ(listing().selectedLine(), 0);
    EXPECT_EQ(status(), "");
}

// bolt-circle-g65.nc calls O9000 of O9000.nc on line 10; its line 8 drills the first hole at X50+30 Y40.
TEST_F(ListingTest, EntityOfAProgramInAnotherFileNamesThatFileAndLine) {
    convert(EXAMPLES_DIR "/bolt-circle-g65.nc");
    ASSERT_EQ(messages, std::vector<ShownMessage>{kCompleted});
    clickDrawing(80, 40);
    EXPECT_EQ(listing().selectedLine(), 10);
    EXPECT_EQ(status(), "O9000.nc 8行目: X[#24 + #18 * COS[#30]] Y[#25 + #18 * SIN[#30]]");
}

struct GoToCase {
    const char* typed;
    std::int64_t line;  // 0: not found, the selection stays at line 2
    const char* status;
};

TEST_F(ListingTest, CtrlGGoesToALineOrASequenceNumber) {
    convert(folder.write("SEQ.NC",
                         "%\nN10 G00 X0 Y0\nN20 G01 X10. F100\n/N30 Y10.\nG01 X20. (N40)\n"
                         "N40 X0\nN0040 Y0\n%\n"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const GoToCase cases[] = {
        {"3", 3, "3行目 (N20): N20 G01 X10. F100"}, {"N30", 4, "4行目 (N30): /N30 Y10."},
        {" n40 ", 6, "6行目 (N40): N40 X0"},        {"8", 8, "8行目: %"},
        {"9", 0, "「9」の行はありません。"},        {"N50", 0, "「N50」の行はありません。"},
        {"X", 0, "「X」の行はありません。"}};
    for (const GoToCase& c : cases) {
        clickListing(2);
        goTo(c.typed);
        EXPECT_EQ(listing().selectedLine(), c.line == 0 ? 2 : c.line) << c.typed;
        EXPECT_EQ(status(), c.status);
        EXPECT_EQ(listing().goToEdit->isVisible(), c.line == 0);
        QTest::keyClick(listing().goToEdit, Qt::Key_Escape);
    }
}

// Zoomed in at the origin, line 20 of contour.nc (X100 from Y60 down to Y20) is chosen: the view moves to its
// middle at the same zoom.
TEST_F(ListingTest, AChosenLineOutsideTheViewIsBroughtIntoIt) {
    convert(EXAMPLES_DIR "/contour.nc");
    PreviewCanvas& canvas = *pane().canvas;
    const QPoint origin = canvas.toScreen(0, 0).toPoint();
    QWheelEvent wheel(origin, canvas.mapToGlobal(origin), {}, {0, 2400}, Qt::NoButton, {}, Qt::NoScrollPhase,
                      false);
    QCoreApplication::sendEvent(&canvas, &wheel);
    ASSERT_FALSE(canvas.rect().contains(canvas.toScreen(100, 40, -5).toPoint()));
    const double zoom = canvas.toScreen(1, 0).x() - canvas.toScreen(0, 0).x();
    goTo("20");
    const QPointF middle = canvas.toScreen(100, 40, -5);
    EXPECT_NEAR(middle.x(), canvas.width() / 2.0, 1.0);
    EXPECT_NEAR(middle.y(), canvas.height() / 2.0, 1.0);
    EXPECT_NEAR(canvas.toScreen(1, 0).x() - canvas.toScreen(0, 0).x(), zoom, zoom * 1e-9);
}

TEST_F(ListingTest, FarLinesOfABigFileAreFoundAndShown) {
    std::string program;
    for (int line = 1; line <= 200'000; ++line) {
        program.append("N").append(std::to_string(line)).append(" X").append(std::to_string(line % 100));
        program.append(".\r\n");
    }
    open().Preview->showProgram(folder.write("BIG.NC", program));
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    goTo("180001");
    EXPECT_EQ(status(), "180001行目 (N180001): N180001 X1.");
    const std::int64_t first = listing().firstShownLine();
    EXPECT_LE(first, 180'001);
    EXPECT_GT(first + listing().viewport()->height() / listing().fontMetrics().lineSpacing(), 180'001);
}

TEST_F(ListingTest, AFileChangedOnDiskIsNotShownUnderTheOldNumbers) {
    const std::string nc = folder.write("C.NC", ReadBytes(EXAMPLES_DIR "/contour.nc"));
    convert(nc);
    WriteBytes(nc, ReadBytes(nc) + "G00 X0\n");
    QTest::qWait(400);
    clickDrawing(30, 80);
    EXPECT_EQ(status(), "12行目: ファイルが変更されました。再度開いてください。");
    EXPECT_TRUE(listing().fileChanged());
    convert(nc);
    clickDrawing(30, 80);
    EXPECT_EQ(status(), "12行目: G01 X40.");
}

TEST_F(ListingTest, ReportLineOfACodeNotDrawnGoesToItsFirstLine) {
    convert(folder.write("END.NC", "G01 X10. F100\nM30\nG01 X20.\nG01 X30.\n"));
    const QTextBlock block = form->Memo1->document()->findBlockByLineNumber(form->Memo1->blockCount() - 1);
    ASSERT_EQ(text(block.text()), "    M30 以降の行 (実行されない) ×2 (最初: 3行目)");
    QTextCursor at(block);
    QTest::mouseClick(form->Memo1->viewport(), Qt::LeftButton, {},
                      form->Memo1->cursorRect(at).center() + QPoint(40, 0));
    EXPECT_EQ(listing().selectedLine(), 3);
    EXPECT_EQ(status(), "3行目: G01 X20.");
}

struct LineEndCase {
    const char* label;
    std::string bytes;
    std::int64_t lines;
    std::int64_t asked;
    std::string text;
};

class LineEndTest : public testing::TestWithParam<LineEndCase> {};

TEST_P(LineEndTest, LinesAreNumberedAsTheRunNumbersThem) {
    TempFolder folder;
    NcFileIndex index;
    ASSERT_TRUE(index.build(folder.write("L.NC", GetParam().bytes)));
    EXPECT_EQ(index.lineCount(), GetParam().lines);
    EXPECT_EQ(index.line(GetParam().asked, 8), GetParam().text);
}

std::string Numbered(int count, const char* end) {
    std::string lines;
    for (int line = 1; line <= count; ++line) {
        lines.append("X").append(std::to_string(line)).append(end);
    }
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LineEndTest,
    testing::Values(LineEndCase{"LineFeeds", Numbered(200, "\n"), 200, 130, "X130"},
                    LineEndCase{"CrLf", Numbered(200, "\r\n"), 200, 129, "X129"},
                    LineEndCase{"LoneCrs", Numbered(200, "\r"), 200, 65, "X65"},
                    LineEndCase{"NoLastEnd", "X1\nX2", 2, 2, "X2"},
                    LineEndCase{"ByteOrderMark", "\xEF\xBB\xBFX1\nX2\n", 2, 1, "X1"},
                    LineEndCase{"LongLineCut", std::string(100000, 'Y').insert(0, "X1\n").append("\nX3\n"), 3,
                                2, "YYYYYYYY"},
                    LineEndCase{"NulBytes", std::string("X1\n\0\0Z\n", 7), 2, 2, std::string("\0\0Z", 3)}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
