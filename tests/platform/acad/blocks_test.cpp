// Block definitions, insertion (by name and by drawing file), purge.
#include <gtest/gtest.h>

#include <filesystem>

#include "CoreTestUtil.h"
#include "dxf_test_text.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/KeptDefinition.h"

using namespace acad;
using acadcore_test::DxfAvailable;
using acadcore_test::TempDir;

namespace {
// A block like the system's manhole: a circle and two attributes.
Block* DefinePV(Document& doc)
{
    Block* b = doc.Blocks().Add({0, 0, 0}, "E-PV");
    b->AddCircle({0, 0, 0}, 1.0);
    b->AddAttribute(1.0, 0, "", {2, 0, 0}, "NUMERO", "");
    b->AddAttribute(1.0, AttributeMode::Invisible, "", {2, -2, 0}, "CT", "0.00");
    return b;
}

}  // namespace

TEST(Blocks, AddNeverRedefinesAndKeepsTableOrder)
{
    Document doc;
    Block* pv = DefinePV(doc);
    EXPECT_EQ(pv->Count(), 3);
    Block* again = doc.Blocks().Add({5, 5, 0}, "e-pv");  // another case: the same block
    EXPECT_EQ(again, pv);
    EXPECT_EQ(pv->Count(), 3);
    EXPECT_EQ(pv->Origin(), (Point3d{0, 0, 0}));

    Block* u1 = doc.Blocks().Add({0, 0, 0}, "*U");
    Block* u2 = doc.Blocks().Add({0, 0, 0}, "*U");
    EXPECT_EQ(u1->Name(), "*U1");
    EXPECT_EQ(u2->Name(), "*U2");
    EXPECT_TRUE(u1->IsAnonymous());

    std::vector<std::string> names;
    for (Block* b : doc.Blocks()) names.push_back(b->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"*Model_Space", "*Paper_Space", "E-PV", "*U1", "*U2"}));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.Blocks().Item("E-TRSAN"));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.Blocks().Add({0, 0, 0}, "A<B"));

    // Renaming a definition keeps its references pointing at it.
    BlockReference* r = doc.ModelSpace().InsertBlock({0, 0, 0}, "E-PV", 1, 1, 1, 0);
    pv->SetName("E-PV250");
    EXPECT_EQ(r->Name(), "E-PV250");
    EXPECT_EQ(doc.Blocks().Find("E-PV"), nullptr);
    EXPECT_ACAD_ERROR(ErrorCode::DuplicateKey, pv->SetName("*U1"));
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, doc.ModelSpace().SetName("X"));
}

