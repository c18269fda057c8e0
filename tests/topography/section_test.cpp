// The "Seções" tab: the section read from a polyline through survey points
// (its direction, a vertex without a point), drawn in a window (the station
// offset, the frame, the profile pieces) and the entries it refuses.

#include <algorithm>
#include <array>
#include <cmath>

#include "DesenhoTopo.h"
#include "cad/modGeometria.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/PolylineEntities.h"
#include "topography/TOPDes98.h"
#include "topography/clsTOPSec.h"

using namespace topotest;

namespace {

class Painel : public forms::Form {
public:
    Painel() : Form("Painel") {}
    TOPDes98& Topo = Add<TOPDes98>("Topo");
};

class Secoes : public DesenhoTopo {
protected:
    Secoes()
    {
        forms::Load(painel);
        painel.Show(forms::vbModeless);
        forms::user::ChooseTab(T().SSTopo, 4);
    }
    ~Secoes() override { forms::Unload(painel); }
    TOPDes98& T() { return painel.Topo; }

    // Survey points at (x, y) with elevation z, and a polyline through them.
    acad::LWPolyline* Linha(const std::vector<std::array<double, 3>>& Vertices)
    {
        std::vector<double> xy;
        int i = 0;
        for (const auto& v : Vertices) {
            Ponto_(v[0], v[1], "V" + std::to_string(++i), FormatNum(v[2], 3));
            xy.push_back(v[0]);
            xy.push_back(v[1]);
        }
        return Doc().ModelSpace().AddLightWeightPolyline(xy);
    }
    std::vector<std::string> Rotulos()
    {
        std::vector<std::string> r;
        for (int i = 0; i <= 5; ++i) r.push_back(T().SEClbl(i).Caption());
        return r;
    }
    void Seleciona(const Ponto& Onde)
    {
        script->Point(Onde);
        forms::user::Click(T().SECCmd(0));
    }
    void Desenha(const Ponto& A, const Ponto& B)
    {
        script->Point(A).Point(B);
        forms::user::Click(T().SECCmd(1));
    }
    std::vector<acad::Text*> TextosComRotacao(double r)
    {
        std::vector<acad::Text*> v;
        for (acad::Text* t : Todos<acad::Text>("TEXTO_80"))
            if (std::fabs(t->Rotation() - r) < 1e-9) v.push_back(t);
        return v;
    }

    Painel painel;
};

}  // namespace

TEST_F(Secoes, PickedNearTheEndTheSectionRunsBackwardsAndContinuesItsStations)
{
    Linha({{0, 0, 100}, {30, 0, 102}, {60, 40, 101}, {100, 40, 99.5}});
    Seleciona({95, 40, 0});
    EXPECT_EQ(Rotulos(), (std::vector<std::string>{"4", "99.500", "102.000", "2.500", "2.000", "120.00"}));
    ASSERT_NE(T().Secao(), nullptr);
    const auto& v = T().Secao()->Vertices();
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[0].Nome, "V4");
    EXPECT_EQ(v[1].Nome, "V4");
    EXPECT_EQ(v[4].Nome, "V1");
    EXPECT_DOUBLE_EQ(v[2].Progressiva, 40);
    EXPECT_DOUBLE_EQ(v[4].Progressiva, 120);
    EXPECT_TRUE(T().SECCmd(1).Enabled());

    // Station 1234.5: offset 4.5, first label 1230, the next start 1354.50.
    T().SECtxt(0).SetText("1234.5");
    Desenha({1000, 0, 0}, {1400, 200, 0});
    const std::vector<acad::LWPolyline*> perfis = Todos<acad::LWPolyline>("Perfil");
    ASSERT_EQ(perfis.size(), 1u);
    const acad::Point3d p0 = perfis[0]->Coordinate(0);
    EXPECT_DOUBLE_EQ(p0.x, 1004.5);
    EXPECT_DOUBLE_EQ(p0.y, 54 + (99.5 - 99 + 3) * 10);
    const std::vector<double> xy = perfis[0]->Coordinates();
    EXPECT_DOUBLE_EQ(xy[xy.size() - 2], 1000 + 4.5 + 120);
    std::vector<std::string> estacoes, distancias;
    for (acad::Text* t : TextosComRotacao(0))
        if (t->Alignment() == 13) estacoes.push_back(t->TextString());
    ASSERT_FALSE(estacoes.empty());
    EXPECT_EQ(estacoes.front(), "1230");
    EXPECT_EQ(estacoes.back(), "1360");
    for (acad::Text* t : TextosComRotacao(1.5707963267948966))
        if (std::fabs(t->TextAlignmentPoint().y - 24.75) < 1e-9) distancias.push_back(t->TextString());
    EXPECT_EQ(distancias.back(), "1354.50");
    EXPECT_NE(std::find(distancias.begin(), distancias.end(), "1274.50"), distancias.end());
    EXPECT_EQ(T().SECtxt(0).Text(), "1354.50");
    EXPECT_TRUE(T().SECCmd(0).Visible());
    EXPECT_TRUE(T().SECCmd(1).Enabled());
    EXPECT_TRUE(T().SECtxt(1).Enabled());
    EXPECT_EQ(Doc().Layers().Find("Grade_Perfil")->Color(), 252);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Secoes, AVertexWithoutItsPointStopsTheReadingAndKeepsDrawingOff)
{
    Linha({{0, 0, 5}, {30, 0, 6}, {60, 0, 7}});
    Seleciona({1, 0, 0});
    EXPECT_TRUE(T().SECCmd(1).Enabled());

    // A vertex a little off its point.
    Ponto_(200, 0, "W1", "1");
    Ponto_(230, 0, "W2", "1");
    Doc().ModelSpace().AddLightWeightPolyline({200, 0, 230.01, 0});
    Seleciona({201, 0, 0});
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Lendo Pontos da polylinha");
    EXPECT_EQ(caixas[0].Texto, "Vértice da Polylinha sem Ponto Válido");
    EXPECT_EQ(Rotulos(), (std::vector<std::string>(6, "0")));
    EXPECT_FALSE(T().SECCmd(1).Enabled());
    EXPECT_TRUE(T().SECCmd(0).Enabled());
    const std::vector<acad::BlockReference*> erros = Todos<acad::BlockReference>("0-Conferencia");
    ASSERT_EQ(erros.size(), 1u);
    EXPECT_EQ(erros[0]->Name(), "ErroC");
    EXPECT_EQ(erros[0]->InsertionPoint(), acad::Point3d(230.01, 0, 0));
    EXPECT_EQ(erros[0]->Color(), 6);
    EXPECT_DOUBLE_EQ(erros[0]->XScaleFactor(), 10.0);

    // Something that is no polyline: nothing said, nothing read.
    caixas.clear();
    Seleciona({230, 0, 0});
    EXPECT_TRUE(caixas.empty());
    EXPECT_FALSE(T().SECCmd(1).Enabled());
}

