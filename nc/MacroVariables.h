// The variables of Custom Macro B for one run: locals #1-#33 in one set per call level, commons #100-#199 and
// #500-#999, and the system variables that have a meaning offline. Work offsets (#5201-#5326,
// #7001-#7956) and tool offsets (#2001-#2400, #10001-#19999) are kept here, 0 until written; the position,
// modal codes and last words come from the interpreter through MacroMachineState.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "nc/MacroCall.h"
#include "nc/MacroMachineState.h"
#include "nc/MacroNote.h"
#include "nc/MacroValue.h"

// What writing a variable did. The caller notes the alarm and the message, which carry the line's comment.
enum class MacroWrite : std::uint8_t {
    Done,     // stored, or ignored: silently for the fixed values, noted for the others
    Alarm,    // #3000: the run stops drawing at this block
    Message,  // #3006: the run goes on
    Refused,  // #0, which is always null
};

class MacroVariables {
public:
    static constexpr int kLocalCount = 33;
    static constexpr int kMaxCallLevel = 5;  // G65/G66 levels above the main program
    static constexpr int kMaxNumber = 99999999;

    explicit MacroVariables(MacroMachineState& machine);

    // `number` is 0 to kMaxNumber. Reading a variable that does not exist, or a system variable without an
    // offline value, notes it and gives null.
    MacroValue read(int number, MacroNotes& notes) const;
    MacroWrite write(int number, MacroValue value, MacroNotes& notes);

    // A G65/G66 call: a set of locals of its own, holding the arguments. False, with nothing changed, beyond
    // kMaxCallLevel.
    bool enterCall(const MacroLocals& arguments);
    // The next run of a call repeated by L starts from its arguments again.
    void restartCall();
    // The caller's locals again. False at the main program.
    bool leaveCall();
    int callLevel() const { return level_; }

private:
    MacroMachineState& machine_;
    int level_ = 0;
    std::array<MacroLocals, kMaxCallLevel + 1> locals_{};
    std::array<MacroLocals, kMaxCallLevel + 1> arguments_{};
    std::array<MacroValue, 100> commons100_{};
    std::array<MacroValue, 500> commons500_{};
    std::vector<double> offsets_;  // work and tool offsets, see OffsetIndex
};
