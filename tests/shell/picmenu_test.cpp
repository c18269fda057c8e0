// The picture-button menu: hover, press, latching, the hover reset and the
// rectangles copied from the three pictures.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "shell/PicMnuUsrCtl.h"
#include "shell/frmMsgBox.h"

using namespace forms;
using shelltest::ModalAnswers;

namespace {

struct Host {
    Form form{"frmMenu"};
    PicMnuUsrCtl& menu = form.Add<PicMnuUsrCtl>("PtoMenu");
    std::vector<int> clicks;
    std::vector<std::string> hovers;
    Picture flat = shelltest::SolidPicture(135, 107, vbWhite);
    Picture up = shelltest::SolidPicture(135, 107, vbRed);
    Picture down = shelltest::SolidPicture(135, 107, vbBlue);

    Host()
    {
        menu.Click += [this](int i) { clicks.push_back(i); };
        menu.Mouse += [this](const std::string& d) { hovers.push_back(d); };
        form.Show();
    }
    ~Host() { forms::Unload(form); }

    // 3 x 3 cells of 45 x 35: button 1 at (0, 0), button 2 over columns 1 and
    // 2 of row 0, button 3 at (0, 1).
    void Build(int estilo = 0)
    {
        menu.SetgEstilo(estilo);
        menu.NewMenu("Pontos", 3, 3, 107, 135, flat, up, down);
        menu.AddBotao(1, "INS", "Inserir ponto", "xx", "t1", 0, 0, 0, 0);
        menu.AddBotao(2, "IMP", "Importar pontos", "xx", "t2", 0, 1, 0, 1);
        menu.AddBotao(3, "BUS", "Localizar ponto", "xx", "t3", 1, 0, 0, 0);
    }
    long At(double x, double y) const { return menu.Picture1.Point(x, y); }
    void Move(double x, double y, int button = 0) { user::MouseMove(menu.Picture1, button, 0, x, y); }
};

}  // namespace

TEST(PicMnuUsrCtl, NoMenuNoButtons)
{
    Host h;
    EXPECT_TRUE(h.menu.MenuOff);
    ModalAnswers answers;
    std::vector<std::string> textos;
    auto ok = [&](Form& f) {
        auto& m = dynamic_cast<frmMsgBox&>(f);
        textos.push_back(m.Mensagem.Caption());
        EXPECT_EQ(m.Titulo.Caption(), "Atenção");
        user::Click(m.CmdOK);
    };
    answers.On("frmMsgBox", ok).On("frmMsgBox", ok);
    h.menu.AddBotao(1, "INS", "Inserir ponto", "xx", "xx", 0, 0, 0, 0);
    EXPECT_EQ(h.menu.Botao(1).Key, "");
    // A menu of no cells cannot be made.
    h.menu.NewMenu("Pontos", 0, 3, 107, 135, h.flat, h.up, h.down);
    EXPECT_TRUE(h.menu.MenuOff);
    EXPECT_EQ(textos, (std::vector<std::string>{"Não existe Menu", "Problemas em iniciar o Menu"}));
}

TEST(PicMnuUsrCtl, HoverRaisesTheButtonAndTellsItsDescription)
{
    Host h;
    h.Build();
    EXPECT_FALSE(h.menu.MenuOff);
    EXPECT_EQ(h.menu.gDimX(), 3);
    EXPECT_EQ(h.menu.gDimy(), 3);
    EXPECT_EQ(h.menu.Picture1.Width(), 135);
    EXPECT_EQ(h.menu.Botao(1).Texto, "t1");  // the fourth text is what is kept
    EXPECT_EQ(h.At(10, 10), vbWhite);

    h.Move(10, 10);
    EXPECT_EQ(h.At(10, 10), vbRed);
    EXPECT_EQ(h.At(60, 10), vbWhite);
    EXPECT_EQ(h.menu.Picture1.ToolTipText(), "Inserir ponto");
    EXPECT_EQ(h.hovers, std::vector<std::string>{"Inserir ponto"});
    h.Move(20, 20);  // same button: nothing new
    EXPECT_EQ(h.hovers.size(), 1u);

    // A button of two cells is raised whole, and the one left goes flat.
    h.Move(130, 10);
    EXPECT_EQ(h.At(10, 10), vbWhite);
    EXPECT_EQ(h.At(50, 10), vbRed);
    EXPECT_EQ(h.At(130, 30), vbRed);
    EXPECT_EQ(h.At(50, 40), vbWhite);

    // Onto an empty cell: flat again, empty tool tip, empty description.
    h.Move(100, 100);
    EXPECT_EQ(h.At(130, 10), vbWhite);
    EXPECT_EQ(h.menu.Picture1.ToolTipText(), "");
    EXPECT_EQ(h.hovers.back(), "");

    // With a mouse button held nothing changes.
    user::MouseDown(h.menu.Picture1, vbLeftButton, 0, 100, 100);
    const auto n = h.hovers.size();
    h.Move(10, 10, vbLeftButton);
    EXPECT_EQ(h.At(10, 10), vbWhite);
    EXPECT_EQ(h.hovers.size(), n);
    user::MouseUp(h.menu.Picture1, vbLeftButton, 0, 100, 100);
    EXPECT_TRUE(h.clicks.empty());
}

