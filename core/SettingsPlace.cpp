#include "core/SettingsPlace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/File.h"
#include "core/Templates.h"

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

bool IsInstalled(const std::string& programDir) {
    std::error_code error;
    return programDir.rfind("/usr/", 0) == 0 ||
           std::filesystem::is_regular_file(DataFolderOf(programDir) + kHedderTemplate, error);
}

// Creates `folder` and whichever of its parents are missing, each open to its owner alone: the folders hold
// this user's settings, and nobody else needs to look into them.
void CreateOwnFolders(const std::filesystem::path& folder) {
    if (folder.empty() || folder == folder.parent_path()) {
        return;
    }
    if (::mkdir(folder.c_str(), 0700) == 0 || errno != ENOENT) {
        return;
    }
    CreateOwnFolders(folder.parent_path());
    ::mkdir(folder.c_str(), 0700);
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
    const bool installed = IsInstalled(programDir);
    if (!installed) {
        const std::string beside = programDir + fileName;
        std::error_code error;
        const bool folderWritable = ::access(programDir.empty() ? "." : programDir.c_str(), W_OK) == 0;
        if (folderWritable || fs::exists(beside, error) || configDir.empty()) {
            return beside;
        }
    }
    if (configDir.empty()) {
        return {};
    }
    const fs::path folder = fs::path(configDir) / "plotra";
    CreateOwnFolders(folder);
    return (folder / fileName).string();
}

std::string SettingsFilePath() {
    return SettingsFileIn(ExeDrive() + ExeDir(), ExeFilePart(3), UserConfigDir());
}
