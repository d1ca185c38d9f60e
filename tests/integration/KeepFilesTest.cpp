// Runs plotra-convert the way a user who means harm, or has bad luck, would: interrupted, out of space, fed
// FIFOs and unreadable files, with its output replaced, linked, shared by two runs or clashing inside a
// batch. Whatever happens, an earlier drawing stays byte for byte as it was and no temporary file is left.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/OrdinaryUser.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

// Not a drawing any run could write, so that a test sees whether it was touched.
const std::string kEarlier = "0\r\nEARLIER DRAWING\r\n0\r\nEOF\r\n";

// A program long enough that a test can act while it is converted: every line draws a LINE.
std::string LongProgram(int lines, int shift = 0) {
    std::string program = "G90 G01 F1000.\n";
    for (int i = 0; i < lines; ++i) {
        program += "X" + std::to_string((i + shift) % 100) + ".Y" + std::to_string(i % 7) + ".\n";
    }
    return program;
}

struct Finished {
    int status = -1;  // exit status, or 128 + signal
    std::string err;
};

class KeepFilesTest : public ::testing::Test {
protected:
    // Starts the converter in the test folder with `arguments`; its standard error goes to `errName`.
    pid_t start(const std::vector<std::string>& arguments, const std::string& errName = "stderr") {
        std::vector<std::string> all = {converter};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : all) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        const std::string dir = folder.path().string();
        const std::string err = folder.file(errName);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int in = ::open("/dev/null", O_RDONLY);
            const int out = ::open("/dev/null", O_WRONLY);
            const int error = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0 || error < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
                ::dup2(error, 2) < 0 || ::chdir(dir.c_str()) != 0) {
                ::_exit(127);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        return pid;
    }

    Finished wait(pid_t pid, const std::string& errName = "stderr") {
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        Finished finished;
        finished.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        finished.err = ReadBytes(folder.file(errName));
        return finished;
    }

    // Runs a shell command line in the test folder, with $PLOTRA naming the converter.
    Finished shell(const std::string& script) {
        const std::string command = "cd '" + folder.path().string() + "' && PLOTRA='" + converter + "' && " +
                                    "{ " + script + "; } >stdout 2>stderr";
        const int raw = std::system(command.c_str());
        Finished finished;
        finished.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        finished.err = ReadBytes(folder.file("stderr"));
        return finished;
    }

    // Waits until a run has created its temporary file beside `output`.
    bool waitForTemporaryOf(const std::string& output) {
        for (int i = 0; i < 20000; ++i) {
            if (!temporaryFiles(output).empty()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return false;
    }

    // The hidden files ".<output>.plotra-" and six letters that a run writes aside.
    std::vector<std::string> temporaryFiles(const std::string& output) const {
        const std::string stem = "." + output + ".plotra-";
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name.size() == stem.size() + 6 && name.compare(0, stem.size(), stem) == 0) {
                found.push_back(name);
            }
        }
        return found;
    }

    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            found.insert(entry.path().filename().string());
        }
        return found;
    }

    // The drawing that `program` converts to when nothing goes wrong.
    std::string drawingOf(const std::string& program, const std::string& name = "reference") {
        const std::string nc = folder.write(name + ".nc", program);
        const Finished finished = wait(start({"-q", "-o", name + ".dxf", nc}));
        EXPECT_EQ(finished.status, 0) << finished.err;
        const std::string drawing = ReadBytes(folder.file(name + ".dxf"));
        fs::remove(folder.file(name + ".dxf"));
        fs::remove(nc);
        return drawing;
    }

    void expectEarlierKept(const std::string& name) {
        EXPECT_EQ(ReadBytes(folder.file(name)), kEarlier) << name;
        EXPECT_TRUE(temporaryFiles(name).empty()) << name;
    }

    // Runs `body` as an ordinary user. As root, that user runs a copy of the converter in the test folder,
    // opened to everyone, as the build folder may be closed to it.
    void asOrdinaryUser(const std::function<void()>& body) {
        if (::geteuid() == 0) {
            fs::permissions(folder.path(), fs::perms::all);
            const fs::path built = fs::path(CONVERT_COMMAND).parent_path();
            const fs::path copy = folder.file("bin");
            fs::create_directory(copy);
            const std::string program = fs::path(CONVERT_COMMAND).filename().string();
            for (const std::string& name : {program, std::string("Hedder.dat"), std::string("Footer.dat")}) {
                fs::copy_file(built / name, copy / name);
            }
            converter = (copy / program).string();
        }
        AsOrdinaryUser(body);
    }

    TempFolder folder;
    std::string converter = CONVERT_COMMAND;
};

