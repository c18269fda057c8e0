#pragma once
// How the host reads what a person answers (InputSource.h), shared by Utility,
// on-screen selections and commands waiting on the command line: typed
// coordinates and numbers, object snaps, and the steps of "Selecione objetos: ".

#include <optional>
#include <string>
#include <vector>

#include "platform/acad/Filter.h"
#include "platform/acad/Geometry.h"
#include "platform/acad/InputSource.h"

namespace acad {

class Document;
class Entity;

namespace input {

// Object snap modes of OSMODE that the host honours, and the bit that suspends them.
namespace Osnap {
inline constexpr int End = 1;
inline constexpr int Mid = 2;
inline constexpr int Center = 4;
inline constexpr int Node = 8;
inline constexpr int Insertion = 64;
inline constexpr int Nearest = 512;
inline constexpr int Suspended = 16384;
}  // namespace Osnap

// Asks the input source of the document's application (NoInputSource when
// there is none, or the drawing belongs to no application). A right click raises the document's BeginRightClick and comes
// back as Enter, as the host's right button confirms a prompt.
InputAnswer Ask(Document& doc, InputRequest request);
// Writes a line to the command line when there is a source; never fails.
void Message(const Document& doc, const std::string& text);

// A request of `kind` with its prompt and rubber-band origin.
InputRequest Request(InputKind kind, const std::string& prompt, const std::optional<Point3d>& base = std::nullopt);
// The text without the blanks and line ends around it.
std::string Trim(const std::string& text);

// Typed coordinates "x,y" or "x,y,z" (decimal point ".", blanks around items allowed).
std::optional<Point3d> ParsePoint(const std::string& text);
// A typed number with "." as decimal point.
std::optional<double> ParseReal(const std::string& text);

// A picked point moved onto the nearest object snap that OSMODE asks for within
// the aperture of the current view; the point unchanged when there is none.
Point3d Snap(const Document& doc, const Point3d& picked);

// A point picked with a base point, under ORTHOMODE 1: put on the line through
// the base at SNAPANG or at SNAPANG + 90°, whichever is nearer to the pick (the
// pick's projection onto it, at the base's elevation). Unchanged without a base
// or with ORTHOMODE 0.
Point3d Ortho(const Document& doc, const std::optional<Point3d>& base, const Point3d& picked);
// What a point picked with the mouse becomes: the object snap, then ortho from
// the base point, so that an ortho point stays on its line even when it was
// snapped. Typed coordinates never come here: they are taken as typed.
Point3d Picked(const Document& doc, const Point3d& picked, const std::optional<Point3d>& base);

// Objects named by text typed at a selection prompt: "L"/"LAST" (the last entity
// drawn), "ALL" (every entity on a thawed layer), "P"/"PREVIOUS" (the previous
// selection), a Lisp expression giving an entity or a selection set, or
// coordinates (a pick there). nullopt when the text is none of these.
std::optional<std::vector<Entity*>> ObjectsFromText(Document& doc, const std::string& text,
                                                    const SelectionFilter& filter);
// One step of an object selection: the objects the person's answer takes (a
// pick, a window, a crossing, a window opened on empty space, typed text).
// nullopt when the person ends the selection (Enter); Cancelled on Escape.
// `selected`: what the earlier steps took, passed on to the input source
// (InputRequest::selected) for highlighting.
std::optional<std::vector<Entity*>> SelectionStep(Document& doc, const std::string& prompt,
                                                  const SelectionFilter& filter,
                                                  const std::vector<Entity*>* selected = nullptr);

}  // namespace input
}  // namespace acad
