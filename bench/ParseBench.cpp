// Parsing speed of NC lines: a 3D surfacing program and a drilling and contouring mix, one million lines
// each.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "core/SString.h"
#include "nc/NcBlock.h"

namespace {

constexpr int kLineCount = 1000000;

class Numbers {
public:
    // A value in thousandths between -range and +range, written with three decimals.
    void append(std::string& out, int range) {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        const int thousandths = static_cast<int>((state_ >> 33) % (2u * range * 1000u)) - range * 1000;
        if (thousandths < 0) {
            out += '-';
        }
        const int magnitude = thousandths < 0 ? -thousandths : thousandths;
        appendInt(out, magnitude / 1000);
        out += '.';
        const int fraction = magnitude % 1000;
        out += static_cast<char>('0' + fraction / 100);
        out += static_cast<char>('0' + fraction / 10 % 10);
        out += static_cast<char>('0' + fraction % 10);
    }

    static void appendInt(std::string& out, int value) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out.append(digits, end);
    }

private:
    std::uint64_t state_ = 12345;
};

std::vector<SString> SurfacingProgram() {
    Numbers numbers;
    std::vector<SString> lines;
    lines.reserve(kLineCount);
    std::string line;
    for (int i = 0; i < kLineCount; ++i) {
        line.clear();
        line += 'X';
        numbers.append(line, 200);
        line += 'Y';
        numbers.append(line, 200);
        line += 'Z';
        numbers.append(line, 20);
        line += "F1200";
        lines.emplace_back(line);
    }
    return lines;
}

std::vector<SString> DrillingAndContouringProgram() {
    Numbers numbers;
    std::vector<SString> lines;
    lines.reserve(kLineCount);
    std::string line;
    const auto coordinate = [&](const char* prefix, int range) {
        line += prefix;
        numbers.append(line, range);
    };
    for (int i = 0; lines.size() < static_cast<std::size_t>(kLineCount); ++i) {
        const auto add = [&](const std::string& text) {
            if (lines.size() < static_cast<std::size_t>(kLineCount)) {
                lines.emplace_back(text);
            }
        };
        line = "N";
        Numbers::appendInt(line, i * 10);
        line += " (T2 DIA=10.)";
        add(line);
        add("M06 T02");
        add("G90 G54 G00 X0 Y0 S1200 M03");
        add("G43 Z50. H02");
        line = "G81 G99";
        coordinate(" X", 100);
        coordinate(" Y", 100);
        line += " Z-5. R2. F100";
        add(line);
        for (int hole = 0; hole < 4; ++hole) {
            line.clear();
            coordinate("X", 100);
            coordinate("Y", 100);
            add(line);
        }
        add("G80");
        add("");
        line = "G41 D02 G01";
        coordinate(" X", 100);
        coordinate(" Y", 100);
        line += " F300";
        add(line);
        line = "G02";
        coordinate(" X", 100);
        coordinate(" Y", 100);
        coordinate(" I", 10);
        coordinate(" J", 10);
        add(line);
        line = "G03";
        coordinate("X", 100);
        coordinate("Y", 100);
        coordinate("R", 50);
        add(line);
        line = "G91 G01";
        coordinate("X", 5);
        coordinate("Y", 5);
        add(line);
        add("G90 G40 G00 Z50.");
    }
    return lines;
}

void ParseAll(benchmark::State& state, const std::vector<SString>& lines) {
    for (auto _ : state) {
        NcBlock block;
        for (const SString& line : lines) {
            block.load(line);
        }
        benchmark::DoNotOptimize(block.wordValue(Slot::X));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}

void BM_ParseSurfacing(benchmark::State& state) {
    static const std::vector<SString> lines = SurfacingProgram();
    ParseAll(state, lines);
}

void BM_ParseDrillingAndContouring(benchmark::State& state) {
    static const std::vector<SString> lines = DrillingAndContouringProgram();
    ParseAll(state, lines);
}

}  // namespace

BENCHMARK(BM_ParseSurfacing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseDrillingAndContouring)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
