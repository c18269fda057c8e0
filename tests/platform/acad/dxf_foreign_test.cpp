// Drawings written by other programs in the AC1015 layout: reactors, extension
// dictionaries, classes, objects and sections the host does not keep, kinds it
// does not model, layouts with their own names, and handles of their own; and
// hatches drawn with the pattern lines their files hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "CoreTestUtil.h"
#include "dxf_test_text.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DrawCount.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/MTextLayout.h"
#include "platform/acad/TextMetrics.h"
#include "platform/acad/SelectionSetQuery.h"

using namespace acad;

namespace {

std::string Groups(std::initializer_list<std::string> items) { return dxf_test::Join(items); }

std::string PlotSettings()
{
    return Groups({"100", "AcDbPlotSettings",
                   "1",   "",
                   "2",   "none_device",
                   "4",   "A1",
                   "6",   "",
                   "40",  "0",
                   "41",  "0",
                   "42",  "0",
                   "43",  "0",
                   "44",  "841",
                   "45",  "594",
                   "46",  "0",
                   "47",  "0",
                   "48",  "0",
                   "49",  "0",
                   "140", "0",
                   "141", "0",
                   "142", "1",
                   "143", "1",
                   "70",  "688",
                   "72",  "1",
                   "73",  "0",
                   "74",  "5",
                   "7",   "",
                   "75",  "16",
                   "147", "1",
                   "148", "0",
                   "149", "0"});
}

// A file in the shape a CAD program writes: its own handles (one equal to a
// handle of the host's new drawing), reactors and an extension dictionary, a
// rotated dimension with its picture, a polyface mesh, a paper layout named
// "Prancha A1", and objects and sections the host does not keep.
std::string ForeignFile()
{
    std::string s =
        Groups({"0",  "SECTION", "2",  "HEADER", "9", "$ACADVER",    "1",  "AC1015", "9", "$HANDSEED", "5",  "30",
                "9",  "$CLAYER", "8",  "PISTA",  "9", "$TILEMODE",   "70", "0",      "9", "$INSBASE",  "10", "5",
                "20", "6",       "30", "0",      "9", "$UNKNOWNVAR", "40", "1.5",    "0", "ENDSEC"});
    s += Groups({"0",   "SECTION",
                 "2",   "CLASSES",
                 "0",   "CLASS",
                 "1",   "ACDBDICTIONARYWDFLT",
                 "2",   "AcDbDictionaryWithDefault",
                 "3",   "ObjectDBX Classes",
                 "90",  "0",
                 "280", "0",
                 "281", "0",
                 "0",   "ENDSEC"});
    s += Groups({"0",   "SECTION",
                 "2",   "TABLES",
                 "0",   "TABLE",
                 "2",   "LAYER",
                 "5",   "2",
                 "330", "0",
                 "100", "AcDbSymbolTable",
                 "70",  "2",
                 "0",   "LAYER",
                 "5",   "10",
                 "330", "2",
                 "100", "AcDbSymbolTableRecord",
                 "100", "AcDbLayerTableRecord",
                 "2",   "0",
                 "70",  "0",
                 "62",  "7",
                 "6",   "Continuous",
                 "0",   "LAYER",
                 "5",   "11",
                 "330", "2",
                 "100", "AcDbSymbolTableRecord",
                 "100", "AcDbLayerTableRecord",
                 "2",   "PISTA",
                 "70",  "4",
                 "62",  "-5",
                 "6",   "Continuous",
                 "0",   "ENDTAB",
                 "0",   "TABLE",
                 "2",   "BLOCK_RECORD",
                 "5",   "1",
                 "330", "0",
                 "100", "AcDbSymbolTable",
                 "70",  "3",
                 "0",   "BLOCK_RECORD",
                 "5",   "1F",
                 "330", "1",
                 "100", "AcDbSymbolTableRecord",
                 "100", "AcDbBlockTableRecord",
                 "2",   "*Model_Space",
                 "340", "22",
                 "0",   "BLOCK_RECORD",
                 "5",   "1B",
                 "330", "1",
                 "100", "AcDbSymbolTableRecord",
                 "100", "AcDbBlockTableRecord",
                 "2",   "*Paper_Space",
                 "340", "1E",
                 "0",   "BLOCK_RECORD",
                 "5",   "23",
                 "330", "1",
                 "100", "AcDbSymbolTableRecord",
                 "100", "AcDbBlockTableRecord",
                 "2",   "*D1",
                 "0",   "ENDTAB",
                 "0",   "ENDSEC"});
    s += Groups({"0",   "SECTION",
                 "2",   "BLOCKS",
                 "0",   "BLOCK",
                 "5",   "20",
                 "330", "1F",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbBlockBegin",
                 "2",   "*Model_Space",
                 "70",  "0",
                 "10",  "0",
                 "20",  "0",
                 "30",  "0",
                 "3",   "*Model_Space",
                 "1",   "",
                 "0",   "ENDBLK",
                 "5",   "21",
                 "330", "1F",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbBlockEnd",
                 "0",   "BLOCK",
                 "5",   "1C",
                 "330", "1B",
                 "100", "AcDbEntity",
                 "67",  "1",
                 "8",   "0",
                 "100", "AcDbBlockBegin",
                 "2",   "*Paper_Space",
                 "70",  "0",
                 "10",  "0",
                 "20",  "0",
                 "30",  "0",
                 "3",   "*Paper_Space",
                 "1",   "",
                 "0",   "ENDBLK",
                 "5",   "1D",
                 "330", "1B",
                 "100", "AcDbEntity",
                 "67",  "1",
                 "8",   "0",
                 "100", "AcDbBlockEnd",
                 "0",   "BLOCK",
                 "5",   "24",
                 "330", "23",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbBlockBegin",
                 "2",   "*D1",
                 "70",  "1",
                 "10",  "0",
                 "20",  "0",
                 "30",  "0",
                 "3",   "*D1",
                 "1",   "",
                 "0",   "LINE",
                 "5",   "25",
                 "330", "23",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbLine",
                 "10",  "0",
                 "20",  "0",
                 "30",  "0",
                 "11",  "5",
                 "21",  "0",
                 "31",  "0",
                 "0",   "ENDBLK",
                 "5",   "26",
                 "330", "23",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbBlockEnd",
                 "0",   "ENDSEC"});
    s += Groups({"0",   "SECTION",
                 "2",   "ENTITIES",
                 "0",   "LINE",
                 "5",   "1",
                 "102", "{ACAD_XDICTIONARY",
                 "360", "27",
                 "102", "}",
                 "330", "1F",
                 "100", "AcDbEntity",
                 "8",   "PISTA",
                 "100", "AcDbLine",
                 "10",  "0",
                 "20",  "0",
                 "30",  "0",
                 "11",  "10",
                 "21",  "0",
                 "31",  "0",
                 "0",   "DIMENSION",
                 "5",   "28",
                 "102", "{ACAD_REACTORS",
                 "330", "99",
                 "102", "}",
                 "330", "1F",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbDimension",
                 "2",   "*D1",
                 "10",  "5",
                 "20",  "2",
                 "30",  "0",
                 "11",  "2.5",
                 "21",  "2",
                 "31",  "0",
                 "70",  "32",
                 "3",   "Standard",
                 "100", "AcDbAlignedDimension",
                 "13",  "0",
                 "23",  "0",
                 "33",  "0",
                 "14",  "5",
                 "24",  "0",
                 "34",  "0",
                 "50",  "0",
                 "100", "AcDbRotatedDimension",
                 "0",   "POLYLINE",
                 "5",   "29",
                 "330", "1F",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbPolyFaceMesh",
                 "66",  "1",
                 "10",  "0",
                 "20",  "0",
                 "30",  "0",
                 "70",  "64",
                 "71",  "3",
                 "72",  "1",
                 "0",   "VERTEX",
                 "5",   "2A",
                 "330", "29",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbVertex",
                 "100", "AcDbPolyFaceMeshVertex",
                 "10",  "0",
                 "20",  "0",
                 "30",  "0",
                 "70",  "192",
                 "0",   "VERTEX",
                 "5",   "2B",
                 "330", "29",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbVertex",
                 "100", "AcDbPolyFaceMeshVertex",
                 "10",  "1",
                 "20",  "0",
                 "30",  "0",
                 "70",  "192",
                 "0",   "VERTEX",
                 "5",   "2C",
                 "330", "29",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbVertex",
                 "100", "AcDbPolyFaceMeshVertex",
                 "10",  "0",
                 "20",  "1",
                 "30",  "0",
                 "70",  "192",
                 "0",   "VERTEX",
                 "5",   "2D",
                 "330", "29",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "100", "AcDbFaceRecord",
                 "10",  "0",
                 "20",  "0",
                 "30",  "0",
                 "70",  "128",
                 "71",  "1",
                 "72",  "2",
                 "73",  "3",
                 "0",   "SEQEND",
                 "5",   "2E",
                 "330", "29",
                 "100", "AcDbEntity",
                 "8",   "0",
                 "0",   "TEXT",
                 "5",   "2F",
                 "330", "1B",
                 "100", "AcDbEntity",
                 "67",  "1",
                 "8",   "0",
                 "100", "AcDbText",
                 "10",  "1",
                 "20",  "1",
                 "30",  "0",
                 "40",  "2",
                 "1",   "folha",
                 "100", "AcDbText",
                 "0",   "ENDSEC"});
    s += Groups({"0",   "SECTION", "2",   "OBJECTS",        "0",   "DICTIONARY", "5",   "C",
                 "330", "0",       "100", "AcDbDictionary", "281", "1",          "3",   "ACAD_GROUP",
                 "350", "D",       "3",   "ACAD_LAYOUT",    "350", "1A",         "0",   "DICTIONARY",
                 "5",   "D",       "102", "{ACAD_REACTORS", "330", "C",          "102", "}",
                 "330", "C",       "100", "AcDbDictionary", "281", "1",          "0",   "DICTIONARY",
                 "5",   "1A",      "102", "{ACAD_REACTORS", "330", "C",          "102", "}",
                 "330", "C",       "100", "AcDbDictionary", "281", "1",          "3",   "Model",
                 "350", "22",      "3",   "Prancha A1",     "350", "1E",         "0",   "LAYOUT",
                 "5",   "22",      "102", "{ACAD_REACTORS", "330", "1A",         "102", "}",
                 "330", "1A"});
    s += PlotSettings();
    s += Groups({"100", "AcDbLayout", "1",   "Model",  "70",  "1",  "71",  "0",
                 "10",  "0",          "20",  "0",      "11",  "12", "21",  "9",
                 "12",  "0",          "22",  "0",      "32",  "0",  "14",  "0",
                 "24",  "0",          "34",  "0",      "15",  "0",  "25",  "0",
                 "35",  "0",          "146", "0",      "13",  "0",  "23",  "0",
                 "33",  "0",          "16",  "1",      "26",  "0",  "36",  "0",
                 "17",  "0",          "27",  "1",      "37",  "0",  "76",  "0",
                 "330", "1F",         "0",   "LAYOUT", "5",   "1E", "102", "{ACAD_REACTORS",
                 "330", "1A",         "102", "}",      "330", "1A"});
    s += PlotSettings();
    s += Groups({"100", "AcDbLayout",  "1",   "Prancha A1", "70",  "1",
                 "71",  "1",           "10",  "0",          "20",  "0",
                 "11",  "841",         "21",  "594",        "12",  "0",
                 "22",  "0",           "32",  "0",          "14",  "0",
                 "24",  "0",           "34",  "0",          "15",  "0",
                 "25",  "0",           "35",  "0",          "146", "0",
                 "13",  "0",           "23",  "0",          "33",  "0",
                 "16",  "1",           "26",  "0",          "36",  "0",
                 "17",  "0",           "27",  "1",          "37",  "0",
                 "76",  "0",           "330", "1B",         "0",   "DICTIONARY",
                 "5",   "27",          "330", "1",          "100", "AcDbDictionary",
                 "280", "1",           "3",   "DADOS",      "360", "2F0",
                 "0",   "XRECORD",     "5",   "2F0",        "330", "27",
                 "100", "AcDbXrecord", "280", "1",          "1",   "dado",
                 "0",   "ENDSEC",      "0",   "SECTION",    "2",   "THUMBNAILIMAGE",
                 "90",  "4",           "310", "01020304",   "0",   "ENDSEC",
                 "0",   "EOF"});
    return s;
}

}  // namespace

