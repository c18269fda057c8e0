// A drawing saved as DXF and read back is the same drawing: every entity kind,
// extended data, attributes, handles, tables, blocks, layouts and viewports.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/DxfText.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/SystemVariables.h"

using namespace acad;

namespace {

// Every kind of object the host keeps, with the properties a file must carry.
void BuildDrawing(Document& doc, const std::filesystem::path& xrefFile)
{
    Block& ms = doc.ModelSpace();
    Linetype* dashed = doc.Linetypes().Add("TRACEJADA");
    dashed->SetDescription("__ __ __");
    dashed->SetPattern({0.5, -0.25, 0.0, -0.25});
    Layer* rede = doc.Layers().Add("REDE");
    rede->SetColor(1);
    rede->SetLinetype("TRACEJADA");
    rede->SetLineweight(35);
    doc.Layers().Add("DESLIGADO")->SetLayerOn(false);
    doc.Layers().Add("CONGELADO")->SetFreeze(true);
    doc.Layers().Add("NÃO PLOTA")->SetPlottable(false);
    TextStyle* romans = doc.TextStyles().Add("ROMANS");
    romans->SetFontFile("romans.shx");
    romans->SetWidth(0.8);
    doc.TextStyles().Add("ARIAL")->SetFont("Arial", true, false, 0, 34);

    Block* pv = doc.Blocks().Add({1, 2, 0}, "E-PV");
    pv->AddCircle({0, 0, 0}, 1.0);
    pv->AddAttribute(1.5, 0, "", {2, 0, 0}, "NOME", "");
    pv->AddAttribute(1.0, AttributeMode::Invisible, "Cota do terreno", {2, -2, 0}, "CT", "0,00");

    Point* pt = ms.AddPoint({1.25, 2.5, 3.75});
    pt->SetXData({1001, 1000, 1000}, {Variant("P-17"), Variant("102.35"), Variant("marco de concreto")});
    Line* line = ms.AddLine({0, 0, 0}, {100.125, -3.0e-7, 12});
    line->SetLayer("REDE");
    line->SetColor(3);
    line->SetLinetypeScale(2.5);
    line->SetXData({1001, 1000, 1002, 1070, 1071, 1040, 1010, 1005, 1002, 1001, 1000},
                   {Variant("NUMEROTRE"), Variant("T-1"), Variant("{"), Variant(12), Variant(123456789), Variant(0.1),
                    Variant(Point3d{1, 2, 3}), Variant("1F"), Variant("}"), Variant("SEGUNDA"), Variant("ação")});
    ms.AddCircle({5, 5, 0}, 2.5)->SetLinetype("TRACEJADA");
    ms.AddArc({0, 0, 0}, 10, 0.25, kPi * 1.5);
    ms.AddEllipse({20, 20, 0}, {5, 1, 0}, 0.4);

    Text* text = ms.AddText("Código Ç nº 1", {10, 10, 0}, 2.5);
    text->SetStyleName("ROMANS");
    text->SetRotation(kPi / 2);
    text->SetAlignment(Alignment::BottomCenter);
    text->SetTextAlignmentPoint({12, 10, 0});
    Text* left = ms.AddText("esquerda", {-5, -5, 0}, 1);
    left->SetStyleName("ARIAL");
    left->SetVisible(false);
    std::string longText;
    for (int i = 0; i < 40; ++i) longText += "linha " + std::to_string(i) + " ação\\P";
    ms.AddMText({0, 50, 0}, 30, longText)->SetRotation(0.3);

    LWPolyline* lw = ms.AddLightWeightPolyline({0, 0, 10, 0, 10, 10, 0, 10});
    lw->SetBulge(1, 0.5);
    lw->SetWidth(0, 0.0, 1.5);
    lw->SetClosed(true);
    lw->SetElevation(7.5);
    Polyline2D* fit = ms.AddPolyline({0, 0, 2, 5, 5, 2, 10, 0, 2, 15, 5, 2});
    fit->SetType(PolylineType::CubicSpline);
    Polyline2D* wide = ms.AddPolyline({0, 0, 0, 5, 0, 0, 5, 5, 0});
    wide->SetBulge(0, -0.25);
    wide->SetConstantWidth(0.5);
    ms.Add3DPoly({0, 0, 0, 1, 1, 1, 2, 0, 2})->SetClosed(true);
    Spline* spline = ms.AddSpline({0, 0, 0, 5, 5, 0, 10, 0, 0, 15, -5, 0}, {1, 0, 0}, {0, 0, 0});
    spline->ElevateOrder(6);

    Hatch* solid = ms.AddHatch(HatchPatternType::PreDefined, "SOLID", true);
    solid->SetLayer("REDE");
    solid->AppendOuterLoop({lw});
    solid->AppendInnerLoop({ms.AddCircle({5, 5, 0}, 1)});
    HatchData edges;
    edges.patternName = "ANSI31";
    edges.solid = false;
    edges.patternScale = 2;
    edges.patternAngle = kPi / 4;
    HatchLoop loop;
    loop.flags = HatchLoopType::External;
    HatchEdge a, b;
    a.start = {0, 0, 0};
    a.end = {10, 0, 0};
    b.kind = HatchEdge::ArcEdge;
    b.center = {5, 0, 0};
    b.radius = 5;
    b.startAngle = 0;
    b.endAngle = kPi;
    loop.edges = {a, b};
    edges.loops = {loop};
    edges.patternLines = {HatchPatternLine{kPi / 4, {0, 0, 0}, {-0.0883883, 0.0883883, 0}, {}}};
    edges.seedPoints = {{5, 1, 0}};
    ms.AddHatch(HatchPatternType::PreDefined, "ANSI31", false)->SetData(edges);

    BlockReference* ref = ms.InsertBlock({100, 100, 0}, "E-PV", 2, 2, 1, kPi / 6);
    ref->GetAttributes()[0]->SetTextString("PV-1");
    ref->GetAttributes()[1]->SetTextString("102,35");
    ref->SetXData({1001, 1000}, {Variant("7-12"), Variant("120")});
    ms.AddDimAligned({0, 0, 0}, {10, 0, 0}, {5, 2, 0});
    ms.Add3DFace({0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1});
    SolidData quad;
    quad.corners[1] = {1, 0, 0};
    quad.corners[2] = {0, 1, 0};
    quad.corners[3] = {1, 1, 0};
    ms.Append(std::make_unique<Solid>(doc, quad));
    ms.Append(std::make_unique<InfiniteLine>(doc, RayData{{3, 4, 0}, {0, 1, 0}}, true));
    ms.Append(std::make_unique<RawEntity>(doc, "REGION", "AcDbModelerGeometry",
                                          std::vector<RawGroup>{{100, "AcDbModelerGeometry"}, {70, "1"}}));

    ExternalReference* x = ms.AttachExternalReference(xrefFile.string(), "BASE", {0, 0, 0}, 1, 1, 1, 0, false);
    x->SetClipBoundary({{0, 0, 0}, {3, 3, 0}});

    doc.PaperSpace().AddLine({0, 0, 0}, {10, 10, 0});
    Layout* sheet = doc.Layouts().Add("Folha 2");
    sheet->SetTabOrder(2);
    PViewport* vp = sheet->Block().AddPViewport({5, 5, 0}, 8, 6);
    vp->Display(true);
    sheet->Block().AddText("carimbo", {1, 1, 0}, 0.25);

    doc.Layers().Add("TRAVADO")->SetLock(true);
    doc.SetVariable("OSMODE", 1);
    doc.SetVariable("LTSCALE", 100.0);
    doc.SetVariable("CECOLOR", "3");
    doc.SetActiveLayer(*rede);
}

std::filesystem::path XrefFile(const acadcore_test::TempDir& dir)
{
    Document base;
    base.Layers().Add("CONEXOES");
    base.ModelSpace().AddLine({0, 0, 0}, {5, 5, 0})->SetLayer("CONEXOES");
    auto path = dir / "base.dwg";
    WriteDxf(base, path);
    return path;
}

// The first line where two texts differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b)
{
    std::istringstream sa(a), sb(b);
    std::string la, lb;
    for (int n = 1;; ++n) {
        const bool ga = static_cast<bool>(std::getline(sa, la)), gb = static_cast<bool>(std::getline(sb, lb));
        if (!ga && !gb) return "";
        if (la != lb || ga != gb) return "line " + std::to_string(n) + ": \"" + la + "\" vs \"" + lb + "\"";
    }
}

// A drawing of one text whose value is `value`, lines ended by `eol`; the value is line 16.
std::string OneText(const std::string& value, const char* eol = "\n")
{
    std::string s;
    for (const std::string& l : {std::string("0"),  std::string("SECTION"), std::string("2"),  std::string("ENTITIES"),
                                 std::string("0"),  std::string("TEXT"),    std::string("8"),  std::string("0"),
                                 std::string("10"), std::string("5"),       std::string("20"), std::string("5"),
                                 std::string("40"), std::string("2.5"),     std::string("1"),  value,
                                 std::string("0"),  std::string("ENDSEC"),  std::string("0"),  std::string("EOF")})
        s += l + eol;
    return s;
}

std::string Repeat(const std::string& s, std::size_t n)
{
    std::string r;
    r.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i) r += s;
    return r;
}

