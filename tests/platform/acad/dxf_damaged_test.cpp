// Damaged and foreign files are refused with a message that names the file and
// the line; nothing crashes, loops or grows without bound. Failed saves leave
// the drawing on disk as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "CoreTestUtil.h"
#include "dxf_test_text.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

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

}  // namespace

TEST(DxfDamaged, ForeignAndDamagedFilesAreRefusedNamingFileAndLine)
{
    Document good;
    good.ModelSpace().AddLine({0, 0, 0}, {1, 1, 0});
    const std::string text = WriteDxfText(good);

    // Truncated anywhere: in the middle of a group, or before EOF.
    EXPECT_NE(Refusal(text.substr(0, text.size() / 2)), "");
    std::string cut = text.substr(0, text.rfind("  0\r\nEOF"));
    EXPECT_NE(Refusal(cut).find("EOF"), std::string::npos);
    EXPECT_NE(Refusal(text.substr(0, text.size() - 6)).find("truncado"), std::string::npos);
    EXPECT_NE(Refusal("").find("vazio"), std::string::npos);
    // A header setting that does not read keeps the default; the drawing opens.
    EXPECT_EQ(Refusal(Lines({"0", "SECTION", "2", "HEADER", "9", "$LTSCALE", "40", "muito", "9", "$OSMODE", "70",
                             "99999999999", "0", "ENDSEC", "0", "EOF"})),
              "");

    // Binary drawings, binary DXF and garbage.
    EXPECT_NE(Refusal(std::string("AC1015\0\0\0\x01\x02 some binary\0", 24)).find("DWG"), std::string::npos);
    EXPECT_NE(Refusal(std::string("AutoCAD Binary DXF\r\n\x1a\0", 22)).find("binário"), std::string::npos);
    EXPECT_NE(Refusal("isto não é um desenho\nnem de longe\n").find("linha 1"), std::string::npos);
    EXPECT_NE(Refusal(Lines({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "10", "1", "20"})).find("linha 9"),
              std::string::npos);

    const std::string msg = Refusal(WithEntity({"0", "LINE", "8", "0", "abc", "1"}));
    EXPECT_NE(msg.find("teste.dxf"), std::string::npos);
    EXPECT_NE(msg.find("linha 9"), std::string::npos);
    EXPECT_NE(msg.find("código de grupo"), std::string::npos);
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "5000", "1"})), "");
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "99999999999999999999", "1"})), "");
}

TEST(DxfDamaged, ValuesOutOfRangeAreRefused)
{
    // Numbers beyond what a double holds, not numbers at all, or out of their type.
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "10", "1e400"})).find("linha 7"), std::string::npos);
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "10", "-1" + std::string(400, '0')})), "");
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "10", "nan"})), "");
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "10", "dez"})), "");
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "62", "70000"})), "");
    // 2^64 and 2^63 overflow the digits read: refused where a whole number is
    // due, read exactly where a real is.
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "62", "18446744073709551616"}))
                  .find("linha 7: valor inteiro inválido \"18446744073709551616\""),
              std::string::npos);
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "62", "9223372036854775808"})).find("linha 7: valor inteiro inválido"),
              std::string::npos);
    Document huge;
    ReadDxfText(huge, WithEntity({"0", "LINE", "10", "18446744073709551616", "20", "-9223372036854775808"}), "t");
    EXPECT_EQ(dynamic_cast<Line*>(huge.ModelSpace().Item(0))->StartPoint(),
              (Point3d{18446744073709551616.0, -9223372036854775808.0, 0}));
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "1000", "sem aplicação"})).find("1001"), std::string::npos);
    EXPECT_NE(Refusal(WithEntity({"0", "LINE", "1001", "APP", "1099", "x"})), "");
    // A kept group of an unknown kind must still hold a usable number.
    EXPECT_NE(Refusal(WithEntity({"0", "LEADER", "10", "1e999"})), "");
    // Huge counts announce nothing the reader trusts: no allocation follows them.
    EXPECT_EQ(Refusal(WithEntity({"0", "HATCH", "91", "2000000000", "75", "0"})), "");
    EXPECT_EQ(Refusal(WithEntity({"0", "LWPOLYLINE", "90", "2000000000", "10", "0", "20", "0"})), "");
}

