// The hydraulic-model database of the water export, written into a copy of
// the shipped template in a temporary folder and read back with SQLite: node
// attachment and stubs, zone stretches over real hatch regions, demands per
// zone, pipe end and node, orientation and order, the detail tables and check
// polylines, and what happens when an end has no node or the database fails.

#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "DesenhoAgua.h"
#include "RedeAgua.h"
#include "cad/CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/FileReplacement.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Tables.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"
#include "water/ClsWATExp.h"
#include "water/modExportacao.h"

namespace fs = std::filesystem;

namespace {

using Campo = std::variant<std::monostate, long long, double, std::string>;
using Linha = std::vector<Campo>;

double Num(const Campo& c)
{
    if (const auto* d = std::get_if<double>(&c)) return *d;
    if (const auto* i = std::get_if<long long>(&c)) return static_cast<double>(*i);
    ADD_FAILURE() << "campo não numérico";
    return NAN;
}
// The tables of the export and a copy of the template, over the drawing host
// of `Base` (a plain drawing, or one with the water catalogue loaded).
template <class Base>
class BancoRedeT : public Base {
protected:
    using Base::Conecta;
    using Base::Doc;
    using Base::mensagens;
    using Base::pasta;

    BancoRedeT()
    {
        banco = pasta / "Rede.mdb";
        fs::copy_file(cadtest::PastaDoPrograma() / "Lumbra.mdb", banco);
        Conecta();
    }
    acad::Block& MS() { return Doc().ModelSpace(); }

    NoRec& No(const std::string& Label, double x, double y, double Raio = 2.0)
    {
        NoRec n;
        n.Label = Label;
        n.Ponto = Ponto(x, y, 0);
        n.Raio = Raio;
        gNos.push_back(n);
        gNumNos = static_cast<std::int32_t>(gNos.size());
        return gNos.back();
    }

    // A pipe along the vertices, without fittings: its ends are its first and
    // last vertices.
    TuboExpRec& Tubo(const std::vector<double>& Coords, const std::string& Diametro = "100",
                     const std::string& Nominal = "100")
    {
        TuboExpRec t;
        t.Tipo = "PVC";
        t.Material = "PVC PBA";
        t.Diametro = Diametro;
        t.CompNominal = Nominal;
        t.Coords = Coords;
        t.PontoIni = Ponto(Coords[0], Coords[1], 0);
        t.PontoFim = Ponto(Coords[Coords.size() - 2], Coords.back(), 0);
        t.LHandle = "L" + std::to_string(gTubosExp.size());
        t.AHandle = "A" + std::to_string(gTubosExp.size());
        gTubosExp.push_back(t);
        gNumTubosExp = static_cast<std::int32_t>(gTubosExp.size());
        return gTubosExp.back();
    }

    static PontaConexao Conexao(const std::string& Tipo, Ponto Insercao, Ponto Busca, Ponto Saida, int nBolsas)
    {
        PontaConexao c;
        c.Tipo = Tipo;
        c.PontoInsercao = Insercao;
        c.PontoBusca = Busca;
        c.PontoSaida = Saida;
        c.nBolsas = static_cast<std::int16_t>(nBolsas);
        return c;
    }

    void Hachura(const std::string& Padrao, const std::string& Camada, double x0, double y0, double x1, double y1)
    {
        acad::Hatch* h = MS().AddHatch(acad::HatchPatternType::PreDefined, Padrao, false);
        h->AppendOuterLoop({MS().AddLightWeightPolyline({x0, y0, x1, y0, x1, y1, x0, y1})});
        Doc().Layers().Add(Camada);
        h->SetLayer(Camada);
    }

    ZonaRec& Zona(const std::string& Nome, const std::string& Tipo, double Valor, double x, double y)
    {
        ZonaRec z;
        z.Nome = Nome;
        z.Tipo = Tipo;
        z.Valor = Valor;
        z.Ponto = Ponto(x, y, 0);
        gZonas.push_back(z);
        return gZonas.back();
    }

    // The zone hatches (layer "ZONAS", one region each) and the pavement
    // hatches (layer "PAVIMENTO") read back as the export reads them; each
    // zone region named by the zone block inside it.
    void LeRegioes()
    {
        clsHatchs zonas;
        zonas.RegiaoPorHatch = true;
        zonas.CreateDXF("ZONAS");
        zonas.ReadHatchs();
        gHatchZonas = gHatchs;
        ASSERT_TRUE(NomeiaZonas(zonas));
        clsHatchs pavs;
        pavs.CreateDXF("PAVIMENTO");
        pavs.ReadHatchs();
        gHatchPavimentos = gHatchs;
    }

