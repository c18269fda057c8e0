#pragma once
// Every dialog of this layer (file open and save, folder browser, the
// overwrite question, warnings, the choice of a program) goes through one
// door. When a test driver is installed the dialog is not shown: the driver
// receives what the dialog would show and answers as the user would; the
// layer then applies the same rules to the answer as to a person's choice.

#include "platform/os/Window.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace os {

enum class DialogKind {
    Open,           // choose one or more existing files (or a new name, when allowed)
    Save,           // choose a file name to write
    Folder,         // choose a folder
    Confirm,        // Yes/No question (overwrite an existing file), or Yes/No/Cancel
    Message,        // a message with an OK button (a chosen name was refused), or
                    // with other buttons (OK/Cancel, Retry/Cancel, ...)
    ChooseProgram,  // choose the program that opens a file, or type a command
};

// The picture beside a message; Default: the kind's own (a warning for
// Message, a question for Confirm).
enum class MessageIcon { Default, None, Critical, Question, Exclamation, Information };

struct FileFilter {
    std::string description;
    std::string patterns;  // as given, e.g. "*.dwg" or "*.dwg;*.dxf"
};

struct DialogRequest {
    DialogKind kind = DialogKind::Message;
    WindowHandle owner = 0;
    std::string title;
    std::string text;        // Confirm and Message: the text; ChooseProgram: the prompt
    std::string initialDir;  // Open, Save, Folder
    std::string fileName;    // Open, Save: the proposed name; ChooseProgram: the file to open
    std::vector<FileFilter> filters;
    int filterIndex = 1;  // 1-based
    std::string defaultExt;
    long flags = 0;
    std::vector<std::string> candidates;  // ChooseProgram: names of the programs offered
    // Confirm and Message: the buttons, left to right, when not the kind's
    // own ("Sim", "Não"; "OK"); the one pressed by Enter, and the one that
    // Escape or closing the window presses (-1: the last one).
    std::vector<std::string> buttons;
    int defaultButton = 0;
    int cancelButton = -1;
    MessageIcon icon = MessageIcon::Default;
};

struct DialogAnswer {
    bool accepted = false;           // false: Cancel, No, or the window was closed
    std::vector<std::string> paths;  // Open (several with multi-select), Save, Folder
    int filterIndex = 0;             // filter the user ended on; 0 = unchanged
    int choice = -1;                 // ChooseProgram: index into candidates; Confirm and
                                     // Message: the button pressed (-1: the first when
                                     // accepted, else the cancel button)
    std::string command;             // ChooseProgram: a typed command (used when choice < 0)

    static DialogAnswer Cancel() { return {}; }
    static DialogAnswer Yes() { return {true, {}, 0, -1, {}}; }
    static DialogAnswer Path(std::string p) { return {true, {std::move(p)}, 0, -1, {}}; }
    static DialogAnswer Paths(std::vector<std::string> p) { return {true, std::move(p), 0, -1, {}}; }
    static DialogAnswer Program(int index) { return {true, {}, 0, index, {}}; }
    static DialogAnswer Command(std::string c) { return {true, {}, 0, -1, std::move(c)}; }
};

using DialogDriver = std::function<DialogAnswer(const DialogRequest&)>;

// Installs the driver (an empty function removes it); returns the previous one.
DialogDriver SetDialogDriver(DialogDriver driver);

// Installs a driver for the lifetime of the object, then puts the previous one back.
class ScopedDialogDriver {
public:
    explicit ScopedDialogDriver(DialogDriver d) : previous_(SetDialogDriver(std::move(d))) {}
    ~ScopedDialogDriver() { SetDialogDriver(std::move(previous_)); }
    ScopedDialogDriver(const ScopedDialogDriver&) = delete;
    ScopedDialogDriver& operator=(const ScopedDialogDriver&) = delete;

private:
    DialogDriver previous_;
};

// True when a dialog can be put to someone: a driver is installed or the
// widget application runs.
bool DialogsAvailable();

// Shows the dialog (or hands it to the driver) and waits for the answer.
// Without a running application and without a driver the answer is Cancel.
DialogAnswer Ask(const DialogRequest& request);

// A Message dialog: the warning and an OK button.
void ShowWarning(WindowHandle owner, const std::string& title, const std::string& text);

// The button of `request.buttons` (or of the kind's own buttons) that an
// answer pressed.
int ButtonPressed(const DialogRequest& request, const DialogAnswer& answer);

}  // namespace os
