#include "core/AsideFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string_view>

namespace {

// Links are followed hop by hop, as the system would, up to its own limit; a link that leads nowhere yet
// names the file to be created.
constexpr int kMaxLinkHops = 40;
// A temporary name is the final one plus a dot and six letters, and must still fit the system's limit.
constexpr std::size_t kMaxLeaf = 255;
constexpr std::size_t kSuffixLength = 7;
constexpr int kNameAttempts = 100;

std::string FollowLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = target.is_absolute() ? target.string()
                                    : (std::filesystem::path(path).parent_path() / target).string();
    }
    return path;
}

std::string RandomSuffix() {
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string suffix = ".";
    while (suffix.size() < kSuffixLength) {
        suffix += kLetters[random() % kLetters.size()];
    }
    return suffix;
}

// The folder part of `path` with its separator, and its last component cut to leave room for a suffix.
std::string TemporaryStem(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t leafStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t leafLength = std::min(path.size() - leafStart, kMaxLeaf - kSuffixLength);
    return path.substr(0, leafStart + leafLength);
}

}  // namespace

bool AsideFile::open(const std::string& finalPath) {
    discard();
    error_ = 0;
    struct stat info {};
    if (::stat(finalPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode)) {
            return fail(EISDIR);
        }
        return stream_.open(finalPath, TextFileMode::Write) || fail(stream_.error());
    }
    target_ = FollowLinks(finalPath);
    const bool replacing = ::stat(target_.c_str(), &info) == 0;
    if (replacing && ::access(target_.c_str(), W_OK) != 0) {
        return fail(errno);
    }
    const std::string stem = TemporaryStem(target_);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = stem + RandomSuffix();
        if (stream_.open(temporary_, TextFileMode::CreateNew)) {
            if (replacing) {
                // Best effort: a drawing that cannot take the old permissions keeps the usual ones.
                ::chmod(temporary_.c_str(), info.st_mode & 07777);
            }
            return true;
        }
        if (stream_.error() != EEXIST) {
            break;
        }
    }
    temporary_.clear();
    return fail(stream_.error());
}

bool AsideFile::writeOut() {
    if (!stream_.flush()) {
        return fail(stream_.error());
    }
    if (!temporary_.empty() && !stream_.isStillAt(temporary_)) {
        return fail(ENOENT);
    }
    return true;
}

bool AsideFile::commit() {
    if (!writeOut()) {
        discard();
        return false;
    }
    if (!stream_.close()) {
        fail(stream_.error());
        discard();
        return false;
    }
    if (!temporary_.empty() && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        fail(errno);
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void AsideFile::discard() {
    stream_.close();
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool AsideFile::fail(int error) {
    if (error_ == 0) {
        error_ = error;
    }
    return false;
}