    std::vector<Linha> Consulta(const std::string& Sql)
    {
        std::vector<Linha> r;
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(banco.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, Sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            Linha l;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                switch (sqlite3_column_type(st, i)) {
                case SQLITE_INTEGER: l.emplace_back(static_cast<long long>(sqlite3_column_int64(st, i))); break;
                case SQLITE_FLOAT: l.emplace_back(sqlite3_column_double(st, i)); break;
                case SQLITE_TEXT:
                    l.emplace_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, i))));
                    break;
                default: l.emplace_back(std::monostate{});
                }
            }
            r.push_back(l);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return r;
    }
    long long Contagem(const std::string& Tabela)
    {
        return static_cast<long long>(Num(Consulta("SELECT COUNT(*) FROM \"" + Tabela + "\"")[0][0]));
    }
    long long TotalDeLinhas()
    {
        long long n = 0;
        for (const char* t : {"Pressure Junction", "Pressure Pipe", "Zonas", "tmp_Nodes", "tmp_PAVs", "tmp_Zonas",
                              "tmp_BENDs", "tmp_TUBOS"})
            n += Contagem(t);
        return n;
    }

    // The rows of a table as text, one field after another: numbers with 3
    // decimals, Null as "-", the check polylines' handles as "CP0", "CP1", ...
    std::vector<std::string> Tabela(const std::string& Sql)
    {
        std::map<std::string, std::string> apelido;
        int n = 0;
        for (acad::Entity* e : MS())
            if (e->Layer() == "0-Conferencia") apelido[e->Handle()] = "CP" + std::to_string(n++);
        std::vector<std::string> r;
        for (const Linha& l : Consulta(Sql)) {
            std::string s;
            for (std::size_t i = 0; i < l.size(); ++i) {
                const Campo& c = l[i];
                if (i > 0) s += " | ";
                if (std::holds_alternative<std::monostate>(c))
                    s += "-";
                else if (const auto* t = std::get_if<std::string>(&c))
                    s += apelido.count(*t) ? apelido[*t] : *t;
                else
                    s += FormatNum(Num(c), 3);
            }
            r.push_back(s);
        }
        return r;
    }

    std::vector<acad::LWPolyline*> Conferencia()
    {
        std::vector<acad::LWPolyline*> v;
        for (acad::Entity* e : MS())
            if (auto* p = dynamic_cast<acad::LWPolyline*>(e); p && p->Layer() == "0-Conferencia") v.push_back(p);
        return v;
    }

    fs::path banco;
    ClsWATExp exp;
};

class BancoRede : public BancoRedeT<cadtest::CadTest> {};

}  // namespace

// A 100 m path, its first 40 m in zone A (0.5 per metre) and the rest in zone
// B (1.0 per metre): 34 to the start node, 46 to the stop node.
TEST_F(BancoRede, ZoneDemandIsSharedByTheEndNodesByWhereEachStretchLies)
{
    Hachura("ANSI31", "ZONAS", -10, -50, 40, 50);
    Hachura("ANSI31", "ZONAS", 40, -50, 110, 50);
    // The zone records in another order than the regions: each zone takes the
    // demand of the region its block lies in.
    Zona("B", "VPM", 1.0, 80, 20);
    Zona("A", "VPM", 0.5, 10, 20);
    LeRegioes();
    No("3", 0, 0);
    No("7", 100, 0);
    Tubo({0, 0, 60, 0, 100, 0});

    ASSERT_TRUE(exp.Salva_Rede(banco.string(), false));
    EXPECT_TRUE(mensagens.Lista().empty());

    ASSERT_EQ(gListaSalva.size(), 2u);
    EXPECT_EQ(gListaSalva[0].Zona, 1);
    EXPECT_DOUBLE_EQ(gListaSalva[0].Distancia, 40);
    EXPECT_DOUBLE_EQ(gListaSalva[0].Inicial, 0);
    EXPECT_EQ(gListaSalva[1].Zona, 0);
    EXPECT_NEAR(gListaSalva[1].Distancia, 60, 1e-9);
    EXPECT_DOUBLE_EQ(gListaSalva[1].Inicial, 40);
    EXPECT_NEAR(gTubosExp[0].DemIni, 34, 1e-9);
    EXPECT_NEAR(gTubosExp[0].DemFim, 46, 1e-9);
    EXPECT_DOUBLE_EQ(gTubosExp[0].Comprimento, 100);

    EXPECT_EQ(Tabela("SELECT * FROM Zonas"),
              (std::vector<std::string>{"B | VPM | 60.000 | 0.000 | 1.000 | 1.000 | 60.000",
                                        "A | VPM | 40.000 | 0.000 | 0.500 | 0.500 | 20.000"}));
    EXPECT_EQ(Tabela("SELECT * FROM [Pressure Pipe]"),
              (std::vector<std::string>{"P-0 | J-3 | J-7 | 100 | 80.000 | 100.000 | PVC | 0.000"}));
    EXPECT_EQ(Tabela("SELECT Label, Demand, Numero FROM [Pressure Junction]"),
              (std::vector<std::string>{"J-3 | 34.000 | 3", "J-7 | 46.000 | 7"}));
    // Without the detail mode nothing else is written and nothing drawn.
    for (const char* t : {"tmp_Nodes", "tmp_PAVs", "tmp_Zonas", "tmp_BENDs", "tmp_TUBOS"})
        EXPECT_EQ(Contagem(t), 0) << t;
    EXPECT_TRUE(Conferencia().empty());
    EXPECT_TRUE(gTubosExp[0].Handle.empty());

    // Into the copy that takes an output's place, named at the system's limit:
    // the database's own journal beside the copy keeps within it too.
    const fs::path longo = pasta / (std::string(251, 'd') + ".mdb");
    {
        platform::FileReplacement copia(longo);
        ASSERT_TRUE(copia.CopyFrom(cadtest::PastaDoPrograma() / "Lumbra.mdb")) << copia.Error();
        ASSERT_TRUE(exp.Salva_Rede(copia, false));
        ASSERT_TRUE(copia.Commit()) << copia.Error();
    }
    EXPECT_TRUE(mensagens.Lista().empty());
    banco = longo;
    EXPECT_EQ(Tabela("SELECT Nome FROM Zonas"), (std::vector<std::string>{"B", "A"}));
}

