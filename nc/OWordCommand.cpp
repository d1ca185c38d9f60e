#include "nc/OWordCommand.h"

#include <array>
#include <cstddef>

#include "core/AsciiClass.h"

namespace {

constexpr std::array<std::string_view, 15> kCommands = {
    "SUB",    "ENDSUB", "CALL",  "RETURN", "DO",        "WHILE", "ENDWHILE", "IF",
    "ELSEIF", "ELSE",   "ENDIF", "REPEAT", "ENDREPEAT", "BREAK", "CONTINUE",
};

constexpr std::size_t kLongestCommand = 9;

}  // namespace

bool StartsOWordCommand(std::string_view text) {
    char name[kLongestCommand];
    std::size_t length = 0;
    while (length < text.size() && IsAsciiLetter(text[length])) {
        if (length == kLongestCommand) {
            return false;
        }
        name[length] = AsciiUpper(text[length]);
        ++length;
    }
    const std::string_view word(name, length);
    for (const std::string_view command : kCommands) {
        if (word == command) {
            return true;
        }
    }
    return false;
}
