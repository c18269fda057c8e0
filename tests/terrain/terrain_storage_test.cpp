// The terrain model saved to a database, loaded back and drawn as 3-D faces.

#include <filesystem>

#include "TerrainTestSupport.h"
#include "platform/acad/OtherEntities.h"
#include "platform/ado/Ado.h"
#include "shell/modGlobais.h"
#include "terrain/clsDelaunay.h"
#include "terrain/modBancoTerreno.h"

using namespace terraintest;
namespace fs = std::filesystem;

namespace {

class TerrainStorageTest : public cadtest::CadTest {
protected:
    TerrainStorageTest() { DefinePastaPrograma(cadtest::PastaDoPrograma().string()); }
    ~TerrainStorageTest() override { DefinePastaPrograma(""); }

    // A model of a small survey, built as Execute builds it.
    void ModeloDeLevantamento()
    {
        PoePonto(Doc(), 100, 100, "10");
        PoePonto(Doc(), 140, 100, "12");
        PoePonto(Doc(), 100, 140, "14");
        PoePonto(Doc(), 140, 140, "16,5");
        PoePonto(Doc(), 120, 170, "18");
        clsDelaunay().Execute();
        ASSERT_EQ(gNumVertices, 5);
        ASSERT_EQ(gNumTriangulos, 3);
    }

    long long Conta(const fs::path& Banco, const std::string& Sql)
    {
        ado::Connection cn;
        cn.Open(ConexaoTerreno(Banco.string()));
        ado::Recordset rs = cn.Execute(Sql);
        const long long n = rs.RecordCount();
        rs.Close();
        cn.Close();
        return n;
    }
};

}  // namespace

// Saving to a new file starts from the program folder's template; the whole
// model, entry 0 included, goes to the tmp_ tables; the stored model loads back
// (once moved to the tables that DbLoad reads) exactly.
TEST_F(TerrainStorageTest, SaveMakesTheDatabaseAndLoadsBack)
{
    ASSERT_TRUE(fs::exists(cadtest::PastaDoPrograma() / "WATTemplate.mdb"));
    ModeloDeLevantamento();
    const std::vector<VerticeRec> vertices(gVertices.begin(), gVertices.begin() + 6);
    const std::vector<TrianguloRec> triangulos(gTriangulos.begin(), gTriangulos.begin() + 4);
    const fs::path banco = pasta / "terreno.mdb";
    clsDelaunay d;
    d.DbSave(banco.string());
    ASSERT_TRUE(fs::exists(banco));
    EXPECT_EQ(Conta(banco, "SELECT * FROM tmp_TRIxyz"), 6);
    EXPECT_EQ(Conta(banco, "SELECT * FROM tmp_Triangs"), 4);
    EXPECT_EQ(Conta(banco, "SELECT * FROM TopVertex"), 0);
    EXPECT_EQ(Conta(banco, "SELECT * FROM tmp_TRIxyz WHERE Index = 4 AND Z = 16.5 AND X = 140"), 1);

    cadtest::ExecutaSql(banco,
                        "INSERT INTO TopVertex SELECT * FROM tmp_TRIxyz; "
                        "INSERT INTO TopTriangulos SELECT * FROM tmp_Triangs;");
    gNumVertices = gNumTriangulos = 0;
    gVertices.assign(1, {});
    gTriangulos.assign(1, {});
    MalhaAlterada();
    d.DbLoad(banco.string());
    ASSERT_EQ(gNumVertices, 5);
    ASSERT_EQ(gNumTriangulos, 3);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(gVertices[i].X, vertices[i].X);
        EXPECT_EQ(gVertices[i].Z, vertices[i].Z);
    }
    for (int t = 1; t <= 3; ++t) {
        EXPECT_EQ(gTriangulos[t].vv1, triangulos[t].vv1);
        EXPECT_EQ(gTriangulos[t].MinY, triangulos[t].MinY);
    }
    EXPECT_NEAR(CotaNoPonto(Ponto(110, 105)), 10 + 0.05 * 10 + 0.1 * 5, 1e-9);

    // A second save appends a second copy to the same file.
    d.DbSave(banco.string());
    EXPECT_EQ(Conta(banco, "SELECT * FROM tmp_TRIxyz"), 12);
    EXPECT_TRUE(mensagens.Lista().empty());
}