// The description of the FileError that reading `text` gives ("" when it reads).
// The note of a file of one text whose value the reader does not take: the
// text is left out, and the note says why and at which line.
std::string LongNote(const std::string& text)
{
    Document doc;
    std::string note = ReadDxfText(doc, text, "longo.dxf");
    EXPECT_EQ(doc.ModelSpace().Count(), 0);
    return note;
}

std::string TextOf(const Document& doc)
{
    if (doc.ModelSpace().Count() == 0) return "(nada)";
    auto* t = dynamic_cast<const Text*>(doc.ModelSpace().Item(0));
    return t ? t->TextString() : "(não é um texto)";
}

// The longest line of a saved file, without its CR LF.
std::size_t LongestLine(const std::string& text)
{
    std::size_t longest = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        longest = std::max(longest, end - at);
        at = end + 2;
    }
    return longest;
}

// The values of groups 3 and 1 of the first multi-line text of a saved file, in order.
std::vector<std::string> MTextPieces(const std::string& text)
{
    std::vector<std::string> pieces;
    std::size_t at = text.find("\r\nMTEXT\r\n");
    if (at == std::string::npos) return pieces;
    at += 9;
    for (;;) {
        const std::size_t codeEnd = text.find("\r\n", at);
        const std::size_t valueEnd = text.find("\r\n", codeEnd + 2);
        if (codeEnd == std::string::npos || valueEnd == std::string::npos) break;
        const int code = std::stoi(text.substr(at, codeEnd - at));
        if (code == 0) break;
        if (code == 3 || code == 1) pieces.push_back(text.substr(codeEnd + 2, valueEnd - codeEnd - 2));
        at = valueEnd + 2;
    }
    return pieces;
}

