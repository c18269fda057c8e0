// The water catalogue loaded from a generated catalogue: 8 materials of 250
// fittings with 10 primary diameters each (20,000 rows of the material tree),
// 1,000 of the fittings with a block of 4 socket points (4,000 socket points).

#include "../QtBenchMain.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/forms/Testing.h"
#include "shell/modGlobais.h"
#include "water/clsWATDb.h"

namespace {

constexpr int kMateriais = 8, kConexoes = 250, kDiametros = 10, kComBloco = 125, kBolsas = 4;

void Executa(sqlite3* Db, const std::string& Sql)
{
    char* erro = nullptr;
    if (sqlite3_exec(Db, Sql.c_str(), nullptr, nullptr, &erro) != SQLITE_OK) {
        const std::string texto = erro ? erro : "";
        sqlite3_free(erro);
        throw std::runtime_error(texto);
    }
}

std::filesystem::path GeraCatalogo()
{
    std::filesystem::path pasta = std::filesystem::temp_directory_path() / "quoril-bench-water";
    std::filesystem::remove_all(pasta);
    std::filesystem::create_directories(pasta);
    const std::filesystem::path banco = pasta / "rereva2000r.mdb";
    sqlite3* db = nullptr;
    if (sqlite3_open(banco.string().c_str(), &db) != SQLITE_OK) throw std::runtime_error("no database");
    Executa(db,
            "CREATE TABLE A_CodDiam (\"Index\" SMALLINT, sDiametro TEXT, Color SMALLINT);"
            "CREATE TABLE A_Materiais (Material TEXT, Tubulacao TEXT, DimX SMALLINT, DimY SMALLINT);"
            "CREATE TABLE A_Conexoes (codigo TEXT, conexao TEXT, material TEXT, bloco TEXT, HasDS BOOLEAN, "
            "TLHW TEXT);"
            "CREATE TABLE A_Diams (codigo TEXT, dp TEXT, ds TEXT);"
            "CREATE TABLE A_Bolsas (Codigo TEXT, Numero TEXT, Principal BOOLEAN, Anel TEXT, Tubulacao TEXT);"
            "CREATE TABLE A_ConExtra (Codigo TEXT, Att TEXT, Cod TEXT);"
            "CREATE TABLE A_DXFs (Bloco TEXT, S1 TEXT, S2 TEXT, S3 TEXT, S4 TEXT);"
            "BEGIN;");
    std::string sql;
    for (int d = 0; d < kDiametros; ++d)
        sql += "INSERT INTO A_CodDiam VALUES (" + std::to_string(d) + ",'" + std::to_string(50 * (d + 1)) + "'," +
               std::to_string(d + 1) + ");";
    for (int m = 0; m < kMateriais; ++m) {
        const std::string material = (m < 2 ? "Tubulações M" : "Material M") + std::to_string(m);
        sql += "INSERT INTO A_Materiais VALUES ('" + material + "','Tubo " + material + "',9,9);";
        for (const char* sufixo : {"_Flat.bmp", "_Move.bmp", "_Click.bmp"})
            std::filesystem::copy_file(std::filesystem::path(QUORIL_BIN_DIR) / (std::string("PEAD") + sufixo),
                                       pasta / (material + sufixo));
        for (int c = 0; c < kConexoes; ++c) {
            const std::string codigo = "C" + std::to_string(m) + "_" + std::to_string(c);
            const bool comBloco = c < kComBloco;
            const std::string bloco = "A-" + codigo;
            sql += "INSERT INTO A_Conexoes VALUES ('" + codigo + "','Conexão " + std::to_string(c) + "','" + material +
                   "'," + (comBloco ? "'" + bloco + "'" : "NULL") + ",0,'" + std::to_string(1000 + c % 9000) + "');";
            for (int d = 0; d < kDiametros; ++d)
                sql += "INSERT INTO A_Diams VALUES ('" + codigo + "','" + std::to_string(50 * (d + 1)) + "',NULL);";
            if (c % 50 == 0) sql += "INSERT INTO A_ConExtra VALUES ('" + codigo + "','CODIG1','X');";
            if (!comBloco) continue;
            sql += "INSERT INTO A_DXFs VALUES ('" + bloco + "','Line','0,0','10,0',NULL);";
            for (int b = 1; b <= kBolsas; ++b) {
                sql += "INSERT INTO A_DXFs VALUES ('" + bloco + "','Point','0,0','5," + std::to_string(b) + "','" +
                       std::to_string(b) + "');";
                sql += "INSERT INTO A_Bolsas VALUES ('" + codigo + "','" + std::to_string(b) + "',1,'AN','Tubo');";
            }
        }
    }
    Executa(db, sql + "COMMIT;");
    sqlite3_close(db);
    return pasta;
}

void BM_LoadDb_20000TreeRows_4000Sockets(benchmark::State& state)
{
    const std::filesystem::path pasta = GeraCatalogo();
    gMdbPath = (pasta / "rereva2000r.mdb").string();
    gImagensPath = pasta.string();
    for (auto _ : state) {
        if (!clsWATDb().LoadDb()) {
            state.SkipWithError("the catalogue did not load");
            break;
        }
    }
    state.counters["fittings"] = static_cast<double>(gConexoes.size());
    std::filesystem::remove_all(pasta);
}
BENCHMARK(BM_LoadDb_20000TreeRows_4000Sockets)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { forms::SetTestDriver([](forms::Form&) {}); });
}