// A missing file, a missing template, a file without the tables, rows that do
// not fit: a message each, and the model in memory stays as it was.
TEST_F(TerrainStorageTest, FailuresKeepTheModel)
{
    ModeloDeLevantamento();
    clsDelaunay d;
    const fs::path nenhum = pasta / "nenhum.mdb";
    d.DbLoad(nenhum.string());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção!");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "O arquivo " + nenhum.string() + " não existe.");
    EXPECT_EQ(gNumTriangulos, 3);

    // No template in the program folder: nothing is written.
    mensagens.Limpa();
    DefinePastaPrograma(pasta.Caminho().string());
    d.DbSave(nenhum.string());
    EXPECT_FALSE(fs::exists(nenhum));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto, "O arquivo " + (pasta / "WATTemplate.mdb").string() + " não existe.");
    DefinePastaPrograma(cadtest::PastaDoPrograma().string());

    // A database without the terrain tables.
    mensagens.Limpa();
    const fs::path outro = pasta / "outro.mdb";
    cadtest::ExecutaSql(outro, "CREATE TABLE Qualquer (A INTEGER);");
    d.DbLoad(outro.string());
    d.DbSave(outro.string());
    ASSERT_EQ(mensagens.Lista().size(), 2u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Não foi possível ler o modelo do terreno no arquivo " + outro.string()),
              std::string::npos);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("O modelo do terreno em uso foi mantido."), std::string::npos);
    EXPECT_NE(mensagens.Lista()[1].Texto.find("Não foi possível gravar o modelo do terreno"), std::string::npos);
    EXPECT_EQ(gNumTriangulos, 3);

    // Stored rows that do not fit: a triangle past the count, a vertex number
    // past the vertices, an Index given twice.
    const std::vector<std::string> ruins = {
        "INSERT INTO TopTriangulos VALUES (2, 1, 2, 3, 1, 0, 1, 0);",
        "INSERT INTO TopTriangulos VALUES (1, 1, 2, 4, 1, 0, 1, 0);",
        "INSERT INTO TopVertex VALUES (3, 0, 1, 0); INSERT INTO TopTriangulos VALUES (1, 1, 2, 3, 1, 0, 1, 0);",
    };
    for (size_t k = 0; k < ruins.size(); ++k) {
        mensagens.Limpa();
        const fs::path b = pasta / ("ruim" + std::to_string(k) + ".mdb");
        fs::copy_file(cadtest::PastaDoPrograma() / "WATTemplate.mdb", b);
        cadtest::ExecutaSql(b,
                            "INSERT INTO TopVertex VALUES (0, 0, 0, 0); INSERT INTO TopVertex VALUES (1, 0, 0, 5);"
                            "INSERT INTO TopVertex VALUES (2, 1, 0, 5); INSERT INTO TopVertex VALUES (3, 0, 1, 5);" +
                                ruins[k]);
        d.DbLoad(b.string());
        ASSERT_EQ(mensagens.Lista().size(), 1u) << k;
        EXPECT_NE(mensagens.Lista()[0].Texto.find("O modelo do terreno em uso foi mantido."), std::string::npos);
        EXPECT_EQ(gNumVertices, 5) << k;
        EXPECT_EQ(gNumTriangulos, 3) << k;
    }
    EXPECT_NEAR(CotaNoPonto(Ponto(110, 105)), 11, 1e-9);
}

// Region loops live only in their two tables; any other name is refused
// before the database is touched.
TEST_F(TerrainStorageTest, RegionTableNames)
{
    EXPECT_TRUE(TabelaDeRegioes("Pavimentos"));
    EXPECT_TRUE(TabelaDeRegioes("WATZonas"));
    EXPECT_TRUE(mensagens.Lista().empty());
    for (const char* nome : {"TopVertex", "pavimentos", "WATZonas; DROP TABLE TopVertex", ""}) {
        mensagens.Limpa();
        EXPECT_FALSE(TabelaDeRegioes(nome)) << nome;
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
        EXPECT_EQ(mensagens.Lista()[0].Texto, "Nome inválido para a tabela");
    }
}

// Every triangle as a 3-D face on "TRIANGULACAO", elevations exaggerated;
// a triangle with a vertex at the plan origin is left out.
TEST_F(TerrainStorageTest, DrawsTheFaces)
{
    CarregaVertices({{0, 0, 1}, {10, 0, 2}, {0, 10, 3}, {10, 10, 4}, {20, 0, 5}});
    gTriangulos.assign(4, TrianguloRec{});
    gTriangulos[1] = {1, 2, 3};
    gTriangulos[2] = {2, 4, 3};
    gTriangulos[3] = {2, 5, 4};
    gNumTriangulos = 3;
    clsDelaunay().Draw(2.5);
    std::vector<acad::Face3D*> faces;
    for (acad::Entity* e : Doc().ModelSpace())
        if (auto* f = acad::As<acad::Face3D>(e)) faces.push_back(f);
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0]->Layer(), "TRIANGULACAO");
    EXPECT_EQ(Doc().ActiveLayer().Name(), "TRIANGULACAO");
    EXPECT_EQ(faces[0]->Coordinates(), (std::vector<double>{10, 0, 5, 10, 10, 10, 0, 10, 7.5, 10, 0, 5}));
    EXPECT_EQ(faces[1]->Coordinate(1).z, 12.5);
}
