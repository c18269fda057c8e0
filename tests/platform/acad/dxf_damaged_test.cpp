// Foreign files are refused with a message that names the file and the line;
// damaged ones open with what can be read, and a note that says what was left
// out or mended and where. Nothing crashes, loops or grows without bound, and a
// drawing opened so saves a file that opens with no note. Failed saves leave
// the drawing on disk as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "CoreTestUtil.h"
#include "dxf_test_text.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/DxfReader.h"

using namespace acad;

namespace {

std::string Lines(std::initializer_list<std::string> lines) { return dxf_test::Join(lines, "\n"); }

// The description of the FileError that reading `text` gives ("" when it reads).
std::string Refusal(const std::string& text) { return acadcore_test::DxfRefusal(text, "teste.dxf"); }

// The same for a file on disk, read a piece at a time.
std::string FileRefusal(const std::filesystem::path& path)
{
    Document doc;
    try {
        ReadDxf(doc, path);
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::FileError) << e.Description();
        return e.Description();
    }
    return "";
}

std::string WithEntity(std::initializer_list<std::string> entity)
{
    std::string s = Lines({"0", "SECTION", "2", "ENTITIES"});
    s += Lines(entity);
    return s + Lines({"0", "ENDSEC", "0", "EOF"});
}

// The note of reading `text` into `doc` (which must open), checking that the
// drawing saves a file that opens with no note.
std::string Note(Document& doc, const std::string& text)
{
    std::string note;
    try {
        note = ReadDxfText(doc, text, "teste.dxf");
    } catch (const Error& e) {
        ADD_FAILURE() << "refused: " << e.Description();
        return "";
    }
    Document back;
    EXPECT_EQ(ReadDxfText(back, WriteDxfText(doc), "de novo"), "");
    return note;
}

std::filesystem::path Damaged(const std::string& name)
{
    return std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/damaged" / name;
}

// The same for a small file of the damaged folder, read from disk; the note
// begins with its path.
std::string FileNote(Document& doc, const std::string& name)
{
    std::string note;
    try {
        note = ReadDxf(doc, Damaged(name));
    } catch (const Error& e) {
        ADD_FAILURE() << name << " refused: " << e.Description();
        return "";
    }
    Document back;
    EXPECT_EQ(ReadDxfText(back, WriteDxfText(doc), "de novo"), "") << name;
    const std::string head = "Desenho \"" + Damaged(name).string() + "\" aberto; ";
    EXPECT_EQ(note.substr(0, head.size()), head);
    return note.substr(std::min(note.size(), head.size()));
}

}  // namespace

// Only what is no DXF at all is refused: empty, binary or DWG, text that never
// begins a section.
TEST(DxfDamaged, ForeignFilesAreRefusedNamingFileAndLine)
{
    EXPECT_NE(Refusal("").find("vazio"), std::string::npos);
    EXPECT_NE(Refusal(std::string("AC1015\0\0\0\x01\x02 some binary\0", 24)).find("DWG"), std::string::npos);
    EXPECT_NE(Refusal(std::string("AutoCAD Binary DXF\r\n\x1a\0", 22)).find("binário"), std::string::npos);
    EXPECT_NE(Refusal("isto não é um desenho\nnem de longe\n").find("teste.dxf\", linha 1: código de grupo inválido"),
              std::string::npos);
    EXPECT_NE(
        Refusal(Lines({"999", "comentário", "0", "LINE", "10", "0"})).find("linha 3: registro \"LINE\" fora de uma"),
        std::string::npos);
    EXPECT_NE(Refusal(Lines({"8", "0", "0", "SECTION"})).find("linha 1: esperava-se o início de uma seção"),
              std::string::npos);
    EXPECT_NE(Refusal(Lines({"999", "só um comentário"})).find("EOF"), std::string::npos);
}

// A file cut short opens what it holds. Whole sections and no "EOF": a note
// that says so. Cut inside a section: the record the cut falls in is left out,
// and the note says the file is truncated, where.
TEST(DxfDamaged, DrawingsCutShortOpenWhatTheyHoldWithANote)
{
    Document noEof;
    EXPECT_EQ(FileNote(noEof, "no_eof.dxf"), "o arquivo termina sem \"EOF\" (linha 30).");
    EXPECT_EQ(noEof.ModelSpace().Count(), 2);
    Document cut;
    EXPECT_EQ(FileNote(cut, "cut_in_section.dxf"),
              "1 entidade deixada de fora: LINE, o arquivo termina no meio de um grupo (arquivo truncado) (linha 37). "
              "Arquivo truncado: termina na linha 37, dentro da seção \"ENTITIES\", sem \"ENDSEC\" nem \"EOF\".");
    ASSERT_EQ(cut.ModelSpace().Count(), 2);
    EXPECT_EQ(dynamic_cast<Line*>(cut.ModelSpace().Item(1))->EndPoint(), (Point3d{0, 10, 0}));

    // Cut anywhere in the entities of a drawing the host saved: what lies
    // wholly before the cut opens, never more; the record the cut falls in (or
    // ends at: nothing says it was whole) is left out.
    Document good;
    good.ModelSpace().AddLine({0, 0, 0}, {1, 1, 0});
    good.ModelSpace().AddCircle({5, 5, 0}, 2);
    const std::string text = WriteDxfText(good);
    const std::size_t entitiesEnd = text.find("ENDSEC", text.find("CIRCLE")) + 6;
    int before = 0;
    for (std::size_t at = text.find("ENTITIES") + 8; at < text.find("SECTION", entitiesEnd); ++at) {
        Document part;
        const std::string note = Note(part, text.substr(0, at));
        EXPECT_NE(note.find(at < entitiesEnd ? "rquivo truncado: termina na linha" : "termina sem \"EOF\""),
                  std::string::npos)
            << at << ": " << note;
        const int count = part.ModelSpace().Count();
        EXPECT_GE(count, before) << at;
        EXPECT_EQ(count, (at > text.find("CIRCLE") ? 1 : 0) + (at > entitiesEnd - 6 ? 1 : 0)) << at;
        before = count;
    }
    EXPECT_EQ(before, 2);
    // A line entity's group cut: left out at the line of the cut.
    Document lines;
    EXPECT_NE(Note(lines, Lines({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "10", "1", "20"}))
                  .find("1 entidade deixada de fora: LINE, o arquivo termina no meio de um grupo (arquivo truncado) "
                        "(linha 9)"),
              std::string::npos);
    // A header setting that does not read keeps the default, and says so.
    Document header;
    EXPECT_NE(Note(header, Lines({"0", "SECTION", "2", "HEADER", "9", "$LTSCALE", "40", "muito", "9", "$OSMODE", "70",
                                  "99999999999", "0", "ENDSEC", "0", "EOF"}))
                  .find("2 valores ilegíveis lidos como o padrão: $LTSCALE, grupo 40 \"muito\" (linha 7); $OSMODE, "
                        "grupo 70 \"99999999999\" (linha 11)"),
              std::string::npos);
    EXPECT_DOUBLE_EQ(header.GetVariable("LTSCALE").AsDouble(), 1.0);
}

