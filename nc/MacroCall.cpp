#include "nc/MacroCall.h"

#include <cstring>

#include "core/DecimalNumber.h"
#include "nc/BlockScan.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The local of a letter in argument list I; 0 for the letters that are no argument (G L N O P) and for I J K,
// which are placed by triples.
int LocalOfLetter(char letter) {
    switch (letter) {
        case 'A': return 1;
        case 'B': return 2;
        case 'C': return 3;
        case 'D': return 7;
        case 'E': return 8;
        case 'F': return 9;
        case 'H': return 11;
        case 'M': return 13;
        case 'Q': return 17;
        case 'R': return 18;
        case 'S': return 19;
        case 'T': return 20;
        case 'U': return 21;
        case 'V': return 22;
        case 'W': return 23;
        case 'X': return 24;
        case 'Y': return 25;
        case 'Z': return 26;
        default: return 0;
    }
}

bool IsAngle(char letter) {
    return letter == 'A' || letter == 'B' || letter == 'C';
}

bool InThousandths(char letter) {
    return std::strchr("ABCIJKQRXYZUVW", letter) != nullptr;
}

MacroCallKind KindOfCode(double code) {
    if (code == 65.0) {
        return MacroCallKind::Call;
    }
    if (code == 66.0) {
        return MacroCallKind::ModalCall;
    }
    return code == 67.0 ? MacroCallKind::ModalCancel : MacroCallKind::None;
}

// Places I, J and K by triples from #4 on; a triple holds at most one of each, in that order.
class Triples {
public:
    // The local of the next I, J or K; 0 beyond the tenth triple.
    int place(char letter) {
        const int offset = letter - 'I';
        if (offset <= last_) {
            ++triple_;
        }
        last_ = offset;
        const int local = 4 + 3 * triple_ + offset;
        return local <= 33 ? local : 0;
    }

private:
    int triple_ = 0;
    int last_ = -1;
};

}  // namespace

bool MovesAnAxis(std::string_view block, bool inComment) {
    ScannedBlock scanned;
    ScanBlock(block, inComment, scanned);
    bool axis = false;
    for (int index = 0; index < scanned.count; ++index) {
        const ScannedWord& word = scanned.words[static_cast<std::size_t>(index)];
        if (word.letter == 'G') {
            const double code = ReadDecimalNumber(block.substr(word.begin, word.length));
            if (code == 4.0 || code == 10.0 || code == 52.0 || code == 92.0) {
                return false;
            }
        }
        axis = axis || std::strchr("XYZABC", word.letter) != nullptr;
    }
    return axis;
}

bool MayHoldMacroCall(std::string_view block, bool goesOn) {
    for (const char letter : {'G', 'g'}) {
        const char* const end = block.data() + block.size();
        for (const char* at = block.data();
             (at = static_cast<const char*>(std::memchr(at, letter, static_cast<std::size_t>(end - at))));) {
            ++at;
            const char* digits = at;
            while (digits < end && (IsBlank(*digits) || *digits == '0')) {
                ++digits;
            }
            if (end - digits >= 2 && digits[0] == '6' && digits[1] >= '5' && digits[1] <= '7') {
                return true;
            }
            if (goesOn && (digits == end || (end - digits == 1 && digits[0] == '6'))) {
                return true;
            }
        }
    }
    return false;
}

void ReadMacroCall(std::string_view block, bool inComment, ArgumentUnits units, MacroCall& call) {
    call = MacroCall{};
    ScannedBlock scanned;
    ScanBlock(block, inComment, scanned, ScanLetters::MacroArguments);
    if (DropsTheWords(scanned.end)) {
        return;
    }
    Triples triples;
    for (int index = 0; index < scanned.count; ++index) {
        const ScannedWord& word = scanned.words[static_cast<std::size_t>(index)];
        const double written = ReadDecimalNumber(block.substr(word.begin, word.length));
        const bool scaled = !word.point && !units.calculatorDecimals && InThousandths(word.letter);
        const double value =
            scaled ? written / (units.inch && !IsAngle(word.letter) ? 10000.0 : 1000.0) : written;
        switch (word.letter) {
            case 'G':
                if (const MacroCallKind kind = KindOfCode(written); kind != MacroCallKind::None) {
                    call.kind = kind;
                }
                break;
            case 'P':
                call.hasP = true;
                call.p = written;
                break;
            case 'L':
                call.hasL = true;
                call.l = written;
                break;
            case 'I':
            case 'J':
            case 'K':
                if (const int local = triples.place(word.letter); local != 0) {
                    call.arguments[static_cast<std::size_t>(local - 1)] = MacroValue::Of(value);
                } else {
                    call.argumentsLost = true;
                }
                break;
            default:
                if (const int local = LocalOfLetter(word.letter); local != 0) {
                    call.arguments[static_cast<std::size_t>(local - 1)] = MacroValue::Of(value);
                }
                break;
        }
    }
}
