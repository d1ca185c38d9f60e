#include "core/File.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/MessageSink.h"
#include "core/OutputPlace.h"

namespace {

bool OpenOrComplain(TextFile& stream, const std::string& path, TextFileMode mode) {
    if (stream.open(path, mode)) {
        return true;
    }
    const int reason = errno;  // kept for the caller: showing the message may change errno
    CurrentMessageSink().showMessage("File Open Error", "No Open " + path + ": " + FailureReason(reason));
    errno = reason;
    return false;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsWellFormedUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i < length) {
            return false;
        }
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if (second < low || second > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

bool IsCp932Lead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Where the last component of a path begins, and its last '.' if it has one.
struct LastComponent {
    std::size_t start;
    std::size_t dot = std::string_view::npos;

    void see(std::string_view path, std::size_t i) {
        if (IsSeparator(path[i])) {
            start = i + 1;
            dot = std::string_view::npos;
        } else if (path[i] == '.') {
            dot = i;
        }
    }
};

// UTF-8 never hides an ASCII byte inside a character, so every separator byte counts. Any other path is
// code page 932, whose trail bytes may equal '\\': its characters can only be told apart by reading from
// the start.
LastComponent FindLastComponent(std::string_view path, std::size_t from) {
    LastComponent last{from};
    const bool utf8 = IsWellFormedUtf8(path);
    for (std::size_t i = from; i < path.size(); ++i) {
        if (!utf8 && IsCp932Lead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            ++i;
        } else {
            last.see(path, i);
        }
    }
    return last;
}

}  // namespace

std::string FailureReason(int error) {
    if (error == kNotRegularFile) {
        return "not a regular file";
    }
    char text[256];
    return ::strerror_r(error, text, sizeof text);
}

bool NamesSameFile(const std::string& a, const std::string& b) {
    return FileIdentity(a) == FileIdentity(b);
}

bool OpenReadText(TextFile& stream, const std::string& path) {
    return OpenOrComplain(stream, path, TextFileMode::Read);
}

bool OpenWriteText(TextFile& stream, const std::string& path) {
    return OpenOrComplain(stream, path, TextFileMode::Write);
}

bool OpenAppend(TextFile& stream, const std::string& path) {
    return OpenOrComplain(stream, path, TextFileMode::Append);
}

// Paths of any length are split whole: the fixed part lengths of the program's original platform would cut
// long Linux paths.
std::string SplitPath(const std::string& path, std::string& drive, std::string& directory, std::string& name,
                      std::string& extension) {
    const std::string_view whole = path;
    const std::size_t driveEnd = whole.size() >= 2 && whole[1] == ':' ? 2 : 0;
    const LastComponent last = FindLastComponent(whole, driveEnd);
    const std::string_view lastName = whole.substr(last.start);

    drive = std::string(whole.substr(0, driveEnd));
    if (lastName == "." || lastName == "..") {
        directory = std::string(whole.substr(driveEnd));
        name.clear();
        extension.clear();
        return path;
    }
    const std::size_t extensionStart = last.dot == std::string_view::npos ? whole.size() : last.dot;
    directory = std::string(whole.substr(driveEnd, last.start - driveEnd));
    name = std::string(whole.substr(last.start, extensionStart - last.start));
    extension = std::string(whole.substr(extensionStart));
    return path;
}

std::string PathWithoutExt(const std::string& path) {
    std::string drive, directory, name, extension;
    SplitPath(path, drive, directory, name, extension);
    return drive + directory + name;
}

std::string ExePath(std::string& drive, std::string& directory, std::string& name, std::string& extension) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return SplitPath(error ? std::string() : self.string(), drive, directory, name, extension);
}

std::string ExeFilePart(int selector) {
    std::string drive, directory, name, extension;
    ExePath(drive, directory, name, extension);
    std::string settingsName = name + ".INI";
    switch (selector) {
        case 0:
            return drive + directory + settingsName;
        case 1:
            return drive;
        case 2:
            return directory;
        case 3:
            return settingsName;
        default:
            return {};
    }
}

std::string ExeDrive() {
    return ExeFilePart(1);
}

std::string ExeDir() {
    return ExeFilePart(2);
}
