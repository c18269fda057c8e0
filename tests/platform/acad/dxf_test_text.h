#pragma once
// Building DXF text in the DXF tests: lines joined by the given line ending.

#include <cmath>
#include <initializer_list>
#include <string>

namespace dxf_test {

inline std::string Join(std::initializer_list<std::string> lines, const char* eol = "\r\n")
{
    std::string s;
    for (const auto& l : lines) s += l + eol;
    return s;
}

// Blocks B0 (a line) .. B<levels>, each inserting the one below twice side by
// side, alternately across and up (the top one covers a square grid), placed
// once in model space. With `cycle` B0 also inserts the top one.
inline std::string NestedBlocks(int levels, bool cycle = false)
{
    auto insert = [](int k, double x, double y) {
        return Join({"0", "INSERT", "2", "B" + std::to_string(k), "10", std::to_string(x), "20", std::to_string(y)});
    };
    std::string s = Join({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "B0", "0", "LINE", "10", "0", "20", "0",
                          "11", "0.8", "21", "0.8"});
    if (cycle) s += insert(levels, 0, 0);
    for (int k = 1; k <= levels; ++k) {
        const double step = std::ldexp(1.0, (k - 1) / 2);
        s += Join({"0", "ENDBLK", "0", "BLOCK", "2", "B" + std::to_string(k)}) + insert(k - 1, 0, 0) +
             insert(k - 1, k % 2 ? step : 0, k % 2 ? 0 : step);
    }
    return s + Join({"0", "ENDBLK", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"}) + insert(levels, 0, 0) +
           Join({"0", "ENDSEC", "0", "EOF"});
}

// Blocks L0 .. L<levels>, each a line from (0, 0) to (1, 1) and, but for L0,
// a reference to the one below half a unit to its right; L<levels> placed once
// at the origin: a stair of lines to x = levels / 2 + 1, nested as deep as the
// file is long.
inline std::string BlockChain(int levels)
{
    std::string s = Join({"0", "SECTION", "2", "BLOCKS"});
    for (int k = 0; k <= levels; ++k) {
        s +=
            Join({"0", "BLOCK", "2", "L" + std::to_string(k), "0", "LINE", "10", "0", "20", "0", "11", "1", "21", "1"});
        if (k > 0) s += Join({"0", "INSERT", "2", "L" + std::to_string(k - 1), "10", "0.5", "20", "0"});
        s += Join({"0", "ENDBLK"});
    }
    return s + Join({"0", "ENDSEC", "0", "SECTION", "2", "ENTITIES", "0", "INSERT", "2", "L" + std::to_string(levels),
                     "10", "0", "20", "0", "0", "ENDSEC", "0", "EOF"});
}

// Blocks W0 (`width` level lines a thousandth apart, from x 0 to 1) ..
// W<levels>, each inserting the one below `width` times, shifted a little to the
// right each time, placed once in model space: a small file that draws
// width^levels lines under one point.
inline std::string WideNestedBlocks(int levels, int width)
{
    std::string s = Join({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "W0"});
    for (int i = 0; i < width; ++i) {
        const std::string y = std::to_string(i / 1000.0);
        s += Join({"0", "LINE", "10", "0", "20", y, "11", "1", "21", y});
    }
    for (int k = 1; k <= levels; ++k) {
        s += Join({"0", "ENDBLK", "0", "BLOCK", "2", "W" + std::to_string(k)});
        for (int i = 0; i < width; ++i)
            s += Join({"0", "INSERT", "2", "W" + std::to_string(k - 1), "10", std::to_string(i / 10000.0), "20", "0"});
    }
    return s + Join({"0",  "ENDBLK",   "0",  "ENDSEC", "0", "SECTION",
                     "2",  "ENTITIES", "0",  "INSERT", "2", "W" + std::to_string(levels),
                     "10", "0",        "20", "0",      "0", "ENDSEC",
                     "0",  "EOF"});
}

// Blocks Z (40 circles of radius 100, half a unit apart), Y (50 references of
// Z) and X (40 references of Y): 82,040 parts per X, every circle large on
// screen and all of them around one empty middle. `references` references of X
// in model space, in rows of a hundred a unit apart; with `flat`, as many
// circles (82,040) straight in model space.
inline std::string CircleBlocks(int references, bool flat = false)
{
    auto insert = [](const std::string& name, double x, double y) {
        return Join({"0", "INSERT", "2", name, "10", std::to_string(x), "20", std::to_string(y)});
    };
    auto circle = [](double x, double y) {
        return Join({"0", "CIRCLE", "10", std::to_string(x), "20", std::to_string(y), "40", "100"});
    };
    std::string s = Join({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "Z"});
    for (int i = 0; i < 40; ++i) s += circle(i * 0.5, 0);
    s += Join({"0", "ENDBLK", "0", "BLOCK", "2", "Y"});
    for (int j = 0; j < 50; ++j) s += insert("Z", 0, j * 0.5);
    s += Join({"0", "ENDBLK", "0", "BLOCK", "2", "X"});
    for (int k = 0; k < 40; ++k) s += insert("Y", k * 0.25, k * 0.25);
    s += Join({"0", "ENDBLK", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"});
    for (int n = 0; flat && n < 82040; ++n)
        s += circle(n % 40 * 0.5 + n / 2000 * 0.25, n / 40 % 50 * 0.5 + n / 2000 * 0.25);
    for (int t = 0; t < references; ++t) s += insert("X", t % 100, t / 100);
    return s + Join({"0", "ENDSEC", "0", "EOF"});
}

}  // namespace dxf_test