// A drawing of every kind the host models, as a hand-written file gives them:
// no handles, values the reader turns into others (a direction of any length,
// angles in degrees, an ellipse with its axes swapped, a text's direction as
// a vector), a dimension with no picture, a viewport, attributes, vertices.
std::string OddValues()
{
    std::string s;
    for (const char* l :
         {"0", "SECTION", "2", "HEADER", "9", "$HANDSEED", "5", "FFFF", "0", "ENDSEC", "0", "SECTION", "2", "TABLES",
          "0", "TABLE", "2", "VPORT", "0", "VPORT", "2", "*ACTIVE", "12", "3.3", "22", "4.4", "40", "17.1", "50",
          "33.3", "0", "ENDTAB", "0", "TABLE", "2", "LAYER", "0", "LAYER", "2", "Defpoints", "62", "7", "0", "ENDTAB",
          "0", "ENDSEC", "0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "PV", "10", "0", "20", "0", "70", "2", "0",
          "ATTDEF", "10", "1", "20", "1", "40", "0.7", "1", "", "2", "NOME", "3", "Nome", "50", "12.7", "70", "0", "0",
          "CIRCLE", "10", "0", "20", "0", "40", "0.5", "0", "ENDBLK", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES",
          // A ray and a line without end, their directions of any length.
          "0", "RAY", "10", "1", "20", "2", "11", "1", "21", "-0.9614140793741277", "0", "XLINE", "10", "0", "20", "0",
          "11", "3", "21", "4.000000000000001", "31", "0.1",
          // Angles in degrees: an arc, a text, a reference with its attribute, a hatch.
          "0", "ARC", "10", "5", "20", "5", "40", "2.5", "50", "10.1", "51", "200.7", "0", "TEXT", "10", "1", "20", "1",
          "40", "2.5", "1", "PV-1", "50", "33.3", "51", "12.7", "0", "INSERT", "2", "PV", "10", "7", "20", "8", "41",
          "1.5", "50", "17.3", "66", "1", "0", "ATTRIB", "10", "8", "20", "9", "40", "0.7", "1", "PV-2", "2", "NOME",
          "50", "29.3", "70", "0", "0", "SEQEND", "0", "HATCH", "10", "0", "20", "0", "30", "0", "2", "ANSI31", "70",
          "0", "71", "0", "91", "1", "92", "1", "93", "2", "72", "2", "10", "0", "20", "0", "40", "3", "50", "0.7",
          "51", "180.3", "73", "1", "72", "1", "10", "-3", "20", "0", "11", "3", "21", "0", "97", "0", "75", "0", "76",
          "1", "52", "47.3", "41", "1.7", "78", "1", "53", "47.3", "43", "0", "44", "0", "45", "-0.1", "46", "0.1",
          "79", "0", "98", "0",
          // An ellipse with its axes the other way round; multi-line texts by direction and by angle.
          "0", "ELLIPSE", "10", "20", "20", "0", "11", "3", "21", "1", "40", "1.3", "41", "0.3", "42", "5.9", "0",
          "MTEXT", "10", "30", "20", "0", "40", "1", "41", "10", "71", "1", "1", "PV-3", "11", "0.6", "21", "0.1", "0",
          "MTEXT", "10", "30", "20", "5", "40", "1", "41", "10", "71", "1", "1", "PV-4", "50", "1.1",
          // Vertices, a lightweight polyline's bulges, a spline's knots and weights, a face, a solid.
          "0", "POLYLINE", "66", "1", "70", "1", "0", "VERTEX", "10", "0", "20", "0", "42", "0.3", "0", "VERTEX", "10",
          "4", "20", "0", "0", "VERTEX", "10", "4", "20", "4", "0", "SEQEND", "0", "LWPOLYLINE", "90", "3", "70", "0",
          "10", "0", "20", "10", "42", "-0.41421356", "10", "5", "20", "10", "10", "5", "20", "15", "0", "SPLINE", "70",
          "4", "71", "2", "72", "6", "73", "3", "40", "0", "40", "0", "40", "0", "40", "1", "40", "1", "40", "1", "41",
          "1", "41", "0.7071067811865476", "41", "1", "10", "0", "20", "20", "10", "1", "20", "21", "10", "2", "20",
          "20", "0", "3DFACE", "10", "0", "20", "30", "11", "1", "21", "30", "12", "1", "22", "31", "0", "SOLID", "10",
          "0", "20", "40", "11", "1", "21", "40", "12", "0", "22", "41", "0", "POINT", "10", "0.1", "20", "0.2", "30",
          "0.3",
          // A dimension whose picture is drawn here, its text turned; one whose
          // picture draws nothing (its points are one); a viewport on paper.
          "0", "DIMENSION", "10", "0", "20", "52", "11", "5", "21", "52", "70", "1", "53", "7.7", "13", "0", "23", "50",
          "14", "10", "24", "50", "0", "DIMENSION", "10", "50", "20", "0", "11", "59", "21", "9", "70", "1", "13", "0",
          "23", "0", "14", "0", "24", "0", "0", "VIEWPORT", "67", "1", "10", "5", "20", "5", "40", "8", "41", "6", "68",
          "2", "69", "2", "12", "3", "22", "4", "45", "6", "51", "21.1", "0", "ENDSEC", "0", "EOF"})
        s += std::string(l) + "\n";
    return s;
}

// Read, saved, read again and saved again: the two saves, byte for byte (the
// first line where they differ, "" when none).
std::string SecondSaveChanged(Document& first)
{
    const std::string saved = WriteDxfText(first);
    Document again;
    ReadDxfText(again, saved, "salvo.dxf");
    const std::string second = WriteDxfText(again);
    return FirstDifference(saved, second);
}

std::map<std::uint64_t, const AcadObject*> ByHandle(const Document& doc)
{
    std::map<std::uint64_t, const AcadObject*> m;
    for (const auto& o : doc.Objects())
        if (!o->IsErased()) m[o->HandleValue()] = o.get();
    return m;
}

}  // namespace

TEST(DxfRoundTrip, SavedDrawingReadBackIsTheSameDrawing)
{
    acadcore_test::TempDir dir;
    Document doc;
    BuildDrawing(doc, XrefFile(dir));
    const std::string first = WriteDxfText(doc);

    Document back;
    ReadDxfText(back, first, "memória");
    const std::string second = WriteDxfText(back);
    EXPECT_EQ(FirstDifference(first, second), "");

    // Every object of the drawing is there again, under the same handle and kind.
    auto original = ByHandle(doc), read = ByHandle(back);
    for (const auto& [h, o] : original) {
        auto it = read.find(h);
        ASSERT_NE(it, read.end()) << o->ObjectName() << " " << o->Handle();
        EXPECT_EQ(it->second->ObjectName(), o->ObjectName()) << o->Handle();
        std::vector<int> t1, t2;
        std::vector<Variant> v1, v2;
        o->GetXData("", t1, v1);
        it->second->GetXData("", t2, v2);
        EXPECT_EQ(t1, t2) << o->ObjectName() << " " << o->Handle();
        EXPECT_EQ(v1, v2) << o->ObjectName() << " " << o->Handle();
    }
    EXPECT_GE(back.HandSeed(), doc.HandSeed());
}

