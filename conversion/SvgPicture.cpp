#include "conversion/SvgPicture.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string_view>

#include "dxf/DxfOutput.h"

namespace {

// The room kept for the opening of the picture; the opening holds a fixed text and eleven numbers.
constexpr std::size_t kOpeningRoom = 2048;
constexpr std::size_t kWriteEvery = std::size_t{64} * 1024;
// The longer side of the picture in pixels; line widths and dashes are given in these pixels.
constexpr double kPictureSide = 1000.0;
constexpr double kMarginShare = 0.05;
constexpr double kLargestFontSize = 1000.0;

// The classes of the six layers, then that of the tight-arc marks.
constexpr const char* kClasses[kDrawingLayerCount + 1] = {"rapid", "comp", "nocomp", "cycle",
                                                          "axis",  "info", "tight"};
constexpr int kTightStyle = kDrawingLayerCount;
// SVG readers hold every element in memory, and librsvg refuses files of more than a million elements. So
// the first entities get an element each, and beyond them the entities of a layer share path elements.
constexpr int kOwnElements = 100'000;
constexpr int kEntitiesPerPath = 1000;
constexpr std::uint32_t kBackground = 0x000000;
constexpr std::uint32_t kTightColour = 0xFFD000;

// Nine significant digits are finer than any picture shows; the exponent form "1e+06" is valid SVG.
void AppendNumber(std::string& out, double value) {
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, PictureCoordinate(value), std::chars_format::general, 9);
    out.append(text, result.ptr);
}

void AppendAttribute(std::string& out, std::string_view name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendNumber(out, value);
    out += '"';
}

void AppendColour(std::string& out, std::uint32_t rgb) {
    constexpr char kHex[] = "0123456789abcdef";
    out += '#';
    for (int shift = 20; shift >= 0; shift -= 4) {
        out += kHex[(rgb >> shift) & 0xF];
    }
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
}

// An arc as a path in the drawing's own coordinates (Y up): counter-clockwise is the positive sweep. A whole
// turn is drawn as two halves, since one SVG arc cannot end where it starts.
void AppendArcData(std::string& out, const DrawingEntity& arc) {
    constexpr double kDegree = std::numbers::pi / 180.0;
    const double sweep = ArcSweep(arc.startAngle, arc.endAngle);
    const double r = std::fabs(PictureCoordinate(arc.radius));
    const auto point = [&](double angle) {
        AppendNumber(out, arc.centre.x + r * std::cos(angle * kDegree));
        out += ' ';
        AppendNumber(out, arc.centre.y + r * std::sin(angle * kDegree));
    };
    const auto arcTo = [&](double angle, bool large) {
        out += " A";
        AppendNumber(out, r);
        out += ' ';
        AppendNumber(out, r);
        out += large ? " 0 1 1 " : " 0 0 1 ";
        point(angle);
    };
    const double start = std::isfinite(arc.startAngle) ? arc.startAngle : 0.0;
    out += 'M';
    point(start);
    if (sweep >= 360.0) {
        arcTo(start + 180.0, false);
        arcTo(start, false);
    } else {
        arcTo(start + sweep, sweep > 180.0);
    }
}

// A polyline's top view: straight steps through its vertices.
void AppendPolylineData(std::string& out, const ArcPath& path) {
    const int segments = PolylineSegments(path);
    for (int index = 0; index <= segments; ++index) {
        const Point3 vertex = PolylineVertex(path, index, segments);
        out += index == 0 ? 'M' : 'L';
        AppendNumber(out, vertex.x);
        out += ' ';
        AppendNumber(out, vertex.y);
    }
}

// The entity as path data, for a path element that holds many.
void AppendPathData(std::string& out, const DrawingEntity& entity) {
    if (!out.empty()) {
        out += ' ';
    }
    switch (entity.kind) {
        case EntityKind::Line:
            out += 'M';
            AppendNumber(out, entity.start.x);
            out += ' ';
            AppendNumber(out, entity.start.y);
            out += 'L';
            AppendNumber(out, entity.end.x);
            out += ' ';
            AppendNumber(out, entity.end.y);
            return;
        case EntityKind::Arc:
            AppendArcData(out, entity);
            return;
        case EntityKind::Circle: {
            DrawingEntity whole = entity;
            whole.startAngle = whole.endAngle = 0.0;
            AppendArcData(out, whole);
            return;
        }
        case EntityKind::Polyline:
            AppendPolylineData(out, entity.path);
            return;
    }
}

}  // namespace

