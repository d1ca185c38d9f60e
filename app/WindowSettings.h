// What the user sets for the window's conversions, kept in its settings file: loaded at start, saved when
// the settings dialog is accepted. Plain values without Qt, so the dialog only shows and edits them, and a
// new kind of setting is a new member with its own section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/ConversionRun.h"
#include "nc/NcBlock.h"

// Section [MACRO]: LIBRARY1, LIBRARY2, ... read up to the first missing or empty one, and MAXBLOCKS.
struct MacroSettings {
    // Where a called program is looked for after the NC file's folder, in this order.
    std::vector<std::string> libraryFolders;
    std::int64_t maxBlocks = kDefaultMaxBlocks;

    bool operator==(const MacroSettings&) const = default;
};

struct WindowSettings {
    MacroSettings macro;
    // Section [UNITS]: INCH and CALCULATOR, each ON or OFF; anything but ON is off.
    UnitOptions units;

    bool operator==(const WindowSettings&) const = default;
};

// A missing file, section or entry, and a value that does not read, give the default of that setting.
WindowSettings LoadWindowSettings(const std::string& settingsPath);

// False when the file cannot be written.
bool SaveWindowSettings(const WindowSettings& settings, const std::string& settingsPath);

// Whether a folder's name survives a trip through the settings file, which keeps one value per line and
// cuts it at kMaxIniValue bytes.
bool StorableFolder(const std::string& folder);