// A group whose code does not read, or a line where a code should be, costs
// the record it lies in: the reading goes on at the next record.
TEST(DxfDamaged, GroupsThatDoNotReadCostOnlyTheirRecord)
{
    const std::string circle = Lines({"0", "CIRCLE", "10", "1", "20", "1", "40", "2"});
    for (const auto& [bad, what] : {std::pair<std::string, std::string>{"abc", "código de grupo inválido \"abc\""},
                                    {"5000", "código de grupo inválido \"5000\""},
                                    {"99999999999999999999", "código de grupo inválido \"99999999999999999999\""},
                                    {"", "linha vazia onde se esperava um código de grupo"}}) {
        Document doc;
        const std::string note = Note(doc, Lines({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "8", "0", bad, "1"}) +
                                               circle + Lines({"0", "ENDSEC", "0", "EOF"}));
        EXPECT_EQ(note, "Desenho \"teste.dxf\" aberto; 1 entidade deixada de fora: LINE, " + what + " (linha 9).");
        ASSERT_EQ(doc.ModelSpace().Count(), 1) << bad;
        EXPECT_DOUBLE_EQ(dynamic_cast<Circle*>(doc.ModelSpace().Item(0))->Radius(), 2.0);
    }
    // Between sections, and in a table: passed over, the tables and entities after it read.
    Document tables;
    const std::string note =
        Note(tables, Lines({"0",  "SECTION", "2", "HEADER",  "0",  "ENDSEC", "9", "$EXTMIN", "10", "0",
                            "0",  "ENDSEC",  "0", "SECTION", "2",  "TABLES", "0", "TABLE",   "2",  "LAYER",
                            "0",  "LAYER",   "2", "A",       "x",  "1",      "0", "LAYER",   "2",  "REDE",
                            "62", "3",       "0", "ENDTAB",  "0",  "ENDSEC", "0", "SECTION", "2",  "ENTITIES",
                            "0",  "LINE",    "8", "REDE",    "11", "1",      "0", "ENDSEC",  "0",  "EOF"}));
    EXPECT_NE(note.find("1 registro deixado de fora: LAYER, código de grupo inválido \"x\" (linha 25)"),
              std::string::npos)
        << note;
    EXPECT_NE(note.find("grupo fora de uma seção, deixado de fora (linha 7)"), std::string::npos) << note;
    EXPECT_NE(note.find("registro \"ENDSEC\" fora de uma seção, deixado de fora (linha 11)"), std::string::npos)
        << note;
    EXPECT_EQ(tables.Layers().Find("A"), nullptr);
    EXPECT_EQ(tables.Layers().Item("REDE")->Color(), 3);
    ASSERT_EQ(tables.ModelSpace().Count(), 1);
    EXPECT_EQ(tables.ModelSpace().Item(0)->Layer(), "REDE");
    // What the engine refused whole before, now each its own record: a layer
    // with no name, a reference to no block, a hatch edge of no known kind.
    Document records;
    const std::string each =
        Note(records, Lines({"0",  "SECTION", "2", "TABLES",   "0",  "LAYER",  "62", "3",      "0",  "ENDSEC",
                             "0",  "SECTION", "2", "ENTITIES", "0",  "INSERT", "2",  "",       "10", "1",
                             "0",  "HATCH",   "2", "SOLID",    "91", "1",      "92", "1",      "93", "1",
                             "72", "9",       "0", "CIRCLE",   "40", "1",      "0",  "ENDSEC", "0",  "EOF"}));
    EXPECT_NE(each.find("2 entidades deixadas de fora: INSERT, referência a bloco sem nome (linha 17); HATCH, tipo de "
                        "aresta de hachura desconhecido: 9 (linha 31)"),
              std::string::npos)
        << each;
    EXPECT_NE(each.find("1 registro deixado de fora: LAYER, registro de tabela sem nome (grupo 2) (linha 5)"),
              std::string::npos)
        << each;
    EXPECT_EQ(records.ModelSpace().Count(), 1);
}