// Totals per zone: a value per metre or a total spread over the zone's pipes;
// a total with no pipe; a region no block names; a path of length 0.
TEST_F(BancoRede, ZoneTotalsPerMetreAndPerZoneAndWhatCarriesNoDemand)
{
    Hachura("ANSI31", "ZONAS", -10, -10, 130, 10);   // "PorMetro": 120 m of pipe
    Hachura("ANSI31", "ZONAS", -10, 90, 130, 110);   // "Total": 120 m of pipe
    Hachura("ANSI31", "ZONAS", 500, 500, 600, 600);  // "Vazia": no pipe
    Hachura("ANSI31", "ZONAS", -10, 190, 130, 210);  // no zone block: no zone
    Zona("PorMetro", "VPM", 0.5, 0, 5);
    Zona("Total", "VTZ", 60, 0, 95);
    Zona("Vazia", "VTZ", 25, 550, 550);
    LeRegioes();
    No("1", 0, 0);
    No("2", 120, 0);
    No("3", 0, 100);
    No("4", 120, 100);
    No("5", 0, 200);
    No("6", 120, 200);
    No("7", 1000, 1000);
    gNos[4].Zona = "";
    Tubo({0, 0, 120, 0});
    Tubo({0, 100, 120, 100});
    Tubo({0, 200, 120, 200});
    // Both ends on one node, inside "PorMetro": no length, no demand, no NaN.
    Tubo({1000, 1000, 1000, 1000});
    Zona("Longe", "VPM", 2.0, 5000, 5000);  // its block lies in no region
    gZonas[0].TotalNodes = 2;

    ASSERT_TRUE(exp.Salva_Rede(banco.string(), false));
    EXPECT_EQ(Tabela("SELECT * FROM Zonas"),
              (std::vector<std::string>{"PorMetro | VPM | 120.000 | 2.000 | 0.500 | 0.500 | 60.000",
                                        "Total | VTZ | 120.000 | 0.000 | 60.000 | 0.500 | 60.000",
                                        "Vazia | VTZ | 0.000 | 0.000 | 25.000 | 0.000 | 25.000",
                                        "Longe | VPM | 0.000 | 0.000 | 2.000 | 2.000 | 0.000"}));
    // Halves to each node; the pipe in no zone carries nothing.
    EXPECT_EQ(Tabela("SELECT Label, Demand FROM [Pressure Junction]"),
              (std::vector<std::string>{"J-1 | 30.000", "J-2 | 30.000", "J-3 | 30.000", "J-4 | 30.000", "J-5 | 0.000",
                                        "J-6 | 0.000", "J-7 | 0.000"}));
    ASSERT_EQ(gListaSalva.size(), 4u);
    EXPECT_EQ(gListaSalva[2].IdZon, -1);
    EXPECT_EQ(gListaSalva[2].Zona, -1);
    EXPECT_DOUBLE_EQ(gListaSalva[2].Distancia, 120);
    EXPECT_EQ(gTubosExp[3].Comprimento, 0);
    EXPECT_EQ(gTubosExp[3].DemIni, 0);
    EXPECT_EQ(gTubosExp[3].DemFim, 0);

    // A second run on the same tables adds to what the first left.
    fs::remove(banco);
    fs::copy_file(cadtest::PastaDoPrograma() / "Lumbra.mdb", banco);
    ASSERT_TRUE(exp.Salva_Rede(banco.string(), false));
    EXPECT_EQ(Tabela("SELECT Nome, TotalTubos, ContribT FROM Zonas WHERE Nome = 'PorMetro'"),
              (std::vector<std::string>{"PorMetro | 240.000 | 120.000"}));
}