// Ctrl-C, SIGTERM and SIGHUP in the middle of a run; the output name replaced, or a link; a batch.
struct InterruptCase {
    const char* label;
    int signal;
    std::function<void(TempFolder&)> duringTheRun;
};

void PrintTo(const InterruptCase& c, std::ostream* os) {
    *os << c.label;
}

class InterruptTest : public KeepFilesTest, public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(InterruptTest, OnlyTheRunsOwnFileGoes) {
    folder.write("big.nc", LongProgram(100000));
    folder.write("next.nc", "G00 X1.\n");
    folder.write("big.DXF", kEarlier);
    folder.write("next.DXF", kEarlier);
    folder.write("precious.dxf", kEarlier);
    const pid_t pid = start({"big.nc", "next.nc"});
    ASSERT_TRUE(waitForTemporaryOf("big.DXF"));
    GetParam().duringTheRun(folder);
    ::kill(pid, GetParam().signal);
    const Finished finished = wait(pid);
    EXPECT_EQ(finished.status, 1) << finished.err;
    EXPECT_NE(finished.err.find("強制終了します。"), std::string::npos) << finished.err;
    // The file being converted, or what the user moved in its place, and the file after it in the batch.
    expectEarlierKept("big.DXF");
    expectEarlierKept("next.DXF");
}

INSTANTIATE_TEST_SUITE_P(Runs, InterruptTest,
                         ::testing::Values(InterruptCase{"CtrlCInABatch", SIGINT, [](TempFolder&) {}},
                                           InterruptCase{"Terminated", SIGTERM, [](TempFolder&) {}},
                                           InterruptCase{"HungUp", SIGHUP, [](TempFolder&) {}},
                                           InterruptCase{"OutputReplacedThenCtrlC", SIGINT,
                                                         [](TempFolder& f) {
                                                             fs::rename(f.file("precious.dxf"),
                                                                        f.file("big.DXF"));
                                                         }}),
                         [](const auto& info) { return std::string(info.param.label); });

// A link as output name: the run writes through it, and an interrupted run leaves the target as it was.
TEST_F(KeepFilesTest, LinkedOutputIsReplacedThroughTheLink) {
    const std::string program = "G00 X1.\nG01 Y2. F100.\n";
    const std::string expected = drawingOf(program);
    folder.write("part.nc", program);
    fs::create_directory(folder.file("drawings"));
    folder.write("drawings/part.dxf", kEarlier);
    fs::create_symlink("drawings/part.dxf", folder.file("link.dxf"));
    folder.write("long.nc", LongProgram(100000));
    const pid_t pid = start({"-o", "link.dxf", "long.nc"});
    // The drawing is written aside in the target's folder.
    for (int i = 0; i < 20000 && std::distance(fs::directory_iterator(folder.file("drawings")), {}) < 2;
         ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    ::kill(pid, SIGINT);
    EXPECT_EQ(wait(pid).status, 1);
    EXPECT_TRUE(fs::is_symlink(folder.file("link.dxf")));
    EXPECT_EQ(ReadBytes(folder.file("drawings/part.dxf")), kEarlier);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.file("drawings")), {}), 1);

    const Finished finished = wait(start({"-q", "-o", "link.dxf", "part.nc"}));
    EXPECT_EQ(finished.status, 0) << finished.err;
    EXPECT_TRUE(fs::is_symlink(folder.file("link.dxf")));
    EXPECT_EQ(ReadBytes(folder.file("drawings/part.dxf")), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.file("drawings")), {}), 1);

    // A link to that link is followed to the end as well.
    fs::create_symlink("link.dxf", folder.file("second.dxf"));
    folder.write("drawings/part.dxf", kEarlier);
    EXPECT_EQ(wait(start({"-q", "-o", "second.dxf", "part.nc"})).status, 0);
    EXPECT_TRUE(fs::is_symlink(folder.file("second.dxf")));
    EXPECT_TRUE(fs::is_symlink(folder.file("link.dxf")));
    EXPECT_EQ(ReadBytes(folder.file("drawings/part.dxf")), expected);
}

