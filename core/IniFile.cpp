#include "core/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "core/AsideFile.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// One line of the file: [begin, end) is its text without CR LF or LF, `next` is where the following line
// starts (equal to `end` for a last line without a line end).
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

Line LineAt(std::string_view content, std::size_t begin) {
    const std::size_t lineFeed = content.find('\n', begin);
    if (lineFeed == std::string_view::npos) {
        return {begin, content.size(), content.size()};
    }
    const std::size_t end = lineFeed > begin && content[lineFeed - 1] == '\r' ? lineFeed - 1 : lineFeed;
    return {begin, end, lineFeed + 1};
}

// "[name]" with anything after the bracket ignored.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(text.substr(1, close - 1));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> EntryOf(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return Entry{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// What the file holds for one key: whether its section is there, the key's line and value, and the last
// non-blank line of the section, after which a new entry goes.
struct Place {
    bool sectionFound = false;
    std::optional<Line> entry;
    std::string_view value;
    Line lastOfSection;
};

Place Find(std::string_view content, std::string_view section, std::string_view key) {
    Place place;
    bool inSection = false;
    for (std::size_t begin = 0; begin < content.size();) {
        const Line line = LineAt(content, begin);
        begin = line.next;
        const std::string_view text = content.substr(line.begin, line.end - line.begin);
        if (const std::optional<std::string_view> name = SectionName(text)) {
            if (place.sectionFound) {
                break;
            }
            inSection = SameName(*name, section);
            place.sectionFound = inSection;
            place.lastOfSection = line;
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!Trim(text).empty()) {
            place.lastOfSection = line;
        }
        const std::optional<Entry> entry = EntryOf(text);
        if (entry && SameName(entry->key, key)) {
            place.entry = line;
            place.value = entry->value;
            break;
        }
    }
    return place;
}

// A settings file holds a few short entries. Anything larger, or anything that is not a plain file (a FIFO
// would block the window until a writer came, a device never ends), is not a settings file the program
// wrote: it is treated as missing, and left alone. So is a symbolic link: one planted under the settings
// name would otherwise lead the writes into any file the user (or root) may change.
constexpr std::size_t kMaxIniFile = std::size_t{1024} * 1024;

enum class Loaded { Read, Missing, Failed, NotSettings };

Loaded ReadWhole(int fd, std::string& content) {
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return Loaded::Failed;
        }
        if (got == 0) {
            return Loaded::Read;
        }
        content.append(chunk, static_cast<std::size_t>(got));
        if (content.size() > kMaxIniFile) {
            return Loaded::NotSettings;
        }
    }
}

Loaded LoadFile(const std::string& path, std::string& content) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ELOOP) {
            return Loaded::NotSettings;
        }
        return errno == ENOENT ? Loaded::Missing : Loaded::Failed;
    }
    struct stat info {};
    Loaded loaded = Loaded::NotSettings;
    if (::fstat(fd, &info) != 0) {
        loaded = Loaded::Failed;
    } else if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) <= kMaxIniFile) {
        loaded = ReadWhole(fd, content);
    }
    ::close(fd);
    return loaded;
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool CreateFile(const std::string& path, std::string_view content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, content);
    if (::close(fd) != 0 || !written) {
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

// The new content goes into a temporary file beside the old one, which then takes its place: a write that
// fails half-way (disk full) leaves the old settings as they were. The rename replaces whatever the name
// holds by then, a link included, and never writes through it.
bool ReplaceFile(const std::string& path, std::string_view content) {
    struct stat old {};
    if (::lstat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode) || ::access(path.c_str(), W_OK) != 0) {
        return false;
    }
    // A hidden file beside it whose name says whose it is, as the drawings' aside files are named.
    std::string temporary = AsideStem(path) + "XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    bool done = ::fchmod(fd, old.st_mode & 07777) == 0 && WriteAll(fd, content);
    done = ::close(fd) == 0 && done;
    done = done && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!done) {
        ::unlink(temporary.c_str());
    }
    return done;
}

}  // namespace

std::string ReadIniValue(const std::string& file, std::string_view section, std::string_view key) {
    std::string content;
    if (LoadFile(file, content) != Loaded::Read) {
        return {};
    }
    const Place place = Find(content, section, key);
    if (!place.entry) {
        return {};
    }
    return std::string(Unquoted(place.value).substr(0, kMaxIniValue));
}

bool WriteIniValue(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value) {
    std::string content;
    const Loaded loaded = LoadFile(file, content);
    if (loaded == Loaded::Failed || loaded == Loaded::NotSettings) {
        return false;
    }
    const std::string before = content;
    std::string entry;
    entry.append(key).append("=").append(value);
    const Place place = Find(content, section, key);
    if (place.entry) {
        content.replace(place.entry->begin, place.entry->end - place.entry->begin, entry);
    } else if (place.sectionFound) {
        const Line& last = place.lastOfSection;
        const bool terminated = last.next > last.end;
        content.insert(last.next, (terminated ? "" : "\r\n") + entry + "\r\n");
    } else {
        if (!content.empty() && content.back() != '\n') {
            content.append("\r\n");
        }
        content.append("[").append(section).append("]\r\n").append(entry).append("\r\n");
    }
    if (loaded == Loaded::Read && content == before) {
        return true;  // nothing changes, so the file keeps its time stamp and nobody's edit is raced
    }
    return loaded == Loaded::Missing ? CreateFile(file, content) : ReplaceFile(file, content);
}
