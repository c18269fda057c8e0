#include "shell/PicMnuUsrCtl.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "shell/modMensagem.h"

using namespace forms;

PicMnuUsrCtl::PicMnuUsrCtl(Init init) : UserControl(std::move(init))
{
    // The menu is laid out and hit-tested in the pictures' pixels.
    SetScaleMode(vbPixels);
    Picture1.SetScaleMode(vbPixels);
    Picture1.SetBorderStyle(0);
    Picture1.SetAutoRedraw(true);
    Picture1.Move(0, 0, picWidth_, picHeight_);
    Timer1.SetInterval(5000);
    Timer1.SetEnabled(false);

    KeepSettings(kSettings);
    Picture1.MouseDown += [this](int b, int s, double x, double y) { Picture1_MouseDown(b, s, x, y); };
    Picture1.MouseMove += [this](int b, int s, double x, double y) { Picture1_MouseMove(b, s, x, y); };
    Picture1.MouseUp += [this](int b, int s, double x, double y) { Picture1_MouseUp(b, s, x, y); };
    Timer1.Tick += [this] { Timer1_Timer(); };
}

void PicMnuUsrCtl::NewMenu(const std::string&, int DimX, int DimY, int PicHeight, int PicWidth,
                           const forms::Picture& PicFlat, const forms::Picture& PicUp, const forms::Picture& PicDown)
{
    try {
        if (DimX < 1 || DimY < 1) throw std::runtime_error("menu without cells");
        dimX_ = DimX;
        dimY_ = DimY;
        Picture1.SetWidth(PicWidth);
        Picture1.SetHeight(PicHeight);
        flat_ = PicFlat;
        up_ = PicUp;
        down_ = PicDown;
        Picture1.SetPicture(flat_);

        cellWidth_ = picWidth_ / dimX_;
        cellHeight_ = picHeight_ / dimY_;
        if (cellWidth_ < 1 || cellHeight_ < 1) throw std::runtime_error("cells smaller than a pixel");
        colEdge_.assign(static_cast<std::size_t>(dimX_) + 2, 0);
        for (int k = 0; k <= dimX_ + 1; ++k) colEdge_[static_cast<std::size_t>(k)] = picWidth_ * k / dimX_;
        rowEdge_.assign(static_cast<std::size_t>(dimY_) + 2, 0);
        for (int k = 0; k <= dimY_ + 1; ++k) rowEdge_[static_cast<std::size_t>(k)] = picHeight_ * k / dimY_;
        grade_.assign(static_cast<std::size_t>(dimX_) + 2, std::vector<int>(static_cast<std::size_t>(dimY_) + 2, 0));
        botoes_.assign(static_cast<std::size_t>(dimX_) * static_cast<std::size_t>(dimY_) + 2, PicMnuBotaoRec{});
        numBotoes_ = 0;
        hover_ = hoverAnterior_ = 0;
        fixado_ = -1;
        MenuOff = false;
    } catch (const std::exception&) {
        MenuOff = true;
        ExibeMensagem(0, "Atenção", "Problemas em iniciar o Menu");
    }
}

void PicMnuUsrCtl::AddBotao(int Index, const std::string& Key, const std::string& Description, const std::string&,
                            const std::string& Text4, int Row, int Column, int ExtraRows, int ExtraColumns)
{
    if (MenuOff) {
        ExibeMensagem(0, "Atenção", "Não existe Menu");
        return;
    }
    if (Index < 0) return;
    if (static_cast<std::size_t>(Index) >= botoes_.size()) botoes_.resize(static_cast<std::size_t>(Index) + 1);
    PicMnuBotaoRec& b = botoes_[static_cast<std::size_t>(Index)];
    b.Key = Key;
    b.Description = Description;
    b.Texto = Text4;
    b.Row = Row;
    b.Column = Column;
    b.ExtraRows = ExtraRows;
    b.ExtraColumns = ExtraColumns;
    // Cells beyond the grid cannot be pointed at: they are not marked.
    for (int i = 0; i <= ExtraRows; ++i)
        for (int j = 0; j <= ExtraColumns; ++j) {
            const int c = Column + j, r = Row + i;
            if (c < 0 || r < 0 || c > dimX_ + 1 || r > dimY_ + 1) continue;
            grade_[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] = Index;
        }
    ++numBotoes_;
}

void PicMnuUsrCtl::FixaBotao(const std::string& Descricao)
{
    for (std::size_t k = 1; k < botoes_.size(); ++k) {
        if (botoes_[k].Description != Descricao) continue;
        if (fixado_ != -1) Desenha(fixado_, flat_);
        fixado_ = static_cast<int>(k);
        Desenha(fixado_, down_);
    }
}

void PicMnuUsrCtl::SetBackGround(const forms::Picture& Picture) { Picture1.SetPicture(Picture); }

