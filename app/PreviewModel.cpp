#include "app/PreviewModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

void PreviewModel::clear() {
    blocks_.clear();
    size_ = 0;
    tight_.clear();
    arcs_.clear();
    info_.reset();
    extents_ = {};
    completed_ = false;
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
            out.v[2] = f(entity.end.x);
            out.v[3] = f(entity.end.y);
            break;
        case EntityKind::Arc:
            out.v[0] = f(entity.centre.x);
            out.v[1] = f(entity.centre.y);
            out.v[2] = f(std::abs(entity.radius));
            out.v[3] = f(std::isfinite(entity.startAngle) ? std::fmod(entity.startAngle, 360.0) : 0.0);
            out.v[4] = static_cast<float>(ArcSweep(entity.startAngle, entity.endAngle));
            break;
        case EntityKind::Circle:
            out.v[0] = f(entity.centre.x);
            out.v[1] = f(entity.centre.y);
            out.v[2] = f(std::abs(entity.radius));
            break;
        case EntityKind::Polyline: {
            DrawingExtents box;
            box.add(entity);
            out.polyline = {{f(box.minX), f(box.minY), f(box.maxX), f(box.maxY)},
                            static_cast<std::uint32_t>(arcs_.size())};
            arcs_.push_back(entity.path);
            break;
        }
    }
    return out;
}

bool PreviewModel::add(const DrawingEntity& entity) {
    if (size_ == blocks_.size() * kBlockSize) {
        blocks_.push_back(std::make_unique_for_overwrite<PreviewEntity[]>(kBlockSize));
    }
    blocks_[size_ / kBlockSize][size_ % kBlockSize] = compact(entity);
    ++size_;
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