TEST(Blocks, InsertionCreatesAttributesInDefinitionOrder)
{
    Document doc;
    DefinePV(doc);
    doc.Layers().Add("PV");
    doc.SetActiveLayer(*doc.Layers().Item("PV"));
    BlockReference* r = doc.ModelSpace().InsertBlock({100, 200, 0}, "E-PV", 2, 2, 2, kPi / 2);
    EXPECT_EQ(r->ObjectName(), "AcDbBlockReference");
    EXPECT_EQ(r->Name(), "E-PV");
    EXPECT_EQ(r->Layer(), "PV");
    ASSERT_TRUE(r->HasAttributes());
    auto atts = r->GetAttributes();
    ASSERT_EQ(atts.size(), 2u);
    EXPECT_EQ(atts[0]->TagString(), "NUMERO");
    EXPECT_EQ(atts[1]->TagString(), "CT");
    EXPECT_EQ(atts[1]->TextString(), "0.00");
    EXPECT_TRUE(atts[1]->Invisible());
    EXPECT_EQ(atts[0]->Layer(), "PV");  // defined on "0": takes the reference's layer
    EXPECT_EQ(atts[0]->ObjectName(), "AcDbAttribute");
    EXPECT_EQ(atts[0]->OwnerReference(), r);
    // Placed through the insertion: (2,0) scaled by 2, turned 90°, moved.
    EXPECT_NEAR(atts[0]->InsertionPoint().x, 100.0, 1e-9);
    EXPECT_NEAR(atts[0]->InsertionPoint().y, 204.0, 1e-9);
    EXPECT_NEAR(atts[0]->Height(), 2.0, 1e-12);
    EXPECT_NEAR(atts[0]->Rotation(), kPi / 2, 1e-12);

    // Moving or turning the reference carries its attributes.
    r->SetInsertionPoint({110, 200, 0});
    EXPECT_NEAR(atts[0]->InsertionPoint().x, 110.0, 1e-9);
    r->Move({0, 0, 0}, {0, 10, 0});
    EXPECT_NEAR(atts[0]->InsertionPoint().y, 214.0, 1e-9);
    r->SetRotation(0);
    EXPECT_NEAR(atts[0]->InsertionPoint().x, 114.0, 1e-9);
    EXPECT_NEAR(atts[0]->InsertionPoint().y, 210.0, 1e-9);
    EXPECT_NEAR(atts[0]->Rotation(), 0.0, 1e-12);

    // A mirrored insertion (Y scale −1) keeps its scales readable.
    BlockReference* m = doc.ModelSpace().InsertBlock({0, 0, 0}, "E-PV", 1, -1, 1, 0.5);
    EXPECT_DOUBLE_EQ(m->YScaleFactor(), -1.0);
    EXPECT_DOUBLE_EQ(m->XScaleFactor(), 1.0);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.ModelSpace().InsertBlock({0, 0, 0}, "E-PV", 0, 1, 1, 0));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.ModelSpace().InsertBlock({0, 0, 0}, "NADA", 1, 1, 1, 0));
}

