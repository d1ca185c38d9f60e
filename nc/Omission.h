// What a block holds that the interpreter does not draw: codes outside the dialect, macro variables, arcs
// whose R cannot be honoured as written, and text the parser never reached. The interpreter only records
// them; the conversion run reports them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

enum class Omission : std::uint8_t {
    InchUnits,         // G20: read in inch and drawn in mm
    MachineCoordinates,     // G53 drawn as if G54's and the external offset were 0
    ReferenceReturn,        // G28 or G30: the reference point taken as machine 0, offsets as above
    UnequalScaleArc,        // an arc under unequal scaling factors: drawn with the first axis' factor
    ScaleFactorZero,        // G51 with a factor of 0: not set
    OffsetNumberOutOfRange,  // G10 or G54.1 with a P of no work system: nothing set or selected
    MacroVariable,        // Custom Macro B: the rest of the block is not read
    RArcStartIsEnd,       // an R arc that ends where it starts: no move
    RArcRadiusTooShort,   // an R arc that cannot reach its end: drawn as the half circle
    TextAfterUnreadChar,  // words after a character the parser does not read, or after a ";"
    OWordControl,         // LinuxCNC o-word line: its words are not read
    PolarWord,            // LinuxCNC "@" or "^": the line's words are not read
    NamedParameter,       // LinuxCNC "#<name>": the line's words are not read
    CycleWithoutZ,        // a canned-cycle block with no hole bottom written since the cycle began
    RepeatCountOver9999,  // K or L above 9999 in a canned cycle: 9999 holes drilled
    NegativeRepeatCount,  // K or L below 0 in a canned cycle: nothing drilled
    NumberOutOfRange,     // a length beyond eight digits: the block is left out whole
    Count,
};

// The omissions of one block, each once, in the order they were met.
class OmissionList {
public:
    void clear() {
        seen_ = 0;
        count_ = 0;
    }
    void add(Omission omission) {
        const std::uint32_t bit = 1u << static_cast<unsigned>(omission);
        if ((seen_ & bit) != 0) {
            return;
        }
        seen_ |= bit;
        order_[count_++] = omission;
    }
    bool empty() const { return count_ == 0; }
    bool has(Omission omission) const { return (seen_ & (1u << static_cast<unsigned>(omission))) != 0; }
    const Omission* begin() const { return order_.data(); }
    const Omission* end() const { return order_.data() + count_; }

private:
    std::uint32_t seen_ = 0;
    std::uint8_t count_ = 0;
    std::array<Omission, static_cast<std::size_t>(Omission::Count)> order_{};
};