// A value that does not read (not a number, beyond what a double holds, out of
// its type's range, NaN as some programs write it) is read as its field's
// default, and the note names the record, the group and its line.
TEST(DxfDamaged, ValuesThatDoNotReadTakeTheirDefaults)
{
    const std::string zeros = "-1" + std::string(400, '0');
    for (const auto& [code, value] : {std::pair<std::string, std::string>{"10", "1e400"},
                                      {"10", zeros},
                                      {"10", "nan"},
                                      {"10", "dez"},
                                      {"62", "70000"},
                                      {"62", "256QSW"},
                                      {"62", "18446744073709551616"},
                                      {"62", "9223372036854775808"}}) {
        Document doc;
        const std::string note = Note(doc, WithEntity({"0", "LINE", code, value, "20", "2", "11", "3", "21", "4"}));
        const std::string shown = value.size() > 40 ? value.substr(0, 40) + "..." : value;
        EXPECT_EQ(note, "Desenho \"teste.dxf\" aberto; 1 valor ilegível lido como o padrão: LINE, grupo " + code +
                            " \"" + shown + "\" (linha 7).");
        ASSERT_EQ(doc.ModelSpace().Count(), 1) << value;
        auto* line = dynamic_cast<Line*>(doc.ModelSpace().Item(0));
        EXPECT_EQ(line->StartPoint(), (Point3d{0, 2, 0}));
        EXPECT_EQ(line->EndPoint(), (Point3d{3, 4, 0}));
        EXPECT_EQ(line->Color(), 256) << value;
    }
    // 2^64 and 2^63 overflow the digits read where a whole number is due (above);
    // where a real is due they read exactly.
    Document huge;
    EXPECT_EQ(Note(huge, WithEntity({"0", "LINE", "10", "18446744073709551616", "20", "-9223372036854775808"})), "");
    EXPECT_EQ(dynamic_cast<Line*>(huge.ModelSpace().Item(0))->StartPoint(),
              (Point3d{18446744073709551616.0, -9223372036854775808.0, 0}));

    // "256QSW" in a line's colour: drawn in its layer's (BYLAYER), as the lines
    // beside it keep theirs.
    Document colour;
    EXPECT_EQ(FileNote(colour, "color_256qsw.dxf"),
              "1 valor ilegível lido como o padrão: LINE, grupo 62 \"256QSW\" (linha 81).");
    ASSERT_EQ(colour.ModelSpace().Count(), 3);
    EXPECT_EQ(colour.ModelSpace().Item(0)->Color(), 3);
    EXPECT_EQ(colour.ModelSpace().Item(1)->Color(), 256);
    EXPECT_EQ(colour.ModelSpace().Item(2)->Color(), 5);
    // A NaN in one line: that line ends at x 0, the lines around it as they are.
    Document nan;
    EXPECT_EQ(FileNote(nan, "nan_entity.dxf"),
              "1 valor ilegível lido como o padrão: LINE, grupo 11 \"-nan(ind)\" (linha 25).");
    ASSERT_EQ(nan.ModelSpace().Count(), 3);
    EXPECT_EQ(dynamic_cast<Line*>(nan.ModelSpace().Item(1))->EndPoint(), (Point3d{0, 5, 0}));
    EXPECT_EQ(dynamic_cast<Line*>(nan.ModelSpace().Item(2))->EndPoint(), (Point3d{10, 10, 0}));

    // A kept group of an unknown kind must still hold a usable number: read as 0.
    Document leader;
    EXPECT_NE(Note(leader, WithEntity({"0", "LEADER", "10", "1e999", "20", "1"}))
                  .find("LEADER, grupo 10 \"1e999\" (linha 7)"),
              std::string::npos);
    ASSERT_EQ(leader.ModelSpace().Count(), 1);
    const auto& groups = dynamic_cast<RawEntity*>(leader.ModelSpace().Item(0))->Groups();
    EXPECT_NE(
        std::find_if(groups.begin(), groups.end(), [](const RawGroup& g) { return g.code == 10 && g.value == "0"; }),
        groups.end());
    // Huge counts announce nothing the reader trusts: no allocation follows them.
    EXPECT_EQ(Refusal(WithEntity({"0", "HATCH", "91", "2000000000", "75", "0"})), "");
    EXPECT_EQ(Refusal(WithEntity({"0", "LWPOLYLINE", "90", "2000000000", "10", "0", "20", "0"})), "");
    // Two records kept as read whose handle is no handle, and two that give
    // one handle (as a table record does, in 105): saved, each under one of its own.
    Document kept;
    ReadDxfText(
        kept,
        Lines({"0", "SECTION", "2", "OBJECTS",  "0",   "XRECORD",     "5", "5Z", "100", "AcDbXrecord", "1",   "a",
               "0", "XRECORD", "5", "5Z",       "100", "AcDbXrecord", "1", "b",  "0",   "DIMSTYLE",    "105", "7A",
               "2", "X",       "0", "DIMSTYLE", "105", "7A",          "2", "Y",  "0",   "ENDSEC",      "0",   "EOF"}),
        "registros.dxf");
    const std::string saved = WriteDxfText(kept);
    EXPECT_EQ(saved.find("\r\n5Z\r\n"), std::string::npos);
    const std::size_t once = saved.find("\r\n105\r\n7A\r\n");
    ASSERT_NE(once, std::string::npos);
    EXPECT_EQ(saved.find("\r\n105\r\n7A\r\n", once + 1), std::string::npos);
    Document back;
    EXPECT_EQ(ReadDxfText(back, saved, "de novo.dxf"), "");
}

// Extended data that does not read is left out, the entity and the rest of its
// data kept: a 1021 with no 1011 before it, groups before any application's
// name, the data of an application whose name no table holds.
TEST(DxfDamaged, ExtendedDataThatDoesNotReadIsLeftOut)
{
    auto xdata = [](const Entity& e) {
        std::vector<int> codes;
        std::vector<Variant> values;
        e.GetXData("", codes, values);
        std::string s;
        for (std::size_t i = 0; i < codes.size(); ++i) s += std::to_string(codes[i]) + ":" + values[i].ToString() + " ";
        return s;
    };
    Document point;
    EXPECT_EQ(FileNote(point, "xdata_1021.dxf"),
              "1 reparo: LINE, dados estendidos: grupo 1021 sem o grupo 1011 antes dele, deixado de fora (linha 41).");
    ASSERT_EQ(point.ModelSpace().Count(), 1);
    EXPECT_EQ(xdata(*point.ModelSpace().Item(0)), "1001:QUORIL_REDE 1000:PV-1 1000:PV-2 1040:150 ");

    Document orphan;
    EXPECT_EQ(Note(orphan, WithEntity({"0", "LINE", "1000", "sem aplicação", "1070", "3", "1001", "APP", "1000", "a"})),
              "Desenho \"teste.dxf\" aberto; 1 reparo: LINE, dados estendidos sem o nome da aplicação (grupo 1001), "
              "deixados de fora (linha 7).");
    EXPECT_EQ(xdata(*orphan.ModelSpace().Item(0)), "1001:APP 1000:a ");
    Document named;
    EXPECT_NE(Note(named, WithEntity({"0", "LINE", "1001", "A*B", "1000", "x", "1001", "APP", "1000", "y"}))
                  .find("LINE, dados estendidos da aplicação de nome inválido \"A*B\" (grupo 1001), deixados de fora "
                        "(linha 7)"),
              std::string::npos);
    EXPECT_EQ(xdata(*named.ModelSpace().Item(0)), "1001:APP 1000:y ");
    // 1099 is no group code at all: the record it lies in is left out.
    Document code;
    EXPECT_NE(Note(code, WithEntity({"0", "LINE", "1001", "APP", "1099", "x"}))
                  .find("LINE, código de grupo inválido \"1099\" (linha 9)"),
              std::string::npos);
    EXPECT_EQ(code.ModelSpace().Count(), 0);
}

