// The final workbook of a design table of 2,000 reaches: the template copied,
// 2,000 rows written through the sheet driver with their contributing reaches
// looked up, the workbook handed to its program (a launch hook here).
// Target: under 2 s.

#include "SewerBench.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

#include "platform/ado/Ado.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "platform/os/ShellOpen.h"
#include "sewer/clsSANImp.h"
#include "shell/modGlobais.h"

namespace {

const std::vector<sewerbench::CampoDbf> kCampos = {
    {"CLTAT", 'N', 6, 0}, {"CLTLX", 'C', 10, 0}, {"CLTLY", 'C', 10, 0}, {"CLTAN", 'C', 10, 0}, {"CLTLC", 'C', 10, 0},
    {"PVM", 'C', 10, 0},  {"PVJ", 'C', 10, 0},   {"CTM", 'N', 10, 3},   {"CCM", 'N', 10, 3},   {"PRFM", 'N', 8, 3},
    {"CTJ", 'N', 10, 3},  {"CCJ", 'N', 10, 3},   {"PRFJ", 'N', 8, 3},   {"DIAM", 'N', 6, 3},   {"COMP", 'N', 8, 2},
    {"DECL", 'N', 10, 6}, {"QRI", 'N', 12, 6},   {"QRF", 'N', 12, 6},   {"TIRF", 'N', 10, 4},  {"VELF", 'N', 10, 4},
    {"VCRI", 'N', 10, 4}, {"QCI", 'N', 12, 6},   {"QCF", 'N', 12, 6},   {"OBS", 'C', 30, 0}};

std::string Campo_(int Trecho, const sewerbench::CampoDbf& c)
{
    std::string n = std::to_string(Trecho);
    const std::string nome = c.Nome;
    if (nome == "CLTAT") return n;
    if (nome == "CLTAN") return Trecho % 50 == 1 ? "-0-" : std::to_string(Trecho - 1);
    if (nome == "CLTLX") return Trecho % 7 == 0 ? std::to_string(Trecho - 3) : "-0-";
    if (nome == "CLTLY" || nome == "CLTLC") return "-0-";
    if (nome == "PVM") return "PV" + n;
    if (nome == "PVJ") return "PV" + std::to_string(Trecho + 1);
    if (nome == "OBS") return Trecho % 10 == 0 ? "revisar" : "";
    if (nome == "QCI") return Trecho % 25 == 0 ? "1.5" : "0";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", c.Decimais, 0.15 + Trecho * 0.001);
    return buf;
}

// A dBase III design table of `Trechos` reaches.
void EscreveTabela(const std::filesystem::path& Arquivo, int Trechos)
{
    sewerbench::EscreveDbf(Arquivo, kCampos, Trechos, [](int r) {
        std::vector<std::string> v;
        for (const sewerbench::CampoDbf& c : kCampos) v.push_back(Campo_(r + 1, c));
        return v;
    });
}

void BM_SaveXLS_2000Trechos(benchmark::State& state)
{
    const int trechos = static_cast<int>(state.range(0));
    const auto pasta = std::filesystem::temp_directory_path() / ("quoril-bench-planilha-" + std::to_string(::getpid()));
    std::filesystem::create_directories(pasta);
    EscreveTabela(pasta / "rede.dbf", trechos);
    const std::string saida = (pasta / "final.xls").string();
    DefinePastaPrograma(QUORIL_BIN_DIR);

    forms::ScopedTestDriver formas([](forms::Form& f) { f.Hide(); });
    os::ScopedDialogDriver dialogos([&](const os::DialogRequest& r) {
        if (r.kind == os::DialogKind::Open) return os::DialogAnswer::Path((pasta / "rede.dbf").string());
        if (r.kind == os::DialogKind::Save) return os::DialogAnswer::Path(saida);
        os::DialogAnswer a = os::DialogAnswer::Yes();
        a.command = "planilha";
        return a;
    });
    os::SetLaunchHook([](const os::LaunchRequest&) { return true; });

    ado::DataControl dados;
    clsSANImp imp;
    imp.cData = &dados;
    imp.OpenTable();
    if (!imp.Tabela()) {
        state.SkipWithError("the design table did not open");
        return;
    }
    for (auto _ : state) imp.SaveXLS();
    state.counters["linhas"] = trechos;

    os::SetLaunchHook(nullptr);
    std::filesystem::remove_all(pasta);
}
BENCHMARK(BM_SaveXLS_2000Trechos)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