// An output name that leads to a descriptor the shell opened is written into as the shell's own `>>` would:
// after what the file held, with the report that goes to standard output kept too.
struct DescriptorCase {
    const char* label;
    const char* script;  // converts part.nc through a descriptor into log.txt
    bool reportInLog;
};

class DescriptorOutputTest : public KeepFilesTest, public ::testing::WithParamInterface<DescriptorCase> {};

TEST_P(DescriptorOutputTest, AppendsToWhatTheDescriptorHolds) {
    const std::string program = "G00 X1.\nG01 Y2. F100.\n";
    const std::string drawing = drawingOf(program);
    folder.write("part.nc", program);
    folder.write("log.txt", kEarlier);
    const Finished finished = shell(GetParam().script);
    EXPECT_EQ(finished.status, 0) << finished.err;
    const std::string log = ReadBytes(folder.file("log.txt"));
    EXPECT_EQ(log.substr(0, kEarlier.size()), kEarlier);
    EXPECT_NE(log.find(drawing), std::string::npos) << log;
    EXPECT_EQ(log.find("ツール番号・径補正番号") != std::string::npos, GetParam().reportInLog) << log;
    EXPECT_EQ(names(), (std::set<std::string>{"part.nc", "log.txt", "stdout", "stderr"}));
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, DescriptorOutputTest,
    ::testing::Values(DescriptorCase{"DevStdout", "\"$PLOTRA\" -o /dev/stdout part.nc >>log.txt", true},
                      DescriptorCase{"DevFd", "\"$PLOTRA\" -o /dev/fd/3 part.nc 3>>log.txt", false},
                      DescriptorCase{"ProcSelfFd", "\"$PLOTRA\" -o /proc/self/fd/1 part.nc >>log.txt", true},
                      DescriptorCase{"LinkToStdout",
                                     "ln -s /dev/stdout out.DXF && \"$PLOTRA\" -o out.DXF "
                                     "part.nc >>log.txt && rm out.DXF",
                                     true}),
    [](const auto& info) { return std::string(info.param.label); });

// Names that meet only behind links, dangling ones too, are refused before anything is written; a loop of
// links is refused with its reason and stays as it was.
struct LinkClashCase {
    const char* label;
    const char* script;  // in a folder holding a.nc and b.nc
    const char* message;
};

class LinkClashTest : public KeepFilesTest, public ::testing::WithParamInterface<LinkClashCase> {};

