#pragma once
// The run-time services of VB: Screen, App, DoEvents, Beep and the Forms
// collection.

#include <string>
#include <vector>

namespace forms {

class Form;
class Control;

class ScreenObject {
public:
    double Width() const;  // twips
    double Height() const;
    double TwipsPerPixelX() const;  // 15
    double TwipsPerPixelY() const;
    // vbDefault gives every window its own pointer back; any other value
    // (vbHourglass while loading, ...) shows that pointer over the whole program.
    int MousePointer() const;
    void SetMousePointer(int pointer);
    Form* ActiveForm() const;
    Control* ActiveControl() const;
};
extern ScreenObject Screen;

class AppObject {
public:
    int Major() const;
    int Minor() const;
    int Revision() const;
    std::string Path() const;     // the program's folder
    std::string EXEName() const;  // the program's file name
    std::string Title() const;    // the program's title: what a plain box says it comes from
};
extern AppObject App;

// Handles the pending events (input, paints, timers) and returns; the number
// of forms loaded.
int DoEvents();
void Beep();
// The forms loaded now, in load order.
std::vector<Form*> Forms();

}  // namespace forms