// A drawing read and saved, read and saved again, gives the same bytes: no
// value the reader turns into another (a direction made of length 1, angles
// in degrees), no record the writer makes itself (table heads, the active
// view, block ends, dictionaries, vertices, dimension pictures) moves, for
// every kind the host keeps, from files of other programs and its own.
TEST(DxfRoundTrip, ASecondSaveGivesTheSameBytes)
{
    const auto source = std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad";
    std::vector<std::filesystem::path> files;
    for (const char* folder : {"kinds", "fixtures", "foreign"})
        for (const auto& f : std::filesystem::directory_iterator(source / folder)) files.push_back(f.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 22u);
    for (const auto& path : files) {
        Document doc;
        ReadDxf(doc, path);
        EXPECT_EQ(SecondSaveChanged(doc), "") << path.filename();
    }

    // A dimension read before the style it names (its entities come before its
    // tables) takes the defaults, which the saved style does not give it:
    // saved, they are its overrides, the same at every save.
    const std::string entitiesFirst =
        "0\nSECTION\n2\nENTITIES\n0\nDIMENSION\n100\nAcDbDimension\n2\n*D1\n10\n0\n20\n5\n11\n5\n21\n5\n"
        "70\n1\n3\nStandard\n100\nAcDbAlignedDimension\n13\n0\n23\n0\n14\n10\n24\n0\n0\nENDSEC\n"
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nDIMSTYLE\n0\nDIMSTYLE\n2\nStandard\n70\n0\n41\n2.5\n140\n2.5\n"
        "0\nENDTAB\n0\nENDSEC\n0\nEOF\n";
    Document styledLater;
    ReadDxfText(styledLater, entitiesFirst, "cotas antes.dxf");
    EXPECT_EQ(SecondSaveChanged(styledLater), "");

    // Damaged records the reader mends the same way at every reading: a
    // dimension's style without a name; paper space active in a layout that
    // has no viewport (read, it is a layout shown before: no viewport of the
    // host's, nor a handle taken for one); a text listing as its column a
    // record of another block, which stays where it is, and one of a second
    // entities' section, which is its column (saved, the sections are one).
    for (const char* damaged : {
             "0\nSECTION\n2\nENTITIES\n0\nDIMENSION\n5\n4\n3\n\n70\n73\n0\nENDSEC\n0\nEOF\n",
             "0\nSECTION\n2\nHEADER\n9\n$TILEMODE\n70\n0\n0\nENDSEC\n0\nEOF\n",
             "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n70\n0\n10\n0\n20\n0\n0\nMTEXT\n5\n43\n1\nA\n"
             "1001\nACAD\n1000\nACAD_MTEXT_COLUMNS_BEGIN\n1005\n44\n1000\nACAD_MTEXT_COLUMNS_END\n"
             "0\nENDBLK\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n44\n10\n0\n20\n0\n11\n1\n21\n1\n"
             "0\nENDSEC\n0\nEOF\n",
             "0\nSECTION\n2\nENTITIES\n0\nMTEXT\n5\n43\n1\nA\n1001\nACAD\n1000\nACAD_MTEXT_COLUMNS_BEGIN\n"
             "1005\n45\n1000\nACAD_MTEXT_COLUMNS_END\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n45\n11\n1\n"
             "0\nENDSEC\n0\nEOF\n",
             // An object whose first handle is none, and a second one after it:
             // the first is its handle, written fresh.
             "0\nSECTION\n2\nOBJECTS\n0\nXRECORD\n5\n59L\n5\n1\n0\nENDSEC\n0\nEOF\n",
             // A column listed in the entities' section, found in the model's
             // block: saved, it is in the entities' section.
             "0\nSECTION\n2\nENTITIES\n0\nMTEXT\n5\n43\n1\nA\n1001\nACAD\n1000\nACAD_MTEXT_COLUMNS_BEGIN\n"
             "1005\n44\n1000\nACAD_MTEXT_COLUMNS_END\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\n*Model_Space\n"
             "0\nLINE\n5\n44\n11\n1\n21\n1\n0\nENDBLK\n0\nENDSEC\n0\nEOF\n",
             // A mesh kept whole whose vertex has the handle of an entity read
             // before it: the vertex gets a fresh one.
             "0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n41\n11\n1\n0\nPOLYLINE\n70\n16\n0\nVERTEX\n5\n41\n"
             "0\nSEQEND\n0\nENDSEC\n0\nEOF\n",
             // An MTEXT turned by an angle (50): saved as a direction, it reads
             // back as the same angle, and the extents keep their digits.
             "0\nSECTION\n2\nENTITIES\n0\nMTEXT\n40\n1\n41\n10\n1\nTV-4\n50\n1.1\n0\nENDSEC\n0\nEOF\n",
         }) {
        Document doc;
        ReadDxfText(doc, damaged, "danificado.dxf");
        EXPECT_EQ(SecondSaveChanged(doc), "") << damaged;
        const std::string saved = WriteDxfText(doc);
        EXPECT_EQ(saved.find("\r\n59L\r\n"), std::string::npos) << damaged;
        const std::size_t first = saved.find("\r\n  5\r\n41\r\n");
        EXPECT_EQ(saved.find("\r\n  5\r\n41\r\n", first + 1), std::string::npos) << damaged;
        if (std::string_view(damaged).find("BLOCK\n2\nB\n") != std::string_view::npos) {
            const auto* line = dynamic_cast<const Line*>(doc.HandleToObject("44"));
            ASSERT_NE(line, nullptr);
            EXPECT_EQ(line->OwnerBlock(), &doc.ModelSpace());
        }
    }

    Document odd;
    ReadDxfText(odd, OddValues(), "estranho.dxf");
    EXPECT_EQ(odd.ModelSpace().Count(), 17);
    EXPECT_EQ(odd.PaperSpace().Count(), 1);
    EXPECT_EQ(SecondSaveChanged(odd), "");
    // The ray keeps the direction the file gave it, and both lines are drawn
    // along theirs: a crossing far along each finds it, one as far behind the
    // ray's start finds nothing.
    const std::string saved = WriteDxfText(odd);
    EXPECT_NE(saved.find("AcDbRay\r\n 10\r\n1.0\r\n 20\r\n2.0\r\n 30\r\n0.0\r\n 11\r\n1.0\r\n 21\r\n"
                         "-0.9614140793741277\r\n"),
              std::string::npos);
    odd.ActiveView().Fit(Box::Around({0, 0, 0}, 2000));
    auto crossed = [&](const Point3d& at) {
        std::vector<std::string> kinds;
        for (const Entity* e : selection::ByWindow(odd, Box::Around(at, 0.01), true, {})) kinds.push_back(e->DxfName());
        return kinds;
    };
    EXPECT_EQ(crossed({1001, 2 - 961.4140793741277, 0}), std::vector<std::string>{"RAY"});
    EXPECT_EQ(crossed({-999, 2 + 961.4140793741277, 0}), std::vector<std::string>{});
    EXPECT_EQ(crossed({-600, -800, 0}), std::vector<std::string>{"XLINE"});

    // The drawing the host makes itself saves what reads back as itself: an
    // angle of 0.1 radian reads back as 0.1, not as the number after it.
    acadcore_test::TempDir dir;
    Document made;
    BuildDrawing(made, XrefFile(dir));
    const Arc* arc = made.ModelSpace().AddArc({0, 0, 0}, 1, 0.1, 2);
    const std::string first = WriteDxfText(made);
    Document read;
    ReadDxfText(read, first, "feito.dxf");
    EXPECT_EQ(FirstDifference(first, WriteDxfText(read)), "");
    const auto* back = dynamic_cast<const Arc*>(read.HandleToObject(arc->Handle()));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->StartAngle(), 0.1);
}

