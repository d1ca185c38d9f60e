#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/OKDlg.h"
#include "app/tests/WindowFixture.h"

namespace {

namespace fs = std::filesystem;

class DropTest : public WindowTest {
protected:
    void SetUp() override {
        for (const char* name : {"ONE.NC", "TWO.NC", "THREE.NC"}) {
            programs.push_back(ncProgram(name, 20));
        }
    }

    std::string drawing(const char* name) const { return folder.file(name); }

    // Drops `paths` on the window (over `under` when given) as the desktop does, and lets the window work
    // through them.
    bool drop(const std::vector<std::string>& paths, QWidget* under = nullptr) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths) {
            urls << QUrl::fromLocalFile(QString::fromStdString(path));
        }
        data.setUrls(urls);
        return dropData(data, under);
    }

    // A drag that enters the window, moves and is let go over `under`: true when the drop was taken. Qt
    // hands it to `under` or, when that does not accept drops, to its nearest parent that does.
    bool dropData(const QMimeData& data, QWidget* under = nullptr) {
        QWidget* target = under != nullptr ? under : form.get();
        while (!target->acceptDrops() && !target->isWindow()) {
            target = target->parentWidget();
        }
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(QPoint(12, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        move.setAccepted(enter.isAccepted());
        QCoreApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(12, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        drop.ignore();
        QCoreApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        return enter.isAccepted() && move.isAccepted() && drop.isAccepted();
    }

    std::vector<std::string> programs;
};

TEST_F(DropTest, OneFileFillsInTheNamesAndAsksNothing) {
    TForm1& window = open();
    EXPECT_TRUE(drop({programs[0]}));
    EXPECT_EQ(window.ncFile, programs[0]);
    EXPECT_EQ(text(window.DxfFileNameEdit->text()), drawing("ONE.DXF"));
    EXPECT_TRUE(confirmationsAsked.empty());
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(fs::exists(drawing("ONE.DXF")));
    EXPECT_EQ(window.state(), WindowState::Idle);
}

TEST_F(DropTest, ThreeFilesAnsweredOkCancelOk) {
    TForm1& window = open();
    std::vector<bool> answers = {true, false, true};
    confirm = [&](const std::string&) { return answers[confirmationsAsked.size() - 1]; };
    drop(programs);
    EXPECT_EQ(confirmationsAsked, programs);
    EXPECT_TRUE(fs::exists(drawing("ONE.DXF")));
    EXPECT_FALSE(fs::exists(drawing("TWO.DXF")));
    EXPECT_TRUE(fs::exists(drawing("THREE.DXF")));
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kCompleted, kCompleted}));
    EXPECT_EQ(text(window.NcFileNameEdit->text()), programs[2]);
    EXPECT_EQ(text(window.DxfFileNameEdit->text()), drawing("THREE.DXF"));
    EXPECT_EQ(window.state(), WindowState::Idle);
}

// A batch's report is cleared once; each converted file's part begins with its name.
TEST_F(DropTest, BatchReportHeadsEachFileWithItsName) {
    TForm1& window = open();
    programs[1] = folder.write("TWO.NC", "G00 X0 Y0\nG51 X0 Y0 P0\n");
    confirm = [&](const std::string& path) { return path != programs[2]; };
    window.appendReportLine("T01  D01");
    drop(programs);
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kCompleted, kCompletedWithOmissions}));
    EXPECT_EQ(memoText(), kMemoHeadings + "\n■ " + programs[0] + "\n■ " + programs[1] +
                              "\n作図していないコード\n    G51 倍率0 ×1 (最初: 2行目)");
}

TEST_F(DropTest, EachConfirmationFollowsThePreviousRun) {
    open();
    std::vector<bool> drawingsWhenAsked;
    confirm = [&](const std::string&) {
        drawingsWhenAsked.push_back(fs::exists(drawing("ONE.DXF")) &&
                                    messages.size() == drawingsWhenAsked.size());
        return true;
    };
    drop({programs[0], programs[1]});
    EXPECT_EQ(drawingsWhenAsked, (std::vector<bool>{false, true}));
}

TEST_F(DropTest, LastFileStaysInTheEditsWhenItIsSkipped) {
    TForm1& window = open();
    confirm = [&](const std::string& path) { return path != programs[1]; };
    drop({programs[0], programs[1]});
    EXPECT_EQ(window.ncFile, programs[1]);
    EXPECT_EQ(window.dxfFile, drawing("TWO.DXF"));
    EXPECT_FALSE(fs::exists(drawing("TWO.DXF")));
}

