#include "nc/NumberRange.h"

#include <cmath>

#include "core/DecimalNumber.h"

namespace {

constexpr double kMostIncrements = 99999999.0;
constexpr double kMostMillimetres = 99999.999;
constexpr double kMostInches = 9999.9999;

double NumberOf(std::string_view line, const ScannedWord& word) {
    return ReadDecimalNumber(line.substr(word.begin, word.length));
}

// The unit and the cycle state once the block's own G codes count: G20 and G21 hold for the whole block, a
// motion code ends a cycle and a cycle code starts one (G80 ends it).
NumberReading AfterGCodes(std::string_view line, const ScannedBlock& block, NumberReading reading) {
    for (int i = 0; i < block.count; ++i) {
        const ScannedWord& word = block.words[static_cast<std::size_t>(i)];
        if (word.letter != 'G') {
            continue;
        }
        const double code = NumberOf(line, word);
        if (code == 20.0 || code == 21.0) {
            reading.inch = code == 20.0;
        } else if (code == 0.0 || code == 1.0 || code == 2.0 || code == 3.0 || code == 33.0 || code == 80.0) {
            reading.cycleInForce = false;
        } else if (code == 73.0 || code == 74.0 || code == 76.0 || (code >= 81.0 && code <= 89.0)) {
            reading.cycleInForce = true;
        }
    }
    return reading;
}

bool IsBeyondRange(double number, bool point, const NumberReading& reading) {
    const double most = !point && !reading.calculatorDecimals ? kMostIncrements
                        : reading.inch                         ? kMostInches
                                                               : kMostMillimetres;
    return std::fabs(number) > most;
}

}  // namespace

bool HoldsNumberBeyondRange(std::string_view line, const ScannedBlock& block, const NumberReading& reading) {
    const NumberReading blockReading = AfterGCodes(line, block, reading);
    for (int i = 0; i < block.count; ++i) {
        const ScannedWord& word = block.words[static_cast<std::size_t>(i)];
        if (!IsLengthLetter(word.letter) || (word.letter == 'K' && blockReading.cycleInForce)) {
            continue;
        }
        if (IsBeyondRange(NumberOf(line, word), word.point, blockReading)) {
            return true;
        }
    }
    return false;
}
