#include "nc/AnalyzerMachineState.h"

namespace {

// Fanuc's modal groups of the milling G codes, with the slot that holds the group, or the code a control
// starts with for the groups the interpreter does not follow (G23 stroke check off, G94 feed per minute, G21
// millimetres, G50 no scaling, G67 no modal macro call, G97 constant speed off, G64 cutting mode, G69 no
// rotation, G15 no polar coordinates, G40.1 no normal direction control, G50.1 no mirror).
struct Group {
    int slot;
    double startCode;
};

constexpr int kNoSlot = -1;
constexpr int kGroups = 22;
constexpr Group kGroupTable[kGroups] = {
    {Slot::Motion, 0}, {Slot::Plane, 0},      {Slot::Distance, 0},   {kNoSlot, 23},
    {kNoSlot, 94},     {kNoSlot, 21},         {Slot::CutterComp, 0}, {Slot::ToolLength, 0},
    {Slot::Cycle, 0},  {Slot::ReturnMode, 0}, {kNoSlot, 50},         {kNoSlot, 67},
    {kNoSlot, 97},     {Slot::WorkCoords, 0}, {kNoSlot, 64},         {kNoSlot, 69},
    {kNoSlot, 15},     {kNoSlot, 40.1},       {kNoSlot, 50.1},       {kNoSlot, -1},
    {kNoSlot, -1},     {kNoSlot, -1},
};

}  // namespace

MacroValue AnalyzerMachineState::modalG(int group) const {
    if (group < 1 || group > kGroups) {
        return {};
    }
    const Group& entry = kGroupTable[group - 1];
    if (entry.slot != kNoSlot) {
        return MacroValue::Of(analyzer_.wordValue(entry.slot));
    }
    return entry.startCode < 0.0 ? MacroValue{} : MacroValue::Of(entry.startCode);
}

Point3 AnalyzerMachineState::position() const {
    return analyzer_.programPosition();
}

MacroValue AnalyzerMachineState::lastWord(char letter) const {
    const int slot = NcBlock::slotOfLetter(letter);
    return slot != kNoSlot && analyzer_.everWritten(slot) ? MacroValue::Of(analyzer_.wordValue(slot))
                                                          : MacroValue{};
}

// The program's point in its work system, plus that system's offset, the external one and the local shift.
Point3 AnalyzerMachineState::machinePosition() const {
    const CoordinateFrames& frames = analyzer_.frames();
    const Point3 program = position();
    const Point3& own = frames.offset(frames.selected());
    const Point3& external = frames.offset(CoordinateFrames::kExternal);
    const Point3& shift = frames.localShift();
    return {program.x + own.x + external.x + shift.x, program.y + own.y + external.y + shift.y,
            program.z + own.z + external.z + shift.z};
}

bool AnalyzerMachineState::workOffset(int system, int axis, double& value) const {
    if (system >= CoordinateFrames::kSystems || axis > 2) {
        return false;
    }
    value = analyzer_.frames().offset(system)[axis];
    return true;
}

bool AnalyzerMachineState::setWorkOffset(int system, int axis, double value) {
    if (system >= CoordinateFrames::kSystems || axis > 2) {
        return false;
    }
    analyzer_.setWorkOffset(system, axis, value);
    return true;
}