// Every pipe from the lower node number to the higher, demands following;
// rows by start node, then stop node, as whole numbers of any size.
TEST_F(BancoRede, PipesRunFromTheLowerNodeAndComeInNodeOrder)
{
    // Up to x = 75 a region that no zone block names: no zone.
    Hachura("ANSI31", "ZONAS", -10, -50, 75, 50);
    Hachura("ANSI31", "ZONAS", 75, -50, 500, 50);
    Zona("Z", "VPM", 1.0, 300, 40);
    LeRegioes();
    No("4", 0, 0);
    No("9", 100, 0);
    No("10", 200, 0);
    No("40000", 300, 0);
    No("100000", 400, 0);
    Tubo({100, 0, 0, 0}, "150", "100");    // 9 → 4: 26 m in the zone from node 9
    Tubo({200, 0, 100, 0}, "100", "100");  // 10 → 9
    Tubo({100, 0, 400, 0}, "100", "300");  // 9 → 100000
    Tubo({400, 0, 300, 0}, "100", "100");  // 100000 → 40000
    Tubo({0, 0, 200, 0}, "100", "200");    // 4 → 10: 75 m in no zone, then 125 m in the zone
    gTubosExp[4].Etapa = 2;

    ASSERT_TRUE(exp.Salva_Rede(banco.string(), true));
    // As drawn in the detail table; after it, drawn 9 → 4 becomes 4 → 9 with
    // its end demands exchanged.
    EXPECT_EQ(Tabela("SELECT StartNode, StopNode, DemIni, DemFim FROM tmp_TUBOS"),
              (std::vector<std::string>{"9 | 4 | 22.620 | 3.380", "10 | 9 | 50.000 | 50.000",
                                        "9 | 100000 | 150.000 | 150.000", "100000 | 40000 | 50.000 | 50.000",
                                        "4 | 10 | 39.063 | 85.938"}));
    EXPECT_EQ(gTubosExp[0].StartNode, "4");
    EXPECT_EQ(gTubosExp[0].StopNode, "9");
    EXPECT_NEAR(gTubosExp[0].DemIni, 3.38, 1e-9);
    EXPECT_NEAR(gTubosExp[0].DemFim, 22.62, 1e-9);
    EXPECT_EQ(Tabela("SELECT Label, StartNode, StopNode, Diameter, Demand, Comprimento, Etapa FROM [Pressure Pipe]"),
              (std::vector<std::string>{"P-0 | J-4 | J-9 | 150 | 26.000 | 100.000 | 0.000",
                                        "P-1 | J-4 | J-10 | 100 | 125.000 | 200.000 | 2.000",
                                        "P-2 | J-9 | J-10 | 100 | 100.000 | 100.000 | 0.000",
                                        "P-3 | J-9 | J-100000 | 100 | 300.000 | 300.000 | 0.000",
                                        "P-4 | J-40000 | J-100000 | 100 | 100.000 | 100.000 | 0.000"}));
    EXPECT_EQ(Tabela("SELECT Label, Demand FROM [Pressure Junction]"),
              (std::vector<std::string>{"J-4 | 42.443", "J-9 | 222.620", "J-10 | 135.938", "J-40000 | 50.000",
                                        "J-100000 | 200.000"}));
    EXPECT_EQ(Tabela("SELECT Zona, IdZon, Distancia, Inicial FROM tmp_Zonas WHERE Handle = "
                     "(SELECT Handle FROM tmp_TUBOS LIMIT 1 OFFSET 4)"),
              (std::vector<std::string>{" | -1.000 | 75.000 | 0.000", "Z | 1.000 | 125.000 | 75.000"}));
}