TEST(Blocks, ABlockCannotContainItself)
{
    Document doc;
    Block* a = doc.Blocks().Add({0, 0, 0}, "A");
    Block* b = doc.Blocks().Add({0, 0, 0}, "B");
    a->AddLine({0, 0}, {1, 0});
    b->InsertBlock({0, 0, 0}, "A", 1, 1, 1, 0);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, a->InsertBlock({0, 0, 0}, "B", 1, 1, 1, 0));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, a->InsertBlock({0, 0, 0}, "A", 1, 1, 1, 0));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, static_cast<BlockReference*>(b->Item(0))->SetName("B"));
    // Nor through what other kinds draw, whatever the edit: "B" holds a
    // dimension drawing "*D1", a table drawing "*T1", and one naming "T9",
    // a block made only later, which draws "B".
    std::string text = dxf_test::Join({"0", "SECTION", "2", "BLOCKS"});
    for (const char* name : {"*D1", "*T1", "B"}) {
        text += dxf_test::Join({"0", "BLOCK", "2", name, "70", name[0] == '*' ? "1" : "0", "0", "LINE", "10", "0", "20",
                                "0", "11", "4", "21", "3"});
        if (name[0] == 'B')
            text += dxf_test::Join({"0",  "DIMENSION", "2",  "*D1",        "13", "0",          "23", "0",   "14", "4",
                                    "24", "0",         "70", "1",          "0",  "ACAD_TABLE", "2",  "*T1", "10", "0",
                                    "20", "0",         "0",  "ACAD_TABLE", "2",  "T9",         "10", "0",   "20", "0"});
        text += dxf_test::Join({"0", "ENDBLK"});
    }
    Document drawn;
    ReadDxfText(drawn, text + dxf_test::Join({"0", "ENDSEC", "0", "EOF"}), "desenha.dxf");
    Block& pictured = *drawn.Blocks().Item("B");
    auto* dim = dynamic_cast<DimAligned*>(pictured.Item(1));
    auto* table = dynamic_cast<RawEntity*>(pictured.Item(2));
    auto* later = dynamic_cast<RawEntity*>(pictured.Item(3));
    ASSERT_TRUE(dim && dim->DrawnReference() && table && table->DrawnReference() && later);
    const std::uint32_t self = drawn.Blocks().IndexOf(pictured);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, dim->DrawnReference()->SetName("B"));
    BlockReferenceData onItself = dim->DrawnReference()->Data();
    onItself.block = self;
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, dim->DrawnReference()->SetData(onItself));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, dim->SetPicture(self, {}));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, table->SetBlock(self));
    std::vector<RawGroup> groups = table->Groups();
    for (RawGroup& g : groups)
        if (g.code == 2) g.value = "B";
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, table->SetGroups(groups));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, drawn.Blocks().Item("*D1")->AppendEntity(dim->Clone()));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, drawn.Blocks().Item("*T1")->InsertBlock({0, 0, 0}, "B", 1, 1, 1, 0));
    // Refused, each leaves what it would have changed as it was.
    EXPECT_EQ(dim->DrawnReference()->Name(), "*D1");
    EXPECT_EQ(table->DrawnReference()->Name(), "*T1");
    EXPECT_EQ(table->Groups().size(), groups.size());
    EXPECT_EQ(pictured.Count(), 4);
    EXPECT_EQ(later->DrawnReference(), nullptr);
    // "B" draws "T9" once read again, when "T9" holds something: "T9" may not
    // hold "B", by an insertion, a rename, or a drawing file inserted as "T9".
    Block* t9 = drawn.Blocks().Add({0, 0, 0}, "T9");
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, t9->InsertBlock({0, 0, 0}, "B", 1, 1, 1, 0));
    t9->Delete();
    Block* z = drawn.Blocks().Add({0, 0, 0}, "Z");
    z->InsertBlock({0, 0, 0}, "B", 1, 1, 1, 0);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, z->SetName("T9"));
    EXPECT_EQ(z->Name(), "Z");
    TempDir dir;
    {
        Document file;
        file.Blocks().Add({0, 0, 0}, "B")->AddLine({0, 0, 0}, {1, 1, 0});
        file.ModelSpace().InsertBlock({0, 0, 0}, "B", 1, 1, 1, 0);
        WriteDxf(file, dir / "T9.dwg");
    }
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput,
                      drawn.ModelSpace().InsertBlock({0, 0, 0}, (dir / "T9.dwg").string(), 1, 1, 1, 0));
    EXPECT_EQ(drawn.Blocks().Find("T9"), nullptr);
    // A drawing file whose model space holds a block of its own name: that
    // block is the one the file defines, which would hold itself.
    {
        Document file;
        file.Blocks().Add({0, 0, 0}, "Y")->AddLine({0, 0, 0}, {1, 1, 0});
        file.ModelSpace().InsertBlock({0, 0, 0}, "Y", 1, 1, 1, 0);
        WriteDxf(file, dir / "Y.dwg");
    }
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput,
                      drawn.ModelSpace().InsertBlock({0, 0, 0}, (dir / "Y.dwg").string(), 1, 1, 1, 0));
    EXPECT_EQ(drawn.Blocks().Find("Y"), nullptr);
    EXPECT_EQ(later->DrawnReference(), nullptr);
    // What is left saves, and reads back.
    Document back;
    EXPECT_EQ(ReadDxfText(back, WriteDxfText(drawn), "de novo.dxf"), "");
    // An external reference attached again inside its own definition.
    WriteDxf(drawn, dir / "desenha.dwg");
    drawn.ModelSpace().AttachExternalReference((dir / "desenha.dwg").string(), "X", {0, 0, 0}, 1, 1, 1, 0, false);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, drawn.Blocks().Item("X")->AttachExternalReference(
                                                   (dir / "desenha.dwg").string(), "X", {0, 0, 0}, 1, 1, 1, 0, false));
    // Thirty levels each holding the one below twice: every block is looked at once.
    std::string below = "A";
    for (int k = 1; k <= 30; ++k) {
        Block* level = doc.Blocks().Add({0, 0, 0}, "N" + std::to_string(k));
        level->InsertBlock({0, 0, 0}, below, 1, 1, 1, 0);
        level->InsertBlock({1, 0, 0}, below, 1, 1, 1, 0);
        below = level->Name();
    }
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, a->InsertBlock({0, 0, 0}, below, 1, 1, 1, 0));
    // Turned, the reference's box comes from what its levels measured once
    // each, not from a walk of its thousand million lines: the count of what
    // it draws holds those of the levels it holds.
    ASSERT_GT(KeptDefinition::Of(*doc.Blocks().Item(below)).Pieces(), kReferenceWork);
    const std::uint64_t before = WalkWork();
    EXPECT_NEAR(doc.ModelSpace().InsertBlock({0, 0, 0}, below, 1, 1, 1, kPi / 2)->Extents().max.y, 31.0, 1e-9);
    EXPECT_LE(WalkWork() - before, 20000u);
}

