// The sewer panel's drawing commands through its real buttons and lists, the
// drawing host answering from a script: designed manholes and reaches, the
// generic network, copied reach attributes, moved texts and the numbering
// check boxes of the capture tab.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <filesystem>

#include "PanelTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/ui/AciPalette.h"
#include "platform/acad/ui/SceneRenderer.h"
#include "shell/modGlobais.h"

using namespace sewertest;
using namespace forms;

namespace {

class PainelComandos : public PainelTest {
protected:
    // The designed-PV fields as a person fills them (by code: no cascades).
    void CamposDoPV(const std::string& Prefixo, const std::string& Numero, const std::string& CT, const std::string& CS,
                    const std::string& CP)
    {
        SD.DesTxtS(1).SetText(Prefixo);
        SD.DesTxt(3).SetText(Numero);
        SD.DesTxt(0).SetText(CT);
        SD.DesTxt(1).SetText(CS);
        SD.DesTxt(2).SetText(CP);
    }
    // A designed PV inserted through the panel at P, direction 0.
    acad::BlockReference* InserePV(const Ponto& P, const std::string& Numero, const std::string& CS)
    {
        CamposDoPV("", Numero, "102.000", CS, "1.500");
        script->Point(P).Angle(0);
        Clica(SD.DesInsertPVcmd);
        return UltimoBloco("E-PV");
    }
    acad::BlockReference* UltimoBloco(const std::string& Nome)
    {
        const auto b = Blocos(Nome);
        return b.empty() ? nullptr : b.back();
    }
    // "Param." with the two picks at P1 and P2.
    void Param(const Ponto& P1, const Ponto& P2)
    {
        script->Point(P1).Point(P2);
        Clica(SD.DesInsertTRcmd(0));
    }
    void Escolhe(ComboBox& C, const std::string& Texto)
    {
        MostraPagina(SD, C);
        for (int i = 0; i < C.ListCount(); ++i)
            if (C.List(i) == Texto) return user::Choose(C, i);
        ADD_FAILURE() << Texto << " não está na lista " << C.Name();
    }
};

}  // namespace

TEST_F(PainelComandos, ADesignedManholeTakesTheFieldsTheTypeAndTheStageNumber)
{
    // Stages numbered apart from their list positions: the list stores the number.
    const std::filesystem::path copia = pasta / "rereva2000r.mdb";
    std::filesystem::copy_file(PastaCatalogo() / "rereva2000r.mdb", copia);
    ExecutaSql(copia, "UPDATE E_TRLayerParam SET Etapa = Etapa + 10;");
    gMdbPath = copia.string();
    SD.Start(true);

    Escolhe(SD.DesPVcbo, "PV-ESP");
    user::Choose(SD.DesEtapaCbo, 2);
    CamposDoPV("PV-", "12", "101.250", "99.800", "1.450");
    script->Point({20, 30, 0}).Angle(0);
    Clica(SD.DesInsertPVcmd);
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Ponto de inserção: ", "Direção: "}));
    acad::BlockReference* pv = UltimoBloco("E-PV250");
    ASSERT_NE(pv, nullptr);
    const std::map<std::string, std::string> escritos = {
        {"NUMERO", "PV-12"}, {"CT", "101.250"}, {"CS", "99.800"}, {"CP", "1.450"}, {"ET", "12"}};
    EXPECT_EQ(Atributos(pv), escritos);
    EXPECT_TRUE(mensagens.Lista().empty());

    // Elevations that are not numbers: told, nothing asked or drawn, in
    // whichever field they are.
    CamposDoPV("PV-", "13", "1O1", "99.800", "1.450");
    Clica(SD.DesInsertPVcmd);
    CamposDoPV("PV-", "13", "101.250", "99,8x", "1.450");
    Clica(SD.DesInsertPVcmd);
    CamposDoPV("PV-", "13", "101.250", "99.800", "-");
    Clica(SD.DesInsertPVcmd);
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{"O PV não foi inserido: \"1O1\" no campo C.Terreno não é um número.",
                                        "O PV não foi inserido: \"99,8x\" no campo C.Soleira não é um número.",
                                        "O PV não foi inserido: \"-\" no campo Profundidade não é um número."}));
    EXPECT_EQ(script->Requests().size(), 2u);
    EXPECT_EQ(Blocos("E-PV250").size(), 1u);

    // Empty ones go in as they are: a PV with its number alone.
    CamposDoPV("PV-", "14", "", "", "");
    script->Point({40, 30, 0}).Angle(0);
    Clica(SD.DesInsertPVcmd);
    ASSERT_EQ(Blocos("E-PV250").size(), 2u);
    const std::map<std::string, std::string> vazios = {
        {"NUMERO", "PV-14"}, {"CT", ""}, {"CS", ""}, {"CP", ""}, {"ET", "12"}};
    EXPECT_EQ(Atributos(UltimoBloco("E-PV250")), vazios);
    EXPECT_EQ(mensagens.Lista().size(), 3u);
}

