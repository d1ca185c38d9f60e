#include "conversion/MacroStage.h"

#include <algorithm>
#include <cstring>


namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Most lines of most programs hold no macro at all; they are told apart here without evaluating anything: a
// statement starts, after blanks, comments and an N number, with "#" or the keywords IF, GOTO, WHILE, DO or
// END, and a value in a block needs a "#" or a "[".
bool MayHoldMacro(std::string_view piece) {
    if (std::memchr(piece.data(), '#', piece.size()) != nullptr ||
        std::memchr(piece.data(), '[', piece.size()) != nullptr) {
        return true;
    }
    std::size_t at = 0;
    for (;;) {
        while (at < piece.size() && IsBlank(piece[at])) {
            ++at;
        }
        if (at < piece.size() && piece[at] == '(') {
            const std::size_t close = piece.find(')', at);
            at = close == std::string_view::npos ? piece.size() : close + 1;
            continue;
        }
        break;
    }
    if (at < piece.size() && Upper(piece[at]) == 'N') {
        ++at;
        while (at < piece.size() && (IsBlank(piece[at]) || (piece[at] >= '0' && piece[at] <= '9'))) {
            ++at;
        }
    }
    if (at + 1 >= piece.size()) {
        return false;
    }
    const char first = Upper(piece[at]);
    const char second = Upper(piece[at + 1]);
    return (first == 'I' && second == 'F') || (first == 'G' && second == 'O') ||
           (first == 'W' && second == 'H') || (first == 'D' && second == 'O') ||
           (first == 'E' && second == 'N');
}

// Loop ids are 1 to 3.
std::string_view MissingEnd(int id) {
    constexpr std::string_view kTexts[] = {"DO1 対応するEND無し", "DO2 対応するEND無し",
                                           "DO3 対応するEND無し"};
    return kTexts[id - 1];
}

std::string_view MissingDo(int id) {
    constexpr std::string_view kTexts[] = {"END1 対応するDO無し", "END2 対応するDO無し",
                                           "END3 対応するDO無し"};
    return kTexts[id - 1];
}

std::string_view NoTargetText(MacroCallKind kind) {
    return kind == MacroCallKind::Call ? "G65 呼び出し先無し" : "G66 呼び出し先無し";
}

std::string_view TooDeepText(MacroCallKind kind) {
    return kind == MacroCallKind::Call ? "G65 呼び出しの重なり超過" : "G66 呼び出しの重なり超過";
}

}  // namespace

void MacroStage::Notes::note(const MacroNote& note) {
    text_.clear();
    AppendMacroNoteText(note, text_);
    undrawn_.note(text_, lines_.lineNumber());
}

MacroStage::MacroStage(NcAnalyzer& analyzer, ProgramLines& lines, UndrawnCodes& undrawn)
    : analyzer_(analyzer),
      lines_(lines),
      undrawn_(undrawn),
      machine_(analyzer),
      notes_(lines, undrawn),
      variables_(machine_),
      evaluator_(variables_, notes_),
      skipped_{} {
    lines_.observeCalls(this);
}

void MacroStage::note(std::string_view kind) {
    undrawn_.note(kind, lines_.lineNumber());
}

MacroStage::Step MacroStage::take(std::string_view piece, std::int64_t& extraBlocks) {
    block_ = piece;
    // A statement stands at the start of a line; a later piece of a long line is only ever a block.
    if (MayHoldMacro(piece)) {
        if (!lines_.continuesLine()) {
            const MacroOutcome outcome = ExecuteMacroStatement(piece, evaluator_);
            if (outcome.action != MacroAction::NotAStatement) {
                return statement(piece, outcome, extraBlocks);
            }
        }
        if (substitute(piece) == Step::Stop) {
            return Step::Stop;
        }
    }
    return takeMacroCall();
}

// The words of a G65 or G66 block are the arguments of its call, never a move; G67 ends the G66 call and
// leaves the rest of its block to the parser.
MacroStage::Step MacroStage::takeMacroCall() {
    if (MayHoldMacroCall(block_)) {
        ReadMacroCall(block_, lines_.startsInComment(),
                      ArgumentUnits{analyzer_.isInch(), analyzer_.readsCalculatorDecimals()}, call_);
    } else {
        call_.kind = MacroCallKind::None;
    }
    switch (call_.kind) {
        case MacroCallKind::None:
            // The interpreter may rewrite a block's words as it carries it out: whether it moves is told here.
            modal_.due = modal_.active && modal_.runningAt == 0 && MovesAnAxis(block_, lines_.startsInComment());
            return Step::Block;
        case MacroCallKind::ModalCancel:
            modal_.active = false;
            modal_.due = false;
            return Step::Block;
        case MacroCallKind::Call:
        case MacroCallKind::ModalCall:
            break;
    }
    if (call_.argumentsLost) {
        note("引数 I J K 11組目以降");
    }
    if (!call_.hasP) {
        note(call_.kind == MacroCallKind::Call ? "G65 P無し" : "G66 P無し");
        return Step::Statement;
    }
    const std::int64_t runs = call_.hasL ? RunsOf(call_.l) : 1;
    if (call_.kind == MacroCallKind::Call) {
        callMacro(MacroCallKind::Call, call_.p, runs, call_.arguments);
        return Step::Statement;
    }
    if (!lines_.findsProgram(call_.p)) {
        note(NoTargetText(MacroCallKind::ModalCall));
        return Step::Statement;
    }
    modal_.active = true;
    modal_.program = call_.p;
    modal_.runs = runs;
    modal_.arguments = call_.arguments;
    return Step::Statement;
}

