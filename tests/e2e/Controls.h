#pragma once
// The program's windows as a script sees them: controls found by name, what
// they show, the fields a script sets and the keys it presses, and whether a
// person could reach a control at all.

#include <stdexcept>
#include <string>
#include <utility>

namespace forms {
class Control;
class Form;
}  // namespace forms

namespace e2e {

// A step that could not be done, or a fact that is not as expected.
struct StepError : std::runtime_error {
    explicit StepError(const std::string& what) : std::runtime_error(what) {}
    StepError(const std::string& expected, const std::string& found)
        : std::runtime_error("expected: " + expected + "\n  found:    " + found)
    {
    }
};

// "Name" or "Name(Index)".
std::string ControlName(const forms::Control& c);

// "Name", "Name(Index)", "UserControl.Name": looked up on `base`, else on the
// loaded form named by the first part. Null only when `base` is null and no
// loaded form has that name; StepError, listing the controls there, when a
// name is not found.
forms::Control* FindControl(const std::string& path, forms::Form* base);

// StepError unless a person could reach the control: shown, enabled and on
// the tab page shown, as its containers are.
void CheckReachable(forms::Control& c);

// text (caption), value, index, count, visible, enabled, left, top, width,
// height, as a script writes and compares them; StepError when the control
// has no such property.
std::string PropertyOf(forms::Control& c, const std::string& property);

// Sets a field as the program's code sets it (its events follow): a text or
// combo box's text, a check box, option button or scroll bar's value, a
// folder or drive list.
void SetField(forms::Control& c, const std::string& value);

// Key code and shift state of "Return", "Escape", "F2", "A", "5", "Shift+Tab", "Ctrl+C".
std::pair<int, int> KeyOf(const std::string& name);

}  // namespace e2e
