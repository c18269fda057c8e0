#pragma once
// Paints what a drawing shows through one painter: every entity kind through
// Entity::Emit into a single painter sink, in its layer's or own colour, with
// block references walked here so that nested parts get their inherited colour
// and layer, external references their clip, hatches their pattern lines or
// filled areas, and wide polylines their bands. Only what the spatial index finds in view is drawn; a
// nested reference out of view is not looked into, one smaller than a dot is a
// dot, and past the work one view may take (DrawPlan.h), the heaviest
// references draw what lies nested past a depth as outlines.

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>

#include "platform/acad/ui/ViewMapping.h"

class QPainter;

namespace acad {
class Document;
class Entity;
}  // namespace acad

namespace acad::ui {

struct RenderStats {
    std::size_t entities = 0;  // entities visited (nested ones included)
    std::size_t segments = 0;  // line pieces drawn
    std::size_t points = 0;    // dots drawn
    std::size_t texts = 0;     // texts drawn as letters (tiny ones are boxes)
    std::size_t letters = 0;   // of those texts
    std::size_t areas = 0;     // vertices of filled areas
    std::size_t stepped = 0;   // line pieces stepped straight into the image
    std::size_t culled = 0;    // pieces emitted out of view, and not drawn
    // All the frame visited and drew, piece by piece.
    std::size_t Work() const { return entities + segments + points + letters + areas + culled; }
    // A block reference drawn in part as outlines: its definition's name (the
    // first such).
    std::string coarse;
};

class SceneRenderer {
public:
    SceneRenderer();
    ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // Draws model space when the document's Model layout is active; otherwise the
    // active layout's paper space over the model space seen through its
    // viewports. `mapping` maps the shown space (model or paper) to the painter's
    // pixels; the background is the caller's. Entities in `selected` are drawn
    // highlighted, as are those whose Highlight is on.
    RenderStats Draw(QPainter& painter, const Document& doc, const ViewMapping& mapping,
                     const std::unordered_set<const Entity*>* selected = nullptr);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace acad::ui
