// LinuxCNC o-word control ("o100 sub", "o101 if [...]"), which a Fanuc program number never is.
#pragma once

#include <string_view>

// True when `text` begins with the name of an o-word command, in any case and as a whole word: "sub" and
// "SUB [1]" do, "S1200" and "subx" do not.
bool StartsOWordCommand(std::string_view text);
