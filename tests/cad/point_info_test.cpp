// Point information: a survey point's name, elevation and description read
// from its extended data, or a free position, returned and shown.

#include "CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modInfoPonto.h"

using namespace cadtest;

namespace {

class Info : public CadTest {
protected:
    Info()
    {
        Conecta();
        app->ZoomCenter({0, 0, 0}, 100);
    }

    acad::Point* PontoTopografico(const Ponto& p, const std::string& nome, const std::string& cota,
                                  const std::string& info)
    {
        acad::Point* pt = gModelSpace->AddPoint(p);
        pt->SetXData({1001, 1000, 1000}, {nome, cota, info});
        return pt;
    }

    // What the caller had before asking.
    Ponto P{-1, -1, -1};
    std::string nome = "antes", cota = "0", descricao = "-";
};

class InfoSemHost : public CadTest {
protected:
    InfoSemHost() : CadTest(false) {}
};

}  // namespace

TEST_F(Info, AFreePositionIsNamelessWithTheElevationOfItsZ)
{
    script->Point({10.5, 20.25, 3.1});
    InfoPonto(true, false, P, nome, cota, descricao, "Indique o ponto: ", true);
    EXPECT_EQ(P, Ponto(10.5, 20.25, 0));
    EXPECT_EQ(nome, "Sem nome");
    EXPECT_EQ(cota, "3.1");
    EXPECT_EQ(descricao, "Não tem");
    EXPECT_EQ(script->Prompts(), std::vector<std::string>{"Indique o ponto: "});
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Nome: Sem nome\nN: 20.250\nE: 10.500\nCota: 3.1\nInfo: Não tem");

    // Cancelled (Enter): nothing changes, nothing is shown.
    mensagens.Limpa();
    script->Enter();
    InfoPonto(true, false, P, nome, cota, descricao, "Indique o ponto: ", true);
    EXPECT_EQ(P, Ponto(10.5, 20.25, 0));
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Info, ASurveyPointGivesItsNameElevationAndDescription)
{
    PontoTopografico({12.5, -7.25, 101.25}, "P12", "101.25", "BL");
    script->Point({12.5, -7.25, 0});
    InfoPonto(true, false, P, nome, cota, descricao, "Selecione o ponto: ", false);
    EXPECT_EQ(P, Ponto(12.5, -7.25, 101.25));
    EXPECT_EQ(nome, "P12");
    EXPECT_EQ(cota, "101.25");
    EXPECT_EQ(descricao, "BL");
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Nome: P12\nN: -7.250\nE: 12.500\nCota: 101.25\nInfo: BL"});
    EXPECT_EQ(script->Requests().back().kind, acad::InputKind::SubEntity);

    // Not shown when not asked to; circled when asked to.
    mensagens.Limpa();
    const int antes = gModelSpace->Count();
    script->Point({12.7, -7.25, 0});
    InfoPonto(false, true, P, nome, cota, descricao, "Selecione o ponto: ", false);
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(gModelSpace->Count(), antes + 1);
    EXPECT_EQ(gModelSpace->LastEntity()->ObjectName(), "AcDbCircle");
}

TEST_F(Info, APointWithoutDataGivesItsPlaceOnlyAndOtherPicksNothing)
{
    gModelSpace->AddPoint({3, 4, 5});
    script->Point({3, 4, 0});
    InfoPonto(true, false, P, nome, cota, descricao, "Selecione o ponto: ", false);
    EXPECT_EQ(P, Ponto(3, 4, 5));
    EXPECT_EQ(nome, "antes");
    EXPECT_EQ(cota, "0");
    EXPECT_EQ(descricao, "-");
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Nome: antes\nN: 4.000\nE: 3.000\nCota: 0\nInfo: -"});

    // A line, empty space or Escape: the caller's values stay, nothing shown.
    mensagens.Limpa();
    P = Ponto(-1, -1, -1);
    gModelSpace->AddLine({20, 0, 0}, {20, 10, 0});
    for (int i = 0; i < 3; ++i) {
        if (i == 0) script->Point({20, 5, 0});
        if (i == 1) script->Point({-30, -30, 0});
        if (i == 2) script->Escape();
        InfoPonto(true, false, P, nome, cota, descricao, "Selecione o ponto: ", false);
    }
    EXPECT_EQ(P, Ponto(-1, -1, -1));
    EXPECT_EQ(nome, "antes");
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(InfoSemHost, WithoutAHostOnlyTheConnectionSpeaks)
{
    Ponto P(1, 2);
    std::string nome = "x", cota = "y", descricao = "z";
    InfoPonto(true, false, P, nome, cota, descricao, "Selecione o ponto: ", true);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Inicie o AutoCAD"), std::string::npos);
    EXPECT_EQ(P, Ponto(1, 2));
    EXPECT_EQ(nome, "x");
    EXPECT_TRUE(script->Requests().empty());
}
