// The machine state that macro variables read (#4001-#4022, #4102-#4120, #5001-#5003, #5021-#5023), taken
// from the interpreter after the last block. Modal groups the interpreter does not follow read as a control
// has them after power-on.
#pragma once

#include "nc/MacroMachineState.h"
#include "nc/NcAnalyzer.h"

class AnalyzerMachineState final : public MacroMachineState {
public:
    explicit AnalyzerMachineState(NcAnalyzer& analyzer) : analyzer_(analyzer) {}

    MacroValue modalG(int group) const override;
    Point3 position() const override;
    Point3 machinePosition() const override;
    MacroValue lastWord(char letter) const override;
    bool workOffset(int system, int axis, double& value) const override;
    bool setWorkOffset(int system, int axis, double value) override;

private:
    NcAnalyzer& analyzer_;
};