TEST_F(DropTest, AbortDuringTheSecondOfThreeGoesOnWithTheThird) {
    TForm1& window = open();
    std::unique_ptr<AtLine> abortSecond;
    confirm = [&](const std::string& path) {
        if (path == programs[1]) {
            abortSecond = std::make_unique<AtLine>(window, 7, [&] { window.Aboat->click(); });
        }
        return true;
    };
    drop(programs);
    EXPECT_EQ(confirmationsAsked, programs);
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kCompleted, kAborted, kCompleted}));
    EXPECT_TRUE(fs::exists(drawing("ONE.DXF")));
    EXPECT_FALSE(fs::exists(drawing("TWO.DXF")));
    EXPECT_TRUE(fs::exists(drawing("THREE.DXF")));
}

TEST_F(DropTest, ClosingDuringABatchEndsIt) {
    TForm1& window = open();
    std::unique_ptr<AtLine> closeInFirst = std::make_unique<AtLine>(window, 7, [&] { window.close(); });
    drop(programs);
    EXPECT_EQ(confirmationsAsked, std::vector<std::string>{programs[0]});
    EXPECT_EQ(messages, std::vector<ShownMessage>{kAborted});
    EXPECT_FALSE(fs::exists(drawing("ONE.DXF")));
    EXPECT_EQ(window.state(), WindowState::Idle);
}

// What the window is doing, as seen by the handlers that run on top of a batch: while it asks, while a run
// reads lines (where a second drop, a Start or a browse is refused), and once all is done.
TEST_F(DropTest, StateFollowsTheBatch) {
    TForm1& window = open();
    std::vector<WindowState> seen;
    confirm = [&](const std::string&) {
        seen.push_back(window.state());
        return true;
    };
    bool secondDropTaken = true;
    const AtLine inFirstRun(window, 5, [&] {
        seen.push_back(window.state());
        EXPECT_TRUE(window.running());
        secondDropTaken = drop({programs[2]});
    });
    drop({programs[0], programs[1]});
    EXPECT_EQ(seen, (std::vector<WindowState>{WindowState::Dropping, WindowState::Converting,
                                              WindowState::Dropping}));
    EXPECT_FALSE(secondDropTaken);
    EXPECT_EQ(confirmationsAsked, (std::vector<std::string>{programs[0], programs[1]}));
    EXPECT_EQ(window.state(), WindowState::Idle);
    EXPECT_FALSE(window.running());
}

TEST_F(DropTest, DropDuringARunIsIgnored) {
    TForm1& window = open({programs[0]});
    bool accepted = true;
    const AtLine atLine(window, 5, [&] { accepted = drop({programs[1]}); });
    window.Start->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(atLine.done());
    EXPECT_FALSE(accepted);
    EXPECT_EQ(window.ncFile, programs[0]);
    EXPECT_EQ(messages, std::vector<ShownMessage>{kCompleted});
}

TEST_F(DropTest, OnlyLocalFilesCountInTheOrderGiven) {
    TForm1& window = open();
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.com/a.nc")),
                  QUrl::fromLocalFile(QString::fromStdString(programs[2])),
                  QUrl::fromLocalFile(QString::fromStdString(programs[0]))});
    confirm = [](const std::string&) { return false; };
    EXPECT_TRUE(dropData(data));
    EXPECT_EQ(confirmationsAsked, (std::vector<std::string>{programs[2], programs[0]}));
    EXPECT_EQ(window.ncFile, programs[0]);
}

TEST_F(DropTest, DroppedFolderBecomesTheNcNameAndStartSaysItCannotBeRead) {
    TForm1& window = open();
    const std::string jobs = folder.file("JOBS");
    fs::create_directory(jobs);
    drop({jobs});
    EXPECT_EQ(window.ncFile, jobs);
    EXPECT_EQ(window.dxfFile, jobs + ".DXF");
    const ShownMessage cannotOpen{"File Open Error", "No Open " + jobs + ": " + std::strerror(EISDIR)};
    EXPECT_EQ(messages, std::vector<ShownMessage>{cannotOpen});
    window.Start->click();
    EXPECT_EQ(messages, (std::vector<ShownMessage>{cannotOpen, cannotOpen}));
    EXPECT_FALSE(fs::exists(jobs + ".DXF"));
}