SvgPicture::SvgPicture(std::string path, const LayerStyles& styles)
    : path_(std::move(path)), styles_(styles) {}

// The picture grows under a name of its own beside the output and takes the output's name only when it is
// complete, so a failed or aborted run leaves an earlier picture of that name as it was; a name that is a
// link is followed, as for the drawing.
bool SvgPicture::open() {
    if (!file_.open(path_)) {
        failed_ = true;
        ShowOpenFailure(file_, path_, "File Write Error", "No Write");
        return false;
    }
    // The opening is filled in at the end, where the picture began: a pipe or a file only appended to
    // cannot take it.
    if (!file_.stream().canOverwriteStart()) {
        fail(ESPIPE);
        return false;
    }
    file_.stream().keepLineEnds();
    pending_.assign(kOpeningRoom, ' ');
    pending_ += '\n';
    return true;
}

// The one message of a picture that cannot be written, for `error` or else the file's own; the temporary
// file goes with the picture.
void SvgPicture::fail(int error) {
    if (!failed_) {
        failed_ = true;
        ShowWriteFailure(path_, error != 0           ? error
                                : file_.error() != 0 ? file_.error()
                                                     : file_.stream().error());
    }
    file_.discard();
}

bool SvgPicture::add(const DrawingEntity& entity) {
    extents_.add(entity);
    appendElement(entity, static_cast<int>(entity.layer));
    return !failed_;
}

void SvgPicture::markTightArc(const DrawingEntity& arc) {
    appendElement(arc, kTightStyle);
}

void SvgPicture::appendElement(const DrawingEntity& entity, int style) {
    if (ownElements_ >= kOwnElements) {
        AppendPathData(shared_[style], entity);
        if (++sharedCount_[style] == kEntitiesPerPath) {
            flushShared(style);
        }
        return;
    }
    ++ownElements_;
    const char* layerClass = kClasses[style];
    std::string& out = pending_;
    switch (entity.kind) {
        case EntityKind::Line:
            out += "<line class=\"";
            out += layerClass;
            out += '"';
            AppendAttribute(out, "x1", entity.start.x);
            AppendAttribute(out, "y1", entity.start.y);
            AppendAttribute(out, "x2", entity.end.x);
            AppendAttribute(out, "y2", entity.end.y);
            break;
        case EntityKind::Arc:
            out += "<path class=\"";
            out += layerClass;
            out += "\" d=\"";
            AppendArcData(out, entity);
            out += '"';
            break;
        case EntityKind::Circle:
            out += "<circle class=\"";
            out += layerClass;
            out += '"';
            AppendAttribute(out, "cx", entity.centre.x);
            AppendAttribute(out, "cy", entity.centre.y);
            AppendAttribute(out, "r", std::fabs(entity.radius));
            break;
        case EntityKind::Polyline:
            out += "<path class=\"";
            out += layerClass;
            out += "\" d=\"";
            AppendPolylineData(out, entity.path);
            out += '"';
            break;
    }
    out += "/>\n";
    if (out.size() >= kWriteEvery) {
        writePending();
    }
}

void SvgPicture::flushShared(int style) {
    if (sharedCount_[style] == 0) {
        return;
    }
    pending_ += "<path class=\"";
    pending_ += kClasses[style];
    pending_ += "\" d=\"";
    pending_ += shared_[style];
    pending_ += "\"/>\n";
    shared_[style].clear();
    sharedCount_[style] = 0;
    writePending();
}

void SvgPicture::writePending() {
    if (!failed_) {
        file_.stream().write(pending_);
        if (file_.stream().writeFailed()) {
            fail();
        }
    }
    pending_.clear();
}

