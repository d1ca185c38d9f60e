#include "dxf/LayerStyles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <system_error>

#include "core/TextFile.h"
#include "dxf/DxfEntityWriter.h"

namespace {

constexpr int kDefaultColours[kDrawingLayerCount] = {1, 6, 3, 5, 8, 4};

std::uint32_t Rgb(double r, double g, double b) {
    const auto channel = [](double value) { return static_cast<std::uint32_t>(std::lround(value * 255.0)); };
    return channel(r) << 16 | channel(g) << 8 | channel(b);
}

// Indices 10 to 249 run round the colour wheel in steps of 15 degrees, ten shades per hue: the even ones
// fully saturated, the odd ones half, at five falling brightnesses.
std::uint32_t WheelColour(int index) {
    constexpr double kBrightness[] = {1.0, 0.65, 0.5, 0.3, 0.15};
    const int hueStep = index / 10 - 1;
    const double hue = hueStep * 15.0;
    const int shade = index % 10;
    const double value = kBrightness[shade / 2];
    const double saturation = shade % 2 == 0 ? 1.0 : 0.5;
    const double sector = hue / 60.0;
    const double fraction = sector - std::floor(sector);
    const double p = value * (1.0 - saturation);
    const double q = value * (1.0 - saturation * fraction);
    const double t = value * (1.0 - saturation * (1.0 - fraction));
    switch (static_cast<int>(sector) % 6) {
        case 0:
            return Rgb(value, t, p);
        case 1:
            return Rgb(q, value, p);
        case 2:
            return Rgb(p, value, t);
        case 3:
            return Rgb(p, q, value);
        case 4:
            return Rgb(t, p, value);
        default:
            return Rgb(value, p, q);
    }
}

// A template is edited by hand, so its numbers can be anything: one beyond the range of int is taken as the
// nearest int rather than as 0, which would read a group code as the start of a new record.
int ParseInteger(std::string_view text) {
    int value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc::result_out_of_range) {
        return text.front() == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return value;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads the template as group code and value pairs and applies every LAYER record of a LAYER table.
class LayerTableReader {
public:
    explicit LayerTableReader(LayerStyles& styles) : styles_(styles) {}

    void pair(int code, std::string_view value) {
        if (code == 0) {
            finishRecord();
            inLayerRecord_ = inLayerTable_ && value == "LAYER";
            if (value == "ENDTAB") {
                inLayerTable_ = false;
            }
            lastWasTable_ = value == "TABLE";
            return;
        }
        if (code == 2 && lastWasTable_) {
            inLayerTable_ = value == "LAYER";
            lastWasTable_ = false;
            return;
        }
        if (!inLayerRecord_) {
            return;
        }
        if (code == 2) {
            name_.assign(value);
        } else if (code == 62) {
            colour_ = ParseInteger(value);
        } else if (code == 6) {
            lineType_.assign(value);
        }
    }

    void finishRecord() {
        if (inLayerRecord_) {
            for (int layer = 0; layer < kDrawingLayerCount; ++layer) {
                if (name_ == DxfLayerName(static_cast<DrawingLayer>(layer))) {
                    styles_[layer] = {AciColour(colour_), lineType_.find("DASH") != std::string::npos};
                }
            }
        }
        inLayerRecord_ = false;
        name_.clear();
        lineType_.clear();
        colour_ = 7;
    }

private:
    LayerStyles& styles_;
    bool lastWasTable_ = false;
    bool inLayerTable_ = false;
    bool inLayerRecord_ = false;
    std::string name_;
    std::string lineType_;
    int colour_ = 7;
};

}  // namespace

std::uint32_t AciColour(int index) {
    // The most negative int has no positive counterpart; it is as far out of the table as its neighbour.
    index = std::abs(std::max(index, -std::numeric_limits<int>::max()));
    // Red, yellow, green, cyan, blue, magenta, white, grey, light grey.
    constexpr std::uint32_t kFirstNine[] = {0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF,
                                            0xFF00FF, 0xFFFFFF, 0x808080, 0xC0C0C0};
    constexpr std::uint32_t kGreys[] = {0x333333, 0x505050, 0x696969, 0x828282, 0xBEBEBE, 0xFFFFFF};
    if (index >= 1 && index <= 9) {
        return kFirstNine[index - 1];
    }
    if (index >= 10 && index <= 249) {
        return WheelColour(index);
    }
    if (index >= 250 && index <= 255) {
        return kGreys[index - 250];
    }
    return 0xFFFFFF;
}

LayerStyles DefaultLayerStyles() {
    LayerStyles styles;
    for (int layer = 0; layer < kDrawingLayerCount; ++layer) {
        styles[layer] = {AciColour(kDefaultColours[layer]), layer == static_cast<int>(DrawingLayer::Rapid)};
    }
    return styles;
}

LayerStyles ReadLayerStyles(const std::string& hedderFile) {
    LayerStyles styles = DefaultLayerStyles();
    TextFile file;
    if (!file.open(hedderFile, TextFileMode::Read)) {
        return styles;
    }
    LayerTableReader reader(styles);
    char piece[TextFile::kMaxPiece + 1];
    std::string line;
    std::string code;
    bool haveCode = false;
    while (std::size_t length = file.readPiece(piece)) {
        line.append(piece, length);
        if (line.back() != '\n') {
            continue;
        }
        if (haveCode) {
            reader.pair(ParseInteger(Trimmed(code)), Trimmed(line));
        } else {
            code = line;
        }
        haveCode = !haveCode;
        line.clear();
    }
    reader.finishRecord();
    return styles;
}
