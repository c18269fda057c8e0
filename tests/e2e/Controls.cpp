#include "e2e/Controls.h"

#include <algorithm>
#include <map>
#include <vector>

#include "e2e/Values.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

namespace e2e {

namespace {

std::string ControlsOf(const forms::ControlHost& host)
{
    std::vector<std::string> names;
    for (forms::Control& c : host.Controls()) {
        const std::string n = c.Index() >= 0 ? c.Name() + "()" : c.Name();
        if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    }
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : ", ") + n;
    return out.empty() ? "none" : out;
}

std::string TextOf(forms::Control& c)
{
    using namespace forms;
    if (auto* x = dynamic_cast<Label*>(&c)) return x->Caption();
    if (auto* x = dynamic_cast<TextBox*>(&c)) return x->Text();
    if (auto* x = dynamic_cast<CommandButton*>(&c)) return x->Caption();
    if (auto* x = dynamic_cast<CheckBox*>(&c)) return x->Caption();
    if (auto* x = dynamic_cast<OptionButton*>(&c)) return x->Caption();
    if (auto* x = dynamic_cast<Frame*>(&c)) return x->Caption();
    if (auto* x = dynamic_cast<ComboBox*>(&c)) return x->Text();
    if (auto* x = dynamic_cast<ListBox*>(&c)) return x->Text();
    if (auto* x = dynamic_cast<TabControl*>(&c)) return x->Caption();
    if (auto* x = dynamic_cast<DirListBox*>(&c)) return x->Path();
    if (auto* x = dynamic_cast<DriveListBox*>(&c)) return x->Drive();
    if (auto* x = dynamic_cast<Form*>(&c)) return x->Caption();
    throw StepError(ControlName(c) + " shows no text");
}

}  // namespace

std::string ControlName(const forms::Control& c)
{
    return c.Index() >= 0 ? c.Name() + "(" + std::to_string(c.Index()) + ")" : c.Name();
}

// A person can click, type into or set only what is shown and enabled.
void CheckReachable(forms::Control& c)
{
    for (forms::Control* x = &c; x;) {
        const bool isForm = dynamic_cast<forms::Form*>(x) != nullptr;
        if (!x->Visible())
            throw StepError(ControlName(*x) + " is not visible, so a person cannot reach " + ControlName(c));
        if (!x->Enabled())
            throw StepError(ControlName(*x) + " is disabled, so a person cannot reach " + ControlName(c));
        // Controls of the tab pages not shown are kept far to the left.
        if (!isForm && x->Left() < -30000)
            throw StepError(ControlName(*x) + " lies on a tab page that is not shown, so a person cannot reach " +
                            ControlName(c));
        forms::ControlHost* host = x->Parent();
        x = host ? dynamic_cast<forms::Control*>(host) : nullptr;
    }
    // What the names above cannot tell: a hidden or disabled container, or a
    // tab page of a nested tab control.
    const forms::ScreenState w = forms::ScreenStateOf(c);
    if (w.hasWidget) {
        if (!w.shown) throw StepError(ControlName(c) + " is not shown on the screen");
        if (!w.enabled) throw StepError(ControlName(c) + " is disabled");
        if (!w.insideWindow) throw StepError(ControlName(c) + " lies outside its window (on a tab page not shown?)");
    }
}

std::string PropertyOf(forms::Control& c, const std::string& p)
{
    using namespace forms;
    if (p == "text" || p == "caption") return TextOf(c);
    if (p == "visible") return FormatBool(c.Visible());
    if (p == "enabled") return FormatBool(c.Enabled());
    if (p == "left") return FormatNumber(c.Left());
    if (p == "top") return FormatNumber(c.Top());
    if (p == "width") return FormatNumber(c.Width());
    if (p == "height") return FormatNumber(c.Height());
    if (p == "tooltip") return c.ToolTipText();
    if (p == "windowstate") {
        if (auto* x = dynamic_cast<Form*>(&c)) return std::to_string(x->WindowState());
    }
    if (p == "value") {
        if (auto* x = dynamic_cast<CheckBox*>(&c)) return std::to_string(x->Value());
        if (auto* x = dynamic_cast<OptionButton*>(&c)) return FormatBool(x->Value());
        if (auto* x = dynamic_cast<CommandButton*>(&c)) return FormatBool(x->Value());
        if (auto* x = dynamic_cast<ScrollBar*>(&c)) return std::to_string(x->Value());
    } else if (p == "index") {
        if (auto* x = dynamic_cast<ListBox*>(&c)) return std::to_string(x->ListIndex());
        if (auto* x = dynamic_cast<ComboBox*>(&c)) return std::to_string(x->ListIndex());
        if (auto* x = dynamic_cast<DirListBox*>(&c)) return std::to_string(x->ListIndex());
        if (auto* x = dynamic_cast<DriveListBox*>(&c)) return std::to_string(x->ListIndex());
        if (auto* x = dynamic_cast<TabControl*>(&c)) return std::to_string(x->Tab());
    } else if (p == "count") {
        if (auto* x = dynamic_cast<ListBox*>(&c)) return std::to_string(x->ListCount());
        if (auto* x = dynamic_cast<ComboBox*>(&c)) return std::to_string(x->ListCount());
        if (auto* x = dynamic_cast<DirListBox*>(&c)) return std::to_string(x->ListCount());
        if (auto* x = dynamic_cast<DriveListBox*>(&c)) return std::to_string(x->ListCount());
        if (auto* x = dynamic_cast<TabControl*>(&c)) return std::to_string(x->Tabs());
    }
    throw StepError(ControlName(c) + " has no " + p);
}

