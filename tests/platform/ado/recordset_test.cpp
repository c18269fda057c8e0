// Moving, filtering, finding and writing through recordsets on SQLite files,
// as the loaders, the fittings editor and the two database writers do; the
// errors a missing file, table or field gives; value conversions.

#include "AdoTestSupport.h"

#include "platform/ado/Ado.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ado;
using adotest::ErrorNumberOf;
using adotest::ErrorOf;
using adotest::TempDir;

namespace {

struct Db {
    TempDir dir;
    std::string path = dir.File("rereva2000r.mdb");
    Connection cn;
    explicit Db(const std::string& sql = adotest::CatalogueSql())
    {
        adotest::MakeDatabase(path, sql);
        cn.SetCursorLocation(adUseClient);
        cn.Open(adotest::JetConnection(path), "", "");
    }
};

}  // namespace

TEST(RecordsetMoves, PositionsMarksAndEventsFollowTheOriginal)
{
    Db db;
    Recordset rs;
    int moves = 0;
    rs.MoveComplete() += [&] { ++moves; };
    rs.Open("SELECT * FROM A_CodDiam ORDER BY Index", db.cn, adOpenStatic, adLockPessimistic);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    EXPECT_FALSE(rs.Bof());
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof());
    EXPECT_EQ(rs.AbsolutePosition(), adPosBOF);
    EXPECT_EQ(ErrorNumberOf([&] { rs.MovePrevious(); }), adErrNoCurrentRecord);
    EXPECT_EQ(ErrorNumberOf([&] { rs.Fields("sDiametro").Value(); }), adErrNoCurrentRecord);
    rs.MoveLast();
    EXPECT_EQ(rs.Fields("sDiametro").Value().ToText(), "300");
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(rs.AbsolutePosition(), adPosEOF);
    EXPECT_EQ(ErrorNumberOf([&] { rs.MoveNext(); }), adErrNoCurrentRecord);
    rs.Move(-2);
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    rs.Move(10);
    EXPECT_TRUE(rs.Eof());
    rs.SetAbsolutePosition(2);
    EXPECT_EQ(rs.Fields("sDiametro").Value().ToText(), "75");
    EXPECT_THROW(rs.SetAbsolutePosition(6), Error);

    // Find from the current record, forward and backward.
    rs.Find("sDiametro = '150'");
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    rs.Find("Color < 3", 0, adSearchBackward);
    EXPECT_EQ(rs.Fields("sDiametro").Value().ToText(), "75");
    rs.Find("sDiametro = '999'");
    EXPECT_TRUE(rs.Eof());

    // Fields by number and by name, any case; the collection iterates.
    rs.MoveFirst();
    std::string names;
    for (Field f : rs.Fields()) names += f.Name() + ";";
    EXPECT_EQ(names, "Index;sDiametro;Color;");
    EXPECT_EQ(rs.Fields().Count(), 3);
    EXPECT_EQ(rs.Fields("SDIAMETRO").Value().ToText(), "50");
    EXPECT_EQ(rs.Fields(2).Type(), adSmallInt);
    EXPECT_NE(ErrorOf([&] { rs.Fields("Diametro"); }).find("'Diametro'"), std::string::npos);
    EXPECT_EQ(ErrorNumberOf([&] { rs.Fields(7); }), adErrItemNotFound);
    const int before = moves;
    rs.Requery();
    EXPECT_EQ(moves, before + 1);
    rs.Close();
    EXPECT_EQ(rs.State(), adStateClosed);
    EXPECT_EQ(ErrorNumberOf([&] { rs.Eof(); }), adErrObjectClosed);

    // An empty recordset is at both ends.
    rs.Open("SELECT * FROM A_CodDiam WHERE Color > 100", db.cn, adOpenStatic, adLockReadOnly);
    EXPECT_TRUE(rs.Bof());
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(rs.RecordCount(), 0);
    rs.MoveFirst();
    rs.MoveLast();
    EXPECT_EQ(rs.AbsolutePosition(), adPosUnknown);
}

