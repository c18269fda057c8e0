// The water panel's picture tools over the drawing host with the shipped
// catalogue: coupling with its two questions, moving along the axis under
// ortho, mirroring, rotating, what ends a tool with nothing changed (and
// SNAPANG and ORTHOMODE as they were), the socket information, and the
// hover and pressed images.

#include <atomic>
#include <cmath>

#include "DesenhoAgua.h"
#include "cad/modDesenho.h"
#include "platform/acad/Tables.h"
#include "water/WATDes.h"
#include "water/WATDes98.h"

using namespace watertest;
using namespace forms;

namespace {

std::string NomeDasFerramentas()
{
    static std::atomic<int> n{0};
    return "frmFerramentas" + std::to_string(n++);
}

// The panel loads its tools' pictures from the program folder when it is made.
bool CarregaFiguras()
{
    forms::SetResourcePictureFolder((PastaDoPrograma() / "pictures").string());
    return true;
}

struct FormFerramentas {
    FormFerramentas() : figuras(CarregaFiguras()), form(NomeDasFerramentas()), WC(form.Add<WATDes98>("WC"))
    {
        form.Move(0, 0, 2800, 4000);
        form.Show();
    }
    ~FormFerramentas() { Unload(form); }
    bool figuras;
    Form form;
    WATDes98& WC;
};

class Ferramentas : public DesenhoAgua {
protected:
    Ferramentas() : painel(std::make_unique<FormFerramentas>()), WC(painel->WC)
    {
        for (const char* b : {"A-LUVA", "A-CURVA90", "A-TUBO"}) EXPECT_TRUE(CriaBlocoConexao(b, false));
        WC.Start(false);
    }

    acad::BlockReference* Conexao(const std::string& Bloco, const Ponto& P, double Rotacao, const std::string& Codigo,
                                  const std::string& Material = "Ferro Fundido")
    {
        acad::BlockReference* b = gModelSpace->InsertBlock(P, Bloco, 1, 1, 1, Rotacao);
        SetAtributo("CODIGO", Codigo, b);
        SetAtributo("MATERIAL", Material, b);
        SetAtributo("ETAPA", "1", b);
        return b;
    }
    // The coupling to move, its east socket at (2, 0), and a bend at (50, 50)
    // whose north socket is at (50, 54).
    void DuasConexoes(const std::string& CodigoCurva = "C90FFDN100", const std::string& MaterialCurva = "Ferro Fundido")
    {
        luva = Conexao("A-LUVA", {0, 0, 0}, 0, "LUFFDN100");
        curva = Conexao("A-CURVA90", {50, 50, 0}, 0, CodigoCurva, MaterialCurva);
    }
    // The user's answers to a tool: the coupling selected by a crossing window, then
    // the picks and points given.
    void SelecionaLuva() { script->Crossing({-1, -1, 0}, {1, 1, 0}).Enter(); }

    void Ferramenta(int Index) { user::Click(WC.FERimg(Index)); }

    // The catalogue keeps socket angles in single precision.
    static bool Perto(const Ponto& A, const Ponto& B) { return std::hypot(A.X - B.X, A.Y - B.Y) < 1e-5; }
    static double Angulo(double A) { return std::remainder(A, 2 * M_PI); }
    void EstadoOrtoIntacto(double Snapang, int Orthomode)
    {
        EXPECT_DOUBLE_EQ(Doc().GetVariable("SNAPANG").AsDouble(), Snapang);
        EXPECT_EQ(Doc().GetVariable("ORTHOMODE").AsInt(), Orthomode);
    }

    std::unique_ptr<FormFerramentas> painel;
    WATDes98& WC;
    acad::BlockReference* luva = nullptr;
    acad::BlockReference* curva = nullptr;
};

}  // namespace

