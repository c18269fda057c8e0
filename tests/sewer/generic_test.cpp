// The generic network: manholes, the picking of a reach's two manholes, the
// reach block with its attributes, and its two warnings with their
// "Não mostrar mais esta mensagem." box.

#include <gtest/gtest.h>

#include "SewerTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "platform/acad/CurveEntities.h"
#include "platform/forms/Testing.h"
#include "shell/frmMsgBox.h"

using namespace sewertest;

namespace {

class DesenhoGenerico : public SewerTest {
protected:
    acad::BlockReference* PVGen(const Ponto& P, const std::string& Numero, const std::string& Cota)
    {
        return des.InsertPVGen(P, Numero, Cota, 1);
    }
    acad::BlockReference* TrechoGen(const Ponto& P1, const std::string& C1, const Ponto& P2, const std::string& C2)
    {
        return des.InsertTRGenObjs(PVGen(P1, "A", C1), PVGen(P2, "B", C2), 3, "SIM", "Terra", "PVC");
    }
};

// Answers the warnings, ticking "Não mostrar mais esta mensagem." in those
// whose text is `Marcar`, and keeps their titles and texts.
class Avisos {
public:
    explicit Avisos(std::string Marcar = "")
        : marcar_(std::move(Marcar)), driver_([this](forms::Form& f) {
              auto& box = dynamic_cast<frmMsgBox&>(f);
              lista_.push_back(box.Titulo.Caption() + ": " + box.Mensagem.Caption());
              EXPECT_TRUE(box.Check1.Visible());
              EXPECT_EQ(box.Check1.Caption(), "Não mostrar mais esta mensagem.");
              if (box.Mensagem.Caption() == marcar_) forms::user::Click(box.Check1);
              forms::user::Click(box.CmdOK);
          })
    {
    }
    std::vector<std::string> Lista() const { return lista_; }

private:
    std::string marcar_;
    std::vector<std::string> lista_;
    forms::ScopedTestDriver driver_;
};

}  // namespace

TEST_F(DesenhoGenerico, AGenericManholeCarriesNumberElevationAndStage)
{
    script->Point({5, 6, 0});
    acad::BlockReference* pv = des.InsertPVGen(std::nullopt, "G7", "101,2", 2);
    ASSERT_NE(pv, nullptr);
    EXPECT_EQ(script->Prompts(), std::vector<std::string>{"Selecione local: "});
    EXPECT_EQ(pv->Name(), "E-PVGEN");
    EXPECT_EQ(pv->Layer(), "0");  // the current layer
    EXPECT_EQ(Ponto(pv->InsertionPoint()), Ponto(5, 6, 0));
    const auto a = Atributos(pv);
    EXPECT_EQ(a.at("NUMERO"), "G7");
    EXPECT_EQ(a.at("CT"), "101.200");  // always 3 decimals
    EXPECT_EQ(a.at("ET"), "2");
    EXPECT_EQ(a.at("COLETOR"), "");  // the capture's

    // No place given: nothing; an elevation that is not a number: told, nothing.
    script->Enter();
    EXPECT_EQ(des.InsertPVGen(std::nullopt, "G8", "100", 2), nullptr);
    EXPECT_EQ(des.InsertPVGen(Ponto(0, 0), "G8", "cem", 2), nullptr);
    EXPECT_EQ(mensagens.Textos(),
              std::vector<std::string>{"O PV G8 não foi inserido: a cota do terreno \"cem\" não é um número."});
    EXPECT_EQ(Blocos("E-PVGEN").size(), 1u);
}