TEST(DxfRoundTrip, TablesLayoutsAndEntityPropertiesAreKept)
{
    acadcore_test::TempDir dir;
    Document doc;
    BuildDrawing(doc, XrefFile(dir));
    const auto path = dir / "desenho.dwg";
    WriteDxf(doc, path);
    Document back;
    ReadDxf(back, path);

    Layer* rede = back.Layers().Item("REDE");
    EXPECT_EQ(rede->Color(), 1);
    EXPECT_EQ(rede->Linetype(), "TRACEJADA");
    EXPECT_EQ(rede->Lineweight(), 35);
    EXPECT_FALSE(back.Layers().Item("DESLIGADO")->LayerOn());
    EXPECT_TRUE(back.Layers().Item("CONGELADO")->Freeze());
    EXPECT_TRUE(back.Layers().Item("TRAVADO")->Lock());
    EXPECT_FALSE(back.Layers().Item("NÃO PLOTA")->Plottable());
    EXPECT_NE(back.Layers().Find("BASE|CONEXOES"), nullptr);
    EXPECT_EQ(back.ActiveLayer().Name(), "REDE");
    EXPECT_EQ(back.Linetypes().Item("TRACEJADA")->Pattern(), (std::vector<double>{0.5, -0.25, 0.0, -0.25}));
    EXPECT_EQ(back.TextStyles().Item("ROMANS")->FontFile(), "romans.shx");
    EXPECT_DOUBLE_EQ(back.TextStyles().Item("ROMANS")->Width(), 0.8);
    std::string face;
    bool bold, italic;
    int charset, pitch;
    back.TextStyles().Item("ARIAL")->GetFont(face, bold, italic, charset, pitch);
    EXPECT_EQ(face, "Arial");
    EXPECT_TRUE(bold);
    EXPECT_EQ(pitch, 34);
    EXPECT_EQ(back.GetVariable("OSMODE").AsInt(), 1);
    EXPECT_DOUBLE_EQ(back.GetVariable("LTSCALE").AsDouble(), 100.0);
    EXPECT_EQ(back.GetVariable("CECOLOR").AsString(), "3");
    EXPECT_NE(back.RegisteredApplications().Find("NUMEROTRE"), nullptr);

    // Blocks keep their base point and attribute definitions; references their attributes in order.
    Block* pv = back.Blocks().Item("E-PV");
    EXPECT_EQ(pv->Origin(), (Point3d{1, 2, 0}));
    BlockReference* ref = nullptr;
    ExternalReference* xref = nullptr;
    for (Entity* e : back.ModelSpace()) {
        if (auto* x = dynamic_cast<ExternalReference*>(e))
            xref = x;
        else if (auto* r = dynamic_cast<BlockReference*>(e))
            ref = r;
    }
    ASSERT_NE(ref, nullptr);
    auto attrs = ref->GetAttributes();
    ASSERT_EQ(attrs.size(), 2u);
    EXPECT_EQ(attrs[0]->TagString(), "NOME");
    EXPECT_EQ(attrs[0]->TextString(), "PV-1");
    EXPECT_EQ(attrs[1]->TagString(), "CT");
    EXPECT_EQ(attrs[1]->TextString(), "102,35");
    EXPECT_TRUE(attrs[1]->Invisible());
    EXPECT_DOUBLE_EQ(ref->XScaleFactor(), 2.0);
    EXPECT_NEAR(ref->Rotation(), kPi / 6, 1e-12);

    // External references keep their file, their drawing and their clip.
    ASSERT_NE(xref, nullptr);
    EXPECT_TRUE(back.Blocks().Item("BASE")->IsXRef());
    EXPECT_EQ(back.Blocks().Item("BASE")->Path(), (dir / "base.dwg"));
    EXPECT_EQ(back.Blocks().Item("BASE")->Count(), 1);
    EXPECT_EQ(xref->ClipBoundary().size(), 4u);

    // Layouts in their order, with their blocks and viewports.
    EXPECT_EQ(back.Layouts().Count(), 3);
    auto papers = back.Layouts().PaperLayouts();
    ASSERT_EQ(papers.size(), 2u);
    EXPECT_EQ(papers[0]->Name(), "Layout1");
    EXPECT_EQ(papers[1]->Name(), "Folha 2");
    EXPECT_EQ(papers[0]->Block().Count(), 1);
    ASSERT_EQ(back.Viewports(*papers[1]).size(), 1u);
    EXPECT_DOUBLE_EQ(back.Viewports(*papers[1])[0]->Width(), 8.0);
    EXPECT_EQ(papers[1]->Block().Count(), 2);

    // Entity properties.
    int texts = 0;
    for (Entity* e : back.ModelSpace()) {
        if (auto* t = dynamic_cast<Text*>(e); t && t->TextString() == "Código Ç nº 1") {
            ++texts;
            EXPECT_EQ(t->StyleName(), "ROMANS");
            EXPECT_EQ(t->Alignment(), Alignment::BottomCenter);
            EXPECT_EQ(t->TextAlignmentPoint(), (Point3d{12, 10, 0}));
            EXPECT_NEAR(t->Rotation(), kPi / 2, 1e-12);
        }
        if (auto* t = dynamic_cast<Text*>(e); t && t->TextString() == "esquerda") {
            EXPECT_FALSE(t->Visible());
        }
        if (auto* l = dynamic_cast<Line*>(e)) {
            EXPECT_EQ(l->Layer(), "REDE");
            EXPECT_EQ(l->Color(), 3);
            EXPECT_DOUBLE_EQ(l->LinetypeScale(), 2.5);
            EXPECT_EQ(l->EndPoint(), (Point3d{100.125, -3.0e-7, 12}));
        }
        if (auto* p = dynamic_cast<Polyline2D*>(e); p && p->Type() == PolylineType::CubicSpline) {
            EXPECT_DOUBLE_EQ(p->Elevation(), 2.0);
            EXPECT_EQ(p->NumberOfVertices(), 4);
        }
        if (auto* s = dynamic_cast<Spline*>(e)) {
            EXPECT_EQ(s->Degree(), 5);
        }
        if (auto* m = dynamic_cast<MText*>(e)) {
            EXPECT_GT(m->TextString().size(), 250u);
        }
    }
    EXPECT_EQ(texts, 1);
}

