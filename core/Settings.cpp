#include "core/Settings.h"

#include <algorithm>

#include "core/File.h"
#include "core/IniFile.h"
#include "core/TextFile.h"
#include "core/Vemo.h"

namespace {

// The brace scan reads the file as the original reader did: lines of at most 254 bytes, each ending after its
// first line feed, so a longer line arrives in several pieces.
class ShortLineReader {
public:
    static constexpr std::size_t kMaxLine = 254;

    explicit ShortLineReader(TextFile& file) : file_(file) {}

    bool next(std::string& line) {
        while (pending_.find('\n') == std::string::npos && pending_.size() < kMaxLine && !ended_) {
            char piece[TextFile::kMaxPiece + 1];
            const std::size_t length = file_.readPiece(piece);
            ended_ = length == 0;
            pending_.append(piece, length);
        }
        if (pending_.empty()) {
            return false;
        }
        const std::size_t lineFeed = pending_.find('\n');
        const std::size_t take =
            std::min(kMaxLine, lineFeed == std::string::npos ? pending_.size() : lineFeed + 1);
        line.assign(pending_, 0, take);
        pending_.erase(0, take);
        return true;
    }

private:
    TextFile& file_;
    std::string pending_;
    bool ended_ = false;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Works the brace form of `value` out of the file's lines. False only when the file cannot be opened (its
// message has been shown); without a closing brace the value stays as it was.
bool ResolveBraceForm(const std::string& section, const std::string& key, const std::string& file,
                      std::string& value) {
    TextFile stream;
    if (!OpenReadText(stream, file)) {
        return false;
    }
    const std::string sectionMark = "[" + section + "]\n";
    const std::string keyMark = key + "=";
    bool inSection = false;
    bool keySeen = false;
    std::string collector;
    std::string line;
    ShortLineReader reader(stream);
    while (reader.next(line)) {
        inSection = inSection || Contains(line, sectionMark);
        keySeen = keySeen || (inSection && Contains(line, keyMark));
        if (!keySeen) {
            continue;
        }
        collector += line;
        collector = ReplaceFirst(collector, "\n", "");
        if (Contains(collector, "}")) {
            collector = ReplaceFirst(collector, keyMark, "");
            collector = ReplaceFirst(collector, "{", "");
            value = ReplaceFirst(collector, "}", "");
            break;
        }
    }
    return true;
}

void ReplaceEscapes(std::string& value) {
    for (std::size_t at = value.find("\\n"); at != std::string::npos; at = value.find("\\n")) {
        value[at] = '\n';
        value.erase(at + 1, 1);
    }
}

}  // namespace

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file) {
    std::string value = ReadIniValue(file, section, key);
    if (!value.empty() && value.front() == '{' && !ResolveBraceForm(section, key, file, value)) {
        return value;
    }
    ReplaceEscapes(value);
    return value;
}

bool WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file) {
    return WriteIniValue(file, section, key, value);
}
