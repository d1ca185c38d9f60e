#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/tests/WindowFixture.h"

namespace {

namespace fs = std::filesystem;

const ShownMessage kMissingName{"メッセージ", "ファイル名を入力してください。"};

ShownMessage NoOpen(const std::string& path, int error = ENOENT) {
    return {"File Open Error", "No Open " + path + ": " + std::strerror(error)};
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsCompleteDrawing(const std::string& path) {
    return EndsWith(ReadBytes(path), "0\r\nEOF\r\n");
}

class RunTest : public WindowTest {
protected:
    void SetUp() override {
        nc = ncProgram("PART1.NC", 20);
        dxf = folder.file("PART1.DXF");
    }

    void expectIdle(TForm1& window) {
        EXPECT_FALSE(window.running());
        EXPECT_EQ(window.state(), WindowState::Idle);
        EXPECT_EQ(text(window.Start->text()), "変換開始");
        EXPECT_EQ(window.Start->palette().color(QPalette::ButtonText), QColor(Qt::black));
    }

    std::string nc;
    std::string dxf;
};

// The run starts with a fresh report.
TEST_F(RunTest, StartConvertsAndCountsEveryLine) {
    TForm1& window = open({nc});
    window.appendReportLine("T01  D01");
    window.Start->click();
    EXPECT_EQ(memoText(), kMemoHeadings);
    EXPECT_EQ(messages, std::vector<ShownMessage>{kCompleted});
    EXPECT_EQ(text(window.edNum->text()), "20");
    EXPECT_TRUE(IsCompleteDrawing(dxf));
    expectIdle(window);
}

TEST_F(RunTest, StartButtonShowsTheRunInRed) {
    TForm1& window = open({nc});
    std::string caption;
    QColor colour;
    const AtLine atLine(window, 3, [&] {
        caption = text(window.Start->text());
        colour = window.Start->palette().color(QPalette::ButtonText);
    });
    window.Start->click();
    EXPECT_EQ(caption, "変換中！");
    EXPECT_EQ(colour, QColor(Qt::red));
}

TEST_F(RunTest, PacedRunShowsTheExactCountWhenItEnds) {
    nc = ncProgram("LONG.NC", 5000);
    TForm1& window = open({nc}, kWindowPacing);
    std::string countAtMessage;
    window.presentMessage = [&](const QString&, const QString& shown) {
        messages.push_back({"", text(shown)});
        countAtMessage = text(window.edNum->text());
    };
    window.Start->click();
    EXPECT_EQ(countAtMessage, "5000");
    EXPECT_EQ(text(window.edNum->text()), "5000");
    EXPECT_EQ(text(window.Start->text()), "変換開始");
}

TEST_F(RunTest, AbortAfterTheTenthLine) {
    TForm1& window = open({nc});
    window.appendReportLine("T01  D01");
    const AtLine atLine(window, 10, [&] { window.Aboat->click(); });
    window.Start->click();
    EXPECT_TRUE(atLine.done());
    EXPECT_EQ(text(window.edNum->text()), "10");
    EXPECT_EQ(memoText(), kMemoHeadings);
    EXPECT_FALSE(fs::exists(dxf));
    EXPECT_EQ(messages, std::vector<ShownMessage>{kAborted});
    expectIdle(window);
}

TEST_F(RunTest, EnterOnAFocusedAbortStopsTheRun) {
    TForm1& window = open({nc});
    const AtLine atLine(window, 10, [&] {
        window.Aboat->setFocus();
        QTest::keyClick(window.Aboat, Qt::Key_Return);
    });
    window.Start->click();
    EXPECT_TRUE(atLine.done());
    EXPECT_EQ(text(window.edNum->text()), "10");
    EXPECT_FALSE(fs::exists(dxf));
    EXPECT_EQ(messages, std::vector<ShownMessage>{kAborted});
    expectIdle(window);
}

// Abort is offered only while a run reads lines, and Escape is Abort from whatever has the focus.
TEST_F(RunTest, AbortAndEscapeWorkOnlyWhileARunGoes) {
    TForm1& window = open({nc});
    QTest::keyClick(window.NcFileNameEdit, Qt::Key_Escape);
    std::vector<bool> offered{window.Aboat->isEnabled()};
    const AtLine atLine(window, 10, [&] {
        offered.push_back(window.Aboat->isEnabled());
        QTest::keyClick(window.NcFileNameEdit, Qt::Key_Escape);
    });
    window.Start->click();
    offered.push_back(window.Aboat->isEnabled());
    EXPECT_EQ(offered, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(text(window.edNum->text()), "10");
    EXPECT_EQ(messages, std::vector<ShownMessage>{kAborted});
}

TEST_F(RunTest, StartDuringARunIsIgnored) {
    TForm1& window = open({nc});
    const AtLine atLine(window, 5, [&] {
        EXPECT_EQ(window.state(), WindowState::Converting);
        window.Start->click();
    });
    window.Start->click();
    EXPECT_TRUE(atLine.done());
    EXPECT_EQ(messages, std::vector<ShownMessage>{kCompleted});
    EXPECT_EQ(text(window.edNum->text()), "20");
    EXPECT_TRUE(IsCompleteDrawing(dxf));
}

TEST_F(RunTest, OpenMenuDuringARunIsIgnored) {
    TForm1& window = open({nc});
    fileAnswers = {QStringLiteral("/data/nc/OTHER.NC")};
    const AtLine atLine(window, 5, [&] { window.Open1->trigger(); });
    window.Start->click();
    EXPECT_TRUE(atLine.done());
    EXPECT_TRUE(filtersAsked.empty());
    EXPECT_EQ(window.ncFile, nc);
    EXPECT_EQ(messages, std::vector<ShownMessage>{kCompleted});
}

TEST_F(RunTest, ClosingDuringARunStopsItAsAbortDoes) {
    TForm1& window = open({nc});
    const AtLine atLine(window, 5, [&] { window.close(); });
    window.Start->click();
    EXPECT_TRUE(atLine.done());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(text(window.edNum->text()), "5");
    EXPECT_FALSE(fs::exists(dxf));
    EXPECT_EQ(messages, std::vector<ShownMessage>{kAborted});
}

TEST_F(RunTest, EmptyNamesAreRefusedWithOneMessage) {
    TForm1& window = open();
    window.Start->click();
    typeNames(nc, "");
    window.Start->click();
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kMissingName, kMissingName}));
    EXPECT_EQ(text(window.edNum->text()), "");
    EXPECT_FALSE(fs::exists(dxf));
}

