// The water export's readers over drawings made by the water drawing object:
// the pipes with the fittings at their ends (the length check, the stage
// layers, tees and coupling chains, every fault marked), the nodes and the
// zones, the nodes drawing and the continuity check.

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "DesenhoAgua.h"
#include "RedeAgua.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Tables.h"
#include "water/ClsWATExp.h"
#include "water/WATDes.h"

using namespace watertest;

namespace {

class Leitura : public DesenhoAgua {
protected:
    // The fault markers left on the verification layer, by their text.
    std::vector<std::pair<std::string, Ponto>> Marcas()
    {
        std::vector<std::pair<std::string, Ponto>> v;
        for (acad::BlockReference* b : Blocos("ErroC"))
            if (b->Layer() == "0-Conferencia") v.emplace_back(Texto(b, "MENSAGEM"), Ponto(b->InsertionPoint()));
        return v;
    }
    std::vector<std::string> TextosDasMarcas()
    {
        std::vector<std::string> v;
        for (const auto& m : Marcas()) v.push_back(m.first);
        return v;
    }
    static bool Perto(const Ponto& A, const Ponto& B, double Tol = 1e-4)
    {
        return std::hypot(A.X - B.X, A.Y - B.Y) < Tol;
    }
    // The pipe of the table whose label has this handle.
    static const TuboExpRec* Tubo(const acad::BlockReference* Rotulo)
    {
        for (const TuboExpRec& t : gTubosExp)
            if (t.AHandle == Rotulo->Handle()) return &t;
        return nullptr;
    }
    acad::LWPolyline* LinhaDoTubo(const TuboExpRec& t)
    {
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* p = dynamic_cast<acad::LWPolyline*>(e); p && p->Handle() == t.LHandle) return p;
        return nullptr;
    }

    ClsWATExp exp;
};

}  // namespace

TEST_F(Leitura, ThePipesOfASmallNetworkWithTheirCapsAndTheTee)
{
    RedePequena rede = DesenhaRedePequena(des, *script, Doc(), "1");
    ASSERT_EQ(rede.Tubos.size(), 3u);
    for (acad::BlockReference* t : rede.Tubos) ASSERT_NE(t, nullptr);
    const std::string contrib = Texto(rede.Tubos[0], "CONTRIB");
    Doc().SetVariable("LTSCALE", 2.5);
    app->ZoomCenter({500, 500, 0}, 80);

    EXPECT_TRUE(exp.LerTrechos(0.5, true));
    EXPECT_EQ(exp.Falhas(), 0);
    for (const Caixa& c : caixas) ADD_FAILURE() << c.Titulo << ": " << c.Texto;
    ASSERT_EQ(gNumTubosExp, 3);
    ASSERT_EQ(gTubosExp.size(), 3u);

    const TuboExpRec* oeste = Tubo(rede.Tubos[0]);
    ASSERT_NE(oeste, nullptr);
    EXPECT_EQ(oeste->Tipo, "FFK7");
    EXPECT_EQ(oeste->Diametro, "100");
    EXPECT_EQ(oeste->CompNominal, "50");
    EXPECT_EQ(oeste->Material, "Tubo FoFo K7 JGS");
    EXPECT_EQ(oeste->Etapa, 1);
    // The polyline runs socket to socket; each end goes on to the fitting's point.
    ASSERT_NE(LinhaDoTubo(*oeste), nullptr);
    EXPECT_EQ(LinhaDoTubo(*oeste)->Layer(), "T_100_1");
    ASSERT_EQ(oeste->ConexoesIni.size(), 1u);
    ASSERT_EQ(oeste->ConexoesFim.size(), 1u);
    const PontaConexao& cap = oeste->ConexoesIni[0];
    EXPECT_EQ(cap.Tipo, "CAPFF");
    EXPECT_EQ(cap.Diametro1, "100");
    EXPECT_EQ(cap.Diametro2, "");
    EXPECT_EQ(cap.nBolsas, 1);
    EXPECT_DOUBLE_EQ(cap.EscalaX, 0.5);
    EXPECT_TRUE(Perto(cap.PontoBusca, {1.5, 0}));
    EXPECT_TRUE(Perto(cap.PontoSaida, {0, 0}));
    const PontaConexao& te = oeste->ConexoesFim[0];
    EXPECT_EQ(te.Tipo, "TEFF");
    EXPECT_EQ(te.nBolsas, 3);
    EXPECT_TRUE(Perto(te.PontoSaida, {50, 0}));
    EXPECT_TRUE(Perto(oeste->PontoIni, {0, 0}));
    EXPECT_TRUE(Perto(oeste->PontoFim, {50, 0}));
    EXPECT_EQ(oeste->nBolsasIni, 1);
    EXPECT_EQ(oeste->nBolsasFim, 3);
    const TuboExpRec* norte = Tubo(rede.Tubos[2]);
    ASSERT_NE(norte, nullptr);
    EXPECT_TRUE(Perto(norte->PontoIni, {50, 50}));
    EXPECT_TRUE(Perto(norte->PontoFim, {50, 0}));

    // The engineer's contribution choice stays; LTSCALE and the view come back.
    EXPECT_EQ(Texto(rede.Tubos[0], "CONTRIB"), contrib);
    EXPECT_DOUBLE_EQ(Doc().GetVariable("LTSCALE").AsDouble(), 2.5);
    EXPECT_TRUE(Perto(Centro(), {500, 500}));
    EXPECT_NEAR(Altura(), 80, 1e-6);
}

