// Design tables as dBase files: read in the order of their field's type, Null
// for blank values, edits written back into the file (and only the edited
// fields), damaged or foreign files refused with their name.

#include "AdoTestSupport.h"

#include "platform/ado/Ado.h"
#include "support/MemoryLimit.h"

#include <gtest/gtest.h>

#include <csignal>
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
using adotest::Column;

namespace {

const std::vector<adotest::DbfFieldSpec> kFields = {
    {"CLTAT", 'N', 4, 0},  {"CLTLX", 'C', 6, 0},  {"CLTLY", 'C', 6, 0},    {"CLTAN", 'C', 6, 0}, {"CLTLC", 'C', 6, 0},
    {"PVM", 'C', 10, 0},   {"PVJ", 'C', 10, 0},   {"COMP", 'C', 8, 0},     {"DIAM", 'N', 6, 3},  {"DECL", 'N', 9, 5},
    {"PAVIM", 'C', 15, 0}, {"MATER", 'C', 12, 0}, {"CONTRIB", 'C', 10, 0}, {"ETAPA", 'N', 2, 0}, {"CTJ", 'N', 8, 3},
    {"OBS", 'C', 20, 0},   {"ATIVO", 'L', 1, 0},  {"DATA", 'D', 8, 0}};

// Record 0 is deleted; the others are stored out of CLTAT order.
const std::vector<std::vector<std::string>> kRecords = {
    {"5", "-0-", "-0-", "-0-", "", "PVX", "PVY", "1", "0.150", "0.00500", "Asfalto", "PVC", "", "1", "1.000", "", "T",
     ""},
    {"10", "2", "-0-", "1", "", "PV10", "PV11", "45.30", "0.150", "0.00500", "Asfalto", "PVC", "0.5", "1", "101.500",
     "obs", "T", "20240301"},
    {"2", "-0-", "-0-", "1", "", "PV2", "PV3", "12,5", "0.200", "0.01000", "", "Cer\xE2mica", "", "1", "", "  recuado",
     "F", ""},
    {"1", "-0-", "-0-", "-0-", "", "PV1", "PV2", "30", "0.150", "*********", "Terra", "PVC", "", "0", "99.000", "", "?",
     "00000000"},
};

struct Folder {
    TempDir dir;
    std::string table = dir.File("REDE1.DBF");
    Connection cn;
    Folder()
    {
        adotest::WriteDbf(table, kFields, kRecords, true);
        adotest::WriteDbf(dir.File("TEXTO.DBF"), {{"CLTAT", 'C', 4, 0}, {"PVM", 'C', 6, 0}},
                          {{"10", "a"}, {"2", "b"}, {"1", "c"}});
        cn.SetCursorLocation(adUseClient);
        cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.Path() + "/; Extended Properties=dBase 5.0;", "",
                "");
    }
};

using Texts = std::vector<std::string>;
using Table = std::vector<std::vector<std::string>>;

}  // namespace

