#pragma once
// Text extents without fonts: a fixed width per character per kind of font,
// good enough for leaders and alignment points and identical everywhere.
//
// Rule: the box of a single-line text is `n` characters (UTF-8 code points) of
// advance `k × height × widthFactor` wide and `height` tall above the baseline,
// with descenders going `0.3 × height` below it for "Bottom" alignments:
//   k = 0.6 for a TrueType face (a style with no .shx font file, e.g. "Arial"),
//   k = 0.8 for a shape font file ("txt", "romans.shx", ...).
// Vertical positions: baseline 0, bottom −0.3 h, middle h / 2, top h.

#include <string>
#include <string_view>

#include "platform/acad/Geometry.h"

namespace acad {

class Document;
class TextStyle;

namespace TextMetrics {
inline constexpr double kTrueTypeAdvance = 0.6;
inline constexpr double kShapeFontAdvance = 0.8;
inline constexpr double kDescent = 0.3;

// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(std::string_view text);
// Advance factor of a style (k above).
double AdvanceFactor(const TextStyle* style);
// Width of the text's box.
double TextWidth(std::string_view text, double height, double widthFactor, const TextStyle* style);
// Offset, in the text's own frame (x along the baseline, y up), from the
// insertion point (left end of the baseline) to the alignment point for
// `alignment` (0..14) and a text of the given width and height.
Point3d AlignmentOffset(int alignment, double width, double height);
}  // namespace TextMetrics

}  // namespace acad
