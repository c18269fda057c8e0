#pragma once
// The judge of the view's levels of detail: a frame drawn within the view's
// budget against the same frame drawn without one (acad::Unbudgeted), pixel
// for pixel to within one and colour for colour, and every walk a person
// makes at a point (a crossing, a window, a pick, a nested pick, an object
// snap) answered with and without a budget. The window's tests and the fuzz
// target that mutates drawings both hold the view to it.

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QPointF>
#include <QSize>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/acad/Acad.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/KeptDefinition.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/Work.h"
#include "platform/acad/ui/AciPalette.h"
#include "platform/acad/ui/SceneRenderer.h"

namespace detail_oracle {

// Numbers from a fixed seed (splitmix64): the same cases on every machine and
// standard library.
class Numbers {
public:
    explicit Numbers(std::uint64_t seed) : s_(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (s_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // In [a, b).
    double Uniform(double a, double b) { return a + (b - a) * static_cast<double>(Next() >> 11) * 0x1p-53; }
    // In [0, n).
    std::size_t Below(std::size_t n) { return n ? static_cast<std::size_t>(Next() % n) : 0; }

private:
    std::uint64_t s_;
};

// The heights of `count` views from `extents` (the first) down to 1/4096 of
// it, each the same factor closer than the one before.
inline std::vector<double> Heights(double extents, int count)
{
    std::vector<double> h;
    for (int k = 0; k < count; ++k) h.push_back(extents * std::pow(4096.0, -static_cast<double>(k) / (count - 1)));
    return h;
}

// Whether doubles still tell points a pixel of `pixel` units apart
// everywhere in `extents`, with thousands of steps to spare (a survey's
// coordinates seen a ten-thousandth of a unit to a pixel are; a reference
// placed at 1e56 is not: its parts land wherever rounding puts them, which
// no two frames need agree on).
inline bool Resolved(const acad::Box& extents, double pixel)
{
    const double far = std::max({std::fabs(extents.min.x), std::fabs(extents.min.y), std::fabs(extents.max.x),
                                 std::fabs(extents.max.y)});
    return std::isfinite(far) && pixel > far * 1e-12;
}

// The shown space of `doc` through `mapping` as the window paints it, with
// what the frame did.
inline QImage Draw(acad::ui::SceneRenderer& renderer, const acad::Document& doc, const acad::ui::ViewMapping& mapping,
                   QSize size, acad::ui::RenderStats* stats = nullptr)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(acad::ui::BackgroundColor());
    QPainter painter(&image);
    const acad::ui::RenderStats drawn = renderer.Draw(painter, doc, mapping);
    if (stats) *stats = drawn;
    return image;
}

inline QRgb Colour(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xffffffu; }

// Whether the ink of a pixel has to be of the same colour.
enum class Colours { Same, Any };

// Pixels inked in `a` with no pixel within one pixel of them in `b` inked in
// the same colour (a colour of the palette; an edge the painter blended into
// the background, or `Colours::Any`: with no pixel inked at all): how many of
// each colour and where the first lies, or nothing.
inline std::string InkedApart(const QImage& a, const QImage& b, Colours colours = Colours::Same)
{
    const QImage left = a.convertToFormat(QImage::Format_RGB32), right = b.convertToFormat(QImage::Format_RGB32);
    const QRgb background = acad::ui::BackgroundColor().rgb() & 0xffffffu;
    std::set<QRgb> palette;
    for (int aci = 1; aci < 256; ++aci) palette.insert(acad::ui::AciColor(aci).rgb() & 0xffffffu);
    std::map<QRgb, std::pair<int, QPoint>> apart;  // count and first, by colour
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x) {
            const QRgb c = Colour(left, x, y);
            if (c == background) continue;
            const bool solid = colours == Colours::Same && palette.count(c) > 0;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    if (!right.valid(x + dx, y + dy)) continue;
                    const QRgb o = Colour(right, x + dx, y + dy);
                    near = solid ? o == c : o != background;
                }
            if (near) continue;
            auto& [n, first] = apart.try_emplace(c, 0, QPoint(x, y)).first->second;
            ++n;
        }
    std::string d;
    for (const auto& [c, seen] : apart) {
        char text[80];
        std::snprintf(text, sizeof text, "%s%d px of #%06x from (%d, %d)", d.empty() ? "" : "; ", seen.first, c,
                      seen.second.x(), seen.second.y());
        d += text;
    }
    return d;
}

// Up to `count` pixels inked in `img`, chosen by `numbers`.
inline std::vector<QPointF> InkedPixels(const QImage& img, std::size_t count, Numbers& numbers)
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    const QRgb background = acad::ui::BackgroundColor().rgb() & 0xffffffu;
    std::vector<QPointF> inked;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (Colour(rgb, x, y) != background) inked.emplace_back(x, y);
    std::vector<QPointF> chosen;
    for (std::size_t i = 0; i < count && !inked.empty(); ++i) {
        const std::size_t k = numbers.Below(inked.size());
        chosen.push_back(inked[k]);
        inked[k] = inked.back();
        inked.pop_back();
    }
    return chosen;
}

