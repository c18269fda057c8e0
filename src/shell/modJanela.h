#pragma once
// The skin every window of the program shares: no system border, kept above
// the other windows (the drawing host's included), dragged by its banner or
// title, framed by three rectangle shapes that give it a raised edge.
//
// A dialog of the system puts it on in its constructor, after its controls:
//     AplicaPele(*this, Shape1, &Picture1(1), true, {&Picture1(1), &Titulo});

#include <initializer_list>

#include "platform/forms/ControlHost.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/PictureBox.h"

// The whole skin: the frame's design and its layout at every resize; at load
// gBanner shown in Banner (null: no banner) and, with Topmost, the window kept
// on top; a left-button press on any of the handles drags the window.
void AplicaPele(forms::Form& Form, forms::ControlArray<forms::Shape>& Shape1, forms::PictureBox* Banner, bool Topmost,
                std::initializer_list<forms::Control*> Alcas);

// Makes the form a topmost window without moving or resizing it.
void StayOnTop(forms::Form& Form);

// The drag gesture: a press of the left button lets the user move the window
// as if its title bar had been grabbed; other buttons do nothing.
void ArrastaJanela(forms::Form& Form, int Button);

// Design colours and widths of the frame shapes (elements 0, 1 and 2).
void PreparaMoldura(forms::ControlArray<forms::Shape>& Shape1);

// Lays the frame along the form's edges: an outline (element 0), a light edge
// along the top and left (element 1) and a shadow along the right and bottom
// (element 2), each offset by 100 twips. Called on every resize.
void DesenhaMoldura(forms::Form& Form, forms::ControlArray<forms::Shape>& Shape1);

// A dialog's left (or top) edge: the remembered one when it is positive, else
// the one that centres the window on the screen.
double PosicaoDialogo(int Lembrada, double TamanhoTela, double TamanhoJanela);

// Places the dialog at the remembered position (gMsgLeft, gMsgTop or the
// caller's own pair), centring it in each direction whose value is not positive.
void PosicionaDialogo(forms::Form& Form, int Left, int Top);
