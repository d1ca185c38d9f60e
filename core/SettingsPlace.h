// Where the settings file lives. A program installed for the system (found under /usr, or with its templates
// in its data folder, ../share/plotra) keeps it in the user's configuration folder under plotra/, for every
// user, root included: nothing is ever written beside an installed program, where the package manager would
// leave it behind. A program run from a folder of its own (a build tree, a portable copy) keeps it beside
// itself whenever that works: the folder is writable, or a settings file is already there to be read;
// otherwise it too uses the configuration folder.
#pragma once

#include <string>

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config; empty when neither is known.
std::string UserConfigDir();

// The settings file called `fileName` for a program in `programDir` (ending in '/'), with `configDir` as the
// user's configuration folder. When the file goes to the configuration folder, the folders up to plotra/ are
// created, open to their owner alone, so that the first write can succeed; if that fails, writes fail and
// the settings are simply not stored. Empty for an installed program when no configuration folder is known:
// there is then nowhere to store the settings.
std::string SettingsFileIn(const std::string& programDir, const std::string& fileName,
                           const std::string& configDir);

// SettingsFileIn for the running program: its folder, its settings file name and UserConfigDir().
std::string SettingsFilePath();