TEST_F(DesenhoGenerico, AGenericReachJoinsTwoPickedManholes)
{
    acad::BlockReference* a = PVGen(Ponto(0, 0), "1", "100");
    acad::BlockReference* b = PVGen(Ponto(30, 40), "2", "99");
    gModelSpace->AddLine({-20, -20, 0}, {-20, 20, 0});
    // Something else, then the first manhole; the same manhole again, then the second.
    script->Point({-20, 0, 0}).Point({0, 0, 0}).Point({0, 0, 0}).Point({30, 40, 0});
    des.InsertTRGen(3, "UNI", "Asfalto", "Cerâmico");
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{
                                     "Selecione PV 1: ", "Selecione PV 1: ", "Selecione PV 2: ", "Selecione PV 2: "}));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Selecione o PV de Jusante!");

    const auto trs = Blocos("E-TRCGEN");
    ASSERT_EQ(trs.size(), 1u);
    acad::BlockReference* tr = trs[0];
    EXPECT_TRUE(Perto(tr->InsertionPoint(), Ponto(15, 20, 0)));
    EXPECT_NEAR(tr->Rotation(), Azimute(a->InsertionPoint(), b->InsertionPoint()), 1e-12);
    EXPECT_DOUBLE_EQ(tr->YScaleFactor(), 1.0);
    EXPECT_EQ(Atributos(tr), (std::map<std::string, std::string>{{"TRECHO", "1-2"},
                                                                 {"PV1", "1"},
                                                                 {"PV2", "2"},
                                                                 {"IPV1", "0.0000,0.0000"},
                                                                 {"IPV2", "30.0000,40.0000"},
                                                                 {"COMP", "50.00"},
                                                                 {"ET", "3"},
                                                                 {"PAVMTO", "Asfalto"},
                                                                 {"CONTRIB", "UNI"},
                                                                 {"MATERIAL", "Cerâmico"}}));
    acad::AttributeReference* ipv2 = Atributo(tr, "IPV2");
    EXPECT_EQ(Ponto(ipv2->InsertionPoint()), Ponto(30, 40, 0));
    EXPECT_DOUBLE_EQ(ipv2->Height(), 0.0001);
    EXPECT_TRUE(ipv2->Visible());
    // The line stops 2 units short of each manhole.
    acad::Line* linha = Todos<acad::Line>().back();
    EXPECT_TRUE(Perto(linha->StartPoint(), Ponto(1.2, 1.6, 0)));
    EXPECT_TRUE(Perto(linha->EndPoint(), Ponto(28.8, 38.4, 0)));

    // A cancelled pick ends the command quietly.
    script->Escape();
    des.InsertTRGen(3, "UNI", "Asfalto", "Cerâmico");
    EXPECT_EQ(Blocos("E-TRCGEN").size(), 1u);
}

TEST_F(DesenhoGenerico, TheWarningsShowUntilTheUserTicksTheirBox)
{
    Avisos avisos("Este Trecho é maior que 100 metros");
    TrechoGen(Ponto(0, 0), "100", Ponto(100, 0), "100");          // level, exactly 100: silent
    TrechoGen(Ponto(0, 10), "100", Ponto(100.01, 10), "100.01");  // uphill and too long: both
    TrechoGen(Ponto(0, 20), "100", Ponto(150, 20), "100");        // too long: switched off
    TrechoGen(Ponto(0, 30), "100", Ponto(20, 30), "101");         // uphill: still warned
    EXPECT_EQ(avisos.Lista(), (std::vector<std::string>{"Inserindo Tubulação: Sentido desfavorável",
                                                        "Inserindo Tubulações: Este Trecho é maior que 100 metros",
                                                        "Inserindo Tubulação: Sentido desfavorável"}));
    EXPECT_EQ(Blocos("E-TRCGEN").size(), 4u);  // warnings do not stop the drawing
}

TEST_F(DesenhoGenerico, AReachFromEastToWestIsMirroredAndItsLengthHasTwoDecimals)
{
    acad::BlockReference* tr = TrechoGen(Ponto(12.3456, 0), "100", Ponto(0, 0), "99");
    ASSERT_NE(tr, nullptr);
    EXPECT_DOUBLE_EQ(tr->YScaleFactor(), -1.0);
    for (acad::AttributeReference* a : tr->GetAttributes()) EXPECT_TRUE(a->Backward()) << a->TagString();
    EXPECT_EQ(Atributos(tr).at("COMP"), "12.35");
    EXPECT_EQ(Atributos(tr).at("IPV1"), "12.3456,0.0000");

    // A manhole whose elevation is not a number: told, nothing drawn.
    acad::BlockReference* a = PVGen(Ponto(0, 50), "C", "100");
    acad::BlockReference* b = PVGen(Ponto(30, 50), "D", "100");
    Atributo(b, "CT")->SetTextString("n/d");
    const std::size_t linhas = Todos<acad::Line>().size();
    EXPECT_EQ(des.InsertTRGenObjs(a, b, 1, "", "Terra", "PVC"), nullptr);
    const std::string aviso = "O trecho C-D não foi desenhado: a cota do terreno \"n/d\" do PV D não é um número.";
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{aviso});
    EXPECT_EQ(Todos<acad::Line>().size(), linhas);
}
