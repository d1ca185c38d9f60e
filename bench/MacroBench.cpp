// Speed of the macro core on a bolt-circle body: an assignment, a block with two substituted values, a
// counter and a conditional jump, run a million times.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string_view>

#include "nc/MacroEvaluator.h"
#include "nc/MacroStatement.h"
#include "nc/MacroSubstitution.h"

namespace {

constexpr int kBodies = 1000000;

class Machine : public MacroMachineState {
public:
    MacroValue modalG(int) const override { return {}; }
    Point3 position() const override { return {}; }
    Point3 machinePosition() const override { return {}; }
    MacroValue lastWord(char) const override { return {}; }
};

class NoNotes : public MacroNotes {
public:
    void note(const MacroNote&) override {}
};

void BM_BoltCircle(benchmark::State& state) {
    constexpr std::string_view kBody[] = {"N10 #3=#1*COS[#2]", "X[#1*COS[#2]] Y[#1*SIN[#2]]", "#2=#2+60",
                                          "IF [#2 LT 360] GOTO 10"};
    Machine machine;
    NoNotes notes;
    MacroVariables variables(machine);
    MacroEvaluator evaluator(variables, notes);
    SubstitutedBlock block;
    variables.write(1, MacroValue::Of(50.0), notes);
    for (auto _ : state) {
        for (int body = 0; body < kBodies; ++body) {
            ExecuteMacroStatement(kBody[0], evaluator);
            SubstituteMacroValues(kBody[1], false, false, evaluator, block);
            ExecuteMacroStatement(kBody[2], evaluator);
            if (ExecuteMacroStatement(kBody[3], evaluator).action != MacroAction::Jump) {
                variables.write(2, MacroValue::Of(0.0), notes);
            }
        }
        benchmark::DoNotOptimize(block.length);
    }
    state.SetItemsProcessed(state.iterations() * kBodies * static_cast<std::int64_t>(std::size(kBody)));
    state.counters["blocks/s"] =
        benchmark::Counter(static_cast<double>(state.items_processed()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_BoltCircle)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