TEST(DxfRoundTrip, HandlesAreKeptAndTheSeedMovesPastThem)
{
    Document doc;
    Line* line = doc.ModelSpace().AddLine({0, 0, 0}, {1, 1, 0});
    const std::string handle = line->Handle();
    Document back;
    ReadDxfText(back, WriteDxfText(doc), "t");
    AcadObject* again = back.HandleToObject(handle);
    EXPECT_EQ(again->ObjectName(), "AcDbLine");
    // New objects never take a handle of the file.
    Line* added = back.ModelSpace().AddLine({0, 0, 0}, {2, 2, 0});
    const std::string text = WriteDxfText(back);
    EXPECT_EQ(text.find("\n  5\r\n" + added->Handle() + "\r\n"), text.rfind("\n  5\r\n" + added->Handle() + "\r\n"));
    EXPECT_GT(added->HandleValue(), line->HandleValue());

    // The header's seed is past every handle in the file.
    std::istringstream in(text);
    std::string code, value;
    std::uint64_t seed = 0, largest = 0;
    bool nextIsSeed = false;
    while (std::getline(in, code) && std::getline(in, value)) {
        value = value.substr(0, value.find('\r'));
        const int c = std::stoi(code);
        if (c == 9) nextIsSeed = value == "$HANDSEED";
        if (c == 5 && nextIsSeed)
            seed = std::stoull(value, nullptr, 16), nextIsSeed = false;
        else if (c == 5 || c == 105)
            largest = std::max<std::uint64_t>(largest, std::stoull(value, nullptr, 16));
    }
    EXPECT_GT(seed, largest);
}

TEST(DxfRoundTrip, DxfOutOfASelectionWritesOnlyThoseEntities)
{
    Document doc;
    Block& ms = doc.ModelSpace();
    LWPolyline* outline = ms.AddLightWeightPolyline({0, 0, 10, 0, 10, 10});
    outline->SetClosed(true);
    Hatch* h = ms.AddHatch(HatchPatternType::PreDefined, "SOLID", false);
    h->SetLayer("0");
    h->AppendOuterLoop({outline});
    ms.AddLine({0, 0, 0}, {5, 5, 0});
    DxfWriteOptions opts;
    opts.entities = std::vector<const Entity*>{h};
    Document back;
    ReadDxfText(back, WriteDxfText(doc, opts), "dxfout");
    ASSERT_EQ(back.ModelSpace().Count(), 1);
    auto* read = dynamic_cast<Hatch*>(back.ModelSpace().Item(0));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Data().loops.size(), 1u);
    EXPECT_TRUE(read->Data().loops[0].isPolyline);
    EXPECT_EQ(read->Data().loops[0].polyline.vertices.size(), 3u);
    EXPECT_EQ(read->PatternName(), "SOLID");
}