TEST_F(RunTest, ChangedHeaderNameIsUsed) {
    TForm1& window = open({nc});
    const std::string header = folder.file("MISSING.dat");
    window.HedderEdit->setText(QString::fromStdString(header));
    window.Start->click();
    EXPECT_EQ(window.hedderFile, header);
    EXPECT_EQ(messages, std::vector<ShownMessage>{NoOpen(header)});
}

// Each bad input gives one message, loses nothing that existed, and leaves a window that converts the next
// good file.
class BadInputTest : public RunTest {
protected:
    void expectStillUsable(TForm1& window) {
        expectIdle(window);
        messages.clear();
        typeNames(nc, dxf);
        window.HedderEdit->setText(QString::fromStdString(window.exeDir + "Hedder.dat"));
        window.FooterEdit->setText(QString::fromStdString(window.exeDir + "Footer.dat"));
        window.Start->click();
        EXPECT_EQ(messages, std::vector<ShownMessage>{kCompleted});
    }
};

TEST_F(BadInputTest, MissingNcFile) {
    TForm1& window = open();
    WriteBytes(folder.file("OLD.DXF"), "old drawing");
    typeNames(folder.file("OLD.NC"), folder.file("OLD.DXF"));
    window.Start->click();
    EXPECT_EQ(messages, std::vector<ShownMessage>{NoOpen(folder.file("OLD.NC"))});
    EXPECT_EQ(ReadBytes(folder.file("OLD.DXF")), "old drawing");
    expectStillUsable(window);
}

