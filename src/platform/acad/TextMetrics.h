#pragma once
// Text extents as wide as the letters drawn, without a font engine.
//
// Each font a drawing names is stood in for by a face of the same widths: the
// metric-compatible Liberation faces for Arial, Times New Roman and Courier New
// (and their bold and italic cuts, and Arial Narrow), Liberation Sans for any
// other TrueType face, and DejaVu Sans for shape fonts ("txt", "simplex",
// "romans.shx"...), whose letters are about as wide as that face's. The
// advance of every letter of those faces was measured from their font files
// when the host was built (the generated table FontWidths.cpp, written by
// resources/tools/font_widths.cpp), so a box does not depend on the fonts a
// machine has; the drawing window loads the same files, so ink and box agree.
//
// Rule: the box of a single-line text is the sum of its letters' advances
// (each in cap heights, times `height × widthFactor`) wide and `height` tall
// above the baseline, with descenders going `0.3 × height` below it for
// "Bottom" alignments. No kerning: the window draws the letters unkerned too.
// Vertical positions: baseline 0, bottom −0.3 h, middle h / 2, top h.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/acad/Geometry.h"

namespace acad {

class Document;
class TextStyle;

namespace TextMetrics {
inline constexpr double kDescent = 0.3;

// The faces widths are known for, in the order of kFaceFiles.
enum class Face : std::uint8_t {
    Sans,
    SansBold,
    SansItalic,
    SansBoldItalic,
    Serif,
    SerifBold,
    SerifItalic,
    SerifBoldItalic,
    Mono,
    MonoBold,
    MonoItalic,
    MonoBoldItalic,
    SansNarrow,
    SansNarrowBold,
    Shape,
};
inline constexpr std::size_t kFaceCount = 15;
// The font file of each face, under the folder the build measured them in (FontFolder).
inline constexpr const char* kFaceFiles[kFaceCount] = {
    "liberation/LiberationSans-Regular.ttf",
    "liberation/LiberationSans-Bold.ttf",
    "liberation/LiberationSans-Italic.ttf",
    "liberation/LiberationSans-BoldItalic.ttf",
    "liberation/LiberationSerif-Regular.ttf",
    "liberation/LiberationSerif-Bold.ttf",
    "liberation/LiberationSerif-Italic.ttf",
    "liberation/LiberationSerif-BoldItalic.ttf",
    "liberation/LiberationMono-Regular.ttf",
    "liberation/LiberationMono-Bold.ttf",
    "liberation/LiberationMono-Italic.ttf",
    "liberation/LiberationMono-BoldItalic.ttf",
    "liberation/LiberationSansNarrow-Regular.ttf",
    "liberation/LiberationSansNarrow-Bold.ttf",
    "dejavu/DejaVuSans.ttf",
};
bool IsBold(Face f);
bool IsItalic(Face f);

// The code points the table holds, in ranges [first, end): Latin, Greek,
// Cyrillic, punctuation, currency, letter-like symbols, arrows, mathematical
// operators and geometric shapes. Others take the face's mean advance, or a
// whole em for the wide letters of East Asian scripts.
struct CodeRange {
    char32_t first, end;
};
inline constexpr CodeRange kRanges[] = {{0x20, 0x250},    {0x370, 0x530},   {0x2000, 0x2070}, {0x20A0, 0x20C0},
                                        {0x2100, 0x2300}, {0x2460, 0x2500}, {0x25A0, 0x2600}};
constexpr std::size_t RangeSlots()
{
    std::size_t n = 0;
    for (const CodeRange& r : kRanges) n += r.end - r.first;
    return n;
}
inline constexpr std::size_t kSlots = RangeSlots();

// What the build measured of a face, in its font units: the cap height, the
// em, the mean advance of the letters a-z, and each code point's advance
// (0: the face has no such letter).
struct FaceWidths {
    double capHeight;
    double em;
    double mean;
    const std::uint16_t* advances;  // kSlots of them
};
// The generated table, by Face.
extern const FaceWidths kFaceWidths[kFaceCount];
// The folder the build found the font files in.
extern const char* const kFontFolder;

// The face that stands in for a TrueType face name or a font file name
// ("Arial", "arialbd.ttf", "Times New Roman", "romans.shx", "txt").
Face FaceFor(std::string_view typeFace, std::string_view fontFile, bool bold, bool italic);
// The face of a style (Shape for none).
Face FaceOf(const TextStyle* style);
// Full path of a face's font file.
std::string FaceFile(Face f);

// The codes a text is written with, drawn as what they stand for: "%%c" Ø,
// "%%d" °, "%%p" ±, "%%%" a percent sign and "%%nnn" the character of that
// number in the drawing's code page are letters; "%%u" and "%%o" turn an
// underline and an overline on and off. Any other "%%" is drawn as written.
// The text keeps its codes: only what is drawn and measured reads them.
enum class Code : std::uint8_t { None, Letter, Underline, Overline };
// The code at `s[i]`: its kind, its length in bytes and, for a letter, the letter.
Code CodeAt(std::string_view s, std::size_t i, std::size_t& length, char32_t& letter);
// A single-line text as it is drawn: its letters, and the stretches of them
// that are underlined or overlined.
struct DrawnText {
    struct Stroke {
        std::size_t begin = 0, end = 0;  // bytes of `letters`
        bool over = false;
    };
    std::string letters;
    std::vector<Stroke> strokes;
};
// False, `out` left alone, when `text` holds no code: it is drawn as written.
bool ReadCodes(std::string_view text, DrawnText& out);
// Where underlines and overlines run, in heights above the baseline.
inline constexpr double kUnderline = -0.2;
inline constexpr double kOverline = 1.2;

// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(std::string_view text);
// Advance of a character, in cap heights (a text of height 1 and width factor 1).
double Advance(Face f, char32_t c);
// Width of a UTF-8 text in cap heights: the sum of its advances.
double Width(Face f, std::string_view text);
// Width of the text's box.
double TextWidth(std::string_view text, double height, double widthFactor, const TextStyle* style);
// Offset, in the text's own frame (x along the baseline, y up), from the
// insertion point (left end of the baseline) to the alignment point for
// `alignment` (0..14) and a text of the given width and height.
Point3d AlignmentOffset(int alignment, double width, double height);
}  // namespace TextMetrics

}  // namespace acad