TEST_F(PainelComandos, AComputedElevationPointPlacesOneManholeOnly)
{
    PontoTopografico(Ponto(12, 7, 101.25), "P1", "101.25");
    NoDialogoDeCota([](frmCalcCotaPT& d) { user::Click(d.Command1); });
    script->Point({12.2, 7, 0});
    user::Click(SD.lblDes(0));
    EXPECT_EQ(SD.DesTxt(0).Text(), "101.25");

    // The first manhole goes to the survey point and asks only its direction.
    SD.DesTxt(1).SetText("99.000");
    SD.DesTxt(2).SetText("2.250");
    script->Angle(0);
    Clica(SD.DesInsertPVcmd);
    ASSERT_EQ(Blocos("E-PV").size(), 1u);
    EXPECT_EQ(Ponto(Blocos("E-PV")[0]->InsertionPoint()).X, 12);
    EXPECT_EQ(Ponto(Blocos("E-PV")[0]->InsertionPoint()).Y, 7);
    // The next asks for its point again.
    script->Point({40, 7, 0}).Angle(0);
    Clica(SD.DesInsertPVcmd);
    ASSERT_EQ(Blocos("E-PV").size(), 2u);
    EXPECT_TRUE(Perto(Blocos("E-PV")[1]->InsertionPoint(), Ponto(40, 7, 0)));
    EXPECT_EQ(script->Prompts(),
              (std::vector<std::string>{"Selecione ponto: ", "Direção: ", "Ponto de inserção: ", "Direção: "}));

    // A computed point not used (the direction refused) waits for the next manhole.
    NoDialogoDeCota([](frmCalcCotaPT& d) { user::Click(d.Command1); });
    script->Point({12, 7, 0}).Escape();
    user::Click(SD.lblDes(0));
    Clica(SD.DesInsertPVcmd);
    script->Angle(0);
    Clica(SD.DesInsertPVcmd);
    ASSERT_EQ(Blocos("E-PV").size(), 3u);
    EXPECT_EQ(Ponto(Blocos("E-PV")[2]->InsertionPoint()).X, 12);
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(PainelComandos, ParamComputesTheReachFromItsManholesAndInsertOnceDrawsIt)
{
    InserePV(Ponto(0, 0), "PV-1", "101.200");
    InserePV(Ponto(50, 0), "PV-2", "100.000");
    Escolhe(SD.DesMatTuboCbo(0), "PVC");
    MostraPagina(SD, SD.DesTuboDiamlst);
    user::Choose(SD.DesTuboDiamlst, 1);
    Escolhe(SD.DesPavmtoCbo(1), "Asfalto");
    EXPECT_FALSE(SD.DesInsertTRcmd(1).Enabled());

    Param(Ponto(0, 0), Ponto(50, 0));
    EXPECT_EQ(SD.DesTxt(4).Text(), "50.00");
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.024000");
    EXPECT_EQ(SD.DesTxt(6).Text(), "0");
    ASSERT_TRUE(SD.DesInsertTRcmd(1).Enabled());
    Clica(SD.DesInsertTRcmd(1));
    acad::BlockReference* tr = UltimoBloco("E-TRSAN");
    ASSERT_NE(tr, nullptr);
    const auto a = Atributos(tr);
    EXPECT_EQ(a.at("TRECHO"), "PV-1-PV-2");
    EXPECT_EQ(a.at("DD"), "150-50.00");
    EXPECT_EQ(a.at("DEC"), "0.024000");
    EXPECT_EQ(a.at("MAT"), "PVC");
    EXPECT_EQ(a.at("PAVMTO"), "Asfalto");
    EXPECT_EQ(a.at("ET"), "0");
    EXPECT_EQ(a.at("PV1"), "0.0000,0.0000");  // the panel's coordinate decimals
    // Once per pick.
    EXPECT_FALSE(SD.DesInsertTRcmd(1).Enabled());

    // The lower manhole picked first: the upstream one is still the higher.
    Param(Ponto(50, 0), Ponto(0, 0));
    Clica(SD.DesInsertTRcmd(1));
    EXPECT_EQ(Atributos(UltimoBloco("E-TRSAN")).at("TRECHO"), "PV-1-PV-2");
    EXPECT_TRUE(mensagens.Lista().empty());
}

// A reach drawn in the second stage lies on its stage's layer, whose linetype
// (DASHDOT, loaded from the program's linetypes) the window draws with its
// dashes and dots; one of the first stage is solid.
TEST_F(PainelComandos, AReachOfTheSecondStageIsDrawnDashedAndOneOfTheFirstSolid)
{
    InserePV(Ponto(0, 0), "PV-1", "101.200");
    InserePV(Ponto(50, 0), "PV-2", "100.000");
    InserePV(Ponto(0, 30), "PV-3", "101.200");
    InserePV(Ponto(50, 30), "PV-4", "100.000");
    Escolhe(SD.DesMatTuboCbo(0), "PVC");
    MostraPagina(SD, SD.DesTuboDiamlst);
    user::Choose(SD.DesTuboDiamlst, 1);
    Escolhe(SD.DesPavmtoCbo(1), "Asfalto");
    Escolhe(SD.DesEtapaCbo, "1a. Etapa");
    Param(Ponto(0, 0), Ponto(50, 0));
    Clica(SD.DesInsertTRcmd(1));
    Escolhe(SD.DesEtapaCbo, "2a. Etapa");
    Param(Ponto(0, 30), Ponto(50, 30));
    Clica(SD.DesInsertTRcmd(1));
    const auto linhas = Todos<acad::Line>();
    ASSERT_EQ(linhas.size(), 2u);
    EXPECT_EQ(Doc().Layers().Item(linhas[1]->Layer())->Linetype(), "DASHDOT");

    // The model drawn 16 pixels a unit: the share of each flow line's first
    // stretch (clear of its block, in the middle) that is inked in its colour.
    const QSize size(1000, 800);
    acad::View v({25, 15, 0}, size.height() / 16.0, static_cast<double>(size.width()) / size.height());
    QImage img(size, QImage::Format_RGB32);
    img.fill(acad::ui::BackgroundColor());
    {
        QPainter p(&img);
        acad::ui::SceneRenderer().Draw(p, Doc(), acad::ui::ViewMapping::Of(v, QSizeF(size)));
    }
    const auto m = acad::ui::ViewMapping::Of(v, QSizeF(size));
    auto inked = [&](const acad::Line& l) {
        const QRgb cor = acad::ui::AciColor(Doc().Layers().Item(l.Layer())->Color()).rgb();
        const QPointF a = m.ToPixel(l.StartPoint()), b = m.ToPixel(l.EndPoint());
        const int row = static_cast<int>(std::floor(a.y()));
        int n = 0, tinta = 0;
        for (int x = static_cast<int>(a.x()) + 2; x < a.x() + (b.x() - a.x()) / 3; ++x, ++n)
            tinta += img.pixel(x, row) == cor;
        return static_cast<double>(tinta) / n;
    };
    EXPECT_EQ(inked(*linhas[0]), 1.0) << "the first stage";
    EXPECT_GT(inked(*linhas[1]), 0.5) << "the second stage";
    EXPECT_LT(inked(*linhas[1]), 0.9) << "the second stage";
}

TEST_F(PainelComandos, ParamRefusesPicksThatCannotMakeAReach)
{
    InserePV(Ponto(0, 0), "PV-1", "101.200");
    PV(Ponto(50, 0), "PV-2", "x");
    SD.DesTxt(7).SetText("100");
    script->Point({0, 40, 0});
    Clica(SD.DesInsertPVGenCmd);
    ASSERT_EQ(Blocos("E-PVGEN").size(), 1u);
    InserePV(Ponto(100, 0), "PV-3", "99.000");
    mensagens.Limpa();

    // The same manhole twice, a generic one, one whose invert is no number:
    // each told and asked again; then the right one.
    script->Point({0, 0, 0}).Point({0, 0, 0}).Point({0, 40, 0}).Point({50, 0, 0}).Point({100, 0, 0});
    Clica(SD.DesInsertTRcmd(0));
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_EQ(
        mensagens.Textos(),
        (std::vector<std::string>{
            "Selecione o PV de Jusante!", "O bloco E-PVGEN não tem a cota de soleira (CS): selecione um PV projetado.",
            "A cota de soleira (CS) \"x\" do PV PV-2 não é um número: corrija o PV ou selecione outro."}));
    EXPECT_EQ(SD.DesTxt(4).Text(), "100.00");
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.022000");
    EXPECT_TRUE(SD.DesInsertTRcmd(1).Enabled());

    // Escape in the middle of a new pick: the fields are zero, nothing to insert.
    script->Point({0, 0, 0}).Escape();
    Clica(SD.DesInsertTRcmd(0));
    EXPECT_EQ(SD.DesTxt(4).Text(), "0");
    EXPECT_FALSE(SD.DesInsertTRcmd(1).Enabled());

    // Manholes erased after the pick: told, nothing drawn.
    Param(Ponto(0, 0), Ponto(100, 0));
    for (acad::BlockReference* b : Blocos("E-PV")) b->Delete();
    mensagens.Limpa();
    Clica(SD.DesInsertTRcmd(1));
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Os PVs escolhidos com \"Param.\" não estão mais neste "
                                                           "desenho: escolha-os de novo."});
    EXPECT_TRUE(Blocos("E-TRSAN").empty());
    EXPECT_FALSE(SD.DesInsertTRcmd(1).Enabled());
}

