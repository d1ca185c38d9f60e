// Custom Macro B between the line source and the block parser. A line that is a macro statement is carried
// out here (assignments, IF, GOTO, WHILE ... DOm ... ENDm) and never reaches the parser; any other line has
// the values of its `#` variables and `[ ]` expressions put in place, so the parser and the interpreter keep
// reading plain blocks. A G65 block calls its program at once, with its words as arguments in fresh locals;
// a G66 block makes the same call after every later block that moves an axis, until G67. Jumps and loops are
// seeks of the line source within the program being read; loop positions are kept per call level in a table
// of fixed size, so nothing grows however long a loop runs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/NcLines.h"
#include "conversion/ProgramLines.h"
#include "conversion/UndrawnCodes.h"
#include "nc/AnalyzerMachineState.h"
#include "nc/MacroCall.h"
#include "nc/MacroEvaluator.h"
#include "nc/MacroStatement.h"
#include "nc/MacroSubstitution.h"
#include "nc/MacroVariables.h"
#include "nc/NcAnalyzer.h"

class MacroStage final : private CallLevelObserver {
public:
    MacroStage(NcAnalyzer& analyzer, ProgramLines& lines, UndrawnCodes& undrawn);

    enum class Step : std::uint8_t {
        Block,      // hand `block()` to the parser
        Statement,  // carried out: go on with the next line
        Stop,       // the program stops here: an alarm, an error, a jump or loop that cannot be made
    };
    // Takes the piece just read. A WHILE passed again at its ENDm counts as one more block in `extraBlocks`.
    Step take(std::string_view piece, std::int64_t& extraBlocks);
    // The block to parse after Step::Block: the piece itself or the piece with its values in place.
    std::string_view block() const { return block_; }
    // After the block has been carried out: the G66 call in force follows a block that moved an axis.
    void afterBlock();

private:
    // One loop of one call level: where its body starts and, for WHILE, the line that tests it again.
    struct Loop {
        bool active = false;
        NcLines::Mark body;
        std::array<char, TextFile::kMaxPiece + 1> test{};
        std::size_t testLength = 0;
    };
    static constexpr int kLoopIds = 3;

    class Notes final : public MacroNotes {
    public:
        Notes(ProgramLines& lines, UndrawnCodes& undrawn) : lines_(lines), undrawn_(undrawn) {}
        void note(const MacroNote& note) override;

    private:
        ProgramLines& lines_;
        UndrawnCodes& undrawn_;
        std::string text_;
    };

    Step statement(std::string_view piece, const MacroOutcome& outcome, std::int64_t& extraBlocks);
    Step enterLoop(std::string_view piece, int id);
    Step endLoop(int id, std::int64_t& extraBlocks);
    Step passLoop(int id);
    // Reads on to the ENDm of loop `id`; false when the level's file ends first.
    bool findLoopEnd(int id);
    Step substitute(std::string_view piece);
    Step takeMacroCall();
    // Calls on behalf of the G65 or G66 block `code`, noting what cannot be called.
    bool callMacro(MacroCallKind kind, double program, std::int64_t runs, const MacroLocals& arguments);
    void callStarted(int depth, bool macroCall) override;
    void runRepeated(int depth, bool macroCall) override;
    void callEnded(int depth, bool macroCall) override;
    Loop& loop(int id) {
        return loops_[static_cast<std::size_t>(lines_.depth())][static_cast<std::size_t>(id - 1)];
    }
    void note(std::string_view kind);

    const NcAnalyzer& analyzer_;
    ProgramLines& lines_;
    UndrawnCodes& undrawn_;
    AnalyzerMachineState machine_;
    Notes notes_;
    MacroVariables variables_;
    MacroEvaluator evaluator_;
    SubstitutedBlock substituted_;
    std::string_view block_;
    std::array<std::array<Loop, kLoopIds>, ProgramLines::kLevels> loops_{};
    MacroCall call_;
    // The G66 call in force, and the level it runs at while it runs (0 when not): the blocks of the macro it
    // calls, and of whatever that calls, do not call it again.
    struct ModalCall {
        bool active = false;
        double program = 0.0;
        std::int64_t runs = 0;
        MacroLocals arguments{};
        int runningAt = 0;
        bool due = false;  // the block handed to the parser moves an axis
    };
    ModalCall modal_;
    char skipped_[TextFile::kMaxPiece + 1];
};
