// The system's own SQL texts, sent through the data-access layer exactly as
// the loaders send them, on the catalogue the build ships: each runs, returns
// rows, and gives what the loaders go on to rely on.

#include "CatalogueFiles.h"

#include "platform/ado/Ado.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

using namespace ado;

namespace {

std::string CatalogueConnection()
{
    return "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + (catalogue_test::binDir() / "rereva2000r.mdb").string() +
           ";Jet OLEDB:Database Password=582736;";
}

long Count(Recordset& rs)
{
    long n = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) ++n;
    return n;
}

}  // namespace

TEST(ShippedCatalogueQueries, SewerLoaderQueriesRunAndFeedEachOther)
{
    Connection cn;
    cn.SetCursorLocation(adUseClient);
    cn.Open(CatalogueConnection(), "", "");
    Recordset rs;

    rs.Open("select * from E_PVBlocks order by Inserir,DiamNominal", cn, adOpenStatic, adLockPessimistic);
    rs.SetFilter("[Inserir] = True");
    EXPECT_GT(rs.RecordCount(), 0);
    EXPECT_EQ(Count(rs), rs.RecordCount());
    rs.Close();

    rs.Open("select Material,CodMaterial,Abrev from E_Materiais group by Material,CodMaterial,Abrev order by material",
            cn, adOpenStatic, adLockPessimistic);
    std::set<long> codes;
    for (; !rs.Eof(); rs.MoveNext()) codes.insert(rs.Fields("CodMaterial").Value().ToLong());
    rs.Close();
    ASSERT_FALSE(codes.empty());
    for (long code : codes) {
        Recordset diam;
        diam.Open(
            "SELECT E_Materiais.CodMaterial, E_Materiais.Diametro, E_Materiais.DegrauAte, E_CodDiam.Index"
            " FROM E_Materiais INNER JOIN E_CodDiam ON E_Materiais.Diametro = E_CodDiam.Diametro"
            " WHERE E_Materiais.CodMaterial = " +
                std::to_string(code) + " ORDER BY E_Materiais.CodMaterial, E_CodDiam.Index;",
            cn);
        EXPECT_GT(diam.RecordCount(), 0) << "material " << code << " has no diameter in E_CodDiam";
        // The step list is built from these texts: whole millimetres, no ".0".
        for (; !diam.Eof(); diam.MoveNext())
            EXPECT_EQ(diam.Fields("DegrauAte").Value().ToText().find('.'), std::string::npos);
    }

    for (const char* sql : {"select Diametro,Cor from E_TRLayerColor order by Diametro",
                            "select Descricao,Etapa,Sufixo,LineType from E_TRLayerParam order by Etapa",
                            "select * from E_Pavimentos", "SELECT * FROM E_DXFs ORDER BY Bloco,S1,S4"}) {
        rs.Open(sql, cn, adOpenStatic, adLockPessimistic);
        EXPECT_GT(rs.RecordCount(), 0) << sql;
        rs.Close();
    }
    rs.Open("select Descricao,Etapa,Sufixo,LineType from E_TRLayerParam order by Etapa", cn, adOpenStatic,
            adLockPessimistic);
    EXPECT_FALSE(rs.Fields("Linetype").Value().ToText().empty());
    rs.Close();
}