TEST_F(PainelComandos, AReachThatCannotBeDrawnMayBeTriedAgainAfterItsFieldsAreMended)
{
    InserePV(Ponto(0, 0), "PV-1", "101.200");
    InserePV(Ponto(50, 0), "PV-2", "100.000");
    Param(Ponto(0, 0), Ponto(50, 0));
    SD.DesTxt(4).SetText("5O");
    Clica(SD.DesInsertTRcmd(1));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Textos()[0].find("\"5O\" não é um número"), std::string::npos);
    EXPECT_TRUE(SD.DesInsertTRcmd(1).Enabled());
    SD.DesTxt(4).SetText("50.00");
    Clica(SD.DesInsertTRcmd(1));
    EXPECT_EQ(Blocos("E-TRSAN").size(), 1u);
    EXPECT_FALSE(SD.DesInsertTRcmd(1).Enabled());
}

TEST_F(PainelComandos, GenericManholesNumberThemselvesAndGenericReachesTakeTheChoices)
{
    SD.DesTxtS(0).SetText("G-");
    SD.DesTxt(8).SetText("12");
    SD.DesTxt(7).SetText("100.5");
    Clica(SD.DesGenChk);
    script->Point({0, 0, 0});
    Clica(SD.DesInsertPVGenCmd);
    EXPECT_EQ(SD.DesTxt(8).Text(), "13");
    ASSERT_EQ(Blocos("E-PVGEN").size(), 1u);
    EXPECT_EQ(Atributos(Blocos("E-PVGEN")[0]).at("NUMERO"), "G-12");
    EXPECT_EQ(Atributos(Blocos("E-PVGEN")[0]).at("CT"), "100.500");

    // The number is read as a whole number and written plus one: its zeros
    // in front go, a negative one counts up, a half goes to the even one.
    SD.DesTxt(8).SetText("099");
    script->Point({60, 0, 0});
    Clica(SD.DesInsertPVGenCmd);
    EXPECT_EQ(SD.DesTxt(8).Text(), "100");
    SD.DesTxt(8).SetText("007");
    script->Point({200, 0, 0});
    Clica(SD.DesInsertPVGenCmd);
    EXPECT_EQ(SD.DesTxt(8).Text(), "8");
    script->Point({220, 0, 0});
    Clica(SD.DesInsertPVGenCmd);
    EXPECT_EQ(Atributos(Blocos("E-PVGEN").back()).at("NUMERO"), "G-8");
    EXPECT_EQ(SD.DesTxt(8).Text(), "9");
    const std::pair<const char*, const char*> seguintes[] = {{"-5", "-4"}, {"12.5", "13"},       {"13,5", "15"},
                                                             {" 4 ", "5"}, {"-32768", "-32767"}, {"32766", "32767"}};
    for (const auto& [numero, seguinte] : seguintes) {
        SD.DesTxt(8).SetText(numero);
        script->Point({240, 0, 0});
        Clica(SD.DesInsertPVGenCmd);
        EXPECT_EQ(SD.DesTxt(8).Text(), seguinte) << numero;
    }
    EXPECT_EQ(Atributos(Blocos("E-PVGEN").back()).at("NUMERO"), "G-32766");
    EXPECT_TRUE(mensagens.Lista().empty());
    // Not a whole number of the field's range, or none after it: the PV goes
    // in, the field stays, told.
    for (const char* numero : {"12a", "", "32767", "-32769", "40000"}) {
        SD.DesTxt(8).SetText(numero);
        script->Point({numero == std::string("12a") ? 120.0 : 260.0, 0, 0});
        Clica(SD.DesInsertPVGenCmd);
        EXPECT_EQ(SD.DesTxt(8).Text(), numero);
    }
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{
                  "Incremento Automático: \"12a\" não é um número inteiro; o campo Número não foi alterado.",
                  "Incremento Automático: \"\" não é um número inteiro; o campo Número não foi alterado.",
                  "Incremento Automático: depois de 32767 não há número seguinte; o campo Número não foi alterado.",
                  "Incremento Automático: \"-32769\" não é um número inteiro; o campo Número não foi alterado.",
                  "Incremento Automático: \"40000\" não é um número inteiro; o campo Número não foi alterado."}));
    EXPECT_EQ(Blocos("E-PVGEN").size(), 15u);
    for (acad::BlockReference* b : Blocos("E-PVGEN"))
        if (Ponto(b->InsertionPoint()).X >= 200) b->Delete();
    // No PV (the place refused): no next number.
    SD.DesTxt(8).SetText("7");
    script->Enter();
    Clica(SD.DesInsertPVGenCmd);
    EXPECT_EQ(SD.DesTxt(8).Text(), "7");
    EXPECT_EQ(Blocos("E-PVGEN").size(), 3u);

    // A reach between the first two, with no contribution chosen, then with "UNI".
    Escolhe(SD.DesPavmtoCbo(0), "Terra");
    Escolhe(SD.DesMatTuboCbo(1), "PEAD");
    user::Choose(SD.DesEtapaCbo, 1);
    script->Point({0, 0, 0}).Point({60, 0, 0});
    Clica(SD.DesInsertTRGenCmd);
    ASSERT_EQ(Blocos("E-TRCGEN").size(), 1u);
    auto a = Atributos(Blocos("E-TRCGEN")[0]);
    EXPECT_EQ(a.at("CONTRIB"), "");
    EXPECT_EQ(a.at("PAVMTO"), "Terra");
    EXPECT_EQ(a.at("MATERIAL"), "PEAD");
    EXPECT_EQ(a.at("ET"), "1");
    EXPECT_EQ(a.at("TRECHO"), "G-12-G-099");
    MostraPagina(SD, SD.DesGenContribFra);
    user::Click(SD.DesGenContribOpt(2));
    // Picked on their cross, off the first reach's point texts at the centres.
    app->ZoomCenter({90, 0, 0}, 80);
    script->Point({60.3, 0.3, 0}).Point({120.3, 0.3, 0});
    Clica(SD.DesInsertTRGenCmd);
    ASSERT_EQ(Blocos("E-TRCGEN").size(), 2u);
    EXPECT_EQ(Atributos(Blocos("E-TRCGEN")[1]).at("CONTRIB"), "UNI");
}

