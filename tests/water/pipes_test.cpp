// Drawing a pipe between two fittings: picked one after the other, or along
// a curve whose ends touch them; the checks of the two sockets and their
// question, the pipe dialog, the label block "A-TUBO" and the pipe polyline
// on the layer of its diameter and stage.

#include <cmath>

#include "DesenhoAgua.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Tables.h"
#include "water/WATDes.h"

using namespace watertest;

namespace {

const std::string kFoFo = "Tubo FoFo K7 JGS";

class Tubos : public DesenhoAgua {
protected:
    Tubos()
    {
        gAppPath = PastaDoPrograma().string() + "/";
        for (const char* b : {"A-LUVA", "A-PDR", "A-TUBO"}) EXPECT_TRUE(CriaBlocoConexao(b, false));
        noTubo = [this](frmWATTubo& t) {
            titulo = t.Titulo.Caption();
            caixaComprimento = t.Text1.Text();
            longo = t.Frame1(1).Visible();
            preferido = t.TuboPref();
            if (!novoComprimento.empty()) t.Text1.SetText(novoComprimento);
            forms::user::Click(t.CmdOK);
            contrib = t.Contrib;
        };
    }

    // A fitting as the panel leaves it, at scale 1 (sockets 2 from its point).
    acad::BlockReference* Conexao(const std::string& Bloco, const Ponto& P, double Rotacao, const std::string& Codigo,
                                  const std::string& Material)
    {
        acad::BlockReference* b = gModelSpace->InsertBlock(P, Bloco, 1, 1, 1, Rotacao);
        SetAtributo("CODIGO", Codigo, b);
        SetAtributo("MATERIAL", Material, b);
        SetAtributo("ETAPA", "1", b);
        return b;
    }
    acad::BlockReference* Luva(const Ponto& P, const std::string& Codigo = "LUFFDN100")
    {
        return Conexao("A-LUVA", P, 0, Codigo, "Ferro Fundido");
    }

    acad::BlockReference* Rotulo()
    {
        std::vector<acad::BlockReference*> r = Blocos("A-TUBO");
        return r.size() == 1 ? r[0] : nullptr;
    }
    std::vector<acad::LWPolyline*> Polilinhas()
    {
        std::vector<acad::LWPolyline*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* p = dynamic_cast<acad::LWPolyline*>(e)) v.push_back(p);
        return v;
    }
    static Ponto Alinhamento(acad::AttributeReference* a) { return Ponto(a->TextAlignmentPoint()); }
    // The catalogue keeps socket angles in single precision: positions agree
    // to a few millionths.
    static bool Perto(const Ponto& A, const Ponto& B) { return std::hypot(A.X - B.X, A.Y - B.Y) < 1e-5; }
    static bool MesmosVertices(const std::vector<double>& A, const std::vector<double>& B)
    {
        if (A.size() != B.size()) return false;
        for (std::size_t i = 0; i < A.size(); ++i)
            if (std::fabs(A[i] - B[i]) > 1e-5) return false;
        return true;
    }
    // The same direction, whatever the turn it is written in.
    static double Diferenca(double A, double B) { return std::fabs(std::remainder(A - B, 2 * M_PI)); }
    static std::string Maiusculas(std::string s)
    {
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    }

    std::string titulo, caixaComprimento, preferido, contrib, novoComprimento;
    bool longo = false;
};

}  // namespace

