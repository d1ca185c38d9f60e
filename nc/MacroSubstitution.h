// Custom Macro B values in an NC block: `X#24`, `X-#24`, `X[#1+2.]`, `G#8` become plain words that the block
// parser reads unchanged. Only words the parser would reach are substituted: reading stops where the parser's
// does (a character that starts no word, a ";"), and a "#" that is not a variable reference (LinuxCNC's
// `#<name>`) is left as written for the parser to list. Comments and everything else stay as written; a word
// whose value is null, or minus a null, is left out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "nc/MacroEvaluator.h"

// The caller's buffer, reused from block to block. It holds whatever a line of 255 bytes can become (a word
// of three bytes, `X#1`, grows to at most 21); a longer text fails rather than being cut. The block parser
// reads the first 255 bytes of what it is given.
struct SubstitutedBlock {
    static constexpr std::size_t kCapacity = 2048;
    std::array<char, kCapacity> text;
    std::size_t length = 0;

    std::string_view view() const { return {text.data(), length}; }
};

enum class MacroSubstitution : std::uint8_t {
    Unchanged,    // nothing to substitute: parse the line itself; `out` is untouched
    Substituted,  // parse `out`
    Failed,       // an error, noted with the line: the run stops drawing at this block
};

// `inComment`: the line continues a comment that the piece before it left open. `cycleMode`: a canned cycle
// is in force before the block; the block's own G codes, literal or substituted, then decide whether K is a
// repeat count (an integer) or a length. `inch`: G20 is in force, lengths are rounded to 0.0001.
MacroSubstitution SubstituteMacroValues(std::string_view line, bool inComment, bool cycleMode,
                                        MacroEvaluator& evaluator, SubstitutedBlock& out, bool inch = false);
