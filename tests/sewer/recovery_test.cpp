// The recovery of a generic network from the reach lines of an older drawing:
// manholes placed and numbered at line ends, shared where lines meet, reused
// where one stands already; reaches with the lines' pavement and contribution.

#include <gtest/gtest.h>

#include "ImportTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/CurveEntities.h"
#include "sewer/modRedeSAN.h"

using namespace sewertest;

namespace {

class RecuperacaoTest : public ImportTest {
protected:
    // A reach line as the export writes it: on "REDE", with the reach
    // layout's data (number, upstream manhole, pavement, contribution).
    acad::Line* Linha(const Ponto& A, const Ponto& B, const std::string& Pavimento, const std::string& Contrib)
    {
        acad::Line* l = gModelSpace->AddLine(A, B);
        l->SetLayer("REDE");
        l->SetXData({1001, 1000, 1000, 1000, 1000},
                    {std::string("NUMEROTRE"), std::string("7"), std::string("1"), Pavimento, Contrib});
        return l;
    }
    std::map<std::string, std::string> PVGenEm(const Ponto& P)
    {
        for (acad::BlockReference* b : Blocos("E-PVGEN"))
            if (Perto(Ponto(b->InsertionPoint()), Ponto(P.X, P.Y, P.Z))) return Atributos(b);
        return {};
    }
};

TEST_F(RecuperacaoTest, ManholesAreNumberedAtLineEndsSharedAndReused)
{
    GetLayer("REDE", 0, "");
    // A manhole of an earlier recovery near the third line's far end.
    des.InsertPVGen(Ponto(60.5, 0.5), "99", "95.000", 0);
    Linha(Ponto(0, 0, 100.5), Ponto(30, 0, 100.2), "Asfalto", "SIM");
    Linha(Ponto(30, 0, 100.2), Ponto(30, 40, 99.9), "Terra", "NAO");
    Linha(Ponto(30, 0, 100.2), Ponto(60, 0, 99.0), "Concreto", "UNI");
    // Not reaches: a line without data, and one on another layer.
    gModelSpace->AddLine(Ponto(0, 50, 0), Ponto(20, 50, 0))->SetLayer("REDE");
    gModelSpace->AddLine(Ponto(0, 70, 0), Ponto(20, 70, 0))
        ->SetXData({1001, 1000}, {std::string("NUMEROTRE"), std::string("8")});
    gNumPVs = 3;

    arquivos.push_back("");
    imp.CaptureOld();

    const auto pvs = Blocos("E-PVGEN");
    ASSERT_EQ(pvs.size(), 4u);
    EXPECT_EQ(PVGenEm(Ponto(0, 0, 100.5))["NUMERO"], "1");
    EXPECT_EQ(PVGenEm(Ponto(0, 0, 100.5))["CT"], "100.500");
    EXPECT_EQ(PVGenEm(Ponto(30, 0, 100.2))["NUMERO"], "2");
    EXPECT_EQ(PVGenEm(Ponto(30, 0, 100.2))["ET"], "0");
    EXPECT_EQ(PVGenEm(Ponto(30, 40, 99.9))["NUMERO"], "3");
    EXPECT_EQ(PVGenEm(Ponto(30, 40, 99.9))["CT"], "99.900");

    const auto trs = Blocos("E-TRCGEN");
    ASSERT_EQ(trs.size(), 3u);
    EXPECT_EQ(Atributos(trs[0])["TRECHO"], "1-2");
    EXPECT_EQ(Atributos(trs[0])["PAVMTO"], "Asfalto");
    EXPECT_EQ(Atributos(trs[0])["CONTRIB"], "SIM");
    EXPECT_EQ(Atributos(trs[0])["MATERIAL"], "");
    EXPECT_EQ(Atributos(trs[1])["TRECHO"], "2-3");
    EXPECT_EQ(Atributos(trs[1])["PAVMTO"], "Terra");
    // The old manhole 99 ends the third reach.
    EXPECT_EQ(Atributos(trs[2])["TRECHO"], "2-99");
    EXPECT_EQ(Atributos(trs[2])["CONTRIB"], "UNI");
    EXPECT_EQ(gNumPVs, 0);
    EXPECT_EQ(gNumTRs, 0);

    // Every reach runs downhill and is short: no warning, only the end.
    EXPECT_EQ(mensagens.Textos(), (std::vector<std::string>{"Concluido", "Nenhum arquivo selecionado"}));
    ASSERT_EQ(dialogos.size(), 1u);
    ASSERT_FALSE(dialogos[0].filters.empty());
    EXPECT_EQ(dialogos[0].filters[0].description, "AutoCAD Drawing (*.dwg) ");

    // Again: no new manhole, a second set of reaches.
    mensagens.Limpa();
    arquivos.push_back((pasta / "recuperado.dwg").string());
    imp.CaptureOld();
    EXPECT_EQ(Blocos("E-PVGEN").size(), 4u);
    EXPECT_EQ(Blocos("E-TRCGEN").size(), 6u);
    EXPECT_TRUE(std::filesystem::exists(pasta / "recuperado.dwg"));
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Concluido"});
}

TEST_F(RecuperacaoTest, DataOfAnotherApplicationFirstAndTheReachWarnings)
{
    GetLayer("REDE", 0, "");
    // Another application's data before the reach layout's: the layout's own
    // values are read.
    acad::Line* l1 = Linha(Ponto(0, 0, 100), Ponto(150, 0, 99), "Asfalto", "SIM");
    l1->SetXData({1001, 1000}, {std::string("OUTRA"), std::string("x")});
    // Only another application's data: its positions 3 and 4 are taken.
    acad::Line* l2 = gModelSpace->AddLine(Ponto(150, 0, 99), Ponto(150, 20, 99.5));
    l2->SetLayer("REDE");
    l2->SetXData({1001, 1000, 1000, 1000, 1000}, {std::string("OUTRA"), std::string("a"), std::string("b"),
                                                  std::string("Paralelepípedo"), std::string("NAO")});

    arquivos.push_back("");
    imp.CaptureOld();
    const auto trs = Blocos("E-TRCGEN");
    ASSERT_EQ(trs.size(), 2u);
    EXPECT_EQ(Atributos(trs[0])["PAVMTO"], "Asfalto");
    EXPECT_EQ(Atributos(trs[0])["CONTRIB"], "SIM");
    EXPECT_EQ(Atributos(trs[1])["PAVMTO"], "Paralelepípedo");
    EXPECT_EQ(Atributos(trs[1])["CONTRIB"], "NAO");
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{"Este Trecho é maior que 100 metros", "Sentido desfavorável", "Concluido",
                                        "Nenhum arquivo selecionado"}));
}

TEST_F(RecuperacaoTest, ADrawingWithoutReachLinesEndsQuietly)
{
    arquivos.push_back("");
    imp.CaptureOld();
    EXPECT_TRUE(Blocos("E-PVGEN").empty());
    EXPECT_EQ(mensagens.Textos(), (std::vector<std::string>{"Concluido", "Nenhum arquivo selecionado"}));
}

}  // namespace
