// An SVG picture of the drawing, written while the run goes: the top view with Y up, the layers in the
// colours of the header template, the axes and the information texts below, holes as their circles, arcs
// out of the XY plane and helices as the top view of their vertices, and the inside arcs the tool does not
// fit marked. One SVG element per DXF entity, with the layer as its class, up to a hundred thousand; the
// entities of a bigger drawing share path elements, so that SVG readers can still open it.
//
// The elements go to the file as they come, so a program of millions of lines needs no more memory than a
// short one. Only the opening of the picture depends on the extents (its size, viewBox and line widths), so
// room for it is kept at the start of the file and filled in when the run completes.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "conversion/PictureSink.h"
#include "core/AsideFile.h"
#include "dxf/DrawingExtents.h"
#include "dxf/LayerStyles.h"

class SvgPicture final : public PictureSink {
public:
    SvgPicture(std::string path, const LayerStyles& styles);

    // Starts the picture beside `path`, written aside as the drawing is; false after "No Write <path>" was
    // shown.
    bool open();

    bool add(const DrawingEntity& entity) override;
    void markTightArc(const DrawingEntity& arc) override;
    bool complete(const std::optional<InfoBlockLayout>& info) override;

    const std::string& path() const { return path_; }

private:
    // `style` is the layer, or the one after the last layer for a tight-arc mark.
    void appendElement(const DrawingEntity& entity, int style);
    void flushShared(int style);
    void writePending();
    void fail(int error = 0);
    std::string opening(const DrawingExtents& extents) const;

    std::string path_;
    LayerStyles styles_;
    AsideFile file_;
    std::string pending_;
    DrawingExtents extents_;
    int ownElements_ = 0;
    std::array<std::string, kDrawingLayerCount + 1> shared_;
    std::array<int, kDrawingLayerCount + 1> sharedCount_{};
    bool failed_ = false;
};
