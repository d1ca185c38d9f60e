// Shared set-up of the entity writer tests: an analyzer that has run the conversion's first block, an
// existing, empty DXF file in a temporary folder, and the file's bytes or lines to compare with.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/SString.h"
#include "dxf/DxfEntityWriter.h"
#include "dxf/DxfOutput.h"
#include "nc/NcAnalyzer.h"
#include "tests/support/TempFolder.h"

// Layer names as the code-page-932 bytes every DXF reader must find.
inline constexpr std::string_view kRapidLayer = "\x91\x81\x91\x97\x82\xE8";
inline constexpr std::string_view kCompensatedLayer = "\x95\xE2\x90\xB3\x82\xA0\x82\xE8";
inline constexpr std::string_view kUncompensatedLayer = "\x95\xE2\x90\xB3\x96\xB3\x82\xB5";
inline constexpr std::string_view kCannedCycleLayer = "\x8C\xC5\x92\xE8\x83\x54\x83\x43\x83\x4E\x83\x8B";
inline constexpr std::string_view kCentreLineLayer = "\x92\x86\x90\x53\x90\xFC";
inline constexpr std::string_view kInformationLayer = "\x8F\xEE\x95\xF1";

// The file bytes of `lines`, each ended by CR LF.
inline std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string bytes;
    for (std::string_view line : lines) {
        bytes.append(line);
        bytes.append("\r\n");
    }
    return bytes;
}

class WriterTest : public ::testing::Test {
protected:
    WriterTest() {
        WriteBytes(path, "");
        analyzer.load("G90G00X0.0Y0.0Z0.0");
    }

    void feed(const std::vector<std::string_view>& lines) {
        for (std::string_view line : lines) {
            analyzer.load(SString(std::string(line)));
        }
    }

    // The file's bytes once the output has been put in place, as at the end of a run.
    std::string written() {
        output.commit();
        return ReadBytes(path);
    }

    // The written lines; every line must end in CR LF.
    std::vector<std::string> writtenLines() {
        const std::string bytes = written();
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = bytes.find("\r\n", start);
            if (end == std::string::npos) {
                ADD_FAILURE() << "last line without CR LF: " << bytes.substr(start);
                break;
            }
            lines.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    TempFolder folder;
    std::string path = folder.file("OUT.DXF");
    DxfOutput output{path};
    DxfEntityWriter dxf{output};
    NcAnalyzer analyzer;
};