TEST(DxfForeign, CadProgramFileOpensWithItsHandlesLayoutsAndState)
{
    Document doc;
    ReadDxfText(doc, ForeignFile(), "prancha.dwg");

    // Its own handles, even one the host's new drawing had given to a default record.
    auto* line = dynamic_cast<Line*>(doc.HandleToObject("1"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Layer(), "PISTA");
    EXPECT_EQ(doc.HandleToObject("11")->ObjectName(), "AcDbLayerTableRecord");
    EXPECT_EQ(doc.HandleToObject("1F"), &doc.ModelSpace());
    EXPECT_GE(doc.HandSeed(), 0x2F1u);  // past the largest handle, XRECORD's included
    std::set<std::uint64_t> handles;
    for (const auto& o : doc.Objects()) EXPECT_TRUE(handles.insert(o->HandleValue()).second) << o->ObjectName();

    // Layer state and the header's current layer, space and base point.
    Layer* pista = doc.Layers().Item("PISTA");
    EXPECT_TRUE(pista->Lock());
    EXPECT_FALSE(pista->LayerOn());
    EXPECT_EQ(pista->Color(), 5);
    EXPECT_EQ(&doc.ActiveLayer(), pista);
    EXPECT_EQ(doc.ActiveSpace(), acPaperSpace);
    EXPECT_EQ(doc.GetVariable("INSBASE").AsPoint(), (Point3d{5, 6, 0}));

    // The paper layout keeps its name, its handle and its sheet.
    Layout* sheet = doc.Layouts().Item("Prancha A1");
    EXPECT_EQ(sheet->Handle(), "1E");
    EXPECT_EQ(sheet->Data().limitsMax, (Point3d{841, 594, 0}));
    EXPECT_EQ(&doc.ActiveLayout(), sheet);
    ASSERT_EQ(doc.PaperSpace().Count(), 1);
    EXPECT_EQ(dynamic_cast<Text*>(doc.PaperSpace().Item(0))->TextString(), "folha");
    EXPECT_EQ(doc.Layouts().Item("Model")->Handle(), "22");

    // Kinds the host does not model are kept, with what belongs to them.
    Entity* dim = doc.ModelSpace().Item(1);
    EXPECT_EQ(dim->DxfName(), "DIMENSION");
    EXPECT_EQ(dynamic_cast<DimAligned*>(dim), nullptr);
    EXPECT_EQ(doc.Blocks().Item("*D1")->Count(), 1);  // its picture stays
    auto* mesh = dynamic_cast<RawEntity*>(doc.ModelSpace().Item(2));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->ObjectName(), "AcDbPolyFaceMesh");
    Point3d lo, hi;
    mesh->GetBoundingBox(lo, hi);  // its vertices still place it
    EXPECT_EQ(hi, (Point3d{1, 1, 0}));

    // Saved and read again, the same drawing.
    const std::string saved = WriteDxfText(doc);
    EXPECT_NE(saved.find("AcDbFaceRecord"), std::string::npos);
    Document again;
    ReadDxfText(again, saved, "de novo");
    EXPECT_EQ(again.ModelSpace().Count(), 3);
    EXPECT_EQ(dynamic_cast<RawEntity*>(again.ModelSpace().Item(2))->Groups().size(), mesh->Groups().size());
    EXPECT_EQ(again.Layouts().Item("Prancha A1")->Handle(), "1E");
    EXPECT_EQ(again.Blocks().Item("*D1")->Count(), 1);
    EXPECT_EQ(again.ActiveLayer().Name(), "PISTA");
}

TEST(DxfForeign, DecimalPlacesOfDxfOutAndNumberForms)
{
    Document doc;
    doc.ModelSpace().AddLine({1.0 / 3.0, 2.5, 0}, {1e-9, -7.125, 1e15});
    DxfWriteOptions four;
    four.precision = 4;
    const std::string text = WriteDxfText(doc, four);
    EXPECT_NE(text.find("\r\n0.3333\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n-7.125\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n1000000000000000.0\r\n"), std::string::npos);
    // The default writes the shortest text that reads back as the same double.
    Document back;
    ReadDxfText(back, WriteDxfText(doc), "t");
    auto* l = dynamic_cast<Line*>(back.ModelSpace().Item(0));
    EXPECT_EQ(l->StartPoint().x, 1.0 / 3.0);
    EXPECT_EQ(l->EndPoint(), (Point3d{1e-9, -7.125, 1e15}));

    // Signs, exponents, "," decimals and integers written as reals all read.
    const std::string forms = Groups({"0",  "SECTION", "2",  "ENTITIES", "0",  "CIRCLE", "10", "+1.5E+2", "20", "-2,5",
                                      "30", ".5",      "40", "1.",       "62", "3.0",    "0",  "ENDSEC",  "0",  "EOF"});
    Document f;
    ReadDxfText(f, forms, "formas");
    auto* c = dynamic_cast<Circle*>(f.ModelSpace().Item(0));
    EXPECT_EQ(c->Center(), (Point3d{150, -2.5, 0.5}));
    EXPECT_EQ(c->Radius(), 1.0);
    EXPECT_EQ(c->Color(), 3);
}

TEST(DxfForeign, LongTextsSplitAndRejoinWithoutBreakingEscapes)
{
    // A multi-line text of characters the code page lacks: every piece of 250
    // bytes must end between two escapes.
    std::string text;
    for (int i = 0; i < 300; ++i) text += i % 7 == 0 ? "\xE2\x82\xAC" : "\xCE\xA9";  // €, Ω
    Document doc;
    doc.ModelSpace().AddMText({0, 0, 0}, 10, text);
    const std::string saved = WriteDxfText(doc);
    EXPECT_NE(saved.find("\\U+03A9"), std::string::npos);
    Document back;
    ReadDxfText(back, saved, "t");
    EXPECT_EQ(dynamic_cast<MText*>(back.ModelSpace().Item(0))->TextString(), text);

    // Pieces are one text: a character's two escapes may lie across two of them.
    Document split;
    ReadDxfText(split,
                Groups({"0", "SECTION", "2", "ENTITIES", "0", "MTEXT", "40", "1", "3", "clave \\U+D834", "1",
                        "\\U+DD1E fim", "0", "ENDSEC", "0", "EOF"}),
                "partido");
    EXPECT_EQ(dynamic_cast<MText*>(split.ModelSpace().Item(0))->TextString(), "clave \xF0\x9D\x84\x9E fim");
}

