// Rows written into a workbook sheet through the data control, as the quantity
// spreadsheet writes them: 1,000 and 2,000 new rows of 30 text fields each
// below the shipped quantity template's rows, then the control unbound.
// Target: 2,000 rows under 1 s.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/ado/DataControl.h"

namespace fs = std::filesystem;

namespace {

void BM_LinhasNaPlanilha(benchmark::State& state)
{
    const fs::path pasta = fs::temp_directory_path() / ("quoril-bench-workbook-" + std::to_string(::getpid()));
    fs::create_directories(pasta);
    const fs::path modelo = fs::path(QUORIL_BIN_DIR) / "DadosOrca.xls";
    const fs::path arquivo = pasta / "linhas.xls";
    const int linhas = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(modelo, arquivo, fs::copy_options::overwrite_existing);
        state.ResumeTiming();
        ado::DataControl dc;
        dc.SetConnect("Excel 8.0;");
        dc.SetDatabaseName(arquivo.string());
        dc.SetRecordSource("Padrao$");
        dc.Refresh();
        ado::Recordset rs = dc.Recordset();
        const int campos = std::min(30, rs.Fields().Count());
        for (int r = 0; r < linhas; ++r) {
            rs.AddNew();
            for (int c = 0; c < campos; ++c) rs.Fields(c).SetValue("#" + std::to_string(r) + "," + std::to_string(c));
            rs.Update();
        }
        dc.SetDatabaseName("");
        dc.Refresh();
    }
    state.counters["rows"] = linhas;
    fs::remove_all(pasta);
}
BENCHMARK(BM_LinhasNaPlanilha)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