TEST(RecordsetFilter, DeepOrLongCriteriaAreRefusedOrTestedWithoutOverflow)
{
    Db db;
    Recordset rs;
    rs.Open("SELECT * FROM A_Conexoes", db.cn, adOpenStatic, adLockPessimistic);
    rs.SetFilter("material = 'pvc' And HasDS = True");
    const std::string deep = std::string(5000, '(') + "material = 'pvc'" + std::string(5000, ')');
    const std::string why = ErrorOf([&] { rs.SetFilter(deep); });
    EXPECT_NE(why.find("parênteses demais"), std::string::npos) << why.substr(0, 80);
    EXPECT_EQ(rs.RecordCount(), 2);  // the previous filter stays

    // Thousands of terms, as a filter built from a selection would have.
    std::string any = "material = 'pvc'", all = "material = 'pvc'";
    for (int i = 0; i < 20000; ++i) {
        any += " Or codigo = 'X" + std::to_string(i) + "'";
        all += " And HasDS = True";
    }
    rs.SetFilter(any);
    const long long pvc = rs.RecordCount();
    EXPECT_GT(pvc, 2);
    rs.SetFilter(all);
    EXPECT_EQ(rs.RecordCount(), 2);
    rs.SetFilter("((material = 'pvc' Or codigo = 'none') And (HasDS = True Or HasDS = True)) Or bloco = 'none'");
    EXPECT_EQ(rs.RecordCount(), 2);
}

TEST(RecordsetFilter, FiltersNarrowMovesAndCountsUntilCleared)
{
    Db db;
    Recordset rs;
    rs.Open("SELECT * FROM A_Conexoes", db.cn, adOpenStatic, adLockPessimistic);
    rs.SetFilter("material = 'pvc' And HasDS = True");
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Fields("codigo").Value().ToText(), "TE7550");
    rs.MoveNext();
    EXPECT_EQ(rs.Fields("codigo").Value().ToText(), "TE5050");
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());

    rs.SetFilter("HasDS <> False");  // a Boolean stored as -1 is True too
    EXPECT_EQ(rs.RecordCount(), 2);
    rs.SetFilter("conexao Like 'tub*' Or bloco = Null");
    EXPECT_EQ(rs.RecordCount(), 6);
    EXPECT_NE(ErrorOf([&] {
                  rs.SetFilter("(material = 'PVC' Or material = 'Ferro Dúctil') And Not_a_field = 1");
              }).find("Not_a_field"),
              std::string::npos);
    EXPECT_EQ(rs.RecordCount(), 6);  // a refused filter leaves the previous one
    EXPECT_EQ(rs.Filter(), "conexao Like 'tub*' Or bloco = Null");
    rs.SetFilter("[TLHW] >= '2000'");
    EXPECT_EQ(rs.RecordCount(), 2);
    rs.SetFilter("(material = 'PVC' Or material = 'Ferro Dúctil') And TLHW < '1300'");
    EXPECT_EQ(rs.RecordCount(), 3);
    // "<=" takes the value itself and what is below it, nothing above.
    rs.SetFilter("TLHW <= '1311'");
    EXPECT_EQ(adotest::ColumnTexts(rs, "TLHW"),
              (std::vector<std::string>{"1111", "1211", "1112", "1311", "1111", "1112"}));
    Recordset cores;
    cores.Open("SELECT * FROM A_CodDiam", db.cn, adOpenStatic, adLockReadOnly);
    cores.SetFilter("Color <= 4");
    EXPECT_EQ(adotest::ColumnTexts(cores, "sDiametro"), (std::vector<std::string>{"100", "50", "75", "150"}));
    rs.SetFilter("");
    EXPECT_EQ(rs.RecordCount(), 11);
    EXPECT_THROW(rs.SetFilter("material = "), Error);

    Recordset sql;
    sql.Open("SELECT codigo FROM A_Conexoes WHERE HasDS = True", db.cn);
    EXPECT_EQ(sql.RecordCount(), 2);
    EXPECT_THROW(rs.SetFilter("material ~ 'x'"), Error);
}

