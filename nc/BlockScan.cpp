#include "nc/BlockScan.h"

#include <algorithm>
#include <cstring>

#include "core/AsciiClass.h"
#include "nc/OWordCommand.h"

namespace {

// The letters in either case, and ":" for O; 0 for every other byte.
constexpr std::array<char, 256> AddressLetters(std::string_view upper) {
    std::array<char, 256> letters{};
    for (const char c : upper) {
        letters[static_cast<unsigned char>(c)] = c;
        letters[static_cast<unsigned char>(c - 'A' + 'a')] = c;
    }
    letters[':'] = 'O';
    return letters;
}

constexpr std::array<char, 256> kAddressLetters = AddressLetters("GONXYZABCIJKFSTHDMRQPL");
constexpr std::array<char, 256> kArgumentLetters = AddressLetters("GONXYZABCIJKFSTHDMRQPLEUVW");

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsAsciiDigit(text[i])) {
        ++i;
    }
    return i;
}

// The number at `at`: an optional sign, digits, and a point with digits after it, holding at least one digit
// or the point ("." and "-." are numbers of value 0). Its end, or `at` when no number starts there ("-",
// "-Y5").
std::size_t NumberEnd(std::string_view line, std::size_t at, bool& point, std::size_t& wholeDigits) {
    std::size_t i = at < line.size() && (line[at] == '-' || line[at] == '+') ? at + 1 : at;
    const std::size_t digits = i;
    i = SkipDigits(line, i);
    wholeDigits = i - digits;
    point = i < line.size() && line[i] == '.';
    if (point) {
        return SkipDigits(line, i + 1);
    }
    return i > digits ? i : at;
}

std::size_t SkipBlanks(std::string_view line, std::size_t i) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    return i;
}

// `i` stands inside a comment; a comment never closed runs to the end of the line.
std::size_t AfterComment(std::string_view line, std::size_t i) {
    const void* close = std::memchr(line.data() + i, ')', line.size() - i);
    return close == nullptr ? line.size()
                            : static_cast<std::size_t>(static_cast<const char*>(close) - line.data()) + 1;
}

// Reading stopped at `stop` for `reason`. The lost rest, up to a ";", may show that the line is LinuxCNC's or
// uses macro variables.
BlockEnd ClassifyRest(std::string_view line, std::size_t stop, BlockEnd reason) {
    for (std::size_t i = stop; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '(') {
            i = AfterComment(line, i + 1) - 1;
        } else if (c == ';') {
            break;
        } else if (c == '@' || c == '^') {
            return BlockEnd::PolarWord;
        } else if (c == '#') {
            if (i + 1 < line.size() && line[i + 1] == '<') {
                return BlockEnd::NamedParameter;
            }
            reason = BlockEnd::MacroVariable;
        }
    }
    return reason;
}

BlockEnd ReadWords(std::string_view line, std::size_t i, ScannedBlock& block,
                   const std::array<char, 256>& addressLetters) {
    while (i < line.size()) {
        const char c = line[i];
        if (c == ';') {
            return SkipBlanksAndComments(line, i + 1) == line.size() ? BlockEnd::Complete
                                                                     : BlockEnd::UnreadText;
        }
        const char letter = addressLetters[static_cast<unsigned char>(c)];
        if (letter == '\0') {
            return ClassifyRest(line, i, BlockEnd::UnreadText);
        }
        const std::size_t at = SkipBlanks(line, i + 1);
        const char next = at < line.size() ? line[at] : '\0';
        if (next == '#' || next == '[') {
            return ClassifyRest(line, i, BlockEnd::MacroVariable);
        }
        const bool oWord = letter == 'O' && c != ':';
        if (oWord && next == '<') {
            return BlockEnd::OWord;
        }
        bool point = false;
        std::size_t wholeDigits = 0;
        const std::size_t end = NumberEnd(line, at, point, wholeDigits);
        if (end == at) {
            return ClassifyRest(line, i, BlockEnd::UnreadText);
        }
        block.words[block.count++] =
            ScannedWord{letter, static_cast<std::uint8_t>(at), static_cast<std::uint8_t>(end - at), point};
        if (IsLengthLetter(letter)) {
            std::size_t& most = point ? block.mostPointedDigits : block.mostUnpointedDigits;
            most = std::max(most, wholeDigits);
        }
        i = SkipBlanks(line, end);
        if (oWord && StartsOWordCommand(line.substr(i))) {
            return BlockEnd::OWord;
        }
        i = SkipBlanksAndComments(line, i);
    }
    return BlockEnd::Complete;
}

}  // namespace

std::size_t SkipBlanksAndComments(std::string_view line, std::size_t i) {
    for (i = SkipBlanks(line, i); i < line.size() && line[i] == '('; i = SkipBlanks(line, i)) {
        i = AfterComment(line, i + 1);
    }
    return i;
}

void ScanBlock(std::string_view line, bool inComment, ScannedBlock& block, ScanLetters letters) {
    line = line.substr(0, ScannedBlock::kMaxLength);
    block.count = 0;
    block.mostPointedDigits = 0;
    block.mostUnpointedDigits = 0;
    block.end = ReadWords(line, BlockStart(line, inComment), block,
                          letters == ScanLetters::Addresses ? kAddressLetters : kArgumentLetters);
}

std::size_t BlockStart(std::string_view line, bool inComment) {
    std::size_t i = SkipBlanksAndComments(line, inComment ? AfterComment(line, 0) : 0);
    if (i < line.size() && line[i] == '/') {
        ++i;
        if (i < line.size() && line[i] >= '1' && line[i] <= '9') {
            ++i;
        }
        i = SkipBlanksAndComments(line, i);
    }
    return i;
}

bool CommentOpenAtEnd(std::string_view text, bool openAtStart) {
    bool open = openAtStart;
    for (std::size_t i = 0; i < text.size();) {
        const void* found = std::memchr(text.data() + i, open ? ')' : '(', text.size() - i);
        if (found == nullptr) {
            return open;
        }
        i = static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) + 1;
        open = !open;
    }
    return open;
}
