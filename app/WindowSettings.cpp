#include "app/WindowSettings.h"

#include <optional>

#include "conversion/BlockLimit.h"
#include "core/IniFile.h"

namespace {

constexpr char kMacroSection[] = "MACRO";
constexpr char kMaxBlocksKey[] = "MAXBLOCKS";
constexpr char kUnitsSection[] = "UNITS";
constexpr char kInchKey[] = "INCH";
constexpr char kCalculatorKey[] = "CALCULATOR";

// One entry per folder: a folder's name may hold any byte but NUL, so no separator could join several
// names in one value.
std::string LibraryKey(std::size_t number) {
    return "LIBRARY" + std::to_string(number);
}

// The settings file drops blanks at either end of a value and one pair of enclosing quotes, so a name is
// written quoted and comes back byte for byte. The names are read without the "\n" and brace forms of
// ReadSetting, which would change a name holding them.
std::string Quoted(const std::string& folder) {
    return '"' + folder + '"';
}

MacroSettings LoadMacroSettings(const std::string& settingsPath) {
    MacroSettings macro;
    for (std::size_t number = 1;; ++number) {
        std::string folder = ReadIniValue(settingsPath, kMacroSection, LibraryKey(number));
        if (folder.empty()) {
            break;
        }
        macro.libraryFolders.push_back(std::move(folder));
    }
    const std::optional<std::int64_t> limit =
        ParseBlockLimit(ReadIniValue(settingsPath, kMacroSection, kMaxBlocksKey));
    macro.maxBlocks = limit.value_or(kDefaultMaxBlocks);
    return macro;
}

bool SaveMacroSettings(const MacroSettings& macro, const std::string& settingsPath) {
    std::size_t number = 1;
    for (const std::string& folder : macro.libraryFolders) {
        if (!WriteIniValue(settingsPath, kMacroSection, LibraryKey(number++), Quoted(folder))) {
            return false;
        }
    }
    // The list ends at its first empty entry, so what a longer list left behind is emptied.
    for (; !ReadIniValue(settingsPath, kMacroSection, LibraryKey(number)).empty(); ++number) {
        if (!WriteIniValue(settingsPath, kMacroSection, LibraryKey(number), "")) {
            return false;
        }
    }
    return WriteIniValue(settingsPath, kMacroSection, kMaxBlocksKey, std::to_string(macro.maxBlocks));
}

// Written as the support switch of [INIT] is, so that a hand-edited file reads alike: exactly ON is on.
bool LoadSwitch(const std::string& settingsPath, const char* key) {
    return ReadIniValue(settingsPath, kUnitsSection, key) == "ON";
}

bool SaveSwitch(bool on, const std::string& settingsPath, const char* key) {
    return WriteIniValue(settingsPath, kUnitsSection, key, on ? "ON" : "OFF");
}

UnitOptions LoadUnitSettings(const std::string& settingsPath) {
    return UnitOptions{LoadSwitch(settingsPath, kInchKey), LoadSwitch(settingsPath, kCalculatorKey)};
}

bool SaveUnitSettings(const UnitOptions& units, const std::string& settingsPath) {
    return SaveSwitch(units.inchByDefault, settingsPath, kInchKey) &&
           SaveSwitch(units.calculatorDecimals, settingsPath, kCalculatorKey);
}

}  // namespace

WindowSettings LoadWindowSettings(const std::string& settingsPath) {
    return WindowSettings{LoadMacroSettings(settingsPath), LoadUnitSettings(settingsPath)};
}

bool SaveWindowSettings(const WindowSettings& settings, const std::string& settingsPath) {
    return SaveMacroSettings(settings.macro, settingsPath) && SaveUnitSettings(settings.units, settingsPath);
}

bool StorableFolder(const std::string& folder) {
    return !folder.empty() && folder.size() <= kMaxIniValue &&
           folder.find_first_of("\r\n") == std::string::npos;
}