namespace {

// A file as later programs write it: classes, dimension styles other than
// Standard, an image with its definition, a radial dimension, a 3-D solid whose
// geometry lies in ACDSDATA, a text of three columns, and objects the host does
// not model (styles of multileaders and tables, a material, a group, an
// extension record whose data uses groups 1000 and above).
std::string LaterProgramFile()
{
    std::string s = Groups(
        {"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1027", "9", "$HANDSEED", "5", "100", "0", "ENDSEC"});
    s += Groups({"0",   "SECTION",
                 "2",   "CLASSES",
                 "0",   "CLASS",
                 "1",   "IMAGEDEF",
                 "2",   "AcDbRasterImageDef",
                 "3",   "ISM",
                 "90",  "0",
                 "280", "0",
                 "281", "0",
                 "0",   "CLASS",
                 "1",   "MLEADERSTYLE",
                 "2",   "AcDbMLeaderStyle",
                 "3",   "ACDB_MLEADERSTYLE_CLASS",
                 "90",  "0",
                 "280", "0",
                 "281", "0",
                 "0",   "ENDSEC"});
    s += Groups({"0",   "SECTION",
                 "2",   "TABLES",
                 "0",   "TABLE",
                 "2",   "DIMSTYLE",
                 "5",   "A",
                 "330", "0",
                 "100", "AcDbSymbolTable",
                 "70",  "2",
                 "100", "AcDbDimStyleTable",
                 "0",   "DIMSTYLE",
                 "105", "27",
                 "330", "A",
                 "100", "AcDbSymbolTableRecord",
                 "100", "AcDbDimStyleTableRecord",
                 "2",   "Standard",
                 "70",  "0",
                 "0",   "DIMSTYLE",
                 "105", "28",
                 "330", "A",
                 "100", "AcDbSymbolTableRecord",
                 "100", "AcDbDimStyleTableRecord",
                 "2",   "ISO-25",
                 "70",  "0",
                 "41",  "2.5",
                 "140", "2.5",
                 "271", "2",
                 "0",   "ENDTAB",
                 "0",   "ENDSEC"});
    s += Groups({"0",    "SECTION",
                 "2",    "ENTITIES",
                 "0",    "IMAGE",
                 "5",    "40",
                 "330",  "1F",
                 "100",  "AcDbEntity",
                 "8",    "0",
                 "100",  "AcDbRasterImage",
                 "90",   "0",
                 "10",   "0",
                 "20",   "0",
                 "30",   "0",
                 "11",   "1",
                 "21",   "0",
                 "31",   "0",
                 "12",   "0",
                 "22",   "1",
                 "32",   "0",
                 "13",   "640",
                 "23",   "480",
                 "340",  "50",
                 "70",   "7",
                 "280",  "0",
                 "360",  "51",
                 "0",    "DIMENSION",
                 "5",    "41",
                 "330",  "1F",
                 "100",  "AcDbEntity",
                 "8",    "0",
                 "100",  "AcDbDimension",
                 "10",   "0",
                 "20",   "0",
                 "30",   "0",
                 "11",   "1",
                 "21",   "1",
                 "31",   "0",
                 "70",   "4",
                 "3",    "ISO-25",
                 "100",  "AcDbRadialDimension",
                 "15",   "3",
                 "25",   "0",
                 "35",   "0",
                 "40",   "0",
                 "0",    "3DSOLID",
                 "5",    "42",
                 "330",  "1F",
                 "100",  "AcDbEntity",
                 "8",    "0",
                 "100",  "AcDbModelerGeometry",
                 "290",  "0",
                 "2",    "{00000000-0000-0000-0000-000000000000}",
                 "0",    "MTEXT",
                 "5",    "43",
                 "330",  "1F",
                 "100",  "AcDbEntity",
                 "8",    "0",
                 "100",  "AcDbMText",
                 "10",   "0",
                 "20",   "0",
                 "30",   "0",
                 "40",   "2.5",
                 "41",   "50",
                 "1",    "primeira",
                 "1001", "ACAD",
                 "1000", "ACAD_MTEXT_COLUMN_INFO_BEGIN",
                 "1070", "75",
                 "1070", "1",
                 "1070", "76",
                 "1070", "3",
                 "1000", "ACAD_MTEXT_COLUMN_INFO_END",
                 "1000", "ACAD_MTEXT_COLUMNS_BEGIN",
                 "1070", "47",
                 "1070", "3",
                 "1005", "44",
                 "1005", "45",
                 "1000", "ACAD_MTEXT_COLUMNS_END",
                 "0",    "MTEXT",
                 "5",    "44",
                 "330",  "1F",
                 "100",  "AcDbEntity",
                 "8",    "0",
                 "100",  "AcDbMText",
                 "10",   "55",
                 "20",   "0",
                 "30",   "0",
                 "40",   "2.5",
                 "41",   "50",
                 "1",    "segunda",
                 "0",    "MTEXT",
                 "5",    "45",
                 "330",  "1F",
                 "100",  "AcDbEntity",
                 "8",    "0",
                 "100",  "AcDbMText",
                 "10",   "110",
                 "20",   "0",
                 "30",   "0",
                 "40",   "2.5",
                 "41",   "50",
                 "1",    "terceira",
                 "0",    "ENDSEC"});
    s += Groups({"0",    "SECTION",
                 "2",    "OBJECTS",
                 "0",    "DICTIONARY",
                 "5",    "C",
                 "330",  "0",
                 "100",  "AcDbDictionary",
                 "281",  "1",
                 "3",    "ACAD_GROUP",
                 "350",  "D",
                 "3",    "ACAD_IMAGE_DICT",
                 "350",  "60",
                 "3",    "ACAD_MATERIAL",
                 "350",  "63",
                 "3",    "ACAD_MLEADERSTYLE",
                 "350",  "61",
                 "3",    "ACAD_MLINESTYLE",
                 "350",  "65",
                 "3",    "ACAD_TABLESTYLE",
                 "350",  "62",
                 "3",    "DADOS",
                 "350",  "64",
                 "0",    "DICTIONARY",
                 "5",    "D",
                 "330",  "C",
                 "100",  "AcDbDictionary",
                 "281",  "1",
                 "3",    "*A1",
                 "350",  "70",
                 "0",    "DICTIONARY",
                 "5",    "60",
                 "330",  "C",
                 "100",  "AcDbDictionary",
                 "281",  "1",
                 "3",    "planta",
                 "350",  "50",
                 "0",    "DICTIONARY",
                 "5",    "61",
                 "330",  "C",
                 "100",  "AcDbDictionary",
                 "281",  "1",
                 "3",    "Standard",
                 "350",  "52",
                 "0",    "DICTIONARY",
                 "5",    "62",
                 "330",  "C",
                 "100",  "AcDbDictionary",
                 "281",  "1",
                 "3",    "Standard",
                 "350",  "53",
                 "0",    "DICTIONARY",
                 "5",    "63",
                 "330",  "C",
                 "100",  "AcDbDictionary",
                 "281",  "1",
                 "3",    "Global",
                 "350",  "54",
                 "0",    "DICTIONARY",
                 "5",    "64",
                 "330",  "C",
                 "100",  "AcDbDictionary",
                 "281",  "1",
                 "3",    "PV",
                 "360",  "67",
                 "0",    "DICTIONARY",
                 "5",    "65",
                 "330",  "C",
                 "100",  "AcDbDictionary",
                 "281",  "1",
                 "3",    "Standard",
                 "350",  "66",
                 "0",    "GROUP",
                 "5",    "70",
                 "330",  "D",
                 "100",  "AcDbGroup",
                 "300",  "",
                 "70",   "1",
                 "71",   "1",
                 "340",  "40",
                 "0",    "IMAGEDEF",
                 "5",    "50",
                 "102",  "{ACAD_REACTORS",
                 "330",  "60",
                 "330",  "51",
                 "102",  "}",
                 "330",  "60",
                 "100",  "AcDbRasterImageDef",
                 "90",   "0",
                 "1",    "planta.png",
                 "10",   "640",
                 "20",   "480",
                 "11",   "1",
                 "21",   "1",
                 "280",  "1",
                 "281",  "0",
                 "0",    "IMAGEDEF_REACTOR",
                 "5",    "51",
                 "330",  "40",
                 "100",  "AcDbRasterImageDefReactor",
                 "90",   "2",
                 "330",  "40",
                 "0",    "MLEADERSTYLE",
                 "5",    "52",
                 "330",  "61",
                 "100",  "AcDbMLeaderStyle",
                 "179",  "2",
                 "170",  "2",
                 "171",  "1",
                 "3",    "Standard",
                 "0",    "TABLESTYLE",
                 "5",    "53",
                 "330",  "62",
                 "100",  "AcDbTableStyle",
                 "3",    "Standard",
                 "70",   "0",
                 "0",    "MATERIAL",
                 "5",    "54",
                 "330",  "63",
                 "100",  "AcDbMaterial",
                 "1",    "Global",
                 "72",   "1",
                 "0",    "MLINESTYLE",
                 "5",    "66",
                 "330",  "65",
                 "100",  "AcDbMlineStyle",
                 "2",    "Standard",
                 "70",   "0",
                 "3",    "",
                 "62",   "256",
                 "51",   "90",
                 "52",   "90",
                 "71",   "0",
                 "0",    "XRECORD",
                 "5",    "67",
                 "330",  "64",
                 "100",  "AcDbXrecord",
                 "280",  "1",
                 "1000", "texto",
                 "1070", "7",
                 "1040", "2.5",
                 "1071", "99",
                 "1005", "40",
                 "0",    "ENDSEC"});
    s += Groups({"0",          "SECTION",    "2",          "ACDSDATA", "70",         "2",   "71",
                 "2",          "0",          "ACDSSCHEMA", "90",       "0",          "1",   "AcDb3DSolid_ASM_Data",
                 "2",          "AcDbDs::ID", "280",        "10",       "91",         "8",   "0",
                 "ACDSRECORD", "90",         "0",          "2",        "AcDbDs::ID", "280", "10",
                 "320",        "42",         "2",          "ASM_Data", "280",        "15",  "94",
                 "4",          "310",        "41424344",   "0",        "ENDSEC",     "0",   "EOF"});
    return s;
}

// The saved text as (code, value) groups.
std::vector<std::pair<int, std::string>> ParseGroups(const std::string& text)
{
    std::vector<std::pair<int, std::string>> g;
    std::size_t pos = 0;
    auto line = [&] {
        std::size_t end = text.find('\n', pos);
        std::string l = text.substr(pos, end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (!l.empty() && l.back() == '\r') l.pop_back();
        return l;
    };
    while (pos < text.size()) {
        const int code = std::stoi(line());
        g.emplace_back(code, line());
    }
    return g;
}

// Handles the records of the saved text define, each once, and the records by type.
struct SavedFile {
    std::vector<std::pair<int, std::string>> groups;
    std::multiset<std::string> handles;
    std::multiset<std::string> types;
    explicit SavedFile(const std::string& text) : groups(ParseGroups(text))
    {
        for (std::size_t i = 0; i < groups.size(); ++i) {
            if (groups[i].first == 0) types.insert(groups[i].second);
            if ((groups[i].first == 5 || groups[i].first == 105) && i > 0 && groups[i - 1].first == 0)
                handles.insert(groups[i].second);
        }
    }
    // The groups of the record whose handle is `h`.
    std::vector<std::pair<int, std::string>> Record(const std::string& h) const
    {
        for (std::size_t i = 1; i < groups.size(); ++i)
            if ((groups[i].first == 5 || groups[i].first == 105) && groups[i].second == h && groups[i - 1].first == 0) {
                std::vector<std::pair<int, std::string>> r{groups[i - 1]};
                for (std::size_t k = i; k < groups.size() && groups[k].first != 0; ++k) r.push_back(groups[k]);
                return r;
            }
        return {};
    }
};

bool HasGroup(const std::vector<std::pair<int, std::string>>& r, int code, const std::string& value)
{
    return std::find(r.begin(), r.end(), std::make_pair(code, value)) != r.end();
}

}  // namespace

// Opened and saved, a file of a later program keeps what the host read past:
// the records of its objects section with their handles (so that an image still
// finds its definition, a group its entity, a multileader its style), the
// dimension styles its dimensions name, its classes, the geometry of its solids,
// and the columns of a multi-column text with their main text.
TEST(DxfForeign, RecordsTheHostDoesNotModelAreWrittenBackWithTheirHandles)
{
    auto doc = std::make_unique<Document>();
    EXPECT_EQ(ReadDxfText(*doc, LaterProgramFile(), "r2013.dxf"), "");
    // The columns belong to their main text: one text, not three.
    EXPECT_EQ(doc->ModelSpace().Count(), 4);
    int texts = 0;
    for (Entity* e : doc->ModelSpace()) texts += e->ObjectName() == "AcDbMText";
    EXPECT_EQ(texts, 1);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const std::string text = WriteDxfText(*doc);
        const SavedFile saved(text);
        for (const std::string& h : saved.handles) EXPECT_EQ(saved.handles.count(h), 1u) << "handle " << h;
        // Everything the entities and kept records name is there.
        for (const char* h : {"50", "51", "52", "53", "54", "66", "67", "70", "28", "27"})
            EXPECT_EQ(saved.handles.count(h), 1u) << "handle " << h;
        EXPECT_EQ(saved.Record("50")[0].second, "IMAGEDEF");
        EXPECT_TRUE(HasGroup(saved.Record("50"), 1, "planta.png"));
        EXPECT_TRUE(HasGroup(saved.Record("40"), 340, "50"));
        EXPECT_TRUE(HasGroup(saved.Record("70"), 340, "40"));
        EXPECT_TRUE(HasGroup(saved.Record("28"), 2, "ISO-25"));
        EXPECT_TRUE(HasGroup(saved.Record("41"), 3, "ISO-25"));
        // The extension record's groups of 1000 and above are its data.
        const auto xrecord = saved.Record("67");
        EXPECT_TRUE(HasGroup(xrecord, 1000, "texto"));
        EXPECT_TRUE(HasGroup(xrecord, 1071, "99"));
        // The root dictionary keeps its handle and names the kept dictionaries;
        // the file's own Standard multiline style is not doubled.
        const auto root = saved.Record("C");
        EXPECT_TRUE(HasGroup(root, 3, "ACAD_IMAGE_DICT"));
        EXPECT_TRUE(HasGroup(root, 350, "60"));
        EXPECT_TRUE(HasGroup(root, 3, "DADOS"));
        EXPECT_TRUE(HasGroup(saved.Record("D"), 350, "70"));
        EXPECT_EQ(saved.types.count("MLINESTYLE"), 1u);
        // Layers name the plot style placeholder the file defines.
        std::string type;
        int layers = 0;
        for (const auto& [code, value] : saved.groups) {
            if (code == 0) type = value;
            if (type == "LAYER" && code == 390) {
                ++layers;
                EXPECT_EQ(saved.Record(value)[0].second, "ACDBPLACEHOLDER");
            }
        }
        EXPECT_EQ(layers, doc->Layers().Count());
        EXPECT_EQ(saved.types.count("DIMSTYLE"), 2u);
        EXPECT_EQ(saved.types.count("CLASS") >= 9, true);
        EXPECT_TRUE(HasGroup(saved.groups, 1, "IMAGEDEF"));
        // The solid's geometry, and the columns right after their main text.
        EXPECT_TRUE(HasGroup(saved.groups, 2, "ACDSDATA"));
        EXPECT_TRUE(HasGroup(saved.groups, 310, "41424344"));
        EXPECT_EQ(saved.types.count("MTEXT"), 3u);
        EXPECT_TRUE(HasGroup(saved.Record("44"), 1, "segunda"));
        EXPECT_TRUE(HasGroup(saved.Record("45"), 1, "terceira"));

        auto again = std::make_unique<Document>();
        EXPECT_EQ(ReadDxfText(*again, text, "de novo"), "");
        EXPECT_EQ(again->ModelSpace().Count(), 4);
        doc = std::move(again);
    }
}

// A damaged file that gives a kept record the handle of an entity: the saved
// file still names every handle once, the entity's staying with the entity, and
// the dictionary entry that named the record names its new handle.
TEST(DxfForeign, KeptRecordsNeverDoubleAHandle)
{
    std::string file = LaterProgramFile();
    using Change = std::pair<std::string, std::string>;
    for (const auto& [from, to] : {Change{"XRECORD\r\n5\r\n67\r\n", "XRECORD\r\n5\r\n40\r\n"},
                                   Change{"PV\r\n360\r\n67\r\n", "PV\r\n360\r\n40\r\n"}}) {
        ASSERT_NE(file.find(from), std::string::npos);
        file.replace(file.find(from), from.size(), to);
    }
    Document doc;
    EXPECT_EQ(ReadDxfText(doc, file, "duplicado.dxf"), "");
    const SavedFile saved(WriteDxfText(doc));
    for (const std::string& h : saved.handles) EXPECT_EQ(saved.handles.count(h), 1u) << "handle " << h;
    EXPECT_EQ(saved.Record("40")[0].second, "IMAGE");
    EXPECT_EQ(saved.types.count("XRECORD"), 1u);
    const auto dictionary = saved.Record("64");
    ASSERT_EQ(dictionary.back().first, 360);
    EXPECT_EQ(saved.Record(dictionary.back().second)[0].second, "XRECORD");
    // A handle with a carriage return after it is that handle: the record keeps
    // it, saved as a handle, and the saved file reopens with it.
    std::string withReturn = LaterProgramFile();
    const std::string plain = "DICTIONARY\r\n5\r\n64\r\n";
    ASSERT_NE(withReturn.find(plain), std::string::npos);
    withReturn.replace(withReturn.find(plain), plain.size(), "DICTIONARY\r\n5\r\n64\r\r\n");
    Document returned;
    EXPECT_EQ(ReadDxfText(returned, withReturn, "retorno.dxf"), "");
    const std::string once = WriteDxfText(returned);
    EXPECT_EQ(SavedFile(once).Record("64").at(0).second, "DICTIONARY");
    Document reopened;
    EXPECT_EQ(ReadDxfText(reopened, once, "de novo"), "");
    EXPECT_EQ(SavedFile(WriteDxfText(reopened)).Record("64").at(0).second, "DICTIONARY");
}

// Multi-column texts as files of 2018 and later hold them: the columns embedded
// in the text (101 and the groups after it) are not the text's own position,
// height or attachment; linked columns and the polyline of a frame that a text
// lists are its own. Two texts stay two texts, saved with all of it.
TEST(DxfForeign, EmbeddedAndLinkedColumnsAndFramesBelongToTheirText)
{
    const std::string file = Groups({"0",    "SECTION",
                                     "2",    "HEADER",
                                     "9",    "$ACADVER",
                                     "1",    "AC1032",
                                     "0",    "ENDSEC",
                                     "0",    "SECTION",
                                     "2",    "ENTITIES",
                                     "0",    "MTEXT",
                                     "5",    "80",
                                     "100",  "AcDbEntity",
                                     "8",    "0",
                                     "100",  "AcDbMText",
                                     "10",   "5",
                                     "20",   "6",
                                     "30",   "0",
                                     "40",   "2.5",
                                     "41",   "60",
                                     "46",   "150",
                                     "71",   "5",
                                     "72",   "1",
                                     "1",    "tres colunas",
                                     "73",   "1",
                                     "44",   "1",
                                     "101",  "Embedded Object",
                                     "70",   "1",
                                     "10",   "1",
                                     "20",   "0",
                                     "30",   "0",
                                     "11",   "5",
                                     "21",   "6",
                                     "31",   "0",
                                     "40",   "60",
                                     "41",   "150",
                                     "42",   "175",
                                     "43",   "150",
                                     "71",   "1",
                                     "72",   "3",
                                     "44",   "50",
                                     "45",   "12.5",
                                     "73",   "0",
                                     "74",   "0",
                                     "46",   "150",
                                     "46",   "150",
                                     "46",   "150",
                                     "0",    "MTEXT",
                                     "5",    "90",
                                     "100",  "AcDbEntity",
                                     "8",    "0",
                                     "100",  "AcDbMText",
                                     "10",   "0",
                                     "20",   "0",
                                     "30",   "0",
                                     "40",   "2.5",
                                     "41",   "50",
                                     "90",   "16",
                                     "1",    "primeira",
                                     "1001", "ACAD",
                                     "1000", "ACAD_MTEXT_TEXT_BORDERS_BEGIN",
                                     "1070", "80",
                                     "1070", "16",
                                     "1070", "5",
                                     "1005", "93",
                                     "1000", "ACAD_MTEXT_TEXT_BORDERS_END",
                                     "1000", "ACAD_MTEXT_COLUMNS_BEGIN",
                                     "1070", "47",
                                     "1070", "3",
                                     "1005", "91",
                                     "1005", "92",
                                     "1000", "ACAD_MTEXT_COLUMNS_END",
                                     "0",    "MTEXT",
                                     "5",    "91",
                                     "100",  "AcDbEntity",
                                     "8",    "0",
                                     "100",  "AcDbMText",
                                     "10",   "55",
                                     "20",   "0",
                                     "30",   "0",
                                     "40",   "2.5",
                                     "41",   "50",
                                     "1",    "segunda",
                                     "0",    "MTEXT",
                                     "5",    "92",
                                     "100",  "AcDbEntity",
                                     "8",    "0",
                                     "100",  "AcDbMText",
                                     "10",   "110",
                                     "20",   "0",
                                     "30",   "0",
                                     "40",   "2.5",
                                     "41",   "50",
                                     "1",    "terceira",
                                     "0",    "LWPOLYLINE",
                                     "5",    "93",
                                     "100",  "AcDbEntity",
                                     "8",    "0",
                                     "100",  "AcDbPolyline",
                                     "90",   "2",
                                     "70",   "1",
                                     "10",   "0",
                                     "20",   "0",
                                     "10",   "160",
                                     "20",   "-40",
                                     "0",    "ENDSEC",
                                     "0",    "EOF"});
    auto doc = std::make_unique<Document>();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        auto again = std::make_unique<Document>();
        EXPECT_EQ(ReadDxfText(*again, round ? WriteDxfText(*doc) : file, "r2018.dxf"), "");
        doc = std::move(again);
        ASSERT_EQ(doc->ModelSpace().Count(), 2);
        const auto* embedded = dynamic_cast<MText*>(doc->ModelSpace().Item(0));
        ASSERT_NE(embedded, nullptr);
        EXPECT_EQ(embedded->AttachmentPoint(), 5);
        EXPECT_DOUBLE_EQ(embedded->Height(), 2.5);
        EXPECT_DOUBLE_EQ(embedded->InsertionPoint().x, 5.0);
        const SavedFile saved(WriteDxfText(*doc));
        EXPECT_TRUE(HasGroup(saved.Record("80"), 101, "Embedded Object"));
        EXPECT_TRUE(HasGroup(saved.Record("80"), 45, "12.5"));
        for (const char* h : {"91", "92", "93"}) EXPECT_EQ(saved.handles.count(h), 1u) << "handle " << h;
        EXPECT_TRUE(HasGroup(saved.Record("92"), 1, "terceira"));
        EXPECT_EQ(saved.Record("93")[0].second, "LWPOLYLINE");
    }
}