// The parts drawn looking all the way into every reference of `space` (the
// copies of a grid each, a sheet's model through its viewports), counted up
// to `cap`: what a frame without a budget costs at most. Past what a test
// may take (a grid of a thousand million copies), there is no frame without
// a budget to judge by.
inline double WholeParts(const acad::Document& doc, const acad::Block& space, double cap)
{
    std::map<const acad::Block*, double> known;
    std::function<double(const acad::Block&, int)> parts = [&](const acad::Block& b, int depth) {
        if (depth > acad::kWholeDepth) return cap;
        if (const auto found = known.find(&b); found != known.end()) return found->second;
        known[&b] = cap;  // a block that holds itself
        double n = 0;
        for (const acad::Entity* e : b) {
            n += 1;
            if (const acad::BlockReference* r = e->DrawnReference())
                if (const acad::Block* def = doc.Blocks().ByIndex(r->Data().block))
                    n += static_cast<double>(r->Copies()) * parts(*def, depth + 1);
            if (n >= cap) break;
        }
        return known[&b] = std::min(n, cap);
    };
    double n = parts(space, 0);
    if (&space != &doc.ModelSpace()) n += 4 * parts(doc.ModelSpace(), 0);
    return std::min(n, cap);
}

// What each walk at a point answers.
struct Answers {
    std::vector<const acad::Entity*> crossing, window;
    const acad::Entity* picked = nullptr;
    std::vector<const acad::Entity*> nested;  // the containers, outermost first, then the part
    acad::Point3d snapped;
};

// The walks a person makes at `c` in the current view, each in a view just
// changed, so that each weighs the view itself.
inline Answers Walk(acad::Document& doc, const acad::Point3d& c)
{
    Answers a;
    const double pixel = acad::selection::PixelSize(doc);
    const acad::Vector3d two(2 * pixel, 2 * pixel, 0);
    auto sorted = [](const std::vector<acad::Entity*>& found) {
        std::vector<const acad::Entity*> r(found.begin(), found.end());
        std::sort(r.begin(), r.end());
        return r;
    };
    doc.PlanKept().reset();
    a.crossing = sorted(acad::selection::ByWindow(doc, acad::Box::FromCorners(c - two, c + two), true, {}));
    doc.PlanKept().reset();
    a.window = sorted(acad::selection::ByWindow(doc, acad::Box::FromCorners(c - two * 100, c + two), false, {}));
    doc.PlanKept().reset();
    acad::Entity* picked = acad::selection::PickAt(doc, c);
    a.picked = picked;
    doc.PlanKept().reset();
    if (picked) {
        if (auto nested = acad::PickNested(*picked, c, 3 * pixel, acad::selection::ViewPlan(doc))) {
            a.nested.assign(nested->containers.begin(), nested->containers.end());
            a.nested.push_back(nested->entity);
        }
    }
    doc.PlanKept().reset();
    a.snapped = acad::input::Snap(doc, c);
    doc.PlanKept().reset();
    return a;
}

inline std::string Named(const acad::Entity* e) { return e ? e->DxfName() + " " + e->Handle() : std::string("nada"); }

inline std::string Named(const std::vector<const acad::Entity*>& es)
{
    std::string s = std::to_string(es.size()) + " [";
    for (std::size_t i = 0; i < es.size() && i < 4; ++i) s += (i ? ", " : "") + Named(es[i]);
    return s + (es.size() > 4 ? ", ...]" : "]");
}

// How the walks within the budget (`bounded`) answer apart from those
// without it (`whole`), or nothing.
inline std::string Differences(const Answers& bounded, const Answers& whole)
{
    std::string d;
    if (bounded.crossing != whole.crossing)
        d += "crossing " + Named(bounded.crossing) + " against " + Named(whole.crossing) + "; ";
    if (bounded.window != whole.window)
        d += "window " + Named(bounded.window) + " against " + Named(whole.window) + "; ";
    if (bounded.picked != whole.picked) d += "pick " + Named(bounded.picked) + " against " + Named(whole.picked) + "; ";
    if (bounded.nested != whole.nested)
        d += "nested pick " + Named(bounded.nested) + " against " + Named(whole.nested) + "; ";
    if (!(acad::Distance(bounded.snapped, whole.snapped) == 0)) {
        char text[160];
        std::snprintf(text, sizeof text, "snap (%.17g, %.17g) against (%.17g, %.17g); ", bounded.snapped.x,
                      bounded.snapped.y, whole.snapped.x, whole.snapped.y);
        d += text;
    }
    return d;
}

// The walks at `c` with and without the budget, and how they answer apart.
inline std::string WalksApart(acad::Document& doc, const acad::Point3d& c)
{
    const Answers bounded = Walk(doc, c);
    acad::Unbudgeted whole;
    return Differences(bounded, Walk(doc, c));
}

}  // namespace detail_oracle
