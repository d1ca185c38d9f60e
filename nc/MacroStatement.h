// Custom Macro B statements: a line whose first word, after an optional block skip and N number, is
// `#i = e` (or `#[e] = e`), `IF [c] GOTO n`, `IF [c] THEN #i = e`, `GOTO n`, `WHILE [c] DOm`, `DOm` or
// `ENDm`. Keywords are read in either case; blanks and comments may stand between any two tokens.
//
// The execution stage owns the program: it finds sequence numbers, keeps loop positions and counts blocks.
// Executing a statement here evaluates it, writes its variable and tells the stage where to go on. A
// statement is read from the whole text it is given, however long; a continuation piece of a line longer
// than 255 bytes is not a statement.
#pragma once

#include <cstdint>
#include <string_view>

#include "nc/MacroEvaluator.h"

enum class MacroStatementKind : std::uint8_t { None, Assignment, If, Goto, While, Do, End };

struct MacroStatementShape {
    MacroStatementKind kind = MacroStatementKind::None;
    int loop = 0;  // m of WHILE, DOm and ENDm as written, checked only when executed; 0 when missing
};

// What a line is, without evaluating anything: for the stage's search of the ENDm that ends a loop.
MacroStatementShape RecognizeMacroStatement(std::string_view line);

enum class MacroAction : std::uint8_t {
    NotAStatement,  // an NC block: substitute its values and parse it
    Next,           // go on with the next line
    Jump,           // go to the block whose sequence number is `target`
    LoopBody,       // WHILE held, or DOm: run the lines after this one
    LoopExit,       // WHILE failed: go on after ENDm
    LoopEnd,        // ENDm: back to the WHILE or DOm of loop m
    Stop,           // #3000 or an error, noted: the run stops drawing at this block
};

struct MacroOutcome {
    MacroAction action = MacroAction::NotAStatement;
    int loop = 0;             // m, 1 to 3, for the loop actions
    std::int64_t target = 0;  // the sequence number of a Jump, 0 to 99999999
};

// Executes `line` when it is a statement. Words after the statement are not read and noted; a faulty
// statement is noted as an error with the line and stops.
MacroOutcome ExecuteMacroStatement(std::string_view line, MacroEvaluator& evaluator);
