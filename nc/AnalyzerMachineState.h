// The machine state that macro variables read (#4001-#4022, #4102-#4120, #5001-#5003, #5021-#5023), taken
// from the interpreter after the last block. Modal groups the interpreter does not follow read as a control
// has them after power-on.
#pragma once

#include "nc/MacroMachineState.h"
#include "nc/NcAnalyzer.h"

class AnalyzerMachineState final : public MacroMachineState {
public:
    explicit AnalyzerMachineState(const NcAnalyzer& analyzer) : analyzer_(analyzer) {}

    MacroValue modalG(int group) const override;
    Point3 position() const override;
    // Until work offsets are drawn, machine coordinates are the programmed ones.
    Point3 machinePosition() const override { return position(); }
    MacroValue lastWord(char letter) const override;

private:
    const NcAnalyzer& analyzer_;
};