TEST_P(LinkClashTest, RefusesBeforeWriting) {
    folder.write("a.nc", "G00 X1.\n");
    folder.write("b.nc", "G00 X2.\n");
    const std::set<std::string> before = {"a.nc", "b.nc", "stdout", "stderr"};
    const Finished finished = shell(GetParam().script);
    EXPECT_EQ(finished.status, 1) << finished.err;
    EXPECT_NE(finished.err.find(GetParam().message), std::string::npos) << finished.err;
    std::set<std::string> links;
    for (const std::string& name : names()) {
        if (fs::is_symlink(folder.file(name))) {
            links.insert(name);
        } else {
            EXPECT_TRUE(before.count(name)) << name << " was written";
        }
    }
    EXPECT_FALSE(links.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, LinkClashTest,
    ::testing::Values(LinkClashCase{"DanglingLinkToAnotherOutput",
                                    "ln -s b.DXF a.DXF && \"$PLOTRA\" a.nc b.nc",
                                    "a.DXF: 出力ファイル名が他のＮＣファイルの出力と同じです。"},
                      LinkClashCase{"PictureLinkedToTheDrawing",
                                    "ln -s out.DXF pic.svg && \"$PLOTRA\" -o out.DXF --svg pic.svg a.nc",
                                    "出力ファイル名が入力ファイルと同じです。"},
                      LinkClashCase{"LoopOfLinks",
                                    "ln -s loop2 loop1 && ln -s loop1 loop2 && \"$PLOTRA\" -o loop1 a.nc",
                                    "No Open loop1: Too many levels of symbolic links"}),
    [](const auto& info) { return std::string(info.param.label); });

// Inputs that fail while they are read, and output that cannot be written to its end.
struct FailingCase {
    const char* label;
    const char* script;  // run in the folder, converting part.nc (a long program) to keep.DXF
    const char* message;
};

void PrintTo(const FailingCase& c, std::ostream* os) {
    *os << c.label;
}

class FailingRunTest : public KeepFilesTest, public ::testing::WithParamInterface<FailingCase> {};

TEST_P(FailingRunTest, KeepsTheEarlierDrawing) {
    folder.write("part.nc", LongProgram(3000));
    folder.write("keep.DXF", kEarlier);
    const Finished finished = shell(GetParam().script);
    EXPECT_EQ(finished.status, 1) << finished.err;
    EXPECT_NE(finished.err.find(GetParam().message), std::string::npos) << finished.err;
    EXPECT_EQ(finished.err.find("正常に終了しました。"), std::string::npos) << finished.err;
    expectEarlierKept("keep.DXF");
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FailingRunTest,
    ::testing::Values(
        FailingCase{"NcFailsWhileRead", "\"$PLOTRA\" -o keep.DXF /proc/self/mem",
                    "No Read /proc/self/mem: Input/output error"},
        FailingCase{"HeaderFailsWhileRead", "\"$PLOTRA\" --header /proc/self/mem -o keep.DXF part.nc",
                    "No Read /proc/self/mem: Input/output error"},
        FailingCase{"FooterFailsWhileRead", "\"$PLOTRA\" --footer /proc/self/mem -o keep.DXF part.nc",
                    "No Read /proc/self/mem: Input/output error"},
        FailingCase{"FileSizeLimit", "ulimit -f 64 && \"$PLOTRA\" -o keep.DXF part.nc",
                    "No Write keep.DXF: File too large"},
        FailingCase{"ReportToAFullDevice", "\"$PLOTRA\" -o keep.DXF part.nc >/dev/full",
                    "No Write standard output: No space left on device"},
        FailingCase{"ReportToAPipeClosedByItsReader",
                    "awk 'BEGIN { for (i = 0; i < 40000; i++) print \"T\" i % 2 + 1 \" M06\" }' >tools.nc && "
                    "{ \"$PLOTRA\" -o keep.DXF tools.nc; echo $? >status; } | head -1 >/dev/null; "
                    "exit $(cat status)",
                    "No Write standard output: Broken pipe"},
        FailingCase{"NcIsAFifo", "mkfifo fifo.nc && timeout 20 \"$PLOTRA\" -o keep.DXF fifo.nc",
                    "No Open fifo.nc: not a regular file"},
        FailingCase{"HeaderIsAFifo",
                    "mkfifo h.dat && timeout 20 \"$PLOTRA\" --header h.dat -o keep.DXF part.nc",
                    "No Open h.dat: not a regular file"},
        FailingCase{"FooterIsAFifo",
                    "mkfifo f.dat && timeout 20 \"$PLOTRA\" --footer f.dat -o keep.DXF part.nc",
                    "No Open f.dat: not a regular file"},
        FailingCase{"Utf16Program", "printf 'G\\000\\n\\000' >wide.nc && \"$PLOTRA\" -o keep.DXF wide.nc",
                    "No Read wide.nc: UTF-16LE text"},
        FailingCase{"PictureToAFullDevice", "\"$PLOTRA\" -o keep.DXF --svg /dev/full part.nc",
                    "No Write /dev/full: No space left on device"},
        FailingCase{"PictureAppendedToAFile", "\"$PLOTRA\" -o keep.DXF --svg /dev/stdout part.nc >>log.txt",
                    "No Write /dev/stdout: Illegal seek"},
        FailingCase{"LinkIntoProc", "ln -s /proc/nothing proc.DXF && \"$PLOTRA\" -o proc.DXF part.nc",
                    "/proc: フォルダに書き込めません: Permission denied"}),
    [](const auto& info) { return std::string(info.param.label); });

// A drawing the user may not replace, in a folder they cannot write or itself read-only, is not touched.
struct ReadOnlyCase {
    const char* label;
    fs::perms folder;
    fs::perms drawing;
    const char* message;
};

void PrintTo(const ReadOnlyCase& c, std::ostream* os) {
    *os << c.label;
}

class ReadOnlyTest : public KeepFilesTest, public ::testing::WithParamInterface<ReadOnlyCase> {};

TEST_P(ReadOnlyTest, LeavesTheDrawingAlone) {
    asOrdinaryUser([&] {
        folder.write("part.nc", "G00 X1.\n");
        fs::create_directory(folder.file("ro"));
        folder.write("ro/keep.DXF", kEarlier);
        fs::permissions(folder.file("ro/keep.DXF"), GetParam().drawing);
        fs::permissions(folder.file("ro"), GetParam().folder);
        const Finished finished = shell("\"$PLOTRA\" -o ro/keep.DXF part.nc");
        fs::permissions(folder.file("ro"), fs::perms::owner_all);
        EXPECT_EQ(finished.status, 1);
        EXPECT_NE(finished.err.find(GetParam().message), std::string::npos) << finished.err;
        EXPECT_EQ(ReadBytes(folder.file("ro/keep.DXF")), kEarlier);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.file("ro")), {}), 1);
    });
}

