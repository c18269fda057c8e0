#pragma once
// The command line behind Document::SendCommand: a small interpreter for the
// command texts the system sends. Items are separated by CR (a CR LF pair or a
// lone LF counts as one); an empty item is Enter; a Lisp expression may span
// lines. Known commands (the "_" and "." prefixes are allowed):
//   DXFOUT       file name, [Objects + selection,] decimal places: writes a DXF file
//   -LAYER       Color / Freeze / Thaw with wildcard lists of layer names
//   ROTATE       selection, base point, angle
//   -HATCHEDIT   hatch, Properties (pattern, scale, angle): rebuilds it from its boundary
//   LAYOUT       Copy, layout to copy, name of the copy (also -LAYOUT)
//   XCLIP        selection, New, Polygonal points / Rectangular corners: clips external references
//   DIMALIGNED   three points: adds an aligned dimension to the current space
// At a selection prompt: L / LAST, ALL, P / PREVIOUS, coordinates (a pick), or
// the Lisp forms (ssget "X" <filter>) and (handent "<handle>"); Lisp typed at
// the command prompt is evaluated. An Enter at the command prompt does nothing.
// A text answer written as CommandWord writes it ("..." with Lisp's escapes) is
// the text inside the quotes.
//
// As with the host, SendCommand returns when the text is used up: a command
// still waiting for input (ROTATE's angle, DIMALIGNED's points) stays active
// (Document::CommandActive, so the host is not quiescent) and WaitingForInput
// is raised. Continue then asks the input source for the rest (the drawing
// window calls it; tests call it with a script); more text sent meanwhile
// answers the waiting command first; Cancel (Escape) ends it with no effect.
// BeginCommand and EndCommand are raised with the command's name ("ROTATE",
// "-LAYER", "DIMALIGNED"), EndCommand also when the command is cancelled or
// fails. An unknown command fails with UnknownCommand naming it, a command that
// cannot go on fails with InvalidInput naming the command; the rest of the text
// is then dropped. FILEDIA and CMDECHO change nothing here (no dialogs, no echo).

#include <deque>
#include <memory>
#include <string>

#include "platform/Event.h"
#include "platform/acad/CommandContext.h"

namespace acad {

class Document;

class CommandLine {
public:
    explicit CommandLine(Document& doc);
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    void Run(const std::string& text);
    // A command is waiting for input.
    bool Active() const { return pending_ != nullptr; }
    // Name of the waiting command ("" when none).
    std::string ActiveCommandName() const;
    // Asks the input source for what the waiting command still needs until it
    // ends; Escape from the source cancels it. Nothing happens when no command waits.
    void Continue();
    // Ends the waiting command without its effect.
    void Cancel();

    // Raised with the command's name when a command is left waiting for input.
    platform::Event<std::string> WaitingForInput;

private:
    struct Pending;
    void Pump(bool interactive);
    bool Drain(bool interactive);  // true when the pending command waits for input
    void Finish();                 // ends the pending command and raises EndCommand

    Document& doc_;
    std::deque<std::string> text_;
    std::unique_ptr<Pending> pending_;
    CommandMemory memory_;
    bool pumping_ = false;
};

}  // namespace acad
