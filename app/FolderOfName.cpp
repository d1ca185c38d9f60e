#include "app/FolderOfName.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string FolderOfName(const std::string& name) {
    if (name.empty()) {
        return {};
    }
    std::error_code error;
    fs::path path = fs::absolute(name, error).lexically_normal();
    if (error) {
        return {};
    }
    // "/data/nc/" names the folder /data/nc, not an empty file in it.
    if (!path.has_filename()) {
        path = path.parent_path();
    }
    if (fs::is_directory(path, error)) {
        return path.string();
    }
    const fs::path holder = path.parent_path();
    return fs::is_directory(holder, error) ? holder.string() : std::string();
}