TEST(PicMnuUsrCtl, PressingTellsTheNumberFromAnyOfItsCells)
{
    Host h;
    h.Build();
    h.Move(130, 10);
    user::MouseDown(h.menu.Picture1, vbLeftButton, 0, 130, 10);
    EXPECT_EQ(h.At(50, 10), vbBlue);
    EXPECT_EQ(h.At(130, 10), vbBlue);
    user::MouseUp(h.menu.Picture1, vbLeftButton, 0, 130, 10);
    EXPECT_EQ(h.At(130, 10), vbWhite);
    user::ClickAt(h.menu.Picture1, 50, 10);
    EXPECT_EQ(h.clicks, (std::vector<int>{2, 2}));
    // An empty cell: no number, no drawing.
    user::ClickAt(h.menu.Picture1, 100, 100);
    EXPECT_EQ(h.clicks.size(), 2u);
    EXPECT_EQ(h.At(100, 100), vbWhite);

    // Switched off by its host, the menu ignores the mouse.
    h.menu.MenuOff = true;
    user::ClickAt(h.menu.Picture1, 10, 10);
    h.Move(10, 50);
    EXPECT_EQ(h.clicks.size(), 2u);
    EXPECT_EQ(h.At(10, 50), vbWhite);
}

TEST(PicMnuUsrCtl, ALatchingMenuKeepsOneButtonPressed)
{
    Host h;
    h.Build(1);
    user::ClickAt(h.menu.Picture1, 10, 10);
    EXPECT_EQ(h.At(10, 10), vbBlue);
    user::ClickAt(h.menu.Picture1, 100, 10);
    EXPECT_EQ(h.At(10, 10), vbWhite);
    EXPECT_EQ(h.At(100, 10), vbBlue);
    EXPECT_EQ(h.clicks, (std::vector<int>{1, 2}));

    h.Move(10, 10);
    EXPECT_EQ(h.At(10, 10), vbRed);
    EXPECT_EQ(h.At(100, 10), vbBlue);
    h.Move(100, 100);
    EXPECT_EQ(h.At(10, 10), vbWhite);
    EXPECT_EQ(h.At(100, 10), vbBlue);
    h.Move(100, 10);  // over the latched one: it stays pressed
    EXPECT_EQ(h.At(100, 10), vbBlue);

    // Latched by its description.
    h.menu.FixaBotao("Localizar ponto");
    EXPECT_EQ(h.At(10, 50), vbBlue);
    EXPECT_EQ(h.At(100, 10), vbWhite);
}

TEST(PicMnuUsrCtl, TheTimerLaysTheHoveredButtonFlatAndTheNextMoveRedraws)
{
    Host h;
    h.Build();
    h.Move(10, 10);
    EXPECT_TRUE(h.menu.Timer1.Enabled());
    EXPECT_EQ(h.menu.Timer1.Interval(), 5000);
    h.menu.Timer1.Tick.Raise();
    EXPECT_EQ(h.At(10, 10), vbWhite);
    EXPECT_FALSE(h.menu.Timer1.Enabled());
    // The same button again is raised again, and told again.
    h.Move(12, 12);
    EXPECT_EQ(h.At(10, 10), vbRed);
    EXPECT_EQ(h.hovers, (std::vector<std::string>{"Inserir ponto", "Inserir ponto"}));
}

TEST(PicMnuUsrCtl, ItsSettingsAreKeptForTheRun)
{
    {
        Host h;
        EXPECT_EQ(h.menu.gPicWidth(), 135);
        EXPECT_EQ(h.menu.gPicHeight(), 107);
        EXPECT_EQ(h.menu.gEstilo(), 0);
        h.menu.SetgPicWidth(150);
        EXPECT_EQ(h.menu.Picture1.Width(), 150);
        h.menu.SetgEstilo(1);
    }
    Host h;
    EXPECT_EQ(h.menu.gPicWidth(), 150);
    EXPECT_EQ(h.menu.gEstilo(), 1);
    h.menu.SetgPicWidth(135);
    h.menu.SetgEstilo(0);
}