// A block that contains itself, directly or through others, would be drawn
// forever: the loop is broken where the walk through the references comes back
// to a block it is inside of, that reference left out and noted at its line.
TEST(DxfDamaged, BlockLoopsAreBrokenAtTheSecondVisit)
{
    const std::string selfRef = Lines(
        {"0", "SECTION",  "2", "BLOCKS", "0",  "BLOCK", "2",  "A", "70", "0",      "10", "0",      "20", "0",
         "0", "INSERT",   "2", "A",      "10", "0",     "20", "0", "0",  "ENDBLK", "0",  "ENDSEC", "0",  "SECTION",
         "2", "ENTITIES", "0", "INSERT", "2",  "A",     "10", "0", "20", "0",      "0",  "ENDSEC", "0",  "EOF"});
    Document self;
    EXPECT_EQ(Note(self, selfRef),
              "Desenho \"teste.dxf\" aberto; 1 entidade deixada de fora: INSERT, referência "
              "circular: o bloco \"A\" insere \"A\", que é ele mesmo (linha 15).");
    EXPECT_EQ(self.Blocks().Item("A")->Count(), 0);
    EXPECT_EQ(self.ModelSpace().Count(), 1);
    const std::string cycle =
        Lines({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK",  "2", "A", "0", "INSERT", "2", "B",      "0", "ENDBLK",
               "0", "BLOCK",   "2", "B",      "0", "INSERT", "2", "A", "0", "ENDBLK", "0", "ENDSEC", "0", "EOF"});
    Document loop;
    EXPECT_NE(
        Note(loop, cycle).find("INSERT, referência circular: o bloco \"B\" insere \"A\", que o contém (linha 19)"),
        std::string::npos);
    EXPECT_EQ(loop.Blocks().Item("A")->Count(), 1);
    EXPECT_EQ(loop.Blocks().Item("B")->Count(), 0);

    // Two blocks that insert each other, both placed in the model: A (a circle
    // and B at (3, 0)) keeps B; B (a line) loses A, and draws its line alone.
    Document each;
    EXPECT_EQ(FileNote(each, "blocks_insert_each_other.dxf"),
              "1 entidade deixada de fora: INSERT, referência circular: o bloco \"B\" insere \"A\", que o contém "
              "(linha 65).");
    EXPECT_EQ(each.Blocks().Item("A")->Count(), 2);
    EXPECT_EQ(each.Blocks().Item("B")->Count(), 1);
    const Box box = each.ModelExtents();
    EXPECT_EQ(box.min, (Point3d{-1, -1, 0}));
    EXPECT_EQ(box.max, (Point3d{11, 1, 0}));

    // The same loop made through what other kinds draw: a dimension's picture,
    // a table's block, a multileader's block, and a mix of them with an INSERT.
    auto drawing = [](const std::string& definitions, const std::string& model) {
        return Lines({"0", "SECTION", "2", "TABLES", "0", "TABLE",  "2", "BLOCK_RECORD", "0", "BLOCK_RECORD", "5", "2F",
                      "2", "M",       "0", "ENDTAB", "0", "ENDSEC", "0", "SECTION",      "2", "BLOCKS"}) +
               definitions + Lines({"0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"}) + model +
               Lines({"0", "ENDSEC", "0", "EOF"});
    };
    auto block = [](const std::string& name, const std::string& parts) {
        return Lines({"0", "BLOCK", "2", name, "70", name[0] == '*' ? "1" : "0"}) + parts + Lines({"0", "ENDBLK"});
    };
    auto dimension = [](const std::string& picture) {
        return Lines({"0", "DIMENSION", "2", picture, "10", "0", "20", "0", "13", "0", "23", "0", "14", "10", "24", "0",
                      "70", "1"});
    };
    auto insert = [](const std::string& name) { return Lines({"0", "INSERT", "2", name, "10", "1", "20", "1"}); };
    const std::string table = Lines({"0", "ACAD_TABLE", "2", "*T1", "10", "1", "20", "1"});
    const std::string leader = Lines({"0", "MULTILEADER", "300", "CONTEXT_DATA{", "296", "1", "341", "2F", "15", "1",
                                      "25", "1", "301", "}", "172", "1"});
    const std::string line = Lines({"0", "LINE", "10", "0", "20", "0", "11", "4", "21", "3"});
    // Each opens, the part that closes the loop left out of its block, and
    // the block draws what is left.
    auto broken = [&](const std::string& text, const std::string& said, const char* name, int left) {
        Document d;
        EXPECT_NE(Note(d, text).find(said), std::string::npos) << name;
        EXPECT_EQ(d.Blocks().Item(name)->Count(), left) << name;
        EXPECT_TRUE(d.ModelExtents().IsFinite()) << name;
    };
    broken(drawing(block("*D1", line + dimension("*D1")), dimension("*D1")),
           "DIMENSION, referência circular: o bloco \"*D1\" insere \"*D1\", que é ele mesmo", "*D1", 1);
    broken(drawing(block("*T1", line + table), table), "ACAD_TABLE, referência circular", "*T1", 1);
    broken(drawing(block("M", line + leader), insert("M")), "MULTILEADER, referência circular", "M", 1);
    broken(drawing(block("*D1", line + insert("B")) + block("B", line + dimension("*D1")), insert("B")),
           "referência circular", "B", 1);
    // Without the loop each reads, and draws its block.
    Document pictured;
    ReadDxfText(pictured, drawing(block("*D1", line) + block("B", dimension("*D1")), insert("B")), "cota.dxf");
    EXPECT_DOUBLE_EQ(pictured.ModelExtents().max.x, 5);
    Document led;
    ReadDxfText(led, drawing(block("M", line), leader), "chamada.dxf");
    EXPECT_DOUBLE_EQ(led.ModelExtents().max.x, 5);
    // Nested 30 deep, each level twice (a thousand million lines): opens at once,
    // with its extents; the same with its bottom block holding the top too, its
    // loop broken there.
    Document nested;
    ReadDxfText(nested, dxf_test::NestedBlocks(30), "aninhado.dxf");
    EXPECT_DOUBLE_EQ(nested.ModelExtents().max.x, 32767.8);
    Document looped;
    EXPECT_NE(Note(looped, dxf_test::NestedBlocks(30, true))
                  .find("INSERT, referência circular: o bloco \"B0\" insere \"B30\", que o contém"),
              std::string::npos);
    EXPECT_DOUBLE_EQ(looped.ModelExtents().max.x, 32767.8);
    // A block holding itself twice, turned (measured part by part, each level
    // twice over), in a file refused part way (binary content after it, read
    // from a file a piece at a time): the drawing left behind holds no loop,
    // and measures a reference to the block at once.
    auto turned = [](const char* angle) {
        return Lines({"0", "INSERT", "2", "PV", "10", "1", "20", "1", "50", angle});
    };
    std::string cut = drawing(block("PV", line + turned("30") + turned("60")), Lines({"0", "LINE", "10",
                                                                                      std::string("1\0"
                                                                                                  "2",
                                                                                                  3)}));
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fmemopen(cut.data(), cut.size(), "rb"), &std::fclose);
    Document refused;
    EXPECT_ACAD_ERROR(ErrorCode::FileError, dxf::ReadDxfFrom(refused, file.get(), "cortado", 16));
    EXPECT_EQ(refused.Blocks().Item("PV")->Count(), 1);
    refused.ModelSpace().InsertBlock({0, 0, 0}, "PV", 1, 1, 1, 0.5);
    EXPECT_DOUBLE_EQ(refused.ModelExtents().max.x,
                     4 * std::cos(0.5) - 3 * std::sin(0.5));  // the line to (4, 3), turned

    // A reference to a space is left out.
    Document space;
    EXPECT_NE(Note(space, WithEntity({"0", "INSERT", "2", "*Model_Space", "0", "LINE", "11", "1"}))
                  .find("INSERT, referência ao espaço \"*Model_Space\" como se fosse um bloco (linha 5)"),
              std::string::npos);
    EXPECT_EQ(space.ModelSpace().Count(), 1);
    // A block with no ENDBLK ends where the section does, with what it holds.
    Document open;
    EXPECT_NE(Note(open, Lines({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "A", "0", "LINE", "11", "1", "0",
                                "ENDSEC", "0", "EOF"}))
                  .find("1 reparo: bloco \"A\" sem ENDBLK, terminado na linha 13 (linha 5)"),
              std::string::npos);
    EXPECT_EQ(open.Blocks().Item("A")->Count(), 1);
}