TEST_F(Ferramentas, CoupleAsksOnlyAboutWhatDiffersAndPutsTheSocketOnTheTarget)
{
    // The same material and diameter: no question; the coupling's east socket
    // lands on the bend's north socket, its axis pointing at the bend's centre.
    DuasConexoes();
    SelecionaLuva();
    script->Point({1.9, 0, 0}).Point({50, 53.5, 0});
    Ferramenta(0);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(caixas.empty());
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {50, 56}));
    EXPECT_NEAR(Angulo(luva->Rotation()), -M_PI / 2, 1e-5);
    EXPECT_TRUE(Perto(curva->InsertionPoint(), {50, 50}));
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Selecione objetos: ", "Selecione objetos: ",
                                                           "Selecione conexão:", "Selecione conexão:"}));
}


TEST_F(Ferramentas, CoupleWithDifferingDiametersOrMaterialsGoesOnOnlyAfterEverySim)
{
    // The diameters differ: "Não" moves nothing.
    DuasConexoes("C90FFDN150");
    SelecionaLuva();
    script->Point({1.9, 0, 0}).Point({50, 53.5, 0});
    respostas = {false};
    Ferramenta(0);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Engatar");
    EXPECT_EQ(caixas[0].Texto, "Diâmetros não coincidentes (100 e 150)\r\nContinuar?");
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {0, 0}));
    EXPECT_EQ(luva->Rotation(), 0.0);

    // "Sim": it couples.
    caixas.clear();
    SelecionaLuva();
    script->Point({1.9, 0, 0}).Point({50, 53.5, 0});
    respostas = {true};
    Ferramenta(0);
    EXPECT_EQ(caixas.size(), 1u);
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {50, 56}));
    luva->Delete();
    curva->Delete();

    // Both differ: "Sim" to the diameters and "Não" to the materials still stops.
    caixas.clear();
    DuasConexoes("C90PBADN150", "PVC PBA");
    SelecionaLuva();
    script->Point({1.9, 0, 0}).Point({50, 53.5, 0});
    respostas = {true, false};
    Ferramenta(0);
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[1].Titulo, "Engatar");
    EXPECT_EQ(caixas[1].Texto, "Materiais não coincidentes.\r\nContinuar?");
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {0, 0}));
    // "Sim" to both couples; a "Não" to the first asks nothing more.
    caixas.clear();
    SelecionaLuva();
    script->Point({1.9, 0, 0}).Point({50, 53.5, 0});
    respostas = {true, true};
    Ferramenta(0);
    EXPECT_EQ(caixas.size(), 2u);
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {50, 56}));
    caixas.clear();
    script->Crossing({49, 55, 0}, {51, 57, 0}).Enter().Point({50, 57.9, 0}).Point({49, 51, 0});
    respostas = {false};
    Ferramenta(0);
    EXPECT_EQ(caixas.size(), 1u);
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Ferramentas, MoveHoldsToTheAxisAndPutsSnapangAndOrthomodeBackWhateverEndsIt)
{
    // The coupling turned 30°: a destination off its axis lands on the axis.
    luva = Conexao("A-LUVA", {0, 0, 0}, M_PI / 6, "LUFFDN100");
    Doc().SetVariable("SNAPANG", acad::Variant(0.25));
    const Ponto leste(2 * std::cos(M_PI / 6), 2 * std::sin(M_PI / 6));
    SelecionaLuva();
    script->Point({leste.X * 0.95, leste.Y * 0.95, 0})
        .Point({leste.X + 10 * std::cos(M_PI / 6) - 1, leste.Y + 10 * std::sin(M_PI / 6) + 1.5, 0});
    Ferramenta(1);
    const auto& pedidos = script->Requests();
    ASSERT_EQ(pedidos.size(), 4u);
    EXPECT_EQ(pedidos[3].prompt, "Destino: ");
    ASSERT_TRUE(pedidos[3].basePoint);
    EXPECT_TRUE(Perto(*pedidos[3].basePoint, leste));
    // Moved along its own direction, by the projection of the offset on it.
    const double ao = -std::cos(M_PI / 6) + 1.5 * std::sin(M_PI / 6);
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {(10 + ao) * std::cos(M_PI / 6), (10 + ao) * std::sin(M_PI / 6)}));
    EstadoOrtoIntacto(0.25, 0);

    // A destination refused (Enter) moves nothing; ORTHOMODE 1 stays 1.
    Doc().SetVariable("ORTHOMODE", acad::Variant(1));
    Doc().SetVariable("SNAPANG", acad::Variant(0.0));
    const Ponto antes = luva->InsertionPoint();
    const Ponto bolsa = Ponto(antes.X + leste.X, antes.Y + leste.Y);
    script->Crossing({antes.X - 1, antes.Y - 1, 0}, {antes.X + 1, antes.Y + 1, 0}).Enter();
    script->Point({bolsa.X - leste.X * 0.05, bolsa.Y - leste.Y * 0.05, 0}).Enter();
    Ferramenta(1);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(Perto(luva->InsertionPoint(), antes));
    EstadoOrtoIntacto(0.0, 1);
}

