// What the preview shows of a drawing: every entity of the run in 32 bytes (single-precision coordinates in
// space and the NC line number), the arcs the tool does not fit, the information block, and the extents in
// space. Polylines, which take more numbers than an entity holds, are kept beside the entities; they are
// few, as only arcs out of the XY plane and helices become polylines.
//
// A block drawn by a program in another file names the NC file's call line; where it really comes from is
// kept beside the entities as spans, one each time the drawing passes into another file (or, past line
// 65534 of that file, to another line of it), and the line within that file in the entity's spare bytes.
//
// The run adds entities as it draws them; the preview paints whatever has arrived so far. Entities are kept
// in fixed blocks rather than one growing array, so that a drawing of millions of entities never holds twice
// its size while the array is moved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/PictureSink.h"
#include "dxf/DrawingExtents.h"

// A polyline's arc, from which its vertices are made again, and its box in space (min x y z, max x y z),
// which culls and picks it without its vertices.
struct PreviewPolyline {
    ArcPath arc;
    float box[6];
};

struct PreviewEntity {
    // Line: start x y z, end x y z. Arc: centre x y z, radius, start angle and counter-clockwise sweep in
    // degrees, lying in the XY plane through its centre. Circle: centre x y z, radius. Polyline: its place
    // in PreviewModel::polyline().
    union {
        float v[6];
        std::uint32_t polyline;
    };
    std::uint32_t fileLine;  // the NC line, saturated at the 32-bit range
    EntityKind kind;
    DrawingLayer layer;
    // For an entity of another file, its line there; kWideSourceLine when its span holds it.
    std::uint16_t sourceLine;
};
static_assert(sizeof(PreviewEntity) <= 32, "the preview keeps at most 32 bytes per entity");

// Where a block drawn by a program in another file stands: the file's path and the line in it.
struct EntitySource {
    const std::string& path;
    std::int64_t line;
};

// The layers of the cutting moves, with and without compensation.
inline bool IsCuttingLayer(DrawingLayer layer) {
    return layer == DrawingLayer::Compensated || layer == DrawingLayer::Uncompensated;
}

// The Z a set of entities spans; 0 to 0 while there are none.
struct DepthRange {
    double lowest = 0.0;
    double highest = 0.0;
    bool counted = false;

    bool empty() const { return !counted; }
    void add(double low, double high);
};

class PreviewModel final : public PictureSink {
public:
    static constexpr std::uint16_t kWideSourceLine = 0xFFFF;

    // Forgets the drawing.
    void clear();

    bool add(const DrawingEntity& entity) override;
    void markTightArc(const DrawingEntity& arc) override;
    bool complete(const std::optional<InfoBlockLayout>& info) override;
    void setSource(std::string_view otherFile, std::int64_t fileLine) override;

    std::size_t size() const { return size_; }
    const PreviewEntity& operator[](std::size_t index) const {
        return blocks_[index / kBlockSize][index % kBlockSize];
    }
    const std::vector<PreviewEntity>& tightArcs() const { return tight_; }
    // The arc and box of a polyline, entity or tight mark.
    const PreviewPolyline& polyline(const PreviewEntity& entity) const { return polylines_[entity.polyline]; }
    // The information block of a completed run.
    const std::optional<InfoBlockLayout>& info() const { return info_; }
    bool completed() const { return completed_; }
    // The XY extents of the entities (empty while there are none), and the Z they span.
    const DrawingExtents& extents() const { return extents_; }
    double minZ() const { return allZ_.lowest; }
    double maxZ() const { return allZ_.highest; }
    // The Z that the cutting moves span: what depth colours run over.
    const DepthRange& cuttingZ() const { return cuttingZ_; }

    // The file and line of an entity drawn by a program in another file; nothing for the NC file's own.
    std::optional<EntitySource> sourceOf(std::size_t index) const;
    // The path of a file the drawing came from whose name (without folders) is `name`.
    const std::string* sourcePathNamed(std::string_view name) const;
    // Every entity that names NC line `fileLine`: each pass of the run through it.
    std::vector<std::size_t> entitiesOfLine(std::int64_t fileLine) const;

private:
    static constexpr std::size_t kBlockSize = 1 << 16;

    PreviewEntity compact(const DrawingEntity& entity);
    void noteSource(PreviewEntity& entity);

    // From entity `first` on, the entities come from file `file` (0: the NC file, else entry file - 1 of
    // sourceFiles_), at `line` where their own field says kWideSourceLine.
    struct SourceSpan {
        std::size_t first;
        std::uint32_t file;
        std::int64_t line;
    };
    void addZ(const PreviewEntity& entity, double low, double high);

    std::vector<std::unique_ptr<PreviewEntity[]>> blocks_;
    std::size_t size_ = 0;
    std::vector<PreviewEntity> tight_;
    std::deque<PreviewPolyline> polylines_;  // grows without moving what it holds
    std::optional<InfoBlockLayout> info_;
    DrawingExtents extents_;
    DepthRange allZ_;
    DepthRange cuttingZ_;
    bool completed_ = false;
    std::vector<std::string> sourceFiles_;
    std::vector<SourceSpan> spans_;
    std::uint32_t sourceFile_ = 0;
    std::int64_t sourceLine_ = 0;
};