// A file dragged onto an edit or the report is the window's drop, not text for that control.
struct ChildCase {
    const char* name;
    QWidget* (*under)(TForm1&);
};

void PrintTo(const ChildCase& c, std::ostream* out) {
    *out << c.name;
}

class ChildDropTest : public DropTest, public testing::WithParamInterface<ChildCase> {};

TEST_P(ChildDropTest, FileDroppedOnAChildIsADroppedFile) {
    TForm1& window = open();
    const QString header = window.HedderEdit->text();
    const QString footer = window.FooterEdit->text();
    EXPECT_TRUE(drop({programs[0]}, GetParam().under(window)));
    EXPECT_EQ(text(window.NcFileNameEdit->text()), programs[0]);
    EXPECT_EQ(window.ncFile, programs[0]);
    EXPECT_EQ(window.dxfFile, drawing("ONE.DXF"));
    EXPECT_EQ(window.HedderEdit->text(), header);
    EXPECT_EQ(window.FooterEdit->text(), footer);
    // Drawn at once, all 20 lines of the program, and nothing written.
    EXPECT_EQ(text(window.edNum->text()), "20");
    EXPECT_FALSE(fs::exists(drawing("ONE.DXF")));
    EXPECT_EQ(memoText(), kMemoHeadings);
    EXPECT_TRUE(confirmationsAsked.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Children, ChildDropTest,
    testing::Values(ChildCase{"NcEdit", [](TForm1& w) -> QWidget* { return w.NcFileNameEdit; }},
                    ChildCase{"DxfEdit", [](TForm1& w) -> QWidget* { return w.DxfFileNameEdit; }},
                    ChildCase{"HeaderEdit", [](TForm1& w) -> QWidget* { return w.HedderEdit; }},
                    ChildCase{"FooterEdit", [](TForm1& w) -> QWidget* { return w.FooterEdit; }},
                    ChildCase{"Counter", [](TForm1& w) -> QWidget* { return w.edNum; }},
                    ChildCase{"Report", [](TForm1& w) -> QWidget* { return w.Memo1->viewport(); }},
                    ChildCase{"Label", [](TForm1& w) -> QWidget* { return w.Hedder; }}),
    [](const testing::TestParamInfo<ChildCase>& info) { return std::string(info.param.name); });

TEST_F(DropTest, TextDraggedOntoAnEditStaysText) {
    TForm1& window = open();
    window.FooterEdit->clear();
    QMimeData data;
    data.setText(QStringLiteral("Footer2.dat"));
    EXPECT_TRUE(dropData(data, window.FooterEdit));
    EXPECT_EQ(text(window.FooterEdit->text()), "Footer2.dat");
    EXPECT_EQ(window.ncFile, "");
}

// The confirmation itself is the dialog, owned by the window, showing the file's path.
TEST_F(DropTest, ConfirmationDialogShowsThePathAndItsAnswerCounts) {
    form = std::make_unique<TForm1>(std::vector<std::string>{}, kEveryLine);
    form->presentMessage = [this](const QString& caption, const QString& shown) {
        messages.push_back({text(caption), text(shown)});
    };
    form->show();
    std::vector<std::string> shownPaths;
    const auto seen = [&](QWidget& dialog) {
        auto* confirmation = qobject_cast<TOKBottomDlg*>(&dialog);
        if (confirmation != nullptr) {
            EXPECT_EQ(confirmation->parentWidget(), form.get());
            shownPaths.push_back(text(confirmation->StaticText1->text()));
        } else {
            ADD_FAILURE() << "another dialog came up";
            dialog.close();
        }
        return confirmation;
    };
    const std::function<void(QWidget&)> convertSecond = [&](QWidget& dialog) {
        if (TOKBottomDlg* confirmation = seen(dialog)) {
            confirmation->Start->click();
        }
    };
    AnswerModal(*form, [&](QWidget& dialog) {
        if (TOKBottomDlg* confirmation = seen(dialog)) {
            AnswerModal(*form, convertSecond);
            confirmation->CancelBtn->click();
        }
    });
    drop({programs[0], programs[1]});
    EXPECT_EQ(shownPaths, (std::vector<std::string>{programs[0], programs[1]}));
    EXPECT_FALSE(fs::exists(drawing("ONE.DXF")));
    EXPECT_TRUE(fs::exists(drawing("TWO.DXF")));
    EXPECT_EQ(messages, std::vector<ShownMessage>{kCompleted});
}

}  // namespace