TEST(DxfDamaged, BlocksThatContainThemselvesAreRefused)
{
    const std::string selfRef = Lines(
        {"0", "SECTION",  "2", "BLOCKS", "0",  "BLOCK", "2",  "A", "70", "0",      "10", "0",      "20", "0",
         "0", "INSERT",   "2", "A",      "10", "0",     "20", "0", "0",  "ENDBLK", "0",  "ENDSEC", "0",  "SECTION",
         "2", "ENTITIES", "0", "INSERT", "2",  "A",     "10", "0", "20", "0",      "0",  "ENDSEC", "0",  "EOF"});
    EXPECT_NE(Refusal(selfRef).find("circular"), std::string::npos);
    const std::string cycle =
        Lines({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK",  "2", "A", "0", "INSERT", "2", "B",      "0", "ENDBLK",
               "0", "BLOCK",   "2", "B",      "0", "INSERT", "2", "A", "0", "ENDBLK", "0", "ENDSEC", "0", "EOF"});
    EXPECT_NE(Refusal(cycle).find("circular"), std::string::npos);
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
    EXPECT_NE(Refusal(drawing(block("*D1", line + dimension("*D1")), dimension("*D1")))
                  .find("o bloco \"*D1\" contém a si mesmo (referência circular)"),
              std::string::npos);
    EXPECT_NE(Refusal(drawing(block("*T1", line + table), table)).find("\"*T1\" contém a si mesmo"), std::string::npos);
    EXPECT_NE(Refusal(drawing(block("M", line + leader), insert("M"))).find("\"M\" contém a si mesmo"),
              std::string::npos);
    EXPECT_NE(Refusal(drawing(block("*D1", line + insert("B")) + block("B", line + dimension("*D1")), insert("B")))
                  .find("contém a si mesmo (referência circular)"),
              std::string::npos);
    // Without the loop each reads, and draws its block.
    Document pictured;
    ReadDxfText(pictured, drawing(block("*D1", line) + block("B", dimension("*D1")), insert("B")), "cota.dxf");
    EXPECT_DOUBLE_EQ(pictured.ModelExtents().max.x, 5);
    Document led;
    ReadDxfText(led, drawing(block("M", line), leader), "chamada.dxf");
    EXPECT_DOUBLE_EQ(led.ModelExtents().max.x, 5);
    // Nested 30 deep, each level twice (a thousand million lines): opens at once,
    // with its extents; the same with its bottom block holding the top is refused.
    Document nested;
    ReadDxfText(nested, dxf_test::NestedBlocks(30), "aninhado.dxf");
    EXPECT_DOUBLE_EQ(nested.ModelExtents().max.x, 32767.8);
    EXPECT_NE(Refusal(dxf_test::NestedBlocks(30, true)).find("circular"), std::string::npos);
    EXPECT_NE(Refusal(WithEntity({"0", "INSERT", "2", "*Model_Space"})).find("espaço"), std::string::npos);
    EXPECT_NE(
        Refusal(Lines({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "A", "0", "LINE", "0", "ENDSEC", "0", "EOF"}))
            .find("ENDBLK"),
        std::string::npos);
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

    // A read that fails leaves an object model that still works.
    Document broken;
    EXPECT_ACAD_ERROR(ErrorCode::FileError,
                      ReadDxfText(broken, WithEntity({"0", "LINE", "8", "X", "0", "CIRCLE", "40", "dois"}), "meio"));
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

    // A block without a name is refused naming the block, not a table record.
    const std::string nameless = Refusal(Lines({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "70", "0", "10", "0", "20",
                                                "0", "0", "ENDBLK", "0", "ENDSEC", "0", "EOF"}));
    EXPECT_NE(nameless.find("bloco sem nome"), std::string::npos) << nameless;
    EXPECT_NE(nameless.find("linha 5"), std::string::npos) << nameless;
}

// A drawing that opens saves into a file that opens. The columns a text lists
// are checked as any text is (a layer name no table can hold refuses the file
// at its line), and a column whose handle another text took gets a fresh one
// that the text's list follows.
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
    EXPECT_NE(Refusal(file("a*b")).find("linha 25: Valor inválido: nome de layer"), std::string::npos);

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
    EXPECT_NE(FileRefusal(save("cortado.dxf", text.substr(0, at + 3))).find("truncado"), std::string::npos);
    // Binary content after the end, refused from disk as from memory.
    EXPECT_NE(FileRefusal(save("cauda.dxf", text + std::string(2u << 20, '\n') + '\0')).find("binário"),
              std::string::npos);
    // A value of megabytes is no drawing's: refused at its line before it is held whole.
    const std::string huge = WithEntity({"0", "TEXT", "1", std::string(3u << 20, 'x')});
    EXPECT_NE(Refusal(huge).find("linha 8: linha com mais de 1 MiB"), std::string::npos);
    EXPECT_NE(FileRefusal(save("enorme.dxf", huge)).find("linha 8: linha com mais de 1 MiB"), std::string::npos);
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
