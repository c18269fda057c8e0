// Writing the hydraulic-model database of a network of about 2,000 and
// 20,000 nodes (a grid 50 m apart, some 2.4 times as wide as tall: 69 × 29 and
// 220 × 91) and one pipe fewer (one chain through the grid, each pipe with a
// bend vertex and a tee at each end), over 20 zone regions read back from the
// hatches of the drawing: 100 km of path, and 1,000 km, looked up metre by
// metre. Each run writes into a fresh copy of the shipped template (the copy
// is not timed); the export's mode (no detail tables) at both sizes, and the
// detail mode at the smaller. Target: 20,000 nodes within 12 times 2,000.

#include "../QtBenchMain.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/acad/Hatch.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"
#include "water/ClsWATExp.h"
#include "water/modExportacao.h"

namespace fs = std::filesystem;

namespace {

constexpr int kZonasX = 5, kZonasY = 4;  // 20 zones
constexpr double kPasso = 50.0;

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

struct Rede {
    std::shared_ptr<acad::ScriptedInput> script = std::make_shared<acad::ScriptedInput>();
    std::unique_ptr<acad::Application> app = std::make_unique<acad::Application>();
    std::optional<acad::ActiveObjectRegistration> registro;
    fs::path pasta = fs::temp_directory_path() / "quoril-bench-salva-rede";
    std::vector<TuboExpRec> tubos;
    std::vector<NoRec> nos;
    std::vector<ZonaRec> zonas;

    explicit Rede(int Nos)
    {
        const int linhas = static_cast<int>(std::lround(std::sqrt(Nos / 2.4)));
        const int colunas = (Nos + linhas - 1) / linhas;
        gAcadProgID = "AutoCAD.Application";
        gLayerConf = "0-Conferencia";
        app->SetInputSource(script);
        app->Documents().Add("Acad");
        registro.emplace(*app);
        if (!ConectaAcad()) throw std::runtime_error("no drawing");
        fs::remove_all(pasta);
        fs::create_directories(pasta);

        // The zones: one hatch each, named by the zone block inside it.
        const double largura = colunas * kPasso / kZonasX, altura = linhas * kPasso / kZonasY;
        acad::Block& ms = app->ActiveDocument()->ModelSpace();
        for (int j = 0; j < kZonasY; ++j)
            for (int i = 0; i < kZonasX; ++i) {
                const double x0 = -kPasso / 2 + i * largura, y0 = -kPasso / 2 + j * altura;
                acad::Hatch* h = ms.AddHatch(acad::HatchPatternType::PreDefined, "ANSI31", false);
                h->AppendOuterLoop({ms.AddLightWeightPolyline(
                    {x0, y0, x0 + largura, y0, x0 + largura, y0 + altura, x0, y0 + altura})});
                ZonaRec z;
                z.Nome = "Zona " + std::to_string(zonas.size() + 1);
                z.Tipo = zonas.size() % 2 ? "VTZ" : "VPM";
                z.Valor = zonas.size() % 2 ? 40.0 : 0.01;
                z.Ponto = Ponto(x0 + largura / 2, y0 + altura / 2, 0);
                zonas.push_back(z);
            }
        clsHatchs h;
        h.RegiaoPorHatch = true;
        h.CreateDXF("");
        h.ReadHatchs();
        gHatchZonas = gHatchs;
        gZonas = zonas;
        if (!NomeiaZonas(h)) throw std::runtime_error("zones not named");

        // The nodes, numbered along the chain; the chain runs along the rows,
        // turning at each end.
        std::vector<Ponto> ordem;
        for (int j = 0; j < linhas; ++j)
            for (int k = 0; k < colunas; ++k) {
                const int i = j % 2 ? colunas - 1 - k : k;
                ordem.push_back(Ponto(i * kPasso, j * kPasso, 0));
            }
        for (std::size_t n = 0; n < ordem.size(); ++n) {
            NoRec no;
            no.Label = std::to_string(n + 1);
            no.Ponto = ordem[n];
            no.Raio = 5.0;
            no.Elevation = 100.0 + static_cast<double>(n % 37);
            int r = -1;
            no.Zona = ZonaDoPonto(no.Ponto, r);
            nos.push_back(no);
        }
        for (std::size_t n = 0; n + 1 < ordem.size(); ++n) {
            const Ponto a = ordem[n], b = ordem[n + 1];
            const double dx = (b.X - a.X) / kPasso, dy = (b.Y - a.Y) / kPasso;
            const Ponto ia(a.X + 0.5 * dx, a.Y + 0.5 * dy), fb(b.X - 0.5 * dx, b.Y - 0.5 * dy);
            TuboExpRec t;
            t.Tipo = "PBA";
            t.Material = "PVC";
            t.Diametro = n % 3 ? "100" : "150";
            t.CompNominal = "50";
            t.Coords = {ia.X, ia.Y, (a.X + b.X) / 2 - 3 * dy, (a.Y + b.Y) / 2 + 3 * dx, fb.X, fb.Y};
            PontaConexao ci, cf;
            ci.Tipo = cf.Tipo = "TE";
            ci.nBolsas = cf.nBolsas = 3;
            ci.PontoInsercao = ci.PontoSaida = a;
            ci.PontoBusca = ia;
            cf.PontoInsercao = cf.PontoSaida = b;
            cf.PontoBusca = fb;
            t.ConexoesIni = {ci};
            t.ConexoesFim = {cf};
            t.PontoIni = a;
            t.PontoFim = b;
            t.nBolsasIni = t.nBolsasFim = 3;
            t.LHandle = "1" + std::to_string(n);
            t.AHandle = "2" + std::to_string(n);
            // Every other pipe drawn against the numbering.
            if (n % 2) {
                std::swap(t.ConexoesIni, t.ConexoesFim);
                std::swap(t.PontoIni, t.PontoFim);
                t.Coords = {fb.X, fb.Y, t.Coords[2], t.Coords[3], ia.X, ia.Y};
            }
            tubos.push_back(t);
        }
    }