TEST(RecordsetWrites, FittingsEditorWritesOneSocketThroughADynamicRecordset)
{
    Db db;
    Connection form;  // the editor's own connection, open while it lives
    form.SetCursorLocation(adUseClient);
    form.Open(adotest::JetConnection(db.path), "", "");
    const std::string codigo = "TE5050";
    const int k = 1;
    auto write = [&](const std::string& column, const Value& v) {
        Recordset rs;
        rs.Open("Select * FROM A_Bolsas WHERE ((Codigo LIKE '" + codigo + "') AND (Numero LIKE '" +
                    std::to_string(k + 1) + "'))",
                form, adOpenDynamic, adLockOptimistic, -1);
        ASSERT_FALSE(rs.Eof());
        rs.Fields(column).SetValue(v);
        EXPECT_EQ(rs.EditMode(), adEditInProgress);
        rs.Update();
        EXPECT_EQ(rs.EditMode(), adEditNone);
        rs.Close();
    };
    write("Tubulacao", "Tubo PVC 75");
    write("Anel", "Não usa");
    write("Principal", false);
    auto rows = adotest::QueryDatabase(
        db.path, "SELECT Tubulacao, Anel, Principal FROM A_Bolsas WHERE Codigo = 'TE5050' ORDER BY Numero");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"Tubo PVC 75", "Não usa", "0"}));
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Tubo PVC 50", "AN50", "1"}));

    // The loader, reopened on another connection, sees the change.
    Recordset check;
    check.Open("SELECT * FROM A_Bolsas WHERE Codigo = 'te5050' AND Numero = 2", db.cn, adOpenStatic, adLockReadOnly);
    EXPECT_EQ(check.Fields("Anel").Value().ToText(), "Não usa");
    EXPECT_FALSE(check.Fields("Principal").Value().ToBool());
    EXPECT_EQ(check.Fields("Principal").Value().Kind(), ValueKind::Boolean);
    // A read-only recordset and a joined one refuse writes, naming why.
    EXPECT_EQ(ErrorNumberOf([&] { check.Fields("Anel").SetValue("x"); }), adErrFeatureNotAvailable);
    Recordset joined;
    joined.Open(
        "SELECT A_Bolsas.Anel, A_Conexoes.bloco FROM A_Bolsas INNER JOIN A_Conexoes ON A_Bolsas.Codigo = A_Conexoes.codigo",
        db.cn, adOpenDynamic, adLockOptimistic);
    EXPECT_NE(ErrorOf([&] { joined.Fields("Anel").SetValue("x"); }).find("não pode ser alterado"), std::string::npos);
}

TEST(RecordsetWrites, AnotherConnectionSeesAndWritesPastAnOpenWritingRecordset)
{
    Db db;
    Connection writer;
    writer.Open(adotest::JetConnection(db.path), "", "");
    Recordset rs;
    rs.Open("SELECT * FROM A_Bolsas WHERE Codigo = 'TE5050' AND Numero = 1", writer, adOpenDynamic, adLockOptimistic);
    rs.Fields("Anel").SetValue("AN99");
    rs.Update();  // the recordset stays open: its write is not committed by a Close

    // The loader's connection reads the change and can write itself without
    // waiting on the first one's transaction.
    Recordset check;
    check.Open("SELECT Anel FROM A_Bolsas WHERE Codigo = 'TE5050' AND Numero = 1", db.cn, adOpenStatic, adLockReadOnly);
    EXPECT_EQ(check.Fields("Anel").Value().ToText(), "AN99");
    Recordset other;
    other.Open("SELECT * FROM A_Bolsas WHERE Codigo = 'TE5050' AND Numero = 2", db.cn, adOpenDynamic, adLockOptimistic);
    other.Fields("Anel").SetValue("AN98");
    other.Update();
    other.Close();
    EXPECT_EQ(
        adotest::QueryDatabase(db.path, "SELECT Anel FROM A_Bolsas WHERE Codigo = 'TE5050' ORDER BY Numero")[1][0],
        "AN98");
}

