// Files written by hand or by older programs open as their authors meant:
// blanks around group codes, CR LF or LF, 8-bit Windows text, "," decimals,
// entities without handles, missing sections and tables.

#include <gtest/gtest.h>

#include "CoreTestUtil.h"
#include "dxf_test_text.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

using namespace acad;

namespace {

// Lines joined by CR LF, as the sewer export writes them.
std::string CrLf(std::initializer_list<std::string> lines) { return dxf_test::Join(lines); }

// The head a catalogue supplies before the sewer export's entities: tables and
// the two manhole blocks, without handles, then the start of the entities.
std::string SewerHead()
{
    return CrLf({"0",  "SECTION",   "2",  "HEADER", "9",  "$ACADVER", "1",  "AC1009",  "0",  "ENDSEC",
                 "0",  "SECTION",   "2",  "TABLES", "0",  "TABLE",    "2",  "LAYER",   "70", "4",
                 "0",  "LAYER",     "2",  "NUMPV",  "70", "0",        "62", "2",       "6",  "CONTINUOUS",
                 "0",  "LAYER",     "2",  "PV",     "70", "0",        "62", "1",       "6",  "CONTINUOUS",
                 "0",  "LAYER",     "2",  "PL",     "70", "0",        "62", "3",       "6",  "CONTINUOUS",
                 "0",  "LAYER",     "2",  "REDE",   "70", "0",        "62", "4",       "6",  "CONTINUOUS",
                 "0",  "ENDTAB",    "0",  "TABLE",  "2",  "STYLE",    "70", "1",       "0",  "STYLE",
                 "2",  "ROMANS",    "70", "0",      "40", "0.0",      "41", "1.0",     "3",  "romans.shx",
                 "0",  "ENDTAB",    "0",  "TABLE",  "2",  "APPID",    "70", "1",       "0",  "APPID",
                 "2",  "NUMEROTRE", "70", "0",      "0",  "ENDTAB",   "0",  "ENDSEC",  "0",  "SECTION",
                 "2",  "BLOCKS",    "0",  "BLOCK",  "8",  "0",        "2",  "PV",      "70", "0",
                 "10", "0.0",       "20", "0.0",    "30", "0.0",      "0",  "CIRCLE",  "8",  "0",
                 "10", "0.0",       "20", "0.0",    "30", "0.0",      "40", "1.0",     "0",  "ENDBLK",
                 "8",  "0",         "0",  "BLOCK",  "8",  "0",        "2",  "PL",      "70", "0",
                 "10", "0.0",       "20", "0.0",    "30", "0.0",      "0",  "CIRCLE",  "8",  "0",
                 "10", "0.0",       "20", "0.0",    "30", "0.0",      "40", "0.5",     "0",  "ENDBLK",
                 "8",  "0",         "0",  "ENDSEC", "0",  "SECTION",  "2",  "ENTITIES"});
}

// One manhole (label and insertion) and one reach, line by line as the export
// writes them: group codes with a leading blank, the LINE starting with "0".
std::string SewerEntities()
{
    return CrLf({" 0", "TEXT", " 5", "3E9", " 100", "AcDbEntity", " 8", "NUMPV", " 100", "AcDbText", " 10",
                 "96.000000000000", " 20", "203.200000000000", " 30", "0.0", " 40", "4.0", " 1",
                 // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): the split ends the \x escape.
                 "PV-\xC7"
                 "1",
                 " 7", "ROMANS", " 72", "1", " 11", "103.200000000000", " 21", "203.200000000000", " 31", "0.0", " 100",
                 "AcDbText", " 0", "INSERT", " 5", "3EA", " 100", "AcDbEntity", " 8", "PV", " 100",
                 "AcDbBlockReference", " 2", "PV", " 10", "100.000000000000", " 20", "200.000000000000", " 30", "0.0",
                 "0", "LINE", " 5", "3EB", " 100", "AcDbEntity", " 8", "REDE", " 100", "AcDbLine", " 10",
                 "100.000000000000", " 20", "200.000000000000", " 30", "102,35", " 11", "150.000000000000", " 21",
                 "200.000000000000", " 31", "", " 1001", "NUMEROTRE", " 1000", "1-2", " 1000",
                 "PV-\xC7"
                 "1",
                 " 1000", "ASFALTO", " 1000", "SIM"});
}

std::string SewerTail() { return CrLf({"0", "ENDSEC", "0", "EOF"}); }

}  // namespace

