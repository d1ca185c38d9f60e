// Evaluates Custom Macro B expressions over the variables of a run.
//
// Brackets nest on an explicit stack of fixed size, never on the call stack: an expression nested deeper than
// kMaxPending pending operations (far more than a line of 255 bytes can hold) is a syntax error, whatever its
// length. Blanks and comments may stand between any two tokens. Nothing is allocated.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "nc/MacroMath.h"
#include "nc/MacroNote.h"
#include "nc/MacroVariables.h"

// Why an expression or a statement failed. Each stops the run's drawing at its block, listed as
// "マクロ演算エラー: <block>".
enum class MacroError : std::uint8_t {
    None,
    Syntax,      // not a well-formed expression or statement, or nested too deep
    Arithmetic,  // division by zero, a function out of its domain, a result that is not finite
    Range,       // a variable number, jump target, loop number or address value out of range; #0 written
};

// What an expression gives: a number, null (a variable read as it is, or minus it), or the truth of a
// condition, which only IF, WHILE and the logical AND/OR/XOR take.
struct MacroTerm {
    enum class Kind : std::uint8_t { Null, Number, Condition };
    Kind kind = Kind::Null;
    double number = 0.0;  // 1 or 0 for a condition

    MacroValue value() const { return kind == Kind::Null ? MacroValue{} : MacroValue::Of(number); }
};

enum class MacroScope : std::uint8_t {
    Operand,     // one operand: a number, #i, #[e], [e] or a function; what follows it is left
    Expression,  // operands and operators up to the first token that continues none
};

class MacroEvaluator {
public:
    static constexpr std::size_t kMaxPending = 256;

    MacroEvaluator(MacroVariables& variables, MacroNotes& notes) : variables_(variables), notes_(notes) {}

    // Evaluates the text at `at`, which moves to the end of the last token read.
    MacroError evaluate(std::string_view text, std::size_t& at, MacroScope scope, MacroTerm& result);

    MacroVariables& variables() { return variables_; }
    MacroNotes& notes() { return notes_; }

private:
    // The first three open a bracket.
    enum class Pending : std::uint8_t { Bracket, Variable, Function, Negate, Operator };
    struct Entry {
        Pending kind;
        std::uint8_t code;       // the MacroFunction or MacroOperator
        std::uint8_t arguments;  // of a function, read so far
    };

    // Each step reads from `i`, moves it past what it took, and says whether an operand comes next.
    MacroError operand(std::string_view text, std::size_t& i, bool& expectOperand);
    MacroError afterOperand(std::string_view text, std::size_t& i, MacroScope scope, bool& expectOperand,
                            bool& done);
    MacroError closeBracket(std::string_view text, std::size_t& i, bool& expectOperand);
    MacroError push(Entry entry);
    MacroError pushValue(MacroTerm term);
    // Applies the pending operations above the innermost bracket whose precedence is at least `precedence`.
    MacroError reduce(int precedence);
    MacroError apply(const Entry& entry);
    MacroError binary(MacroOperator op, MacroTerm a, MacroTerm b, MacroTerm& result) const;
    MacroError readVariable(const MacroTerm& number);

    MacroVariables& variables_;
    MacroNotes& notes_;
    std::array<Entry, kMaxPending> pending_{};
    std::array<MacroTerm, kMaxPending + 1> values_{};
    std::size_t pendingCount_ = 0;
    std::size_t valueCount_ = 0;
    std::size_t depth_ = 0;  // open brackets among the pending entries
};

// The variable number a value names: rounded half away from zero (#[1.5] is #2), null counting as 0.
MacroError VariableNumber(const MacroTerm& term, int& number);
