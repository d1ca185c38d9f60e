// The operators and functions of Custom Macro B on plain numbers: angles in degrees, the rounding functions,
// MOD with the sign of its left side, bitwise AND/OR/XOR on integer parts. Each gives false where the
// control raises an alarm: a result out of the function's domain or not finite.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

enum class MacroFunction : std::uint8_t {
    Sin,
    Cos,
    Tan,
    Asin,
    Acos,
    Atan,
    Sqrt,
    Abs,
    Round,
    Fix,
    Fup,
    Ln,
    Exp,
    Pow,
    Bin,
    Bcd,
};

enum class MacroOperator : std::uint8_t {
    // Precedence 2.
    Multiply,
    Divide,
    And,
    Mod,
    // Precedence 1.
    Add,
    Subtract,
    Or,
    Xor,
    // Precedence 0: conditions.
    Eq,
    Ne,
    Gt,
    Ge,
    Lt,
    Le,
};

// The function named `name` in either case (ROUN for ROUND, SQR for SQRT).
std::optional<MacroFunction> FindMacroFunction(std::string_view name);
// The operator written as `text`: a sign or a keyword in either case.
std::optional<MacroOperator> FindMacroOperator(std::string_view text);

int Precedence(MacroOperator op);
bool IsComparison(MacroOperator op);
bool IsBitwise(MacroOperator op);

// How many arguments a function takes: ATAN one or two, POW two, the others one.
int MinArguments(MacroFunction f);
int MaxArguments(MacroFunction f);

// The value rounded half away from zero, held within the 64-bit range.
std::int64_t RoundedInteger(double value);

// `b` is used by the functions of two arguments only.
bool ApplyFunction(MacroFunction f, double a, double b, double& result);
// Arithmetic and bitwise operators; comparisons are the caller's, as they depend on null.
bool ApplyOperator(MacroOperator op, double a, double b, double& result);
