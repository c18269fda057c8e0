// The catalogue and the terrain database as their loaders open them, on a
// database made from arbitrary SQL text (tables missing or added, columns of
// other types, text where numbers belong, rows that do not fit): each loader
// reads it, or shows one message naming what is wrong and keeps what it held.
//
// Input: SQL statements, run one by one into a new database; a statement that
// fails is passed over. Seeds: the catalogue's and the template's own SQL.

#include "FuzzCaixas.h"
#include "FuzzFolder.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "sewer/clsSANDb.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "terrain/clsDelaunay.h"
#include "terrain/clsHatchs.h"
#include "topography/clsTOPDb.h"
#include "water/clsWATDb.h"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int gCaixas = 0;

// Only statements that build the database in its file: no other file, no
// setting of the engine.
int Autoriza(void*, int acao, const char*, const char*, const char*, const char*)
{
    switch (acao) {
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
    case SQLITE_PRAGMA: return SQLITE_DENY;
    default: return SQLITE_OK;
    }
}

// A statement that would run long (a recursive query making millions of rows) is stopped.
int Interrompe(void* passos) { return ++*static_cast<long*>(passos) > 2000; }

// The water catalogue's loader reads three pictures of each material, which
// the program folder holds for the real catalogue: a 1-by-1 bitmap stands in
// for each one that the database names (a name that is no file name gets none).
void DesenhaFiguras(sqlite3* db, const fuzzing::Folder& Figuras)
{
    static const unsigned char bmp[58] = {'B', 'M', 58, 0, 0, 0, 0,    0,    0, 0, 54,   0,    0,  0, 40, 0,
                                          0,   0,   1,  0, 0, 0, 1,    0,    0, 0, 1,    0,    24, 0, 0,  0,
                                          0,   0,   4,  0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0,  0};
    Figuras.Clear();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT DISTINCT material FROM A_Conexoes LIMIT 50", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* texto = sqlite3_column_text(st, 0);
            const std::string nome = texto ? reinterpret_cast<const char*>(texto) : "";
            if (nome.empty() || nome.size() > 100 || nome.find('/') != std::string::npos || nome == "." || nome == "..")
                continue;
            for (const char* sufixo : {"_Click.bmp", "_Flat.bmp", "_Move.bmp"})
                Figuras.WriteBeside(nome + sufixo, bmp, sizeof bmp);
        }
    sqlite3_finalize(st);
}

void MontaBanco(const std::string& Caminho, const std::string& Sql, const fuzzing::Folder& Figuras)
{
    std::error_code ec;
    std::filesystem::remove(Caminho, ec);
    sqlite3* db = nullptr;
    if (sqlite3_open(Caminho.c_str(), &db) != SQLITE_OK) std::abort();
    sqlite3_set_authorizer(db, Autoriza, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1 << 16);
    long passos = 0;
    sqlite3_progress_handler(db, 1000, Interrompe, &passos);
    for (const char* resto = Sql.c_str(); *resto;) {
        sqlite3_stmt* st = nullptr;
        const char* depois = nullptr;
        if (sqlite3_prepare_v2(db, resto, -1, &st, &depois) == SQLITE_OK && st) {
            std::string texto = sqlite3_sql(st);
            for (char& c : texto) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            passos = 0;
            if (texto.find("VACUUM") == std::string::npos)  // VACUUM INTO writes another file
                while (sqlite3_step(st) == SQLITE_ROW) {}
        }
        sqlite3_finalize(st);
        if (!depois || depois == resto) break;
        resto = depois;
    }
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    DesenhaFiguras(db, Figuras);
    sqlite3_close(db);
}

// The boxes that one loader showed.
template <class Carrega>
int Caixas(Carrega carrega)
{
    gCaixas = 0;
    carrega();
    return gCaixas;
}

}  // namespace

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::RespondeCaixas(gCaixas);  // a loader shows nothing but its message
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzing::Folder pasta, figuras;
    const std::string banco = pasta.Path() + "/catalogo.mdb";
    MontaBanco(banco, std::string(reinterpret_cast<const char*>(data), size), figuras);
    gMdbPath = banco;
    gImagensPath = figuras.Path();

    // The catalogue loaders: read, or one message and false.
    bool lido = false;
    if (Caixas([&] { lido = clsSANDb().LoadDb(); }) != (lido ? 0 : 1)) std::abort();
    if (Caixas([&] { lido = clsWATDb().LoadDb(); }) != (lido ? 0 : 1)) std::abort();
    if (Caixas([&] { lido = clsTOPDb().LoadDb(); }) != (lido ? 0 : 1)) std::abort();
    // The terrain model and the region loops kept in the template's tables.
    if (Caixas([&] { clsDelaunay().DbLoad(banco); }) > 1) std::abort();
    clsHatchs regioes;
    if (Caixas([&] { regioes.DbLoad(banco, "Pavimentos"); }) > 1) std::abort();
    if (Caixas([&] { regioes.DbLoad(banco, "WATZonas"); }) > 1) std::abort();

    std::size_t arquivos = 0;
    for (const auto& entry : std::filesystem::directory_iterator(pasta.Path())) {
        (void)entry;
        ++arquivos;
    }
    if (arquivos != 1) std::abort();  // a loader wrote beside the database
    return 0;
}
