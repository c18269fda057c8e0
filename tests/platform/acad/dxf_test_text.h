#pragma once
// Building DXF text in the DXF tests: lines joined by the given line ending.

#include <initializer_list>
#include <string>

namespace dxf_test {

inline std::string Join(std::initializer_list<std::string> lines, const char* eol = "\r\n")
{
    std::string s;
    for (const auto& l : lines) s += l + eol;
    return s;
}

}  // namespace dxf_test