TEST_F(Tubos, BetweenTwoPickedFittingsEveryLabelSettingAndTheStageLayer)
{
    Luva({0, 0, 0});
    Luva({50, 0, 0});
    script->Point({1.9, 0, 0}).Point({48.1, 0, 0});
    novoComprimento = "  49 ";
    des.DrawTubo("", "", "1");
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Selecione Conexão ou Polyline:", "Selecione Conexão:"}));
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(titulo, "DN100");
    // From each fitting's point through its socket: 2 + 46 + 2.
    EXPECT_EQ(caixaComprimento, "50");
    EXPECT_FALSE(longo);
    EXPECT_EQ(preferido, kFoFo);

    acad::BlockReference* r = Rotulo();
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(Perto(r->InsertionPoint(), {25, 0}));
    EXPECT_LT(Diferenca(r->Rotation(), 0.0), 1e-5);
    EXPECT_DOUBLE_EQ(r->XScaleFactor(), 1.0);
    EXPECT_DOUBLE_EQ(r->YScaleFactor(), 1.0);
    EXPECT_EQ(r->Layer(), "TRECHO");
    EXPECT_EQ(Doc().Layers().Item("TRECHO")->Color(), 170);

    acad::AttributeReference* a = Atributo(r, "CODIGO");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->TextString(), "FFK7DN100-49m");
    EXPECT_EQ(a->Alignment(), 10);
    EXPECT_TRUE(Perto(Alinhamento(a), {25, 1.15}));
    EXPECT_FALSE(a->Backward());
    EXPECT_EQ(a->Layer(), "TRECHO");
    EXPECT_TRUE(a->Visible());
    a = Atributo(r, "MATERIAL");
    EXPECT_EQ(a->TextString(), kFoFo);
    EXPECT_EQ(a->Alignment(), 13);
    EXPECT_TRUE(Perto(Alinhamento(a), {25, 0}));
    EXPECT_FALSE(a->Visible());
    a = Atributo(r, "ETAPA");
    EXPECT_EQ(a->TextString(), "1");
    EXPECT_FALSE(a->Visible());
    a = Atributo(r, "CONTRIB");
    EXPECT_EQ(a->TextString(), contrib);
    EXPECT_FALSE(contrib.empty());
    EXPECT_EQ(a->Alignment(), 10);
    EXPECT_TRUE(Perto(Alinhamento(a), {25, -1.15}));
    EXPECT_TRUE(a->Invisible());
    EXPECT_EQ(a->Layer(), "TRECHO");
    a = Atributo(r, "H1");
    EXPECT_EQ(a->TextString(), "2.0000,0.0000");
    EXPECT_TRUE(Perto(Alinhamento(a), {0, 0}));
    EXPECT_DOUBLE_EQ(a->Height(), 0.00001);
    a = Atributo(r, "H2");
    EXPECT_EQ(a->TextString(), "48.0000,0.0000");
    EXPECT_TRUE(Perto(Alinhamento(a), {50, 0}));

    // The pipe: the two sockets, on "T_100_1" in the diameter's colour.
    std::vector<acad::LWPolyline*> p = Polilinhas();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_TRUE(MesmosVertices(p[0]->Coordinates(), {2, 0, 48, 0}));
    EXPECT_EQ(p[0]->Layer(), "T_100_1");
    EXPECT_TRUE(p[0]->LinetypeGeneration());
    EXPECT_EQ(Doc().Layers().Item("T_100_1")->Color(), 3);
    EXPECT_EQ(Maiusculas(Doc().Layers().Item("T_100_1")->Linetype()), "CONTINUOUS");
}

TEST_F(Tubos, RightToLeftIsFlippedAndStagesGiveTheirLayersAndLinetypes)
{
    Luva({0, 0, 0});
    Luva({50, 0, 0});
    Doc().Layers().Add("T_100")->SetColor(1);
    // Stage 0 from right to left: flipped; stage 3 "DESATIVAR" from the program's file.
    script->Point({48.1, 0, 0}).Point({1.9, 0, 0});
    des.DrawTubo("", "", "0");
    acad::BlockReference* r = Rotulo();
    ASSERT_NE(r, nullptr);
    EXPECT_LT(Diferenca(r->Rotation(), M_PI), 1e-5);
    EXPECT_DOUBLE_EQ(r->YScaleFactor(), -1.0);
    for (const char* t : {"CODIGO", "MATERIAL", "CONTRIB"}) EXPECT_TRUE(Atributo(r, t)->Backward()) << t;
    EXPECT_EQ(Texto(r, "H1"), "48.0000,0.0000");
    // Flipped, the code still sits above the pipe.
    EXPECT_TRUE(Perto(Alinhamento(Atributo(r, "CODIGO")), {25, 1.15}));
    std::vector<acad::LWPolyline*> p = Polilinhas();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0]->Layer(), "T_100");
    EXPECT_EQ(Doc().Layers().Item("T_100")->Color(), 3);
    EXPECT_EQ(Maiusculas(Doc().Layers().Item("T_100")->Linetype()), "DASHDOT");

    Luva({0, 100, 0}, "LUFFDN600");
    Luva({0, 150, 0}, "LUFFDN600");
    app->ZoomCenter({0, 125, 0}, 300);
    script->Point({1.9, 100, 0}).Point({1.9, 150, 0});
    des.DrawTubo("", "", "3");
    EXPECT_EQ(Maiusculas(Doc().Layers().Item("T_600_3")->Linetype()), "DESATIVAR");
    EXPECT_EQ(Doc().Layers().Item("T_600_3")->Color(), 8);
    ASSERT_NE(Doc().Linetypes().Find("DESATIVAR"), nullptr);
    EXPECT_TRUE(caixas.empty());
}

