// The common tools panel and its numbered blocks: the layout and the tab
// switching of the top frames, the scroll bars, the key filter with its
// Enter and space shortcuts, and the sector, city-block and parcel blocks
// inserted on their sector layers with their numbers in normal form.

#include <gtest/gtest.h>

#include "ComumTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Testing.h"
#include "topography/TOPDes.h"

using namespace comumtest;
using namespace forms;

namespace {

class PainelComum : public ComumTest {
protected:
    // How many block references model space holds.
    std::size_t Blocos()
    {
        std::size_t n = 0;
        for (acad::Entity* e : *gModelSpace)
            if (dynamic_cast<acad::BlockReference*>(e)) ++n;
        return n;
    }
    bool TemCamada(const std::string& Nome)
    {
        for (acad::Layer* l : Doc().Layers())
            if (l->Name() == Nome) return true;
        return false;
    }
};

TEST_F(PainelComum, TabsFramesAndScrollBars)
{
    ASSERT_EQ(CM.SSTab1.Tabs(), 4);
    const char* abas[] = {"Setor", "Quad.", "Lote", "Editar"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(CM.SSTab1.TabCaption(i), abas[i]);
    EXPECT_EQ(CM.Frame1(0).Left(), 120);
    EXPECT_EQ(CM.Frame1(1).Left(), 120);
    EXPECT_EQ(CM.Label1(0).Caption(), " Setor:");
    EXPECT_EQ(CM.Label1(1).Caption(), " Quadra:");
    EXPECT_EQ(CM.DrwCmd(4).ToolTipText(), "Captura em planta");
    EXPECT_EQ(CM.DrwCmd(5).ToolTipText(), "Conforme o texto");
    EXPECT_EQ(CM.SequencialCmd.ToolTipText(),
              "Sequencia: Lote, Edificação e Hidrometro - Clique no Hidrometro para acionar.");
    EXPECT_EQ(CM.UpgradeCmd.Caption(), "Atualiza Blocos Cadastro");
    EXPECT_EQ(CM.UnidTxt.Text(), "01");
    // The meter frames, drawn at build time, out of sight until a meter is pointed at.
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(CM.HidUp(i).Picture().Empty()) << i;
        EXPECT_GE(CM.HidUp(i).Left(), CM.Picture1.Width()) << i;
    }
    const long cores[7] = {255, 65535, 65280, 16776960, 16711680, 16711935, 0};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(CM.CoresGrade[i], cores[i]);
    for (Control* c : std::initializer_list<Control*>{&CM.Progress, &CM.SSTab1, &CM.Frame1(1)}) {
        EXPECT_LE(c->Top() + c->Height(), 3810) << c->Name();
        EXPECT_LE(c->Left() + c->Width(), 2595) << c->Name();
    }
    CM.Move(0, 0, 5000, 6000);
    EXPECT_EQ(CM.Width(), 2595);
    EXPECT_EQ(CM.Height(), 3810);

    // Which of the top frames and buttons each tab shows.
    struct Estado {
        bool setor, quadra, drw0, drw1;
    };
    const Estado estados[] = {{true, false, true, false},
                              {true, true, false, true},
                              {true, true, false, false},
                              {false, false, false, false}};
    for (int aba : {1, 2, 3, 0, 3, 1}) {
        user::ChooseTab(CM.SSTab1, aba);
        EXPECT_EQ(CM.Frame1(0).Visible(), estados[aba].setor) << aba;
        EXPECT_EQ(CM.Frame1(1).Visible(), estados[aba].quadra) << aba;
        EXPECT_EQ(CM.DrwCmd(0).Visible(), estados[aba].drw0) << aba;
        EXPECT_EQ(CM.DrwCmd(1).Visible(), estados[aba].drw1) << aba;
    }

    // The unit in two digits; the swatch runs round 1..6.
    user::ChooseTab(CM.SSTab1, 2);
    user::Scroll(CM.UnidScr, 8);
    EXPECT_EQ(CM.UnidTxt.Text(), "09");
    user::Scroll(CM.UnidScr, 3);
    EXPECT_EQ(CM.UnidTxt.Text(), "12");
    user::ChooseTab(CM.SSTab1, 1);
    EXPECT_EQ(CM.GRScr.Value(), 1);
    EXPECT_EQ(CM.GRPic.BackColor(), 255);
    user::Scroll(CM.GRScr, -1);
    EXPECT_EQ(CM.GRScr.Value(), 6);
    EXPECT_EQ(CM.GRPic.BackColor(), 16711935);
    user::Scroll(CM.GRScr, 1);
    EXPECT_EQ(CM.GRScr.Value(), 1);
    user::Scroll(CM.GRScr, 2);
    EXPECT_EQ(CM.GRPic.BackColor(), 65280);

    // "Sequencial" hides the building button while checked.
    user::ChooseTab(CM.SSTab1, 2);
    user::Click(CM.SequencialCmd);
    EXPECT_FALSE(CM.EdifCmd.Visible());
    user::Click(CM.SequencialCmd);
    EXPECT_TRUE(CM.EdifCmd.Visible());
}

TEST_F(PainelComum, NumbersInNormalFormOnTheSectorLayer)
{
    // Sector 007, block 012, parcel 0120: layer SETOR_7, "7-12", "120".
    CM.SetorTxt.SetText("007");
    CM.QuadraTxt.SetText("012");
    user::ChooseTab(CM.SSTab1, 2);
    CM.LoteTxt.SetText("0120");
    script->Point({10, 20, 0});
    user::Click(CM.DrwCmd(5));
    auto lotes = Insercoes("COM_LOTE");
    ASSERT_EQ(lotes.size(), 1u);
    EXPECT_EQ(lotes[0]->Layer(), "SETOR_7");
    EXPECT_EQ(Atributo(lotes[0], "S-Q"), "7-12");
    EXPECT_EQ(Atributo(lotes[0], "LOTE"), "120");
    EXPECT_DOUBLE_EQ(lotes[0]->InsertionPoint().x, 10);
    EXPECT_DOUBLE_EQ(lotes[0]->Rotation(), 0);
    EXPECT_EQ(script->Prompts().back(), "Ponto de inserção:");

    // City blocks of the three kinds, numbers above the 16-bit range kept whole.
    user::ChooseTab(CM.SSTab1, 1);
    CM.SetorTxt.SetText("40000");
    CM.QuadraTxt.SetText("0012");
    CM.QuadraDTxt.SetText("70000");
    CM.QuadraDDTxt(0).SetText("03");
    CM.QuadraDDTxt(1).SetText("009");
    script->Point({0, 0, 0}).Point({50, 0, 0}).Point({100, 0, 0});
    user::Click(CM.DrwCmd(1));
    user::Click(CM.DrwCmd(2));
    user::Click(CM.DrwCmd(3));
    auto q = Insercoes("COM_QUADRA");
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(Atributo(q[0], "QUADRA"), "12");
    EXPECT_EQ(Atributo(q[0], "SETOR"), "40000");
    EXPECT_EQ(q[0]->Layer(), "SETOR_40000");
    auto qd = Insercoes("COM_QUADRAD");
    ASSERT_EQ(qd.size(), 1u);
    EXPECT_EQ(Atributo(qd[0], "QUADRA"), "70000");
    auto qdd = Insercoes("COM_QUADRADD");
    ASSERT_EQ(qdd.size(), 1u);
    EXPECT_EQ(Atributo(qdd[0], "QI"), "3");
    EXPECT_EQ(Atributo(qdd[0], "QF"), "9");
    EXPECT_EQ(Atributo(qdd[0], "SETOR"), "40000");
    EXPECT_EQ(qdd[0]->Layer(), "SETOR_40000");
    // The entities inside the definitions stay on the builder's layers; no
    // number advanced.
    EXPECT_TRUE(TemCamada("COD_QUADRA"));
    EXPECT_EQ(CM.QuadraTxt.Text(), "0012");
    EXPECT_TRUE(mensagens.Lista().empty());

    // A cancelled point: nothing inserted, the layer and the definition made.
    user::ChooseTab(CM.SSTab1, 0);
    CM.SetorTxt.SetText("5");
    script->Escape().Enter();
    user::Click(CM.DrwCmd(0));
    EXPECT_TRUE(Insercoes("COM_SETOR").empty());
    EXPECT_TRUE(TemCamada("SETOR_5"));
    EXPECT_NE(Doc().Blocks().Find("COM_SETOR"), nullptr);
    EXPECT_EQ(script->Remaining(), 0u);

    // The capture from a grid tick puts the unit back to 01 first, even when
    // the scroll bar stood at 1 and the box was typed over.
    user::ChooseTab(CM.SSTab1, 2);
    CM.UnidTxt.SetText("07");
    script->Escape().Escape().Escape();
    user::Click(CM.DrwCmd(4));
    EXPECT_EQ(CM.UnidTxt.Text(), "01");
    EXPECT_EQ(CM.UnidScr.Value(), 1);
}

TEST_F(PainelComum, TheSectorGoesIntoTheFirstAttributeWhateverItsTag)
{
    CatalogoPequeno(
        "INSERT INTO T_DXFs VALUES ('COM_SETOR', 'Circle', '0,0', '5', NULL);"
        "INSERT INTO T_DXFs VALUES ('COM_SETOR', 'Attribute', '2', '0,0', '01,NUMSET,COD_SETOR,0,0,1,ROMANS');"
        "INSERT INTO T_DXFs VALUES ('COM_SETOR', 'Attribute', '1', '0,-3', '02,SETOR,COD_SETOR,0,0,1,ROMANS');");
    CM.Start();
    CM.SetorTxt.SetText("08");
    script->Point({1, 1, 0});
    user::Click(CM.DrwCmd(0));
    auto s = Insercoes("COM_SETOR");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(Atributo(s[0], "NUMSET"), "8");
    EXPECT_EQ(Atributo(s[0], "SETOR"), "") << "only the first attribute";
    EXPECT_EQ(s[0]->Layer(), "SETOR_8");
    // The circle of a block with no layer of its own stays on "0".
    for (acad::Entity* e : *Doc().Blocks().Find("COM_SETOR"))
        if (e->ObjectName() == "AcDbCircle") {
            EXPECT_EQ(e->Layer(), "0");
        }
}

TEST_F(PainelComum, KeyFilterAndShortcuts)
{
    // Letters and signs dropped from the number boxes, kept in the parcel box.
    user::ChooseTab(CM.SSTab1, 2);
    Digita(CM.SetorTxt, "7a-b.1");
    EXPECT_EQ(CM.SetorTxt.Text(), "71");
    Digita(CM.LoteTxt, "12a");
    EXPECT_EQ(CM.LoteTxt.Text(), "12a");
    CM.SetorTxt.SetText("7");

    // Enter in the sector box inserts the sector only on "Setor".
    user::ChooseTab(CM.SSTab1, 1);
    user::PressKey(CM.SetorTxt, vbKeyReturn);
    EXPECT_TRUE(Insercoes("COM_SETOR").empty());
    user::ChooseTab(CM.SSTab1, 0);
    script->Point({0, 0, 0});
    user::PressKey(CM.SetorTxt, vbKeyReturn);
    EXPECT_EQ(Insercoes("COM_SETOR").size(), 1u);
    EXPECT_EQ(CM.SetorTxt.Text(), "7") << "the key itself is not typed";

    // On "Quad.": the block box, the second block box, the range.
    CM.QuadraTxt.SetText("12");
    user::PressKey(CM.QuadraTxt, vbKeyReturn);
    EXPECT_TRUE(Insercoes("COM_QUADRA").empty()) << "not on \"Setor\"";
    user::ChooseTab(CM.SSTab1, 1);
    script->Point({10, 0, 0}).Point({20, 0, 0});
    user::PressKey(CM.QuadraTxt, vbKeySpace);
    CM.QuadraDTxt.SetText("13");
    user::PressKey(CM.QuadraDTxt, vbKeyReturn);
    EXPECT_EQ(Insercoes("COM_QUADRA").size(), 1u);
    EXPECT_EQ(Insercoes("COM_QUADRAD").size(), 1u);
    EXPECT_EQ(CM.QuadraTxt.Text(), "12");

    CM.QuadraDDTxt(0).SetText("1");
    CM.QuadraDDTxt(1).SetText("4");
    user::PressKey(CM.QuadraDDTxt(0), vbKeyReturn);
    EXPECT_TRUE(Insercoes("COM_QUADRADD").empty()) << "Enter in the first only moves on";
    EXPECT_TRUE(CM.QuadraDDTxt(1).HasFocus());
    script->Point({30, 0, 0});
    user::PressKey(CM.QuadraDDTxt(1), vbKeyReturn);
    EXPECT_EQ(Insercoes("COM_QUADRADD").size(), 1u);
    EXPECT_EQ(script->Remaining(), 0u);

    // The first ten characters are selected on entry.
    CM.QuadraDTxt.SetText("123456789012");
    user::Focus(CM.QuadraDTxt);
    EXPECT_EQ(CM.QuadraDTxt.SelStart(), 0);
    EXPECT_EQ(CM.QuadraDTxt.SelLength(), 10);
}

TEST_F(PainelComum, EveryMissingOrUnreadableNumberHasItsMessageAndDrawsNothing)
{
    struct Caso {
        int aba, botao;
        const char* setor;
        const char* quadra;
        const char* quadraD;
        const char* dd0;
        const char* dd1;
        const char* lote;
        const char* titulo;
        const char* texto;
        TextBox* foco;
        bool camada;  // the sector layer is made before the message
    };
    const Caso casos[] = {
        {0, 0, "", "", "", "", "", "", "Inserir bloco SETOR", "Preencha o número do Setor.", &CM.SetorTxt, false},
        {1, 1, "3", "", "", "", "", "", "Inserir bloco QUADRA", "Preencha o número da Quadra.", &CM.QuadraTxt, true},
        {1, 1, "", "5", "", "", "", "", "Inserir bloco QUADRA", "Preencha o número do Setor.", &CM.SetorTxt, false},
        {1, 2, "3", "5", "", "", "", "", "Inserir bloco QUADRA", "Preencha o número da Quadra.", &CM.QuadraDTxt, true},
        {1, 3, "3", "", "", "", "4", "", "Inserir bloco QUADRA", "Preencha o número da Quadra.", &CM.QuadraDDTxt(0),
         true},
        {1, 3, "3", "", "", "2", "", "", "Inserir bloco QUADRA", "Preencha o número da Quadra.", &CM.QuadraDDTxt(1),
         true},
        {2, 5, "", "5", "", "", "", "1", "Inserir bloco LOTE", "Preencha o número do Setor.", &CM.SetorTxt, false},
        {2, 5, "3", "", "", "", "", "1", "Inserir bloco LOTE", "Preencha o número da Quadra.", &CM.QuadraTxt, false},
        {2, 5, "3", "5", "", "", "", "", "Inserir bloco LOTE", "Preencha o número do Lote.", &CM.LoteTxt, false},
        // Not a whole number: the same as empty.
        {2, 5, "3", "5", "", "", "", "12a", "Inserir bloco LOTE", "Preencha o número do Lote.", &CM.LoteTxt, false},
        {2, 5, "3", "5", "", "", "", "1.5", "Inserir bloco LOTE", "Preencha o número do Lote.", &CM.LoteTxt, false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.titulo) + " / " + c.texto + " / " + c.lote);
        user::ChooseTab(CM.SSTab1, c.aba);
        CM.SetorTxt.SetText(c.setor);
        CM.QuadraTxt.SetText(c.quadra);
        CM.QuadraDTxt.SetText(c.quadraD);
        CM.QuadraDDTxt(0).SetText(c.dd0);
        CM.QuadraDDTxt(1).SetText(c.dd1);
        CM.LoteTxt.SetText(c.lote);
        mensagens.Limpa();
        user::Click(CM.DrwCmd(c.botao));
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_EQ(mensagens.Lista()[0].Titulo, c.titulo);
        EXPECT_EQ(mensagens.Lista()[0].Texto, c.texto);
        DoEvents();
        EXPECT_TRUE(c.foco->HasFocus());
        EXPECT_EQ(Blocos(), 0u);
        EXPECT_EQ(TemCamada("SETOR_3"), c.camada);
        if (TemCamada("SETOR_3")) Doc().Layers().Item("SETOR_3")->Delete();
        EXPECT_TRUE(script->Requests().empty()) << "no point asked";
    }
}

}  // namespace
