#pragma once
// The DXF reader behind ReadDxf (engine-internal).

#include <cstdio>
#include <string>

#include "platform/acad/DxfText.h"

namespace acad {
class Document;
}  // namespace acad

namespace acad::dxf {

// Reads a drawing from an open file a piece at a time (at most `piece` bytes);
// the messages of ReadDxfText, and its notes for the user.
std::string ReadDxfFrom(Document& doc, std::FILE* file, const std::string& sourceName, std::size_t piece = kReadPiece);

}  // namespace acad::dxf
