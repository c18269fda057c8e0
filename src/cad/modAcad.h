#pragma once
// The connection to the drawing host. Every drawing command calls ConectaAcad
// first and stops when it returns false; the shared objects below are then
// the host, the drawing worked on, its model space and its user input.
//
// The shared objects are replaced at each successful connection and keep
// their values after a failed one. They point into the running host, which
// outlives every command.

#include <optional>
#include <string>

#include "platform/acad/Application.h"
#include "platform/acad/Block.h"
#include "platform/acad/Document.h"
#include "platform/acad/Utility.h"
#include "platform/os/Window.h"

// The host's state object, asked only whether the host is quiescent. It asks
// the host it came from, live; once that host is no longer the running one the
// question fails (acad::Error NotRunning), as a stale object's would.
class EstadoAcad {
public:
    explicit EstadoAcad(acad::Application& App) : app_(&App) {}
    bool IsQuiescent() const;

private:
    acad::Application* app_;
};

extern acad::Application* gAcadApp;  // the running host
extern acad::Document* gAcadDoc;     // the drawing worked on
extern acad::Block* gModelSpace;     // its model space: where entities are added
extern acad::Utility* gAcadUtil;     // its user input (points, corners, angles, entities)
// Empty until the first successful connection.
extern std::optional<EstadoAcad> gAcadState;
// The host's main window; 0 until found, then never searched again.
extern os::WindowHandle gAcadHwnd;
// Full path of gAcadDoc without its extension (".dwg"): the base name of the
// files that commands write beside the drawing; "" while unsaved.
extern std::string gDwgName;
// The name, without extension, proposed for the files that commands write:
// gDwgName, or for a drawing never saved its own name ("Drawing1"), where ""
// would propose ".xls", a hidden file.
std::string NomeProposto();

// Attaches to the running host (never starts one), resolves the drawing and
// fills the shared objects; makes sure the selection sets "SS1", "SS2", "SS3"
// and "SStmp" exist.
//   DwgName in:  blank for the active drawing, or the full path of a drawing
//                (without surrounding blanks, the open drawing that is the same
//                file, whatever the spelling of its path; opened from disk
//                when not open).
//   DwgName out: the full path of the drawing now in gAcadDoc.
//   Template:    used when DwgName is blank: "" for the active drawing, or the
//                template of a new drawing ("Acad").
// False when no host could be reached (after the message "... Inicie o
// AutoCAD"), when it has no drawing to work on, or when the named drawing is
// neither open nor on disk ("Arquivo: ... não existe") or the host cannot open
// it (its reason, naming the file); the shared objects then hold the drawing
// that was current before, or the host's active one.
// The link to the host forgotten, as before the first ConectaAcad (the host
// itself is left alone).
void DesligaAcad();

// Whether Doc is still one of the host's open drawings. A drawing the host
// closed is gone with its objects: only its place among the open ones tells,
// so a pointer kept across user input is checked here before it is used.
bool AbertoNoHost(const acad::Application& App, const acad::Document* Doc);

bool ConectaAcad(std::string& DwgName, const std::string& Template);
// The same for callers that pass a text, not a variable to write back into.
bool ConectaAcad(const std::string& DwgName = "", const std::string& Template = "");

// The running host, reached as ConectaAcad reaches it; null, after the same
// message ("... Inicie o AutoCAD"), when none runs. Nothing else is touched:
// a command that makes a drawing of its own asks this before it asks the
// user anything, and makes the drawing only once the answers are in.
acad::Application* AcadEmExecucao();

// Finds the host's main window among the top-level windows (a title holding
// "[", "AutoCAD" and "]", without regard to case; the last one listed wins)
// and sets gAcadHwnd.
void AchaJanelaAcad();

// Activates the host's main window and sends it Escape twice.
void EnviaEsc();

// Brings the host's main window (the one titled with the host's Caption) to
// the front, where the user answers every request for input.
void AtivaJanelaAcad();
