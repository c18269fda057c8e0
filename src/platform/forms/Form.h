#pragma once
// A VB form: a top-level window that owns its controls.
//
// A form of the system derives from Form, creates its controls as members
// (Add/AddArray), sets their design properties in its constructor and then
// subscribes its handlers:
//
//     class frmInput : public forms::Form {
//     public:
//         frmInput();
//         bool OK = false;
//     private:
//         forms::TextBox& Text1 = Add<forms::TextBox>("Text1");
//         forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
//         void CmdOK_Click() { OK = true; Hide(); }
//     };
//     frmInput::frmInput() : Form("frmInput")
//     {
//         CmdOK.Move(1920, 2520, 975, 375);
//         CmdOK.SetCaption("OK");
//         CmdOK.Click += [this] { CmdOK_Click(); };
//     }

#include <string>

#include "platform/forms/Canvas.h"
#include "platform/forms/ControlHost.h"
#include "platform/forms/Picture.h"

namespace forms {

class Form : public Control, public ControlHost, public Canvas {
public:
    explicit Form(const std::string& name);
    ~Form() override;

    // Shows the form, loading it first. Modal: returns when the form is hidden
    // or unloaded (a nested event loop; with a test driver installed the
    // driver runs instead, see Testing.h). With an owner the form stays above
    // it. Error 400 when a modeless form already shown is shown modally.
    void Show(int modal = vbModeless, Form* owner = nullptr);
    // Hides the form; ends a modal Show. The form stays loaded.
    void Hide();
    // Visible = True shows modeless, False hides.
    void SetVisible(bool v) override;
    bool IsModal() const;  // shown modally right now

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    forms::Picture Icon() const;
    void SetIcon(const forms::Picture& icon);
    forms::Picture Picture() const;
    void SetPicture(const forms::Picture& picture);
    // 0 none (no title bar or border), 1 fixed single, 2 sizable, 3 fixed
    // dialog, 4 fixed tool window, 5 sizable tool window.
    int BorderStyle() const;
    void SetBorderStyle(int style);
    // Kept above every other window.
    bool TopMost() const;
    void SetTopMost(bool v);
    int WindowState() const;
    void SetWindowState(int state);
    bool KeyPreview() const;
    void SetKeyPreview(bool v);
    Control* ActiveControl() const;

    // Moves the window with the mouse, as a drag of its title bar would; call
    // it from a MouseDown handler. Only while the left button is down: a drag
    // with another button does not move the window.
    void DragWindow();

    // Load: once per load, before the first show. Activate/Deactivate: the
    // form becomes / stops being the active window. Paint: the form is
    // repainted (without AutoRedraw). Resize: first shown or size changed.
    // QueryUnload(Cancel, UnloadMode) and Unload(Cancel): setting Cancel to a
    // non-zero value keeps the form loaded.
    platform::Event<> Load;
    platform::Event<> Activate;
    platform::Event<> Deactivate;
    platform::Event<> Paint;
    platform::Event<> Resize;
    platform::Event<int&, int> QueryUnload;
    platform::Event<int&> Unload;
};

// VB's Load and Unload statements for forms. Load raises the Load event once
// (sites user controls first). Unload raises QueryUnload and Unload, closes
// the window, ends a modal Show and saves user controls' properties for the
// run; the form object itself stays valid (and may be shown again, which
// loads it again).
void Load(Form& form);
void Unload(Form& form);

}  // namespace forms
