// Reading the survey points of a drawing into the terrain model: which points
// become vertices, with what elevation, and what the user is told.

#include "TerrainTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/CurveEntities.h"
#include "terrain/clsDelaunay.h"

using namespace terraintest;

namespace {

class SurveyTest : public cadtest::CadTest {};

}  // namespace

// Close points: the first read wins within 3.0 in both X and Y; 3.0 apart in
// either is far enough.
TEST_F(SurveyTest, ClosePointsKeepTheFirstRead)
{
    PoePonto(Doc(), 100.0, 100.0, "10");
    PoePonto(Doc(), 102.9, 100.5, "20");  // 2.9 / 0.5 from the first: dropped
    PoePonto(Doc(), 103.0, 100.0, "30");  // 3.0 in X: kept
    PoePonto(Doc(), 100.0, 97.0, "40");   // 3.0 in Y: kept
    PoePonto(Doc(), 105.9, 102.9, "50");  // within 3.0 of the third only: dropped
    PoePonto(Doc(), 120.0, 130.0, "60");
    clsDelaunay d;
    d.Execute();
    ASSERT_EQ(gNumPontos, 4);
    ASSERT_EQ(gNumVertices, 4);
    const double esperado[4][3] = {{100, 100, 10}, {103, 100, 30}, {100, 97, 40}, {120, 130, 60}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(gVertices[i + 1].X, esperado[i][0]);
        EXPECT_EQ(gVertices[i + 1].Y, esperado[i][1]);
        EXPECT_EQ(gVertices[i + 1].Z, esperado[i][2]);
        EXPECT_EQ(gPontos[i].Z, esperado[i][2]);
    }
    // One entry per POINT read; the ones past the kept points stay zero.
    ASSERT_EQ(gPontos.size(), 7u);
    EXPECT_EQ(gPontos[5].X, 0);
    EXPECT_EQ(gNumTriangulos, 2);
    EXPECT_TRUE(mensagens.Lista().empty());
}

// Elevation texts with a decimal point or a decimal comma give the same
// number; UTM coordinates keep their centimetres; points without extended
// data (not survey points) are passed over without a word.
TEST_F(SurveyTest, ElevationTextsAndPlainPoints)
{
    PoePonto(Doc(), 734512.37, 7456789.12, "12.5");
    PoePonto(Doc(), 734522.37, 7456789.12, "12,5");
    PoePonto(Doc(), 734512.37, 7456799.12, " -3,25 ");
    PoePonto(Doc(), 734522.37, 7456799.12, "1e2");
    Doc().ModelSpace().AddPoint({734517.37, 7456794.12, 55});  // no extended data
    clsDelaunay d;
    d.Execute();
    ASSERT_EQ(gNumVertices, 4);
    EXPECT_EQ(gVertices[1].Z, 12.5);
    EXPECT_EQ(gVertices[2].Z, 12.5);
    EXPECT_EQ(gVertices[3].Z, -3.25);
    EXPECT_EQ(gVertices[4].Z, 100);
    EXPECT_EQ(gVertices[1].X, 734512.37);
    EXPECT_EQ(gVertices[1].Y, 7456789.12);
    EXPECT_EQ(gNumTriangulos, 2);
    EXPECT_TRUE(mensagens.Lista().empty());
}

// Elevations that are not numbers leave their points out of the model; one
// message at the end names every one of them. A bad point does not hide a
// good one near it.
TEST_F(SurveyTest, BadElevationTextsAreNamedOnce)
{
    PoePonto(Doc(), 0, 0, "1");
    PoePonto(Doc(), 1, 1, "", "VAZIO");
    PoePonto(Doc(), 50, 0, "abc", "LETRAS");
    PoePonto(Doc(), 50, 1, "2");  // kept: the bad point before it is not a vertex
    PoePonto(Doc(), 0, 50, "1,2,3", "DUAS");
    PoePonto(Doc(), 0, 51, "3");
    PoePonto(Doc(), 80, 80, "12.5.1", "PONTOS");
    clsDelaunay d;
    d.Execute();
    ASSERT_EQ(gNumVertices, 3);
    EXPECT_EQ(gVertices[2].X, 50);
    EXPECT_EQ(gVertices[2].Y, 1);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    const std::string& texto = mensagens.Lista()[0].Texto;
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_NE(texto.find("4 pontos ficaram fora do modelo do terreno"), std::string::npos) << texto;
    for (const char* nome : {"VAZIO", "LETRAS", "DUAS", "PONTOS"})
        EXPECT_NE(texto.find(nome), std::string::npos) << nome;
    EXPECT_NE(texto.find("\"abc\""), std::string::npos);
}

// The captions of a run, in order, and a drawing without POINTs: no model,
// no message. A new run replaces an earlier, larger model.
TEST_F(SurveyTest, CaptionsInOrderAndNoPoints)
{
    for (int i = 0; i < 5; ++i) PoePonto(Doc(), i * 10.0, (i % 2) * 10.0, "5");
    BarraEspiao espiao;
    clsDelaunay d;
    d.cProgress = &espiao.Barra();
    d.Execute();
    EXPECT_EQ(espiao.Legendas(),
              (std::vector<std::string>{"", "Lendo 5 Pontos...", "Triangulando...", "Recuperando Cotas...",
                                        "Otimizando..", "Finalizando...", ""}));
    EXPECT_EQ(gNumTriangulos, 3);

    app->Documents().Add("Acad");  // empty drawing, now the active one
    Doc().ModelSpace().AddLine({0, 0, 0}, {10, 10, 0});
    d.Execute();
    EXPECT_EQ(gNumPontos, 0);
    EXPECT_EQ(gNumVertices, 0);
    EXPECT_EQ(gNumTriangulos, 0);
    EXPECT_TRUE(mensagens.Lista().empty());
}

// Without a host nothing changes.
TEST(SurveyNoHost, ModelKeptWhenTheHostIsMissing)
{
    cadtest::ZeraGlobais();
    cadtest::Mensagens mensagens;
    gNumTriangulos = 0;
    gNumVertices = 7;
    clsDelaunay d;
    d.Execute();
    EXPECT_EQ(gNumVertices, 7);
    gNumVertices = 0;
}