INSTANTIATE_TEST_SUITE_P(Files, ReadOnlyTest,
                         ::testing::Values(ReadOnlyCase{"ReadOnlyFolder", fs::perms(0500), fs::perms(0644),
                                                        "ro: フォルダに書き込めません: Permission denied"},
                                           ReadOnlyCase{"ReadOnlyDrawing", fs::perms(0700), fs::perms(0444),
                                                        "No Open ro/keep.DXF: Permission denied"}),
                         [](const auto& info) { return std::string(info.param.label); });

// An earlier drawing or picture is replaced with its permissions kept; under a name of 254 bytes too, whose
// temporary name beside it must still fit the system's 255.
struct ReplaceCase {
    const char* label;
    std::string output;
    bool picture;
    unsigned mode;
};

void PrintTo(const ReplaceCase& c, std::ostream* os) {
    *os << c.label;
}

class ReplaceTest : public KeepFilesTest, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceTest, TakesThePlaceOfTheEarlierFile) {
    const ReplaceCase& c = GetParam();
    folder.write("part.nc", "G00 X1.\n");
    folder.write(c.output, kEarlier);
    fs::permissions(folder.file(c.output), fs::perms(c.mode));
    const std::string drawing = c.picture ? "part.DXF" : c.output;
    const Finished finished = shell("umask 022 && \"$PLOTRA\" -q -o " + drawing +
                                    (c.picture ? " --svg " + c.output : "") + " part.nc");
    EXPECT_EQ(finished.status, 0) << finished.err;
    const std::string replaced = ReadBytes(folder.file(c.output));
    const std::string ending = c.picture ? "</svg>\n" : "EOF\r\n";
    EXPECT_EQ(replaced.substr(replaced.size() - ending.size()), ending);
    EXPECT_EQ(static_cast<unsigned>(fs::status(folder.file(c.output)).permissions()), c.mode);
    EXPECT_EQ(names(), (std::set<std::string>{"part.nc", drawing, c.output, "stdout", "stderr"}));
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ReplaceTest,
    ::testing::Values(ReplaceCase{"DrawingKeepsItsMode", "keep.DXF", false, 0640},
                      ReplaceCase{"PictureKeepsItsMode", "keep.svg", true, 0600},
                      ReplaceCase{"DrawingOf254Bytes", std::string(250, 'd') + ".DXF", false, 0644},
                      ReplaceCase{"PictureOf254Bytes", std::string(250, 'p') + ".svg", true, 0644}),
    [](const auto& info) { return std::string(info.param.label); });

// Both runs finish with a whole drawing of their own; the one renamed last is what the name holds.
TEST_F(KeepFilesTest, TwoRunsOnOneOutputNeverMix) {
    const std::string first = LongProgram(30000);
    const std::string second = LongProgram(30000, 50);
    const std::string firstDrawing = drawingOf(first, "first");
    const std::string secondDrawing = drawingOf(second, "second");
    ASSERT_NE(firstDrawing, secondDrawing);
    folder.write("a.nc", first);
    folder.write("b.nc", second);
    const pid_t a = start({"-q", "-o", "out.dxf", "a.nc"}, "a.err");
    const pid_t b = start({"-q", "-o", "out.dxf", "b.nc"}, "b.err");
    EXPECT_EQ(wait(a, "a.err").status, 0);
    EXPECT_EQ(wait(b, "b.err").status, 0);
    const std::string drawing = ReadBytes(folder.file("out.dxf"));
    EXPECT_TRUE(drawing == firstDrawing || drawing == secondDrawing) << drawing.size();
    EXPECT_TRUE(temporaryFiles("out.dxf").empty());
}

