#include "app/PreviewModel.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

void PreviewModel::clear() {
    blocks_.clear();
    size_ = 0;
    tight_.clear();
    polylines_.clear();
    info_.reset();
    extents_ = {};
    allZ_ = {};
    cuttingZ_ = {};
    completed_ = false;
    sourceFiles_.clear();
    spans_.clear();
    sourceFile_ = 0;
    sourceLine_ = 0;
}

PreviewEntity PreviewModel::compact(const DrawingEntity& entity) {
    PreviewEntity out{};
    out.kind = entity.kind;
    out.layer = entity.layer;
    out.fileLine = static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(entity.fileLine, 0, std::numeric_limits<std::uint32_t>::max()));
    const auto f = [](double value) { return static_cast<float>(PictureCoordinate(value)); };
    switch (entity.kind) {
        case EntityKind::Line:
            out.v[0] = f(entity.start.x);
            out.v[1] = f(entity.start.y);
            out.v[2] = f(entity.start.z);
            out.v[3] = f(entity.end.x);
            out.v[4] = f(entity.end.y);
            out.v[5] = f(entity.end.z);
            break;
        case EntityKind::Arc:
            out.v[4] = f(std::isfinite(entity.startAngle) ? std::fmod(entity.startAngle, 360.0) : 0.0);
            out.v[5] = static_cast<float>(ArcSweep(entity.startAngle, entity.endAngle));
            [[fallthrough]];
        case EntityKind::Circle:
            out.v[0] = f(entity.centre.x);
            out.v[1] = f(entity.centre.y);
            out.v[2] = f(entity.centre.z);
            out.v[3] = f(std::abs(entity.radius));
            break;
        case EntityKind::Polyline: {
            PreviewPolyline& polyline = polylines_.emplace_back();
            polyline.arc = entity.path;
            const int segments = PolylineSegments(entity.path);
            for (int index = 0; index <= segments; ++index) {
                const Point3 p = PolylineVertex(entity.path, index, segments);
                const float xyz[3] = {f(p.x), f(p.y), f(p.z)};
                for (int axis = 0; axis < 3; ++axis) {
                    float& low = polyline.box[axis];
                    float& high = polyline.box[axis + 3];
                    low = index == 0 ? xyz[axis] : std::min(low, xyz[axis]);
                    high = index == 0 ? xyz[axis] : std::max(high, xyz[axis]);
                }
            }
            out.polyline = static_cast<std::uint32_t>(polylines_.size() - 1);
            break;
        }
    }
    return out;
}

void DepthRange::add(double low, double high) {
    if (low > high) {
        std::swap(low, high);
    }
    lowest = empty() ? low : std::min(lowest, low);
    highest = empty() ? high : std::max(highest, high);
    counted = true;
}

// Depth colours span the cutting moves alone: a retract far above the part would squeeze every cut into one
// end of the ramp.
void PreviewModel::addZ(const PreviewEntity& entity, double low, double high) {
    allZ_.add(low, high);
    if (IsCuttingLayer(entity.layer)) {
        cuttingZ_.add(low, high);
    }
}

bool PreviewModel::add(const DrawingEntity& entity) {
    if (size_ == blocks_.size() * kBlockSize) {
        blocks_.push_back(std::make_unique_for_overwrite<PreviewEntity[]>(kBlockSize));
    }
    PreviewEntity& e = blocks_[size_ / kBlockSize][size_ % kBlockSize] = compact(entity);
    noteSource(e);
    ++size_;
    switch (e.kind) {
        case EntityKind::Line:
            addZ(e, e.v[2], e.v[5]);
            break;
        case EntityKind::Arc:
        case EntityKind::Circle:
            addZ(e, e.v[2], e.v[2]);
            break;
        case EntityKind::Polyline:
            addZ(e, polyline(e).box[2], polyline(e).box[5]);
            break;
    }
    extents_.add(entity);
    return true;
}

void PreviewModel::markTightArc(const DrawingEntity& arc) {
    tight_.push_back(compact(arc));
}

bool PreviewModel::complete(const std::optional<InfoBlockLayout>& info) {
    info_ = info;
    completed_ = true;
    return true;
}

void PreviewModel::setSource(std::string_view otherFile, std::int64_t fileLine) {
    if (otherFile.empty()) {
        sourceFile_ = 0;
        return;
    }
    sourceLine_ = fileLine;
    if (sourceFile_ != 0 && sourceFiles_[sourceFile_ - 1] == otherFile) {
        return;
    }
    const auto known = std::find(sourceFiles_.begin(), sourceFiles_.end(), otherFile);
    sourceFile_ = static_cast<std::uint32_t>(known - sourceFiles_.begin()) + 1;
    if (known == sourceFiles_.end()) {
        sourceFiles_.emplace_back(otherFile);
    }
}

// A span begins where the file changes, and within another file where a line too wide for the entity's
// field changes.
void PreviewModel::noteSource(PreviewEntity& entity) {
    const bool wide = sourceFile_ != 0 && sourceLine_ >= kWideSourceLine;
    entity.sourceLine =
        sourceFile_ == 0
            ? 0
            : static_cast<std::uint16_t>(std::clamp<std::int64_t>(sourceLine_, 0, kWideSourceLine));
    const std::uint32_t lastFile = spans_.empty() ? 0 : spans_.back().file;
    if (lastFile != sourceFile_ || (wide && spans_.back().line != sourceLine_)) {
        spans_.push_back({size_, sourceFile_, sourceLine_});
    }
}

std::optional<EntitySource> PreviewModel::sourceOf(std::size_t index) const {
    const auto after =
        std::upper_bound(spans_.begin(), spans_.end(), index,
                         [](std::size_t at, const SourceSpan& span) { return at < span.first; });
    if (after == spans_.begin() || std::prev(after)->file == 0 || index >= size_) {
        return std::nullopt;
    }
    const SourceSpan& span = *std::prev(after);
    const std::uint16_t own = (*this)[index].sourceLine;
    return EntitySource{sourceFiles_[span.file - 1], own == kWideSourceLine ? span.line : own};
}

const std::string* PreviewModel::sourcePathNamed(std::string_view name) const {
    for (const std::string& path : sourceFiles_) {
        if (std::filesystem::path(path).filename() == name) {
            return &path;
        }
    }
    return nullptr;
}

std::vector<std::size_t> PreviewModel::entitiesOfLine(std::int64_t fileLine) const {
    std::vector<std::size_t> found;
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        const std::size_t count = std::min(kBlockSize, size_ - block * kBlockSize);
        const PreviewEntity* entities = blocks_[block].get();
        for (std::size_t i = 0; i < count; ++i) {
            if (entities[i].fileLine == fileLine) {
                found.push_back(block * kBlockSize + i);
            }
        }
    }
    return found;
}
