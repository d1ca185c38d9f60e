// The value of a Custom Macro B variable: a double, or null (vacant), the state of #0 and of every local and
// common variable before it is written.
#pragma once

struct MacroValue {
    double number = 0.0;
    bool null = true;

    static constexpr MacroValue Of(double value) { return MacroValue{value, false}; }
    // Null counts as 0 in arithmetic.
    constexpr double orZero() const { return null ? 0.0 : number; }
};