TEST_F(Secoes, ASteepSectionIsCutIntoPiecesThatAlwaysAdvance)
{
    // 0, 10, ... 70 m up, one metre to the metre: pieces share their end vertex.
    std::vector<std::array<double, 3>> v;
    for (int i = 0; i < 8; ++i) v.push_back({i * 10.0, 0, i * 10.0});
    Linha(v);
    T().SECtxt(1).SetText("1");
    Seleciona({1, 0, 0});
    Desenha({0, -300, 0}, {200, -200, 0});
    // The last piece, 30 to 70, rises to 97 in a frame 100 high: one piece.
    EXPECT_EQ(T().Secao()->Pecas(), (std::vector<std::pair<int, int>>{{0, 4}, {4, 8}}));
    const std::vector<acad::LWPolyline*> perfis = Todos<acad::LWPolyline>("Perfil");
    ASSERT_EQ(perfis.size(), 2u);
    // Each piece on its own datum: 3 units above the frame's table.
    EXPECT_DOUBLE_EQ(perfis[1]->Coordinate(0).y, -300 + 54 + 3);
    EXPECT_TRUE(caixas.empty());

    // A last piece that fits in its frame is not cut again at the end.
    Linha({{0, 100, 101}, {10, 100, 102}, {20, 100, 100}, {30, 100, 101}, {40, 100, 102}});
    T().SECtxt(1).SetText("10");
    Seleciona({1, 100, 0});
    Desenha({1000, 0, 0}, {1200, 130, 0});
    EXPECT_EQ(T().Secao()->Pecas(), (std::vector<std::pair<int, int>>{{0, 2}, {2, 3}, {3, 5}}));
}