TEST_F(Ferramentas, MirrorLeavesOneCopyOfEachAndRotateTurnsTheAxisTowardsThePoint)
{
    // Two couplings mirrored about the first one's axis (the X axis): one copy each.
    luva = Conexao("A-LUVA", {0, 0, 0}, 0, "LUFFDN100");
    acad::BlockReference* outra = Conexao("A-LUVA", {0, 10, 0}, M_PI / 4, "LUFFDN150");
    script->Crossing({-1, -1, 0}, {1, 1, 0}).Crossing({-0.5, 9.5, 0}, {0.5, 10.5, 0}).Enter();
    script->Point({1.9, 0, 0});
    Ferramenta(2);
    EXPECT_TRUE(luva->IsErased());
    EXPECT_TRUE(outra->IsErased());
    std::vector<acad::BlockReference*> luvas = Blocos("A-LUVA");
    ASSERT_EQ(luvas.size(), 2u);
    EXPECT_TRUE(Perto(luvas[0]->InsertionPoint(), {0, 0}));
    EXPECT_TRUE(Perto(luvas[1]->InsertionPoint(), {0, -10}));
    EXPECT_EQ(Texto(luvas[1], "CODIGO"), "LUFFDN150");
    EXPECT_TRUE(caixas.empty());

    // Rotate: with ORTHOMODE 1 outside, the point is free while asked; the axis
    // from the centre through the picked socket then points at it.
    Doc().SetVariable("ORTHOMODE", acad::Variant(1));
    luva = Conexao("A-LUVA", {100, 0, 0}, 0, "LUFFDN100");
    script->Crossing({99, -1, 0}, {101, 1, 0}).Enter().Point({101.9, 0, 0}).Point({103, 3, 0});
    Ferramenta(3);
    EXPECT_EQ(script->Prompts().back(), "Rotação:");
    EXPECT_TRUE(Perto(*script->Requests().back().basePoint, {100, 0}));
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {100, 0}));
    EXPECT_NEAR(Angulo(luva->Rotation()), M_PI / 4, 1e-9);
    EstadoOrtoIntacto(0.0, 1);
}

TEST_F(Ferramentas, WithoutSelectionPickOrFittingTheToolEndsWithNothingChanged)
{
    luva = Conexao("A-LUVA", {0, 0, 0}, 0, "LUFFDN100");
    acad::Line* linha = gModelSpace->AddLine({10, -1, 0}, {10, 1, 0});
    Doc().SetVariable("SNAPANG", acad::Variant(0.5));
    const int entidades = Doc().ModelSpace().Count();

    // Nothing selected: no pick is asked. Escape at the selection: the same.
    script->Enter();
    Ferramenta(1);
    script->Escape();
    Ferramenta(0);
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Selecione objetos: ", "Selecione objetos: "}));
    // A pick on empty space ends it silently.
    SelecionaLuva();
    script->Point({30, 30, 0});
    Ferramenta(1);
    // A line picked as the fitting of reference, or as the target: told, nothing moved.
    SelecionaLuva();
    script->Point({10, 0, 0});
    Ferramenta(1);
    SelecionaLuva();
    script->Point({1.9, 0, 0}).Point({10, 0.5, 0});
    Ferramenta(0);
    EXPECT_EQ(script->Remaining(), 0u);
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[0].Titulo, "Mover");
    EXPECT_EQ(caixas[0].Texto, "O objeto selecionado não é uma conexão com bolsas.");
    EXPECT_EQ(caixas[1].Titulo, "Engatar");
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {0, 0}));
    EXPECT_EQ(luva->Rotation(), 0.0);
    EXPECT_FALSE(linha->IsErased());
    EXPECT_EQ(Doc().ModelSpace().Count(), entidades);
    EstadoOrtoIntacto(0.5, 0);
}

