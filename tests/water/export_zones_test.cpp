// The water export between its readers, through the real drawing host: zone
// hatches of one pattern read back one region each and named by the zone
// block inside them, whatever the order of blocks and hatches; two blocks in
// one hatch refused; nodes given their zone record and their ground
// elevation, a node in no zone (or in a hatch no block names) circled and
// told, nodes off the terrain named in one message.

#include <cmath>
#include <fstream>

#include "PainelAgua.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Tables.h"
#include "terrain/clsDelaunay.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"
#include "water/ClsWATExp.h"
#include "water/modExportacao.h"

using namespace watertest;

namespace {

class ExportaZonas : public PainelAguaTest {
protected:
    // A hatch of the pattern "ANSI31" over the square of side 100 from (x0, y0).
    void Quadrado(double x0, double y0)
    {
        acad::LWPolyline* borda =
            gModelSpace->AddLightWeightPolyline({x0, y0, x0 + 100, y0, x0 + 100, y0 + 100, x0, y0 + 100});
        borda->SetClosed(true);
        acad::Hatch* h = gModelSpace->AddHatch(acad::HatchPatternType::PreDefined, "ANSI31", true);
        h->AppendOuterLoop({borda});
        h->Evaluate();
    }

    // The zone regions of the drawing's hatches, one per hatch, as the export reads them.
    void LeZonas()
    {
        zonas.RegiaoPorHatch = true;
        zonas.CreateDXF("");
        ASSERT_TRUE(zonas.ReadHatchs());
        gHatchZonas = gHatchs;
    }

    static ZonaRec Zona(const std::string& Nome, double x, double y)
    {
        ZonaRec z;
        z.Nome = Nome;
        z.Tipo = "VPM";
        z.Ponto = Ponto(x, y, 0);
        return z;
    }

    static void Node(const std::string& Label, double x, double y)
    {
        NoRec n;
        n.Label = Label;
        n.Ponto = Ponto(x, y, 0);
        gNos.push_back(n);
        gNumNos = static_cast<std::int32_t>(gNos.size());
    }

    // A survey point of elevation z.
    void PontoTopografico(const std::string& Nome, double x, double y, const std::string& z)
    {
        Doc().RegisteredApplications().Add(Nome);
        gModelSpace->AddPoint({x, y, 0})->SetXData(
            {1001, 1000, 1000}, {acad::Variant(Nome), acad::Variant(z), acad::Variant(std::string())});
    }

    clsHatchs zonas;
};

}  // namespace

TEST_F(ExportaZonas, EachHatchIsNamedByTheZoneBlockInsideItAndTwoBlocksInOneHatchAreRefused)
{
    // Three hatches of one pattern side by side: the first named by the second
    // block, the second by the first, the third by none; a block outside all.
    Quadrado(0, 0);
    Quadrado(100, 0);
    Quadrado(200, 0);
    LeZonas();
    ASSERT_EQ(gHatchZonas.size(), 3u);
    gZonas = {Zona("Centro", 150, 50), Zona("Norte", 50, 50), Zona("Fora", 500, 500)};

    ASSERT_TRUE(NomeiaZonas(zonas));
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(gZonaDaRegiao, (std::vector<std::int32_t>{1, 0, -1}));
    EXPECT_EQ(gHatchZonas[0].Nome, "Norte");
    EXPECT_EQ(gHatchZonas[1].Nome, "Centro");
    EXPECT_EQ(gHatchZonas[2].Nome, "ANSI31");
    // The loops of each hatch take its zone's name, not those of the others.
    int norte = 0, centro = 0;
    for (const clsHatchs::LoopRegiao& l : zonas.Loops()) {
        norte += l.Nome == "Norte";
        centro += l.Nome == "Centro";
    }
    EXPECT_EQ(norte, 1);
    EXPECT_EQ(centro, 1);
    EXPECT_EQ(ZonaDoNo(Ponto(20, 20, 0)), 1);
    EXPECT_EQ(ZonaDoNo(Ponto(180, 20, 0)), 0);
    // A hatch that no block names is no zone, nor is the space outside.
    EXPECT_EQ(ZonaDoNo(Ponto(250, 50, 0)), -1);
    EXPECT_EQ(ZonaDoNo(Ponto(350, 50, 0)), -1);

    // A second block in the first hatch: both named, nothing linked after them.
    gZonas.push_back(Zona("Sul", 20, 80));
    EXPECT_FALSE(NomeiaZonas(zonas));
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Atenção");
    EXPECT_EQ(caixas[0].Texto,
              "As zonas \"Norte\" e \"Sul\" estão na mesma hachura: cada zona precisa de uma hachura própria.\r\n\r\n"
              "Operação cancelada.");
}

