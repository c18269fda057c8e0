// Every SQL text the system sends to its catalogue database runs unchanged and
// returns its rows in the order the loaders rely on; the translation and the
// text rules behind that.

#include "AdoTestSupport.h"

#include "platform/ado/Ado.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/JetText.h"

#include <gtest/gtest.h>

using namespace ado;
using adotest::TempDir;
using adotest::Column;

namespace {

struct Catalogue {
    TempDir dir;
    std::string path = dir.File("rereva2000r.mdb");
    Catalogue() { adotest::MakeDatabase(path, adotest::CatalogueSql()); }
};

using Texts = std::vector<std::string>;

}  // namespace

TEST(CatalogueQueries, SewerLoaderTablesComeInTheOrderTheLoaderNeeds)
{
    Catalogue cat;
    Connection cn;
    cn.SetCursorLocation(adUseClient);
    cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + cat.path + ";Jet OLEDB:Database Password=582736;", "",
            "");

    // Manhole types: only those to insert, in text order of the nominal diameter.
    Recordset rs;
    rs.Open("select * from E_PVBlocks order by Inserir,DiamNominal", cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(rs.RecordCount(), 5);
    rs.SetFilter("[Inserir] = True");
    ASSERT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(Column(rs, "Abrev"), (Texts{"PV100", "PV120", "TIL", "PV80"}));
    rs.MoveFirst();
    EXPECT_DOUBLE_EQ(rs.Fields("Chamine").Value().ToDouble() / 1000, 0.6);
    EXPECT_EQ(rs.Fields("DiamSaida").Value().ToLong(), 400);
    EXPECT_EQ(rs.Fields("Inserir").Value().Kind(), ValueKind::Boolean);
    rs.Close();

    // Materials: one per (Material, CodMaterial, Abrev), by name without regard to case or accents.
    rs.Open("select Material,CodMaterial,Abrev from E_Materiais group by Material,CodMaterial,Abrev order by material",
            cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "Material"),
              (Texts{"Aço", "Acrílico", "Cerâmica", "concreto", "concreto", "Ferro Fundido", "PVC"}));
    EXPECT_EQ(Column(rs, "CodMaterial"), (Texts{"6", "7", "2", "3", "4", "5", "1"}));
    rs.Close();

    // Diameters of one material in E_CodDiam.Index order; one missing from E_CodDiam is left out.
    const std::string code = std::to_string(Value("2").ToLong());
    rs.Open(
        "SELECT E_Materiais.CodMaterial, E_Materiais.Diametro, E_Materiais.DegrauAte, E_CodDiam.Index"
        " FROM E_Materiais INNER JOIN E_CodDiam ON E_Materiais.Diametro = E_CodDiam.Diametro"
        " WHERE E_Materiais.CodMaterial = " +
            code + " ORDER BY E_Materiais.CodMaterial, E_CodDiam.Index;",
        cn);
    std::string lista = "_";
    for (; !rs.Eof(); rs.MoveNext())
        lista += rs.Fields("Diametro").Value().ToText() + "_|" + rs.Fields("DegrauAte").Value().ToText() + "|_";
    EXPECT_EQ(lista, "_150_|1500|_300_|1600|_1000_|1800.5|_");
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.Close();

    rs.Open("select Diametro,Cor from E_TRLayerColor order by Diametro", cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "Diametro"), (Texts{"150", "200", "300", "1000"}));
    rs.Close();

    // Stages: read back under another spelling of the column name; an empty suffix is Null.
    rs.Open("select Descricao,Etapa,Sufixo,LineType from E_TRLayerParam order by Etapa", cn, adOpenStatic,
            adLockPessimistic);
    EXPECT_EQ(Column(rs, "Linetype"), (Texts{"CONTINUOUS", "HIDDEN", "DASHED"}));
    EXPECT_EQ(Column(rs, "Sufixo"), (Texts{"<null>", "-1E", "-2E"}));
    rs.Close();

    // Pavements: the table's own order, though an index on the name could be walked instead.
    rs.Open("select * from E_Pavimentos", cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "Nome"), (Texts{"Terra", "Asfalto", "Paralelepípedo", "Concreto"}));
    rs.Close();

    // Block geometry: blocks by name without regard to case, then kind, then S4 as text.
    rs.SetCursorLocation(adUseClient);
    rs.Open("SELECT * FROM E_DXFs ORDER BY Bloco,S1,S4", cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "Bloco"),
              (Texts{"E-PV", "E-PV", "E-PV", "E-PV", "E-PV", "E-PV", "E-PV250", "e-pvgen", "RQ-A"}));
    rs.MoveFirst();
    Texts s4;
    for (int i = 0; i < 6; ++i, rs.MoveNext())
        s4.push_back(rs.Fields("S1").Value().ToText() + ":" + rs.Fields("S4").Value().TextOr(""));
    EXPECT_EQ(s4, (Texts{"Attribute:0,NUMERO,NUMPV,0,0,7,ROMANS", "Attribute:1,CT,PV,0,0,7,ROMANS",
                         "Attribute:10,ET,PV,1,0,7,ROMANS", "Attribute:2,CS,PV,1,0,7,ROMANS", "Circle:", "Line:"}));
    rs.Close();
    cn.Close();
}