TEST(RecordsetWrites, ExportWriterAddsRowsAndTheyReachTheFile)
{
    TempDir dir;
    const std::string template_ = dir.File("Lumbra.mdb");
    adotest::MakeDatabase(template_, adotest::ExportTemplateSql());
    const std::string out = dir.File("rede export.mdb");
    std::filesystem::copy_file(template_, out);

    Connection cn;
    cn.SetCursorLocation(adUseClient);
    cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + out + ";Jet OLEDB:Database Password=582736;", "", "", -1);
    Recordset pipes, junctions, zones;
    pipes.Open("SELECT * FROM [Pressure Pipe]", cn, adOpenDynamic, adLockOptimistic, -1);
    junctions.Open("SELECT * FROM [Pressure Junction]", cn, adOpenDynamic, adLockOptimistic, -1);
    zones.Open("SELECT * FROM Zonas", cn, adOpenDynamic, adLockOptimistic, -1);
    for (int i = 0; i < 300; ++i) {
        junctions.AddNew();
        EXPECT_FALSE(junctions.Eof());
        EXPECT_EQ(junctions.EditMode(), adEditAdd);
        junctions.Fields("Label").SetValue("J-" + std::to_string(i + 1));
        junctions.Fields("X").SetValue(1000.25 + i);
        junctions.Fields("Y").SetValue("2000,5");  // text with a decimal comma becomes a number
        junctions.Fields("Elevation").SetValue(Value());
        junctions.Fields("Zone").SetValue("Zona Alta");
        junctions.Fields("Numero").SetValue(i + 1);  // a number into a text column
        junctions.Update();
    }
    EXPECT_EQ(junctions.RecordCount(), 300);
    EXPECT_EQ(junctions.Fields("Label").Value().ToText(), "J-300");
    pipes.AddNew();
    pipes.Fields("Label").SetValue("P-0");
    pipes.Fields("Etapa").SetValue(1);
    pipes.Fields("Comprimento").SetValue(12.5);
    pipes.Update();
    // A value the column cannot hold is refused, naming the field; the record stays pending.
    pipes.AddNew();
    EXPECT_NE(ErrorOf([&] { pipes.Fields("Etapa").SetValue(40000); }).find("'Etapa'"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { pipes.Fields("Demand").SetValue("muito"); }).find("'Demand'"), std::string::npos);
    pipes.CancelUpdate();
    EXPECT_EQ(pipes.RecordCount(), 1);
    zones.AddNew();
    zones.Fields("Nome").SetValue("Zona Alta");
    zones.Fields("TotalNodes").SetValue(300LL);
    zones.Update();
    pipes.Close();
    junctions.Close();
    zones.Close();
    cn.Close();

    auto rows = adotest::QueryDatabase(
        out, "SELECT Label, X, Y, Elevation, Numero, typeof(Numero) FROM \"Pressure Junction\" WHERE Label = 'J-2'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"J-2", "1001.25", "2000.5", "", "2", "text"}));
    EXPECT_EQ(adotest::QueryDatabase(out, "SELECT count(*) FROM \"Pressure Junction\"")[0][0], "300");
    EXPECT_EQ(adotest::QueryDatabase(out, "SELECT Label, Etapa, Comprimento FROM \"Pressure Pipe\"")[0],
              (std::vector<std::string>{"P-0", "1", "12.5"}));
}

