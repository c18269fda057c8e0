// The nodes and zones of the water export read back, the nodes drawing built
// from the panel and read again after numbering, and the continuity check
// from the panel: its fault marks, its tapered paths and their clean-up.

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "PainelAgua.h"
#include "RedeAgua.h"
#include "cad/modDesenho.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Tables.h"
#include "water/ClsWATExp.h"

using namespace watertest;
using namespace forms;

namespace {

class NodesContinuidade : public PainelAguaTest {
protected:
    acad::BlockReference* Node(double x, double y, double r, const std::string& Numero)
    {
        EXPECT_TRUE(InsertBlockFile("ErroC"));
        acad::BlockReference* b = gModelSpace->InsertBlock({x, y, 0}, "ErroC", r, r, r, 0);
        SetAtributo("MENSAGEM", Numero, b);
        return b;
    }
    acad::BlockReference* Zona(const std::string& Bloco, const Ponto& P, const std::string& Nome,
                               const std::string& Tag, const std::string& Valor)
    {
        EXPECT_TRUE(InsertBlockFile(Bloco));
        acad::BlockReference* b = gModelSpace->InsertBlock(P, Bloco, 1, 1, 1, 0);
        SetAtributo("NOME", Nome, b);
        SetAtributo(Tag, Valor, b);
        return b;
    }
    template <typename T>
    std::vector<T*> NaCamada(const std::string& Camada)
    {
        std::vector<T*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* t = dynamic_cast<T*>(e); t && t->Layer() == Camada) v.push_back(t);
        return v;
    }
    static bool Perto(const Ponto& A, const Ponto& B) { return std::hypot(A.X - B.X, A.Y - B.Y) < 1e-4; }

    // Picks every pipe label of the small network on screen.
    void SelecionaRede() { script->Crossing({-10, -10, 0}, {110, 60, 0}).Enter(); }

    ClsWATExp exp;
};

