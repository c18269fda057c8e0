#pragma once
// The DXF writer behind WriteDxf (engine-internal).

#include <cstdio>

namespace acad {
class Document;
struct DxfWriteOptions;
}  // namespace acad

namespace acad::dxf {

// Writes the drawing to an open file; false when the file refused some of it.
bool WriteDxfTo(const Document& doc, std::FILE* file, const DxfWriteOptions& options);

}  // namespace acad::dxf
