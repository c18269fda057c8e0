#pragma once
// A sample dialog and a sample user control written the way the system's
// forms are: controls created as members, design values in the constructor,
// then the handlers, one per VB event procedure.

#include <string>
#include <vector>

#include "platform/forms/Forms.h"

namespace sample {

// Borderless, kept on top, dragged by its banner or title, framed by three
// shapes; OK/Cancel flags; the buttons hide it and the caller unloads it.
class frmSample : public forms::Form {
public:
    frmSample();

    bool OK = false;
    bool Cancel = false;
    std::string Valor;                // kept equal to Text1
    std::vector<std::string> events;  // the form's events as they came

    forms::ControlArray<forms::PictureBox>& Picture1 = AddArray<forms::PictureBox>("Picture1", {1});
    forms::Label& Titulo = Add<forms::Label>("Titulo");
    forms::TextBox& Text1 = Add<forms::TextBox>("Text1");
    forms::CommandButton& CmdOK = Add<forms::CommandButton>("CmdOK");
    forms::CommandButton& CmdCancel = Add<forms::CommandButton>("CmdCancel");
    forms::ControlArray<forms::Shape>& Shape1 = AddArray<forms::Shape>("Shape1", {0, 1, 2});

private:
    void Form_Load();
    void Form_Paint();
    void Form_Resize();
    void Picture1_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void Titulo_MouseDown(int Button, int Shift, double X, double Y);
    void Text1_Change();
    void Text1_KeyPress(int& KeyAscii);
    void CmdOK_Click();
    void CmdCancel_Click();
    void DrawFrame();
};

// A panel with two settings kept in the property bag and a fixed size.
class SamplePanel : public forms::UserControl {
public:
    explicit SamplePanel(Init init);

    int Decimals() const { return decimals_; }
    void SetDecimals(int v);
    double ZoomScale() const { return zoomScale_; }
    void SetZoomScale(double v);

    int initCount = 0;
    int readCount = 0;
    int writeCount = 0;
    int resizeCount = 0;

    forms::Label& Label1 = Add<forms::Label>("Label1");
    forms::TextBox& DecimalsTxt = Add<forms::TextBox>("DecimalsTxt");

private:
    int decimals_ = 3;
    double zoomScale_ = 0.4;
};

// A form hosting the panel.
class frmHost : public forms::Form {
public:
    frmHost();
    SamplePanel& SD = Add<SamplePanel>("SD");
};

}  // namespace sample
