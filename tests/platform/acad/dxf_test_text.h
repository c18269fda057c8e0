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

}  // namespace dxf_test
