#include "nc/MacroSubstitution.h"

#include <cmath>
#include <cstring>

#include "core/DecimalNumber.h"
#include "nc/BlockScan.h"
#include "nc/MacroAddressText.h"
#include "nc/MacroText.h"

namespace {

// More than a line of 255 bytes can hold: each takes at least three bytes.
constexpr std::size_t kMaxWords = 128;

struct Replacement {
    std::size_t letterAt;
    std::size_t valueAt;  // after the letter and its blanks: the sign or the reference
    std::size_t end;
    char letter;  // upper case
    MacroValue value;
};

std::size_t SkipBlanks(std::string_view line, std::size_t i) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    return i;
}

// The end of the number `[+-]digits[.digits]` at `at`, holding a digit or the point; `at` when there is none.
std::size_t NumberEnd(std::string_view line, std::size_t at) {
    const std::size_t digits = at < line.size() && (line[at] == '-' || line[at] == '+') ? at + 1 : at;
    const std::size_t end = DigitsEnd(line, digits);
    if (end < line.size() && line[end] == '.') {
        return DigitsEnd(line, end + 1);
    }
    return end > digits ? end : at;
}

bool IsReference(std::string_view line, std::size_t at) {
    if (at >= line.size()) {
        return false;
    }
    const char next = at + 1 < line.size() ? line[at + 1] : '\0';
    return line[at] == '[' || (line[at] == '#' && (IsAsciiDigit(next) || next == '['));
}

// G73, G74, G76 and G81-G89 start a canned cycle; G80 and the motion codes end it.
void FollowCycle(double g, bool& cycle) {
    const double code = std::round(g * 10.0) / 10.0;
    if (code == 73.0 || code == 74.0 || code == 76.0 ||
        (code >= 81.0 && code <= 89.0 && code == std::trunc(code))) {
        cycle = true;
    } else if (code == 80.0 || code == 0.0 || code == 1.0 || code == 2.0 || code == 3.0 || code == 33.0) {
        cycle = false;
    }
}

class Substitution {
public:
    Substitution(std::string_view line, MacroEvaluator& evaluator) : line_(line), evaluator_(evaluator) {}

    MacroError collect(std::size_t i, bool& cycle);
    bool empty() const { return count_ == 0; }
    MacroError write(bool cycle, bool inch, SubstitutedBlock& out) const;

private:
    MacroError substitute(std::size_t letterAt, std::size_t valueAt, std::size_t& i);
    static bool append(std::string_view text, SubstitutedBlock& out);

    std::string_view line_;
    MacroEvaluator& evaluator_;
    std::array<Replacement, kMaxWords> words_;
    std::size_t count_ = 0;
};

// Walks the words as the block parser does, evaluating every reference in the order written; the G codes met
// decide whether the block is in a canned cycle.
MacroError Substitution::collect(std::size_t i, bool& cycle) {
    for (;;) {
        i = SkipBlanksAndComments(line_, i);
        if (i == line_.size() || !(IsAsciiLetter(line_[i]) || line_[i] == ':')) {
            return MacroError::None;
        }
        const std::size_t letterAt = i;
        const std::size_t valueAt = SkipBlanks(line_, i + 1);
        const std::size_t signed_ = valueAt < line_.size() && (line_[valueAt] == '-' || line_[valueAt] == '+')
                                        ? valueAt + 1
                                        : valueAt;
        if (IsReference(line_, signed_)) {
            if (const MacroError error = substitute(letterAt, valueAt, i); error != MacroError::None) {
                return error;
            }
            const Replacement& word = words_[count_ - 1];
            if (word.letter == 'G' && !word.value.null) {
                FollowCycle(word.value.number, cycle);
            }
            continue;
        }
        i = NumberEnd(line_, valueAt);
        if (i == valueAt) {
            return MacroError::None;
        }
        if (AsciiUpper(line_[letterAt]) == 'G') {
            FollowCycle(ReadDecimalNumber(line_.substr(valueAt, i - valueAt)), cycle);
        }
    }
}

MacroError Substitution::substitute(std::size_t letterAt, std::size_t valueAt, std::size_t& i) {
    if (count_ == kMaxWords) {
        return MacroError::Range;
    }
    const bool negative = line_[valueAt] == '-';
    i = negative || line_[valueAt] == '+' ? valueAt + 1 : valueAt;
    MacroTerm term;
    if (const MacroError error = evaluator_.evaluate(line_, i, MacroScope::Operand, term);
        error != MacroError::None) {
        return error;
    }
    if (term.kind == MacroTerm::Kind::Condition) {
        return MacroError::Syntax;
    }
    MacroValue value = term.value();
    if (negative && !value.null) {
        value.number = -value.number;
    }
    const char letter = line_[letterAt] == ':' ? 'O' : AsciiUpper(line_[letterAt]);
    words_[count_++] = Replacement{letterAt, valueAt, i, letter, value};
    return MacroError::None;
}

MacroError Substitution::write(bool cycle, bool inch, SubstitutedBlock& out) const {
    out.length = 0;
    std::size_t from = 0;
    for (std::size_t w = 0; w < count_; ++w) {
        const Replacement& word = words_[w];
        if (!append(line_.substr(from, word.letterAt - from), out)) {
            return MacroError::Range;
        }
        from = word.end;
        if (word.value.null) {
            continue;
        }
        char number[kAddressTextCapacity];
        const std::size_t length = AddressValueText(word.letter, word.value.number, cycle, number, inch);
        if (length == 0) {
            return MacroError::Range;
        }
        if (!append(line_.substr(word.letterAt, word.valueAt - word.letterAt), out) ||
            !append({number, length}, out)) {
            return MacroError::Range;
        }
    }
    return append(line_.substr(from), out) ? MacroError::None : MacroError::Range;
}

bool Substitution::append(std::string_view text, SubstitutedBlock& out) {
    if (text.size() > out.text.size() - out.length) {
        return false;
    }
    std::memcpy(out.text.data() + out.length, text.data(), text.size());
    out.length += text.size();
    return true;
}

}  // namespace

MacroSubstitution SubstituteMacroValues(std::string_view line, bool inComment, bool cycleMode,
                                        MacroEvaluator& evaluator, SubstitutedBlock& out, bool inch) {
    if (line.find_first_of("#[") == std::string_view::npos) {
        return MacroSubstitution::Unchanged;
    }
    Substitution substitution(line, evaluator);
    bool cycle = cycleMode;
    MacroError error = substitution.collect(BlockStart(line, inComment), cycle);
    if (error == MacroError::None) {
        if (substitution.empty()) {
            return MacroSubstitution::Unchanged;
        }
        error = substitution.write(cycle, inch, out);
    }
    if (error != MacroError::None) {
        evaluator.notes().note({MacroNoteKind::Error, 0, line});
        return MacroSubstitution::Failed;
    }
    return MacroSubstitution::Substituted;
}