TEST(Blocks, ReferenceExtentsFollowNestedGeometryAndDefinitionChanges)
{
    Document doc;
    Block* inner = doc.Blocks().Add({0, 0, 0}, "INNER");
    inner->AddLine({0, 0}, {2, 0});
    Block* outer = doc.Blocks().Add({0, 0, 0}, "OUTER");
    outer->InsertBlock({10, 0, 0}, "INNER", 1, 1, 1, kPi / 2);  // line from (10,0) to (10,2)
    outer->AddAttribute(1.0, 0, "", {0, -3, 0}, "TAG", "");
    BlockReference* r = doc.ModelSpace().InsertBlock({100, 100, 0}, "OUTER", 2, 2, 2, 0);
    r->GetAttributes()[0]->SetTextString("ABC");  // 5.7 wide at height 2
    Point3d lo, hi;
    r->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, 100.0, 1e-9);  // attribute text starts at x 100
    EXPECT_NEAR(lo.y, 94.0, 1e-9);   // its baseline at y 100 − 3×2
    EXPECT_NEAR(hi.x, 120.0, 1e-9);  // nested line at x 100 + 10×2
    EXPECT_NEAR(hi.y, 104.0, 1e-9);  // up to y 100 + 2×2
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({120, 103}, 0.1)), std::vector<Entity*>{r});

    // Changing the nested definition moves what the reference draws, and the index follows.
    inner->AddLine({0, 0}, {0, -50});
    r->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 220.0, 1e-9);
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({219, 100}, 0.5)), std::vector<Entity*>{r});
    // The attributes' box is kept apart from the definition's: an attribute moved,
    // then the definition edited again, both count.
    r->GetAttributes()[0]->SetInsertionPoint({100, 200, 0});
    r->GetBoundingBox(lo, hi);
    inner->AddLine({0, 0}, {0, -51});
    r->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.y, 100.0, 1e-9);
    EXPECT_NEAR(hi.x, 222.0, 1e-9);
    EXPECT_NEAR(hi.y, 202.0, 1e-9);

    // A reference without attributes follows its own placement changes too.
    BlockReference* plain = doc.ModelSpace().InsertBlock({0, 0, 0}, "INNER", 1, 1, 1, 0);
    plain->SetInsertionPoint({500, 500, 0});
    plain->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, 500.0, 1e-9);
    plain->SetXScaleFactor(3);
    plain->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 506.0, 1e-9);
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({505, 500}, 0.1)), std::vector<Entity*>{plain});

    // A turned reference of a block of more than an ordinary block's pieces
    // takes its box from the block's hull: exactly that of its parts turned,
    // at every turn and under an uneven scale; a circle's box, no less than the
    // circle's and within half a percent of its radius more.
    Block* many = doc.Blocks().Add({0, 0, 0}, "MUITAS");
    std::vector<Point3d> ends;
    for (int i = 0; i < 300; ++i) {
        const Point3d a{std::fmod(i * 7.3, 50.0), std::fmod(i * 3.1, 20.0)}, b{std::fmod(i * 1.7, 40.0), -i * 0.01};
        many->AddLine(a, b);
        ends.insert(ends.end(), {a, b});
    }
    for (const double turn : {0.3, 1.9, 3.5, 5.2}) {
        BlockReference* t = doc.ModelSpace().InsertBlock({7, -3, 0}, "MUITAS", 2, 0.5, 1, turn);
        Box exact;
        for (const Point3d& p : ends) exact.Add(t->BlockTransform().Apply(p));
        t->GetBoundingBox(lo, hi);
        EXPECT_NEAR(lo.x, exact.min.x, 1e-9) << turn;
        EXPECT_NEAR(lo.y, exact.min.y, 1e-9) << turn;
        EXPECT_NEAR(hi.x, exact.max.x, 1e-9) << turn;
        EXPECT_NEAR(hi.y, exact.max.y, 1e-9) << turn;
    }
    many->AddCircle({100, 100, 0}, 10);
    BlockReference* round = doc.ModelSpace().InsertBlock({0, 0, 0}, "MUITAS", 1, 1, 1, 0.7);
    round->GetBoundingBox(lo, hi);
    const Point3d centre = round->BlockTransform().Apply({100, 100, 0});
    EXPECT_GE(hi.y, centre.y + 10);
    EXPECT_LE(hi.y, centre.y + 10.05);

    // An empty block draws nothing: no bounding box.
    doc.Blocks().Add({0, 0, 0}, "VAZIO");
    BlockReference* e = doc.ModelSpace().InsertBlock({0, 0, 0}, "VAZIO", 1, 1, 1, 0);
    EXPECT_ACAD_ERROR(ErrorCode::NullExtents, e->GetBoundingBox(lo, hi));
}

