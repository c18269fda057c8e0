#pragma once
// The DXF reader behind ReadDxf (engine-internal).

#include <cstdio>
#include <string>

namespace acad {
class Document;
}  // namespace acad

namespace acad::dxf {

// Reads a drawing from an open file a piece at a time; the messages of
// ReadDxfText, and its notes for the user.
std::string ReadDxfFrom(Document& doc, std::FILE* file, const std::string& sourceName);

}  // namespace acad::dxf