// Names that clash inside a batch are refused before anything is written; the others convert.
TEST_F(KeepFilesTest, BatchNeverWritesOverItsOwnInputsOrOneNameTwice) {
    const std::string programAsDxf = "G00 X5.\n";
    folder.write("p.nc", "G00 X1.\n");
    folder.write("p.DXF", programAsDxf);
    folder.write("q.nc", "G00 X2.\n");
    folder.write("q.NC", "G00 X3.\n");
    folder.write("q.DXF", kEarlier);
    folder.write("r.nc", "G00 X4.\n");
    const Finished finished = shell("\"$PLOTRA\" -q p.nc p.DXF q.nc q.NC r.nc");
    EXPECT_EQ(finished.status, 1);
    EXPECT_EQ(ReadBytes(folder.file("p.DXF")), programAsDxf);
    expectEarlierKept("q.DXF");
    EXPECT_TRUE(fs::exists(folder.file("r.DXF")));
    EXPECT_NE(finished.err.find("p.DXF: 出力ファイル名が入力ファイルと同じです。"), std::string::npos)
        << finished.err;
    EXPECT_NE(finished.err.find("q.DXF: 出力ファイル名が他のＮＣファイルの出力と同じです。"),
              std::string::npos)
        << finished.err;
}

// Two spellings of one DXF name clash whether the drawing exists yet or not: both files are refused, one line
// each, and nothing is written.
class SameDxfNameTest : public KeepFilesTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SameDxfNameTest, RefusesBothSpellings) {
    const bool drawingExists = GetParam();
    folder.write("q.nc", "G00 X2.\n");
    folder.write("q.NC", "G00 X3.\n");
    fs::create_directory(folder.file("sub"));
    if (drawingExists) {
        folder.write("q.DXF", kEarlier);
    }
    const Finished finished = shell("\"$PLOTRA\" -q q.nc ./sub/../q.NC");
    EXPECT_EQ(finished.status, 1);
    EXPECT_EQ(finished.err,
              "plotra-convert: q.DXF: 出力ファイル名が他のＮＣファイルの出力と同じです。\n"
              "plotra-convert: ./sub/../q.DXF: 出力ファイル名が他のＮＣファイルの出力と同じです。\n");
    if (drawingExists) {
        expectEarlierKept("q.DXF");
    } else {
        EXPECT_FALSE(fs::exists(folder.file("q.DXF")));
    }
}

INSTANTIATE_TEST_SUITE_P(Batch, SameDxfNameTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "OverADrawing" : "NewDrawing");
});

// Programs that are not quite what they seem convert to the drawing of the plain program.
struct DisguiseCase {
    const char* label;
    std::string disguised;
    std::string plain;
};

void PrintTo(const DisguiseCase& c, std::ostream* os) {
    *os << c.label;
}

class DisguisedProgramTest : public KeepFilesTest, public ::testing::WithParamInterface<DisguiseCase> {};

TEST_P(DisguisedProgramTest, DrawsAsThePlainProgram) {
    EXPECT_EQ(drawingOf(GetParam().disguised, "disguised"), drawingOf(GetParam().plain, "plain"));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, DisguisedProgramTest,
    ::testing::Values(DisguiseCase{"Utf8ByteOrderMark", "\xEF\xBB\xBFG00 Z50.\nG01 X10. F100.\n",
                                   "G00 Z50.\nG01 X10. F100.\n"},
                      DisguiseCase{"LoneCrLineEnds", "G00 Z50.\rG01 X10. F100.\rY5.\r",
                                   "G00 Z50.\nG01 X10. F100.\nY5.\n"},
                      DisguiseCase{"NegativeFeed", "G01 X100. F-50.\nY30.\n", "G01 X100. F50.\nY30.\n"},
                      DisguiseCase{"NegativeDiameter", "(T1 DIA-10.)\nG81 X5. Y5. Z-3. R1. F100.\n",
                                   "(T1 DIA10.)\nG81 X5. Y5. Z-3. R1. F100.\n"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