TEST(Blocks, PurgeRemovesWhatNothingUsesOneLevelPerCall)
{
    Document doc;
    doc.Layers().Add("SOBRA");
    doc.Layers().Add("USADO");
    doc.TextStyles().Add("ROMANS");
    Block* inner = doc.Blocks().Add({0, 0, 0}, "INNER");
    inner->AddLine({0, 0}, {1, 0})->SetLayer("USADO");
    doc.Blocks().Add({0, 0, 0}, "OUTER")->InsertBlock({0, 0, 0}, "INNER", 1, 1, 1, 0);
    doc.Blocks().Add({0, 0, 0}, "KEPT")->AddPoint({0, 0, 0});
    doc.ModelSpace().InsertBlock({0, 0, 0}, "KEPT", 1, 1, 1, 0);
    doc.RegisteredApplications().Add("P1");

    doc.PurgeAll();
    EXPECT_EQ(doc.Blocks().Find("OUTER"), nullptr);
    EXPECT_NE(doc.Blocks().Find("INNER"), nullptr);  // was used by OUTER when the purge began
    EXPECT_NE(doc.Blocks().Find("KEPT"), nullptr);
    EXPECT_EQ(doc.Layers().Find("SOBRA"), nullptr);
    EXPECT_EQ(doc.TextStyles().Find("ROMANS"), nullptr);
    EXPECT_EQ(doc.RegisteredApplications().Find("P1"), nullptr);
    EXPECT_NE(doc.Layers().Find("0"), nullptr);
    EXPECT_NE(doc.TextStyles().Find("Standard"), nullptr);
    doc.PurgeAll();
    EXPECT_EQ(doc.Blocks().Find("INNER"), nullptr);
    EXPECT_EQ(doc.Layers().Find("USADO"), nullptr);
}