void PicMnuUsrCtl::SetgPicWidth(int v)
{
    picWidth_ = v;
    Picture1.SetWidth(v);
    PropertyChanged("gPicWidth");
}

void PicMnuUsrCtl::SetgPicHeight(int v)
{
    picHeight_ = v;
    Picture1.SetHeight(v);
    PropertyChanged("gPicHeight");
}

void PicMnuUsrCtl::SetgEstilo(int v)
{
    estilo_ = v;
    PropertyChanged("gEstilo");
}

PicMnuBotaoRec PicMnuUsrCtl::Botao(int Index) const
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= botoes_.size()) return {};
    return botoes_[static_cast<std::size_t>(Index)];
}

// Reading the sizes back leaves Picture1 as it is: NewMenu sizes it.
const forms::Settings<PicMnuUsrCtl> PicMnuUsrCtl::kSettings = {
    {"gPicWidth", &PicMnuUsrCtl::picWidth_, 135},
    {"gPicHeight", &PicMnuUsrCtl::picHeight_, 107},
    {"gEstilo", &PicMnuUsrCtl::estilo_, 0},
};

void PicMnuUsrCtl::Picture1_MouseDown(int, int, double X, double Y)
{
    if (MenuOff) return;
    const int k = BotaoSob(X, Y);
    if (k == 0) return;
    if (estilo_ == 0) {
        Desenha(k, down_);
    } else if (estilo_ == 1) {
        if (fixado_ != -1) Desenha(fixado_, flat_);
        Desenha(k, down_);
        fixado_ = k;
    }
    Click.Raise(k);
}

void PicMnuUsrCtl::Picture1_MouseMove(int Button, int, double X, double Y)
{
    if (MenuOff || Button != 0) return;
    hover_ = BotaoSob(X, Y);
    if (!hoverReiniciado_ && hover_ == hoverAnterior_) return;
    Picture1.SetToolTipText(Descricao(hover_));
    if (estilo_ == 0) {
        if (hoverAnterior_ != hover_) Desenha(hoverAnterior_, flat_);
        if (hover_ != 0) Desenha(hover_, up_);
    } else if (estilo_ == 1) {
        if (hoverAnterior_ != fixado_ && hoverAnterior_ != hover_) Desenha(hoverAnterior_, flat_);
        if (hover_ != 0 && hover_ != fixado_) Desenha(hover_, up_);
    }
    hoverAnterior_ = hover_;
    Mouse.Raise(Descricao(hover_));
    Timer1.SetEnabled(true);
    hoverReiniciado_ = false;
}

void PicMnuUsrCtl::Picture1_MouseUp(int, int, double, double)
{
    if (MenuOff || estilo_ != 0) return;
    Desenha(hover_, flat_);
}

// The mouse may have left the menu without a last move over it: the raised
// button goes flat after a while.
void PicMnuUsrCtl::Timer1_Timer()
{
    if (hoverAnterior_ != fixado_) Desenha(hoverAnterior_, flat_);
    Timer1.SetEnabled(false);
    hoverReiniciado_ = true;
}

int PicMnuUsrCtl::BotaoSob(double X, double Y)
{
    if (cellWidth_ < 1 || cellHeight_ < 1 || X < 0 || Y < 0) return 0;
    coluna_ = static_cast<int>(std::trunc(X)) / cellWidth_;
    linha_ = static_cast<int>(std::trunc(Y)) / cellHeight_;
    if (coluna_ > dimX_ + 1 || linha_ > dimY_ + 1) return 0;
    return grade_[static_cast<std::size_t>(coluna_)][static_cast<std::size_t>(linha_)];
}

// Copies the button's rectangle from the same place of the given picture.
void PicMnuUsrCtl::Desenha(int k, const forms::Picture& origem)
{
    if (k <= 0 || static_cast<std::size_t>(k) >= botoes_.size()) return;
    const PicMnuBotaoRec& b = botoes_[static_cast<std::size_t>(k)];
    const auto edge = [](const std::vector<int>& edges, int i) {
        if (edges.empty()) return 0;
        return edges[static_cast<std::size_t>(std::clamp(i, 0, static_cast<int>(edges.size()) - 1))];
    };
    const double x = edge(colEdge_, b.Column), y = edge(rowEdge_, b.Row);
    const double w = edge(colEdge_, b.ExtraColumns + 1), h = edge(rowEdge_, b.ExtraRows + 1);
    if (w <= 0 || h <= 0 || origem.Empty()) return;
    Picture1.PaintPicture(origem, x, y, w, h, x, y, w, h);
}

std::string PicMnuUsrCtl::Descricao(int k) const
{
    if (k <= 0 || static_cast<std::size_t>(k) >= botoes_.size()) return {};
    return botoes_[static_cast<std::size_t>(k)].Description;
}
