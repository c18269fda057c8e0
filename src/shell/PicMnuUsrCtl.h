#pragma once
// A menu of picture buttons made of three pictures of the same size: all
// buttons flat, all raised (hover) and all pressed. The picture is cut into a
// grid of equal cells; each button covers one cell or a rectangle of cells.
// Hovering repaints the button from the raised picture and tells its
// description (Mouse); pressing repaints it from the pressed picture and
// tells its number (Click).
//
//     InsMenu.NewMenu("Insumos", 2, 2, 107, 135, flat, up, down);
//     InsMenu.AddBotao(1, "QTTs", "Inserir Quantitativos no desenho", "xx", "xx", 1, 0, 0, 0);
//     InsMenu.Click += [this](int Index) { InsMenu_Click(Index); };

#include <string>
#include <vector>

#include "platform/Event.h"
#include "platform/forms/Forms.h"

// One button of a picture menu (also the button rows of the water
// catalogue's material menus).
struct PicMnuBotaoRec {
    std::string Key;
    std::string Description;  // tool tip and Mouse text
    std::string Texto;        // AddBotao's Text4
    int Row = 0;
    int Column = 0;
    int ExtraRows = 0;
    int ExtraColumns = 0;
    std::string Extra1;  // kept for the hosts; the menu does not use them
    std::string Extra2;
};

// A picture-menu definition kept by a host to build its menu later.
struct PicMnuRec {
    std::string Name;
    int DimX = 0;  // button columns
    int DimY = 0;  // button rows
    std::string BackPicture;
    std::string Picture;
    std::string Text1;
    std::string Text2;
    forms::Picture PicFlat;
    forms::Picture PicUp;
    forms::Picture PicDown;
    std::vector<PicMnuBotaoRec> Botoes;  // from 1: element 0 unused
};

class PicMnuUsrCtl : public forms::UserControl {
public:
    explicit PicMnuUsrCtl(Init init);

    // Starts a menu of DimX columns by DimY rows over the three pictures;
    // the grid is cut from gPicWidth x gPicHeight, so a host passes the same
    // size. On failure the user sees "Problemas em iniciar o Menu" and the
    // menu stays off.
    void NewMenu(const std::string& Name, int DimX, int DimY, int PicHeight, int PicWidth,
                 const forms::Picture& PicFlat, const forms::Picture& PicUp, const forms::Picture& PicDown);
    // Button Index (from 1) covering the cells (Column + j, Row + i) for
    // i = 0..ExtraRows and j = 0..ExtraColumns. Text3 is not kept.
    void AddBotao(int Index, const std::string& Key, const std::string& Description, const std::string& Text3,
                  const std::string& Text4, int Row, int Column, int ExtraRows, int ExtraColumns);
    // Latches the buttons whose description is Descricao (the last one wins).
    void FixaBotao(const std::string& Descricao);
    // Shows the picture in the menu's box.
    void SetBackGround(const forms::Picture& Picture);

    // True while the menu is off: mouse events and AddBotao are ignored. A
    // host switches its menu off while one of its commands runs.
    bool MenuOff = true;

    int gDimX() const { return dimX_; }
    int gDimy() const { return dimY_; }
    int gPicWidth() const { return picWidth_; }
    void SetgPicWidth(int v);
    int gPicHeight() const { return picHeight_; }
    void SetgPicHeight(int v);
    // 0 push buttons, 1 latching buttons.
    int gEstilo() const { return estilo_; }
    void SetgEstilo(int v);

    // The button's definition (an empty one for numbers never added).
    PicMnuBotaoRec Botao(int Index) const;

    platform::Event<int> Click;          // a button was pressed: its number
    platform::Event<std::string> Mouse;  // the mouse is over a button: its description

    forms::PictureBox& Picture1 = Add<forms::PictureBox>("Picture1");
    forms::Timer& Timer1 = Add<forms::Timer>("Timer1");

private:
    static const forms::Settings<PicMnuUsrCtl> kSettings;
    void Picture1_MouseDown(int Button, int Shift, double X, double Y);
    void Picture1_MouseMove(int Button, int Shift, double X, double Y);
    void Picture1_MouseUp(int Button, int Shift, double X, double Y);
    void Timer1_Timer();
    int BotaoSob(double X, double Y);
    void Desenha(int k, const forms::Picture& origem);
    std::string Descricao(int k) const;

    int dimX_ = 0, dimY_ = 0;
    int picWidth_ = 135, picHeight_ = 107;
    int estilo_ = 0;
    forms::Picture flat_, up_, down_;
    int cellWidth_ = 0, cellHeight_ = 0;
    std::vector<int> colEdge_, rowEdge_;
    std::vector<std::vector<int>> grade_;  // [column][row] -> button number
    std::vector<PicMnuBotaoRec> botoes_;
    int numBotoes_ = 0;
    int hover_ = 0, hoverAnterior_ = 0;
    int fixado_ = -1;
    bool hoverReiniciado_ = false;
    int linha_ = 0, coluna_ = 0;
};
