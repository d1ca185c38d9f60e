// How the characters of one NC line form a block: address words with their number texts, comments skipped
// wherever they stand, and how reading ended. Nothing is interpreted here; the block parser gives the words
// their meaning.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The LinuxCNC ends come last, see DropsTheWords.
enum class BlockEnd : std::uint8_t {
    Complete,        // nothing but blanks and comments after the words, or after a ";" ending them
    UnreadText,      // a character that starts no word, or text after a ";": the rest of the line is lost
    MacroVariable,   // Custom Macro B ("#" or "[" after a letter, "#1=5."): the rest of the line is lost
    OWord,           // LinuxCNC o-word control
    PolarWord,       // LinuxCNC "@" or "^"
    NamedParameter,  // LinuxCNC "#<name>"
};

// A line of LinuxCNC syntax is never half-read: it carries no words at all.
constexpr bool DropsTheWords(BlockEnd end) {
    return end >= BlockEnd::OWord;
}

struct ScannedWord {
    char letter;          // upper case; ":" is read as O
    std::uint8_t begin;   // where the number text stands in the line: [+-]digits[.digits] or [+-].digits
    std::uint8_t length;  // at least 1
    bool point;           // the number is written with a decimal point
};

// The words that are lengths (or, for some codes, angles and factors read the same way). A B C are angles of
// rotary axes.
constexpr bool IsLengthLetter(char letter) {
    switch (letter) {
        case 'X':
        case 'Y':
        case 'Z':
        case 'I':
        case 'J':
        case 'K':
        case 'R':
        case 'Q':
            return true;
        default:
            return false;
    }
}

struct ScannedBlock {
    static constexpr std::size_t kMaxLength = 255;  // a longer line is scanned up to here
    // Every word takes at least two characters: its letter and a digit or point.
    std::array<ScannedWord, (kMaxLength + 1) / 2> words;
    int count = 0;
    BlockEnd end = BlockEnd::Complete;
    // The most whole digits (leading zeros included) of a length word written with a decimal point, and of
    // one written without: only many of them can make a number beyond what a control takes.
    std::size_t mostPointedDigits = 0;
    std::size_t mostUnpointedDigits = 0;
};

// Which letters start a word: the addresses the block parser reads, or those and E, U, V and W, which a
// macro call takes as arguments.
enum class ScanLetters : std::uint8_t { Addresses, MacroArguments };

// `inComment`: the line starts inside a comment that the piece before it, of the same line, left open.
void ScanBlock(std::string_view line, bool inComment, ScannedBlock& block,
               ScanLetters letters = ScanLetters::Addresses);

// Where the first word of `line` stands: after blanks, comments and an optional block skip ("/" and a digit
// 1 to 9, read as if the skip switch were off).
std::size_t BlockStart(std::string_view line, bool inComment);

// The first position at or after `i` that is neither a blank nor inside a comment.
std::size_t SkipBlanksAndComments(std::string_view line, std::size_t i);

bool CommentOpenAtEnd(std::string_view text, bool openAtStart);
