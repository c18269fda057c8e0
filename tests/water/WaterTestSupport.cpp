#include "WaterTestSupport.h"

#include "cad/CadTestSupport.h"

#include <gtest/gtest.h>
#include <cstdlib>

namespace watertest {

std::filesystem::path PastaDoPrograma() { return cadtest::PastaDoPrograma(); }

void ExecutaSql(const std::filesystem::path& Banco, const std::string& Sql) { cadtest::ExecutaSql(Banco, Sql); }

std::filesystem::path EscreveCatalogo(const std::filesystem::path& Pasta, const std::string& Linhas,
                                      const std::vector<std::string>& Materiais)
{
    std::filesystem::path banco = Pasta / "rereva2000r.mdb";
    std::filesystem::remove(banco);
    ExecutaSql(banco,
               "CREATE TABLE A_CodDiam (\"Index\" SMALLINT, sDiametro TEXT, Color SMALLINT);"
               "CREATE TABLE A_Materiais (Material TEXT, Tubulacao TEXT, DimX SMALLINT, DimY SMALLINT);"
               "CREATE TABLE A_Conexoes (codigo TEXT, conexao TEXT, material TEXT, bloco TEXT, "
               "HasDS BOOLEAN, TLHW TEXT);"
               "CREATE TABLE A_Diams (codigo TEXT, dp TEXT, ds TEXT);"
               "CREATE TABLE A_Bolsas (Codigo TEXT, Numero TEXT, Principal BOOLEAN, Anel TEXT, Tubulacao TEXT);"
               "CREATE TABLE A_ConExtra (Codigo TEXT, Att TEXT, Cod TEXT);"
               "CREATE TABLE A_DXFs (Bloco TEXT, S1 TEXT, S2 TEXT, S3 TEXT, S4 TEXT);" +
                   Linhas);
    // Any picture of the right kind serves: the loader only loads them.
    for (const std::string& m : Materiais)
        for (const char* sufixo : {"_Flat.bmp", "_Move.bmp", "_Click.bmp"})
            std::filesystem::copy_file(PastaDoPrograma() / (std::string("PEAD") + sufixo), Pasta / (m + sufixo),
                                       std::filesystem::copy_options::overwrite_existing);
    return banco;
}

}  // namespace watertest
