#pragma once
// A multi-line text laid out as the file format means it: its format codes
// read (heights, width factors, slants, faces, colours, under- and overlines,
// paragraph alignment), each ending where its argument ends, whether or not a
// ";" closes it, so that no letter is ever taken for a code's argument; every
// paragraph wrapped at spaces to the width of its column (no wrap when the
// text has no width), "^J" a line break and "^I" a tab, the lines flowed into
// the text's columns by their heights, with "\N" a column break, and the whole
// box placed at the insertion point by the attachment.
//
// Lines are 5/3 of their tallest letters apart, times the line spacing; tabs
// stop every 4 heights. Work is linear in the text's letters: each letter is
// measured once, and a word that does not fit starts the next line.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/acad/EntityData.h"
#include "platform/acad/TextMetrics.h"

namespace acad {

// A piece of a line drawn in one format.
struct MTextRun {
    std::size_t begin = 0, end = 0;  // its letters in MTextLayout::letters
    double x = 0.0, y = 0.0;         // left end of its baseline, from the insertion point (y up)
    double width = 0.0;
    double height = 0.0;  // cap height
    double widthFactor = 1.0;
    double oblique = 0.0;  // radians
    TextMetrics::Face face = TextMetrics::Face::Shape;
    int color = -1;  // its own colour (TextPrimitive::color); -1: the text's
    bool underline = false, overline = false;
};

// A rectangle of the text's frame, from the insertion point (y up).
struct MTextRect {
    double left = 0.0, bottom = 0.0, right = 0.0, top = 0.0;
};

struct MTextLayout {
    std::string letters;
    std::vector<MTextRun> runs;
    std::vector<MTextRect> columns;  // the rectangle of each column
    MTextRect box;                   // of all the columns
};

// Lays `d` out in `face` (the face of its style).
MTextLayout LayOutMText(const MTextData& d, TextMetrics::Face face);

}  // namespace acad
