// The file layer: opening text files with the program's uniform failure message, deleting files, splitting
// paths, and finding the program's own folder and settings file.
#pragma once

#include <string>

#include "core/TextFile.h"

// The system's words for an errno value ("No space left on device"), for the end of a failure message.
std::string FailureReason(int error);

// Each opens `path` into `stream`; on failure it shows "No Open <path>: <reason>" under "File Open Error"
// through the message sink and returns false, leaving the stream closed.
bool OpenReadText(TextFile& stream, const std::string& path);
bool OpenWriteText(TextFile& stream, const std::string& path);
bool OpenAppend(TextFile& stream, const std::string& path);

// True when both names lead to the same file, however they are spelled (relative, "..", links), also when
// that file does not exist yet, even behind a link that leads to no file yet.
bool NamesSameFile(const std::string& a, const std::string& b);

// Splits `path` into drive ("C:" when the second byte is ':'), directory (up to and including the last
// separator), name and extension (from the last '.', dot included); returns the path unchanged. Well-formed
// UTF-8 is split on its ASCII bytes; anything else is scanned as code page 932, so a trail byte equal to '\\'
// is never taken for a separator.
std::string SplitPath(const std::string& path, std::string& drive, std::string& directory, std::string& name,
                      std::string& extension);
std::string PathWithoutExt(const std::string& path);

// The running program's own path, split as SplitPath does.
std::string ExePath(std::string& drive, std::string& directory, std::string& name, std::string& extension);
// 0: settings file path, 1: drive, 2: directory, 3: settings file name; anything else: empty.
std::string ExeFilePart(int selector);
std::string ExeDrive();
std::string ExeDir();
