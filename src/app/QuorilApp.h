#pragma once
// Starting the program: the Qt application, the drawing host registered as
// "AutoCAD.Application" for the whole run, its drawing window, and the main
// window; the run ends when the main window unloads or the drawing window
// closes, each after the questions about unsaved drawings ("Cancelar" keeps
// both windows open).

#include <functional>
#include <memory>
#include <string>

class Form1;

namespace acad {
class Application;
class InputSource;
}  // namespace acad

struct QuorilOptions {
    // Folder of "IniFile.txt" and of the shipped catalogue; empty: the executable's folder.
    std::string programFolder;
    // Folder of the program's pictures; empty: the executable's folder + "/pictures".
    std::string pictureFolder;
    // False runs without a drawing host, as on a machine where it is not running.
    bool startHost = true;
    // Who answers the host's requests for points, picks and texts; empty: a
    // person, in the host's drawing window.
    std::shared_ptr<acad::InputSource> input;
    // Called once from the event loop after the main window is shown, with
    // the window and the host (null without one). A runner drives the program
    // from here and ends the run by unloading the window.
    std::function<void(Form1&, acad::Application*)> started;
};

// Runs the program to its end; returns its exit code. Without a Qt
// application one is made from argc and argv (a caller may have made its own,
// e.g. to choose the offscreen platform).
int RunQuoril(int& argc, char** argv, const QuorilOptions& options = {});
