#include "nc/MacroEvaluator.h"

#include <algorithm>
#include <cmath>

#include "core/DecimalNumber.h"
#include "nc/BlockScan.h"
#include "nc/MacroText.h"

namespace {

constexpr int kNegatePrecedence = 3;

bool IsCondition(const MacroTerm& term) {
    return term.kind == MacroTerm::Kind::Condition;
}

double OrZero(const MacroTerm& term) {
    return term.kind == MacroTerm::Kind::Null ? 0.0 : term.number;
}

MacroTerm Number(double value) {
    return {MacroTerm::Kind::Number, value};
}

MacroTerm Condition(bool truth) {
    return {MacroTerm::Kind::Condition, truth ? 1.0 : 0.0};
}

bool Compare(MacroOperator op, double a, double b) {
    switch (op) {
        case MacroOperator::Gt:
            return a > b;
        case MacroOperator::Ge:
            return a >= b;
        case MacroOperator::Lt:
            return a < b;
        default:
            return a <= b;
    }
}

// The operator at `i` and its length: a sign, or a keyword of two or three letters. Blanks are optional, so
// the keyword may run on into a function name ("GECOS[1]", "7MODABS[-3]"): the longest keyword the letters
// start with counts.
std::optional<MacroOperator> OperatorAt(std::string_view text, std::size_t i, std::size_t& length) {
    if (!IsAsciiLetter(text[i])) {
        length = 1;
        return FindMacroOperator(text.substr(i, 1));
    }
    for (length = std::min<std::size_t>(LetterRunEnd(text, i) - i, 3); length >= 2; --length) {
        if (const std::optional<MacroOperator> op = FindMacroOperator(text.substr(i, length))) {
            return op;
        }
    }
    return std::nullopt;
}

}  // namespace

MacroError VariableNumber(const MacroTerm& term, int& number) {
    if (IsCondition(term)) {
        return MacroError::Syntax;
    }
    const double rounded = std::round(OrZero(term));
    if (!(rounded >= 0.0 && rounded <= MacroVariables::kMaxNumber)) {
        return MacroError::Range;
    }
    number = static_cast<int>(rounded);
    return MacroError::None;
}

// 1. An operand is awaited: signs, opening brackets and function names are pushed until a number or a
//    variable gives a value.
// 2. After an operand: a closing bracket applies what its bracket holds, a comma starts a function's second
//    argument, an operator first applies the pending ones that bind at least as tightly.
// 3. At the end every pending operation is applied; an unclosed bracket is a syntax error.
MacroError MacroEvaluator::evaluate(std::string_view text, std::size_t& at, MacroScope scope,
                                    MacroTerm& result) {
    pendingCount_ = 0;
    valueCount_ = 0;
    depth_ = 0;
    std::size_t i = at;
    bool expectOperand = true;
    std::size_t end = i;
    for (bool done = false; !done;) {
        end = i;
        i = SkipBlanksAndComments(text, i);
        const MacroError error = expectOperand ? operand(text, i, expectOperand)
                                               : afterOperand(text, i, scope, expectOperand, done);
        if (error != MacroError::None) {
            return error;
        }
    }
    if (const MacroError error = reduce(0); error != MacroError::None) {
        return error;
    }
    if (depth_ != 0 || valueCount_ != 1) {
        return MacroError::Syntax;
    }
    result = values_[0];
    at = end;
    return MacroError::None;
}