TEST(Blocks, InsertingADrawingFileDefinesABlockNamedAfterIt)
{
    if (!DxfAvailable()) GTEST_SKIP() << "DXF files not available yet";
    TempDir dir;
    {
        Document src;
        src.Layers().Add("MARCA")->SetColor(3);
        Circle* c = src.ModelSpace().AddCircle({0, 0, 0}, 5.0);
        c->SetLayer("MARCA");
        src.ModelSpace().AddAttribute(2.0, 0, "", {6, 0, 0}, "MENSAGEM", "");
        src.SaveAs((dir / "ErroC.dwg").string());
    }
    Document doc;
    BlockReference* r = doc.ModelSpace().InsertBlock({0, 0, 0}, (dir / "ErroC.dwg").string(), 1, 1, 1, 0);
    EXPECT_EQ(r->Name(), "ErroC");
    Block* def = doc.Blocks().Item("ErroC");
    EXPECT_EQ(def->Count(), 2);
    EXPECT_EQ(doc.Layers().Item("MARCA")->Color(), 3);
    ASSERT_EQ(r->GetAttributes().size(), 1u);
    EXPECT_EQ(r->GetAttributes()[0]->TagString(), "MENSAGEM");
    r->Delete();
    EXPECT_EQ(doc.ModelSpace().Count(), 0);
    // A second insertion of the file reuses the definition (no redefinition).
    def->AddPoint({1, 1, 0});
    doc.ModelSpace().InsertBlock({0, 0, 0}, (dir / "ErroC.dwg").string(), 1, 1, 1, 0);
    EXPECT_EQ(def->Count(), 3);
    EXPECT_ACAD_ERROR(ErrorCode::FileNotFound,
                      doc.ModelSpace().InsertBlock({0, 0, 0}, (dir / "Nada.dwg").string(), 1, 1, 1, 0));

    // The zone block beside a database kept in "da\dos", a folder whose name
    // holds "\": read as a separator, its name would reach the block of that
    // name in "da/dos", or else the one beside the drawing, which both carry
    // another attribute. Neither stands in for it: the name is refused.
    const auto zona = [](const std::filesystem::path& p, const std::string& tag) {
        std::filesystem::create_directories(p.parent_path());
        Document z;
        z.ModelSpace().AddAttribute(2.0, 0, "", {0, 0, 0}, tag, "");
        WriteDxf(z, p);
    };
    zona(dir / "da\\dos" / "Zon_PorM.dwg", "NOME");
    zona(dir / "da" / "dos" / "Zon_PorM.dwg", "MENSAGEM");
    zona(dir / "Zon_PorM.dwg", "MENSAGEM");
    const std::string nome = (dir / "da\\dos" / "Zon_PorM.dwg").string();
    for (int i = 0; i < 2; ++i) {
        Document obra;
        obra.SaveAs((dir / "rede.dwg").string());
        EXPECT_ACAD_ERROR(ErrorCode::FileError, obra.ModelSpace().InsertBlock({0, 0, 0}, nome, 1, 1, 1, 0));
        EXPECT_ACAD_ERROR(ErrorCode::FileError,
                          obra.ModelSpace().AttachExternalReference(nome, "ZONA", {0, 0, 0}, 1, 1, 1, 0, false));
        EXPECT_EQ(obra.Blocks().Find("Zon_PorM"), nullptr);
        EXPECT_EQ(obra.Blocks().Find("ZONA"), nullptr);
        // Without the other folder, the drawing's own does not stand in either.
        std::filesystem::remove_all(dir / "da");
    }
}