// A pipe end farther than 3.0 from its node gets a stub of 1.5 out of the
// node toward the end; at 3.0 exactly it does not. The nearest node whose
// radius reaches the end takes it, the earlier one on a tie.
TEST_F(BancoRede, StubsNodeRadiiAndTies)
{
    No("1", 0, 0, 5);
    No("2", 103, 0, 5);
    No("3", 100, 50, 5);
    No("4", 100, 50, 5);       // same place as 3: 3 comes first
    No("5", 100, 103.01, 20);  // reaches the end at 3.01
    No("6", 100, 80, 10);      // nearer, but its radius does not reach (100, 100)
    No("7", 50, 0, 5);
    No("8", 50, -8, 5);  // as near as 7 to (50, -4), from the other side
    No("9", 50, 40, 5);
    Tubo({0, 0, 100, 0});       // 1 at 0, 2 at 3.0
    Tubo({100, 50, 100, 100});  // 3 at 0 (tie with 4), 5 at 3.01
    Tubo({50, -4, 50, 40});     // 7 at 4 (tie with 8), 9 at 0

    ASSERT_TRUE(exp.Salva_Rede(banco.string(), true));
    const std::vector<acad::LWPolyline*> cp = Conferencia();
    ASSERT_EQ(cp.size(), 3u);
    EXPECT_EQ(cadtest::Vertices(cp[0]->Coordinates()), (std::vector<Ponto>{Ponto(0, 0), Ponto(100, 0), Ponto(103, 0)}));
    std::vector<Ponto> v = cadtest::Vertices(cp[1]->Coordinates());
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0], Ponto(100, 50));
    EXPECT_EQ(v[1], Ponto(100, 100));
    EXPECT_NEAR(v[2].X, 100, 1e-9);
    EXPECT_NEAR(v[2].Y, 101.51, 1e-9);  // 1.5 from the node, on the line to the end
    EXPECT_EQ(v[3], Ponto(100, 103.01));
    EXPECT_NEAR(gTubosExp[1].Comprimento, 53.01, 1e-9);
    // Tapered at both ends.
    double a = 0, b = 0;
    cp[1]->GetWidth(0, a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1.5);
    cp[1]->GetWidth(2, a, b);
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(Tabela("SELECT Handle, StartNode, StopNode, Comprimento FROM tmp_TUBOS"),
              (std::vector<std::string>{"CP0 | 1 | 2 | 103.000", "CP1 | 3 | 5 | 53.010", "CP2 | 7 | 9 | 48.000"}));
}

// Pipe ends that no node's radius reaches stop the export before any row: a
// circle at each on the layer of marks and one message.
TEST_F(BancoRede, EndsThatNoNodeReachesStopTheExport)
{
    No("1", 0, 0, 2);
    No("2", 100, 0, 2);
    Tubo({0, 0, 97, 0});     // 3 from node 2, beyond its radius
    Tubo({100, 0, 200, 0});  // no node at 200
    Tubo({0, 0, 100, 0});

    EXPECT_FALSE(exp.Salva_Rede(banco.string(), true));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "2 extremidades de tubo não alcançadas por nenhum Node.\n\nOperação cancelada.");
    std::vector<Ponto> centros;
    for (acad::Entity* e : MS())
        if (auto* c = dynamic_cast<acad::Circle*>(e)) {
            EXPECT_EQ(c->Radius(), 50.0);
            EXPECT_EQ(c->Layer(), "0-Conferencia");
            centros.push_back(Ponto(c->Center()));
        }
    EXPECT_EQ(centros, (std::vector<Ponto>{Ponto(97, 0, 0), Ponto(200, 0, 0)}));
    EXPECT_EQ(TotalDeLinhas(), 0);
    EXPECT_TRUE(Conferencia().empty());

    // No node at all: every end is reported.
    gNos.clear();
    gNumNos = 0;
    mensagens.Limpa();
    EXPECT_FALSE(exp.Salva_Rede(banco.string(), false));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "6 extremidades de tubo não alcançadas por nenhum Node.\n\nOperação cancelada.");
    EXPECT_EQ(TotalDeLinhas(), 0);
}

// A template that lacks a table, and a file that is not there: a message with
// the table and the provider's text, and the export reported unfinished.
TEST_F(BancoRede, ADatabaseFailureIsReportedWithItsTable)
{
    Zona("Z", "VPM", 1.0, 0, 0);
    No("1", 0, 0);
    No("2", 10, 0);
    Tubo({0, 0, 10, 0});
    cadtest::ExecutaSql(banco, "DROP TABLE tmp_BENDs;");
    EXPECT_FALSE(exp.Salva_Rede(banco.string(), true));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    const std::string& m = mensagens.Lista()[0].Texto;
    EXPECT_EQ(m.rfind("Erro na tabela tmp_BENDs de " + banco.string() + ":\n", 0), 0u) << m;
    EXPECT_NE(m.find("tmp_BENDs", m.find('\n')), std::string::npos) << m;
    EXPECT_TRUE(m.ends_with("\n\nA exportação não foi concluída.")) << m;
    // The file is let go: it can be replaced at once.
    fs::remove(banco);
    fs::copy_file(cadtest::PastaDoPrograma() / "Lumbra.mdb", banco);
    EXPECT_EQ(TotalDeLinhas(), 0);

    mensagens.Limpa();
    EXPECT_FALSE(exp.Salva_Rede((pasta / "nada.mdb").string(), false));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto.rfind("Erro no banco de dados " + (pasta / "nada.mdb").string() + ":\n", 0),
              0u)
        << mensagens.Lista()[0].Texto;
    EXPECT_FALSE(fs::exists(pasta / "nada.mdb"));
}