TEST_F(Tubos, AlongACurveTheLabelSitsHalfwayAndTheCurveIsReplacedOnlyWhenDrawn)
{
    Luva({0, 0, 0});
    Luva({50, 0, 0});
    acad::LWPolyline* curva = gModelSpace->AddLightWeightPolyline({1.8, 0, 25, 10, 48.2, 0});
    curva->SetLayer("0");
    // Left by a closed curve that was opened: on an open one it draws nothing.
    curva->SetBulge(2, 1.0);
    // Cancelled in the dialog: the curve is still there, nothing else drawn.
    noTubo = [](frmWATTubo& t) { forms::user::Click(t.CmdCancel); };
    script->Point({25, 10, 0});
    des.DrawTubo("", "", "2");
    EXPECT_EQ(Polilinhas(), std::vector<acad::LWPolyline*>{curva});
    EXPECT_TRUE(Blocos("A-TUBO").empty());

    noTubo = [this](frmWATTubo& t) {
        caixaComprimento = t.Text1.Text();
        forms::user::Click(t.CmdOK);
    };
    script->Point({25, 10, 0});
    des.DrawTubo("", "", "2");
    // 2 + 0.2 (fitting to the curve's end) + 50.53 along the curve + 0.2 + 2.
    const double lado = std::hypot(23.2, 10);
    EXPECT_EQ(caixaComprimento, FormatNum(4.4 + 2 * lado, 0));
    EXPECT_EQ(caixaComprimento, "55");
    acad::BlockReference* r = Rotulo();
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(Perto(r->InsertionPoint(), {25, 10}));
    EXPECT_LT(Diferenca(r->Rotation(), -std::atan2(10, 23.2)), 1e-9);
    EXPECT_DOUBLE_EQ(r->YScaleFactor(), 1.0);
    EXPECT_EQ(Texto(r, "CODIGO"), "FFK7DN100-55m");
    EXPECT_TRUE(Perto(Alinhamento(Atributo(r, "H1")), {0, 0}));
    EXPECT_TRUE(Perto(Alinhamento(Atributo(r, "H2")), {50, 0}));
    EXPECT_EQ(Texto(r, "H2"), "48.0000,0.0000");
    std::vector<acad::LWPolyline*> p = Polilinhas();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0]->Coordinates(), (std::vector<double>{1.8, 0, 25, 10, 48.2, 0}));
    EXPECT_EQ(p[0]->Layer(), "T_100_2");
    EXPECT_EQ(Maiusculas(Doc().Layers().Item("T_100_2")->Linetype()), "DASHED");
}

TEST_F(Tubos, UnusablePicksEndTheCommandWithNothingDrawn)
{
    Luva({0, 0, 0});
    const int antes = Doc().ModelSpace().Count();
    // Nothing picked; a text; a fitting then a line; a curve whose end
    // touches no fitting; a curve ending on a pipe label.
    script->Enter().Enter();
    des.DrawTubo("", "", "1");
    Doc().ModelSpace().AddText("X", {-30, -30, 0}, 2.0);
    script->Point({-29.5, -29.5, 0});
    des.DrawTubo("", "", "1");
    gModelSpace->AddLine({-40, 20, 0}, {40, 20, 0});
    script->Point({1.9, 0, 0}).Point({0, 20, 0}).Point({10, 20, 0});
    des.DrawTubo("", "", "1");
    script->Point({0, 20, 0});
    des.DrawTubo("", "", "1");
    acad::BlockReference* rotulo = gModelSpace->InsertBlock({60, 0, 0}, "A-TUBO", 1, 1, 1, 0);
    gModelSpace->AddLine({1.8, 0, 0}, {60, 0, 0});
    script->Point({30, 0, 0});
    des.DrawTubo("", "", "1");
    EXPECT_EQ(Doc().ModelSpace().Count(), antes + 4);
    EXPECT_EQ(Blocos("A-TUBO"), std::vector<acad::BlockReference*>{rotulo});
    EXPECT_EQ(dialogos, 0);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Tubos, DisagreeingSocketsAskFirstAndNoDrawsNothing)
{
    // Sockets 0.5 apart and of different diameters.
    Luva({0, 0, 0});
    Luva({4.5, 0, 0}, "LUFFDN150");
    app->ZoomCenter({2, 0, 0}, 10);
    respostas = {false};
    script->Point({1.8, 0, 0}).Point({2.7, 0, 0});
    des.DrawTubo("", "", "1");
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Atenção");
    EXPECT_EQ(caixas[0].Texto,
              "O comprimento da LINHA deve ser de no mínimo 0.75m.Os diametros não coincidem.\r\n"
              "Continuar assim mesmo?");
    EXPECT_EQ(dialogos, 0);
    EXPECT_TRUE(Blocos("A-TUBO").empty());
    EXPECT_TRUE(Polilinhas().empty());

    // "Sim": drawn with the first socket's diameter.
    caixas.clear();
    script->Point({1.8, 0, 0}).Point({2.7, 0, 0});
    des.DrawTubo("", "", "1");
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(titulo, "DN100");
    ASSERT_NE(Rotulo(), nullptr);
    EXPECT_EQ(Texto(Rotulo(), "CODIGO"), "FFK7DN100-5m");
}