TEST_F(BadInputTest, FolderAsNcFile) {
    TForm1& window = open();
    fs::create_directory(folder.file("JOBS"));
    typeNames(folder.file("JOBS"), folder.file("JOBS.DXF"));
    window.Start->click();
    EXPECT_EQ(messages, std::vector<ShownMessage>{NoOpen(folder.file("JOBS"), EISDIR)});
    EXPECT_FALSE(fs::exists(folder.file("JOBS.DXF")));
    expectStillUsable(window);
}

TEST_F(BadInputTest, OutputFolderThatCannotBeWritten) {
    TForm1& window = open();
    const std::string unwritable = folder.file("PART1.NC/PART1.DXF");
    typeNames(nc, unwritable);
    window.Start->click();
    EXPECT_EQ(messages, std::vector<ShownMessage>{NoOpen(unwritable, ENOTDIR)});
    EXPECT_FALSE(fs::exists(dxf));
    expectStillUsable(window);
}

TEST_F(BadInputTest, MissingFooterTemplate) {
    TForm1& window = open({nc});
    WriteBytes(dxf, "old drawing");
    window.FooterEdit->setText(QString::fromStdString(folder.file("Footer.dat")));
    window.Start->click();
    EXPECT_EQ(messages, std::vector<ShownMessage>{NoOpen(folder.file("Footer.dat"))});
    EXPECT_EQ(ReadBytes(dxf), "old drawing");
    expectStillUsable(window);
}

TEST_F(BadInputTest, MissingHeaderTemplate) {
    TForm1& window = open({nc});
    WriteBytes(dxf, "old drawing");
    window.HedderEdit->setText(QString::fromStdString(folder.file("Hedder.dat")));
    window.Start->click();
    EXPECT_EQ(messages, std::vector<ShownMessage>{NoOpen(folder.file("Hedder.dat"))});
    EXPECT_EQ(ReadBytes(dxf), "old drawing");
    expectStillUsable(window);
}

// The message boxes themselves: the caption as given, the text, one OK button, no icon.
TEST_F(RunTest, MessagesAreModalBoxesWithTheirCaption) {
    form = std::make_unique<TForm1>(std::vector<std::string>{});
    TForm1& window = *form;
    window.show();
    std::vector<ShownMessage> boxes;
    const auto answer = [&](QWidget& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        ASSERT_NE(box, nullptr);
        boxes.push_back({text(box->windowTitle()), text(box->text())});
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    };
    AnswerModal(window, answer);
    window.Start->click();
    typeNames(folder.file("ABSENT.NC"), dxf);
    AnswerModal(window, answer);
    window.Start->click();
    EXPECT_EQ(boxes, (std::vector<ShownMessage>{kMissingName, NoOpen(folder.file("ABSENT.NC"))}));
}

// Qt's application object adopts the environment's locale; a decimal comma must not reach the counter or the
// drawing.
TEST_F(RunTest, DecimalCommaLocaleChangesNoNumber) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    nc = folder.write("DECIMALS.NC",
                      "G00 X0 Y0 Z5.\r\nG01 Z-1.5 F150.5\r\nG01 X10.25 Y-3.75\r\n"
                      "G02 X20.5 Y6.5 R10.25\r\nG00 Z5.\r\n");
    TForm1& window = open({nc});
    window.Start->click();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(messages, std::vector<ShownMessage>{kCompleted});
    EXPECT_EQ(text(window.edNum->text()), "5");
    EXPECT_EQ(ReadBytes(folder.file("DECIMALS.DXF")).find(','), std::string::npos);
}

}  // namespace