MacroError MacroEvaluator::operand(std::string_view text, std::size_t& i, bool& expectOperand) {
    if (i == text.size()) {
        return MacroError::Syntax;
    }
    const char c = text[i];
    if (IsAsciiDigit(c) || c == '.') {
        const std::size_t begin = i;
        std::size_t end = DigitsEnd(text, i);
        if (end < text.size() && text[end] == '.') {
            end = DigitsEnd(text, end + 1);
        }
        if (end - begin == 1 && c == '.') {
            return MacroError::Syntax;
        }
        i = end;
        expectOperand = false;
        return pushValue(Number(ReadDecimalNumber(text.substr(begin, end - begin))));
    }
    if (c == '#') {
        ++i;
        if (i < text.size() && text[i] == '[') {
            ++i;
            return push({Pending::Variable, 0, 0});
        }
        const std::size_t end = DigitsEnd(text, i);
        if (end == i) {
            return MacroError::Syntax;
        }
        double number = 0.0;
        for (; i < end; ++i) {
            number = std::fmin(number * 10.0 + (text[i] - '0'), MacroVariables::kMaxNumber + 1.0);
        }
        expectOperand = false;
        return readVariable(Number(number));
    }
    if (c == '[') {
        ++i;
        return push({Pending::Bracket, 0, 0});
    }
    if (c == '-' || c == '+') {
        ++i;
        return c == '-' ? push({Pending::Negate, 0, 0}) : MacroError::None;
    }
    const std::size_t end = LetterRunEnd(text, i);
    const std::optional<MacroFunction> function = FindMacroFunction(text.substr(i, end - i));
    const std::size_t open = SkipBlanksAndComments(text, end);
    if (!function || open == text.size() || text[open] != '[') {
        return MacroError::Syntax;
    }
    i = open + 1;
    return push({Pending::Function, static_cast<std::uint8_t>(*function), 1});
}

MacroError MacroEvaluator::afterOperand(std::string_view text, std::size_t& i, MacroScope scope,
                                        bool& expectOperand, bool& done) {
    if (i == text.size() || (depth_ == 0 && scope == MacroScope::Operand)) {
        done = true;
        return MacroError::None;
    }
    const char c = text[i];
    if (c == ']' && depth_ > 0) {
        return closeBracket(text, i, expectOperand);
    }
    if (c == ',' && depth_ > 0) {
        if (const MacroError error = reduce(0); error != MacroError::None) {
            return error;
        }
        Entry& function = pending_[pendingCount_ - 1];
        if (function.kind != Pending::Function ||
            function.arguments >= MaxArguments(static_cast<MacroFunction>(function.code))) {
            return MacroError::Syntax;
        }
        ++function.arguments;
        ++i;
        expectOperand = true;
        return MacroError::None;
    }
    std::size_t length = 0;
    const std::optional<MacroOperator> op = OperatorAt(text, i, length);
    if (!op) {
        done = depth_ == 0;
        return done ? MacroError::None : MacroError::Syntax;
    }
    if (const MacroError error = reduce(Precedence(*op)); error != MacroError::None) {
        return error;
    }
    i += length;
    expectOperand = true;
    return push({Pending::Operator, static_cast<std::uint8_t>(*op), 0});
}

// ATAN[a]/[b] reads as ATAN[a,b]: the slash after the first argument's bracket opens the second.
MacroError MacroEvaluator::closeBracket(std::string_view text, std::size_t& i, bool& expectOperand) {
    if (const MacroError error = reduce(0); error != MacroError::None) {
        return error;
    }
    Entry& top = pending_[pendingCount_ - 1];
    const Entry closed = top;
    ++i;
    if (top.kind == Pending::Function && static_cast<MacroFunction>(top.code) == MacroFunction::Atan &&
        top.arguments == 1) {
        const std::size_t slash = SkipBlanksAndComments(text, i);
        const std::size_t open =
            slash < text.size() && text[slash] == '/' ? SkipBlanksAndComments(text, slash + 1) : text.size();
        if (open < text.size() && text[open] == '[') {
            top.arguments = 2;
            i = open + 1;
            expectOperand = true;
            return MacroError::None;
        }
    }
    --pendingCount_;
    --depth_;
    return apply(closed);
}

MacroError MacroEvaluator::push(Entry entry) {
    if (pendingCount_ == pending_.size()) {
        return MacroError::Syntax;
    }
    pending_[pendingCount_++] = entry;
    if (entry.kind <= Pending::Function) {
        ++depth_;
    }
    return MacroError::None;
}

MacroError MacroEvaluator::pushValue(MacroTerm term) {
    if (valueCount_ == values_.size()) {
        return MacroError::Syntax;
    }
    values_[valueCount_++] = term;
    return MacroError::None;
}