namespace {

std::filesystem::path HatchFixture(const std::string& name)
{
    return std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/fixtures" / name;
}

// What an entity draws, seen at no scale.
struct Drawn final : GeometrySink {
    std::vector<std::pair<Point3d, Point3d>> segments;
    std::vector<Point3d> points;
    int arcs = 0, fills = 0;
    void Point(const Point3d& p) override { points.push_back(p); }
    void Segment(const Point3d& a, const Point3d& b) override { segments.emplace_back(a, b); }
    void Arc(const CircularArc&) override { ++arcs; }
    void Text(const TextPrimitive&) override {}
    void Fill(const std::vector<Point3d>&) override { ++fills; }
};

Drawn DrawnBy(const Entity& e)
{
    Drawn d;
    e.Emit(d, Transform());
    return d;
}

// The pieces drawn along lines of one direction: where each lies across
// them (x of an upright piece, y of a level one), sorted; a piece of any
// other direction, or a dot, is a NaN.
std::vector<double> Across(const Drawn& d, bool upright)
{
    std::vector<double> at;
    for (const auto& [a, b] : d.segments) {
        const bool level = std::fabs(a.y - b.y) < 1e-9, standing = std::fabs(a.x - b.x) < 1e-9;
        at.push_back(upright ? (standing ? a.x : std::nan("")) : (level ? a.y : std::nan("")));
    }
    std::sort(at.begin(), at.end());
    return at;
}

std::vector<double> Steps(double first, double step, int n)
{
    std::vector<double> v;
    for (int k = 0; k < n; ++k) v.push_back(first + k * step);
    return v;
}

void ExpectNearAll(const std::vector<double>& got, const std::vector<double>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
}

}  // namespace

// Hatches read with the lines of their pattern draw those lines, cut at their
// loops: lines at 0° are level and lines at 90° upright, at the file's base
// point and offset; picks and crossings find them and not the loops, which are
// not drawn; the box is the loops'; moving, turning or rescaling the hatch
// takes its lines along, and saving keeps them as they are. A user-defined
// pattern is its angle and spacing; a pattern renamed has no lines left.
TEST(DxfForeign, HatchesDrawThePatternLinesOfTheirFile)
{
    Document doc;
    EXPECT_EQ(ReadDxf(doc, HatchFixture("hatch_lines_0_90.dxf")), "");
    ASSERT_EQ(doc.ModelSpace().Count(), 2);
    auto* rows = dynamic_cast<Hatch*>(doc.ModelSpace().Item(0));
    auto* columns = dynamic_cast<Hatch*>(doc.ModelSpace().Item(1));
    ASSERT_TRUE(rows && columns);
    ASSERT_EQ(rows->Data().patternLines.size(), 1u);
    Drawn d = DrawnBy(*rows);
    ExpectNearAll(Across(d, false), Steps(5, 10, 6));  // y = 5 ... 55
    for (const auto& [a, b] : d.segments) EXPECT_NEAR(std::fabs(b.x - a.x), 100, 1e-9);
    ExpectNearAll(Across(DrawnBy(*columns), true), Steps(125, 10, 10));  // x = 125 ... 215
    const Box box = rows->Extents();
    EXPECT_EQ(box, Box::FromCorners({0, 0, 0}, {100, 60, 0}));

    EXPECT_NEAR(DistanceTo(*rows, {50, 15.25, 0}), 0.25, 1e-9);
    EXPECT_NEAR(DistanceTo(*rows, {50, 59, 0}), 4, 1e-9) << "the loop is not drawn";
    EXPECT_TRUE(CrossesBox(*rows, Box::Around({50, 55, 0}, 0.5)));
    EXPECT_FALSE(CrossesBox(*rows, Box::Around({50, 60, 0}, 0.5)));
    EXPECT_TRUE(InsideBox(*rows, Box::FromCorners({-1, 4, 0}, {101, 56, 0})));

    // The lines go with the hatch, and are saved where they went.
    rows->Move({0, 0, 0}, {0, 3, 0});
    ExpectNearAll(Across(DrawnBy(*rows), false), Steps(8, 10, 6));
    columns->Rotate({170, 30, 0}, kPi / 2);  // 100 × 60 upright, turned: 60 wide, 100 high, 10 levels
    ExpectNearAll(Across(DrawnBy(*columns), false), Steps(-15, 10, 10));
    rows->SetPatternScale(2);  // 20 apart, through the base point (0, 8) scaled about the origin
    ExpectNearAll(Across(DrawnBy(*rows), false), {16, 36, 56});
    Document back;
    EXPECT_EQ(ReadDxfText(back, WriteDxfText(doc), "linhas.dxf"), "");
    ASSERT_EQ(back.ModelSpace().Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const auto& was = dynamic_cast<Hatch*>(doc.ModelSpace().Item(i))->Data().patternLines;
        const auto& now = dynamic_cast<Hatch*>(back.ModelSpace().Item(i))->Data().patternLines;
        ASSERT_EQ(now.size(), was.size());
        EXPECT_NEAR(now[0].angle, was[0].angle, 1e-12);
        EXPECT_NEAR(Distance(now[0].base, was[0].base), 0, 1e-9);
        EXPECT_NEAR((now[0].offset - was[0].offset).Length(), 0, 1e-9);
    }
    ExpectNearAll(Across(DrawnBy(*back.ModelSpace().Item(0)), false), {16, 36, 56});
    ExpectNearAll(Across(DrawnBy(*back.ModelSpace().Item(1)), false), Steps(-15, 10, 10));

    // Made user-defined, its lines are its angle and spacing from the origin,
    // doubled across when asked (as -HATCHEDIT rebuilds it).
    rows->SetPattern(HatchPatternType::UserDefined, "_USER");
    ExpectNearAll(Across(DrawnBy(*rows), false), Steps(4, 2, 30));
    HatchData twice = rows->Data();
    twice.patternDouble = true;
    rows->SetData(twice);
    rows->Evaluate();
    const Drawn crossed = DrawnBy(*rows);
    const auto upright = std::count_if(crossed.segments.begin(), crossed.segments.end(),
                                       [](const auto& s) { return std::fabs(s.first.x - s.second.x) < 1e-9; });
    EXPECT_EQ(crossed.segments.size() - upright, 30u);
    EXPECT_GE(upright, 49);
    // Its pattern changed by name, the hatch has no lines of its own left: a hatched area.
    rows->SetPattern(HatchPatternType::PreDefined, "ANSI31");
    EXPECT_TRUE(rows->Data().patternLines.empty());
    EXPECT_EQ(DrawnBy(*rows).segments.size(), 4u) << "its loop";
}

// A pattern wider than its loop draws nothing inside it, but keeps its box.
// Dashed rows around an island and over a text box: the island is left
// out, the text box is no loop of the fill (nor of a solid one's), and each row is dashes 5 long
// from x = 0; with the style "ignore" the island is hatched too, here with
// dotted columns. A reference turned a quarter and at half size turns the
// rows of its block into columns 5 apart.
TEST(DxfForeign, HatchPatternsKeepToTheirLoopsStyleDashesAndReferences)
{
    Document wide;
    EXPECT_EQ(ReadDxf(wide, HatchFixture("hatch_wide_offset.dxf")), "");
    const auto* lone = dynamic_cast<Hatch*>(wide.ModelSpace().Item(0));
    ASSERT_TRUE(lone && lone->Data().patternLines.size() == 2);
    const Drawn none = DrawnBy(*lone);
    EXPECT_TRUE(none.segments.empty() && none.points.empty() && none.fills == 0);
    EXPECT_EQ(lone->Extents(), Box::FromCorners({0, 0, 0}, {5, 5, 0}));

    Document islands;
    EXPECT_EQ(ReadDxf(islands, HatchFixture("hatch_dashes_islands.dxf")), "");
    const auto* dashed = dynamic_cast<Hatch*>(islands.ModelSpace().Item(0));
    const auto* dotted = dynamic_cast<Hatch*>(islands.ModelSpace().Item(1));
    ASSERT_TRUE(dashed && dotted);
    const Drawn rows = DrawnBy(*dashed);
    EXPECT_EQ(rows.segments.size(), 8u * 10 + 2 * 8) << "two rows cut by the island";
    for (const auto& [a, b] : rows.segments) {
        const double from = std::min(a.x, b.x);
        EXPECT_NEAR(std::fabs(b.x - a.x), 5, 1e-9);
        EXPECT_NEAR(std::fmod(from, 10.0), 0, 1e-9);
        EXPECT_FALSE(a.y > 40 && a.y < 60 && from >= 40 && from < 60) << "in the island at " << from;
    }
    const std::size_t overTextBox = std::count_if(rows.segments.begin(), rows.segments.end(), [](const auto& s) {
        return s.first.y > 70 && s.first.y < 90 && std::min(s.first.x, s.second.x) == 20;
    });
    EXPECT_EQ(overTextBox, 2u);
    // Filled solid, the same loops fill: the text box is none of them.
    HatchData solid = dashed->Data();
    solid.patternName = "SOLID";
    solid.solid = true;
    solid.patternLines.clear();
    Hatch* filled = islands.ModelSpace().AddHatch(HatchPatternType::PreDefined, "SOLID", false);
    filled->SetData(solid);
    EXPECT_EQ(DrawnBy(*filled).fills, 2);
    const Drawn dots = DrawnBy(*dotted);
    EXPECT_TRUE(dots.segments.empty());
    EXPECT_EQ(std::count_if(dots.points.begin(), dots.points.end(),
                            [](const Point3d& p) { return p.y > 1e-6 && p.y < 100 - 1e-6; }),
              10 * 24)
        << "dots 4 apart down each column, the island's too";
    for (const Point3d& p : dots.points)
        EXPECT_TRUE(p.y > -1e-9 && p.y < 100 + 1e-9 && std::fmod(p.y + 1e-9, 4) < 2e-9);
    EXPECT_EQ(std::count_if(dots.points.begin(), dots.points.end(),
                            [](const Point3d& p) { return p.x > 160 && p.x < 180 && p.y > 40 && p.y < 60; }),
              2 * 4);

    Document placed;
    EXPECT_EQ(ReadDxf(placed, HatchFixture("hatch_in_block.dxf")), "");
    ASSERT_EQ(placed.ModelSpace().Count(), 2);
    const Drawn turned = DrawnBy(*placed.ModelSpace().Item(0));
    ExpectNearAll(Across(turned, true), Steps(72.5, 5, 6));
    for (const auto& [a, b] : turned.segments) EXPECT_NEAR(std::fabs(b.y - a.y), 50, 1e-9);
    ExpectNearAll(Across(DrawnBy(*placed.ModelSpace().Item(1)), false), Steps(5, 10, 6));
}

