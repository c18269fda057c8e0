#pragma once
// Driving forms without a person: a test driver that answers modal forms, and
// a user who clicks, types and drags through the same input path a person's
// mouse and keyboard take, so the same events run in the same order.

#include <functional>
#include <string>

#include "platform/forms/Picture.h"
#include "platform/forms/Types.h"

namespace forms {

class Control;
class Form;
class ListBox;
class ComboBox;
class TabControl;
class ScrollBar;
class FlexGrid;
class DirListBox;
class DriveListBox;

// While a driver is installed, Show(vbModal) shows the form, handles the
// pending events (Load, Resize, Activate, Paint) and calls the driver with
// the form instead of running a modal loop; if the form is still shown when
// the driver returns, it is hidden then (so no test ever blocks). Modeless
// shows just show.
using TestDriver = std::function<void(Form&)>;
TestDriver SetTestDriver(TestDriver driver);  // returns the one it replaces
bool HasTestDriver();

class ScopedTestDriver {
public:
    explicit ScopedTestDriver(TestDriver driver) : previous_(SetTestDriver(std::move(driver))) {}
    ~ScopedTestDriver() { SetTestDriver(std::move(previous_)); }
    ScopedTestDriver(const ScopedTestDriver&) = delete;
    ScopedTestDriver& operator=(const ScopedTestDriver&) = delete;

private:
    TestDriver previous_;
};

// Called after each DoEvents has handled the pending events: the program's
// yields, where a test acts on modeless windows of a long operation, as a
// person would while it runs. Returns the hook it replaces.
using YieldHook = std::function<void()>;
YieldHook SetYieldHook(YieldHook hook);

// Where the control's own widget stands now: shown on the screen, enabled, and
// its middle inside its window (not on a tab page kept aside). A control
// without a widget reports `hasWidget` false.
struct ScreenState {
    bool hasWidget = false;
    bool shown = false;
    bool enabled = false;
    bool insideWindow = false;
};
ScreenState ScreenStateOf(Control& c);

// What a person does. Points are in the control's own mouse units (those of
// its MouseDown event), the centre when not given.
namespace user {
void Click(Control& c, int button = vbLeftButton);
void ClickAt(Control& c, double x, double y, int button = vbLeftButton, int shift = 0);
void DblClick(Control& c);
// The mouse moved over the middle of the control, no button held, with the
// keys of `shift` (vbShiftMask, vbCtrlMask, vbAltMask) down.
void Hover(Control& c, int shift = 0);
void MouseDown(Control& c, int button, int shift, double x, double y);
void MouseMove(Control& c, int button, int shift, double x, double y);
void MouseUp(Control& c, int button, int shift, double x, double y);
// Press at (x0, y0), move to (x1, y1) in steps, release.
void Drag(Control& c, int button, double x0, double y0, double x1, double y1);
void Focus(Control& c);
// Gives the control the focus and types the text, one key at a time.
void Type(Control& c, const std::string& text);
// One key: vbKeyReturn, vbKeyEscape, vbKeyDown, vbKeyC with vbCtrlMask ...
void PressKey(Control& c, int keyCode, int shift = 0);
void Choose(ListBox& list, int index);
void Choose(ComboBox& combo, int index);
void ChooseTab(TabControl& tabs, int tab);
void ClickCell(FlexGrid& grid, int row, int col);
// Clicks the scroll bar's arrows (steps > 0 towards Max) `steps` times.
void Scroll(ScrollBar& bar, int steps);
void ChooseDrive(DriveListBox& drives, int index);
// Double-clicks the entry of ListIndex `listIndex`.
void OpenFolder(DirListBox& dirs, int listIndex);
// The close button of the title bar (QueryUnload with vbFormControlMenu).
void CloseWindow(Form& form);
}  // namespace user

// The back colour a cell is drawn with now (a VB colour number), whatever
// the grid's current cell is.
long CellBackColorAt(FlexGrid& grid, int row, int col);

// How many times Beep has sounded in this run.
int BeepCount();

// The control as it is drawn on the screen now.
Picture Snapshot(Control& c);

}  // namespace forms