MacroError MacroEvaluator::reduce(int precedence) {
    while (pendingCount_ > 0) {
        const Entry top = pending_[pendingCount_ - 1];
        if (top.kind <= Pending::Function) {
            break;
        }
        const int binds = top.kind == Pending::Negate ? kNegatePrecedence
                                                      : Precedence(static_cast<MacroOperator>(top.code));
        if (binds < precedence) {
            break;
        }
        --pendingCount_;
        if (const MacroError error = apply(top); error != MacroError::None) {
            return error;
        }
    }
    return MacroError::None;
}

// Pops the entry's operands and pushes its result. A bracket leaves its value as it is, null included.
MacroError MacroEvaluator::apply(const Entry& entry) {
    const std::size_t needed = entry.kind == Pending::Function   ? entry.arguments
                               : entry.kind == Pending::Operator ? 2
                                                                 : 1;
    if (valueCount_ < needed) {
        return MacroError::Syntax;
    }
    valueCount_ -= needed;
    const MacroTerm a = values_[valueCount_];
    const MacroTerm b = needed == 2 ? values_[valueCount_ + 1] : Number(1.0);
    switch (entry.kind) {
        case Pending::Bracket:
            return pushValue(a);
        case Pending::Variable:
            return readVariable(a);
        case Pending::Negate:
            if (IsCondition(a)) {
                return MacroError::Syntax;
            }
            return pushValue(a.kind == MacroTerm::Kind::Null ? a : Number(-a.number));
        case Pending::Operator: {
            MacroTerm result;
            const MacroError error = binary(static_cast<MacroOperator>(entry.code), a, b, result);
            return error == MacroError::None ? pushValue(result) : error;
        }
        case Pending::Function:
            break;
    }
    const auto function = static_cast<MacroFunction>(entry.code);
    if (entry.arguments < MinArguments(function) || IsCondition(a) || IsCondition(b)) {
        return MacroError::Syntax;
    }
    if (function == MacroFunction::Bin || function == MacroFunction::Bcd) {
        notes_.note({function == MacroFunction::Bin ? MacroNoteKind::Bin : MacroNoteKind::Bcd, 0, {}});
    }
    double result = 0.0;
    if (!ApplyFunction(function, OrZero(a), OrZero(b), result)) {
        return MacroError::Arithmetic;
    }
    return pushValue(Number(result));
}

// Null equals only null in EQ and NE and counts as 0 everywhere else. AND, OR and XOR of two conditions are
// logical; a condition anywhere else is not a number.
MacroError MacroEvaluator::binary(MacroOperator op, MacroTerm a, MacroTerm b, MacroTerm& result) const {
    if (IsCondition(a) && IsCondition(b) && IsBitwise(op)) {
        const bool x = a.number != 0.0;
        const bool y = b.number != 0.0;
        result = Condition(op == MacroOperator::And ? x && y : op == MacroOperator::Or ? x || y : x != y);
        return MacroError::None;
    }
    if (IsCondition(a) || IsCondition(b)) {
        return MacroError::Syntax;
    }
    const bool anyNull = a.kind == MacroTerm::Kind::Null || b.kind == MacroTerm::Kind::Null;
    if (op == MacroOperator::Eq || op == MacroOperator::Ne) {
        const bool equal = anyNull ? a.kind == b.kind : a.number == b.number;
        result = Condition(equal == (op == MacroOperator::Eq));
        return MacroError::None;
    }
    if (IsComparison(op)) {
        result = Condition(Compare(op, OrZero(a), OrZero(b)));
        return MacroError::None;
    }
    double number = 0.0;
    if (!ApplyOperator(op, OrZero(a), OrZero(b), number)) {
        return MacroError::Arithmetic;
    }
    result = Number(number);
    return MacroError::None;
}

MacroError MacroEvaluator::readVariable(const MacroTerm& number) {
    int n = 0;
    if (const MacroError error = VariableNumber(number, n); error != MacroError::None) {
        return error;
    }
    const MacroValue value = variables_.read(n, notes_);
    return pushValue(value.null ? MacroTerm{} : Number(value.number));
}
