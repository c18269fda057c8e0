#include "shell/modJanela.h"

#include "platform/forms/Application.h"
#include "shell/modGlobais.h"

void AplicaPele(forms::Form& Form, forms::ControlArray<forms::Shape>& Shape1, forms::PictureBox* Banner, bool Topmost,
                std::initializer_list<forms::Control*> Alcas)
{
    PreparaMoldura(Shape1);
    forms::Form* f = &Form;
    auto* shapes = &Shape1;
    Form.Load += [f, Banner, Topmost] {
        if (Banner) Banner->SetPicture(gBanner);
        if (Topmost) StayOnTop(*f);
    };
    Form.Resize += [f, shapes] { DesenhaMoldura(*f, *shapes); };
    for (forms::Control* alca : Alcas)
        alca->MouseDown += [f](int Button, int, double, double) { ArrastaJanela(*f, Button); };
}

void StayOnTop(forms::Form& Form) { Form.SetTopMost(true); }

void ArrastaJanela(forms::Form& Form, int Button)
{
    if (Button == forms::vbLeftButton) Form.DragWindow();
}

void PreparaMoldura(forms::ControlArray<forms::Shape>& Shape1)
{
    Shape1(0).SetBorderColor(forms::vb3DDKShadow);
    Shape1(1).SetBorderColor(forms::vb3DHighlight);
    Shape1(1).SetBorderWidth(2);
    Shape1(2).SetBorderColor(forms::vbButtonShadow);
    Shape1(2).SetBorderWidth(2);
}

void DesenhaMoldura(forms::Form& Form, forms::ControlArray<forms::Shape>& Shape1)
{
    const double W = Form.Width(), H = Form.Height();
    Shape1(0).Move(0, 0, W, H);
    Shape1(0).ZOrder(forms::vbBringToFront);
    // Their far edges fall outside the form, so only the near ones show.
    Shape1(1).Move(0, 0, W + 100, H + 100);
    Shape1(2).Move(-100, -100, W + 100, H + 100);
}

double PosicaoDialogo(int Lembrada, double TamanhoTela, double TamanhoJanela)
{
    if (Lembrada > 0) return Lembrada;
    return TamanhoTela / 2 - TamanhoJanela / 2;
}

void PosicionaDialogo(forms::Form& Form, int Left, int Top)
{
    Form.Move(PosicaoDialogo(Left, forms::Screen.Width(), Form.Width()),
              PosicaoDialogo(Top, forms::Screen.Height(), Form.Height()));
}