namespace {

// A drawing of the fixtures folder, read; fails the test when the file is refused.
std::unique_ptr<Document> Fixture(const std::string& name)
{
    auto doc = std::make_unique<Document>();
    const auto path = std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/fixtures" / name;
    EXPECT_EQ(ReadDxf(*doc, path), "") << name;
    return doc;
}

// The texts an entity emits, as drawn.
struct TextsSink : GeometrySink {
    void Point(const Point3d&) override {}
    void Segment(const Point3d&, const Point3d&) override {}
    void Arc(const CircularArc&) override {}
    void Text(const TextPrimitive& t) override { texts.push_back(t); }
    std::vector<TextPrimitive> texts;
};

void ExpectNear(const Point3d& p, const Point3d& q)
{
    EXPECT_NEAR(p.x, q.x, 1e-9);
    EXPECT_NEAR(p.y, q.y, 1e-9);
    EXPECT_NEAR(p.z, q.z, 1e-9);
}

void ExpectBox(const Box& b, double x0, double y0, double x1, double y1, const std::string& what)
{
    EXPECT_NEAR(b.min.x, x0, 1e-9) << what;
    EXPECT_NEAR(b.min.y, y0, 1e-9) << what;
    EXPECT_NEAR(b.max.x, x1, 1e-9) << what;
    EXPECT_NEAR(b.max.y, y1, 1e-9) << what;
}

// The entity of the model space whose kind is `dxfName` (the first).
Entity* OfKind(Document& doc, const std::string& dxfName)
{
    for (Entity* e : doc.ModelSpace())
        if (e->DxfName() == dxfName) return e;
    ADD_FAILURE() << "no " << dxfName;
    return nullptr;
}

}  // namespace

// Mirrored drawings hold planar entities turned over: their points lie in the
// plane of their extrusion (0, 0, -1), where x runs the world's other way. Each
// kind is drawn, boxed and answered there, and saved with its extrusion.
TEST(DxfForeign, PlanarKindsLieInThePlaneOfTheirExtrusion)
{
    // A reference whose block lies at x 10 to 17.7.
    auto ref = Fixture("extrusion_reference.dxf");
    auto* r = dynamic_cast<BlockReference*>(OfKind(*ref, "INSERT"));
    ASSERT_NE(r, nullptr);
    ExpectBox(r->Extents(), -17.7, 0, -10, 3, "reference");
    ExpectBox(ref->ModelExtents(), -17.7, 0, -10, 3, "its drawing");
    // Picked where it is drawn, not where its coordinates would put it flat.
    ref->ActiveView().Fit(ref->ModelExtents());
    EXPECT_EQ(selection::PickAt(*ref, {-17.7, 1.5, 0}), r);
    EXPECT_EQ(selection::PickAt(*ref, {17.7, 1.5, 0}), nullptr);

    // A text at (5, 2) of its plane: at (-5, 2) of the world, read from right to left.
    auto text = Fixture("extrusion_text.dxf");
    auto* t = dynamic_cast<Text*>(OfKind(*text, "TEXT"));
    ASSERT_NE(t, nullptr);
    ExpectNear(t->InsertionPoint(), {-5, 2, 0});
    const Box tb = t->Extents();
    EXPECT_NEAR(tb.max.x, -5, 1e-9);
    EXPECT_LT(tb.min.x, -7);
    EXPECT_NEAR(tb.min.y, 2, 1e-9);
    EXPECT_NEAR(tb.max.y, 4, 1e-9);
    TextsSink drawn;
    t->Emit(drawn, Transform());
    ASSERT_EQ(drawn.texts.size(), 1u);
    const TextPrimitive& p = drawn.texts[0];
    EXPECT_LT(p.corners[1].x, p.corners[0].x) << "the baseline runs to the left";
    EXPECT_GT(p.corners[3].y, p.corners[0].y) << "the letters stand up";
    EXPECT_TRUE(p.upsideDown) << "a mirror image";

    // Every planar kind, each at its own place.
    auto kinds = Fixture("extrusion_kinds.dxf");
    auto* circle = dynamic_cast<Circle*>(OfKind(*kinds, "CIRCLE"));
    ASSERT_NE(circle, nullptr);
    ExpectBox(circle->Extents(), -22, 3, -18, 7, "circle");
    ExpectNear(circle->Center(), {-20, 5, 0});
    auto* arc = dynamic_cast<Arc*>(OfKind(*kinds, "ARC"));
    ASSERT_NE(arc, nullptr);
    ExpectBox(arc->Extents(), -33, 5, -30, 8, "arc");
    ExpectNear(arc->StartPoint(), {-33, 5, 0});
    ExpectNear(arc->EndPoint(), {-30, 8, 0});
    // The ellipse keeps the world's points; its normal turns its minor axis below.
    ExpectBox(OfKind(*kinds, "ELLIPSE")->Extents(), -44, 3, -36, 5, "ellipse");
    ExpectBox(OfKind(*kinds, "LWPOLYLINE")->Extents(), -55, 0, -50, 5, "lightweight polyline");
    ExpectBox(OfKind(*kinds, "POLYLINE")->Extents(), -65, 0, -60, 5, "2-D polyline");
    ExpectBox(OfKind(*kinds, "HATCH")->Extents(), -74, 0, -70, 4, "hatch");
    // Its insertion point is the world's: the text runs from it to the left, below it.
    const Box mb = OfKind(*kinds, "MTEXT")->Extents();
    EXPECT_NEAR(mb.max.x, -80, 1e-9);
    EXPECT_LT(mb.min.x, -81);
    EXPECT_NEAR(mb.max.y, 10, 1e-9);
    EXPECT_NEAR(mb.min.y, 8, 1e-9);
    auto* pv = dynamic_cast<BlockReference*>(OfKind(*kinds, "INSERT"));
    ASSERT_NE(pv, nullptr);
    ExpectNear(pv->InsertionPoint(), {-90, 5, 0});
    const Box pb = pv->Extents();
    EXPECT_NEAR(pb.max.x, -89, 1e-9);
    EXPECT_LT(pb.min.x, -92) << "its attribute, to the left of the ring";
    EXPECT_NEAR(pb.min.y, 4, 1e-9);
    ASSERT_EQ(pv->GetAttributes().size(), 1u);
    EXPECT_NEAR(pv->GetAttributes()[0]->InsertionPoint().x, -91.5, 1e-9);

    // Snapped where they are drawn: the circle's centre, the reference's insertion point.
    kinds->ActiveView().Fit(kinds->ModelExtents());
    kinds->SetVariable("OSMODE", acad::input::Osnap::Center);
    ExpectNear(acad::input::Snap(*kinds, {-18.05, 5, 0}), {-20, 5, 0});
    kinds->SetVariable("OSMODE", acad::input::Osnap::Insertion);
    ExpectNear(acad::input::Snap(*kinds, {-90.1, 5.1, 0}), {-90, 5, 0});
    kinds->SetVariable("OSMODE", 0);

    // Saved and read again: the extrusion kept, every box the same.
    Document again;
    ASSERT_EQ(ReadDxfText(again, WriteDxfText(*kinds), "espelhado.dxf"), "");
    ASSERT_EQ(again.ModelSpace().Count(), kinds->ModelSpace().Count());
    for (int i = 0; i < kinds->ModelSpace().Count(); ++i) {
        const Entity* before = kinds->ModelSpace().Item(i);
        const Entity* after = again.ModelSpace().Item(i);
        EXPECT_EQ(after->DxfName(), before->DxfName());
        EXPECT_EQ(after->Extents(), before->Extents()) << before->DxfName();
    }
    EXPECT_EQ(dynamic_cast<Circle*>(OfKind(again, "CIRCLE"))->Data().extrusion.Normal(), Vector3d(0, 0, -1));
    EXPECT_EQ(dynamic_cast<Ellipse*>(OfKind(again, "ELLIPSE"))->Data().extrusion.Normal(), Vector3d(0, 0, -1));
    EXPECT_EQ(dynamic_cast<Hatch*>(OfKind(again, "HATCH"))->Data().extrusion.Normal(), Vector3d(0, 0, -1));
    EXPECT_EQ(dynamic_cast<MText*>(OfKind(again, "MTEXT"))->Data().extrusion.Normal(), Vector3d(0, 0, -1));
    EXPECT_EQ(dynamic_cast<BlockReference*>(OfKind(again, "INSERT"))->GetAttributes()[0]->Text().extrusion.Normal(),
              Vector3d(0, 0, -1));

    // A hatch made on them lies where they are drawn.
    Hatch* onPolyline = kinds->ModelSpace().AddHatch(HatchPatternType::PreDefined, "SOLID", false);
    onPolyline->AppendOuterLoop({OfKind(*kinds, "LWPOLYLINE")});
    ExpectBox(onPolyline->Extents(), -55, 0, -50, 5, "hatch on the polyline");
    Hatch* onArcs = kinds->ModelSpace().AddHatch(HatchPatternType::PreDefined, "SOLID", false);
    Entity* quarter = OfKind(*kinds, "ARC");
    Entity* chord = kinds->ModelSpace().AddLine({-33, 5, 0}, {-30, 8, 0});
    onArcs->AppendOuterLoop({quarter, chord});
    const Box hb = onArcs->Extents();
    EXPECT_NEAR(hb.min.x, -33, 1e-6);
    EXPECT_NEAR(hb.max.y, 8, 1e-6);
    EXPECT_LT(hb.max.x, -29.9);

    // A solid and a grid of references turned over: the solid's corners and
    // the grid's spacing lie in their plane too, so both land at negative x.
    Document over;
    const std::string entities =
        dxf_test::Join({"0",  "SECTION",  "2",  "BLOCKS", "0",      "BLOCK", "8",  "0",  "2",      "QUADRO", "70",
                        "0",  "10",       "0",  "20",     "0",      "30",    "0",  "3",  "QUADRO", "0",      "LINE",
                        "8",  "0",        "10", "0",      "20",     "0",     "30", "0",  "11",     "1",      "21",
                        "0",  "31",       "0",  "0",      "ENDBLK", "8",     "0",  "0",  "ENDSEC", "0",      "SECTION",
                        "2",  "ENTITIES", "0",  "SOLID",  "8",      "0",     "10", "2",  "20",     "0",      "30",
                        "0",  "11",       "6",  "21",     "0",      "31",    "0",  "12", "2",      "22",     "4",
                        "32", "0",        "13", "6",      "23",     "4",     "33", "0",  "210",    "0",      "220",
                        "0",  "230",      "-1", "0",      "INSERT", "8",     "0",  "2",  "QUADRO", "10",     "10",
                        "20", "10",       "30", "0",      "70",     "3",     "71", "1",  "44",     "5",      "45",
                        "0",  "210",      "0",  "220",    "0",      "230",   "-1", "0",  "ENDSEC", "0",      "EOF"});
    ASSERT_EQ(ReadDxfText(over, entities, "virado.dxf"), "");
    ASSERT_EQ(over.ModelSpace().Count(), 2);
    ExpectBox(over.ModelSpace().Item(0)->Extents(), -6, 0, -2, 4, "solid");
    // Three copies 5 apart along the plane's X axis, which is the world's -X.
    ExpectBox(over.ModelSpace().Item(1)->Extents(), -21, 10, -10, 10, "grid");
    over.ActiveView().Fit(over.ModelExtents());
    EXPECT_EQ(selection::PickAt(over, {-20.5, 10, 0}), over.ModelSpace().Item(1)) << "the last copy";
    EXPECT_EQ(selection::PickAt(over, {20.5, 10, 0}), nullptr);
}

