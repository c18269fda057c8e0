#pragma once
// Drawing files: AutoCAD 2000 (AC1015) ASCII DXF, whatever the extension (a
// ".dwg" holds the same text).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace acad {

class Document;
class Entity;

struct DxfWriteOptions {
    // Write only these entities (DXFOUT of a selection); all when empty.
    std::optional<std::vector<const Entity*>> entities;
    // Decimal places of real values (DXFOUT asks for 16). 16 writes the
    // shortest text that reads back as the same number.
    int precision = 16;
};

// Reads a drawing into `doc`, a drawing in the default state (Document's
// constructor): records of the file with the same names as the default ones
// replace them. Fails with acad::Error (FileNotFound, or FileError naming the
// line) on a missing, damaged or foreign file, never crashing; `doc` is then
// left in an unspecified but valid state.
//
// Records the engine cannot take (a circle of no radius) do not refuse the
// drawing: they are left out, and the return value is one note for the user
// that says which ("" when the file read cleanly). The same note goes to the
// command line of the drawing's application, when it has an input source.
std::string ReadDxf(Document& doc, const std::filesystem::path& path);
// The same from text in memory; `sourceName` names it in error messages.
std::string ReadDxfText(Document& doc, std::string_view text, const std::string& sourceName);
// Writes a temporary file beside `path` and renames it over `path`, so a failed
// write never leaves a half-written drawing. FileError on failure.
void WriteDxf(const Document& doc, const std::filesystem::path& path, const DxfWriteOptions& options = {});
// The text WriteDxf would write.
std::string WriteDxfText(const Document& doc, const DxfWriteOptions& options = {});

}  // namespace acad
