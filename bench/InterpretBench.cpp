// Speed of parsing and interpreting NC lines together: a 3D surfacing program of one million feed moves,
// and the same number of lines of arcs in the three planes.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "core/SString.h"
#include "nc/NcAnalyzer.h"

namespace {

constexpr int kLineCount = 1000000;

// Every conversion run starts here, and the programs then cut in G01.
const char* const kPreamble[] = {"G90G00X0.0Y0.0Z0.0", "G01 F1200"};

class Coordinates {
public:
    // A value in thousandths between -range and +range, written with three decimals.
    void append(std::string& out, char letter, int range) {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        const auto span = static_cast<std::uint64_t>(range) * 2000u;
        const std::int64_t thousandths =
            static_cast<std::int64_t>((state_ >> 33) % span) - std::int64_t{range} * 1000;
        out += letter;
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, thousandths / 1000).ptr;
        if (thousandths < 0 && thousandths > -1000) {
            out += '-';
        }
        out.append(digits, end);
        const auto fraction = static_cast<int>(thousandths < 0 ? -thousandths % 1000 : thousandths % 1000);
        out += '.';
        out += static_cast<char>('0' + fraction / 100);
        out += static_cast<char>('0' + fraction / 10 % 10);
        out += static_cast<char>('0' + fraction % 10);
    }

private:
    std::uint64_t state_ = 12345;
};

std::vector<SString> Program(const std::vector<std::string>& patterns) {
    Coordinates coordinates;
    std::vector<SString> lines(std::begin(kPreamble), std::end(kPreamble));
    lines.reserve(kLineCount + lines.size());
    std::string line;
    while (lines.size() < kLineCount + std::size(kPreamble)) {
        for (const std::string& pattern : patterns) {
            line.clear();
            // Upper-case letters take a coordinate, anything else is copied.
            for (const char c : pattern) {
                if (c >= 'A' && c <= 'Z' && c != 'G' && c != 'F') {
                    coordinates.append(line, c, c == 'Z' ? 20 : 200);
                } else {
                    line += c;
                }
            }
            lines.emplace_back(line);
        }
    }
    return lines;
}

void InterpretAll(benchmark::State& state, const std::vector<SString>& lines) {
    for (auto _ : state) {
        NcAnalyzer analyzer;
        for (const SString& line : lines) {
            analyzer.load(line);
        }
        benchmark::DoNotOptimize(analyzer.totalTime());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}

void BM_InterpretSurfacing(benchmark::State& state) {
    static const std::vector<SString> lines = Program({"XYZF1200"});
    InterpretAll(state, lines);
}

void BM_InterpretArcs(benchmark::State& state) {
    static const std::vector<SString> lines =
        Program({"G17G02XYIJ", "G03XYIJ", "G18G02XZIK", "G19G03YZJK", "G17G01XYZ"});
    InterpretAll(state, lines);
}

}  // namespace

BENCHMARK(BM_InterpretSurfacing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterpretArcs)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