TEST_F(Ferramentas, InfoConexaoTellsTheSocketNearestThePick)
{
    EXPECT_TRUE(CriaBlocoConexao("A-TE", false));
    Conexao("A-TE", {0, 0, 0}, 0, "TEFFDN100x50");
    gModelSpace->AddLine({20, 0, 0}, {30, 0, 0});
    WC.SetInterface(1);
    user::ChooseTab(WC.SSTools, 1);
    // The branch (third socket, north) gives the secondary diameter.
    script->Point({0, 3.9, 0});
    user::Click(WC.InfoConexCmd);
    // Not a fitting: said so.
    script->Point({25, 0, 0});
    user::Click(WC.InfoConexCmd);
    // Nothing picked: nothing said.
    script->Point({40, 40, 0});
    user::Click(WC.InfoConexCmd);
    EXPECT_EQ(script->Prompts(),
              (std::vector<std::string>{"Selecione bolsa:", "Selecione bolsa:", "Selecione bolsa:"}));
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[0].Titulo, "Info Conexão");
    EXPECT_EQ(caixas[0].Texto, "Ferro Fundido\rTEFF - 50 (bolsa No.2)\rTubo FoFo K7 JGS");
    EXPECT_EQ(caixas[1].Titulo, "Info Conexão");
    EXPECT_EQ(caixas[1].Texto, "O objeto selecionado não é uma conexão com bolsas.");
}

TEST_F(Ferramentas, TheHoverAndPressedImagesLieBeneathTheToolUnderTheMouse)
{
    const char* dicas[] = {"Engatar", "Mover", "Espelhar", "Rotacionar"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(WC.FERimg(i).ToolTipText(), dicas[i]);
        EXPECT_FALSE(WC.FERimg(i).Picture().Empty()) << i;
    }
    const char* dicas2[] = {"Mover Atributo Conexões", "Mover Atributo Tubulações", "Amarração"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(WC.FERimg2(i).ToolTipText(), dicas2[i]);
        EXPECT_FALSE(WC.FERimg2(i).Picture().Empty()) << i;
    }
    EXPECT_FALSE(WC.Bu.Visible());
    EXPECT_FALSE(WC.Bd.Visible());

    user::Hover(WC.FERimg(2));
    EXPECT_TRUE(WC.Bu.Visible());
    EXPECT_EQ(WC.Bu.Left(), WC.FERimg(2).Left());
    EXPECT_EQ(WC.Bu.Top(), WC.FERimg(2).Top());
    user::Hover(WC.FERimg2(1));
    EXPECT_EQ(WC.Bu.Top(), WC.FERimg2(1).Top());

    // Pressed: the pressed image instead; a tool that stops early leaves it until the button is let go.
    script->Enter();
    user::MouseDown(WC.FERimg(3), vbLeftButton, 0, 10, 10);
    EXPECT_FALSE(WC.Bu.Visible());
    EXPECT_TRUE(WC.Bd.Visible());
    EXPECT_EQ(WC.Bd.Top(), WC.FERimg(3).Top());
    user::MouseUp(WC.FERimg(3), vbLeftButton, 0, 10, 10);
    EXPECT_FALSE(WC.Bu.Visible());
    EXPECT_FALSE(WC.Bd.Visible());
    EXPECT_EQ(WC.Bu.Left(), 100);
    // The same tool hovered again after the button was let go shows the hover image again.
    user::Hover(WC.FERimg(3));
    EXPECT_TRUE(WC.Bu.Visible());

    // A tool that runs to its end parks the pressed image at 200.
    user::MouseDown(WC.FERimg2(0), vbLeftButton, 0, 10, 10);
    EXPECT_FALSE(WC.Bd.Visible());
    EXPECT_EQ(WC.Bd.Left(), 200);
    user::MouseUp(WC.FERimg2(0), vbLeftButton, 0, 10, 10);
    EXPECT_EQ(script->Remaining(), 0u);
}