TEST(CatalogueQueries, WaterLoaderQueriesAndTheirOrders)
{
    Catalogue cat;
    Connection cn;
    cn.SetCursorLocation(adUseClient);
    cn.Open(adotest::JetConnection(cat.path), "", "");
    Recordset rs;

    rs.Open("SELECT A_CodDiam.Index, A_CodDiam.sDiametro From A_CodDiam ORDER BY A_CodDiam.Index", cn, adOpenStatic,
            adLockPessimistic);
    EXPECT_EQ(Column(rs, "sDiametro"), (Texts{"50", "75", "100", "150", "300"}));
    rs.Close();

    // Like with % and without regard to case; no ORDER BY: the table's order.
    rs.Open("SELECT A_Conexoes.codigo, A_Conexoes.conexao From A_Conexoes WHERE (((A_Conexoes.conexao) Like 'Anel%'))",
            cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "Codigo"), (Texts{"AN50", "AN45"}));
    rs.Close();

    rs.Open(
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_Conexoes.conexao From A_Conexoes Where "
        "(((A_Conexoes.Material) Like 'Tubula%')) ORDER BY A_Conexoes.material, A_Conexoes.conexao",
        cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "codigo"), (Texts{"TB50", "TB75", "TBF"}));
    rs.Close();

    // "anel ... 45" before "Anel ... 50"; "Tê" before "Tee" (accents sort as their letters).
    rs.Open(
        "SELECT A_Conexoes.material, A_Conexoes.conexao, A_Conexoes.codigo From A_Conexoes ORDER BY "
        "A_Conexoes.material, A_Conexoes.conexao, A_Conexoes.codigo",
        cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "codigo"),
              (Texts{"AN45", "AN50", "RG50", "CAP50", "CV50", "TE5050", "TE7550", "TE0", "TB50", "TB75", "TBF"}));
    rs.Close();

    rs.Open(
        "SELECT A_Bolsas.Codigo, A_Bolsas.Numero, A_Bolsas.Principal, A_Bolsas.Anel From A_Bolsas Where "
        "(((A_Bolsas.Anel) Is Not Null)) ORDER BY A_Bolsas.codigo, A_Bolsas.Numero",
        cn, adOpenStatic, adLockPessimistic);
    Texts sockets;
    for (; !rs.Eof(); rs.MoveNext())
        sockets.push_back(rs.Fields("Codigo").Value().ToText() + "/" + rs.Fields("Numero").Value().ToText());
    EXPECT_EQ(sockets, (Texts{"CV50/1", "TE5050/1", "TE5050/2", "TE7550/1", "TE7550/2", "TE7550/10"}));
    rs.Close();

    // The material tree: nested joins, a self-join alias, two columns named Index.
    rs.Open(
        "SELECT A_Conexoes.material, A_Materiais.Tubulacao, A_Materiais.DimX, A_Materiais.DimY, A_Conexoes.codigo, "
        "A_Conexoes.conexao, A_Conexoes.bloco, A_Conexoes.HasDS, A_Conexoes.TLHW, A_CodDiam.sDiametro AS DP, "
        "A_CodDiam.Index, A_CodDiam_1.sDiametro AS DS, A_CodDiam_1.Index FROM (((A_Conexoes INNER JOIN A_Diams ON "
        "A_Conexoes.codigo = A_Diams.codigo) INNER JOIN A_CodDiam ON A_Diams.dp = A_CodDiam.sDiametro) LEFT JOIN "
        "A_CodDiam AS A_CodDiam_1 ON A_Diams.ds = A_CodDiam_1.sDiametro) INNER JOIN A_Materiais ON "
        "A_Conexoes.material = A_Materiais.Material ORDER BY A_Conexoes.material, A_Conexoes.TLHW, "
        "A_Conexoes.conexao, A_CodDiam.Index, A_CodDiam_1.Index",
        cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "codigo"),
              (Texts{"RG50", "CV50", "TE5050", "CAP50", "TE0", "TE7550", "TE7550", "TE7550", "TB50", "TB75"}));
    EXPECT_EQ(Column(rs, "DP"), (Texts{"50", "50", "50", "50", "150", "75", "100", "100", "50", "75"}));
    EXPECT_EQ(Column(rs, "DS"),
              (Texts{"<null>", "<null>", "50", "<null>", "<null>", "50", "50", "75", "<null>", "<null>"}));
    EXPECT_EQ(Column(rs, "A_CodDiam.Index"), (Texts{"1", "1", "1", "1", "4", "2", "3", "3", "1", "2"}));
    EXPECT_EQ(Column(rs, "A_CodDiam_1.Index"),
              (Texts{"<null>", "<null>", "1", "<null>", "<null>", "1", "1", "2", "<null>", "<null>"}));
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields(10).Name(), "A_CodDiam.Index");
    EXPECT_EQ(rs.Fields(12).Name(), "A_CodDiam_1.Index");
    EXPECT_FALSE(rs.Fields("HasDS").Value().ToBool());
    EXPECT_EQ(rs.Fields("DimX").Value().ToLong(), 2);
    rs.Close();

    // Socket points: a text column joined to a number one, Like without wildcards as equality.
    rs.Open(
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_Conexoes.bloco, A_DXFs.S1, A_DXFs.S2, A_DXFs.S3, A_DXFs.S4, "
        "A_Bolsas.Principal, A_Bolsas.Anel, A_Bolsas.Tubulacao FROM (A_Conexoes INNER JOIN A_DXFs ON A_Conexoes.bloco "
        "= A_DXFs.Bloco) INNER JOIN A_Bolsas ON (A_Conexoes.codigo = A_Bolsas.Codigo) AND (A_DXFs.S4 = "
        "A_Bolsas.Numero) Where (((A_DXFs.S1) LIKE 'Point')) ORDER BY A_Conexoes.material, A_Conexoes.codigo, A_DXFs.S4",
        cn, adOpenStatic, adLockPessimistic);
    Texts points;
    for (; !rs.Eof(); rs.MoveNext())
        points.push_back(rs.Fields("codigo").Value().ToText() + "/" + rs.Fields("S4").Value().ToText());
    EXPECT_EQ(points, (Texts{"CV50/1", "CV50/2", "TE5050/1", "TE5050/2", "TE5050/3", "TE7550/1", "TE7550/2"}));
    rs.Close();

    // Steps 9 to 11: forward-only, read-only, client cursor on the recordset.
    rs.SetCursorLocation(adUseClient);
    rs.Open(
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_ConExtra.Att, A_ConExtra.Cod FROM A_Conexoes INNER JOIN "
        "A_ConExtra ON A_Conexoes.codigo = A_ConExtra.Codigo ORDER BY A_Conexoes.material, A_Conexoes.codigo, "
        "A_ConExtra.Att",
        cn, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(rs.CursorType(), adOpenStatic);
    EXPECT_EQ(Column(rs, "Att"), (Texts{"ANG", "JUNTA", "PN"}));
    rs.Close();

    rs.Open("SELECT * FROM A_DXFs ORDER BY Bloco,S1,S4", cn, adOpenForwardOnly, adLockReadOnly);
    Texts rows;
    for (; !rs.Eof(); rs.MoveNext())
        rows.push_back(rs.Fields("Bloco").Value().ToText() + ":" + rs.Fields("S1").Value().ToText() + ":" +
                       rs.Fields("S4").Value().TextOr(""));
    EXPECT_EQ(rows, (Texts{"A-CURVA:Arc:0,1.5708", "A-CURVA:Point:1", "A-CURVA:point:2",
                           "A-TE:Attribute:0,DN,TEXTO_CON,0,0,156,ROMANS", "A-TE:Line:", "A-TE:Point:1", "A-TE:Point:2",
                           "A-TE:Point:3"}));
    rs.Close();

    rs.Open("SELECT * FROM A_CodDiam ORDER BY Index", cn, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(Column(rs, "Color"), (Texts{"1", "2", "3", "4", "6"}));
    EXPECT_EQ(rs.Fields(0).Name(), "Index");
    rs.Close();
    cn.Close();
}

TEST(CatalogueQueries, DxfHeadAndTailThroughTheDataShapeProviderAndTopographyRows)
{
    Catalogue cat;
    Connection cn;
    cn.SetCursorLocation(adUseClient);
    cn.Open("PROVIDER=MSDataShape;Data PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + cat.path +
            ";Jet OLEDB:Database Password=582736;");
    Recordset rs;
    rs.Open("select [Num],[Campo] from dxfINI order by [Num]", cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "Campo"), (Texts{"  0  ", "SECTION", "<null>", "ENTITIES"}));
    rs.Close();
    rs.Open("select [Num],[Campo] from dxfEND order by [Num]", cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(Column(rs, "Campo"), (Texts{"ENDSEC", "EOF"}));
    rs.Close();
    cn.Close();

    Connection topo;
    topo.SetCursorLocation(adUseClient);
    topo.Open(adotest::JetConnection(cat.path));
    rs.SetCursorLocation(adUseClient);
    rs.Open("SELECT * FROM T_DXFs ORDER BY Bloco,S1,S4", topo, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(rs.RecordCount(), 9);
    EXPECT_EQ(rs.Fields("Bloco").Value().ToText(), "E-PV");
    EXPECT_TRUE(rs.Fields("S4").Value().ToText().starts_with("0,NUMERO"));
    rs.Close();
}

TEST(JetTranslation, RewritesWhatSqliteReadsDifferently)
{
    using namespace ado::detail;
    const TableResolver tables = [](const std::string& w) {
        if (SameName(w, "Pressure Pipe")) return TableInfo{"Pressure Pipe", true};
        if (SameName(w, "t")) return TableInfo{"T", true};
        if (SameName(w, "u")) return TableInfo{"U", true};
        throw Error(adErrNoSuchTable, "Tabela ou consulta '" + w + "' não encontrada.");
    };
    auto sql = [&](const std::string& jet, bool rowid = false) { return TranslateJetSql(jet, tables, rowid).sql; };

    EXPECT_EQ(sql("SELECT * FROM [pressure pipe]"),
              "SELECT * FROM \"Pressure Pipe\" ORDER BY \"Pressure Pipe\"._rowid_");
    EXPECT_EQ(sql("select a from t where Index > 0 order by Index"),
              "SELECT \"a\" FROM \"T\" WHERE \"Index\" > 0 ORDER BY \"Index\" COLLATE JET");
    EXPECT_EQ(sql("select * from t where [Inserir] = True and b <> True and c = False"),
              "SELECT * FROM \"T\" WHERE \"Inserir\" <> 0 AND \"b\" = 0 AND \"c\" = 0 ORDER BY \"T\"._rowid_");
    EXPECT_EQ(sql("UPDATE t SET x = True, y = \"it's\" WHERE z = 'a'"),
              "UPDATE \"T\" SET \"x\" = 1 , \"y\" = 'it''s' WHERE \"z\" = 'a' COLLATE JET");
    EXPECT_EQ(sql("DELETE * FROM t;"), "DELETE FROM \"T\"");
    EXPECT_EQ(sql("INSERT INTO t (a, b) VALUES (1, False)"), "INSERT INTO \"T\" ( \"a\" , \"b\" ) VALUES ( 1 , 0 )");
    EXPECT_EQ(
        sql("select t.a, u.a from t, u where t.k = u.k group by t.a"),
        "SELECT \"t\".\"a\" , \"u\".\"a\" FROM \"T\" , \"U\" WHERE \"t\".\"k\" = \"u\".\"k\" COLLATE JET GROUP BY \"t\".\"a\" COLLATE JET");

    Translation tr = TranslateJetSql("Select * FROM t AS x WHERE x.a = 1", tables, true);
    EXPECT_EQ(
        tr.sql,
        "SELECT * , \"x\"._rowid_ AS \"__quoril_rowid__\" FROM \"T\" AS \"x\" WHERE \"x\".\"a\" = 1 ORDER BY \"x\"._rowid_");
    EXPECT_EQ(tr.baseTable, "T");
    EXPECT_TRUE(TranslateJetSql("select a from t inner join u on t.k = u.k", tables, true).baseTable.empty());

    try {
        sql("select * from E_Nada");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(e.Description().find("E_Nada"), std::string::npos);
    }
    EXPECT_THROW(sql("select * from t; delete from t"), Error);
    EXPECT_THROW(sql("select * from [t"), Error);
    EXPECT_THROW(sql("select (a from t"), Error);
}

TEST(JetText, OrderEqualityAndLikeFollowTheOldEngine)
{
    using namespace ado::detail;
    EXPECT_LT(JetCompare("Acao", "Ação"), 0);  // unaccented first
    EXPECT_LT(JetCompare("Ação", "Acb"), 0);   // the accent sorts as its letter
    EXPECT_LT(JetCompare("ação", "Acb"), 0);
    EXPECT_EQ(JetCompare("PVC", "pvc"), 0);  // case does not count
    EXPECT_LT(JetCompare("Tê", "Tee"), 0);
    EXPECT_LT(JetCompare("1000", "250"), 0);  // numbers stored as text sort as text
    EXPECT_GT(JetCompare("concreto", "Cerâmica"), 0);

    EXPECT_TRUE(JetLike("Anel de borracha", "Anel%"));
    EXPECT_TRUE(JetLike("anel de borracha", "ANEL*"));
    EXPECT_TRUE(JetLike("Tubulações", "tubula%"));
    EXPECT_TRUE(JetLike("Point", "point"));
    EXPECT_FALSE(JetLike("Points", "Point"));
    EXPECT_TRUE(JetLike("TE5050", "TE?0_0"));
    EXPECT_TRUE(JetLike("x", "%%"));
    EXPECT_FALSE(JetLike("Ação", "Acao"));  // accents count in Like
    EXPECT_TRUE(JetLike("abcabd", "%abd"));
}
