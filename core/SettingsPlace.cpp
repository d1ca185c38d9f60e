#include "core/SettingsPlace.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/File.h"

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

}  // namespace

std::string UserConfigDir() {
    // The XDG base directory rules ignore a relative XDG_CONFIG_HOME.
    std::string configHome = Environment("XDG_CONFIG_HOME");
    if (IsAbsolute(configHome)) {
        return configHome;
    }
    const std::string home = Environment("HOME");
    return IsAbsolute(home) ? home + "/.config" : std::string();
}

std::string SettingsFileIn(const std::string& programDir, const std::string& fileName,
                           const std::string& configDir) {
    namespace fs = std::filesystem;
    std::string beside = programDir + fileName;
    std::error_code error;
    const bool folderWritable = ::access(programDir.empty() ? "." : programDir.c_str(), W_OK) == 0;
    if (folderWritable || fs::exists(beside, error) || configDir.empty()) {
        return beside;
    }
    const fs::path folder = fs::path(configDir) / "plotra";
    // The folder holds only this user's settings; nobody else needs to look into it.
    if (fs::create_directories(folder, error)) {
        fs::permissions(folder, fs::perms::owner_all, error);
    }
    return (folder / fileName).string();
}

std::string SettingsFilePath() {
    return SettingsFileIn(ExeDrive() + ExeDir(), ExeFilePart(3), UserConfigDir());
}