    // The tables as the readers leave them, and a fresh copy of the template.
    fs::path Prepara(int n)
    {
        gNos = nos;
        gNumNos = static_cast<std::int32_t>(nos.size());
        gZonas = zonas;
        gTubosExp = tubos;
        gNumTubosExp = static_cast<std::int32_t>(tubos.size());
        fs::path banco = pasta / ("Rede" + std::to_string(n % 2) + ".mdb");
        fs::remove(banco);
        fs::copy_file(fs::path(QUORIL_BIN_DIR) / "Lumbra.mdb", banco);
        return banco;
    }
};

void SalvaRede(benchmark::State& state, bool Detalhado)
{
    Rede rede(static_cast<int>(state.range(0)));
    Hospedeiro host;
    forms::Load(host);
    ClsWATExp exp;
    exp.cProgress = &host.Barra;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path banco = rede.Prepara(n++);
        if (Detalhado) {
            // The check polylines of the previous run go.
            std::vector<acad::Entity*> velhas;
            for (acad::Entity* e : rede.app->ActiveDocument()->ModelSpace())
                if (e->Layer() == "0-Conferencia") velhas.push_back(e);
            for (acad::Entity* e : velhas) e->Delete();
        }
        state.ResumeTiming();
        if (!exp.Salva_Rede(banco.string(), Detalhado)) state.SkipWithError("Salva_Rede falhou");
    }
    double caminho = 0;
    for (const TuboExpRec& t : gTubosExp) caminho += t.Comprimento;
    state.counters["pipes"] = gNumTubosExp;
    state.counters["nodes"] = gNumNos;
    state.counters["stretches"] = static_cast<double>(gListaSalva.size());
    state.counters["path_km"] = caminho / 1000;
    forms::Unload(host);
    fs::remove_all(rede.pasta);
}

void BM_SalvaRedeNodes(benchmark::State& state) { SalvaRede(state, false); }
BENCHMARK(BM_SalvaRedeNodes)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SalvaRedeDetalhadoNodes(benchmark::State& state) { SalvaRede(state, true); }
BENCHMARK(BM_SalvaRedeDetalhadoNodes)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { forms::SetTestDriver([](forms::Form&) {}); });
}