TEST_F(Leitura, TheLengthCheckAtTheToleranceAndWithoutIt)
{
    // Measured 50: a nominal length of 40 is 10 off.
    noTubo = [](frmWATTubo& t) {
        t.Text1.SetText("40");
        forms::user::Click(t.CmdOK);
    };
    RedePequena rede = DesenhaRedePequena(des, *script, Doc());
    EXPECT_EQ(Texto(rede.Tubos[0], "CODIGO"), "FFK7DN100-40m");

    EXPECT_TRUE(exp.LerTrechos(10.0, true));  // exactly at the tolerance
    EXPECT_TRUE(Marcas().empty());
    EXPECT_TRUE(exp.LerTrechos(0.0, true));  // no check
    EXPECT_TRUE(Marcas().empty());

    EXPECT_FALSE(exp.LerTrechos(9.99, true));
    EXPECT_EQ(exp.Falhas(), 3);
    EXPECT_EQ(gNumTubosExp, 3);  // still read
    const auto m = Marcas();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].first, "50.00 x 40");
    // At the code's place, scale 20.
    EXPECT_TRUE(Perto(m[0].second, Ponto(Atributo(rede.Tubos[0], "CODIGO")->TextAlignmentPoint()), 1e-6));
    EXPECT_DOUBLE_EQ(Blocos("ErroC").front()->XScaleFactor(), 20.0);
    EXPECT_TRUE(caixas.empty());
}

TEST_F(Leitura, CouplingChainsAreSharedHalfAndHalfBetweenTheTwoPipes)
{
    CriaBlocoConexao("A-LUVA", false);
    // Pipe A from a cap to one coupling; pipe B from that coupling to a cap.
    acad::BlockReference* c1 = PoeConexao(des, *script, Doc(), "A-CAP", "CAPFFDN100", {0, 0, 0}, PI);
    acad::BlockReference* l = PoeConexao(des, *script, Doc(), "A-LUVA", "LUFFDN100", {50, 0, 0});
    acad::BlockReference* c2 = PoeConexao(des, *script, Doc(), "A-CAP", "CAPFFDN100", {100, 0, 0});
    acad::BlockReference* a = PoeTubo(des, *script, Doc(), c1, {1.5, 0, 0}, l, {49, 0, 0});
    acad::BlockReference* b = PoeTubo(des, *script, Doc(), c2, {98.5, 0, 0}, l, {51, 0, 0});
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    // Three couplings in a row between two more pipes, 1 apart at their sockets.
    acad::BlockReference* c3 = PoeConexao(des, *script, Doc(), "A-CAP", "CAPFFDN100", {0, 100, 0}, PI);
    acad::BlockReference* l1 = PoeConexao(des, *script, Doc(), "A-LUVA", "LUFFDN100", {49, 100, 0});
    ASSERT_NE(PoeConexao(des, *script, Doc(), "A-LUVA", "LUFFDN100", {51, 100, 0}), nullptr);
    acad::BlockReference* l3 = PoeConexao(des, *script, Doc(), "A-LUVA", "LUFFDN100", {53, 100, 0});
    acad::BlockReference* c4 = PoeConexao(des, *script, Doc(), "A-CAP", "CAPFFDN100", {100, 100, 0});
    acad::BlockReference* d = PoeTubo(des, *script, Doc(), c3, {1.5, 100, 0}, l1, {48, 100, 0});
    acad::BlockReference* e = PoeTubo(des, *script, Doc(), c4, {98.5, 100, 0}, l3, {54, 100, 0});
    ASSERT_NE(d, nullptr);
    ASSERT_NE(e, nullptr);

    // The pipe command measured each pipe to its first fitting's point (49
    // and 47 for the lower pair); the reading runs on to the middle coupling,
    // which the two share: 1.5 + 46.5 + 1 + 1 + 1 = 51 and 1.5 + 44.5 + 3 = 49.
    // One coupling is all the upper pair's: 50 and 50, as proposed.
    EXPECT_EQ(Texto(a, "CODIGO"), "FFK7DN100-50m");
    EXPECT_EQ(Texto(d, "CODIGO"), "FFK7DN100-49m");
    EXPECT_FALSE(exp.LerTrechos(0.5, true));
    EXPECT_EQ(TextosDasMarcas(), (std::vector<std::string>{"51.00 x 49", "49.00 x 47"}));
    // One coupling: both pipes end at its point, each with the one entry.
    for (acad::BlockReference* r : {a, b}) {
        const TuboExpRec* t = Tubo(r);
        ASSERT_NE(t, nullptr);
        ASSERT_EQ(t->ConexoesFim.size(), 1u);
        EXPECT_EQ(t->ConexoesFim[0].Tipo, "LUFF");
        EXPECT_EQ(t->nBolsasFim, 2);
        EXPECT_TRUE(Perto(t->PontoFim, {50, 0}));
    }
    // Three couplings: each pipe keeps the two next to it, both ending at the middle one.
    const TuboExpRec* td = Tubo(d);
    const TuboExpRec* te = Tubo(e);
    ASSERT_NE(td, nullptr);
    ASSERT_NE(te, nullptr);
    ASSERT_EQ(td->ConexoesFim.size(), 2u);
    ASSERT_EQ(te->ConexoesFim.size(), 2u);
    EXPECT_TRUE(Perto(td->ConexoesFim[0].PontoInsercao, {49, 100}));
    EXPECT_TRUE(Perto(td->ConexoesFim[0].PontoSaida, {50, 100}));
    EXPECT_TRUE(Perto(te->ConexoesFim[0].PontoInsercao, {53, 100}));
    EXPECT_TRUE(Perto(td->PontoFim, {51, 100}));
    EXPECT_TRUE(Perto(te->PontoFim, {51, 100}));
}