TEST(DxfDamaged, MissingFilesAndFailedSaves)
{
    acadcore_test::TempDir dir;
    Document doc;
    EXPECT_ACAD_ERROR(ErrorCode::FileNotFound, ReadDxf(doc, dir / "nada.dwg"));

    // A save that cannot be written fails with the path, and the drawing already on
    // disk stays as it was; no temporary file is left behind.
    const auto path = dir / "rede.dwg";
    doc.ModelSpace().AddLine({0, 0, 0}, {1, 1, 0});
    WriteDxf(doc, path);
    const auto before = std::filesystem::file_size(path);
    try {
        WriteDxf(doc, dir / "sem-pasta" / "rede.dwg");
        ADD_FAILURE() << "saving into a missing folder succeeded";
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::FileError);
        EXPECT_NE(e.Description().find("sem-pasta"), std::string::npos);
    }
    EXPECT_EQ(std::filesystem::file_size(path), before);
    int files = 0;
    for (const auto& f : std::filesystem::directory_iterator(dir.Path())) files += f.is_regular_file();
    EXPECT_EQ(files, 1);

    // A read that fails half-way (binary content past what was read already)
    // leaves an object model that still works.
    Document broken;
    std::string half = WithEntity({"0", "LINE", "8", "X", "11", "1", "0", "CIRCLE", "40", "2"}) + '\0';
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fmemopen(half.data(), half.size(), "rb"), &std::fclose);
    EXPECT_ACAD_ERROR(ErrorCode::FileError, dxf::ReadDxfFrom(broken, file.get(), "meio", 16));
    EXPECT_GE(broken.ModelSpace().Count(), 1);
    broken.ModelSpace().AddLine({0, 0, 0}, {1, 0, 0});
    EXPECT_NO_THROW(WriteDxfText(broken));
}