// A wide polyline's box holds all the window draws of it: the corners where
// pieces of one width meet, mitred and cut at four widths out, and the bands
// of its bulged segments. So does the hull a turned reference takes its box
// from, and what a selection finds.
TEST(DxfForeign, WidePolylinesAreBoxedWithTheirCornersAndArcs)
{
    auto doc = Fixture("wide_polylines.dxf");
    ASSERT_EQ(doc->ModelSpace().Count(), 3);
    // (0,0)-(100,5)-(0,10), 4 wide: the corner's outer edges run on 16 past
    // their ends before the cut.
    Entity* corner = doc->ModelSpace().Item(0);
    const double tip = 100 + (5 * 2 + 100 * 16) / std::hypot(100.0, 5.0);
    const Box cb = corner->Extents();
    EXPECT_NEAR(cb.max.x, tip, 1e-9);
    EXPECT_NEAR(cb.min.x, -2 * 5 / std::hypot(100.0, 5.0), 1e-9);
    EXPECT_NEAR(cb.max.y, 10 + 2 * 100 / std::hypot(100.0, 5.0), 1e-9);
    // A half circle of radius 5 below (0,30)-(10,30), 2 wide.
    ExpectBox(doc->ModelSpace().Item(1)->Extents(), -1, 24, 11, 30, "bulged band");
    // A 2-D polyline, 2 wide, turning a right angle at (40,30).
    ExpectBox(doc->ModelSpace().Item(2)->Extents(), 30, 29, 41, 40, "2-D polyline");
    EXPECT_EQ(doc->ModelExtents().max.x, cb.max.x);

    // A window over the corner's tip finds it; one past the cut does not.
    doc->ActiveView().Fit(doc->ModelExtents());
    SelectionSet* ss = doc->SelectionSets().Add("PONTA");
    ss->Select(acSelectionSetCrossing, {tip - 0.5, 4.5, 0}, {tip - 0.2, 5.5, 0});
    EXPECT_EQ(ss->Count(), 1);
    ss->Clear();
    ss->Select(acSelectionSetCrossing, {tip + 0.2, 4.5, 0}, {tip + 0.5, 5.5, 0});
    EXPECT_EQ(ss->Count(), 0);

    // A long polyline (its segments kept in runs) with such a corner in its middle.
    std::vector<double> xy;
    for (int i = 0; i < 40; ++i) xy.insert(xy.end(), {i * 1.0, -50.0});
    xy.insert(xy.end(), {-60, -47});
    LWPolyline* longOne = doc->ModelSpace().AddLightWeightPolyline(xy);
    longOne->SetConstantWidth(1);
    const Box lb = longOne->Extents();
    EXPECT_GT(lb.max.x, 39 + 3.9) << "the cut corner, 4 widths on";
    ss->Clear();
    doc->ActiveView().Fit(doc->ModelExtents());
    ss->Select(acSelectionSetCrossing, {42, -50.1, 0}, {42.2, -49.9, 0});
    EXPECT_EQ(ss->Count(), 1) << "found near its corner's tip";
    // Grown at its start by a vertex that turns back: the new corner is in its box at once.
    longOne->AddVertex(0, {30, 0.5, 0});
    EXPECT_LT(longOne->Extents().min.x, -3.9);

    // A block of the corner and more than an ordinary block's pieces, turned:
    // its references take their box from its hull, which holds the corner too.
    Block* b = doc->Blocks().Add({0, 0, 0}, "CANTO");
    LWPolyline* inBlock = b->AddLightWeightPolyline({0, 0, 100, 5, 0, 10});
    inBlock->SetConstantWidth(4);
    for (int i = 0; i < 150; ++i) b->AddLine({10.0 + i * 0.1, 5, 0}, {10.0 + i * 0.1, 6, 0});
    const double turn = 0.3;
    BlockReference* r = doc->ModelSpace().InsertBlock({0, 0, 0}, "CANTO", 1, 1, 1, turn);
    const Box rb = r->Extents();
    // The cut's two ends: each outer edge, 2 out, carried 16 on.
    const double across = (100 * 2 - 5 * 16) / std::hypot(100.0, 5.0);
    for (const Point3d& p : {Point3d(tip, 5 - across, 0), Point3d(tip, 5 + across, 0)}) {
        const Point3d q{p.x * std::cos(turn) - p.y * std::sin(turn), p.x * std::sin(turn) + p.y * std::cos(turn), 0};
        EXPECT_TRUE(rb.Expanded(1e-9).Contains(q)) << q.x << ", " << q.y;
    }
}

// ---------------------------------------------------------------- texts as their files mean them

namespace {

// A small drawing of tests/platform/acad/foreign, read into `doc`.
void ReadForeign(Document& doc, const char* name)
{
    const auto path = std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/foreign" / name;
    ASSERT_EQ(ReadDxf(doc, path), "") << name;
}

MText& MTextAt(Document& doc, int i)
{
    auto* m = dynamic_cast<MText*>(doc.ModelSpace().Item(i));
    if (!m) throw std::runtime_error("not a multi-line text");
    return *m;
}

std::string RunText(const MTextLayout& l, const MTextRun& r) { return l.letters.substr(r.begin, r.end - r.begin); }

// The runs' letters joined by a space: the text's words, in the order they are drawn.
std::string Words(const MTextLayout& l)
{
    std::string all;
    for (const MTextRun& r : l.runs) all += (all.empty() ? "" : " ") + RunText(l, r);
    return all;
}

constexpr double kPitch = 2.5 * 5.0 / 3.0;  // baseline to baseline of a text 2.5 high

// What a text emits, gathered.
struct Gathered final : GeometrySink {
    void Point(const Point3d&) override {}
    void Segment(const Point3d& a, const Point3d& b) override { segments.push_back({a, b}); }
    void Arc(const CircularArc&) override {}
    void Text(const TextPrimitive& t) override
    {
        texts.emplace_back(t.text);
        colors.push_back(t.color);
        boxes.push_back(Box::FromCorners(t.corners[0], t.corners[2]));
    }
    void Fill(const std::vector<Point3d>& ring) override { fills.push_back(ring); }
    std::vector<std::pair<Point3d, Point3d>> segments;
    std::vector<std::string> texts;
    std::vector<int> colors;
    std::vector<Box> boxes;  // of the corners, for texts along the x axis
    std::vector<std::vector<Point3d>> fills;
};

}  // namespace

// The paragraphs of a multi-line text are wrapped at spaces to its width
// (group 41): two paragraphs of 60 words 40 wide are 20 lines each, a box 40
// by 165, not one line 940 long. Its box, its picks and its crossings are those
// of the wrapped lines; a line exactly as wide as the text still fits, a hair
// more goes to the next line, and a width of 0 wraps nothing.
TEST(DxfForeign, MTextWrapsItsParagraphsAtItsWidth)
{
    Document doc;
    ReadForeign(doc, "mtext_wrap.dxf");
    MText& m = MTextAt(doc, 0);
    const MTextLayout l = m.Layout();
    ASSERT_EQ(l.runs.size(), 40u);  // a line of one format is one piece
    double widest = 0;
    for (std::size_t i = 0; i < l.runs.size(); ++i) {
        const MTextRun& r = l.runs[i];
        EXPECT_NEAR(r.x, 0, 1e-12);
        EXPECT_LE(r.x + r.width, 40.0) << RunText(l, r);
        EXPECT_NEAR(r.y, -(2.5 + static_cast<double>(i) * kPitch), 1e-9) << i;
        EXPECT_NEAR(r.width, 2.5 * TextMetrics::Width(TextMetrics::Face::Shape, RunText(l, r)), 1e-9);
        widest = std::max(widest, r.width);
    }
    EXPECT_GT(widest, 35.0);  // the lines are filled
    // Nothing lost, no word cut: the second paragraph starts a line of its own.
    const std::string paragraph = RunText(l, l.runs[0]).substr(0, 11);
    EXPECT_EQ(paragraph, "lorem ipsum");
    EXPECT_EQ(RunText(l, l.runs[20]).substr(0, 11), "lorem ipsum");
    const std::string text = m.TextString();
    const std::string first = text.substr(0, text.find("\\P"));
    EXPECT_EQ(Words(l), first + " " + first);

    Point3d lo, hi;
    m.GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, 0, 1e-12);
    EXPECT_NEAR(hi.x, widest, 1e-9);
    EXPECT_NEAR(hi.y, 0, 1e-12);
    EXPECT_NEAR(lo.y, -(2.5 + 39 * kPitch), 1e-9);
    // Picked and crossed where its lines are drawn, never where one line would run.
    const MTextRun& last = l.runs.back();
    const Point3d onLast{last.x + last.width / 2, last.y + 1.25, 0};
    EXPECT_TRUE(CrossesBox(m, Box::Around(onLast, 0.1)));
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around(onLast, 0.1)).size(), 1u);
    EXPECT_FALSE(CrossesBox(m, Box::Around({300, 1.25, 0}, 1)));
    EXPECT_TRUE(doc.ModelSpace().QueryBox(Box::Around({300, 1.25, 0}, 1)).empty());
    // Moved and turned, the lines go with it.
    m.Rotate({0, 0, 0}, kPi / 2);
    m.GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 2.5 + 39 * kPitch, 1e-9);
    EXPECT_NEAR(hi.y, widest, 1e-9);

    // A line as wide as the text fits; a hair narrower a text, its last word wraps.
    MText* exact = doc.ModelSpace().AddMText({0, 100, 0}, 1, "ab cd");
    exact->SetHeight(2.0);
    const double ab = 2 * TextMetrics::Width(TextMetrics::Face::Shape, "ab cd");
    exact->SetWidth(ab);
    EXPECT_EQ(exact->Layout().runs.size(), 1u);
    exact->SetWidth(ab * (1 - 1e-6));
    ASSERT_EQ(exact->Layout().runs.size(), 2u);
    EXPECT_EQ(RunText(exact->Layout(), exact->Layout().runs[1]), "cd");
    // A word wider than the text keeps its letters on a line of its own.
    exact->SetWidth(0.5);
    EXPECT_EQ(Words(exact->Layout()), "ab cd");
    EXPECT_EQ(exact->Layout().runs.size(), 2u);
    // No width: no wrap.
    exact->SetWidth(0);
    EXPECT_EQ(exact->Layout().runs.size(), 1u);
}

// Columns of a 2018 file (embedded in the text) and of earlier files (texts
// of their own listed under "ACAD") are drawn with their width and gutter:
// the 2018 text flows from one column to the next at their height, the linked
// columns hold the lines the file gave them. Their box, picks and snaps are
// the columns', they go with the text when it moves, and saving keeps them.
TEST(DxfForeign, MTextColumnsFlowWithTheirWidthAndGutter)
{
    Document doc;
    ReadForeign(doc, "mtext_columns_2018.dxf");
    MText& m = MTextAt(doc, 0);
    const MTextData& d = m.Data();
    EXPECT_EQ(d.columns.type, MTextColumnType::Static);
    EXPECT_EQ(d.columns.count, 3);
    EXPECT_DOUBLE_EQ(d.columns.gutter, 7.5);
    auto checkColumns = [](const MText& t, double x0) {
        const MTextLayout l = t.Layout();
        ASSERT_EQ(l.columns.size(), 3u);
        std::vector<int> lines(3, 0);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(l.columns[k].left, x0 + 37.5 * k, 1e-9) << k;
            EXPECT_NEAR(l.columns[k].right, x0 + 37.5 * k + 30, 1e-9) << k;
            EXPECT_NEAR(l.columns[k].top, 0, 1e-12) << k;
            EXPECT_NEAR(l.columns[k].bottom, -45, 1e-9) << k;
        }
        for (const MTextRun& r : l.runs) {
            const int k = static_cast<int>(std::floor((r.x - x0) / 37.5));
            ASSERT_TRUE(k >= 0 && k < 3) << RunText(l, r);
            EXPECT_LE(r.x + r.width, l.columns[k].right + 1e-9) << RunText(l, r);
            EXPECT_GE(r.y, -45.0) << RunText(l, r);
            EXPECT_NEAR(r.y, -(2.5 + lines[k]++ * kPitch), 1e-9) << RunText(l, r);
        }
        // 45 high: 11 lines, 2.5 and ten steps of 4.17; the rest in the last column.
        EXPECT_EQ(lines[0], 11);
        EXPECT_EQ(lines[1], 11);
        EXPECT_GT(lines[2], 0);
    };
    checkColumns(m, 0);
    const std::string words = Words(m.Layout());
    EXPECT_EQ(words, m.TextString());  // one paragraph, nothing lost
    // Crossed in the third column, not below the columns' height.
    EXPECT_TRUE(CrossesBox(m, Box::Around({75 + 2, -1.25, 0}, 0.5)));
    EXPECT_FALSE(CrossesBox(m, Box::Around({5, -50, 0}, 2)));
    // Saved and read again: the same columns, the embedded data kept.
    Document back;
    ReadDxfText(back, WriteDxfText(doc), "colunas.dxf");
    checkColumns(MTextAt(back, 0), 0);
    EXPECT_TRUE(HasGroup(SavedFile(WriteDxfText(back)).Record(MTextAt(back, 0).Handle()), 44, "30"));
    // Moved, the columns go with it.
    m.Move({0, 0, 0}, {100, 0, 0});
    checkColumns(m, 0);  // laid out from the insertion point
    Point3d lo, hi;
    m.GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, 100, 1e-9);
    EXPECT_LE(hi.x, 205 + 1e-9);
    EXPECT_GT(hi.x, 175);
    // Saved, the embedded data says where it now is, and what did not change stays as read.
    const SavedFile moved(WriteDxfText(doc));
    EXPECT_TRUE(HasGroup(moved.Record(m.Handle()), 11, "100.0"));
    EXPECT_TRUE(HasGroup(moved.Record(m.Handle()), 45, "7.5"));

    // Earlier files: the text and its two linked columns, each with its own lines.
    Document linked;
    ReadForeign(linked, "mtext_columns_linked.dxf");
    ASSERT_EQ(linked.ModelSpace().Count(), 1);  // the columns belong to the text
    auto checkLinked = [](const MText& t) {
        const MTextLayout l = t.Layout();
        ASSERT_EQ(l.columns.size(), 3u);
        std::vector<std::string> tops;
        for (const MTextRun& r : l.runs)
            if (std::fabs(r.y + 2.5) < 1e-9) tops.push_back(std::to_string(static_cast<int>(r.x)) + RunText(l, r));
        EXPECT_EQ(tops, (std::vector<std::string>{"0lorem ipsum", "37nisi aliquip ex ea", "75culpa qui officia"}));
        for (const MTextRun& r : l.runs) EXPECT_LE(r.x + r.width, l.columns[static_cast<int>(r.x / 37.5)].right + 1e-9);
    };
    checkLinked(MTextAt(linked, 0));
    const std::string saved = WriteDxfText(linked);
    const SavedFile file(saved);
    EXPECT_TRUE(HasGroup(file.Record("1C"), 1, "culpa qui officia deserunt mollit anim id est laborum"));
    Document again;
    ReadDxfText(again, saved, "colunas2010.dxf");
    ASSERT_EQ(again.ModelSpace().Count(), 1);
    checkLinked(MTextAt(again, 0));
    const SavedFile twice(WriteDxfText(again));
    EXPECT_EQ(twice.Record("1B"), file.Record("1B"));
    EXPECT_EQ(twice.Record("1C"), file.Record("1C"));

    // Each linked column's text ends with its own column break, as the CAD
    // program writes it: the next column's lines start the next column, not
    // the one after. Static columns are as high as the file says (20), not
    // as their lines; linked columns the file left empty take the lines the
    // first holds, flowed by their height (45).
    Document breaks;
    ReadForeign(breaks, "mtext_columns_breaks.dxf");
    ASSERT_EQ(breaks.ModelSpace().Count(), 2);
    const MTextLayout staticColumns = MTextAt(breaks, 0).Layout();
    std::vector<std::string> placed;
    for (const MTextRun& r : staticColumns.runs)
        placed.push_back(std::to_string(static_cast<int>(r.x)) + RunText(staticColumns, r));
    EXPECT_EQ(placed, (std::vector<std::string>{"0um dois", "37tres quatro", "75cinco"}));
    ASSERT_EQ(staticColumns.columns.size(), 3u);
    for (const MTextRect& c : staticColumns.columns) EXPECT_NEAR(c.bottom, -20, 1e-9);
    const MTextLayout flowed = MTextAt(breaks, 1).Layout();
    ASSERT_EQ(flowed.columns.size(), 3u);
    std::vector<int> perColumn(3, 0);
    for (const MTextRun& r : flowed.runs) {
        const int k = static_cast<int>(std::floor(r.x / 37.5));
        ASSERT_TRUE(k >= 0 && k < 3) << RunText(flowed, r);
        EXPECT_GE(r.y, -45 - 1e-9) << RunText(flowed, r);
        ++perColumn[k];
    }
    EXPECT_EQ(perColumn[0], 11);  // 2.5 and ten steps of 4.17 in 45
    EXPECT_EQ(perColumn[1], 11);
    EXPECT_GT(perColumn[2], 0);
    EXPECT_EQ(Words(flowed), MTextAt(breaks, 1).TextString());

    // Extended data "ACAD" given twice is kept, and saved, as the second gives
    // it: so are the columns, and the text saved lays out as the text read.
    const std::string givenTwice =
        dxf_test::Join({"0",    "SECTION",
                        "2",    "HEADER",
                        "9",    "$ACADVER",
                        "1",    "AC1021",
                        "0",    "ENDSEC",
                        "0",    "SECTION",
                        "2",    "ENTITIES",
                        "0",    "MTEXT",
                        "5",    "1A",
                        "100",  "AcDbEntity",
                        "8",    "0",
                        "100",  "AcDbMText",
                        "10",   "0",
                        "20",   "0",
                        "30",   "0",
                        "40",   "2.5",
                        "41",   "30",
                        "71",   "1",
                        "1",    "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod",
                        "1001", "ACAD",
                        "1000", "ACAD_MTEXT_COLUMN_INFO_BEGIN",
                        "1070", "75",
                        "1070", "1",
                        "1070", "76",
                        "1070", "3",
                        "1070", "48",
                        "1040", "10",
                        "1070", "49",
                        "1040", "2",
                        "1000", "ACAD_MTEXT_COLUMN_INFO_END",
                        "1001", "ACAD",
                        "1000", "ACAD_MTEXT_DEFINED_HEIGHT_BEGIN",
                        "1070", "46",
                        "1040", "5",
                        "1000", "ACAD_MTEXT_DEFINED_HEIGHT_END",
                        "0",    "ENDSEC",
                        "0",    "EOF"});
    Document given;
    ReadDxfText(given, givenTwice, "duas.dxf");
    EXPECT_EQ(MTextAt(given, 0).Data().columns.type, MTextColumnType::None);
    Document reread;
    ReadDxfText(reread, WriteDxfText(given), "duas2.dxf");
    EXPECT_EQ(MTextAt(reread, 0).Layout().columns.size(), MTextAt(given, 0).Layout().columns.size());
    EXPECT_EQ(MTextAt(reread, 0).Layout().runs.size(), MTextAt(given, 0).Layout().runs.size());
}

