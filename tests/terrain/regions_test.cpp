// Regions built from boundary pieces: chaining into loops, regions by pattern
// name or by hatch, the band index, renaming, and the point-in-region lookups.

#include <gtest/gtest.h>

#include "HachurasTeste.h"
#include "cad/Ponto.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"

using namespace hachuras;

namespace {

using Lista = std::vector<double>;

class Regioes : public ::testing::Test {
protected:
    // One hatch of pattern `Nome` made of the pieces, finished.
    void Hatch(clsHatchs& h, const std::string& Nome, const std::vector<Lista>& Pecas, int Externo = 1)
    {
        for (const Lista& p : Pecas) h.AddLoop(p, Nome, Externo);
        h.MontaLoops();
    }
    static Lista Quadrado(double x0, double y0, double x1, double y1)
    {
        return {x0, y0, x1, y0, x1, y1, x0, y1, x0, y0};
    }
};

TEST_F(Regioes, PiecesChainIntoLoops)
{
    clsHatchs h;
    const double A[] = {0, 0}, B[] = {10, 0}, C[] = {10, 10}, D[] = {0, 10};
    auto seg = [](const double* p, const double* q) { return Lista{p[0], p[1], q[0], q[1]}; };

    // A→B, B→C, C→D, D→A in that order: the last piece closes the chain, and
    // the closure by force repeats its first point.
    h.AddLoop(seg(A, B), "P", 1);
    h.AddLoop(seg(B, C), "P", 1);
    h.AddLoop(seg(C, D), "P", 1);
    h.AddLoop(seg(D, A), "P", 1);
    ASSERT_EQ(h.LoopsBrutos().size(), 4u);
    EXPECT_EQ(h.LoopsBrutos()[0].Estado, 0);
    h.MontaLoops();
    ASSERT_EQ(h.Loops().size(), 1u);
    EXPECT_EQ(h.Loops()[0].Pontos, (Lista{0, 10, 0, 0, 10, 0, 10, 10, 0, 10, 0, 10}));
    EXPECT_EQ(h.Loops()[0].Hatch, 0);
    EXPECT_EQ(h.Loops()[0].Loop, 0);

    // Reversed and out of order: pieces are turned as needed.
    h.AddLoop(seg(B, A), "Q", 0);
    h.AddLoop(seg(D, C), "Q", 0);
    h.AddLoop(seg(A, D), "Q", 0);
    h.AddLoop(seg(B, C), "Q", 0);
    h.MontaLoops();
    ASSERT_EQ(h.Loops().size(), 2u);
    const clsHatchs::LoopRegiao& q = h.Loops()[1];
    EXPECT_EQ(q.Hatch, 1);
    EXPECT_EQ(q.Externo, 0);
    EXPECT_TRUE(Fechado(q.Pontos));
    EXPECT_EQ(q.Pontos.size(), 2u * 6u);

    // A chain still open after taking the last piece goes on with the pieces
    // that remain open, before any closure by force: one loop, not two.
    const double A2[] = {0.01, 0};  // a corner that misses by more than the tolerance
    h.AddLoop(seg(A, B), "R", 1);
    h.AddLoop(seg(C, D), "R", 1);
    h.AddLoop(seg(D, A2), "R", 1);
    h.AddLoop(seg(B, C), "R", 1);
    h.MontaLoops();
    ASSERT_EQ(h.Loops().size(), 3u);
    EXPECT_EQ(h.Loops()[2].Pontos, (Lista{0, 0, 10, 0, 10, 10, 0, 10, 0.01, 0, 0, 0}));

    // A closed piece stays as it is; a piece that meets nothing is closed by force.
    h.AddLoop(Quadrado(20, 20, 30, 30), "S", 1);
    h.AddLoop({40, 40, 50, 40, 50, 50}, "S", 0);
    h.MontaLoops();
    ASSERT_EQ(h.Loops().size(), 5u);
    EXPECT_EQ(h.Loops()[3].Pontos, Quadrado(20, 20, 30, 30));
    EXPECT_EQ(h.Loops()[4].Pontos, (Lista{40, 40, 50, 40, 50, 50, 40, 40}));
    EXPECT_EQ(h.Loops()[4].Loop, 1);

    // Regions in order of first appearance; the hatch number counts every hatch.
    ASSERT_EQ(gNumHatchs, 4);
    EXPECT_EQ(gHatchs[0].Nome, "P");
    EXPECT_EQ(gHatchs[3].Nome, "S");
    EXPECT_DOUBLE_EQ(gHatchs[3].MinY, 20);
    EXPECT_DOUBLE_EQ(gHatchs[3].MaxY, 50);
}

TEST_F(Regioes, RegionsByPatternOrByHatch)
{
    // Two hatches of one pattern, far apart: one region spanning both.
    {
        clsHatchs h;
        Hatch(h, "ANSI31", {Quadrado(0, 0, 100, 100)});
        Hatch(h, "OUTRO", {Quadrado(0, 0, 10, 10)});
        Hatch(h, "ANSI31", {Quadrado(5000, 3000, 5100, 3200)});
        Hatch(h, "VAZIO", {});  // a hatch without loops makes no region
        ASSERT_EQ(gNumHatchs, 2);
        ASSERT_EQ(gHatchs.size(), 2u);
        EXPECT_EQ(gHatchs[0].Nome, "ANSI31");
        EXPECT_DOUBLE_EQ(gHatchs[0].MinY, 0);
        EXPECT_DOUBLE_EQ(gHatchs[0].MaxY, 3200);
        EXPECT_EQ(h.Loops().size(), 3u);
        h.IndexaRegioes();
        gHatchZonas = gHatchs;
        int i = -1;
        EXPECT_EQ(ZonaDoPonto(Ponto(50, 50), i), "ANSI31");
        EXPECT_EQ(ZonaDoPonto(Ponto(5050, 3100), i), "ANSI31");
        EXPECT_EQ(i, 0);

        // Renaming by pattern: every loop of that pattern, no other.
        h.SetTipo(0, "Zona Norte");
        EXPECT_EQ(h.Loops()[0].Nome, "Zona Norte");
        EXPECT_EQ(h.Loops()[1].Nome, "OUTRO");
        EXPECT_EQ(h.Loops()[2].Nome, "Zona Norte");
    }
    ZeraRegioes();
    // Zones keep one region per hatch: the same pattern no longer merges them.
    {
        clsHatchs h;
        h.RegiaoPorHatch = true;
        Hatch(h, "ANSI31", {Quadrado(0, 0, 100, 100)});
        Hatch(h, "VAZIO", {});
        Hatch(h, "ANSI31", {Quadrado(5000, 3000, 5100, 3200)});
        ASSERT_EQ(gNumHatchs, 2);
        EXPECT_DOUBLE_EQ(gHatchs[0].MaxY, 100);
        EXPECT_DOUBLE_EQ(gHatchs[1].MinY, 3000);
        h.IndexaRegioes();
        gHatchZonas = gHatchs;
        int i = -1;
        ZonaDoPonto(Ponto(50, 50), i);
        EXPECT_EQ(i, 0);
        ZonaDoPonto(Ponto(5050, 3100), i);
        EXPECT_EQ(i, 1);
        EXPECT_EQ(gHatchZonas[0].Faixas.size(), 4u);  // bands −1..2, not the other hatch's too

        h.SetTipo(1, "Zona Sul");
        EXPECT_EQ(h.Loops()[0].Nome, "ANSI31");
        EXPECT_EQ(h.Loops()[1].Nome, "Zona Sul");
        EXPECT_EQ(h.Loops()[1].Hatch, 2);
    }
}

TEST_F(Regioes, BandIndex)
{
    EXPECT_EQ(Escala(1.234), 120);
    EXPECT_EQ(Escala(-1.234), -130);
    EXPECT_EQ(FaixaEscalada(-9990), 0);
    EXPECT_EQ(FaixaEscalada(-10000), -1);

    clsHatchs h;
    // Loops between Y = 250 and Y = 420: bands 1 to 5.
    Hatch(h, "A", {Quadrado(0, 250, 50, 420)});
    // A segment from (0, 0) to (10, 250) reaches bands 0, 1 and 2.
    Hatch(h, "B", {{0, 0, 10, 250}});
    // At UTM ordinates the band numbers are near 75,000 and a region keeps only its own.
    Hatch(h, "UTM", {Quadrado(350000, 7500000, 350500, 7500250)});
    h.IndexaRegioes();

    const HatchRec& a = gHatchs[0];
    EXPECT_EQ(a.PrimeiraFaixa, 1);
    EXPECT_EQ(a.Faixas.size(), 5u);
    EXPECT_EQ(a.Faixa(0), nullptr);
    EXPECT_EQ(a.Faixa(6), nullptr);
    // The vertical sides reach bands 2, 3 and 4; the horizontal ones only their own.
    EXPECT_EQ(a.Faixa(2)->Count, 3);
    EXPECT_EQ(a.Faixa(3)->Count, 2);
    EXPECT_EQ(a.Faixa(4)->Count, 3);
    EXPECT_EQ(a.Faixa(1)->Count, 0);
    for (const SegmentoRec& s : a.Faixa(2)->Segmentos) EXPECT_LE(s.yLow, s.yHigh);

    // Piece B was closed by force: (0,0)→(10,250) and back.
    const HatchRec& b = gHatchs[1];
    for (long long f : {0, 1, 2}) {
        ASSERT_NE(b.Faixa(f), nullptr);
        EXPECT_EQ(b.Faixa(f)->Count, 2) << f;
        EXPECT_EQ(b.Faixa(f)->Segmentos[0].xLow, 0);
        EXPECT_EQ(b.Faixa(f)->Segmentos[0].yHigh, 25000);
    }
    EXPECT_EQ(b.Faixa(3)->Count, 0);

    const HatchRec& u = gHatchs[2];
    EXPECT_EQ(u.PrimeiraFaixa, 74999);
    EXPECT_EQ(u.Faixas.size(), 5u);
    gHatchPavimentos = gHatchs;
    EXPECT_EQ(PavimentoDoPonto(Ponto(350250.3, 7500100.7)), "UTM");
    EXPECT_EQ(PavimentoDoPonto(Ponto(350250.3, 7500300)), "Sem Pavimento");
}

TEST_F(Regioes, PointInRegion)
{
    int c = 0;
    // Segment wholly left of P, one end on each side with P to the right, P to the left.
    EXPECT_TRUE(PontoNaRegiao(Ponto(100, 55), Ponto(0, 0), Ponto(10, 100), c));
    EXPECT_EQ(c, 6);
    EXPECT_TRUE(PontoNaRegiao(Ponto(100, 55), Ponto(0, 0), Ponto(150, 100), c));
    EXPECT_EQ(c, 5);
    EXPECT_TRUE(PontoNaRegiao(Ponto(100, 55), Ponto(150, 0), Ponto(0, 100), c));
    EXPECT_EQ(c, 1);
    EXPECT_FALSE(PontoNaRegiao(Ponto(100, 55), Ponto(120, 0), Ponto(300, 100)));
    EXPECT_FALSE(PontoNaRegiao(Ponto(100, 55), Ponto(0, 0), Ponto(300, 100)));
    EXPECT_FALSE(PontoNaRegiao(Ponto(100, 155), Ponto(0, 0), Ponto(10, 100)));
    EXPECT_FALSE(PontoNaRegiao(Ponto(100, 55), Ponto(0, 50), Ponto(10, 50)));  // horizontal: never crossed

    clsHatchs h;
    Hatch(h, "QUADRADO", {Quadrado(0, 0, 100, 100)});
    // A ring: outer square 0..100, inner square 40..60, one hatch.
    Hatch(h, "ANEL", {Quadrado(1000, 0, 1100, 100), Quadrado(1040, 40, 1060, 60)});
    // Two overlapping regions: the later one answers.
    Hatch(h, "BAIXO", {Quadrado(2000, 0, 2100, 100)});
    Hatch(h, "CIMA", {Quadrado(2050, 0, 2150, 100)});
    // Slanted edges: a diamond round (3050, 50), leaning both ways.
    Hatch(h, "LOSANGO", {{3000, 50, 3050, 0, 3100, 50, 3050, 100, 3000, 50}});
    h.IndexaRegioes();
    gHatchZonas = gHatchs;
    gHatchPavimentos = gHatchs;

    int i = 7;
    EXPECT_EQ(ZonaDoPonto(Ponto(50, 50), i), "QUADRADO");
    EXPECT_EQ(i, 0);
    i = 7;
    EXPECT_EQ(ZonaDoPonto(Ponto(150, 50), i), "");
    EXPECT_EQ(ZonaDoPonto(Ponto(-10, 50), i), "");
    // On a vertex's ordinate the query lies just above it: outside the top side.
    EXPECT_EQ(ZonaDoPonto(Ponto(50, 100.0), i), "");
    EXPECT_EQ(ZonaDoPonto(Ponto(50, 0.0), i), "QUADRADO");
    // A band outside the region's range.
    i = 7;
    EXPECT_EQ(ZonaDoPonto(Ponto(50, 1000), i), "");
    EXPECT_EQ(i, 7);  // left as it was when no region holds the point
    // Beyond what the index holds: in no region.
    EXPECT_EQ(ZonaDoPonto(Ponto(1e300, 50), i), "");
    EXPECT_EQ(ZonaDoPonto(Ponto(50, -1e300), i), "");

    EXPECT_EQ(ZonaDoPonto(Ponto(1050, 50), i), "");
    EXPECT_EQ(ZonaDoPonto(Ponto(1020, 50), i), "ANEL");
    EXPECT_EQ(ZonaDoPonto(Ponto(2075, 50), i), "CIMA");
    EXPECT_EQ(i, 3);
    EXPECT_EQ(ZonaDoPonto(Ponto(2025, 50), i), "BAIXO");

    // Either side of each slanted edge, off the middle of the edge; the
    // query lies 0.05 above the ordinate, where the lower left edge is at 3019.95.
    EXPECT_EQ(ZonaDoPonto(Ponto(3030, 30), i), "LOSANGO");
    EXPECT_EQ(i, 4);
    EXPECT_EQ(ZonaDoPonto(Ponto(3020.5, 30), i), "LOSANGO");
    EXPECT_EQ(ZonaDoPonto(Ponto(3019.5, 30), i), "");
    EXPECT_EQ(ZonaDoPonto(Ponto(3010, 30), i), "");
    EXPECT_EQ(ZonaDoPonto(Ponto(3075, 30), i), "LOSANGO");
    EXPECT_EQ(ZonaDoPonto(Ponto(3085, 30), i), "");
    EXPECT_EQ(ZonaDoPonto(Ponto(3015, 70), i), "");
    EXPECT_EQ(ZonaDoPonto(Ponto(3025, 70), i), "LOSANGO");
    EXPECT_EQ(ZonaDoPonto(Ponto(3070, 75), i), "LOSANGO");
    EXPECT_EQ(ZonaDoPonto(Ponto(3080, 75), i), "");
    EXPECT_EQ(PavimentoDoPonto(Ponto(3090, 40)), "LOSANGO");

    EXPECT_EQ(PavimentoDoPonto(Ponto(1050, 50)), "Sem Pavimento");
    EXPECT_EQ(PavimentoDoPonto(Ponto(1020, 50)), "ANEL");
    std::string nome = "x";
    h.Info_Pavto(Ponto(2125, 50), nome);
    EXPECT_EQ(nome, "CIMA");
    h.Info_Pavto(Ponto(5000, 50), nome);
    EXPECT_EQ(nome, "");

    // Negative coordinates: bands truncate toward zero on both sides of the axis.
    ZeraRegioes();
    clsHatchs n;
    Hatch(n, "NEG", {Quadrado(-300, -250, -100, -50)});
    n.IndexaRegioes();
    gHatchZonas = gHatchs;
    for (double y : {-249.9, -200.0, -150.05, -100.0, -99.97, -50.2})
        EXPECT_EQ(ZonaDoPonto(Ponto(-200, y), i), "NEG") << y;
    for (double y : {-250.5, -49.9, 10.0}) EXPECT_EQ(ZonaDoPonto(Ponto(-200, y), i), "") << y;
}

}  // namespace