// One entity the engine cannot take leaves the drawing open: it is left out and
// one note, naming kind, fault and lines, tells the person (on the command line
// of the host that opened it). Only a file whose structure does not read is refused.
TEST(DxfDamaged, OddEntitiesAreLeftOutWithOneNoteAndTheDrawingOpens)
{
    const std::string text =
        WithEntity({"0",  "LINE",       "10", "0",   "20", "0",      "11", "5",      "21", "5",  // kept
                    "0",  "CIRCLE",     "10", "1",   "20", "1",      "40", "0",                  // line 15
                    "0",  "CIRCLE",     "10", "1",   "20", "1",      "40", "-1",                 // line 23
                    "0",  "LWPOLYLINE", "90", "0",                                               // line 31
                    "0",  "SPLINE",     "71", "3",   "73", "2",      "10", "0",      "20", "0", "0",  "ELLIPSE",
                    "11", "0",          "21", "0",   "40", "0.5",    "0",  "INSERT", "2",  "X", "41", "0",
                    "0",  "LINE",       "62", "300", "0",  "CIRCLE", "10", "2",      "20", "2", "40", "3"});  // kept
    Document doc;
    const std::string note = ReadDxfText(doc, text, "rede.dxf");
    EXPECT_EQ(doc.ModelSpace().Count(), 2);
    EXPECT_NE(note.find("rede.dxf"), std::string::npos) << note;
    EXPECT_NE(note.find("7 entidades deixadas de fora"), std::string::npos) << note;
    EXPECT_NE(note.find("CIRCLE, círculo de raio nulo ou negativo (linhas 15, 23)"), std::string::npos) << note;
    EXPECT_NE(note.find("LWPOLYLINE, polilinha sem vértices (linha 31)"), std::string::npos) << note;
    EXPECT_NE(note.find("INSERT"), std::string::npos) << note;
    EXPECT_NE(note.find("cor"), std::string::npos) << note;
    // What is kept saves and reads back.
    Document back;
    EXPECT_EQ(ReadDxfText(back, WriteDxfText(doc), "de novo"), "");
    EXPECT_EQ(back.ModelSpace().Count(), 2);

    // Opened by the host: the same note on its command line, once.
    acadcore_test::TempDir dir;
    const auto path = dir / "rede.dxf";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    Application app;
    auto input = std::make_shared<ScriptedInput>();
    app.SetInputSource(input);
    Document* opened = app.Documents().Open(path.string());
    EXPECT_EQ(opened->ModelSpace().Count(), 2);
    ASSERT_EQ(input->Messages().size(), 1u);
    EXPECT_NE(input->Messages()[0].find("7 entidades deixadas de fora"), std::string::npos);

    // An ellipse written with its axes the other way round (ratio a hair above 1)
    // is the same ellipse with the axes swapped.
    Document e;
    EXPECT_EQ(ReadDxfText(e,
                          WithEntity({"0", "ELLIPSE", "10", "0", "20", "0", "11", "2", "21", "0", "40", "1.0000001",
                                      "41", "0", "42", "6.283185307179586"}),
                          "elipse"),
              "");
    ASSERT_EQ(e.ModelSpace().Count(), 1);
    auto* ellipse = dynamic_cast<acad::Ellipse*>(e.ModelSpace().Item(0));
    ASSERT_NE(ellipse, nullptr);
    EXPECT_LE(ellipse->RadiusRatio(), 1.0);
    EXPECT_NEAR(ellipse->MajorAxis().y, 2.0000002, 1e-9);
    EXPECT_NEAR(ellipse->MajorAxis().x, 0.0, 1e-12);
    EXPECT_NEAR(ellipse->MinorRadius(), 2.0, 1e-9);
    // One whose swapped axis would lie beyond the largest double could only be
    // saved as another ellipse: it is left out, with its note.
    Document huge;
    const std::string hugeNote = ReadDxfText(huge,
                                             WithEntity({"0", "ELLIPSE", "10", "0", "20", "0", "11", "1e300", "21", "0",
                                                         "40", "1e10", "41", "0", "42", "6.283185307179586"}),
                                             "elipse");
    EXPECT_EQ(huge.ModelSpace().Count(), 0);
    EXPECT_NE(hugeNote.find("eixo maior grande demais"), std::string::npos) << hugeNote;

    // A block without a name is left out with what it holds, the note naming
    // the block, not a table record.
    Document unnamed;
    const std::string nameless =
        Note(unnamed, Lines({"0", "SECTION", "2",    "BLOCKS", "0", "BLOCK", "70",     "0", "10",     "0", "20",
                             "0", "0",       "LINE", "11",     "1", "0",     "ENDBLK", "0", "ENDSEC", "0", "EOF"}));
    EXPECT_NE(nameless.find("1 registro deixado de fora: BLOCK, definição de bloco sem nome (grupo 2) (linha 5)"),
              std::string::npos)
        << nameless;
    EXPECT_EQ(unnamed.ModelSpace().Count(), 0);
}

// A drawing that opens saves into a file that opens. The columns a text lists
// are read as any text is (a layer named as no command may name one keeps its
// name), and a column whose handle another text took gets a fresh one that
// the text's list follows.
TEST(DxfDamaged, TextColumnsAreCheckedAndFollowTheirText)
{
    auto file = [](const std::string& columnLayer) {
        return WithEntity({"0",    "MTEXT",     "5",    "44",
                           "40",   "1",         "1",    "a",
                           "1001", "ACAD",      "1000", "ACAD_MTEXT_COLUMNS_BEGIN",
                           "1005", "45",        "1000", "ACAD_MTEXT_COLUMNS_END",
                           "0",    "MTEXT",     "5",    "45",
                           "8",    columnLayer, "40",   "1",
                           "1",    "b",  // line 25: the layer
                           "0",    "MTEXT",     "5",    "45",
                           "40",   "1",         "1",    "c"});
    };
    Document odd;
    EXPECT_EQ(Note(odd, file("a*b")), "");
    ASSERT_EQ(odd.ModelSpace().Count(), 2);
    Document oddBack;
    EXPECT_EQ(ReadDxfText(oddBack, WriteDxfText(odd), "de novo"), "");
    EXPECT_NE(oddBack.Layers().Find("a*b"), nullptr);
    // A column kept as its file holds it keeps it as it was read: extended data
    // left out stays out, a value that did not read is 0.
    Document mended;
    const std::string mendedNote = Note(mended, WithEntity({"0",    "MTEXT", "5",    "44",
                                                            "40",   "1",     "1",    "a",
                                                            "1001", "ACAD",  "1000", "ACAD_MTEXT_COLUMNS_BEGIN",
                                                            "1005", "45",    "1000", "ACAD_MTEXT_COLUMNS_END",
                                                            "0",    "MTEXT", "5",    "45",
                                                            "71",   "abc",   "40",   "1",
                                                            "1",    "b",     "1000", "órfão",
                                                            "1001", "ACAD",  "1070", "x"}));
    EXPECT_NE(mendedNote.find("MTEXT, grupo 71 \"abc\" (linha 25)"), std::string::npos) << mendedNote;
    EXPECT_NE(mendedNote.find("MTEXT, grupo 1070 \"x\" (linha 35)"), std::string::npos) << mendedNote;
    EXPECT_NE(
        mendedNote.find("MTEXT, dados estendidos sem o nome da aplicação (grupo 1001), deixados de fora (linha 31)"),
        std::string::npos)
        << mendedNote;
    EXPECT_EQ(mended.ModelSpace().Count(), 1);

    Document doc;
    EXPECT_EQ(ReadDxfText(doc, file("COLUNAS"), "colunas.dxf"), "");
    EXPECT_EQ(doc.ModelSpace().Count(), 2);
    Document back;
    ASSERT_EQ(ReadDxfText(back, WriteDxfText(doc), "de novo"), "");
    ASSERT_EQ(back.ModelSpace().Count(), 2);
    EXPECT_EQ(dynamic_cast<MText*>(back.ModelSpace().Item(1))->TextString(), "c");

    // A listed handle on a record that does not read as a column (its handle
    // is not its first group, or a column before it took the handle) leaves it
    // an entity of its own, saved and reopened. A column with a second handle
    // group naming another object's handle stays the column of its text. Data
    // of an application given twice keeps the second: a list of columns only
    // in the first lists nothing, and the text after it is one of its own.
    const auto lists = [](const std::string& text) {
        return Lines({"0", "MTEXT", "5", text, "40", "1", "1", "a", "1001", "ACAD", "1000", "ACAD_MTEXT_COLUMNS_BEGIN",
                      "1005", "45", "1000", "ACAD_MTEXT_COLUMNS_END"});
    };
    const std::string head = Lines({"0", "SECTION", "2", "ENTITIES"}), tail = Lines({"0", "ENDSEC", "0", "EOF"});
    const std::string late =
        head + lists("44") + Lines({"0", "MTEXT", "8", "0", "5", "45", "40", "1", "1", "b"}) + tail;
    const std::string twice = head + lists("44") + lists("46") + Lines({"0", "MTEXT", "5", "45", "40", "1", "1", "b"}) +
                              Lines({"0", "LINE", "5", "45", "10", "0", "20", "0", "11", "1", "21", "1"}) + tail;
    const std::string second = head + Lines({"0", "LINE", "5", "40", "10", "0", "20", "0", "11", "1", "21", "1"}) +
                               lists("44") + Lines({"0", "MTEXT", "5", "45", "40", "1", "105", "40", "1", "b"}) + tail;
    const std::string replaced = head + lists("44") + Lines({"1001", "ACAD", "1000", "outro"}) +
                                 Lines({"0", "MTEXT", "5", "45", "40", "1", "1", "b"}) + tail;
    // A column's layer with a tab before it is that layer, as it is any text's.
    const std::string tabbed =
        head + lists("44") + Lines({"0", "MTEXT", "5", "45", "8", "\t0", "40", "1", "1", "b"}) + tail;
    for (const auto& [file, count] : {std::pair{late, 2}, std::pair{twice, 3}, std::pair{second, 2},
                                      std::pair{replaced, 2}, std::pair{tabbed, 1}}) {
        Document own;
        EXPECT_EQ(ReadDxfText(own, file, "colunas.dxf"), "");
        EXPECT_EQ(own.ModelSpace().Count(), count);
        Document ownBack;
        ReadDxfText(ownBack, WriteDxfText(own), "de novo");
        ASSERT_EQ(ownBack.ModelSpace().Count(), count);
        EXPECT_EQ(ownBack.ModelSpace().Item(count - 1)->ObjectName(), own.ModelSpace().Item(count - 1)->ObjectName());
    }
}