// The background fill (90 bit 1, in colour 63) and the frame (bit 16) are
// drawn round the text's box, half a height past it (45 = 1.5): the fill
// beneath, the frame's four sides in the text's colour. The box holds them,
// the frame's corners are snapped to, and saving keeps them.
TEST(DxfForeign, MTextBackgroundFillAndFrameAreDrawnAndKept)
{
    Document doc;
    ReadForeign(doc, "mtext_frame_fill.dxf");
    MText& filled = MTextAt(doc, 0);
    MText& framed = MTextAt(doc, 1);
    ASSERT_TRUE(filled.HasBackgroundFill());
    EXPECT_FALSE(framed.HasBackgroundFill());
    Gathered fill, content;
    filled.EmitBackground(fill, Transform());
    filled.EmitContent(content, Transform());
    ASSERT_EQ(fill.fills.size(), 1u);
    const std::vector<Point3d> ring = fill.fills[0];
    const int lines = static_cast<int>(filled.Layout().runs.size());
    const double bottom = -(2.5 + (lines - 1) * kPitch) - 1.25;
    const std::vector<Point3d> expected{{-1.25, bottom, 0}, {31.25, bottom, 0}, {31.25, 1.25, 0}, {-1.25, 1.25, 0}};
    ASSERT_EQ(ring.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(ring[k].x, expected[k].x, 1e-9) << k;
        EXPECT_NEAR(ring[k].y, expected[k].y, 1e-9) << k;
    }
    EXPECT_TRUE(content.segments.empty());  // filled, not framed
    EXPECT_EQ(content.texts.front(), "PV-12 cota");
    Point3d lo, hi;
    filled.GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, -1.25, 1e-9);
    EXPECT_NEAR(hi.x, 31.25, 1e-9);
    EXPECT_NEAR(hi.y, 1.25, 1e-9);
    EXPECT_NEAR(lo.y, bottom, 1e-9);
    EXPECT_TRUE(CrossesBox(filled, Box::Around({30.5, 0.5, 0}, 0.1)));  // on the fill, off the letters

    Gathered frame;
    framed.Emit(frame, Transform());
    ASSERT_EQ(frame.segments.size(), 4u);
    EXPECT_TRUE(frame.fills.empty());
    framed.GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 31.25, 1e-9);
    EXPECT_NEAR(hi.y, -18.75, 1e-9);
    // The frame's corner is an end point to snap to.
    doc.SetVariable("OSMODE", 1);
    doc.ActiveView().SetCenter({31, -19, 0});
    doc.ActiveView().SetHeight(0.01 * doc.ScreenHeight());
    const Point3d corner = input::Snap(doc, {31.2, -18.8, 0});
    EXPECT_NEAR(corner.x, 31.25, 1e-12);
    EXPECT_NEAR(corner.y, -18.75, 1e-12);

    const SavedFile saved(WriteDxfText(doc));
    const auto record = saved.Record(filled.Handle());
    EXPECT_TRUE(HasGroup(record, 90, "1"));
    EXPECT_TRUE(HasGroup(record, 63, "1"));
    EXPECT_TRUE(HasGroup(record, 45, "1.5"));
    EXPECT_TRUE(HasGroup(saved.Record(framed.Handle()), 90, "16"));
    Document back;
    ReadDxfText(back, WriteDxfText(doc), "fundo.dxf");
    EXPECT_TRUE(MTextAt(back, 0).HasBackgroundFill());
    EXPECT_EQ(MTextAt(back, 1).Data().background, MTextBackground::Frame);
}

// "^J" breaks the line and "^I" moves to the next tab stop (every 4 heights);
// neither is drawn as written, and both are saved as read.
TEST(DxfForeign, MTextCaretCodesAreALineBreakAndATab)
{
    Document doc;
    ReadForeign(doc, "mtext_carets.dxf");
    MText& m = MTextAt(doc, 0);
    const MTextLayout l = m.Layout();
    std::vector<std::string> runs;
    for (const MTextRun& r : l.runs) runs.push_back(RunText(l, r));
    EXPECT_EQ(runs, (std::vector<std::string>{"TRECHO 12", "DN 150", "PVC", "extensao 48,5 m"}));
    EXPECT_NEAR(l.runs[1].y, -2.5 - kPitch, 1e-9);
    EXPECT_NEAR(l.runs[2].y, -2.5 - kPitch, 1e-9);
    // "DN 150" is 12.8 wide: past the stop at 10, the tab goes on to 20.
    EXPECT_GT(l.runs[1].width, 10.0);
    EXPECT_NEAR(l.runs[2].x, 20.0, 1e-9);
    EXPECT_NEAR(l.runs[3].y, -2.5 - 2 * kPitch, 1e-9);
    EXPECT_EQ(m.TextString(), "TRECHO 12^JDN 150^IPVC^Jextensao 48,5 m");
    EXPECT_TRUE(HasGroup(SavedFile(WriteDxfText(doc)).Record(m.Handle()), 1, m.TextString()));
}

// Texts are as wide as the letters of their faces: a centred or right-aligned
// Arial text sits where its letters end, a fitted one fills its two points,
// and a shape font's letters are as wide as DejaVu Sans's. The widths are the
// faces' own (font units over the cap height), the same on every machine.
TEST(DxfForeign, TextsAreAsWideAsTheLettersOfTheirFaces)
{
    Document doc;
    ReadForeign(doc, "text_widths.dxf");
    Point3d lo, hi;
    // "Rua Professor Alves 1234" in Arial: 23,792 units of 2048, capitals 1409 high.
    doc.ModelSpace().Item(0)->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x - lo.x, 2.5 * 23792 / 1409.0, 1e-9);
    EXPECT_NEAR((lo.x + hi.x) / 2, 50, 1e-9);
    doc.ModelSpace().Item(1)->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 50, 1e-9);
    EXPECT_NEAR(hi.x - lo.x, 2.5 * 24817 / 1409.0, 1e-9);
    // Fitted: as long as its two points are apart, as high as it was.
    doc.ModelSpace().Item(2)->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, 0, 1e-9);
    EXPECT_NEAR(hi.x, 60, 1e-9);
    EXPECT_NEAR(hi.y - lo.y, 2.5, 1e-9);
    // "Trecho 12 DN 150" in the shape font "txt": 18,607 units over DejaVu Sans's cap of 1493.
    doc.ModelSpace().Item(3)->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x - lo.x, 2.5 * 18607 / 1493.0, 1e-9);
    EXPECT_NEAR((lo.x + hi.x) / 2, 50, 1e-9);

    // The faces that stand in for the fonts drawings name.
    using TextMetrics::Face;
    EXPECT_EQ(TextMetrics::FaceFor("Arial", "", false, false), Face::Sans);
    EXPECT_EQ(TextMetrics::FaceFor("Arial", "", true, true), Face::SansBoldItalic);
    EXPECT_EQ(TextMetrics::FaceFor("", "ARIALBD.TTF", false, false), Face::SansBold);
    EXPECT_EQ(TextMetrics::FaceFor("Arial Narrow", "", false, false), Face::SansNarrow);
    EXPECT_EQ(TextMetrics::FaceFor("Times New Roman", "", false, true), Face::SerifItalic);
    EXPECT_EQ(TextMetrics::FaceFor("", "C:\\Windows\\Fonts\\cour.ttf", false, false), Face::Mono);
    EXPECT_EQ(TextMetrics::FaceFor("Calibri", "", false, false), Face::Sans);  // no known widths: Arial's
    EXPECT_EQ(TextMetrics::FaceFor("", "romans.shx", false, false), Face::Shape);
    EXPECT_EQ(TextMetrics::FaceFor("", "txt", false, false), Face::Shape);
    // Letters beyond the table: East Asian ones a whole em, others the face's mean.
    EXPECT_NEAR(TextMetrics::Advance(Face::Sans, U'\u6C34'), 2048 / 1409.0, 1e-12);
    EXPECT_NEAR(TextMetrics::Advance(Face::Sans, U'\u0E01'), TextMetrics::Advance(Face::Sans, U'\U00010400'), 1e-12);
    EXPECT_EQ(TextMetrics::Advance(Face::Sans, U'\u0007'), 0.0);
}