bool SvgPicture::complete(const std::optional<InfoBlockLayout>& info) {
    DrawingExtents extents = extents_;
    extents.add(0.0, 0.0);
    for (int style = 0; style <= kTightStyle; ++style) {
        flushShared(style);
    }
    std::string& out = pending_;
    if (info) {
        out += "<line class=\"axis\"";
        AppendAttribute(out, "x1", info->xmin);
        AppendAttribute(out, "y1", 0.0);
        AppendAttribute(out, "x2", info->xmax);
        AppendAttribute(out, "y2", 0.0);
        out += "/>\n<line class=\"axis\"";
        AppendAttribute(out, "x1", 0.0);
        AppendAttribute(out, "y1", info->ymin);
        AppendAttribute(out, "x2", 0.0);
        AppendAttribute(out, "y2", info->ymax);
        out += "/>\n";
    }
    // The texts stand outside the mirrored group, so their Y is negated and they read the right way up.
    out += "</g>\n";
    if (info) {
        const double height = PictureCoordinate(info->textHeight);
        // Font engines refuse sizes of many thousand units (FreeType's 16-bit pixel sizes), which the heights
        // of huge drawings reach; such a text is written at a smaller size and scaled up to its height.
        const double shrink = std::max(1.0, height / kLargestFontSize);
        for (int i = 0; i < 3; ++i) {
            out += "<text class=\"info\"";
            if (shrink > 1.0) {
                out += " transform=\"scale(";
                AppendNumber(out, shrink);
                out += ")\"";
            }
            AppendAttribute(out, "x", PictureCoordinate(info->xmin) / shrink);
            AppendAttribute(out, "y", -PictureCoordinate(info->textY[i]) / shrink);
            AppendAttribute(out, "font-size", height / shrink);
            out += '>';
            AppendEscaped(out, info->texts[i]);
            out += "</text>\n";
            // A text's width is taken as 0.6 of its height per character, which suits a sans-serif face.
            extents.add(info->xmin, info->textY[i]);
            extents.add(info->xmin + height * 0.6 * static_cast<double>(info->texts[i].size()),
                        info->textY[i]);
        }
    }
    out += "</svg>\n";
    writePending();
    const std::string head = opening(extents);
    if (failed_) {
        return false;
    }
    if (head.size() <= kOpeningRoom && file_.stream().overwriteStart(head) && file_.commit()) {
        return true;
    }
    fail();
    return false;
}

// The XML declaration, the root element sized to the extents, the layer styles, a background, and the
// opening of the mirrored group that turns the drawing's Y up; padded with blanks to the room kept for it.
std::string SvgPicture::opening(const DrawingExtents& extents) const {
    const double width = extents.maxX - extents.minX;
    const double height = extents.maxY - extents.minY;
    const double side = std::max({width, height, 1e-9});
    const double margin = side * kMarginShare;
    const double boxWidth = width + 2 * margin;
    const double boxHeight = height + 2 * margin;
    const double pixel = std::max(boxWidth, boxHeight) / kPictureSide;
    const double left = extents.minX - margin;
    const double top = -(extents.maxY + margin);

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
    AppendAttribute(out, "width", std::max(1.0, std::round(boxWidth / pixel)));
    AppendAttribute(out, "height", std::max(1.0, std::round(boxHeight / pixel)));
    out += " viewBox=\"";
    AppendNumber(out, left);
    out += ' ';
    AppendNumber(out, top);
    out += ' ';
    AppendNumber(out, boxWidth);
    out += ' ';
    AppendNumber(out, boxHeight);
    out += "\">\n<style>\n";
    for (int layer = 0; layer < kDrawingLayerCount; ++layer) {
        out += '.';
        out += kClasses[layer];
        out += "{stroke:";
        AppendColour(out, styles_[layer].rgb);
        if (styles_[layer].dashed) {
            out += ";stroke-dasharray:";
            AppendNumber(out, 8 * pixel);
            out += ',';
            AppendNumber(out, 4 * pixel);
        }
        out += "}\n";
    }
    out += ".tight{stroke:";
    AppendColour(out, kTightColour);
    out += ";stroke-opacity:0.6;stroke-width:";
    AppendNumber(out, 6 * pixel);
    out += "}\ntext.info{stroke:none;font-family:sans-serif;fill:";
    AppendColour(out, styles_[static_cast<int>(DrawingLayer::Information)].rgb);
    out += "}\n</style>\n<rect";
    AppendAttribute(out, "x", left);
    AppendAttribute(out, "y", top);
    AppendAttribute(out, "width", boxWidth);
    AppendAttribute(out, "height", boxHeight);
    out += " fill=\"";
    AppendColour(out, kBackground);
    out += "\"/>\n<g transform=\"scale(1,-1)\" fill=\"none\" stroke-linecap=\"round\"";
    AppendAttribute(out, "stroke-width", pixel);
    out.append(kOpeningRoom - std::min(kOpeningRoom, out.size() + 1), ' ');
    out += '>';
    return out;
}