// A dimension whose picture block is missing, where a record the host does not
// model names that block: the picture written anew takes a name of its own,
// so that the saved file reopens as the same drawing, drawn from that
// picture, and saves the same.
TEST(DxfDamaged, ADimensionsNewPictureTakesNoNameAnotherRecordUses)
{
    const std::string file = WithEntity(
        {"0",  "ESTRANHO", "2",  "*D1", "0",  "DIMENSION", "2",  "*D1", "10",       "2",   "20",
         "1",  "11",       "2",  "21",  "1",  "70",        "33", "3",   "Standard", "100", "AcDbAlignedDimension",
         "13", "0",        "23", "0",   "14", "4",         "24", "0"});
    Document doc;
    EXPECT_EQ(ReadDxfText(doc, file, "cotas.dxf"), "");
    EXPECT_EQ(doc.ModelSpace().Item(1)->DrawnReference(), nullptr);  // drawn from its points
    const std::string saved = WriteDxfText(doc);
    Document back;
    EXPECT_EQ(ReadDxfText(back, saved, "de novo"), "");
    EXPECT_EQ(back.Blocks().Count(), doc.Blocks().Count() + 1);
    const BlockReference* drawn = back.ModelSpace().Item(1)->DrawnReference();
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->Name(), "*D2");
    const auto picture = [](const std::string& text) {
        const std::string mark = "AcDbDimension\r\n  2\r\n";
        const std::size_t at = text.find(mark);
        return at == std::string::npos
                   ? std::string()
                   : text.substr(at + mark.size(), text.find('\r', at + mark.size()) - at - mark.size());
    };
    EXPECT_EQ(picture(saved), "*D2");
    EXPECT_EQ(picture(WriteDxfText(back)), "*D2");
}