TEST(DxfTolerant, SewerExportFileOpensWithItsEntitiesHandlesAndData)
{
    Document doc;
    ReadDxfText(doc, SewerHead() + SewerEntities() + SewerTail(), "rede.dxf");

    auto* label = dynamic_cast<Text*>(doc.HandleToObject("3E9"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->TextString(), "PV-Ç1");  // 8-bit Windows text becomes UTF-8
    EXPECT_EQ(label->Layer(), "NUMPV");
    EXPECT_EQ(label->StyleName(), "ROMANS");
    EXPECT_EQ(label->Alignment(), Alignment::Center);
    EXPECT_EQ(label->TextAlignmentPoint(), (Point3d{103.2, 203.2, 0}));
    EXPECT_DOUBLE_EQ(label->Height(), 4.0);

    auto* manhole = dynamic_cast<BlockReference*>(doc.HandleToObject("3EA"));
    ASSERT_NE(manhole, nullptr);
    EXPECT_EQ(manhole->Name(), "PV");
    EXPECT_EQ(manhole->Layer(), "PV");
    EXPECT_EQ(manhole->InsertionPoint(), (Point3d{100, 200, 0}));

    auto* reach = dynamic_cast<Line*>(doc.HandleToObject("3EB"));
    ASSERT_NE(reach, nullptr);
    EXPECT_EQ(reach->StartPoint(), (Point3d{100, 200, 102.35}));  // "," decimal point
    EXPECT_EQ(reach->EndPoint(), (Point3d{150, 200, 0}));         // empty elevation
    std::vector<int> types;
    std::vector<Variant> values;
    reach->GetXData("NUMEROTRE", types, values);
    EXPECT_EQ(types, (std::vector<int>{1001, 1000, 1000, 1000, 1000}));
    EXPECT_EQ(values[2].AsString(), "PV-Ç1");
    EXPECT_EQ(values[4].AsString(), "SIM");

    // The blocks' entities had no handles: they got fresh ones, past the file's.
    Entity* circle = doc.Blocks().Item("PV")->Item(0);
    EXPECT_GT(circle->HandleValue(), 0x3EBu);
    EXPECT_NE(circle->Handle(), doc.Blocks().Item("PL")->Item(0)->Handle());
    EXPECT_GT(doc.HandSeed(), circle->HandleValue());
}

TEST(DxfTolerant, LineEndingsBlanksAndMissingPartsAreAccepted)
{
    // LF only, trailing blanks after codes, a byte-order mark, only an ENTITIES
    // section, entities of the R12 era (no subclass markers, no handles), a
    // layer and a style that no table defines, blank lines after the end.
    const std::string text =
        "\xEF\xBB\xBF  0 \n"
        "SECTION\n  2\nENTITIES\n  0\nLINE\n  8\nNOVO\n 10\n1\n 20\n2\n 11\n3\n 21\n4\n"
        "  0\nTEXT\n  8\nNOVO\n  7\nESTILO\n 10\n0\n 20\n0\n 40\n2.5\n  1\nsem handle\n"
        "  0\nSOLID\n  8\n0\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n 12\n0\n 22\n1\n 13\n1\n 23\n1\n"
        "  0\nENDSEC\n  0\nEOF\n\n\n";
    Document doc;
    ReadDxfText(doc, text, "antigo.dxf");
    ASSERT_EQ(doc.ModelSpace().Count(), 3);
    auto* line = dynamic_cast<Line*>(doc.ModelSpace().Item(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Layer(), "NOVO");
    EXPECT_EQ(line->EndPoint(), (Point3d{3, 4, 0}));
    EXPECT_EQ(dynamic_cast<Text*>(doc.ModelSpace().Item(1))->StyleName(), "ESTILO");
    // A solid of that era, without subclass markers, is read and written back.
    auto* solid = dynamic_cast<Solid*>(doc.ModelSpace().Item(2));
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->DxfName(), "SOLID");
    EXPECT_EQ(solid->ObjectName(), "AcDbSolid");
    EXPECT_EQ(solid->Data().corners[3], (Point3d{1, 1, 0}));
    Document again;
    ReadDxfText(again, WriteDxfText(doc), "de novo");
    ASSERT_EQ(again.ModelSpace().Count(), 3);
    auto* back = dynamic_cast<Solid*>(again.ModelSpace().Item(2));
    ASSERT_NE(back, nullptr);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(back->Data().corners[k], solid->Data().corners[k]);
    // Defaults the file did not replace are still there.
    EXPECT_NE(doc.Layers().Find("0"), nullptr);
    EXPECT_EQ(doc.Layouts().Count(), 2);

    // Names with blanks around them: a table's record keeps them; an entity's
    // reference drops them, and names the record without blanks (made for it).
    const std::string names =
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\n REDE \n70\n0\n62\n3\n0\nENDTAB\n"
        "0\nTABLE\n2\nSTYLE\n0\nSTYLE\n2\n ROMANS \n70\n0\n40\n0\n41\n1\n3\nromans.shx\n0\nENDTAB\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n"
        "0\nLINE\n8\n REDE \n10\n0\n20\n0\n11\n1\n21\n1\n"
        "0\nTEXT\n8\n\tREDE  \n7\n ROMANS\t\n10\n0\n20\n0\n40\n1\n1\na\n"
        "0\nTEXT\n8\nREDE\n7\nROMANS \n10\n0\n20\n0\n40\n1\n1\nb\n0\nENDSEC\n0\nEOF\n";
    Document named;
    ReadDxfText(named, names, "nomes.dxf");
    EXPECT_EQ(named.Layers().Item(" REDE ")->Color(), 3);
    EXPECT_EQ(named.Layers().Item("REDE")->Color(), 7);
    EXPECT_EQ(named.TextStyles().Item(" ROMANS ")->FontFile(), "romans.shx");
    EXPECT_EQ(named.TextStyles().Item("ROMANS")->FontFile(), "txt");
    ASSERT_EQ(named.ModelSpace().Count(), 3);
    for (Entity* e : named.ModelSpace()) EXPECT_EQ(e->Layer(), "REDE");
    EXPECT_EQ(dynamic_cast<Text*>(named.ModelSpace().Item(1))->StyleName(), "ROMANS");
    EXPECT_EQ(dynamic_cast<Text*>(named.ModelSpace().Item(2))->StyleName(), "ROMANS");
}

TEST(DxfTolerant, EscapesAndDuplicateHandles)
{
    // \U+ escapes become characters; a handle used twice leaves the second
    // entity with a fresh one rather than refusing the drawing.
    const std::string text =
        CrLf({"0", "SECTION", "2",      "ENTITIES", "0",  "TEXT", "5",  "20", "8",
              "0", "10",      "0",      "20",       "0",  "40",   "1",  "1",  "Cota \\U+00E0 jusante \\U+D83D\\U+DE00",
              "0", "POINT",   "5",      "20",       "8",  "0",    "10", "1",  "20",
              "1", "0",       "ENDSEC", "0",        "EOF"});
    Document doc;
    ReadDxfText(doc, text, "escapes.dxf");
    auto* t = dynamic_cast<Text*>(doc.HandleToObject("20"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->TextString(), "Cota à jusante \xF0\x9F\x98\x80");
    Entity* p = doc.ModelSpace().Item(1);
    EXPECT_NE(p->Handle(), "20");
    // Written back in the code page the header names, with escapes for what it
    // lacks, the text returns intact.
    const std::string out = WriteDxfText(doc);
    EXPECT_NE(out.find("Cota \xE0 jusante \\U+D83D\\U+DE00"), std::string::npos);
    EXPECT_NE(out.find("ANSI_1252"), std::string::npos);
    Document again;
    ReadDxfText(again, out, "de novo");
    EXPECT_EQ(dynamic_cast<Text*>(again.HandleToObject("20"))->TextString(), t->TextString());

    // Code-page bytes that would read as UTF-8 ("Ã©" is C3 A9) come back as
    // they were, in a text and in a multi-line text whose first piece of 250
    // bytes alone would read so; not as "é".
    t->SetTextString("CAÃ© 1");
    auto* m = doc.ModelSpace().AddMText({0, 0, 0}, 10, "Ã©" + std::string(248, 'x') + "çã");
    Document mojibake;
    ReadDxfText(mojibake, WriteDxfText(doc), "de novo");
    EXPECT_EQ(dynamic_cast<Text*>(mojibake.HandleToObject("20"))->TextString(), "CAÃ© 1");
    EXPECT_EQ(dynamic_cast<MText*>(mojibake.HandleToObject(m->Handle()))->TextString(), m->TextString());
}

TEST(DxfTolerant, HandSeedOfTheFileIsRespected)
{
    const std::string text =
        CrLf({"0", "SECTION",  "2", "HEADER", "9",  "$HANDSEED", "5",  "FFFF", "0",  "ENDSEC", "0",  "SECTION",
              "2", "ENTITIES", "0", "POINT",  "5",  "30",        "8",  "0",    "10", "0",      "20", "0",
              "0", "POINT",    "8", "0",      "10", "0",         "20", "0",    "0",  "ENDSEC", "0",  "EOF"});
    Document doc;
    ReadDxfText(doc, text, "seed.dxf");
    EXPECT_EQ(doc.ModelSpace().Item(0)->Handle(), "30");
    EXPECT_GE(doc.ModelSpace().Item(1)->HandleValue(), 0xFFFFu);  // the one without a handle
    EXPECT_GT(doc.ModelSpace().AddLine({0, 0, 0}, {1, 1, 0})->HandleValue(), 0xFFFFu);
}

TEST(DxfTolerant, DwgNamedFileAndHatchBoundariesAsTheHatchReaderExpects)
{
    acadcore_test::TempDir dir;
    Document doc;
    LWPolyline* pl = doc.ModelSpace().AddLightWeightPolyline({0, 0, 10, 0, 10, 10, 0, 10});
    pl->SetClosed(true);
    pl->SetBulge(2, 0.3);
    doc.Layers().Add("PAVIMENTO");
    Hatch* h = doc.ModelSpace().AddHatch(HatchPatternType::PreDefined, "ASFALTO", false);
    h->SetLayer("PAVIMENTO");
    h->AppendOuterLoop({pl});
    const auto path = dir / "zonas.dwg";
    doc.SaveAs(path.string());
    EXPECT_EQ(std::filesystem::directory_iterator(dir.Path())->path(), path);  // no temporary file left

    // The hatch reader of the water export keys on the layer before the paths,
    // then per path 92, 72 (bulges), 73, 93, vertices with 42, and 97 closing it.
    std::ifstream in(path, std::ios::binary);
    std::string code, value, sequence;
    bool inHatch = false;
    while (std::getline(in, code) && std::getline(in, value)) {
        value = value.substr(0, value.find('\r'));
        const int c = std::stoi(code);
        if (c == 0) inHatch = value == "HATCH";
        if (inHatch && (c == 8 || c == 92 || c == 72 || c == 73 || c == 93 || c == 10 || c == 42 || c == 97))
            sequence += std::to_string(c) + " ";
    }
    EXPECT_EQ(sequence, "8 10 92 72 73 93 10 42 10 42 10 42 10 42 97 ");
    Document back;
    ReadDxf(back, path);
    EXPECT_EQ(dynamic_cast<Hatch*>(back.ModelSpace().Item(1))->Data().loops[0].polyline.vertices[2].bulge, 0.3);
}

// The spaces' definitions of Release 12 ("$MODEL_SPACE", "$PAPER_SPACE") are
// the spaces, and a paper space no layout names is no block: saved files hold
// neither as a block of their own. One with a drawing on it gets a layout.
TEST(DxfTolerant, SpacesOfOlderAndOddFilesAreNotWrittenAsBlocks)
{
    const std::string r12 = CrLf({"0",  "SECTION",
                                  "2",  "HEADER",
                                  "9",  "$ACADVER",
                                  "1",  "AC1009",
                                  "0",  "ENDSEC",
                                  "0",  "SECTION",
                                  "2",  "TABLES",
                                  "0",  "TABLE",
                                  "2",  "LAYER",
                                  "70", "1",
                                  "0",  "LAYER",
                                  "2",  "REDE",
                                  "70", "0",
                                  "62", "1",
                                  "6",  "CONTINUOUS",
                                  "0",  "ENDTAB",
                                  "0",  "ENDSEC",
                                  "0",  "SECTION",
                                  "2",  "BLOCKS",
                                  "0",  "BLOCK",
                                  "8",  "0",
                                  "2",  "$MODEL_SPACE",
                                  "70", "0",
                                  "10", "0",
                                  "20", "0",
                                  "30", "0",
                                  "3",  "$MODEL_SPACE",
                                  "1",  "",
                                  "0",  "ENDBLK",
                                  "5",  "21",
                                  "8",  "0",
                                  "0",  "BLOCK",
                                  "67", "1",
                                  "8",  "0",
                                  "2",  "$PAPER_SPACE",
                                  "70", "0",
                                  "10", "0",
                                  "20", "0",
                                  "30", "0",
                                  "3",  "$PAPER_SPACE",
                                  "1",  "",
                                  "0",  "ENDBLK",
                                  "5",  "1D",
                                  "67", "1",
                                  "8",  "0",
                                  "0",  "ENDSEC",
                                  "0",  "SECTION",
                                  "2",  "ENTITIES",
                                  "0",  "LINE",
                                  "8",  "REDE",
                                  "10", "0",
                                  "20", "0",
                                  "30", "0",
                                  "11", "10",
                                  "21", "0",
                                  "31", "0",
                                  "0",  "ENDSEC",
                                  "0",  "EOF"});
    Document doc;
    EXPECT_EQ(ReadDxfText(doc, r12, "r12.dxf"), "");
    EXPECT_EQ(doc.ModelSpace().Count(), 1);
    std::string saved = WriteDxfText(doc);
    EXPECT_EQ(saved.find("$MODEL_SPACE"), std::string::npos);
    EXPECT_EQ(saved.find("$PAPER_SPACE"), std::string::npos);
    const int blocks = doc.Blocks().Count();
    Document back;
    ReadDxfText(back, saved, "de novo");
    EXPECT_EQ(back.Blocks().Count(), blocks);

    const std::string stray = CrLf({"0",   "SECTION",
                                    "2",   "TABLES",
                                    "0",   "TABLE",
                                    "2",   "BLOCK_RECORD",
                                    "70",  "2",
                                    "0",   "BLOCK_RECORD",
                                    "5",   "31",
                                    "100", "AcDbSymbolTableRecord",
                                    "100", "AcDbBlockTableRecord",
                                    "2",   "*Paper_Space0",
                                    "0",   "BLOCK_RECORD",
                                    "5",   "32",
                                    "100", "AcDbSymbolTableRecord",
                                    "100", "AcDbBlockTableRecord",
                                    "2",   "*Paper_Space1",
                                    "0",   "ENDTAB",
                                    "0",   "ENDSEC",
                                    "0",   "SECTION",
                                    "2",   "BLOCKS",
                                    "0",   "BLOCK",
                                    "5",   "33",
                                    "330", "31",
                                    "100", "AcDbEntity",
                                    "8",   "0",
                                    "100", "AcDbBlockBegin",
                                    "2",   "*Paper_Space0",
                                    "70",  "0",
                                    "10",  "0",
                                    "20",  "0",
                                    "30",  "0",
                                    "0",   "ENDBLK",
                                    "5",   "34",
                                    "330", "31",
                                    "0",   "BLOCK",
                                    "5",   "35",
                                    "330", "32",
                                    "100", "AcDbEntity",
                                    "8",   "0",
                                    "100", "AcDbBlockBegin",
                                    "2",   "*Paper_Space1",
                                    "70",  "0",
                                    "10",  "0",
                                    "20",  "0",
                                    "30",  "0",
                                    "0",   "LINE",
                                    "5",   "36",
                                    "330", "32",
                                    "8",   "0",
                                    "10",  "0",
                                    "20",  "0",
                                    "11",  "5",
                                    "21",  "5",
                                    "0",   "ENDBLK",
                                    "5",   "37",
                                    "330", "32",
                                    "0",   "ENDSEC",
                                    "0",   "EOF"});
    Document odd;
    EXPECT_EQ(ReadDxfText(odd, stray, "avulso.dxf"), "");
    saved = WriteDxfText(odd);
    EXPECT_EQ(saved.find("*Paper_Space0"), std::string::npos);
    // The drawing on the other one is kept, on a layout of its own.
    Document back2;
    ReadDxfText(back2, saved, "de novo");
    int withLine = 0;
    for (Layout* l : back2.Layouts()) withLine += !l->ModelType() && l->Block().Count() == 1;
    EXPECT_EQ(withLine, 1);
    EXPECT_EQ(back2.Layouts().Count(), odd.Layouts().Count());
}

// Names as other programs write them, that no command of the host would give:
// the layer of the system's lights the versions of 2007 to 2018 write into
// every drawing, a layer, a style and a block with "*", ":" or "|" in their
// names. Kept as written, with no note, saved and read back the same.
TEST(DxfTolerant, RecordsKeepTheNamesTheirFilesGiveThem)
{
    const auto path =
        std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/damaged/layer_system_lights.dxf";
    Document doc;
    EXPECT_EQ(ReadDxf(doc, path), "");
    const Layer* lights = doc.Layers().Find("*ADSK_SYSTEM_LIGHTS");
    ASSERT_NE(lights, nullptr);
    EXPECT_EQ(lights->Name(), "*ADSK_SYSTEM_LIGHTS");
    EXPECT_FALSE(lights->LayerOn());
    EXPECT_EQ(lights->Color(), 5);
    EXPECT_EQ(doc.Layers().Item("REDE")->Color(), 1);
    EXPECT_EQ(doc.ModelSpace().Count(), 2);

    const std::string odd =
        CrLf({"0",  "SECTION",  "2",  "TABLES", "0",  "TABLE",   "2",  "STYLE",    "0",  "STYLE",  "2",  "COTA:1",
              "70", "0",        "40", "0",      "41", "1",       "3",  "romans",   "0",  "ENDTAB", "0",  "ENDSEC",
              "0",  "SECTION",  "2",  "BLOCKS", "0",  "BLOCK",   "2",  "PV|TAMPA", "70", "0",      "10", "0",
              "20", "0",        "0",  "CIRCLE", "8",  "0",       "10", "0",        "20", "0",      "40", "1",
              "0",  "ENDBLK",   "0",  "ENDSEC", "0",  "SECTION", "2",  "ENTITIES", "0",  "INSERT", "8",  "A*B",
              "2",  "PV|TAMPA", "10", "5",      "20", "5",       "0",  "TEXT",     "8",  "A*B",    "7",  "COTA:1",
              "10", "0",        "20", "0",      "40", "1",       "1",  "PV-1",     "0",  "ENDSEC", "0",  "EOF"});
    Document named;
    EXPECT_EQ(ReadDxfText(named, odd, "nomes.dxf"), "");
    Document back;
    EXPECT_EQ(ReadDxfText(back, WriteDxfText(named), "de novo"), "");
    Document lightsBack;
    EXPECT_EQ(ReadDxfText(lightsBack, WriteDxfText(doc), "de novo"), "");
    EXPECT_FALSE(lightsBack.Layers().Item("*ADSK_SYSTEM_LIGHTS")->LayerOn());
    for (Document* d : {&named, &back}) {
        ASSERT_EQ(d->ModelSpace().Count(), 2);
        auto* ref = dynamic_cast<BlockReference*>(d->ModelSpace().Item(0));
        ASSERT_NE(ref, nullptr);
        EXPECT_EQ(ref->Name(), "PV|TAMPA");
        EXPECT_EQ(ref->Layer(), "A*B");
        EXPECT_EQ(ref->Extents().max, (Point3d{6, 6, 0}));
        EXPECT_EQ(dynamic_cast<Text*>(d->ModelSpace().Item(1))->StyleName(), "COTA:1");
        EXPECT_EQ(d->TextStyles().Item("COTA:1")->FontFile(), "romans");
    }
}