TEST(RecordsetWrites, TerrainStorageReadsCountsAndAppendsWithAnAutoNumber)
{
    TempDir dir;
    const std::string path = dir.File("terreno.mdb");
    adotest::MakeDatabase(path, adotest::ExportTemplateSql());
    Connection cn;
    cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Jet OLEDB:Database;");
    Recordset rs;
    rs.Open("SELECT * FROM TopVertex WHERE Index > 0", cn);
    EXPECT_EQ(rs.RecordCount(), 3);  // exact even for a server-side forward-only cursor
    EXPECT_EQ(rs.CursorType(), adOpenForwardOnly);
    rs.Close();

    rs.Open("SELECT * FROM Pavimentos", cn);
    for (int i = 0; i < 3; ++i) {
        rs.AddNew();
        rs.Fields("Tipo").SetValue("Asfalto");
        rs.Fields("External").SetValue(i == 0);
        rs.Fields("ID").SetValue(1);
        rs.Fields("Loop").SetValue(i);
        rs.Fields("X").SetValue(i * 1.5);
        rs.Fields("Y").SetValue(0.0);
        rs.Update();
        EXPECT_EQ(rs.Fields("Index").Value().ToLong(), i + 1);  // given by the table
    }
    // Moving with a pending edit saves it first; Delete leaves the deleted record current.
    rs.MoveFirst();
    rs.Fields("Tipo").SetValue("Terra");
    rs.MoveLast();
    rs.Delete();
    EXPECT_EQ(rs.EditMode(), adEditNone);
    EXPECT_EQ(ErrorNumberOf([&] { rs.Fields("Tipo").Value(); }), adErrNoCurrentRecord);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    rs.Close();

    rs.Open("SELECT * FROM Pavimentos ORDER BY Index", cn);
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Fields("Tipo").Value().ToText(), "Terra");
    EXPECT_TRUE(rs.Fields("External").Value().ToBool());
    rs.MoveNext();
    EXPECT_DOUBLE_EQ(rs.Fields("X").Value().ToDouble(), 1.5);
    EXPECT_EQ(rs.Fields("Loop").Value().Kind(), ValueKind::Integer);

    // Execute: statements of the old dialect.
    long long affected = 0;
    cn.Execute("DELETE * FROM Pavimentos WHERE [External] = True", &affected);
    EXPECT_EQ(affected, 1);
    Recordset count = cn.Execute("SELECT count(*) AS n FROM Pavimentos");
    EXPECT_EQ(count.Fields("n").Value().ToLong(), 1);
}