// Files on disk are read a piece at a time: groups across the pieces read as
// one, and damage far into a large file still names its line.
TEST(DxfDamaged, LargeFilesReadInPiecesKeepLinesAndRefusals)
{
    acadcore_test::TempDir dir;
    Document big;
    for (int i = 0; i < 30000; ++i) big.ModelSpace().AddText("PV-" + std::to_string(i), {i * 1.0, 0, 0}, 2.5);
    const std::string text = WriteDxfText(big);
    ASSERT_GT(text.size(), 3u << 20);
    auto save = [&](const std::string& name, const std::string& content) {
        auto path = dir / name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        return path;
    };
    Document back;
    EXPECT_EQ(ReadDxf(back, save("grande.dxf", text)), "");
    ASSERT_EQ(back.ModelSpace().Count(), 30000);
    EXPECT_EQ(dynamic_cast<Text*>(back.ModelSpace().Item(29999))->TextString(), "PV-29999");
    // The space is indexed in one go once read: a box finds what a scan finds.
    const Box probe = Box::Around({29990, 1, 0}, 0.1);
    std::vector<Entity*> scan;
    for (Entity* e : back.ModelSpace())
        if (e->Extents().Intersects(probe)) scan.push_back(e);
    EXPECT_FALSE(scan.empty());
    EXPECT_EQ(back.ModelSpace().QueryBox(probe), scan);

    // A NUL byte 3 MB in, and a cut in the middle of a group: refused with the line.
    const std::size_t at = text.find('\n', 3u << 20) + 1;
    const std::size_t line = static_cast<std::size_t>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
    std::string binary = text;
    binary[at] = '\0';
    EXPECT_NE(FileRefusal(save("binario.dxf", binary)).find("linha " + std::to_string(line) + ":"), std::string::npos);
    // A drawing in the binary format, whatever its name, is named as such.
    EXPECT_NE(FileRefusal(save("planta.dxf", std::string("AC1015\0\0\0\x01\x02 binario", 18))).find("DWG"),
              std::string::npos);
    // Cut in the middle of a group: what lies before opens, with its note.
    Document cut;
    const std::string cutNote = ReadDxf(cut, save("cortado.dxf", text.substr(0, at + 3)));
    EXPECT_NE(cutNote.find("Arquivo truncado: termina na linha " + std::to_string(line) + ", dentro da seção"),
              std::string::npos)
        << cutNote;
    EXPECT_GT(cut.ModelSpace().Count(), 10000);
    // Binary content after the end, refused from disk as from memory.
    EXPECT_NE(FileRefusal(save("cauda.dxf", text + std::string(2u << 20, '\n') + '\0')).find("binário"),
              std::string::npos);
    // A value of megabytes is no drawing's: its record is left out, noted at
    // its line, and the line is passed over without being held whole.
    const std::string huge = WithEntity({"0", "TEXT", "1", std::string(3u << 20, 'x'), "0", "LINE", "11", "1"});
    for (bool fromFile : {false, true}) {
        Document doc;
        const std::string note = fromFile ? ReadDxf(doc, save("enorme.dxf", huge)) : ReadDxfText(doc, huge, "enorme");
        EXPECT_NE(note.find("1 entidade deixada de fora: TEXT, linha com mais de 1 MiB"), std::string::npos) << note;
        EXPECT_NE(note.find("(linha 8)"), std::string::npos) << note;
        ASSERT_EQ(doc.ModelSpace().Count(), 1);
        EXPECT_EQ(doc.ModelSpace().Item(0)->ObjectName(), "AcDbLine");
    }
}

// Kinds kept as read whose counts and indices are damaged (far past what an
// int holds, below zero, past their lists): each is read, drawn from what of
// it holds together, measured, and written back as read.
TEST(DxfDamaged, KeptKindsWithDamagedCountsAreDrawnFromWhatHoldsTogether)
{
    const std::string file = WithEntity({"0",   "MESH",
                                         "8",   "0",
                                         "100", "AcDbSubDMesh",
                                         "92",  "3",
                                         "10",  "0",
                                         "20",  "0",
                                         "10",  "1",
                                         "20",  "0",
                                         "10",  "0",
                                         "20",  "1",
                                         "93",  "1e300",
                                         "90",  "3",
                                         "90",  "0",
                                         "90",  "1e300",
                                         "90",  "2",
                                         "90",  "-5",
                                         "0",   "POLYLINE",
                                         "8",   "0",
                                         "100", "AcDbPolyFaceMesh",
                                         "66",  "1",
                                         "70",  "64",
                                         "71",  "1e300",
                                         "72",  "-1e300",
                                         "0",   "VERTEX",
                                         "8",   "0",
                                         "10",  "5",
                                         "20",  "5",
                                         "70",  "192",
                                         "0",   "VERTEX",
                                         "8",   "0",
                                         "10",  "6",
                                         "20",  "5",
                                         "70",  "192",
                                         "0",   "VERTEX",
                                         "8",   "0",
                                         "70",  "128",
                                         "71",  "1",
                                         "72",  "2",
                                         "73",  "1e300",
                                         "74",  "-1e300",
                                         "0",   "SEQEND",
                                         "8",   "0",
                                         "0",   "POLYLINE",
                                         "8",   "0",
                                         "100", "AcDbPolygonMesh",
                                         "66",  "1",
                                         "70",  "16",
                                         "71",  "1e300",
                                         "72",  "1e300",
                                         "0",   "VERTEX",
                                         "8",   "0",
                                         "10",  "9",
                                         "20",  "9",
                                         "70",  "64",
                                         "0",   "SEQEND",
                                         "8",   "0",
                                         "0",   "MULTILEADER",
                                         "8",   "0",
                                         "100", "AcDbMLeader",
                                         "300", "CONTEXT_DATA{",
                                         "140", "1e300",
                                         "41",  "1",
                                         "290", "1",
                                         "304", "NOTA",
                                         "12",  "20",
                                         "22",  "10",
                                         "171", "1e300",
                                         "302", "LEADER{",
                                         "10",  "10",
                                         "20",  "9",
                                         "304", "LEADER_LINE{",
                                         "10",  "0",
                                         "20",  "0",
                                         "305", "}",
                                         "303", "}",
                                         "301", "}",
                                         "170", "1e300",
                                         "172", "-1e300",
                                         "0",   "IMAGE",
                                         "8",   "0",
                                         "10",  "0",
                                         "20",  "0",
                                         "11",  "1e300",
                                         "21",  "0",
                                         "12",  "0",
                                         "22",  "1",
                                         "13",  "1e300",
                                         "23",  "-1",
                                         "280", "1",
                                         "91",  "1e300",
                                         "14",  "0",
                                         "24",  "0"});
    Document doc;
    EXPECT_EQ(ReadDxfText(doc, file, "danificado.dxf"), "");
    ASSERT_EQ(doc.ModelSpace().Count(), 5);
    // The mesh's face by the two of its corners that exist; the polyface's edge 1-2.
    const Box mesh = doc.ModelSpace().Item(0)->Extents();
    EXPECT_EQ(mesh.min, (Point3d{0, 0, 0}));
    EXPECT_EQ(mesh.max, (Point3d{0, 1, 0}));
    const Box face = doc.ModelSpace().Item(1)->Extents();
    EXPECT_EQ(face.min, (Point3d{5, 5, 0}));
    EXPECT_EQ(face.max, (Point3d{6, 5, 0}));
    for (Entity* e : doc.ModelSpace()) (void)e->Extents();
    Document back;
    EXPECT_EQ(ReadDxfText(back, WriteDxfText(doc), "de novo"), "");
    ASSERT_EQ(back.ModelSpace().Count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(dynamic_cast<RawEntity*>(back.ModelSpace().Item(i))->Groups().size(),
                  dynamic_cast<RawEntity*>(doc.ModelSpace().Item(i))->Groups().size())
            << i;
}
