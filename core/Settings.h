// One entry of the program's settings file, read and written by name. On top of the initialisation-file rules
// a value may span several lines in braces, and "\n" in it stands for a line break.
#pragma once

#include <string>

// The value of `key` in `section` of `file`, empty when missing. A value that begins with "{" is looked for
// again line by line: from the line holding `key` + "=" (below a line holding "[" + `section` + "]" and its
// line end) up to the first "}", the lines are joined and the key mark and the braces dropped. Then every
// "\n" becomes a line break.
std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file);

// Sets `key` in `section` of `file`, creating what is missing; false when the file cannot be written.
bool WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file);