// Fields are set the way code (and the test driver) sets them: the control's
// own events follow, as when the program sets them.
void SetField(forms::Control& c, const std::string& v)
{
    using namespace forms;
    auto integer = [&] {
        if (auto b = ParseBool(v)) return *b ? 1 : 0;
        if (auto i = ParseInteger(v)) return *i;
        throw StepError("a whole number for " + ControlName(c), Quote(v));
    };
    auto truth = [&] {
        if (auto b = ParseBool(v)) return *b;
        if (auto i = ParseInteger(v)) return *i != 0;
        throw StepError("true or false for " + ControlName(c), Quote(v));
    };
    if (auto* x = dynamic_cast<TextBox*>(&c)) return x->SetText(v);
    if (auto* x = dynamic_cast<ComboBox*>(&c)) return x->SetText(v);
    if (auto* x = dynamic_cast<CheckBox*>(&c)) return x->SetValue(integer());
    if (auto* x = dynamic_cast<OptionButton*>(&c)) return x->SetValue(truth());
    if (auto* x = dynamic_cast<ScrollBar*>(&c)) return x->SetValue(integer());
    if (auto* x = dynamic_cast<DirListBox*>(&c)) return x->SetPath(v);
    if (auto* x = dynamic_cast<DriveListBox*>(&c)) return x->SetDrive(v);
    throw StepError(ControlName(c) +
                    " is not a field that can be set (text box, combo box, check box, option, "
                    "scroll bar, folder or drive list)");
}

// "Return", "Escape", "F2", "A", "5", "Shift+Tab", "Ctrl+C".
std::pair<int, int> KeyOf(const std::string& name)
{
    using namespace forms;
    int shift = 0;
    std::string k = name;
    for (;;) {
        const auto plus = k.find('+');
        if (plus == std::string::npos || plus + 1 == k.size()) break;
        const std::string m = k.substr(0, plus);
        if (m == "Shift")
            shift |= vbShiftMask;
        else if (m == "Ctrl")
            shift |= vbCtrlMask;
        else if (m == "Alt")
            shift |= vbAltMask;
        else
            throw StepError("a key such as Return, Escape, Tab, F2, A, Shift+Tab, Ctrl+C", Quote(name));
        k = k.substr(plus + 1);
    }
    static const std::map<std::string, int> keys = {
        {"Return", vbKeyReturn}, {"Enter", vbKeyReturn},  {"Escape", vbKeyEscape}, {"Tab", vbKeyTab},
        {"Back", vbKeyBack},     {"Delete", vbKeyDelete}, {"Insert", vbKeyInsert}, {"Space", vbKeySpace},
        {"Up", vbKeyUp},         {"Down", vbKeyDown},     {"Left", vbKeyLeft},     {"Right", vbKeyRight},
        {"Home", vbKeyHome},     {"End", vbKeyEnd},       {"PageUp", vbKeyPageUp}, {"PageDown", vbKeyPageDown},
    };
    if (auto it = keys.find(k); it != keys.end()) return {it->second, shift};
    if (k.size() == 1 && k[0] >= 'A' && k[0] <= 'Z') return {vbKeyA + (k[0] - 'A'), shift};
    if (k.size() == 1 && k[0] >= '0' && k[0] <= '9') return {vbKey0 + (k[0] - '0'), shift};
    if (k.size() >= 2 && k[0] == 'F')
        if (auto n = ParseInteger(k.substr(1)); n && *n >= 1 && *n <= 12) return {vbKeyF1 + *n - 1, shift};
    throw StepError("a key such as Return, Escape, Tab, F2, A, Shift+Tab, Ctrl+C", Quote(name));
}

forms::Control* FindControl(const std::string& path, forms::Form* base)
{
    // Name, Name(Index), and dots into user controls: "SD.cmdDraw(2)".
    std::vector<std::pair<std::string, int>> parts;
    std::size_t from = 0;
    for (;;) {
        const auto dot = path.find('.', from);
        std::string part = path.substr(from, dot == std::string::npos ? std::string::npos : dot - from);
        int index = -1;
        if (const auto open = part.find('('); open != std::string::npos) {
            const auto i =
                part.back() == ')' ? ParseInteger(part.substr(open + 1, part.size() - open - 2)) : std::nullopt;
            if (!i || *i < 0) throw StepError("a control Name or Name(Index)", Quote(part));
            index = *i;
            part.erase(open);
        }
        if (part.empty()) throw StepError("a control Name or Name(Index)", Quote(path));
        parts.emplace_back(part, index);
        if (dot == std::string::npos) break;
        from = dot + 1;
    }

    forms::ControlHost* host = nullptr;
    forms::Control* current = nullptr;
    std::size_t i = 0;
    if (base && base->Controls().Find(parts[0].first, parts[0].second)) {
        host = base;
    } else {
        // Another loaded form, by its name.
        for (forms::Form* f : forms::Forms())
            if (parts[0].second < 0 && f->Name() == parts[0].first) {
                current = f;
                host = f;
                i = 1;
                break;
            }
        if (!current) {
            if (!base) return nullptr;
            throw StepError("a control " + path + " on " + base->Name(), "its controls " + ControlsOf(*base));
        }
    }
    for (; i < parts.size(); ++i) {
        const std::string name =
            parts[i].second >= 0 ? parts[i].first + "(" + std::to_string(parts[i].second) + ")" : parts[i].first;
        if (!host) throw StepError("a control " + name + " inside " + ControlName(*current), "it holds no controls");
        forms::Control* next = host->Controls().Find(parts[i].first, parts[i].second);
        if (!next) {
            const std::string owner = current ? ControlName(*current) : base->Name();
            throw StepError("a control " + name + " on " + owner, "its controls " + ControlsOf(*host));
        }
        current = next;
        host = dynamic_cast<forms::ControlHost*>(next);
    }
    return current;
}

}  // namespace e2e
