#pragma once
// System variables of the drawing worked on (gAcadDoc) as they were when the
// guard was made, put back when it goes, whatever way the scope ends: a
// command that changes the user's snaps, colour or scales for its own work
// must not leave them changed.
//
//   GuardaVariaveis orto{"SNAPANG", "ORTHOMODE"};
//
// The values are read at construction (a refusal of the host, such as an
// unknown name, reaches the caller). They are written back to that same
// drawing in the order named, each on its own: one that the host refuses does
// not keep the others from coming back, and nothing of it leaves the
// destructor. A drawing that was closed meanwhile is left alone, quietly.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/acad/Variant.h"

namespace acad {
class Application;
class Document;
}  // namespace acad

class GuardaVariaveis {
public:
    // NoDocument (acad::Error) when no drawing is connected.
    GuardaVariaveis(std::initializer_list<std::string> Nomes);
    ~GuardaVariaveis();
    GuardaVariaveis(const GuardaVariaveis&) = delete;
    GuardaVariaveis& operator=(const GuardaVariaveis&) = delete;

    // The saved values written back now, before the scope ends (the guard
    // writes them again when it goes). A refusal of the host reaches the
    // caller; a closed drawing is left alone.
    void Restaura();

private:
    bool DesenhoAberto() const;

    acad::Document* doc_;
    acad::Application* app_;
    std::vector<std::pair<std::string, acad::Variant>> valores_;
};
