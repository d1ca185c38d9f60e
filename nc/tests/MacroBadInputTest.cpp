// Lines of any length and any bytes: an error or a result, never a crash or undefined behaviour (the tests
// run under the sanitizers).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "nc/MacroStatement.h"
#include "nc/MacroSubstitution.h"
#include "nc/tests/MacroRig.h"

namespace {

TEST(MacroBadInput, DeepBracketsStopWithoutRecursion) {
    MacroRig rig;
    const std::string deep = "#1=" + std::string(1000, '[') + "1" + std::string(1000, ']');
    EXPECT_EQ(ExecuteMacroStatement(deep, rig.evaluator).action, MacroAction::Stop);
    EXPECT_EQ(RecognizeMacroStatement("WHILE " + deep.substr(3) + " DO1").loop, 1);
    const std::string negations = "#1=" + std::string(1000, '-') + "1";
    EXPECT_EQ(ExecuteMacroStatement(negations, rig.evaluator).action, MacroAction::Stop);
}

TEST(MacroBadInput, LongFlatExpressionRuns) {
    MacroRig rig;
    std::string line = "#1=1";
    while (line.size() < 100000) {
        line += "+[1*1]";
    }
    EXPECT_EQ(ExecuteMacroStatement(line, rig.evaluator).action, MacroAction::Next);
    EXPECT_EQ(rig.get(1).number, 1.0 + (line.size() - 4) / 6);
}

// Lines drawn from the bytes that matter to the reader, and from all bytes.
TEST(MacroBadInput, AnyBytes) {
    MacroRig rig;
    SubstitutedBlock out;
    const std::string alphabet = "#[]()+-*/.,;=0123456789 XGKIFWHLEDONTAMSQRPdoif\t\xff\x80";
    std::uint64_t state = 1;
    for (int n = 0; n < 20000; ++n) {
        std::string line;
        for (int length = n % 40; length > 0; --length) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            const auto pick = static_cast<std::size_t>(state >> 33);
            line += n % 2 == 0 ? alphabet[pick % alphabet.size()] : static_cast<char>(pick & 0xff);
        }
        ExecuteMacroStatement(line, rig.evaluator);
        RecognizeMacroStatement(line);
        SubstituteMacroValues(line, n % 3 == 0, n % 5 == 0, rig.evaluator, out);
    }
    EXPECT_LE(out.length, SubstitutedBlock::kCapacity);
}

}  // namespace
