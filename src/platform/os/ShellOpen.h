#pragma once
// Opening a file with the program associated with its type, and the choice of
// a program when none is.

#include "platform/os/Window.h"

#include <functional>
#include <string>
#include <vector>

namespace os {

struct LaunchRequest {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingDir;
};

// When installed, every program this layer would start is handed to the
// hook instead (it returns whether the start succeeded), so that tests never
// start anything. An empty function removes it; the previous one is returned.
using LaunchHook = std::function<bool(const LaunchRequest&)>;
LaunchHook SetLaunchHook(LaunchHook hook);

// Starts a program detached from this one (or hands it to the launch hook).
bool Launch(const LaunchRequest& request);

enum class OpenOutcome {
    Opened,        // with the associated program
    OpenedChosen,  // with the program the user chose or typed
    Cancelled,     // nothing associated and the user cancelled the choice
    Failed,
};

struct OpenResult {
    OpenOutcome outcome = OpenOutcome::Failed;
    std::string message;  // what failed
    bool ok() const { return outcome == OpenOutcome::Opened || outcome == OpenOutcome::OpenedChosen; }
};

// Opens the file (or folder) with its default program. When no program is
// associated with its type, or the associated one cannot be started, the
// user is asked (a ChooseProgram dialog) to pick one of the programs that
// handle related types or any installed program that opens files, or to type
// a command. The programs run in the file's folder.
OpenResult ShellOpen(const std::string& path, WindowHandle owner = 0);

// The MIME type of a file and the types it derives from, most specific first.
std::vector<std::string> MimeTypesOf(const std::string& path);

}  // namespace os