TEST(Blocks, ExternalReferenceShowsItsDrawingWithPrefixedLayers)
{
    if (!DxfAvailable()) GTEST_SKIP() << "DXF files not available yet";
    TempDir dir;
    {
        Document net;
        net.Layers().Add("TRECHO")->SetColor(170);
        net.ModelSpace().AddLine({0, 0}, {100, 0})->SetLayer("TRECHO");
        net.ModelSpace().AddLine({0, 0}, {0, 100});
        net.SaveAs((dir / "rede.dwg").string());
    }
    Document doc;
    ExternalReference* x =
        doc.ModelSpace().AttachExternalReference((dir / "rede.dwg").string(), "REDE", {0, 0, 0}, 1, 1, 1, 0, false);
    EXPECT_EQ(x->ObjectName(), "AcDbBlockReference");
    EXPECT_EQ(x->Name(), "REDE");
    EXPECT_TRUE(doc.Blocks().Item("REDE")->IsXRef());
    EXPECT_EQ(doc.Blocks().Item("REDE")->Count(), 2);
    ASSERT_NE(doc.Layers().Find("REDE|TRECHO"), nullptr);
    EXPECT_EQ(doc.Layers().Find("REDE|TRECHO")->Color(), 170);
    EXPECT_EQ(As<Line>(doc.Blocks().Item("REDE")->Item(0))->Layer(), "REDE|TRECHO");
    EXPECT_EQ(As<Line>(doc.Blocks().Item("REDE")->Item(1))->Layer(), "0");

    // Clipping to the left half hides the far end of the horizontal line.
    x->SetClipBoundary({{-10, -10, 0}, {50, 200, 0}});
    Point3d lo, hi;
    x->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 50.0, 1e-9);
    EXPECT_TRUE(doc.ModelSpace().QueryBox(Box::Around({80, 0}, 1)).empty());
    // An edit of its drawing's block, clipped as it is: the box follows.
    doc.Blocks().Item("REDE")->Item(1)->Delete();
    x->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.y, 0.0, 1e-9);
    EXPECT_TRUE(doc.ModelSpace().QueryBox(Box::Around({0, 80}, 1)).empty());
    x->SetClipBoundary({});
    x->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x, 100.0, 1e-9);
}

TEST(Blocks, ImportCopiesADrawingWithWhatItUses)
{
    // What inserting or attaching a drawing file does once the file is read.
    Document src;
    src.Layers().Add("CONEXOES_0")->SetColor(7);
    src.TextStyles().Add("ROMANS")->SetFontFile("Romans.shx");
    Block* tee = src.Blocks().Add({0, 0, 0}, "A-TE");
    tee->AddLine({-1, 0}, {1, 0})->SetLayer("CONEXOES_0");
    tee->AddAttribute(0.5, 0, "", {0, 1, 0}, "CODIGO", "T")->SetStyleName("ROMANS");
    BlockReference* r = src.ModelSpace().InsertBlock({10, 0, 0}, "A-TE", 1, 1, 1, 0);
    r->GetAttributes()[0]->SetTextString("T-150");
    r->SetXData({1001, 1000}, {"NUMEROTRE", "7"});
    src.ModelSpace().AddCircle({0, 0, 0}, 2);

    Document doc;
    doc.Blocks().Add({0, 0, 0}, "A-TE")->AddPoint({0, 0, 0});  // already defined here: kept
    Block* def = doc.ImportAsBlock(src, "REDE", {0, 0, 0}, false, "rede.dwg");
    EXPECT_FALSE(def->IsXRef());
    ASSERT_EQ(def->Count(), 2);
    auto* copy = As<BlockReference>(def->Item(0));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name(), "A-TE");
    EXPECT_EQ(doc.Blocks().Item("A-TE")->Count(), 1);  // the existing definition won
    ASSERT_EQ(copy->GetAttributes().size(), 1u);
    EXPECT_EQ(copy->GetAttributes()[0]->TextString(), "T-150");
    EXPECT_EQ(copy->GetAttributes()[0]->StyleName(), "ROMANS");
    std::vector<int> types;
    std::vector<Variant> values;
    copy->GetXData("", types, values);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[1].AsString(), "7");
    EXPECT_ACAD_ERROR(ErrorCode::DuplicateKey, doc.ImportAsBlock(src, "REDE", {0, 0, 0}, false, "rede.dwg"));

    // As an external reference: dependent names for layers, styles and nested blocks.
    Document host;
    Block* x = host.ImportAsBlock(src, "REDE", {0, 0, 0}, true, "/dados/rede.dwg");
    EXPECT_TRUE(x->IsXRef());
    EXPECT_EQ(x->Path(), "/dados/rede.dwg");
    EXPECT_NE(host.Blocks().Find("REDE|A-TE"), nullptr);
    EXPECT_NE(host.Layers().Find("REDE|CONEXOES_0"), nullptr);
    EXPECT_NE(host.TextStyles().Find("REDE|ROMANS"), nullptr);
    EXPECT_EQ(host.Layers().Find("CONEXOES_0"), nullptr);
    EXPECT_EQ(As<Line>(host.Blocks().Item("REDE|A-TE")->Item(0))->Layer(), "REDE|CONEXOES_0");
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, host.Layers().Item("REDE|CONEXOES_0")->Delete());
    ExternalReference* ref = host.ModelSpace().Append(std::make_unique<ExternalReference>(
        host, BlockReferenceData{host.Blocks().IndexOf(*x), {0, 0, 0}, 1, 1, 1, 0, kZAxis}));
    Point3d lo, hi;
    ref->GetBoundingBox(lo, hi);
    EXPECT_NEAR(lo.x, -2, 1e-9);
    // The attribute "T-150" at height 0.5 from x 10, as wide as its shape font's letters.
    EXPECT_NEAR(hi.x, 10 + 0.5 * (1251 + 739 + 3 * 1303) / 1493.0, 1e-9);
}

