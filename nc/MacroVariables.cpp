#include "nc/MacroVariables.h"

#include "nc/FiniteArithmetic.h"

namespace {

struct Range {
    int first;
    int last;
};

constexpr bool In(int number, Range range) {
    return number >= range.first && number <= range.last;
}

// Offsets stored one after the other in this order.
constexpr std::array<Range, 4> kOffsetRanges{{{2001, 2400}, {5201, 5326}, {7001, 7956}, {10001, 19999}}};

constexpr int OffsetCount() {
    int count = 0;
    for (const Range range : kOffsetRanges) {
        count += range.last - range.first + 1;
    }
    return count;
}

// The place of an offset variable in the store, or -1.
int OffsetIndex(int number) {
    int base = 0;
    for (const Range range : kOffsetRanges) {
        if (In(number, range)) {
            return base + number - range.first;
        }
        base += range.last - range.first + 1;
    }
    return -1;
}

// Values a control holds that have no meaning offline: 0, and writes are ignored without a note.
bool IsFixedZero(int number) {
    return In(number, {1000, 1133}) || In(number, {3001, 3002}) || In(number, {3011, 3012}) ||
           In(number, {3901, 3902});
}

bool IsUndefined(int number) {
    return In(number, {34, 99}) || In(number, {200, 499});
}

// #4102 B, #4107 D, #4109 F, #4111 H, #4113 M, #4114 N, #4115 O, #4119 S, #4120 T.
char LastWordLetter(int number) {
    switch (number) {
        case 4102:
            return 'B';
        case 4107:
            return 'D';
        case 4109:
            return 'F';
        case 4111:
            return 'H';
        case 4113:
            return 'M';
        case 4114:
            return 'N';
        case 4115:
            return 'O';
        case 4119:
            return 'S';
        case 4120:
            return 'T';
        default:
            return '\0';
    }
}

// Expressions rely on finite values, whatever the interpreter hands over.
MacroValue Finite(MacroValue value) {
    return value.null ? value : MacroValue::Of(Saturated(value.number));
}

// A value the interpreter knows, or false when `number` names none.
bool MachineValue(const MacroMachineState& machine, int number, MacroValue& value) {
    if (In(number, {5001, 5003}) || In(number, {5041, 5043})) {
        value = MacroValue::Of(machine.position()[(number - 5001) % 40]);
    } else if (In(number, {5021, 5023})) {
        value = MacroValue::Of(machine.machinePosition()[number - 5021]);
    } else if (In(number, {4001, 4022}) || In(number, {4201, 4222})) {
        value = machine.modalG(number % 100);
    } else if (const char letter = LastWordLetter(number); letter != '\0') {
        value = machine.lastWord(letter);
    } else {
        return false;
    }
    value = Finite(value);
    return true;
}

// The work system and axis of #5201-#5326 (external, G54-G59) and #7001-#7956 (G54.1 P1-P48), twenty
// numbers a system; false for any other number.
bool WorkOffsetOf(int number, int& system, int& axis) {
    if (In(number, {5201, 5326})) {
        system = (number - 5201) / 20;
        axis = (number - 5201) % 20;
        return true;
    }
    if (In(number, {7001, 7956})) {
        system = 7 + (number - 7001) / 20;
        axis = (number - 7001) % 20;
        return true;
    }
    return false;
}

}  // namespace

MacroVariables::MacroVariables(MacroMachineState& machine)
    : machine_(machine), offsets_(OffsetCount(), 0.0) {}

MacroValue MacroVariables::read(int number, MacroNotes& notes) const {
    if (In(number, {1, kLocalCount})) {
        return locals_[level_][number - 1];
    }
    if (In(number, {100, 199})) {
        return commons100_[number - 100];
    }
    if (In(number, {500, 999})) {
        return commons500_[number - 500];
    }
    if (number == 0) {
        return {};
    }
    if (IsUndefined(number)) {
        notes.note({MacroNoteKind::Undefined, number, {}});
        return {};
    }
    if (const int index = OffsetIndex(number); index >= 0) {
        int system = 0;
        int axis = 0;
        double value = 0.0;
        if (WorkOffsetOf(number, system, axis) && machine_.workOffset(system, axis, value)) {
            return MacroValue::Of(value);
        }
        return MacroValue::Of(offsets_[index]);
    }
    if (IsFixedZero(number)) {
        return MacroValue::Of(0.0);
    }
    MacroValue value;
    if (!MachineValue(machine_, number, value)) {
        notes.note({MacroNoteKind::SystemRead, number, {}});
    }
    return value;
}

MacroWrite MacroVariables::write(int number, MacroValue value, MacroNotes& notes) {
    if (In(number, {1, kLocalCount})) {
        locals_[level_][number - 1] = value;
    } else if (In(number, {100, 199})) {
        commons100_[number - 100] = value;
    } else if (In(number, {500, 999})) {
        commons500_[number - 500] = value;
    } else if (number == 0) {
        return MacroWrite::Refused;
    } else if (IsUndefined(number)) {
        notes.note({MacroNoteKind::Undefined, number, {}});
    } else if (const int index = OffsetIndex(number); index >= 0) {
        offsets_[index] = value.orZero();
        int system = 0;
        int axis = 0;
        if (WorkOffsetOf(number, system, axis)) {
            machine_.setWorkOffset(system, axis, value.orZero());
        }
    } else if (number == 3000) {
        return MacroWrite::Alarm;
    } else if (number == 3006) {
        return MacroWrite::Message;
    } else if (!IsFixedZero(number)) {
        notes.note({MacroNoteKind::SystemWrite, number, {}});
    }
    return MacroWrite::Done;
}

bool MacroVariables::enterCall(const MacroLocals& arguments) {
    if (level_ == kMaxCallLevel) {
        return false;
    }
    ++level_;
    arguments_[level_] = arguments;
    locals_[level_] = arguments;
    return true;
}

void MacroVariables::restartCall() {
    locals_[level_] = arguments_[level_];
}

bool MacroVariables::leaveCall() {
    if (level_ == 0) {
        return false;
    }
    --level_;
    return true;
}
