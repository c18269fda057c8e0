#pragma once
// The one count of what each kind of entity draws at a scale, which every
// walk of a drawing is charged by and every budget is kept in: line pieces
// and the chords of arcs, bulges, ellipses and splines, letters, hatch
// boundaries and filled area, and the length of line inked. The window draws
// by the same rules it is counted by (ArcChords, TextLookOf, SplineSpanPieces).

#include <vector>

#include "platform/acad/Entity.h"
#include "platform/acad/Geometry.h"

namespace acad {

class Layer;

// How far a drawn chord may stray from its arc, in pixels.
constexpr double kArcTolerancePx = 0.3;
// Anything smaller than this many pixels is drawn as a dot.
constexpr double kDotPx = 1.5;
// Texts lower than this many pixels are drawn as their box: letters would be a
// smudge. Letters squeezed narrower than this run into one another, one block
// of ink: their box is filled.
constexpr double kTinyTextPx = 4.0;
// Letters whose width and height on screen differ by more than this factor
// are squeezed or stretched past what the raster engine fills in time with
// antialiasing (a squeezed letter costs it several times its rows), and
// letters taller than kHugeLetterPx pixels past what it fills in time at all
// (a letter is filled whole, however little of it is in view): both are
// filled from their outlines, cut to the view first, without antialiasing.
constexpr double kSqueezedLetter = 8.0;
constexpr double kHugeLetterPx = 512.0;
// Letters at least this many pixels high are filled from their outlines at
// every drawing; lower ones are copied from images the raster engine keeps.
constexpr double kFilledLetterPx = 48.0;
// Pixels of line that take as long to paint as one piece: large geometry on
// screen costs by its length, not by its count.
constexpr double kInkPx = 16.0;
// Pixels of filled area that take as long to paint as one piece.
constexpr double kFillPx = 256.0;
// Polylines whose widest piece is this many pixels wide or more are drawn as
// filled bands; thinner, the width does not show and they are plain lines.
constexpr double kWidePx = 2.0;

// A linetype's pattern is drawn only where its period spans this many pixels
// or more: finer, its dashes would be a smudge, and the line is drawn solid.
constexpr double kDashPeriodPx = 2.0;

// A linetype's pattern as the window draws it along a line: the stretches it
// inks in one period (a dash from its start to its end, a dot as a stretch of
// no length), measured from where the pattern starts. The window masks the
// pixels of a line with it, so a dashed line costs what the solid one does:
// its pixels, never a piece for each dash.
class DashPattern {
public:
    struct Stretch {
        double from = 0, to = 0;
    };
    DashPattern() = default;
    // Of a linetype's lengths (a dash positive, a gap negative, a dot 0): solid
    // when they ink nothing, leave no gap, or are no numbers.
    explicit DashPattern(const std::vector<double>& lengths);
    bool Solid() const { return inked_.empty(); }
    double Period() const { return period_; }
    const std::vector<Stretch>& Inked() const { return inked_; }
    // Whether it is drawn dashed at `pxPerUnit` pixels per unit of its
    // lengths: its period at least kDashPeriodPx, and no more inked stretches
    // than pixels, so that a pixel meets at most a couple of them.
    bool DashedAt(double pxPerUnit) const;
    // Whether the stretch of a line from `from` up to `to` (from where the
    // pattern starts, in units of its lengths; `from` <= `to`) meets ink: a
    // dash that runs into it, or a dot in it.
    bool Inks(double from, double to) const;

private:
    std::vector<Stretch> inked_;  // in order, within [0, period_]
    double period_ = 0;
};

// Chords an arc of `radiusPx` pixels and `sweep` radians is drawn in, none
// straying more than `tolerancePx` from it.
int ArcChords(double radiusPx, double sweep, double tolerancePx = kArcTolerancePx);
// How a text is drawn whose cap height is `heightPx` and baseline `lengthPx`
// pixels long, its box `areaPx` square pixels (less than their product when
// the box is slanted), with `letters` letters: a dot, its box, its letters as
// the font draws them, its letters filled from their outlines (Outlines:
// squeezed, stretched or huge, see kSqueezedLetter), or its box filled
// (Block: letters squeezed narrower than kTinyTextPx).
enum class TextLook { Dot, Box, Letters, Outlines, Block };
TextLook TextLookOf(double heightPx, double lengthPx, double areaPx, double letters);

// The layer `e` is drawn on: its own, but for a part on layer "0" of a
// reference, which is drawn on `inherited`, the layer its holder is drawn on
// (null: `e` is held by nothing, or by what is not known).
const Layer* DrawnLayer(const Entity& e, const Layer* inherited);

// Whether `e` is drawn: visible, the layer it is drawn on thawed (and not
// frozen in the viewport, `frozenHere` indexed by layer, empty: none) and on.
// A part `nested` in a block on layer "0", whose holder's layer is not given
// (`inherited`), is taken as drawn.
// A reference whose layer is off still draws its parts and attributes on
// layers of their own that are on, so it is drawn, and looked into, when it
// holds any (OnLayersOfItsOwn): what it draws on its own layer, and its parts
// on layer "0", are not (ShowsOwnPieces).
bool IsDrawn(const Entity& e, bool nested, const std::vector<char>& frozenHere = {}, const Layer* inherited = nullptr);
// Whether what `e` draws on the layer it is drawn on shows: its layer is on.
// Otherwise `e` is drawn only as the holder of its parts (IsDrawn).
bool ShowsOwnPieces(const Entity& e, const Layer* inherited);

// Whether the box of a reference is drawn as a dot at `pxPerUnit`.
bool IsDot(const Box& box, double pxPerUnit);

// The widest piece of a polyline that is drawn with its widths (0: none).
double WidestDrawn(const Entity& e);

// What the window draws of what is emitted at `px` pixels per unit, counted
// as it draws it: a piece for each point, segment, chord and letter, the
// vertices of a filled area, and the ink of lines and areas, each line
// counted up to `inkCapPx` (what a view can show of it). A line's linetype
// adds nothing: its pattern masks the line's pixels (DashPattern).
class CountSink final : public GeometrySink {
public:
    CountSink(double px, double inkCapPx) : px_(px), cap_(inkCapPx) {}
    // What an entity draws through a reference (a dimension's picture) is counted as a reference's.
    bool BeginReference(const BlockReference&, const Transform&) override { return false; }
    void Point(const Point3d& p) override;
    void Segment(const Point3d& a, const Point3d& b) override;
    void Arc(const CircularArc& a) override;
    void Text(const TextPrimitive& t) override;
    void Fill(const std::vector<Point3d>& ring) override;
    // A line without end inks what a view shows of it: with no view to cap
    // it, a large screen's worth.
    void Ray(const Point3d& base, const Vector3d& direction, bool bothWays) override;
    // The ink of a line `lengthPx` long.
    double Ink(double lengthPx) const;
    // Filling a band `lengthPx` long and `widthPx` wide.
    double Band(double lengthPx, double widthPx) const;
    double Cap() const { return cap_; }
    double n = 0;

private:
    double px_, cap_;
};

// The work of drawing `e` (not a block reference) at `pxPerUnit` pixels per
// unit: one for the part, and what it emits as CountSink counts it (a
// polyline drawn with its widths as its bands, a spline by the spans the
// window cuts it in, a hatch by its boundaries filled and its pattern's lines).
double Pieces(const Entity& e, double pxPerUnit, double inkCapPx);

// Letters of a text, each a piece wherever it is counted.
double Letters(const TextPrimitive& t);

}  // namespace acad