// The user's trash lives in the test's folder while it runs.
class LixeiraDoTeste {
public:
    explicit LixeiraDoTeste(const std::filesystem::path& Home)
    {
        for (const char* n : {"HOME", "XDG_DATA_HOME"})
            if (const char* v = std::getenv(n))
                antes_.emplace_back(n, std::string(v));
            else
                antes_.emplace_back(n, std::nullopt);
        setenv("HOME", Home.c_str(), 1);
        unsetenv("XDG_DATA_HOME");
    }
    ~LixeiraDoTeste()
    {
        for (const auto& [n, v] : antes_)
            if (v)
                setenv(n.c_str(), v->c_str(), 1);
            else
                unsetenv(n.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> antes_;
};

std::string Le(const std::filesystem::path& P)
{
    std::ifstream f(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

}  // namespace

TEST_F(NodesContinuidade, NodesAreSortedByTheirNumberOfAnySizeAndBadNumbersRefuseTheDrawing)
{
    Node(0, 0, 1, "10");
    Node(10, 0, 2.5, "2");
    Node(20, 0, 1, "123456789012345678901234567890");
    Node(30, 0, 1, "33");
    // A fault marker is a node too: the block name alone decides.
    acad::BlockReference* marca = Node(40, 0, 20, "4");
    Doc().Layers().Add("0-Conferencia");
    marca->SetLayer("0-Conferencia");

    ASSERT_TRUE(exp.LoadNodes());
    ASSERT_EQ(gNumNos, 5);
    std::vector<std::string> rotulos;
    for (const NoRec& n : gNos) rotulos.push_back(n.Label);
    EXPECT_EQ(rotulos, (std::vector<std::string>{"2", "4", "10", "33", "123456789012345678901234567890"}));
    EXPECT_DOUBLE_EQ(gNos[0].Raio, 2.5);
    EXPECT_EQ(gNos[0].Ponto, Ponto(10, 0, 0));
    EXPECT_EQ(gNos[1].ObjectID, marca->ObjectID());
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(WC.ProgressBar1.Caption(), "");

    // "7" and "007" are one number on two nodes; "3a" is none: refused, the table kept.
    Node(50, 0, 1, "7");
    Node(60, 0, 1, "007");
    ASSERT_TRUE(exp.LoadNodes() == false);
    acad::BlockReference* ruim = Node(70, 0, 1, "3a");
    EXPECT_FALSE(exp.LoadNodes());
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[0].Titulo, "Lendo Nodes...");
    EXPECT_EQ(caixas[0].Texto,
              "Node \"007\" em 50.00,0.00 e em 60.00,0.00: número repetido.\r\n\r\nOperação cancelada.");
    EXPECT_EQ(caixas[1].Texto, "Node \"3a\" em 70.00,0.00: o número não é um inteiro.\r\n\r\nOperação cancelada.");
    EXPECT_EQ(gNumNos, 5);
    EXPECT_EQ(gNos.size(), 5u);

    // No node at all.
    for (acad::BlockReference* b : Blocos("ErroC")) b->Delete();
    (void)ruim;
    EXPECT_FALSE(exp.LoadNodes());
    ASSERT_EQ(caixas.size(), 3u);
    EXPECT_EQ(caixas[2].Texto, "Nenhum Node encontrado.\r\n\r\nOperação cancelada.");
    EXPECT_EQ(gNumNos, 5);
}

TEST_F(NodesContinuidade, ZoneBlocksEachWithItsOwnNameAndValue)
{
    Zona("Zon_PorM", {10, 20, 0}, "A", "VPM", "1,5");
    Zona("Zon_Total", {30, 40, 0}, "B", "VTZ", "20");
    Zona("Zon_PorM", {50, 60, 0}, "C", "VPM", "");
    // A block whose name attribute is gone takes no name from the block before.
    acad::BlockReference* semNome = Zona("Zon_Total", {70, 80, 0}, "", "VTZ", "3.5");
    Atributo(semNome, "NOME")->Delete();
    ASSERT_TRUE(exp.LoadZonas());
    ASSERT_EQ(gZonas.size(), 4u);
    EXPECT_EQ(gZonas[0].Nome, "A");
    EXPECT_EQ(gZonas[0].Tipo, "VPM");
    EXPECT_DOUBLE_EQ(gZonas[0].Valor, 1.5);
    EXPECT_EQ(gZonas[0].Ponto, Ponto(10, 20, 0));
    EXPECT_EQ(gZonas[1].Nome, "B");
    EXPECT_EQ(gZonas[1].Tipo, "VTZ");
    EXPECT_DOUBLE_EQ(gZonas[1].Valor, 20.0);
    EXPECT_EQ(gZonas[2].Nome, "C");
    EXPECT_DOUBLE_EQ(gZonas[2].Valor, 0.0);
    EXPECT_EQ(gZonas[3].Nome, "");
    EXPECT_DOUBLE_EQ(gZonas[3].Valor, 3.5);
    for (const ZonaRec& z : gZonas) EXPECT_EQ(z.TotalNodes, 0);
    EXPECT_TRUE(caixas.empty());

    for (acad::BlockReference* b : Blocos("Zon_PorM")) b->Delete();
    for (acad::BlockReference* b : Blocos("Zon_Total")) b->Delete();
    EXPECT_FALSE(exp.LoadZonas());
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Lendo Zonas...");
    EXPECT_EQ(caixas[0].Texto, "Nenhum informação de Zona encontrada.\r\n\r\nOperação cancelada.");
    EXPECT_EQ(gZonas.size(), 4u);
}

TEST_F(NodesContinuidade, TheNodesDrawingIsBuiltSavedOverTheOldOneAndReadBackNumbered)
{
    LixeiraDoTeste lixeira(pasta.Caminho());
    RedePequena rede = DesenhaRedePequena(des, *script, Doc());
    const std::filesystem::path dwg = pasta / "Bairro-CAD.dwg";
    Doc().SaveAs(dwg.string());
    const std::filesystem::path nod = pasta / "Bairro-CAD_NOD.dwg";
    {
        std::ofstream(nod) << "numeração antiga";
    }
    acad::Document* redeDoc = &Doc();

    WC.SetInterface(2);
    user::ChooseTab(WC.SSLumbra, 1);
    SelecionaRede();
    user::Click(WC.NODLerDesenhoCmd);
    for (const Caixa& c : caixas) ADD_FAILURE() << c.Titulo << ": " << c.Texto;
    ASSERT_NE(&Doc(), redeDoc);
    EXPECT_EQ(std::filesystem::path(Doc().FullName()), nod);
    EXPECT_EQ(Le(pasta / ".local/share/Trash/files/Bairro-CAD_NOD.dwg"), "numeração antiga");
    EXPECT_NE(Le(nod), "numeração antiga");

    // One node per distinct pipe end: three caps (1 socket) and the tee (3).
    std::vector<acad::BlockReference*> nos = NaCamada<acad::BlockReference>("NODES");
    ASSERT_EQ(nos.size(), 4u);
    int caps = 0, tes = 0;
    for (acad::BlockReference* n : nos) {
        EXPECT_EQ(n->Name(), "ErroC");
        if (Perto(n->InsertionPoint(), {50, 0})) {
            ++tes;
            EXPECT_DOUBLE_EQ(n->XScaleFactor(), 5);
            EXPECT_EQ(n->Color(), 3);
        } else {
            ++caps;
            EXPECT_DOUBLE_EQ(n->XScaleFactor(), 2);
            EXPECT_EQ(n->Color(), 1);
        }
    }
    EXPECT_EQ(caps, 3);
    EXPECT_EQ(tes, 1);
    std::vector<acad::Circle*> circulos = NaCamada<acad::Circle>("REDE");
    ASSERT_EQ(circulos.size(), 4u);
    for (acad::Circle* c : circulos) EXPECT_DOUBLE_EQ(c->Radius(), 0.2);
    // The network as the reference "REDE"; every other layer grey and frozen.
    bool referencia = false;
    for (acad::Entity* e : Doc().ModelSpace())
        if (auto* x = dynamic_cast<acad::ExternalReference*>(e)) referencia = x->Name() == "REDE";
    EXPECT_TRUE(referencia);
    EXPECT_EQ(Doc().Layers().Item("NODES")->Color(), 6);
    EXPECT_EQ(Doc().Layers().Item("REDE")->Color(), 6);
    EXPECT_TRUE(Doc().Layers().Item("REDE")->Lock());
    EXPECT_TRUE(Doc().Layers().Item("0")->Freeze());
    EXPECT_FALSE(Doc().Layers().Item("NODES")->Freeze());
    EXPECT_EQ(Doc().Layers().Item("0")->Color(), 8);
    (void)rede;

    // Numbered from the top, then read back as the export reads them.
    user::Click(WC.NODNumeraCmd);
    const bool lidos = exp.LoadNodes();
    for (const Caixa& c : caixas) ADD_FAILURE() << c.Titulo << ": " << c.Texto;
    ASSERT_TRUE(lidos);
    ASSERT_EQ(gNumNos, 4);
    EXPECT_EQ(gNos[0].Label, "1");
    EXPECT_TRUE(Perto(gNos[0].Ponto, {50, 50}));
    EXPECT_EQ(gNos[3].Label, "4");
    EXPECT_TRUE(caixas.empty());
}

TEST_F(NodesContinuidade, ANetworkNeverSavedHasNoNodesDrawing)
{
    DesenhaRedePequena(des, *script, Doc());
    acad::Document* redeDoc = &Doc();
    WC.SetInterface(2);
    user::ChooseTab(WC.SSLumbra, 1);
    user::Click(WC.NODLerDesenhoCmd);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Texto,
              "Salve o desenho da REDE antes de construir o desenho dos NODES.\r\n\r\nOperação cancelada.");
    EXPECT_EQ(&Doc(), redeDoc);
}

TEST_F(NodesContinuidade, TheContinuityCheckMarksAPipeOffItsLengthThenDrawsThePathsAndIsCleared)
{
    int n = 0;
    noTubo = [&n](frmWATTubo& t) {
        if (n++ == 0) t.Text1.SetText("80");
        user::Click(t.CmdOK);
    };
    DesenhaRedePequena(des, *script, Doc());
    WC.SetInterface(1);
    user::ChooseTab(WC.SSTools, 2);
    EXPECT_EQ(WC.WatVerifScr.Value(), 10);

    SelecionaRede();
    user::Click(WC.WatVerifCmd);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Lendo Trechos...");
    EXPECT_EQ(caixas[0].Texto, "Trechos com falhas: 1 (marcadas na camada \"0-Conferencia\").");
    std::vector<acad::BlockReference*> marcas = NaCamada<acad::BlockReference>("0-Conferencia");
    ASSERT_EQ(marcas.size(), 1u);
    EXPECT_EQ(Texto(marcas[0], "MENSAGEM"), "50.00 x 80");
    EXPECT_TRUE(NaCamada<acad::LWPolyline>("0-Conferencia").empty());

    // With room for it, every pipe's path from fitting to fitting.
    user::Click(WC.WarVerifLimpaCmd);
    WC.WatVerifScr.SetValue(100);
    EXPECT_EQ(WC.WatVerifLbl.Caption(), "100");
    SelecionaRede();
    user::Click(WC.WatVerifCmd);
    EXPECT_EQ(caixas.size(), 1u);
    std::vector<acad::LWPolyline*> caminhos = NaCamada<acad::LWPolyline>("0-Conferencia");
    ASSERT_EQ(caminhos.size(), 3u);
    acad::LWPolyline* oeste = nullptr;
    for (acad::LWPolyline* p : caminhos)
        if (Perto(p->Coordinate(0), {0, 0})) oeste = p;
    ASSERT_NE(oeste, nullptr);
    // The cap's point, its socket, the pipe's far socket, the tee's point.
    ASSERT_EQ(oeste->NumberOfVertices(), 4);
    EXPECT_TRUE(Perto(oeste->Coordinate(1), {1.5, 0}));
    EXPECT_TRUE(Perto(oeste->Coordinate(2), {48, 0}));
    EXPECT_TRUE(Perto(oeste->Coordinate(3), {50, 0}));
    double a = 0, b = 0;
    oeste->GetWidth(0, a, b);
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(0.0, 1.5));
    oeste->GetWidth(2, a, b);
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(1.5, 0.0));
    std::vector<acad::Circle*> pontas = NaCamada<acad::Circle>("0-Conferencia");
    ASSERT_EQ(pontas.size(), 6u);
    int nosTe = 0;
    for (acad::Circle* c : pontas) {
        EXPECT_DOUBLE_EQ(c->Radius(), 5.0);
        if (Perto(c->Center(), {50, 0})) {
            ++nosTe;
            EXPECT_EQ(c->Color(), 3);
        } else {
            EXPECT_EQ(c->Color(), 1);
        }
    }
    EXPECT_EQ(nosTe, 3);
    EXPECT_EQ(Doc().Layers().Item("0-Conferencia")->Color(), 8);

    user::Click(WC.WarVerifLimpaCmd);
    EXPECT_TRUE(NaCamada<acad::Entity>("0-Conferencia").empty());
}
