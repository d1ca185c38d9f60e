// Where the settings file lives. Beside the program (portable use from a folder) whenever that works: the
// program's folder is writable, or a settings file is already there to be read. Otherwise, as for a program
// installed into a system folder, in the user's configuration folder under plotra/, with the same name.
#pragma once

#include <string>

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config; empty when neither is known.
std::string UserConfigDir();

// The settings file called `fileName` for a program in `programDir` (ending in '/'), with `configDir` as the
// user's configuration folder. When the file goes to the configuration folder, its plotra/ folder is created
// so that the first write can succeed; if that fails, writes fail and the settings are simply not stored.
std::string SettingsFileIn(const std::string& programDir, const std::string& fileName,
                           const std::string& configDir);

// SettingsFileIn for the running program: its folder, its settings file name and UserConfigDir().
std::string SettingsFilePath();