TEST_F(PainelComandos, CopyingAReachFillsWhatItsBlockCarriesDesignedOrGeneric)
{
    InserePV(Ponto(0, 0), "PV-1", "101.200");
    InserePV(Ponto(50, 0), "PV-2", "100.000");
    Param(Ponto(0, 0), Ponto(50, 0));
    std::string codigo;
    acad::BlockReference* tr = des.DrawTR(Blocos("E-PV")[0], Blocos("E-PV")[1], "375", "45.20", "0.012000", "Cerâmico",
                                          1, "A-B", "Paralelepípedo", codigo);
    ASSERT_NE(tr, nullptr);
    Escolhe(SD.DesMatTuboCbo(0), "PVC");

    // A reach is picked by one of its texts.
    script->Point(MeioDoTexto(Atributo(tr, "DD")));
    Clica(SD.CopyAttTRCmd);
    EXPECT_EQ(script->Prompts().back(), "Selecione TR:");
    EXPECT_EQ(SD.DesMatTuboCbo(0).Text(), "Cerâmico");
    EXPECT_EQ(SD.DesTuboDiamlst.Text(), "375");  // after the material's diameters came
    EXPECT_EQ(SD.DesPavmtoCbo(1).Text(), "Paralelepípedo");
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.012000");
    // The drop follows the slope: (101.2 − 100) − 50 × 0.012.
    EXPECT_EQ(SD.DesTxt(6).Text(), "0.600");
    // The next reach takes the copied name.
    Clica(SD.DesInsertTRcmd(1));
    EXPECT_EQ(Atributos(Blocos("E-TRSAN").back()).at("TRECHO"), "A-B");

    // A generic reach gives what it carries: its pavement and its name. The
    // material (its own tag), diameter and slope stay.
    acad::BlockReference* g1 = des.InsertPVGen(Ponto(0, -40), "G-1", "100", 1);
    acad::BlockReference* g2 = des.InsertPVGen(Ponto(50, -40), "G-2", "99", 1);
    acad::BlockReference* generico = des.InsertTRGenObjs(g1, g2, 1, "SIM", "Terra", "PEAD");
    ASSERT_NE(generico, nullptr);
    // The manholes picked off the reaches' texts, on their outer rims.
    Param(Ponto(-1, 0), Ponto(51, 0));
    script->Point(MeioDoTexto(Atributo(generico, "TRECHO")));
    Clica(SD.CopyAttTRCmd);
    EXPECT_EQ(SD.DesPavmtoCbo(1).Text(), "Terra");
    EXPECT_EQ(SD.DesMatTuboCbo(0).Text(), "Cerâmico");
    EXPECT_EQ(SD.DesTuboDiamlst.Text(), "375");
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.024000");
    Clica(SD.DesInsertTRcmd(1));
    const auto a = Atributos(Blocos("E-TRSAN").back());
    EXPECT_EQ(a.at("TRECHO"), "G-1-G-2");
    EXPECT_EQ(a.at("PAVMTO"), "Terra");
    EXPECT_EQ(a.at("MAT"), "Cerâmico");
    EXPECT_TRUE(mensagens.Lista().empty());

    // A block with nothing of a reach, or no block at all: told, nothing copied.
    Escolhe(SD.DesPavmtoCbo(1), "Asfalto");
    gModelSpace->AddLine(Ponto(0, -80), Ponto(50, -80));
    script->Point({-1, 0, 0}).Point({25, -80, 0});
    Clica(SD.CopyAttTRCmd);
    Clica(SD.CopyAttTRCmd);
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{"O objeto selecionado não é um trecho: nada foi copiado.",
                                        "O objeto selecionado não é um trecho: nada foi copiado."}));
    EXPECT_EQ(SD.DesMatTuboCbo(0).Text(), "Cerâmico");
    EXPECT_EQ(SD.DesPavmtoCbo(1).Text(), "Asfalto");
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(PainelComandos, TextsAreMovedFromThePanel)
{
    acad::BlockReference* pv = InserePV(Ponto(0, 0), "PV-1", "101.200");
    app->ZoomCenter({0, 0, 0}, 40);
    script->Point(MeioDoTexto(Atributo(pv, "CT"))).Point({20, 10, 0}).Enter();
    Clica(SD.DesMoveAttCmd);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_EQ(Atributo(pv, "CT")->Alignment(), 14);
}