void MacroStage::afterBlock() {
    if (!modal_.due) {
        return;
    }
    modal_.due = false;
    if (callMacro(MacroCallKind::ModalCall, modal_.program, modal_.runs, modal_.arguments)) {
        modal_.runningAt = lines_.depth();
    }
}

bool MacroStage::callMacro(MacroCallKind kind, double program, std::int64_t runs, const MacroLocals& arguments) {
    switch (lines_.callMacro(program, runs, undrawn_)) {
        case ProgramLines::MacroCallResult::Entered:
            variables_.enterCall(arguments);
            return true;
        case ProgramLines::MacroCallResult::NoTarget:
            note(NoTargetText(kind));
            return false;
        case ProgramLines::MacroCallResult::TooDeep:
            note(TooDeepText(kind));
            return false;
        case ProgramLines::MacroCallResult::NoRuns:
            return false;
    }
    return false;
}

// Each call, and each run of a repeated call, starts with its loops closed; a G65 or G66 call also with its
// arguments as its locals (callMacro gives them).
void MacroStage::callStarted(int depth, bool) {
    loops_[static_cast<std::size_t>(depth)] = {};
}

void MacroStage::runRepeated(int depth, bool macroCall) {
    loops_[static_cast<std::size_t>(depth)] = {};
    if (macroCall) {
        variables_.restartCall();
    }
}

void MacroStage::callEnded(int depth, bool macroCall) {
    if (macroCall) {
        variables_.leaveCall();
    }
    if (depth == modal_.runningAt) {
        modal_.runningAt = 0;
    }
}

MacroStage::Step MacroStage::statement(std::string_view piece, const MacroOutcome& outcome,
                                       std::int64_t& extraBlocks) {
    switch (outcome.action) {
        case MacroAction::NotAStatement:
        case MacroAction::Next:
            return Step::Statement;
        case MacroAction::Jump:
            if (!lines_.jumpToSequence(outcome.target)) {
                note("GOTO 飛び先無し");
                return Step::Stop;
            }
            return Step::Statement;
        case MacroAction::LoopBody:
            return enterLoop(piece, outcome.loop);
        case MacroAction::LoopExit:
            return passLoop(outcome.loop);
        case MacroAction::LoopEnd:
            return endLoop(outcome.loop, extraBlocks);
        case MacroAction::Stop:
            return Step::Stop;
    }
    return Step::Stop;
}

// The loop's body starts after this line; a WHILE keeps its line to be tested again at ENDm, a DOm alone
// loops for ever (until the block limit).
MacroStage::Step MacroStage::enterLoop(std::string_view piece, int id) {
    Loop& entry = loop(id);
    const NcLines::Mark body = lines_.mark();
    // A loop entered anew must have its ENDm ahead; a control refuses to run it otherwise.
    if (!entry.active) {
        const std::int64_t line = lines_.lineNumber();
        const bool closed = findLoopEnd(id);
        lines_.rewind(body);
        if (!closed) {
            undrawn_.note(MissingEnd(id), line);
            return Step::Stop;
        }
    }
    entry.active = true;
    entry.body = body;
    const bool isWhile = RecognizeMacroStatement(piece).kind == MacroStatementKind::While;
    entry.testLength = isWhile ? std::min(piece.size(), entry.test.size()) : 0;
    std::memcpy(entry.test.data(), piece.data(), entry.testLength);
    return Step::Statement;
}

bool MacroStage::findLoopEnd(int id) {
    while (std::size_t length = lines_.nextInLevel(skipped_)) {
        if (lines_.continuesLine()) {
            continue;
        }
        const MacroStatementShape shape = RecognizeMacroStatement(std::string_view(skipped_, length));
        if (shape.kind == MacroStatementKind::End && shape.loop == id) {
            return true;
        }
    }
    return false;
}

MacroStage::Step MacroStage::endLoop(int id, std::int64_t& extraBlocks) {
    Loop& entry = loop(id);
    if (!entry.active) {
        note(MissingDo(id));
        return Step::Statement;
    }
    if (entry.testLength != 0) {
        // The WHILE line is reached again and tested.
        ++extraBlocks;
        const MacroOutcome again =
            ExecuteMacroStatement(std::string_view(entry.test.data(), entry.testLength), evaluator_);
        if (again.action == MacroAction::Stop) {
            return Step::Stop;
        }
        if (again.action != MacroAction::LoopBody) {
            entry.active = false;
            return Step::Statement;
        }
    }
    lines_.jump(entry.body);
    return Step::Statement;
}

// The WHILE failed: its lines up to ENDm are passed over without being carried out.
MacroStage::Step MacroStage::passLoop(int id) {
    loop(id).active = false;
    const std::int64_t line = lines_.lineNumber();
    if (!findLoopEnd(id)) {
        undrawn_.note(MissingEnd(id), line);
        return Step::Stop;
    }
    return Step::Statement;
}

MacroStage::Step MacroStage::substitute(std::string_view piece) {
    // The words of a macro call are arguments, never a canned cycle's: K there is a length.
    const bool cycle = analyzer_.isCycleActive() && !MayHoldMacroCall(piece);
    switch (SubstituteMacroValues(piece, lines_.startsInComment(), cycle, evaluator_, substituted_,
                                  analyzer_.isInch())) {
        case MacroSubstitution::Unchanged:
            return Step::Block;
        case MacroSubstitution::Substituted:
            block_ = substituted_.view();
            return Step::Block;
        case MacroSubstitution::Failed:
            return Step::Stop;
    }
    return Step::Stop;
}
