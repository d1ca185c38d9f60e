// What the macro variables read from the interpreter: the state of the machine after the last block, and the
// work offsets, which macros may also set. The interpreter implements it.
#pragma once

#include "nc/MacroValue.h"
#include "nc/Point3.h"

class MacroMachineState {
public:
    // The G code in force in modal group 1 to 22 (#4001-#4022): 90 or 91 for group 3, 54 to 59 for group 14.
    virtual MacroValue modalG(int group) const = 0;
    // The end point of the last block in the current work system (#5001-#5003).
    virtual Point3 position() const = 0;
    // The same point in machine coordinates (#5021-#5023).
    virtual Point3 machinePosition() const = 0;
    // The last value written to B, D, F, H, M, N, O, S or T (#4102-#4120); null before the first.
    virtual MacroValue lastWord(char letter) const = 0;
    // Axis 0 to 2 (X, Y, Z) of work system 0 (the external offset) to 54 (G54.1 P48), as the interpreter
    // numbers them: #5201-#5326 and #7001-#7956. A machine without work systems keeps none: false.
    virtual bool workOffset(int /*system*/, int /*axis*/, double& /*value*/) const { return false; }
    virtual bool setWorkOffset(int /*system*/, int /*axis*/, double /*value*/) { return false; }

protected:
    ~MacroMachineState() = default;
};
