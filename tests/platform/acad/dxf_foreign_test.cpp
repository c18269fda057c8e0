// Drawings written by other programs in the AC1015 layout: reactors, extension
// dictionaries, classes, objects and sections the host does not keep, kinds it
// does not model, layouts with their own names, and handles of their own.

#include <gtest/gtest.h>

#include <set>

#include "CoreTestUtil.h"
#include "dxf_test_text.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

using namespace acad;

namespace {

std::string Groups(std::initializer_list<std::string> items)
{
    return dxf_test::Join(items);
}

std::string PlotSettings()
{
    return Groups({"100", "AcDbPlotSettings", "1", "", "2", "none_device", "4", "A1", "6", "", "40", "0", "41", "0",
                   "42", "0", "43", "0", "44", "841", "45", "594", "46", "0", "47", "0", "48", "0", "49", "0", "140",
                   "0", "141", "0", "142", "1", "143", "1", "70", "688", "72", "1", "73", "0", "74", "5", "7", "",
                   "75", "16", "147", "1", "148", "0", "149", "0"});
}

// A file in the shape a CAD program writes: its own handles (one equal to a
// handle of the host's new drawing), reactors and an extension dictionary, a
// rotated dimension with its picture, a polyface mesh, a paper layout named
// "Prancha A1", and objects and sections the host does not keep.
std::string ForeignFile()
{
    std::string s = Groups({"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "9", "$HANDSEED", "5",
                            "30", "9", "$CLAYER", "8", "PISTA", "9", "$TILEMODE", "70", "0", "9", "$INSBASE", "10",
                            "5", "20", "6", "30", "0", "9", "$UNKNOWNVAR", "40", "1.5", "0", "ENDSEC"});
    s += Groups({"0", "SECTION", "2", "CLASSES", "0", "CLASS", "1", "ACDBDICTIONARYWDFLT", "2",
                 "AcDbDictionaryWithDefault", "3", "ObjectDBX Classes", "90", "0", "280", "0", "281", "0", "0",
                 "ENDSEC"});
    s += Groups({"0", "SECTION", "2", "TABLES",
                 "0", "TABLE", "2", "LAYER", "5", "2", "330", "0", "100", "AcDbSymbolTable", "70", "2",
                 "0", "LAYER", "5", "10", "330", "2", "100", "AcDbSymbolTableRecord", "100", "AcDbLayerTableRecord",
                 "2", "0", "70", "0", "62", "7", "6", "Continuous",
                 "0", "LAYER", "5", "11", "330", "2", "100", "AcDbSymbolTableRecord", "100", "AcDbLayerTableRecord",
                 "2", "PISTA", "70", "4", "62", "-5", "6", "Continuous", "0", "ENDTAB",
                 "0", "TABLE", "2", "BLOCK_RECORD", "5", "1", "330", "0", "100", "AcDbSymbolTable", "70", "3",
                 "0", "BLOCK_RECORD", "5", "1F", "330", "1", "100", "AcDbSymbolTableRecord", "100",
                 "AcDbBlockTableRecord", "2", "*Model_Space", "340", "22",
                 "0", "BLOCK_RECORD", "5", "1B", "330", "1", "100", "AcDbSymbolTableRecord", "100",
                 "AcDbBlockTableRecord", "2", "*Paper_Space", "340", "1E",
                 "0", "BLOCK_RECORD", "5", "23", "330", "1", "100", "AcDbSymbolTableRecord", "100",
                 "AcDbBlockTableRecord", "2", "*D1", "0", "ENDTAB", "0", "ENDSEC"});
    s += Groups({"0", "SECTION", "2", "BLOCKS",
                 "0", "BLOCK", "5", "20", "330", "1F", "100", "AcDbEntity", "8", "0", "100", "AcDbBlockBegin", "2",
                 "*Model_Space", "70", "0", "10", "0", "20", "0", "30", "0", "3", "*Model_Space", "1", "",
                 "0", "ENDBLK", "5", "21", "330", "1F", "100", "AcDbEntity", "8", "0", "100", "AcDbBlockEnd",
                 "0", "BLOCK", "5", "1C", "330", "1B", "100", "AcDbEntity", "67", "1", "8", "0", "100",
                 "AcDbBlockBegin", "2", "*Paper_Space", "70", "0", "10", "0", "20", "0", "30", "0", "3",
                 "*Paper_Space", "1", "",
                 "0", "ENDBLK", "5", "1D", "330", "1B", "100", "AcDbEntity", "67", "1", "8", "0", "100",
                 "AcDbBlockEnd",
                 "0", "BLOCK", "5", "24", "330", "23", "100", "AcDbEntity", "8", "0", "100", "AcDbBlockBegin", "2",
                 "*D1", "70", "1", "10", "0", "20", "0", "30", "0", "3", "*D1", "1", "",
                 "0", "LINE", "5", "25", "330", "23", "100", "AcDbEntity", "8", "0", "100", "AcDbLine", "10", "0",
                 "20", "0", "30", "0", "11", "5", "21", "0", "31", "0",
                 "0", "ENDBLK", "5", "26", "330", "23", "100", "AcDbEntity", "8", "0", "100", "AcDbBlockEnd", "0",
                 "ENDSEC"});
    s += Groups({"0", "SECTION", "2", "ENTITIES",
                 "0", "LINE", "5", "1", "102", "{ACAD_XDICTIONARY", "360", "27", "102", "}", "330", "1F", "100",
                 "AcDbEntity", "8", "PISTA", "100", "AcDbLine", "10", "0", "20", "0", "30", "0", "11", "10", "21",
                 "0", "31", "0",
                 "0", "DIMENSION", "5", "28", "102", "{ACAD_REACTORS", "330", "99", "102", "}", "330", "1F", "100",
                 "AcDbEntity", "8", "0", "100", "AcDbDimension", "2", "*D1", "10", "5", "20", "2", "30", "0", "11",
                 "2.5", "21", "2", "31", "0", "70", "32", "3", "Standard", "100", "AcDbAlignedDimension", "13", "0",
                 "23", "0", "33", "0", "14", "5", "24", "0", "34", "0", "50", "0", "100", "AcDbRotatedDimension",
                 "0", "POLYLINE", "5", "29", "330", "1F", "100", "AcDbEntity", "8", "0", "100", "AcDbPolyFaceMesh",
                 "66", "1", "10", "0", "20", "0", "30", "0", "70", "64", "71", "3", "72", "1",
                 "0", "VERTEX", "5", "2A", "330", "29", "100", "AcDbEntity", "8", "0", "100", "AcDbVertex", "100",
                 "AcDbPolyFaceMeshVertex", "10", "0", "20", "0", "30", "0", "70", "192",
                 "0", "VERTEX", "5", "2B", "330", "29", "100", "AcDbEntity", "8", "0", "100", "AcDbVertex", "100",
                 "AcDbPolyFaceMeshVertex", "10", "1", "20", "0", "30", "0", "70", "192",
                 "0", "VERTEX", "5", "2C", "330", "29", "100", "AcDbEntity", "8", "0", "100", "AcDbVertex", "100",
                 "AcDbPolyFaceMeshVertex", "10", "0", "20", "1", "30", "0", "70", "192",
                 "0", "VERTEX", "5", "2D", "330", "29", "100", "AcDbEntity", "8", "0", "100", "AcDbFaceRecord",
                 "10", "0", "20", "0", "30", "0", "70", "128", "71", "1", "72", "2", "73", "3",
                 "0", "SEQEND", "5", "2E", "330", "29", "100", "AcDbEntity", "8", "0",
                 "0", "TEXT", "5", "2F", "330", "1B", "100", "AcDbEntity", "67", "1", "8", "0", "100", "AcDbText",
                 "10", "1", "20", "1", "30", "0", "40", "2", "1", "folha", "100", "AcDbText", "0", "ENDSEC"});
    s += Groups({"0", "SECTION", "2", "OBJECTS",
                 "0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "281", "1", "3", "ACAD_GROUP",
                 "350", "D", "3", "ACAD_LAYOUT", "350", "1A",
                 "0", "DICTIONARY", "5", "D", "102", "{ACAD_REACTORS", "330", "C", "102", "}", "330", "C", "100",
                 "AcDbDictionary", "281", "1",
                 "0", "DICTIONARY", "5", "1A", "102", "{ACAD_REACTORS", "330", "C", "102", "}", "330", "C", "100",
                 "AcDbDictionary", "281", "1", "3", "Model", "350", "22", "3", "Prancha A1", "350", "1E",
                 "0", "LAYOUT", "5", "22", "102", "{ACAD_REACTORS", "330", "1A", "102", "}", "330", "1A"});
    s += PlotSettings();
    s += Groups({"100", "AcDbLayout", "1", "Model", "70", "1", "71", "0", "10", "0", "20", "0", "11", "12", "21", "9",
                 "12", "0", "22", "0", "32", "0", "14", "0", "24", "0", "34", "0", "15", "0", "25", "0", "35", "0",
                 "146", "0", "13", "0", "23", "0", "33", "0", "16", "1", "26", "0", "36", "0", "17", "0", "27", "1",
                 "37", "0", "76", "0", "330", "1F",
                 "0", "LAYOUT", "5", "1E", "102", "{ACAD_REACTORS", "330", "1A", "102", "}", "330", "1A"});
    s += PlotSettings();
    s += Groups({"100", "AcDbLayout", "1", "Prancha A1", "70", "1", "71", "1", "10", "0", "20", "0", "11", "841",
                 "21", "594", "12", "0", "22", "0", "32", "0", "14", "0", "24", "0", "34", "0", "15", "0", "25", "0",
                 "35", "0", "146", "0", "13", "0", "23", "0", "33", "0", "16", "1", "26", "0", "36", "0", "17", "0",
                 "27", "1", "37", "0", "76", "0", "330", "1B",
                 "0", "DICTIONARY", "5", "27", "330", "1", "100", "AcDbDictionary", "280", "1", "3", "DADOS", "360",
                 "2F0",
                 "0", "XRECORD", "5", "2F0", "330", "27", "100", "AcDbXrecord", "280", "1", "1", "dado", "0",
                 "ENDSEC",
                 "0", "SECTION", "2", "THUMBNAILIMAGE", "90", "4", "310", "01020304", "0", "ENDSEC", "0", "EOF"});
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
    const std::string forms = Groups({"0", "SECTION", "2", "ENTITIES", "0", "CIRCLE", "10", "+1.5E+2", "20", "-2,5",
                                      "30", ".5", "40", "1.", "62", "3.0", "0", "ENDSEC", "0", "EOF"});
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
}
