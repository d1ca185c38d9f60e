// What one DXF entity costs to get into the file, three ways: opening, appending and closing the file for
// every entity; one write per entity on a file kept open; and the output gathered in chunks, as the
// conversion does. The entity is a typical feed LINE of 16 lines.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "core/TextFile.h"
#include "dxf/DxfOutput.h"

namespace {

constexpr std::string_view kEntity =
    "LINE\n8\nLAYER\n10\n12.345\n20\n-6.789\n30\n-1.234\n11\n12.145\n21\n-6.789\n31\n-1.244\n0\n";

std::string FreshFile() {
    const std::string path = (std::filesystem::temp_directory_path() / "plotra-append-bench.dxf").string();
    TextFile file;
    file.open(path, TextFileMode::Write);
    file.close();
    return path;
}

void BM_OpenAppendClosePerEntity(benchmark::State& state) {
    const std::string path = FreshFile();
    for (auto _ : state) {
        TextFile file;
        file.open(path, TextFileMode::AppendExisting);
        file.write(kEntity);
        benchmark::DoNotOptimize(file.close());
    }
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove(path);
}

void BM_OneWritePerEntity(benchmark::State& state) {
    const std::string path = FreshFile();
    TextFile file;
    file.open(path, TextFileMode::AppendExisting);
    for (auto _ : state) {
        file.write(kEntity);
        benchmark::DoNotOptimize(file.flush());
    }
    file.close();
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove(path);
}

void BM_GatheredInChunks(benchmark::State& state) {
    const std::string path = FreshFile();
    DxfOutput output(path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(output.append(kEntity));
    }
    output.commit();
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_OpenAppendClosePerEntity);
BENCHMARK(BM_OneWritePerEntity);
BENCHMARK(BM_GatheredInChunks);
BENCHMARK_MAIN();