TEST(DbaseRead, ValuesNullsAndTheOrderOfEachFieldType)
{
    Folder f;
    Recordset rs;
    rs.Open("select * from REDE1.DBF order by CLTAT", f.cn, adOpenStatic, adLockOptimistic);
    ASSERT_EQ(rs.RecordCount(), 3);                           // the deleted record is not seen
    EXPECT_EQ(Column(rs, "CLTAT"), (Texts{"1", "2", "10"}));  // numeric order
    EXPECT_EQ(Column(rs, "PAVIM"), (Texts{"Terra", "<null>", "Asfalto"}));
    EXPECT_EQ(Column(rs, "MATER"), (Texts{"PVC", "Cerâmica", "PVC"}));
    EXPECT_EQ(Column(rs, "OBS"), (Texts{"<null>", "  recuado", "obs"}));  // leading blanks stay
    EXPECT_EQ(Column(rs, "DECL"), (Texts{"<null>", "0.01", "0.005"}));
    EXPECT_EQ(Column(rs, "CTJ"), (Texts{"99", "<null>", "101.5"}));
    EXPECT_EQ(Column(rs, "ATIVO"), (Texts{"<null>", "False", "True"}));
    EXPECT_EQ(Column(rs, "DATA"), (Texts{"<null>", "<null>", "2024-03-01"}));
    rs.SetAbsolutePosition(2);
    EXPECT_EQ(rs.Fields("COMP").Value().Kind(), ValueKind::Text);
    EXPECT_DOUBLE_EQ(rs.Fields("COMP").Value().ToDouble(), 12.5);  // a number stored as text
    EXPECT_EQ(rs.Fields("CLTAT").Value().Kind(), ValueKind::Integer);
    EXPECT_EQ(rs.Fields("DIAM").Type(), adDouble);
    EXPECT_EQ(rs.Fields("ETAPA").Type(), adInteger);
    EXPECT_EQ(rs.Fields("PVM").Type(), adVarWChar);
    EXPECT_EQ(rs.Fields("PVM").DefinedSize(), 10);
    EXPECT_EQ(rs.Fields("ativo").Type(), adBoolean);
    rs.Close();

    // The record editor's orders.
    const std::string base =
        "select CLTAT,CLTLX,CLTLY,CLTAN,CLTLC,PVM,PVJ,COMP,MATER,DIAM,DECL,PAVIM,CONTRIB,OBS from REDE1.DBF";
    rs.Open(base + " Order By PVM", f.cn, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(Column(rs, "PVM"), (Texts{"PV1", "PV10", "PV2"}));
    EXPECT_EQ(rs.Fields().Count(), 14);
    rs.Close();
    rs.Open(base + " Order By DIAM", f.cn, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(Column(rs, "DIAM"), (Texts{"0.15", "0.15", "0.2"}));
    rs.Close();
    rs.Open(base + " Order By MATER", f.cn, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(Column(rs, "CLTAT"), (Texts{"2", "10", "1"}));
    rs.Close();

    // A character key sorts as text; the table's name in any case.
    rs.Open("select * from texto.dbf order by CLTAT", f.cn, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(Column(rs, "CLTAT"), (Texts{"1", "10", "2"}));
    rs.Close();
    const std::string e = ErrorOf([&] { rs.Open("select * from NADA.dbf order by CLTAT", f.cn); });
    EXPECT_NE(e.find("NADA.dbf"), std::string::npos);
    EXPECT_NE(e.find(f.dir.Path()), std::string::npos);
    EXPECT_NE(ErrorOf([&] { rs.Open("select * from REDE1.DBF order by CLTATX", f.cn); }).find("CLTATX"),
              std::string::npos);
}

TEST(DbaseWrite, EditsGoBackIntoTheFileByReplacingIt)
{
    Folder f;
    const std::string before = adotest::ReadFile(f.table);
    struct stat st0;
    stat(f.table.c_str(), &st0);

    Recordset rs;
    rs.Open("select * from REDE1.DBF order by CLTAT", f.cn, adOpenStatic, adLockOptimistic);
    rs.Find("CLTAT = 2");
    ASSERT_FALSE(rs.Eof());
    // Refusals name the field; nothing is written.
    EXPECT_NE(ErrorOf([&] { rs.Fields("DIAM").SetValue("x1"); }).find("'DIAM'"), std::string::npos);
    rs.Fields("MATER").SetValue("Cimento amianto");  // 15 characters for a field of 12
    EXPECT_NE(ErrorOf([&] { rs.MoveFirst(); }).find("'MATER'"), std::string::npos);
    EXPECT_EQ(rs.Fields("CLTAT").Value().ToLong(), 2);  // the move did not happen
    rs.CancelUpdate();
    rs.Fields("DIAM").SetValue(1234.5);
    EXPECT_NE(ErrorOf([&] { rs.Update(); }).find("DIAM"), std::string::npos);
    rs.CancelUpdate();
    EXPECT_EQ(adotest::ReadFile(f.table), before);

    // What a bound text box writes: texts, a decimal comma, then any move saves.
    rs.Fields("DIAM").SetValue("0,25");
    rs.Fields("PVM").SetValue("PV2B");
    rs.Fields("OBS").SetValue("Ação");
    rs.Fields("PAVIM").SetValue("");
    rs.MoveFirst();
    EXPECT_EQ(adotest::DbfRawField(f.table, 2, "DIAM"), " 0.250");
    EXPECT_EQ(adotest::DbfRawField(f.table, 2, "PVM"), "PV2B      ");
    EXPECT_EQ(adotest::DbfRawField(f.table, 2, "OBS"), std::string("A\xE7\xE3o") + std::string(16, ' '));
    EXPECT_EQ(adotest::DbfRawField(f.table, 2, "MATER"), std::string("Cer\xE2mica    "));  // untouched
    EXPECT_EQ(adotest::DbfRawField(f.table, 1, "DIAM"), " 0.150");
    struct stat st1;
    stat(f.table.c_str(), &st1);
    EXPECT_NE(st0.st_ino, st1.st_ino);  // a new file put in place, not the old one rewritten
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(f.dir.Path())) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2);  // no temporary file left behind

    rs.Requery();
    rs.Find("CLTAT = 2");
    EXPECT_EQ(rs.Fields("PVM").Value().ToText(), "PV2B");
    EXPECT_DOUBLE_EQ(rs.Fields("DIAM").Value().ToDouble(), 0.25);
    EXPECT_EQ(rs.Fields("OBS").Value().ToText(), "Ação");
    EXPECT_TRUE(rs.Fields("PAVIM").Value().IsNull());

    // A record added and deleted again.
    rs.AddNew();
    rs.Fields("CLTAT").SetValue(20);
    rs.Fields("PVM").SetValue("PV20");
    rs.Fields("ATIVO").SetValue(true);
    rs.Update();
    EXPECT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(adotest::DbfRawField(f.table, 4, "CLTAT"), "  20");
    EXPECT_EQ(adotest::DbfRawField(f.table, 4, "ATIVO"), "T");
    rs.Delete();
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    rs.Requery();
    EXPECT_EQ(rs.RecordCount(), 3);
    const std::string after = adotest::ReadFile(f.table);
    EXPECT_EQ(after[after.size() - 1], '\x1A');
    EXPECT_EQ(static_cast<unsigned char>(after[4]), 5u);  // five records stored, two marked deleted
}

TEST(DbaseWrite, TextsOfAUtf8TableStayUtf8)
{
    TempDir dir;
    adotest::WriteDbf(dir.File("obras.dbf"), {{"NOME", 'C', 12, 0}},
                      {{"Cal\xC3\xA7"
                        "ada"}});
    adotest::WriteFile(dir.File("obras.cpg"), "UTF-8\n");
    Connection cn;
    cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.Path() + ";Extended Properties=dBase 5.0;");
    Recordset rs;
    rs.Open("select * from obras", cn, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(rs.Fields("NOME").Value().ToText(), "Calçada");
    rs.Fields("NOME").SetValue("Pé");
    rs.Update();
    EXPECT_EQ(adotest::DbfRawField(dir.File("obras.dbf"), 0, "NOME"), "P\xC3\xA9" + std::string(9, ' '));

    // A Windows-1252 table keeps the bytes the code page leaves undefined: a
    // text written back as it was read is stored as it was, and the table is
    // still read in its code page (0xDC 0xBC would also read as UTF-8).
    adotest::WriteDbf(dir.File("furos.dbf"), {{"NOME", 'C', 6, 0}},
                      {{"ab\x8D"
                        "c"},
                       {"\xDC\xBC"}});
    Recordset holes;
    holes.Open("select * from furos", cn, adOpenStatic, adLockOptimistic);
    holes.Fields("NOME").SetValue(holes.Fields("NOME").Value());
    holes.Update();
    holes.Close();
    EXPECT_EQ(adotest::DbfRawField(dir.File("furos.dbf"), 0, "NOME"),
              "ab\x8D"
              "c  ");
    holes.Open("select * from furos", cn, adOpenStatic, adLockReadOnly);
    holes.MoveLast();
    EXPECT_EQ(holes.Fields("NOME").Value().ToText(), "Ü¼");
}

TEST(DbaseRead, DamagedOrForeignFilesAreRefusedByName)
{
    Folder f;
    const std::string good = adotest::ReadFile(f.table);
    auto refusal = [&](const std::string& name, const std::string& bytes) {
        adotest::WriteFile(f.dir.File(name), bytes);
        Recordset rs;
        return ErrorOf([&] { rs.Open("select * from " + name, f.cn); });
    };
    const std::string cut = refusal("CORTADO.DBF", good.substr(0, good.size() - 60));
    EXPECT_NE(cut.find("CORTADO.DBF"), std::string::npos);
    EXPECT_NE(cut.find("cortado"), std::string::npos);
    EXPECT_NE(refusal("TEXTO2.DBF", "CLTAT;PVM;PVJ\n1;PV1;PV2\n2;PV2;PV3\n3;PV3;PV4\n").find("não é uma tabela dBase"),
              std::string::npos);
    std::string badLength = good;
    badLength[10] = static_cast<char>(badLength[10] + 1);
    EXPECT_NE(refusal("TAMANHO.DBF", badLength).find("TAMANHO.DBF"), std::string::npos);
    std::string badType = good;
    badType[32 + 11] = 'Q';
    EXPECT_NE(refusal("TIPO.DBF", badType).find("'Q'"), std::string::npos);
    EXPECT_NE(refusal("VAZIO.DBF", "").find("VAZIO.DBF"), std::string::npos);
    // A header that counts fewer records than the file holds would hide the
    // last one, and an append would write over it.
    std::string hidden = adotest::ReadFile(f.dir.File("TEXTO.DBF"));
    hidden[4] = 2;
    const std::string why = refusal("OCULTO.DBF", hidden);
    EXPECT_NE(why.find("OCULTO.DBF"), std::string::npos) << why;
    EXPECT_NE(why.find("2 registros"), std::string::npos) << why;
    // ... also when the end mark and padding follow the records it hides.
    const std::string hiddenPadded = refusal("OCULTO2.DBF", hidden + std::string(64, '\0'));
    EXPECT_NE(hiddenPadded.find("conta 2 registros, mas o arquivo tem 3"), std::string::npos) << hiddenPadded;
    // ... and when the hidden record, without an end mark, ends in the mark's
    // byte: a 1Ah inside a record is text, as "Y" would be.
    for (const char last : {'\x1A', 'Y'}) {
        std::string endsInMark = hidden.substr(0, hidden.size() - 1);
        endsInMark.back() = last;
        const std::string shown = refusal("OCULTO3.DBF", endsInMark);
        EXPECT_NE(shown.find("conta 2 registros, mas o arquivo tem 3"), std::string::npos) << last << shown;
    }
    // ... and when the hidden records hold NUL bytes (a writer that pads its
    // texts with them): only the NUL bytes at the very end are padding.
    std::string nulTexts = adotest::ReadFile(f.dir.File("TEXTO.DBF"));
    const unsigned headerLength =
        static_cast<unsigned char>(nulTexts[8]) | (static_cast<unsigned char>(nulTexts[9]) << 8);
    nulTexts[4] = 1;
    for (const unsigned record : {1u, 2u}) nulTexts.replace(headerLength + 11 * record + 6, 5, std::string(5, '\0'));
    const std::string nulShown = refusal("OCULTO4.DBF", nulTexts);
    EXPECT_NE(nulShown.find("conta 1 registros, mas o arquivo tem 3"), std::string::npos) << nulShown;
    // What follows the end mark (a writer's padding to a block) is no record,
    // and NUL padding is none either, without the mark or before it: the
    // table reads, takes a record and reads again.
    const std::string unmarked = adotest::ReadFile(f.dir.File("TEXTO.DBF"));
    const std::string records = unmarked.substr(0, unmarked.size() - 1);
    for (const std::string& tail :
         {'\x1A' + std::string(64, '\0'), std::string(165, '\0'), std::string(165, '\0') + '\x1A'}) {
        adotest::WriteFile(f.dir.File("NULOS.DBF"), records + tail);
        Recordset rs;
        const std::string e = ErrorOf([&] { rs.Open("select * from NULOS", f.cn, adOpenKeyset, adLockOptimistic); });
        ASSERT_EQ(e, "(no error)") << tail.size();
        EXPECT_EQ(Column(rs, "PVM"), (Texts{"a", "b", "c"}));
        rs.AddNew();
        rs.Fields("CLTAT").SetValue("4");
        rs.Fields("PVM").SetValue("d");
        rs.Update();
        Recordset again;
        again.Open("select PVM from NULOS", f.cn);
        EXPECT_EQ(Column(again, "PVM"), (Texts{"a", "b", "c", "d"}));
    }
    // Too little memory for a table: its refusal, not the library's English.
    adotest::WriteDbf(f.dir.File("GRANDE.DBF"), {{"OBS", 'C', 250, 0}}, Table(40000, {std::string(250, 'x')}));
    const auto refused = testsupport::WithLittleMemory(8u << 20, [&] {
        Recordset rs;
        const std::string e = ErrorOf([&] { rs.Open("select * from GRANDE", f.cn); });
        return e.find("GRANDE.DBF") != std::string::npos && e.find("Memória insuficiente") != std::string::npos;
    });
    EXPECT_NE(refused, false);

    Connection cn;
    const std::string missing = f.dir.File("sem pasta");
    EXPECT_NE(
        ErrorOf([&] {
            cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + missing + "; Extended Properties=dBase 5.0;");
        }).find(missing),
        std::string::npos);
}

TEST(DbaseRead, AHeaderLongerThanItsFieldsIsReadWhenPaddedAndRefusedWhenShifted)
{
    Folder f;
    // One byte more than the field list: every record would read shifted.
    std::string shifted = adotest::ReadFile(f.table);
    const unsigned length = static_cast<unsigned char>(shifted[8]) | (static_cast<unsigned char>(shifted[9]) << 8);
    EXPECT_EQ(length, 32u + 32u * kFields.size() + 1u);
    shifted[8] = static_cast<char>((length + 1) & 0xFF);
    shifted[9] = static_cast<char>((length + 1) >> 8);
    // The same length with a padding byte after the field list is a valid table.
    adotest::WriteFile(f.dir.File("PADDED.DBF"), std::string(shifted).insert(length, 1, '\0'));
    Recordset padded;
    padded.Open("select PVM from PADDED where CLTAT = 1", f.cn);
    EXPECT_EQ(padded.Fields("PVM").Value().ToText(), "PV1");
    const std::string path = f.dir.File("DESLOC.DBF");
    adotest::WriteFile(path, shifted);
    Recordset rs;
    const std::string why = ErrorOf([&] { rs.Open("select * from DESLOC", f.cn, adOpenKeyset, adLockOptimistic); });
    EXPECT_NE(why.find("DESLOC.DBF"), std::string::npos) << why;
    EXPECT_NE(why.find("18 campos"), std::string::npos) << why;
    EXPECT_EQ(adotest::ReadFile(path), shifted);

    // The same table with its true length reads "PV1", not "V1".
    rs.Open("select PVM from REDE1 where CLTAT = 1", f.cn);
    EXPECT_EQ(rs.Fields("PVM").Value().ToText(), "PV1");
}

TEST(DbaseWrite, ReadOnlyTablesStayLinksAreWrittenThroughFailuresAreInPortuguese)
{
    Folder f;
    const std::string before = adotest::ReadFile(f.table);
    auto editFirst = [&](const std::string& table, const std::string& value) {
        Recordset rs;
        rs.Open("select * from " + table + " order by CLTAT", f.cn, adOpenKeyset, adLockOptimistic);
        rs.Fields("PVM").SetValue(value);
        rs.Update();
    };

    // A table nobody may write, in a folder that may be written: refused
    // (also for root, whom the system would let through), the file kept.
    ::chmod(f.table.c_str(), 0444);
    std::string why = ErrorOf([&] { editFirst("REDE1", "PV9"); });
    EXPECT_NE(why.find("REDE1.DBF"), std::string::npos) << why;
    EXPECT_NE(why.find("somente leitura"), std::string::npos) << why;
    EXPECT_EQ(adotest::ReadFile(f.table), before);
    struct stat st {};
    ::stat(f.table.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    ::chmod(f.table.c_str(), 0644);

    // A table reached through a link: the file it names changes, the link stays.
    TempDir elsewhere;
    const std::string real = elsewhere.File("REAL.DBF");
    adotest::WriteFile(real, before);
    const std::string link = f.dir.File("LIGADA.DBF");
    std::filesystem::create_symlink(real, link);
    editFirst("LIGADA", "PV7");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(adotest::DbfRawField(real, 3, "PVM"), "PV7       ");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(elsewhere.Path()), {}), 1);

    // A disk that takes no more (a size limit here): the reason in Portuguese,
    // the table as it was.
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{512, 512};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string e = ErrorOf([&] { editFirst("REDE1", "PV8"); });
        const bool ok =
            e.find("REDE1.DBF") != std::string::npos && e.find("Arquivo grande demais") != std::string::npos;
        std::_Exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(adotest::ReadFile(f.table), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir.Path()), {}), 3);  // REDE1, TEXTO, LIGADA
}
