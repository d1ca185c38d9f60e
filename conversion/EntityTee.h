// Hands every entity to the DXF file and to a picture of the drawing. The DXF file decides whether the entity
// counts as written: a picture never fails a run.
#pragma once

#include "conversion/PictureSink.h"
#include "dxf/DrawingEntity.h"

class EntityTee final : public EntitySink {
public:
    EntityTee(EntitySink& file, PictureSink& picture) : file_(file), picture_(picture) {}

    bool add(const DrawingEntity& entity) override {
        picture_.add(entity);
        return file_.add(entity);
    }

private:
    EntitySink& file_;
    PictureSink& picture_;
};
