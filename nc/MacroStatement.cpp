#include "nc/MacroStatement.h"

#include <algorithm>
#include <cmath>

#include "nc/BlockScan.h"
#include "nc/MacroMath.h"
#include "nc/MacroText.h"

namespace {

constexpr int kLoopCount = 3;

bool DigitAt(std::string_view text, std::size_t i) {
    return i < text.size() && IsAsciiDigit(text[i]);
}

// Reads the digits at `i` (after blanks and comments) into `number`, held at `limit + 1`; false when there
// are none.
bool ReadDigits(std::string_view text, std::size_t& i, int limit, int& number) {
    i = SkipBlanksAndComments(text, i);
    if (!DigitAt(text, i)) {
        return false;
    }
    number = 0;
    for (; DigitAt(text, i); ++i) {
        number = std::min(number * 10 + (text[i] - '0'), limit + 1);
    }
    return true;
}

// The keyword that starts at `i` after blanks and comments; `i` moves past it.
std::string_view Keyword(std::string_view text, std::size_t& i) {
    i = SkipBlanksAndComments(text, i);
    const std::size_t begin = i;
    i = LetterRunEnd(text, i);
    return text.substr(begin, i - begin);
}

struct Head {
    MacroStatementKind kind = MacroStatementKind::None;
    std::size_t at = 0;  // at the "#" of an assignment, after the keyword of the others
};

Head ReadHead(std::string_view line) {
    std::size_t i = BlockStart(line, false);
    if (i < line.size() && AsciiUpper(line[i]) == 'N') {
        int sequence = 0;
        if (!ReadDigits(line, ++i, MacroVariables::kMaxNumber, sequence)) {
            return {};
        }
        i = SkipBlanksAndComments(line, i);
    }
    if (i < line.size() && line[i] == '#') {
        const bool reference = DigitAt(line, i + 1) || (i + 1 < line.size() && line[i + 1] == '[');
        return reference ? Head{MacroStatementKind::Assignment, i} : Head{};
    }
    const std::string_view word = Keyword(line, i);
    if (IsKeyword(word, "IF")) {
        return {MacroStatementKind::If, i};
    }
    if (IsKeyword(word, "GOTO")) {
        return {MacroStatementKind::Goto, i};
    }
    if (IsKeyword(word, "WHILE")) {
        return {MacroStatementKind::While, i};
    }
    const bool loop = IsKeyword(word, "DO") || IsKeyword(word, "END");
    if (loop && DigitAt(line, SkipBlanksAndComments(line, i))) {
        return {IsKeyword(word, "DO") ? MacroStatementKind::Do : MacroStatementKind::End, i};
    }
    return {};
}

// Past the bracket that opens at `i` and everything it encloses, without evaluating; the end when it is never
// closed.
std::size_t AfterBracket(std::string_view text, std::size_t i) {
    int depth = 0;
    for (i = SkipBlanksAndComments(text, i); i < text.size(); i = SkipBlanksAndComments(text, i + 1)) {
        depth += text[i] == '[' ? 1 : text[i] == ']' ? -1 : 0;
        if (depth == 0) {
            return i + 1;
        }
    }
    return text.size();
}

// The text of the first comment at or after `from`.
std::string_view CommentAfter(std::string_view line, std::size_t from) {
    const std::size_t open = line.find('(', from);
    if (open == std::string_view::npos) {
        return {};
    }
    const std::size_t close = line.find(')', open);
    return line.substr(open + 1, (close == std::string_view::npos ? line.size() : close) - open - 1);
}

class Statement {
public:
    Statement(std::string_view line, MacroEvaluator& evaluator) : line_(line), evaluator_(evaluator) {}