TEST(RecordsetErrors, MissingFileTableAndFieldAreNamed)
{
    TempDir dir;
    const std::string missing = dir.File("nada.mdb");
    Connection cn;
    const std::string e1 = ErrorOf([&] { cn.Open(adotest::JetConnection(missing)); });
    EXPECT_NE(e1.find(missing), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(missing));  // never created by accident

    adotest::WriteFile(dir.File("texto.mdb"),
                       "isto não é um banco de dados, apenas texto suficiente para o cabeçalho......");
    const std::string notDb = ErrorOf([&] {
        Connection c;
        c.Open(adotest::JetConnection(dir.File("texto.mdb")));
    });
    EXPECT_NE(notDb.find("texto.mdb"), std::string::npos) << notDb;
    EXPECT_NE(notDb.find("o arquivo não é um banco de dados"), std::string::npos) << notDb;
    // Locked by another program (after the wait for it): in use, not unreadable.
    const std::string held = dir.File("preso.mdb");
    adotest::MakeDatabase(held, "CREATE TABLE t (a)");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(held.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const std::string locked = ErrorOf([&] {
        Connection c;
        c.Open(adotest::JetConnection(held));
    });
    sqlite3_close_v2(other);
    EXPECT_NE(locked.find("preso.mdb' está em uso por outro programa"), std::string::npos) << locked;
    EXPECT_NE(ErrorOf([&] {
                  Connection c;
                  c.Open("PROVIDER=SQLOLEDB;Data Source=x");
              }).find("SQLOLEDB"),
              std::string::npos);

    Db db;
    Recordset rs;
    const std::string e2 =
        ErrorOf([&] { rs.Open("SELECT * FROM E_Inexistente", db.cn, adOpenStatic, adLockPessimistic); });
    EXPECT_NE(e2.find("E_Inexistente"), std::string::npos);
    EXPECT_EQ(rs.State(), adStateClosed);
    const std::string e3 = ErrorOf([&] { rs.Open("SELECT Nome, Cor FROM E_Pavimentos", db.cn); });
    EXPECT_NE(e3.find("Cor"), std::string::npos);
    EXPECT_EQ(ErrorNumberOf([&] { rs.Open("SELECT E_Pavimentos.Cor FROM E_Pavimentos", db.cn); }), adErrNoSuchColumn);
    EXPECT_EQ(ErrorNumberOf([&] { rs.Open("SELEC * FROM E_Pavimentos", db.cn); }), adErrSyntax);
    rs.Open("E_Pavimentos", db.cn, adOpenStatic, adLockReadOnly, adCmdTable);
    EXPECT_EQ(rs.Fields("Nome").Value().ToText(), "Terra");
    EXPECT_EQ(ErrorNumberOf([&] { rs.Open("E_Pavimentos", db.cn); }), adErrObjectOpen);
    rs.Close();
    db.cn.Close();
    EXPECT_EQ(ErrorNumberOf([&] { rs.Open("E_Pavimentos", db.cn); }), adErrInvalidConnection);
}

TEST(Values, ConversionsFollowOneFixedRule)
{
    EXPECT_EQ(Value(2000.0).ToText(), "2000");
    EXPECT_EQ(Value(1800.5).ToText(), "1800.5");
    EXPECT_EQ(Value(0.1 + 0.2).ToText(), "0.3");
    EXPECT_EQ(Value(-4LL).ToText(), "-4");
    EXPECT_EQ(Value(true).ToText(), "True");
    EXPECT_EQ((Value(Date{2024, 3, 1})).ToText(), "2024-03-01");
    EXPECT_EQ(Value("1,25").ToDouble(), 1.25);
    EXPECT_EQ(Value(" 3.5 ").ToDouble(), 3.5);
    EXPECT_EQ(Value(2.5).ToLong(), 2);  // half to even
    EXPECT_EQ(Value(3.5).ToLong(), 4);
    EXPECT_EQ(Value(true).ToDouble(), -1.0);
    EXPECT_TRUE(Value("True").ToBool());
    EXPECT_FALSE(Value("0").ToBool());
    EXPECT_EQ(Value().TextOr(""), "");
    EXPECT_EQ(ErrorNumberOf([] { Value().ToText(); }), errInvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { Value("").ToDouble(); }), errTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { Value("12a").ToDouble(); }), errTypeMismatch);
    EXPECT_EQ(Date::FromIso("2024-02-30"), std::nullopt);
    EXPECT_EQ(Date::FromIso("20240229")->day, 29);
}

TEST(RecordsetErrors, AFullDiskOrAReadOnlyFileIsToldInPortugueseAndTheDatabaseKept)
{
    TempDir dir;
    const std::string path = dir.File("obra.mdb");
    adotest::MakeDatabase(path, "CREATE TABLE Notas (Texto TEXT); INSERT INTO Notas VALUES ('antes');");
    // A disk that takes no more (a file size limit here).
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(std::filesystem::file_size(path)),
                           static_cast<rlim_t>(std::filesystem::file_size(path))};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string e = ErrorOf([&] {
            Connection cn;
            cn.Open(adotest::JetConnection(path));
            cn.Execute("INSERT INTO Notas (Texto) VALUES ('" + std::string(100000, 'x') + "')");
            cn.Close();
        });
        const bool portuguese = e.find("obra.mdb") != std::string::npos &&
                                (e.find("Espaço insuficiente no disco") != std::string::npos ||
                                 e.find("Erro de leitura ou gravação no disco") != std::string::npos);
        std::_Exit(portuguese ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(adotest::QueryDatabase(path, "SELECT Texto FROM Notas"),
              (std::vector<std::vector<std::string>>{{"antes"}}));

    // A file nobody may write reads, and refuses changes (for root too).
    ::chmod(path.c_str(), 0444);
    Connection cn;
    cn.Open(adotest::JetConnection(path));
    Recordset rs;
    rs.Open("SELECT Texto FROM Notas", cn);
    EXPECT_EQ(rs.Fields("Texto").Value().ToText(), "antes");
    rs.Close();
    const std::string e = ErrorOf([&] { cn.Execute("INSERT INTO Notas (Texto) VALUES ('depois')"); });
    EXPECT_NE(e.find("obra.mdb"), std::string::npos) << e;
    EXPECT_NE(e.find("somente leitura"), std::string::npos) << e;
    cn.Close();
    EXPECT_EQ(adotest::QueryDatabase(path, "SELECT Texto FROM Notas"),
              (std::vector<std::vector<std::string>>{{"antes"}}));
}