// A Release 14 drawing with an extension record (data in groups 1000 and above)
// and a dimension style of its own, opened by the host from disk and saved over
// twice: it opens, and the record and the style keep their handles and data.
TEST(DxfRoundTrip, ExtensionRecordsAndStylesSurviveOpenAndSaveAs)
{
    auto join = [](std::initializer_list<std::string> items) {
        std::string s;
        for (const auto& i : items) s += i + "\n";
        return s;
    };
    const std::string r14 = join({"0",    "SECTION",
                                  "2",    "HEADER",
                                  "9",    "$ACADVER",
                                  "1",    "AC1014",
                                  "0",    "ENDSEC",
                                  "0",    "SECTION",
                                  "2",    "TABLES",
                                  "0",    "TABLE",
                                  "2",    "DIMSTYLE",
                                  "5",    "A",
                                  "70",   "1",
                                  "0",    "DIMSTYLE",
                                  "105",  "2A",
                                  "100",  "AcDbSymbolTableRecord",
                                  "100",  "AcDbDimStyleTableRecord",
                                  "2",    "COTAS",
                                  "70",   "0",
                                  "41",   "1.5",
                                  "0",    "ENDTAB",
                                  "0",    "ENDSEC",
                                  "0",    "SECTION",
                                  "2",    "ENTITIES",
                                  "0",    "LINE",
                                  "5",    "30",
                                  "8",    "0",
                                  "10",   "0",
                                  "20",   "0",
                                  "11",   "1",
                                  "21",   "1",
                                  "0",    "ENDSEC",
                                  "0",    "SECTION",
                                  "2",    "OBJECTS",
                                  "0",    "DICTIONARY",
                                  "5",    "C",
                                  "330",  "0",
                                  "100",  "AcDbDictionary",
                                  "3",    "CADASTRO",
                                  "350",  "40",
                                  "0",    "DICTIONARY",
                                  "5",    "40",
                                  "330",  "C",
                                  "100",  "AcDbDictionary",
                                  "3",    "PV-1",
                                  "360",  "41",
                                  "0",    "XRECORD",
                                  "5",    "41",
                                  "330",  "40",
                                  "100",  "AcDbXrecord",
                                  "280",  "1",
                                  "1",    "PV-1",
                                  "1000", "rede",
                                  "1040", "102.35",
                                  "1070", "3",
                                  "1005", "30",
                                  "0",    "ENDSEC",
                                  "0",    "EOF"});
    acadcore_test::TempDir dir;
    const auto path = dir / "r14.dwg";
    {
        std::ofstream(path, std::ios::binary) << r14;
    }
    Application app;
    Document* doc = app.Documents().Open(path.string());
    ASSERT_EQ(doc->ModelSpace().Count(), 1);
    for (int round = 0; round < 2; ++round) {
        doc->SaveAs(path.string());
        app.Documents().Close(*doc);
        doc = app.Documents().Open(path.string());
        ASSERT_EQ(doc->ModelSpace().Count(), 1);
        EXPECT_EQ(doc->ModelSpace().Item(0)->Handle(), "30");
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string saved = text.str();
    for (const char* piece : {"XRECORD\r\n  5\r\n41\r\n", "1000\r\nrede\r\n", "1040\r\n102.35\r\n", "1005\r\n30\r\n",
                              "DIMSTYLE\r\n105\r\n2A\r\n", "  2\r\nCOTAS\r\n", "  3\r\nCADASTRO\r\n350\r\n40\r\n"})
        EXPECT_NE(saved.find(piece), std::string::npos) << piece;
}

// What opens saves into a file that opens: no saved line, once its characters
// are escaped and its CR LF added, is longer than the reader takes (1 MiB).
TEST(DxfRoundTrip, LongValuesSaveIntoLinesTheReaderTakes)
{
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    const std::string a = "\xE3\x81\x82";  // あ: 3 bytes of UTF-8, 7 once saved (\U+3042)
    acadcore_test::TempDir dir;

    // 300 000 of them (900 KB) would be saved as a line of 2 MB: left out, noted at their line.
    const std::string japanese = LongNote(OneText(Repeat(a, 300000)));
    EXPECT_NE(japanese.find("TEXT, valor que, gravado, ocuparia"), std::string::npos) << japanese;
    EXPECT_NE(japanese.find("1 MiB"), std::string::npos) << japanese;
    EXPECT_NE(japanese.find("(linha 16)"), std::string::npos) << japanese;
    // A value exactly 1 MiB long once saved opens, saves as .dwg and reopens the
    // same; one byte more is left out.
    const std::string full = Repeat(a, 149796) + "PV-1";  // 7 × 149 796 + 4 = 1 MiB
    Document doc;
    ReadDxfText(doc, OneText(full), "cheio.dxf");
    ASSERT_EQ(TextOf(doc), full);
    WriteDxf(doc, dir / "cheio.dwg");
    Document back;
    EXPECT_NO_THROW(ReadDxf(back, dir / "cheio.dwg"));
    EXPECT_EQ(TextOf(back), full);
    EXPECT_NE(LongNote(OneText(full + "0")).find("(linha 16)"), std::string::npos);

    // A value of exactly 1 MiB: the line's end is no part of it, LF or CR LF,
    // read from memory or from disk a piece at a time.
    const std::string mib = "PV" + std::string(kMiB - 2, '-');
    for (const char* eol : {"\n", "\r\n"}) {
        const auto path = dir.Write("mib.dxf", OneText(mib, eol));
        Document lf, disk;
        SCOPED_TRACE(eol[0] == '\r' ? "CR LF" : "LF");
        EXPECT_NO_THROW(ReadDxfText(lf, OneText(mib, eol), "mib.dxf"));
        EXPECT_NO_THROW(ReadDxf(disk, path));
        EXPECT_EQ(TextOf(lf), mib);
        EXPECT_EQ(TextOf(disk), mib);
        WriteDxf(disk, dir / "mib.dwg");
        Document again;
        EXPECT_NO_THROW(ReadDxf(again, dir / "mib.dwg"));
        EXPECT_EQ(TextOf(again), mib);
        // The code line with a blank after it is read the general way.
        std::string odd = OneText(mib, eol);
        odd.replace(odd.find(std::string("1") + eol + "PV"), 1, "1 ");
        Document general;
        EXPECT_NO_THROW(ReadDxfText(general, odd, "mib.dxf"));
        EXPECT_EQ(TextOf(general), mib);
        EXPECT_NE(LongNote(OneText(mib + "-", eol)).find("TEXT, linha com mais de 1 MiB"), std::string::npos);
        EXPECT_NE(LongNote(OneText(mib + "-", eol)).find("(linha 16)"), std::string::npos);
        odd.insert(odd.find("PV"), "-");
        EXPECT_NE(LongNote(odd).find("TEXT, linha com mais de 1 MiB"), std::string::npos);
        EXPECT_NE(LongNote(odd).find("(linha 16)"), std::string::npos);
    }

    // A multi-line text goes in pieces whatever its length, even where a file
    // held it in one line: it opens, and its pieces reopen as the text.
    const std::string clef = "\xF0\x9D\x84\x9E";  // 𝄞, beyond U+FFFF: two escapes once saved
    const std::string many = "PV " + Repeat(clef, 60) + Repeat(a, 300000);
    std::string oneLine = OneText(many);
    oneLine.replace(oneLine.find("TEXT"), 4, "MTEXT");
    Document m;
    ASSERT_NO_THROW(ReadDxfText(m, oneLine, "mtext.dxf"));
    const std::string pieces = WriteDxfText(m);
    EXPECT_LE(LongestLine(pieces), 250u);
    Document mback;
    ASSERT_NO_THROW(ReadDxfText(mback, pieces, "mtext.dxf"));
    EXPECT_EQ(dynamic_cast<MText*>(mback.ModelSpace().Item(0))->TextString(), many);
    // Other readers decode each piece alone: an escape, or the two of a character
    // beyond U+FFFF, that would end at the piece's last byte stays in it, one that
    // would end a byte later goes whole to the next piece.
    for (const std::string& wide : {a, clef}) {
        for (std::size_t lead : {236u, 237u, 243u, 244u}) {
            const std::string value = std::string(lead, 'x') + Repeat(wide, 3) + std::string(300, 'y');
            std::string mtext = OneText(value);
            mtext.replace(mtext.find("TEXT"), 4, "MTEXT");
            Document one;
            ReadDxfText(one, mtext, "mtext.dxf");
            const std::vector<std::string> saved = MTextPieces(WriteDxfText(one));
            std::string decoded, piece;
            for (const std::string& p : saved) {
                EXPECT_LE(p.size(), 250u);
                dxf::DecodeText(p, piece);
                decoded += piece;
            }
            EXPECT_TRUE(decoded == value) << saved.size() << " pedaços, o primeiro termina em \""
                                          << saved.front().substr(240) << "\" (" << lead << " bytes antes)";
        }
    }

    // What the program set and a line cannot hold is not saved: the save says
    // why, and the drawing on disk stays as it was.
    Document set;
    set.ModelSpace().AddText("PV-1", {0, 0, 0}, 1);
    const auto path = dir / "rede.dwg";
    WriteDxf(set, path);
    const auto before = std::filesystem::file_size(path);
    set.ModelSpace().AddText(Repeat(a, 150000), {0, 0, 0}, 1);
    try {
        WriteDxf(set, path);
        ADD_FAILURE() << "a line of 1 050 000 bytes was saved";
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::FileError);
        EXPECT_NE(e.Description().find("rede.dwg"), std::string::npos) << e.Description();
        EXPECT_NE(e.Description().find("1 MiB"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(std::filesystem::file_size(path), before);
    Document xdata;
    xdata.ModelSpace()
        .AddLine({0, 0, 0}, {1, 1, 0})
        ->SetXData({1001, 1000}, {Variant("APP"), Variant(Repeat(a, 150000))});
    EXPECT_ACAD_ERROR(ErrorCode::FileError, WriteDxfText(xdata));
}

// The drawing's extents, as the header saves them, are those of what can be
// measured: a text (single- or multi-line) too wide or too tall for its box
// to be a number, or a circle reaching beyond the largest number, takes no part.
TEST(DxfRoundTrip, SavedExtentsLeaveOutWhatCannotBeMeasured)
{
    std::string text;
    for (const char* l :
         {"0", "SECTION", "2",  "ENTITIES", "0",  "TEXT", "8",  "0",   "10", "-3",    "20", "4",      "40", "1e308",
          "1", "PV-1",    "0",  "TEXT",     "8",  "0",    "10", "0",   "20", "1e308", "40", "1e308",  "1",  "P",
          "0", "MTEXT",   "8",  "0",        "10", "0",    "20", "0",   "40", "1e308", "1",  "PV-2",   "0",  "LINE",
          "8", "0",       "10", "-2",       "20", "1",    "11", "7.5", "21", "-6",    "0",  "ENDSEC", "0",  "EOF"})
        text += std::string(l) + "\n";
    Document doc;
    ReadDxfText(doc, text, "alto.dxf");
    // The first text overflows in X alone, the second in Y alone, the
    // multi-line one in both.
    for (int i : {0, 1, 2}) {
        Point3d lo, hi;
        EXPECT_ACAD_ERROR(ErrorCode::NullExtents, doc.ModelSpace().Item(i)->GetBoundingBox(lo, hi));
    }
    const Box ext = doc.ModelExtents();
    EXPECT_EQ(ext.min, (Point3d{-2, -6, 0}));
    EXPECT_EQ(ext.max, (Point3d{7.5, 1, 0}));
    Document back;
    ReadDxfText(back, WriteDxfText(doc), "de novo");
    EXPECT_EQ(back.GetVariable("EXTMIN").AsPoint(), (Point3d{-2, -6, 0}));
    EXPECT_EQ(back.GetVariable("EXTMAX").AsPoint(), (Point3d{7.5, 1, 0}));

    // Opened beside such a circle, a line is what a zoom to extents shows, what
    // a window then finds, and what the saved header measures.
    std::string circle;
    for (const char* l :
         {"0",  "SECTION", "2",  "ENTITIES", "0",  "CIRCLE", "8",  "0",      "10", "1e308", "20", "1e308",
          "40", "1e308",   "0",  "LINE",     "8",  "0",      "10", "0",      "20", "0",     "30", "5",
          "11", "10",      "21", "10",       "31", "5",      "0",  "ENDSEC", "0",  "EOF"})
        circle += std::string(l) + "\n";
    acadcore_test::TempDir dir;
    const auto path = dir.Write("circulo.dxf", circle);
    Application app;
    Document* opened = app.Documents().Open(path.string());
    app.ZoomExtents();
    EXPECT_EQ(opened->ActiveView().Center(), (Point3d{5, 5, 0}));
    EXPECT_DOUBLE_EQ(opened->ActiveView().Height(), 10 * (1 + View::kExtentsMargin));
    SelectionSet* ss = opened->SelectionSets().Add("SS1");
    ss->Select(acSelectionSetWindow, Point3d{-1, -1, 0}, Point3d{11, 11, 0});
    EXPECT_EQ(ss->Items(), std::vector<Entity*>{opened->ModelSpace().Item(1)});
    opened->SaveAs(path.string());
    std::ifstream in(path, std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_NE(saved.str().find("$EXTMIN\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n5.0\r\n"), std::string::npos);
    EXPECT_NE(saved.str().find("$EXTMAX\r\n 10\r\n10.0\r\n 20\r\n10.0\r\n 30\r\n5.0\r\n"), std::string::npos);

    // A dimension between points near the largest double measures beyond it: it
    // is saved as that largest double, never as 0, and what it draws that has no
    // coordinates is left out of its picture, so the drawing still saves.
    Document far;
    far.ModelSpace().AddDimAligned({-1e308, 0, 0}, {1e308, 0, 0}, {0, 1, 0});
    const std::string measured = WriteDxfText(far);
    EXPECT_NE(measured.find(" 42\r\n1.7976931348623157E+308\r\n"), std::string::npos);
    Document farBack;
    ReadDxfText(farBack, measured, "cota");
    EXPECT_EQ(dynamic_cast<DimAligned*>(farBack.ModelSpace().Item(0))->ExtLine2Point(), (Point3d{1e308, 0, 0}));
}