// A small network in detail mode: every row of every table, field by field.
// Pipe 0 runs from node 1 through zone "Norte" into zone "Sul" and over the
// pavement; pipe 1 is drawn from node 3 down to node 2 through two fittings;
// pipe 2 leaves node 2 with a bend and ends at a cap 4 short of node 10.
TEST_F(BancoRede, GoldenRowsOfASmallNetwork)
{
    Hachura("ANSI31", "ZONAS", -10, -20, 50, 80);
    Hachura("ANSI31", "ZONAS", 50, -20, 200, 80);
    Hachura("ASFALTO", "PAVIMENTO", 60, -10, 140, 10);
    Zona("Sul", "VTZ", 90, 120, 30).TotalNodes = 3;
    Zona("Norte", "VPM", 0.5, 20, 30).TotalNodes = 1;
    LeRegioes();
    No("1", 0, 0).Zona = "Norte";
    No("2", 100, 0).Zona = "Sul";
    No("3", 100, 60).Zona = "Sul";
    No("10", 160, 0, 5).Zona = "Sul";
    gNos[0].Elevation = 10.5;
    gNos[1].Elevation = 11;
    gNos[2].Elevation = 12.25;
    gNos[3].Elevation = 9;

    TuboExpRec& t0 = Tubo({0.5, 0, 99.5, 0}, "100", "100");
    t0.ConexoesIni = {Conexao("TE", Ponto(0, 0), Ponto(0.5, 0), Ponto(0, 0), 3)};
    t0.ConexoesFim = {Conexao("TE", Ponto(100, 0), Ponto(99.5, 0), Ponto(100, 0), 3)};
    t0.PontoIni = Ponto(0, 0);
    t0.PontoFim = Ponto(100, 0);
    t0.nBolsasIni = t0.nBolsasFim = 3;
    TuboExpRec& t1 = Tubo({100, 59.5, 100, 0.5}, "75", "60");
    t1.Tipo = "PEAD";
    t1.Material = "PEAD";
    t1.ConexoesIni = {Conexao("LV", Ponto(100, 59.65), Ponto(100, 59.5), Ponto(100, 59.8), 2),
                      Conexao("TE", Ponto(100, 60), Ponto(100, 59.8), Ponto(100, 60), 3)};
    t1.ConexoesFim = {Conexao("TE", Ponto(100, 0), Ponto(100, 0.5), Ponto(100, 0), 3)};
    t1.PontoIni = Ponto(100, 60);
    t1.PontoFim = Ponto(100, 0);
    t1.nBolsasIni = t1.nBolsasFim = 3;
    t1.Etapa = 1;
    TuboExpRec& t2 = Tubo({100.5, 0, 130, 10, 156, 0}, "100", "63,5");
    t2.ConexoesIni = {Conexao("TE", Ponto(100, 0), Ponto(100.5, 0), Ponto(100, 0), 3)};
    t2.ConexoesFim = {Conexao("CAP", Ponto(156, 0), Ponto(156, 0), Ponto(156, 0), 1)};
    t2.PontoIni = Ponto(100, 0);
    t2.PontoFim = Ponto(156, 0);
    t2.nBolsasIni = 3;
    t2.nBolsasFim = 1;

    ASSERT_TRUE(exp.Salva_Rede(banco.string(), true));
    EXPECT_TRUE(mensagens.Lista().empty());
    ASSERT_EQ(Conferencia().size(), 3u);

    EXPECT_EQ(Tabela("SELECT * FROM tmp_Nodes"),
              (std::vector<std::string>{
                  "1 | 0.000 | 0.000 | 2.000 | 10.500 | Norte", "2 | 100.000 | 0.000 | 2.000 | 11.000 | Sul",
                  "3 | 100.000 | 60.000 | 2.000 | 12.250 | Sul", "10 | 160.000 | 0.000 | 5.000 | 9.000 | Sul"}));
    EXPECT_EQ(Tabela("SELECT * FROM tmp_PAVs"),
              (std::vector<std::string>{"CP0 | 100 | Sem Pavimento | 60.500", "CP0 | 100 | ASFALTO | 39.500",
                                        "CP1 | 75 | Sem Pavimento | 50.500", "CP1 | 75 | ASFALTO | 9.500",
                                        // off the pavement at the bend's vertex (130, 10), on its top side
                                        "CP2 | 100 | ASFALTO | 31.649", "CP2 | 100 | Sem Pavimento | 0.851",
                                        "CP2 | 100 | ASFALTO | 10.000", "CP2 | 100 | Sem Pavimento | 21.006"}));
    EXPECT_EQ(Tabela("SELECT * FROM tmp_Zonas"),
              (std::vector<std::string>{
                  "CP0 | 100 | Norte | 0.000 | 50.500 | 0.000", "CP0 | 100 | Sul | 1.000 | 49.500 | 50.500",
                  "CP1 | 75 | Sul | 1.000 | 60.000 | 0.000", "CP2 | 100 | Sul | 1.000 | 63.506 | 0.000"}));
    EXPECT_EQ(Tabela("SELECT * FROM tmp_BENDs"),
              (std::vector<std::string>{"CP0 | TE | 0.000 | 0.000 | 0.000", "CP0 | - | 0.500 | 0.000 | 0.500",
                                        "CP0 | - | 99.500 | 0.000 | 99.000", "CP0 | TE | 100.000 | 0.000 | 0.500",
                                        "CP1 | TE | 100.000 | 60.000 | 0.000", "CP1 | LV | 100.000 | 59.650 | 0.350",
                                        "CP1 | - | 100.000 | 59.500 | 0.150", "CP1 | - | 100.000 | 0.500 | 59.000",
                                        "CP1 | TE | 100.000 | 0.000 | 0.500", "CP2 | TE | 100.000 | 0.000 | 0.000",
                                        "CP2 | - | 100.500 | 0.000 | 0.500", "CP2 | - | 130.000 | 10.000 | 31.149",
                                        "CP2 | - | 156.000 | 0.000 | 27.857", "CP2 | CAP | 156.000 | 0.000 | 0.000"}));
    // "Sul": 90 over 49.5 + 60 + 63.506 m.
    EXPECT_EQ(Tabela("SELECT * FROM Zonas"),
              (std::vector<std::string>{"Sul | VTZ | 173.006 | 3.000 | 90.000 | 0.520 | 90.000",
                                        "Norte | VPM | 50.500 | 1.000 | 0.500 | 0.500 | 25.250"}));
    EXPECT_EQ(Tabela("SELECT * FROM tmp_TUBOS"),
              (std::vector<std::string>{
                  "CP0 | 1 | 2 | 100.000 | 100 | PVC | PVC PBA | 100 | 0.000 | 3.000 | 3.000 | 0.000,0.000 | "
                  "100.000,0.000 | L0 | A0 | 25.248 | 25.753",
                  "CP1 | 3 | 2 | 60.000 | 60 | PEAD | PEAD | 75 | 1.000 | 3.000 | 3.000 | 100.000,60.000 | "
                  "100.000,0.000 | L1 | A1 | 15.606 | 15.606",
                  "CP2 | 2 | 10 | 63.506 | 63,5 | PVC | PVC PBA | 100 | 0.000 | 3.000 | 1.000 | 100.000,0.000 | "
                  "156.000,0.000 | L2 | A2 | 16.518 | 16.518"}));
    EXPECT_EQ(Tabela("SELECT * FROM [Pressure Pipe]"),
              (std::vector<std::string>{"P-0 | J-1 | J-2 | 100 | 51.001 | 100.000 | PVC | 0.000",
                                        "P-1 | J-2 | J-3 | 75 | 31.213 | 60.000 | PEAD | 1.000",
                                        "P-2 | J-2 | J-10 | 100 | 33.037 | 63.500 | PVC | 0.000"}));
    EXPECT_EQ(Tabela("SELECT * FROM [Pressure Junction]"),
              (std::vector<std::string>{"J-1 | 0.000 | 0.000 | 10.500 | 25.248 | Norte | 1",
                                        "J-2 | 100.000 | 0.000 | 11.000 | 57.878 | Sul | 2",
                                        "J-3 | 100.000 | 60.000 | 12.250 | 15.606 | Sul | 3",
                                        "J-10 | 160.000 | 0.000 | 9.000 | 16.518 | Sul | 10"}));
}