TEST_F(Secoes, AWindowTooLowTakesTheMinimumHeightAndStillEnds)
{
    // Small steps: the minimum height fits one segment per piece.
    Linha({{0, 0, 0}, {10, 0, 1}, {20, 0, 0}, {30, 0, 1}, {40, 0, 0}});
    Seleciona({1, 0, 0});
    respostas = {true};
    Desenha({0, 500, 0}, {100, 510, 0});
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Desenhar a Seção Topográfica");
    EXPECT_EQ(caixas[0].Texto, "Altura muito pequena!!!\r\nUtilizar a altura mínima?");
    const auto& pecas = T().Secao()->Pecas();
    ASSERT_FALSE(pecas.empty());
    for (const auto& p : pecas) EXPECT_GT(p.second, p.first);
    EXPECT_EQ(pecas.back().second, 5);

    // A steep end: the last piece is cut as the others, so no profile rises
    // above the frame's top line.
    Linha({{0, 100, 800}, {10, 100, 812}, {20, 100, 805}, {30, 100, 830}, {40, 100, 820}, {50, 100, 790}});
    Seleciona({1, 100, 0});
    respostas = {true};
    Desenha({0, 1000, 0}, {100, 1020, 0});
    double topo = 0;
    for (acad::Line* l : Todos<acad::Line>("Quadro_Perfil")) topo = std::max(topo, l->StartPoint().y);
    for (acad::LWPolyline* p : Todos<acad::LWPolyline>("Perfil"))
        for (int i = 0; i < p->NumberOfVertices(); ++i) EXPECT_LE(p->Coordinate(i).y, topo);

    // "Não": nothing drawn, the tab back as it was.
    const std::size_t antes = Todos<acad::Entity>().size();
    caixas.clear();
    respostas = {false};
    Desenha({0, 500, 0}, {100, 510, 0});
    EXPECT_EQ(Todos<acad::Entity>().size(), antes);
    EXPECT_TRUE(T().SECCmd(0).Visible());
    EXPECT_TRUE(T().SECCmd(1).Enabled());
}

TEST_F(Secoes, FiguresComeFromTheDataBelowZeroToo)
{
    Linha({{0, 0, -12.5}, {10, 0, -3}, {20, 0, -7.25}});
    Seleciona({1, 0, 0});
    EXPECT_EQ(Rotulos(), (std::vector<std::string>{"3", "-12.500", "-3.000", "9.500", "9.500", "20.00"}));
}

TEST_F(Secoes, EntriesThatWouldNeverEndAreRefusedBeforeSelectingOrDrawing)
{
    Linha({{0, 0, 1}, {10, 0, 2}});
    for (const char* q : {"0", "", "2.5"}) {
        caixas.clear();
        T().SECtxt(2).SetText(q);
        Seleciona({1, 0, 0});
        ASSERT_EQ(caixas.size(), 1u) << q;
        EXPECT_EQ(caixas[0].Texto, "A equidistância deve ser um número inteiro maior ou igual a 1.");
        EXPECT_EQ(script->Remaining(), 1u);
        // Mended, the same press reads the pick left waiting.
        T().SECtxt(2).SetText("1");
        forms::user::Click(T().SECCmd(0));
        EXPECT_EQ(script->Remaining(), 0u);
    }
    ASSERT_TRUE(T().SECCmd(1).Enabled());

    caixas.clear();
    T().SECtxt(1).SetText("0");
    Desenha({0, 0, 0}, {100, 100, 0});
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Texto, "A relação entre as escalas deve ser um número maior que 0.");
    EXPECT_TRUE(Todos<acad::LWPolyline>("Perfil").empty());
    EXPECT_TRUE(T().SECCmd(0).Visible());
    EXPECT_EQ(script->Remaining(), 2u);
    T().SECtxt(1).SetText("10");
    forms::user::Click(T().SECCmd(1));
    EXPECT_FALSE(Todos<acad::LWPolyline>("Perfil").empty());

    // The key filters and the defaults of the emptied boxes.
    T().SECtxt(2).SetText("");
    forms::user::Type(T().SECtxt(2), "1,5x");
    EXPECT_EQ(T().SECtxt(2).Text(), "15");
    T().SECtxt(0).SetText("");
    forms::user::Type(T().SECtxt(0), "12,5a");
    EXPECT_EQ(T().SECtxt(0).Text(), "12.5");
    T().SECtxt(0).SetText("");
    T().SECtxt(1).SetText("");
    forms::user::Focus(T().SECtxt(0));
    forms::user::Focus(T().SECtxt(1));
    forms::user::Focus(T().SECtxt(2));
    EXPECT_EQ(T().SECtxt(0).Text(), "0");
    EXPECT_EQ(T().SECtxt(1).Text(), "10");
}

TEST_F(Secoes, BackOnTheTabTheSectionMustBeSelectedAgain)
{
    Linha({{0, 0, 1}, {10, 0, 2}});
    Seleciona({1, 0, 0});
    ASSERT_TRUE(T().SECCmd(1).Enabled());
    forms::user::ChooseTab(T().SSTopo, 3);
    forms::user::ChooseTab(T().SSTopo, 4);
    // The worker was released with the tab: nothing to draw, the tab intact.
    forms::user::Click(T().SECCmd(1));
    EXPECT_FALSE(T().SECCmd(1).Enabled());
    EXPECT_TRUE(T().SECCmd(0).Visible());
    EXPECT_TRUE(T().SECtxt(0).Enabled());
    EXPECT_TRUE(T().SECtxt(1).Enabled());
    EXPECT_TRUE(Todos<acad::LWPolyline>("Perfil").empty());
    Seleciona({1, 0, 0});
    EXPECT_TRUE(T().SECCmd(1).Enabled());
}
