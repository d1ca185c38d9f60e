#include "core/OutputPlace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The system's own limit on the links followed in one name.
constexpr int kMaxLinkHops = 40;

bool ReadNumber(std::string_view& text, long& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data()) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool Consume(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

// The process whose descriptor folder `folder` is (/proc/<pid>/fd or /proc/<pid>/task/<tid>/fd), or 0.
long DescriptorFolderOwner(std::string_view folder) {
    long pid = 0;
    long task = 0;
    if (!Consume(folder, "/proc/") || !ReadNumber(folder, pid)) {
        return 0;
    }
    if (Consume(folder, "/task/") && !ReadNumber(folder, task)) {
        return 0;
    }
    return folder == "/fd" ? pid : 0;
}

// For a name that is an entry of a descriptor folder (after the links of its folders), that entry's
// descriptor number and the process it belongs to.
bool IsDescriptorEntry(const std::string& name, long& owner, int& descriptor) {
    const fs::path path(name);
    const std::string leaf = path.filename().string();
    const auto [end, error] = std::from_chars(leaf.data(), leaf.data() + leaf.size(), descriptor);
    if (leaf.empty() || error != std::errc() || end != leaf.data() + leaf.size()) {
        return false;
    }
    std::error_code failed;
    const fs::path folder = fs::canonical(fs::absolute(path, failed).parent_path(), failed);
    owner = failed ? 0 : DescriptorFolderOwner(folder.string());
    return owner != 0;
}

// The next name of a link, or empty when `name` is no link.
std::string LinkTarget(const std::string& name) {
    std::error_code error;
    const fs::path target = fs::read_symlink(name, error);
    if (error) {
        return {};
    }
    return target.is_absolute() ? target.string() : (fs::path(name).parent_path() / target).string();
}

// The name with the links of its last component followed, as the system would follow them when the file
// is created: a link that leads to no file yet still names the file it would create.
std::string FollowedName(std::string name) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::string next = LinkTarget(name);
        if (next.empty()) {
            break;
        }
        name = std::move(next);
    }
    return name;
}

}  // namespace

OutputPlace FindOutputPlace(const std::string& name) {
    OutputPlace place;
    struct stat info {};
    const bool exists = ::stat(name.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        place.error = errno;
        return place;
    }
    place.path = name;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        long owner = 0;
        if (IsDescriptorEntry(place.path, owner, place.descriptor)) {
            place.kind = owner == ::getpid() ? OutputPlace::Kind::Descriptor : OutputPlace::Kind::Stream;
            place.path = name;
            return place;
        }
        std::string next = LinkTarget(place.path);
        if (next.empty()) {
            break;
        }
        place.path = std::move(next);
    }
    if (exists && S_ISDIR(info.st_mode)) {
        place.error = EISDIR;
    } else if (exists && !S_ISREG(info.st_mode)) {
        place.kind = OutputPlace::Kind::Stream;
        place.path = name;
    }
    return place;
}

// Device and inode for a file that exists, otherwise the followed name with "." and ".." worked out. Keys
// of both kinds never meet, as one file cannot both exist and not exist.
std::string FileIdentity(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) == 0) {
        return std::to_string(static_cast<std::uintmax_t>(info.st_dev)) + ":" +
               std::to_string(static_cast<std::uintmax_t>(info.st_ino));
    }
    std::error_code error;
    const fs::path absolute = fs::absolute(FollowedName(name), error);
    const fs::path canonical = fs::weakly_canonical(absolute, error);
    // A name the system cannot work out (a loop of links) meets only itself.
    std::string identity = error ? "?" : "/";
    identity += (error ? absolute : canonical).string();
    return identity;
}
