#pragma once
// The drawing host's window for a person: the drawing of the active document
// (model space or the active layout), pan and zoom, a command line with the
// program's prompts, mouse answers to every request, and the "Arquivo" menu
// ("Novo", "Abrir", "Salvar", "Salvar como", "Sair") with the list of open
// drawings. Its title is the application's Caption ("AutoCAD - [Drawing1.dwg]"),
// followed by "*" while the drawing shown has unsaved changes; the program
// finds and activates it by that title. Text typed at the idle "Comando: "
// prompt is answered as an unknown command.
//
// Creating the window makes it the application's input source: requests made
// through Utility, on-screen selections and commands waiting for input are
// answered in it, each blocking its caller in a nested event loop until the
// person answers. Closing it (after asking about unsaved drawings) answers
// Escape to whatever is still asked, removes the input source, revokes the
// application's registration as "AutoCAD.Application" when it is the one
// registered, and raises Closed.
//
// main():
//     QApplication qt(argc, argv);
//     acad::Application host;
//     host.Documents().Add("Acad");
//     acad::RegisterActiveObject(host);
//     acad::ui::DrawingWindow window(host);
//     window.Show();
//     ... the program's main window, then qt.exec() ...

#include <memory>

#include "platform/Event.h"
#include "platform/os/Window.h"

namespace acad {
class Application;
}

namespace acad::ui {

class MainWindow;

class DrawingWindow {
public:
    // A Qt widget application must exist (one is made for the run when none does).
    explicit DrawingWindow(acad::Application& app);
    ~DrawingWindow();
    DrawingWindow(const DrawingWindow&) = delete;
    DrawingWindow& operator=(const DrawingWindow&) = delete;

    // Shows the window and brings it forward; the application becomes Visible.
    void Show();
    // As "Sair": asks about unsaved drawings first; false when the person kept it open.
    bool Close();
    bool IsOpen() const;
    os::WindowHandle Handle() const;
    // The Qt window itself (the layer's own tests drive it).
    MainWindow* Window() const;

    // Raised once, when the window has been closed.
    platform::Event<> Closed;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace acad::ui