namespace {

class RedeDesenhada : public BancoRedeT<watertest::DesenhoAgua> {
protected:
    // A node marker of the nodes drawing, numbered.
    void Node(const std::string& Label, double x, double y, double Raio)
    {
        ASSERT_TRUE(InsertBlockFile("ErroC"));
        acad::BlockReference* b = MS().InsertBlock({x, y, 0}, "ErroC", Raio, Raio, Raio, 0);
        SetAtributo("MENSAGEM", Label, b);
    }
    void BlocoDeZona(const std::string& Bloco, const std::string& Tag, const std::string& Nome,
                     const std::string& Valor, double x, double y)
    {
        ASSERT_TRUE(InsertBlockFile(Bloco));
        acad::BlockReference* b = MS().InsertBlock({x, y, 0}, Bloco, 1, 1, 1, 0);
        SetAtributo("NOME", Nome, b);
        SetAtributo(Tag, Valor, b);
    }
};

}  // namespace

// The small network drawn by the water drawing object (caps at (0,0), (100,0)
// and (50,50), a tee at (50,0)), its nodes and zones read by the export's
// readers, as the export command runs them: the rows of the three tables.
TEST_F(RedeDesenhada, TheRowsOfANetworkReadFromItsDrawings)
{
    watertest::RedePequena rede = watertest::DesenhaRedePequena(des, *script, Doc());
    ASSERT_EQ(rede.Tubos.size(), 3u);
    Node("30", 0, 0, 2);
    Node("10", 50, 0, 2);
    Node("20", 100, 0, 2);
    Node("40", 50, 50, 2);
    Hachura("ANSI31", "ZONAS", -10, -10, 30, 60);
    Hachura("ANSI31", "ZONAS", 30, -10, 110, 60);
    BlocoDeZona("Zon_Total", "VTZ", "Leste", "30", 90, 30);
    BlocoDeZona("Zon_PorM", "VPM", "Oeste", "0,2", 10, 30);

    ASSERT_TRUE(exp.LoadNodes());
    ASSERT_TRUE(exp.LoadZonas());
    LeRegioes();
    // The node zones and counts, as the export command gives them.
    for (NoRec& no : gNos) {
        int r = -1;
        no.Zona = ZonaDoPonto(no.Ponto, r);
        for (ZonaRec& z : gZonas)
            if (z.Nome == no.Zona) ++z.TotalNodes;
    }
    ASSERT_TRUE(exp.LerTrechos(1000.0, true));
    ASSERT_EQ(gNumTubosExp, 3);
    ASSERT_TRUE(exp.Salva_Rede(banco.string(), false));
    EXPECT_TRUE(caixas.empty());

    // West pipe: 30.5 m of its path in "Oeste" (0.2 per metre), 19.5 m in
    // "Leste"; "Leste" spreads 30 over 119.5 m.
    const double m = 30.0 / 119.5;
    EXPECT_EQ(Tabela("SELECT * FROM Zonas"),
              (std::vector<std::string>{"Leste | VTZ | 119.500 | 3.000 | 30.000 | " + FormatNum(m, 3) + " | 30.000",
                                        "Oeste | VPM | 30.500 | 1.000 | 0.200 | 0.200 | 6.100"}));
    // The cap ends are the caps' insertion points, the tee ends the tee's.
    const double oesteIni = 30.5 * 0.2 * (1 - 30.5 / 2 / 50) + 19.5 * m * (1 - (30.5 + 19.5 / 2) / 50);
    const double oesteFim = 30.5 * 0.2 + 19.5 * m - oesteIni;
    EXPECT_EQ(Tabela("SELECT Label, StartNode, StopNode, Diameter, Demand, Comprimento, Material, Etapa "
                     "FROM [Pressure Pipe]"),
              (std::vector<std::string>{
                  "P-0 | J-10 | J-20 | 100 | " + FormatNum(50 * m, 3) + " | 50.000 | FFK7 | 0.000",
                  "P-1 | J-10 | J-30 | 100 | " + FormatNum(30.5 * 0.2 + 19.5 * m, 3) + " | 50.000 | FFK7 | 0.000",
                  "P-2 | J-10 | J-40 | 100 | " + FormatNum(50 * m, 3) + " | 50.000 | FFK7 | 0.000"}));
    EXPECT_EQ(Tabela("SELECT * FROM [Pressure Junction]"),
              (std::vector<std::string>{
                  "J-10 | 50.000 | 0.000 | 0.000 | " + FormatNum(50 * m + oesteFim, 3) + " | Leste | 10",
                  "J-20 | 100.000 | 0.000 | 0.000 | " + FormatNum(25 * m, 3) + " | Leste | 20",
                  "J-30 | 0.000 | 0.000 | 0.000 | " + FormatNum(oesteIni, 3) + " | Oeste | 30",
                  "J-40 | 50.000 | 50.000 | 0.000 | " + FormatNum(25 * m, 3) + " | Leste | 40"}));
    for (const TuboExpRec& t : gTubosExp) EXPECT_NEAR(t.Comprimento, 50, 1e-9) << t.AHandle;
}