// "%%c" Ø, "%%d" °, "%%p" ±, "%%%" %, "%%nnn" a character of the code page,
// and the "%%u" and "%%o" toggles are drawn as what they stand for in a text,
// an attribute, a constant attribute definition, a dimension and a multi-line
// text: the letters drawn, boxes and alignment points as wide as those letters
// (so a crossing just past them misses), under- and overlines as lines a fifth
// of the height off the letters. The texts keep their codes, and save them.
TEST(DxfForeign, TextCodesAreDrawnAsWhatTheyStandFor)
{
    Document doc;
    ReadForeign(doc, "text_codes.dxf");
    using TextMetrics::Face;
    auto wide = [](const char* letters) { return 2.5 * TextMetrics::Width(Face::Shape, letters); };
    auto gather = [](const Entity& e) {
        Gathered g;
        e.Emit(g, Transform());
        return g;
    };
    Point3d lo, hi;

    Entity& dn = *doc.ModelSpace().Item(0);
    Gathered g = gather(dn);
    EXPECT_EQ(g.texts, std::vector<std::string>{"DN \u00D8150"});
    EXPECT_TRUE(g.segments.empty());
    dn.GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x - lo.x, wide("DN \u00D8150"), 1e-9);
    EXPECT_LT(wide("DN \u00D8150") + 1, wide("DN %%c150"));
    EXPECT_FALSE(CrossesBox(dn, Box::Around({wide("DN \u00D8150") + 0.5, 1, 0}, 0.2)));
    // The work of drawing it counts the seven letters drawn, not the nine written.
    EXPECT_DOUBLE_EQ(Pieces(dn, 10, 1e9), 1 + 7 / 8.0 + 1 + 7);

    // Centred on 30 by its drawn letters, its first words underlined below them.
    Entity& street = *doc.ModelSpace().Item(1);
    g = gather(street);
    const std::string drawn = "Rua das Flores 45\u00B0 \u00B10,5 100%";
    ASSERT_EQ(g.texts, std::vector<std::string>{drawn});
    street.GetBoundingBox(lo, hi);
    EXPECT_NEAR((lo.x + hi.x) / 2, 30, 1e-9);
    EXPECT_NEAR(hi.x - lo.x, wide(drawn.c_str()), 1e-9);
    EXPECT_NEAR(lo.y, -6 - 0.5, 1e-9);  // the underline is within the box
    ASSERT_EQ(g.segments.size(), 1u);
    const auto [u0, u1] = g.segments[0];
    EXPECT_NEAR(u0.x, lo.x, 1e-9);
    EXPECT_NEAR(u1.x, lo.x + wide("Rua das Flores"), 1e-9);
    EXPECT_NEAR(u0.y, -6.5, 1e-9);
    EXPECT_NEAR(u1.y, -6.5, 1e-9);
    EXPECT_TRUE(CrossesBox(street, Box::Around({lo.x + 1, -6.5, 0}, 0.05)));  // on the underline, under the letters

    // Right-aligned on 60: "%%216" is an Ø, and the overline ends at the text's end.
    Entity& pipe = *doc.ModelSpace().Item(2);
    g = gather(pipe);
    ASSERT_EQ(g.texts, std::vector<std::string>{"TUBO \u00D8200 CT"});
    pipe.GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 60, 1e-9);
    EXPECT_NEAR(lo.x, 60 - wide("TUBO \u00D8200 CT"), 1e-9);
    EXPECT_NEAR(hi.y, -12 + 3, 1e-9);
    ASSERT_EQ(g.segments.size(), 1u);
    EXPECT_NEAR(g.segments[0].first.x, 60 - wide("CT"), 1e-9);
    EXPECT_NEAR(g.segments[0].second.x, 60, 1e-9);
    EXPECT_NEAR(g.segments[0].first.y, -9, 1e-9);

    // The reference draws its attribute and its constant definition's value.
    auto* ref = dynamic_cast<BlockReference*>(doc.ModelSpace().Item(3));
    ASSERT_NE(ref, nullptr);
    AttributeReference* attribute = ref->GetAttributes().at(0);
    EXPECT_EQ(gather(*attribute).texts, std::vector<std::string>{"\u00D8200"});
    attribute->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x - lo.x, wide("\u00D8200"), 1e-9);
    g = gather(*ref);
    EXPECT_NE(std::find(g.texts.begin(), g.texts.end(), "PVC \u00B11"), g.texts.end());
    EXPECT_EQ(std::count(g.texts.begin(), g.texts.end(), "\u00D8200"), 1);

    // The dimension's own text.
    g = gather(*doc.ModelSpace().Item(4));
    ASSERT_EQ(g.texts.size(), 1u);
    EXPECT_EQ(g.texts[0].rfind("\u00D840", 0), 0u) << g.texts[0];

    // The multi-line text: the same letters, "PVC" underlined.
    MText& m = MTextAt(doc, 5);
    const MTextLayout l = m.Layout();
    ASSERT_EQ(l.runs.size(), 2u);
    EXPECT_EQ(RunText(l, l.runs[0]), "DN \u00D8150 \u00B10,5");
    EXPECT_EQ(RunText(l, l.runs[1]), "PVC");
    EXPECT_TRUE(l.runs[1].underline);
    EXPECT_NEAR(l.runs[1].x, wide("DN \u00D8150 \u00B10,5 "), 1e-9);
    g = gather(m);
    ASSERT_EQ(g.segments.size(), 1u);
    EXPECT_NEAR(g.segments[0].first.x, l.runs[1].x, 1e-9);
    EXPECT_NEAR(g.segments[0].second.x, l.runs[1].x + wide("PVC"), 1e-9);
    EXPECT_NEAR(g.segments[0].first.y, -36 - 2.5 - 0.5, 1e-9);

    // Kept as written, and saved so.
    EXPECT_EQ(static_cast<Text&>(dn).TextString(), "DN %%c150");
    EXPECT_EQ(attribute->TextString(), "%%c200");
    const SavedFile saved(WriteDxfText(doc));
    EXPECT_TRUE(HasGroup(saved.Record(dn.Handle()), 1, "DN %%c150"));
    EXPECT_TRUE(HasGroup(saved.Record(street.Handle()), 1, "%%uRua das Flores%%u 45%%d %%p0,5 100%%%"));
    EXPECT_TRUE(HasGroup(saved.Record(attribute->Handle()), 1, "%%c200"));
    EXPECT_TRUE(HasGroup(saved.Record(m.Handle()), 1, "DN %%c150 %%p0,5 %%uPVC%%u"));
    Document back;
    ReadDxfText(back, WriteDxfText(doc), "codigos.dxf");
    back.ModelSpace().Item(1)->GetBoundingBox(lo, hi);
    EXPECT_NEAR((lo.x + hi.x) / 2, 30, 1e-9);
}

// A format code ends where its argument ends, ";" or not: in
// "{\C1invidunt ut labore} et dolore" the letters after "\C1" are drawn, in
// red, and the paragraphs after it are not lost. Paragraphs are centred
// ("\pxqc;") and right-aligned ("\pxqr;") in the text's width; letters take
// their inline colours ("\C", "\c" its red in the lowest byte), "\L" and "\O"
// draw under- and overlines. No code, however written, drops a letter.
TEST(DxfForeign, MTextCodesEndWhereTheirArgumentsEnd)
{
    Document doc;
    ReadForeign(doc, "mtext_codes.dxf");
    MText& m = MTextAt(doc, 0);
    const MTextLayout l = m.Layout();
    std::vector<std::string> runs;
    for (const MTextRun& r : l.runs) runs.push_back(RunText(l, r));
    EXPECT_EQ(runs, (std::vector<std::string>{"Lorem", "invidunt ut labore", "et dolore mag", "na al", "iquyam",
                                              "centrado", "azul", "direita", "alto", "sublinhado", "e", "sobre"}));
    ASSERT_EQ(l.runs.size(), 12u);
    const std::vector<int> colors{-1, 1, -1, 3, -1, -1, Color::TrueColor | 0x0000FF, -1, -1, -1, -1, -1};
    for (std::size_t i = 0; i < l.runs.size(); ++i) EXPECT_EQ(l.runs[i].color, colors[i]) << runs[i];
    using TextMetrics::Face;
    const double space = 2.5 * TextMetrics::Advance(Face::Shape, ' ');
    // The first line's runs follow one another, "mag" and "na" with no space between.
    EXPECT_NEAR(l.runs[1].x, l.runs[0].width + space, 1e-9);
    EXPECT_NEAR(l.runs[3].x, l.runs[2].x + l.runs[2].width, 1e-9);
    EXPECT_NEAR(l.runs[4].x, l.runs[3].x + l.runs[3].width, 1e-9);
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(l.runs[i].y, -2.5, 1e-9);
    // Centred in the width of 100, and right-aligned to it.
    const double centred = l.runs[6].x + l.runs[6].width - l.runs[5].x;
    EXPECT_NEAR(l.runs[5].x, (100 - centred) / 2, 1e-9);
    EXPECT_NEAR(l.runs[5].y, -2.5 - kPitch, 1e-9);
    EXPECT_NEAR(l.runs[8].x + l.runs[8].width, 100, 1e-9);
    // "\H2x" then "alto": twice as high, not a number "2xalto".
    EXPECT_NEAR(l.runs[8].height, 5, 1e-12);
    EXPECT_EQ(l.runs[9].x, 0);
    EXPECT_TRUE(l.runs[9].underline);
    EXPECT_FALSE(l.runs[10].underline || l.runs[10].overline);
    EXPECT_TRUE(l.runs[11].overline);

    Gathered g;
    m.Emit(g, Transform());
    EXPECT_EQ(g.colors, colors);
    ASSERT_EQ(g.segments.size(), 2u);
    const MTextRun& under = l.runs[9];
    EXPECT_NEAR(g.segments[0].first.x, under.x, 1e-9);
    EXPECT_NEAR(g.segments[0].second.x, under.x + under.width, 1e-9);
    EXPECT_NEAR(g.segments[0].first.y, under.y - 0.5, 1e-9);
    const MTextRun& over = l.runs[11];
    EXPECT_NEAR(g.segments[1].first.x, over.x, 1e-9);
    EXPECT_NEAR(g.segments[1].first.y, over.y + 3, 1e-9);
    const std::string written = m.TextString();
    EXPECT_TRUE(HasGroup(SavedFile(WriteDxfText(doc)).Record(m.Handle()), 1, written));

    // Whatever a code is followed by, the letters after it are drawn.
    for (const char* code : {"\\H2.5",      "\\H0.5x",       "\\W0.8",  "\\Q15",  "\\T1.1x",
                             "\\A1",        "\\C1",          "\\c255",  "\\pxqc", "\\pxi-3,l3,t3,6",
                             "\\fArial|b1", "\\Fromans.shx", "\\S1/2 ", "\\H",    "\\C",
                             "\\p",         "\\S",           "%%",      "%%1",    "\\M+1",
                             "\\U+"}) {
        MText* t = doc.ModelSpace().AddMText({0, 50, 0}, 0, std::string(code) + "Lorem ipsum\\Pdolor");
        const MTextLayout tl = t->Layout();
        EXPECT_NE(tl.letters.find("Lorem ipsum"), std::string::npos) << code << ": " << tl.letters;
        EXPECT_NE(tl.letters.find("dolor"), std::string::npos) << code << ": " << tl.letters;
        ASSERT_FALSE(tl.runs.empty());
        EXPECT_NEAR(tl.runs.back().y, tl.runs.front().y - (tl.runs.front().height * 5 / 3), 1e-9) << code;
    }
}

// A multi-line text lies where its attachment puts it: attached at the top, in
// the middle or at the bottom (71 = 1..3, 4..6, 7..9), its box's top, middle
// or bottom at the insertion point, and its left, centre or right by the
// column of the attachment. Three static columns 30 wide, 7.5 apart, are
// 105 wide in all, whether the text holds them (2018) or its extended data
// does (earlier files).
TEST(DxfForeign, MTextAttachmentsPlaceItsBoxAroundTheInsertionPoint)
{
    Document doc;
    ReadForeign(doc, "mtext_attachments.dxf");
    const double w = 2.5 * TextMetrics::Width(TextMetrics::Face::Shape, "PV-12");
    for (int a = 1; a <= 9; ++a) {
        MText& m = MTextAt(doc, a - 1);
        ASSERT_EQ(m.AttachmentPoint(), a);
        const Point3d at = m.InsertionPoint();
        Point3d lo, hi;
        m.GetBoundingBox(lo, hi);
        const int column = (a - 1) % 3, row = (a - 1) / 3;
        EXPECT_NEAR(lo.x, at.x - w * column / 2, 1e-9) << a;
        EXPECT_NEAR(hi.x, at.x + w * (2 - column) / 2, 1e-9) << a;
        EXPECT_NEAR(hi.y, at.y + 2.5 * row / 2, 1e-9) << a;
        EXPECT_NEAR(lo.y, at.y - 2.5 * (2 - row) / 2, 1e-9) << a;
    }
    // Bottom right, and middle right.
    for (int i : {9, 10}) {
        MText& m = MTextAt(doc, i);
        const MTextLayout l = m.Layout();
        ASSERT_EQ(l.columns.size(), 3u) << i;
        const double top = i == 9 ? 45 : 22.5;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(l.columns[k].left, -105 + 37.5 * k, 1e-9) << i << " " << k;
            EXPECT_NEAR(l.columns[k].right, -105 + 37.5 * k + 30, 1e-9) << i << " " << k;
            EXPECT_NEAR(l.columns[k].top, top, 1e-9) << i << " " << k;
            EXPECT_NEAR(l.columns[k].bottom, top - 45, 1e-9) << i << " " << k;
        }
        // Attached at the right, its lines end at their column's right.
        EXPECT_NEAR(l.runs.front().x + l.runs.front().width, -75, 1e-9) << i;
        EXPECT_NEAR(l.runs.front().y, top - 2.5, 1e-9) << i;
        Point3d lo, hi;
        m.GetBoundingBox(lo, hi);
        EXPECT_NEAR(hi.x, 200, 1e-9) << i;
        EXPECT_GE(lo.x, 200 - 105 - 1e-9) << i;
        EXPECT_LT(lo.x, 200 - 100) << i;
    }
}