TEST_F(Tubos, ManualTypeAgainstTheSocketsAndTheDiameterChecks)
{
    Luva({0, 0, 0});
    Luva({50, 0, 0});
    // The sockets are iron: a plastic pipe asks, and "Sim" goes on with the
    // type and diameter chosen on the panel.
    script->Point({1.9, 0, 0}).Point({48.1, 0, 0});
    des.DrawTubo("Tubo PVC PBA JE Classe 15", "100", "1");
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Texto, "\r\nAs tubulações não coincidem.\r\nContinuar assim mesmo?");
    EXPECT_EQ(preferido, "Tubo PVC PBA JE Classe 15");
    ASSERT_NE(Rotulo(), nullptr);
    EXPECT_EQ(Texto(Rotulo(), "CODIGO"), "PBA15DN100-50m");
    EXPECT_EQ(Texto(Rotulo(), "MATERIAL"), "Tubo PVC PBA JE Classe 15");

    // A diameter the type does not offer, and a type nobody names.
    for (const auto& [tipo, diametro] :
         {std::pair<std::string, std::string>{"Tubo PVC PBA JE Classe 15", "150"}, {"Tubo de Barro", "100"}}) {
        caixas.clear();
        respostas = {true};
        script->Point({1.9, 0, 0}).Point({48.1, 0, 0});
        des.DrawTubo(tipo, diametro, "1");
        ASSERT_EQ(caixas.size(), 2u);
        EXPECT_EQ(caixas[1].Titulo, "Erro!!!");
        EXPECT_EQ(caixas[1].Texto, "O diâmetro " + diametro + " não existe para " + tipo);
    }
    EXPECT_EQ(Blocos("A-TUBO").size(), 1u);
    EXPECT_EQ(Polilinhas().size(), 1u);
}

TEST_F(Tubos, InterconnectionPointsTakeTheOtherDiameterAndUndefinedTypes)
{
    // An interconnection point (undefined type) and an iron sleeve: the
    // sleeve's type and diameter, no question.
    Luva({0, 0, 0});
    Conexao("A-PDR", {53, 0, 0}, 0, "PDRDN50", "Diversos");
    script->Point({1.9, 0, 0}).Point({54, 0, 0});
    des.DrawTubo("", "", "1");
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(titulo, "DN100");
    EXPECT_EQ(preferido, kFoFo);
    ASSERT_NE(Rotulo(), nullptr);
    EXPECT_EQ(Texto(Rotulo(), "CODIGO").substr(0, 10), "FFK7DN100-");

    // Two of them: the second's diameter, and the undefined type stops after
    // the dialog, in both modes.
    Conexao("A-PDR", {0, 100, 0}, M_PI, "PDRDN50", "Diversos");
    Conexao("A-PDR", {40, 100, 0}, 0, "PDRDN75", "Diversos");
    app->ZoomCenter({20, 100, 0}, 300);
    for (const std::string tipo : {"", "Indefinido"}) {
        caixas.clear();
        script->Point({-1, 100, 0}).Point({41, 100, 0});
        des.DrawTubo(tipo, "75", "1");
        EXPECT_EQ(titulo, "DN75");
        EXPECT_EQ(preferido, "Indefinido");
        ASSERT_EQ(caixas.size(), 1u);
        EXPECT_EQ(caixas[0].Texto, "Material indefinido.\r\nImpossivel continuar em modo automático.");
    }
    EXPECT_EQ(Blocos("A-TUBO").size(), 1u);
}

TEST_F(Tubos, ALongReachShowsTheLongFrame)
{
    Luva({0, 0, 0});
    Luva({499.99, 0, 0});
    Luva({0, 100, 0});
    Luva({500.01, 100, 0});
    app->ZoomCenter({250, 50, 0}, 700);
    script->Point({1.9, 0, 0}).Point({498.09, 0, 0});
    des.DrawTubo("", "", "1");
    EXPECT_FALSE(longo);
    script->Point({1.9, 100, 0}).Point({498.11, 100, 0});
    des.DrawTubo("", "", "1");
    EXPECT_TRUE(longo);
    EXPECT_EQ(caixaComprimento, "500");
    EXPECT_EQ(Blocos("A-TUBO").size(), 2u);
}