// A folder name that a connection string could take apart still names the
// files the user chose, for each kind of file the data layer opens: a
// misread path would open (and write) the sibling folder "Obra".
TEST(ConnectionStrings, EveryFileKindOpensInAFolderNamedWithSeparatorsQuotesAndALineEnd)
{
    TempDir dir;
    std::filesystem::create_directory(dir.File("Obra"));
    const std::vector<adotest::DbfFieldSpec> fields = {{"CLTAT", 'C', 8, 0}};
    adotest::WriteDbf(dir.File("Obra/rede.dbf"), fields, {{"ERRADO"}});
    adotest::MakeDatabase(dir.File("Obra/banco.mdb"), "CREATE TABLE T (Nome TEXT); INSERT INTO T VALUES ('errado');");
    const std::string jet = "Microsoft.Jet.OLEDB.4.0";
    for (const std::string name : {"Obra; 2024", "Obra;Data Source=Obra", "aspas \"duplas\" e 'simples'", "linha\nnova",
                                   "\"Obra\"; x='y'=\r\n"}) {
        SCOPED_TRACE(name);
        const std::string folder = dir.File(name);
        std::filesystem::create_directory(folder);

        adotest::MakeDatabase(folder + "/banco.mdb", "CREATE TABLE T (Nome TEXT); INSERT INTO T VALUES ('certo');");
        Connection db;
        db.Open(BuildConnectionString(
            {{"PROVIDER", jet}, {"Data Source", folder + "/banco.mdb"}, {"Jet OLEDB:Database Password", "582736"}}));
        EXPECT_EQ(db.Execute("SELECT Nome FROM T").Fields("Nome").Value().ToText(), "certo");
        db.Close();

        // A correction in the record editor goes into this table, not the sibling's.
        adotest::WriteDbf(folder + "/rede.dbf", fields, {{"CERTO"}});
        Connection dbf;
        dbf.SetCursorLocation(adUseClient);
        dbf.Open(
            BuildConnectionString({{"PROVIDER", jet}, {"Data Source", folder}, {"Extended Properties", "dBase 5.0"}}));
        Recordset rs;
        rs.Open("select * from [rede.dbf]", dbf, adOpenStatic, adLockOptimistic);
        EXPECT_EQ(rs.Fields("CLTAT").Value().ToText(), "CERTO");
        rs.Fields("CLTAT").SetValue("NOVO");
        rs.Update();
        rs.Close();
        dbf.Close();
        EXPECT_EQ(adotest::DbfRawField(folder + "/rede.dbf", 0, "CLTAT"), "NOVO    ");

        adotest::WriteTemplateWorkbook(folder + "/final.xls");
        DataControl data;
        data.SetConnect("Excel 8.0;");
        data.SetDatabaseName(folder + "/final.xls");
        data.SetRecordSource("Padrao$");
        data.Refresh();
        EXPECT_EQ(data.Recordset().Fields(3).Name(), "DN");
    }
    EXPECT_EQ(adotest::DbfRawField(dir.File("Obra/rede.dbf"), 0, "CLTAT"), "ERRADO  ");
    // A quote left open is refused rather than guessed at.
    EXPECT_EQ(ErrorNumberOf([&] {
                  Connection c;
                  c.Open("PROVIDER=" + jet + ";Data Source=\"" + dir.File("Obra") + ";Extended Properties=dBase 5.0;");
              }),
              adErrInvalidConnection);
}
