#include "SampleForm.h"

using namespace forms;

namespace sample {

frmSample::frmSample() : Form("frmSample")
{
    // design
    SetBorderStyle(0);
    SetCaption("Amostra");
    Move(1500, 1500, 4800, 3000);
    Picture1(1).Move(120, 120, 855, 855);
    Picture1(1).SetBackColor(vbRed);
    Picture1(1).SetBorderStyle(0);
    Titulo.Move(1080, 120, 3000, 285);
    Titulo.SetCaption("Título");
    Titulo.SetFontBold(true);
    Text1.Move(1080, 600, 1800, 285);
    CmdOK.Move(3600, 2400, 975, 375);
    CmdOK.SetCaption("OK");
    CmdCancel.Move(2520, 2400, 975, 375);
    CmdCancel.SetCaption("Cancelar");
    Shape1(0).SetBorderColor(vbButtonShadow);
    Shape1(1).SetBorderColor(vb3DHighlight);
    Shape1(1).SetBorderWidth(2);
    Shape1(2).SetBorderColor(vb3DDKShadow);
    Shape1(2).SetBorderWidth(2);

    // events
    Load += [this] { Form_Load(); };
    Paint += [this] { Form_Paint(); };
    Resize += [this] { Form_Resize(); };
    Activate += [this] { events.push_back("Activate"); };
    QueryUnload += [this](int&, int mode) { events.push_back("QueryUnload " + std::to_string(mode)); };
    Unload += [this](int&) { events.push_back("Unload"); };
    Picture1.MouseDown += [this](int i, int b, int s, double x, double y) { Picture1_MouseDown(i, b, s, x, y); };
    Titulo.MouseDown += [this](int b, int s, double x, double y) { Titulo_MouseDown(b, s, x, y); };
    Text1.Change += [this] { Text1_Change(); };
    Text1.KeyPress += [this](int& k) { Text1_KeyPress(k); };
    CmdOK.Click += [this] { CmdOK_Click(); };
    CmdCancel.Click += [this] { CmdCancel_Click(); };
}

void frmSample::Form_Load()
{
    events.push_back("Load");
    SetTopMost(true);
}

void frmSample::Form_Paint()
{
    events.push_back("Paint");
    Text1.SetFocus();
}

void frmSample::Form_Resize()
{
    events.push_back("Resize");
    DrawFrame();
}

void frmSample::Picture1_MouseDown(int, int Button, int, double, double)
{
    if (Button == vbLeftButton) DragWindow();
}

void frmSample::Titulo_MouseDown(int Button, int, double, double)
{
    if (Button == vbLeftButton) DragWindow();
}

void frmSample::Text1_Change() { Valor = Text1.Text(); }

// Digits, "-", ".", Backspace and Enter pass; "," becomes "."; the rest is dropped.
void frmSample::Text1_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 8 || KeyAscii == 13) return;
    if (KeyAscii == ',') KeyAscii = '.';
    if (KeyAscii == '-' || KeyAscii == '.' || (KeyAscii >= '0' && KeyAscii <= '9')) return;
    KeyAscii = 0;
}

void frmSample::CmdOK_Click()
{
    OK = true;
    Cancel = false;
    Hide();
}

void frmSample::CmdCancel_Click()
{
    Cancel = true;
    OK = false;
    Hide();
}

// A light edge along the top and left, a shadow along the right and bottom.
void frmSample::DrawFrame()
{
    const double W = Width(), H = Height();
    Shape1(0).Move(0, 0, W, H);
    Shape1(0).ZOrder(0);
    Shape1(1).Move(0, 0, W + 100, H + 100);
    Shape1(2).Move(-100, -100, W + 100, H + 100);
}

SamplePanel::SamplePanel(Init init) : UserControl(std::move(init))
{
    Label1.Move(120, 120, 1500, 255);
    Label1.SetCaption("Casas decimais:");
    DecimalsTxt.Move(1680, 120, 600, 285);

    InitProperties += [this] {
        ++initCount;
        decimals_ = 3;
        zoomScale_ = 0.4;
    };
    ReadProperties += [this](PropertyBag& bag) {
        ++readCount;
        decimals_ = bag.ReadProperty("Decimals", 3);
        zoomScale_ = bag.ReadProperty("ZoomScale", 0.4);
        DecimalsTxt.SetText(std::to_string(decimals_));
    };
    WriteProperties += [this](PropertyBag& bag) {
        ++writeCount;
        bag.WriteProperty("Decimals", decimals_, 3);
        bag.WriteProperty("ZoomScale", zoomScale_, 0.4);
    };
    // The panel keeps its size whatever its host gives it.
    Resize += [this] {
        ++resizeCount;
        Size(2595, 3810);
    };
}

void SamplePanel::SetDecimals(int v)
{
    decimals_ = v;
    PropertyChanged("Decimals");
}

void SamplePanel::SetZoomScale(double v)
{
    zoomScale_ = v;
    PropertyChanged("ZoomScale");
}

frmHost::frmHost() : Form("frmHost")
{
    Move(0, 0, 4000, 5000);
    SD.Move(120, 120, 2595, 3810);
}

}  // namespace sample