TEST_F(Leitura, EveryBadInputIsMarkedAndTheReadingFails)
{
    RedePequena rede = DesenhaRedePequena(des, *script, Doc());
    // The west cap gone: that end stops at the polyline's vertex.
    rede.CapOeste->Delete();
    // The east cap of a material the catalogue lacks: the pipe ends at it.
    SetAtributo("MATERIAL", "Barro", rede.CapLeste);
    EXPECT_FALSE(exp.LerTrechos(0.0, true));
    auto m = Marcas();
    ASSERT_EQ(m.size(), 2u) << ::testing::PrintToString(TextosDasMarcas());
    EXPECT_EQ(m[0].first, "Conexão não encontrada");
    EXPECT_TRUE(Perto(m[0].second, {1.5, 0}));
    EXPECT_EQ(m[1].first, "Conexão fora do catálogo");
    EXPECT_TRUE(Perto(m[1].second, {100, 0}));
    ASSERT_EQ(gNumTubosExp, 3);
    const TuboExpRec* oeste = Tubo(rede.Tubos[0]);
    ASSERT_NE(oeste, nullptr);
    EXPECT_TRUE(oeste->ConexoesIni.empty());
    EXPECT_TRUE(Perto(oeste->PontoIni, {1.5, 0}));
    EXPECT_EQ(oeste->nBolsasIni, 0);
    const TuboExpRec* leste = Tubo(rede.Tubos[1]);
    ASSERT_NE(leste, nullptr);
    ASSERT_EQ(leste->ConexoesIni.size(), 1u);
    EXPECT_EQ(leste->nBolsasIni, 0);
    EXPECT_TRUE(Perto(leste->PontoIni, {100, 0}));
    LimpaConferencia();

    // A label without its polyline, and a code without "DN": left out, marked.
    for (acad::Entity* e : Doc().ModelSpace())
        if (auto* p = dynamic_cast<acad::LWPolyline*>(e); p && p->Layer() == "T_100") {
            const std::vector<double> c = p->Coordinates();
            if (std::fabs(c[1] - 48.5) < 1e-6 || std::fabs(c.back() - 48.5) < 1e-6) p->Delete();
        }
    SetAtributo("CODIGO", "FFK7100-50m", rede.Tubos[1]);
    SetAtributo("MATERIAL", kFerroFundido, rede.CapLeste);
    EXPECT_FALSE(exp.LerTrechos(0.0, true));
    std::vector<std::string> textos = TextosDasMarcas();
    std::sort(textos.begin(), textos.end());
    EXPECT_EQ(textos, (std::vector<std::string>{"Conexão não encontrada", "Código inválido", "Tubo não encontrado"}));
    EXPECT_EQ(gNumTubosExp, 1);
    EXPECT_EQ(gTubosExp.size(), 1u);

    // Nothing to read: the message, an empty table, LTSCALE back.
    LimpaConferencia();
    for (acad::BlockReference* r : Blocos("A-TUBO")) r->Delete();
    Doc().SetVariable("LTSCALE", 3.0);
    EXPECT_FALSE(exp.LerTrechos(10.0, true));
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Lendo Trechos...");
    EXPECT_EQ(caixas[0].Texto, "Rede não encontrada.\r\n\r\nOperação Cancelada.");
    EXPECT_EQ(gNumTubosExp, 1);  // the table of the reading before
    EXPECT_DOUBLE_EQ(Doc().GetVariable("LTSCALE").AsDouble(), 3.0);
}