TEST_F(ExportaZonas, NodesTakeTheirZoneAndGroundElevationAndEveryNodeOffAZoneOrTheTerrainIsTold)
{
    Quadrado(0, 0);
    Quadrado(100, 0);
    LeZonas();
    // Listed against the hatches' order: the node counts follow the blocks.
    gZonas = {Zona("Leste", 150, 50), Zona("Oeste", 50, 50)};
    ASSERT_TRUE(NomeiaZonas(zonas));

    // The ground: the plane 100 + x/10 over the square 0..120 × 0..100.
    for (auto [x, y] : {std::pair{0.0, 0.0}, {120.0, 0.0}, {0.0, 100.0}, {120.0, 100.0}, {60.0, 50.0}})
        PontoTopografico("T" + std::to_string(static_cast<int>(x)) + "_" + std::to_string(static_cast<int>(y)), x, y,
                         std::to_string(100 + x / 10));
    clsDelaunay terreno;
    terreno.Execute();

    Node("1", 50, 50);   // Oeste, on the terrain
    Node("2", 110, 20);  // Leste, on the terrain
    Node("3", 150, 50);  // Leste, off the terrain
    Node("4", 250, 50);  // in no zone, off the terrain
    Node("5", 180, 80);  // Leste, off the terrain
    std::vector<std::string> semCota;
    EXPECT_FALSE(DadosAosNodes(WC.ProgressBar1, semCota));

    EXPECT_EQ(gNos[0].Zona, "Oeste");
    EXPECT_EQ(gNos[1].Zona, "Leste");
    EXPECT_EQ(gNos[3].Zona, "");
    EXPECT_EQ(gZonas[0].TotalNodes, 3);
    EXPECT_EQ(gZonas[1].TotalNodes, 1);
    EXPECT_NEAR(gNos[0].Elevation, 105.0, 1e-9);
    EXPECT_NEAR(gNos[1].Elevation, 111.0, 1e-9);
    EXPECT_EQ(gNos[2].Elevation, 0.0);
    EXPECT_EQ(semCota, (std::vector<std::string>{"3", "4", "5"}));
    EXPECT_EQ(MensagemSemCota(semCota), "Os nodes 3, 4, 5 estão fora do modelo do terreno: a cota exportada será 0.");
    EXPECT_EQ(MensagemSemCota({"12"}), "O node 12 está fora do modelo do terreno: a cota exportada será 0.");

    // One message and one circle of radius 50 for the node in no zone, the
    // view centred on it.
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Atenção");
    EXPECT_EQ(caixas[0].Texto, "NODE fora de Zona");
    int circulos = 0;
    for (acad::Entity* e : Doc().ModelSpace())
        if (auto* c = dynamic_cast<acad::Circle*>(e)) {
            ++circulos;
            EXPECT_EQ(Ponto(c->Center()), Ponto(250, 50, 0));
            EXPECT_EQ(c->Radius(), 50.0);
        }
    EXPECT_EQ(circulos, 1);
    EXPECT_EQ(Centro(), Ponto(250, 50, 0));
    EXPECT_EQ(Altura(), 150.0);
    // The bar is cleared once every node has had its step.
    EXPECT_EQ(WC.ProgressBar1.CurValue(), 0);
}

TEST_F(ExportaZonas, AHatchFileThatCannotBeReadIsToldAndEndsTheReading)
{
    cadtest::PastaTemporaria pasta;
    const std::string arquivo = (pasta.Caminho() / "zonas-ZON.dxf").string();
    {
        std::ofstream f(arquivo, std::ios::binary);
        f << "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nHATCH\r\n";  // no end of file
    }
    zonas.SetCaminhoDXF(arquivo);
    EXPECT_FALSE(zonas.ReadHatchs());
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_NE(caixas[0].Texto.find(arquivo), std::string::npos);
    EXPECT_TRUE(gHatchs.empty());

    zonas.SetCaminhoDXF((pasta.Caminho() / "nenhum.dxf").string());
    EXPECT_FALSE(zonas.ReadHatchs());
    EXPECT_EQ(caixas.size(), 2u);
    // Without a file (the hatches could not be written, and that was told) there is nothing to read.
    zonas.SetCaminhoDXF("");
    EXPECT_FALSE(zonas.ReadHatchs());
    EXPECT_EQ(caixas.size(), 2u);
}
