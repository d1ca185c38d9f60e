// Feeds arbitrary bytes to a whole conversion run as its NC file: the subprogram index pass, the calls and
// jumps that seek back and forth in the file, the interpreter, the DXF writers and the lines after the end. A
// run that goes on for too many blocks (a huge L, a loop) stops at the block limit and completes.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "conversion/ConversionRun.h"
#include "conversion/RunHost.h"

namespace {

constexpr std::int64_t kMostBlocks = 20000;

class QuietHost : public RunHost {
public:
    void showMessage(std::string_view, std::string_view) override {}
    void showStartButton(std::string_view, int) override {}
    void showLineCount(std::int64_t) override {}
    void appendReportLine(std::string_view) override {}
    void handlePendingEvents() override {}
};

void Write(const std::string& path, const char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
}

const std::string& Folder() {
    static const std::string folder = [] {
        char name[] = "/tmp/plotra-fuzz-XXXXXX";
        const std::string made = mkdtemp(name) != nullptr ? name : "/tmp";
        const char header[] = "0\nSECTION\n2\nENTITIES\n0\n";
        const char footer[] = "ENDSEC\n0\nEOF\n";
        Write(made + "/Hedder.dat", header, sizeof header - 1);
        Write(made + "/Footer.dat", footer, sizeof footer - 1);
        return made;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConversionFiles files;
    files.hedderFile = Folder() + "/Hedder.dat";
    files.footerFile = Folder() + "/Footer.dat";
    files.ncFile = Folder() + "/IN.NC";
    files.dxfFile = Folder() + "/OUT.DXF";
    files.maxBlocks = kMostBlocks;
    Write(files.ncFile, reinterpret_cast<const char*>(data), size);
    QuietHost host;
    RunConversion(host, files);
    ::unlink(files.dxfFile.c_str());
    return 0;
}