    MacroError run(const Head& head, MacroOutcome& outcome);

private:
    MacroError assign(MacroOutcome& outcome);
    MacroError jump(MacroOutcome& outcome);
    MacroError branch(MacroOutcome& outcome);
    MacroError loopWhile(MacroOutcome& outcome);
    MacroError loop(MacroAction action, MacroOutcome& outcome);
    MacroError condition(bool& holds);
    MacroError targetVariable(int& number);
    MacroError rest();

    std::string_view line_;
    MacroEvaluator& evaluator_;
    std::size_t i_ = 0;
};

MacroError Statement::run(const Head& head, MacroOutcome& outcome) {
    i_ = head.at;
    outcome.action = MacroAction::Next;
    MacroError error = MacroError::None;
    switch (head.kind) {
        case MacroStatementKind::Assignment:
            error = assign(outcome);
            break;
        case MacroStatementKind::If:
            error = branch(outcome);
            break;
        case MacroStatementKind::Goto:
            error = jump(outcome);
            break;
        case MacroStatementKind::While:
            error = loopWhile(outcome);
            break;
        case MacroStatementKind::Do:
        case MacroStatementKind::End:
            error = loop(head.kind == MacroStatementKind::Do ? MacroAction::LoopBody : MacroAction::LoopEnd,
                         outcome);
            break;
        case MacroStatementKind::None:
            break;
    }
    return error != MacroError::None || outcome.action == MacroAction::Stop ? error : rest();
}

// #3000 and #3006 take their text from the comment after the "=".
MacroError Statement::assign(MacroOutcome& outcome) {
    int number = 0;
    if (const MacroError error = targetVariable(number); error != MacroError::None) {
        return error;
    }
    i_ = SkipBlanksAndComments(line_, i_);
    if (i_ == line_.size() || line_[i_] != '=') {
        return MacroError::Syntax;
    }
    const std::size_t valueAt = ++i_;
    MacroTerm value;
    if (const MacroError error = evaluator_.evaluate(line_, i_, MacroScope::Expression, value);
        error != MacroError::None) {
        return error;
    }
    if (value.kind == MacroTerm::Kind::Condition) {
        return MacroError::Syntax;
    }
    const MacroWrite write = evaluator_.variables().write(number, value.value(), evaluator_.notes());
    if (write == MacroWrite::Refused) {
        return MacroError::Range;
    }
    if (write == MacroWrite::Alarm || write == MacroWrite::Message) {
        const MacroNoteKind kind = write == MacroWrite::Alarm ? MacroNoteKind::Alarm : MacroNoteKind::Message;
        evaluator_.notes().note({kind, RoundedInteger(value.value().orZero()), CommentAfter(line_, valueAt)});
        outcome.action = write == MacroWrite::Alarm ? MacroAction::Stop : MacroAction::Next;
    }
    return MacroError::None;
}

MacroError Statement::targetVariable(int& number) {
    ++i_;
    if (DigitAt(line_, i_)) {
        ReadDigits(line_, i_, MacroVariables::kMaxNumber, number);
        return number > MacroVariables::kMaxNumber ? MacroError::Range : MacroError::None;
    }
    if (i_ == line_.size() || line_[i_] != '[') {
        return MacroError::Syntax;
    }
    MacroTerm term;
    const MacroError error = evaluator_.evaluate(line_, i_, MacroScope::Operand, term);
    return error != MacroError::None ? error : VariableNumber(term, number);
}

MacroError Statement::jump(MacroOutcome& outcome) {
    MacroTerm term;
    if (const MacroError error = evaluator_.evaluate(line_, i_, MacroScope::Operand, term);
        error != MacroError::None) {
        return error;
    }
    const double target = std::round(term.number);
    if (term.kind != MacroTerm::Kind::Number || !(target >= 0.0 && target <= MacroVariables::kMaxNumber)) {
        return term.kind == MacroTerm::Kind::Condition ? MacroError::Syntax : MacroError::Range;
    }
    outcome.action = MacroAction::Jump;
    outcome.target = static_cast<std::int64_t>(target);
    return MacroError::None;
}

// IF [c] GOTO n and IF [c] THEN #i = e. What a failed condition guards is not read.
MacroError Statement::branch(MacroOutcome& outcome) {
    bool holds = false;
    if (const MacroError error = condition(holds); error != MacroError::None) {
        return error;
    }
    const std::string_view word = Keyword(line_, i_);
    const bool then = IsKeyword(word, "THEN");
    if (!then && !IsKeyword(word, "GOTO")) {
        return MacroError::Syntax;
    }
    if (!holds) {
        i_ = line_.size();
        return MacroError::None;
    }
    if (!then) {
        return jump(outcome);
    }
    i_ = SkipBlanksAndComments(line_, i_);
    return i_ < line_.size() && line_[i_] == '#' ? assign(outcome) : MacroError::Syntax;
}

MacroError Statement::loopWhile(MacroOutcome& outcome) {
    bool holds = false;
    if (const MacroError error = condition(holds); error != MacroError::None) {
        return error;
    }
    if (!IsKeyword(Keyword(line_, i_), "DO")) {
        return MacroError::Syntax;
    }
    return loop(holds ? MacroAction::LoopBody : MacroAction::LoopExit, outcome);
}

MacroError Statement::loop(MacroAction action, MacroOutcome& outcome) {
    int m = 0;
    if (!ReadDigits(line_, i_, MacroVariables::kMaxNumber, m)) {
        return MacroError::Syntax;
    }
    if (m < 1 || m > kLoopCount) {
        return MacroError::Range;
    }
    outcome.action = action;
    outcome.loop = m;
    return MacroError::None;
}

MacroError Statement::condition(bool& holds) {
    i_ = SkipBlanksAndComments(line_, i_);
    if (i_ == line_.size() || line_[i_] != '[') {
        return MacroError::Syntax;
    }
    MacroTerm term;
    if (const MacroError error = evaluator_.evaluate(line_, i_, MacroScope::Operand, term);
        error != MacroError::None) {
        return error;
    }
    holds = term.number != 0.0;
    return term.kind == MacroTerm::Kind::Condition ? MacroError::None : MacroError::Syntax;
}

// After the statement: a ";", words (noted, not read) or nothing.
MacroError Statement::rest() {
    i_ = SkipBlanksAndComments(line_, i_);
    if (i_ < line_.size() && line_[i_] == ';') {
        i_ = SkipBlanksAndComments(line_, i_ + 1);
    }
    if (i_ == line_.size()) {
        return MacroError::None;
    }
    if (!IsAsciiLetter(line_[i_])) {
        return MacroError::Syntax;
    }
    evaluator_.notes().note({MacroNoteKind::StatementWords, 0, {}});
    return MacroError::None;
}

}  // namespace

MacroStatementShape RecognizeMacroStatement(std::string_view line) {
    const Head head = ReadHead(line);
    MacroStatementShape shape{head.kind, 0};
    std::size_t i = head.at;
    if (head.kind == MacroStatementKind::While) {
        i = AfterBracket(line, i);
        if (!IsKeyword(Keyword(line, i), "DO")) {
            return shape;
        }
    } else if (head.kind != MacroStatementKind::Do && head.kind != MacroStatementKind::End) {
        return shape;
    }
    int m = 0;
    if (ReadDigits(line, i, MacroVariables::kMaxNumber, m)) {
        shape.loop = m;
    }
    return shape;
}

MacroOutcome ExecuteMacroStatement(std::string_view line, MacroEvaluator& evaluator) {
    const Head head = ReadHead(line);
    MacroOutcome outcome;
    if (head.kind == MacroStatementKind::None) {
        return outcome;
    }
    Statement statement(line, evaluator);
    if (statement.run(head, outcome) != MacroError::None) {
        evaluator.notes().note({MacroNoteKind::Error, 0, line});
        return {MacroAction::Stop, 0, 0};
    }
    return outcome;
}
