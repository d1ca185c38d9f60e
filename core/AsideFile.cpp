#include "core/AsideFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string_view>

#include "core/OutputPlace.h"

namespace {

// A temporary name is the final one behind a dot, so that it stays hidden, and followed by ".plotra-" and six
// letters, so that one a killed run left behind shows whose it is; it must still fit the system's limit.
constexpr std::size_t kMaxLeaf = 255;
constexpr std::string_view kMark = ".plotra-";
constexpr std::size_t kRandomLetters = 6;
constexpr std::size_t kAddedLength = 1 + kMark.size() + kRandomLetters;
constexpr int kNameAttempts = 100;

std::string RandomLetters() {
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string letters;
    while (letters.size() < kRandomLetters) {
        letters += kLetters[random() % kLetters.size()];
    }
    return letters;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Why a folder that exists took no new file. One whose file system creates nothing in it (/proc) answers "No
// such file or directory", which would point at the wrong thing.
int FolderRefusal(const std::string& folder, int createError) {
    if (::access(folder.c_str(), W_OK) != 0) {
        return errno;
    }
    return createError == ENOENT ? EACCES : createError;
}

}  // namespace

std::string AsideStem(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t leafStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t leafLength = std::min(path.size() - leafStart, kMaxLeaf - kAddedLength);
    return path.substr(0, leafStart) + "." + path.substr(leafStart, leafLength) + std::string(kMark);
}

bool AsideFile::open(const std::string& finalPath) {
    discard();
    error_ = 0;
    refusingFolder_.clear();
    const OutputPlace place = FindOutputPlace(finalPath);
    if (place.error != 0) {
        return fail(place.error);
    }
    if (place.kind == OutputPlace::Kind::Descriptor) {
        return stream_.writeInto(place.descriptor) || fail(stream_.error());
    }
    if (place.kind == OutputPlace::Kind::Stream) {
        return stream_.open(place.path, TextFileMode::Write) || fail(stream_.error());
    }
    target_ = place.path;
    struct stat info {};
    const bool replacing = ::stat(target_.c_str(), &info) == 0;
    if (replacing && ::access(target_.c_str(), W_OK) != 0) {
        return fail(errno);
    }
    const std::string stem = AsideStem(target_);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = stem + RandomLetters();
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
    const std::string folder = FolderOf(target_);
    if (stream_.error() == EEXIST || !IsFolder(folder)) {
        return fail(stream_.error());
    }
    refusingFolder_ = folder;
    return fail(FolderRefusal(folder, stream_.error()));
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
