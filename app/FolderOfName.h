// The folder a file name in one of the window's edits points into, for the browse dialogs and the folder
// button.
#pragma once

#include <string>

// `name` itself when it names a folder, else the folder that would hold it when that folder exists, made
// absolute from the current folder as a run would read the name; empty for an empty name or a missing folder.
std::string FolderOfName(const std::string& name);