// A definition's edit reaches its references and those of the definitions that
// hold it, and no others; references keep their definition's list of users.
TEST(Blocks, DefinitionEditsReachOnlyTheirOwnReferences)
{
    Document doc;
    Block* a = doc.Blocks().Add({0, 0, 0}, "A");
    a->AddLine({0, 0, 0}, {1, 0, 0});
    Block* b = doc.Blocks().Add({0, 0, 0}, "B");
    b->AddCircle({0, 0, 0}, 1);
    Block* holder = doc.Blocks().Add({0, 0, 0}, "HOLDER");
    holder->InsertBlock({0, 0, 0}, "A", 1, 1, 1, 0);
    std::vector<BlockReference*> refsA, refsB;
    for (int i = 0; i < 50; ++i) {
        refsA.push_back(doc.ModelSpace().InsertBlock({i * 10.0, 0, 0}, "A", 1, 1, 1, 0));
        refsB.push_back(doc.ModelSpace().InsertBlock({i * 10.0, 50, 0}, "B", 1, 1, 1, 0));
    }
    BlockReference* held = doc.ModelSpace().InsertBlock({0, -100, 0}, "HOLDER", 1, 1, 1, 0);
    doc.ModelExtents();  // everything measured
    for (auto* r : refsB) ASSERT_TRUE(r->ExtentsCached());

    a->AddLine({0, 0, 0}, {0, 7, 0});
    doc.FlushBlockChanges();
    for (auto* r : refsB) EXPECT_TRUE(r->ExtentsCached()) << "a reference of another block was measured again";
    Point3d lo, hi;
    refsA[3]->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.y, 7, 1e-9);
    held->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.y, -93, 1e-9);
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({0, -93.5, 0}, 0.1)), std::vector<Entity*>{held});

    // Re-pointed references leave one list for the other: "A" is still used by
    // the holder, "B" no longer by anything once its references go.
    for (auto* r : refsB) r->SetName("A");
    EXPECT_EQ(a->References().size(), 101u);
    EXPECT_TRUE(b->References().empty());
    EXPECT_NO_THROW(b->Delete());
    refsA[0]->Delete();
    EXPECT_EQ(a->References().size(), 100u);
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, a->Delete());
    a->AddLine({0, 0, 0}, {0, -9, 0});
    refsB[7]->GetBoundingBox(lo, hi);  // now a reference of "A" at (70, 50)
    EXPECT_NEAR(lo.y, 41, 1e-9);

    // Copies join the list when they are added, not before.
    Entity* copy = refsA[1]->Copy();
    EXPECT_EQ(a->References().size(), 101u);
    copy->Delete();
    EXPECT_EQ(a->References().size(), 100u);
}