TEST(ShippedCatalogueQueries, WaterLoaderQueriesRun)
{
    Connection cn;
    cn.SetCursorLocation(adUseClient);
    cn.Open(CatalogueConnection(), "", "");
    const char* steps[] = {
        "SELECT A_CodDiam.Index, A_CodDiam.sDiametro From A_CodDiam ORDER BY A_CodDiam.Index",
        "SELECT A_Conexoes.codigo, A_Conexoes.conexao From A_Conexoes WHERE (((A_Conexoes.conexao) Like 'Anel%'))",
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_Conexoes.conexao From A_Conexoes Where "
        "(((A_Conexoes.Material) Like 'Tubula%')) ORDER BY A_Conexoes.material, A_Conexoes.conexao",
        "SELECT A_Conexoes.material, A_Conexoes.conexao, A_Conexoes.codigo From A_Conexoes ORDER BY "
        "A_Conexoes.material, A_Conexoes.conexao, A_Conexoes.codigo",
        "SELECT A_Bolsas.Codigo, A_Bolsas.Numero, A_Bolsas.Principal, A_Bolsas.Anel From A_Bolsas Where "
        "(((A_Bolsas.Anel) Is Not Null)) ORDER BY A_Bolsas.codigo, A_Bolsas.Numero",
        "SELECT A_Conexoes.material, A_Materiais.Tubulacao, A_Materiais.DimX, A_Materiais.DimY, A_Conexoes.codigo, "
        "A_Conexoes.conexao, A_Conexoes.bloco, A_Conexoes.HasDS, A_Conexoes.TLHW, A_CodDiam.sDiametro AS DP, "
        "A_CodDiam.Index, A_CodDiam_1.sDiametro AS DS, A_CodDiam_1.Index FROM (((A_Conexoes INNER JOIN A_Diams ON "
        "A_Conexoes.codigo = A_Diams.codigo) INNER JOIN A_CodDiam ON A_Diams.dp = A_CodDiam.sDiametro) LEFT JOIN "
        "A_CodDiam AS A_CodDiam_1 ON A_Diams.ds = A_CodDiam_1.sDiametro) INNER JOIN A_Materiais ON "
        "A_Conexoes.material = A_Materiais.Material ORDER BY A_Conexoes.material, A_Conexoes.TLHW, "
        "A_Conexoes.conexao, A_CodDiam.Index, A_CodDiam_1.Index",
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_Conexoes.bloco, A_DXFs.S1, A_DXFs.S2, A_DXFs.S3, A_DXFs.S4, "
        "A_Bolsas.Principal, A_Bolsas.Anel, A_Bolsas.Tubulacao FROM (A_Conexoes INNER JOIN A_DXFs ON A_Conexoes.bloco "
        "= A_DXFs.Bloco) INNER JOIN A_Bolsas ON (A_Conexoes.codigo = A_Bolsas.Codigo) AND (A_DXFs.S4 = "
        "A_Bolsas.Numero) Where (((A_DXFs.S1) LIKE 'Point')) ORDER BY A_Conexoes.material, A_Conexoes.codigo, A_DXFs.S4",
    };
    for (const char* sql : steps) {
        Recordset rs;
        rs.Open(sql, cn, adOpenStatic, adLockPessimistic);
        EXPECT_GT(rs.RecordCount(), 0) << sql;
    }
    for (const char* sql : {"SELECT A_Conexoes.material, A_Conexoes.codigo, A_ConExtra.Att, A_ConExtra.Cod FROM "
                            "A_Conexoes INNER JOIN A_ConExtra ON A_Conexoes.codigo = A_ConExtra.Codigo ORDER BY "
                            "A_Conexoes.material, A_Conexoes.codigo, A_ConExtra.Att",
                            "SELECT * FROM A_DXFs ORDER BY Bloco,S1,S4", "SELECT * FROM A_CodDiam ORDER BY Index"}) {
        Recordset rs;
        rs.SetCursorLocation(adUseClient);
        rs.Open(sql, cn, adOpenForwardOnly, adLockReadOnly);
        EXPECT_GT(rs.RecordCount(), 0) << sql;
    }
}

TEST(ShippedCatalogueQueries, ExportHeadTailAndTopographyRowsRun)
{
    Connection cn;
    cn.SetCursorLocation(adUseClient);
    cn.Open("PROVIDER=MSDataShape;Data " + CatalogueConnection(), "", "");
    for (const char* sql :
         {"select [Num],[Campo] from dxfINI order by [Num]", "select [Num],[Campo] from dxfEND order by [Num]",
          "SELECT * FROM T_DXFs ORDER BY Bloco,S1,S4"}) {
        Recordset rs;
        rs.Open(sql, cn, adOpenStatic, adLockPessimistic);
        EXPECT_GT(rs.RecordCount(), 0) << sql;
    }
}

TEST(ShippedCatalogueQueries, FittingsEditorWritesASocketOfACopy)
{
    // The editor writes into the catalogue: do it on a copy, never on the shipped file.
    const auto dir = std::filesystem::temp_directory_path() / ("quoril-catalogue-edit-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto copy = dir / "rereva2000r.mdb";
    std::filesystem::copy_file(catalogue_test::binDir() / "rereva2000r.mdb", copy);
    {
        Connection cn;
        cn.SetCursorLocation(adUseClient);
        cn.Open(
            "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + copy.string() + ";Jet OLEDB:Database Password=582736;",
            "", "");
        Recordset first;
        first.Open("SELECT A_Bolsas.Codigo FROM A_Bolsas ORDER BY A_Bolsas.Codigo", cn, adOpenStatic, adLockReadOnly);
        ASSERT_FALSE(first.Eof());
        const std::string codigo = first.Fields("Codigo").Value().ToText();
        first.Close();
        Recordset rs;
        rs.Open("Select * FROM A_Bolsas WHERE ((Codigo LIKE '" + codigo + "') AND (Numero LIKE '1'))", cn,
                adOpenDynamic, adLockOptimistic, -1);
        ASSERT_FALSE(rs.Eof());
        rs.Fields("Principal").SetValue(Value(false));
        rs.Update();
        rs.Close();
        Recordset check;
        check.Open("Select * FROM A_Bolsas WHERE ((Codigo LIKE '" + codigo + "') AND (Numero LIKE '1'))", cn,
                   adOpenStatic, adLockReadOnly);
        EXPECT_FALSE(check.Fields("Principal").Value().ToBool());
    }
    std::filesystem::remove_all(dir);
}