TEST_F(PainelComandos, WithoutTheDrawingHostTheCommandsEndAfterItsMessage)
{
    registro.reset();
    Clica(SD.DesInsertPVcmd);
    Clica(SD.DesInsertTRcmd(0));
    Clica(SD.CopyAttTRCmd);
    Clica(SD.PointInfoCmd);
    ASSERT_EQ(mensagens.Lista().size(), 4u);
    for (const std::string& t : mensagens.Textos()) EXPECT_NE(t.find("Inicie o AutoCAD"), std::string::npos);
    EXPECT_TRUE(script->Requests().empty());
}

TEST_F(PainelComandos, TheNumberingCheckBoxesOpenTheirFields)
{
    // The capture tab's starting state.
    EXPECT_FALSE(SD.SANColIniTxt.Enabled());
    EXPECT_EQ(SD.SANColIniTxt.BackColor(), vbButtonFace);
    EXPECT_EQ(SD.SANColIniTxt.Text(), "001");
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "001");

    SD.SANAutoNumColChk.SetValue(vbChecked);
    EXPECT_TRUE(SD.SANColIniTxt.Enabled());
    EXPECT_EQ(SD.SANColIniTxt.BackColor(), vbWindowBackground);
    SD.SANAutoNumColChk.SetValue(vbUnchecked);
    EXPECT_FALSE(SD.SANColIniTxt.Enabled());
    EXPECT_EQ(SD.SANColIniTxt.BackColor(), vbButtonFace);

    SD.SANAutoNumPVChk.SetValue(vbChecked);
    EXPECT_TRUE(SD.SANPVIniTxt.Enabled());
    EXPECT_TRUE(SD.SANPrefixtxt.Enabled());
    EXPECT_EQ(SD.SANPrefixtxt.BackColor(), vbWindowBackground);
    EXPECT_TRUE(SD.lblDes(21).Enabled());
    SD.SANAutoNumPVChk.SetValue(vbUnchecked);
    EXPECT_FALSE(SD.SANPVIniTxt.Enabled());
    EXPECT_FALSE(SD.lblDes(21).Enabled());

    // The collector being renumbered, in three digits.
    SD.SANColIniTxt.SetText("7");
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "007");
    SD.SANColIniTxt.SetText("1234");
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "1234");
    SD.SANColIniTxt.SetText("7b");
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "7b");
}
