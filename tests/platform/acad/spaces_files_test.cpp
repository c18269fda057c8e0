// Paper spaces and their names, layout copies, files of drawings and templates.
#include <gtest/gtest.h>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;
using acadcore_test::DxfAvailable;
using acadcore_test::TempDir;

TEST(Spaces, TheShownPaperSpaceIsAlwaysNamedPaperSpace)
{
    Document doc;
    Layout* l2 = doc.Layouts().Add("Folha 2");
    EXPECT_EQ(l2->Block().Name(), "*Paper_Space0");
    EXPECT_EQ(l2->TabOrder(), 2);
    doc.SetActiveLayout(*l2);
    EXPECT_EQ(&doc.PaperSpace(), &l2->Block());
    EXPECT_EQ(l2->Block().Name(), "*Paper_Space");
    EXPECT_EQ(doc.Layouts().Item("Layout1")->Block().Name(), "*Paper_Space0");
    EXPECT_EQ(doc.Blocks().Item("*Paper_Space"), &l2->Block());
    EXPECT_EQ(doc.GetVariable("CTAB").AsString(), "Folha 2");

    // Back in model space, paper space is the last layout shown.
    doc.SetActiveSpace(acModelSpace);
    EXPECT_EQ(&doc.PaperSpace(), &l2->Block());
    // Deleting that layout while model space is shown passes the name on.
    l2->Delete();
    EXPECT_EQ(doc.PaperSpace().Name(), "*Paper_Space");
    EXPECT_EQ(&doc.PaperSpace(), &doc.Layouts().Item("Layout1")->Block());
    EXPECT_EQ(doc.ActiveSpace(), acModelSpace);
    EXPECT_TRUE(l2->IsErased());
    EXPECT_ACAD_ERROR(ErrorCode::ObjectErased, l2->Delete());
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.Layouts().Add("A:B"));
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, doc.Layouts().Item("Model")->SetName("X"));
}

TEST(Spaces, ALayoutCopyShowsWhatTheTemplateShowsNow)
{
    Application app;
    Document* doc = app.Documents().Add("Acad");
    doc->ModelSpace().AddCircle({1000, 2000, 0}, 10);
    doc->SetActiveSpace(acPaperSpace);
    Block& paper = doc->PaperSpace();
    Block* selo = doc->Blocks().Add({0, 0, 0}, "SELO");
    selo->AddAttribute(3, 0, "", {0, 0, 0}, "FOLHA", "");
    BlockReference* s = paper.InsertBlock({200, 10, 0}, "SELO", 1, 1, 1, 0);
    s->GetAttributes()[0]->SetTextString("0010");
    doc->SetMSpace(true);
    app.ZoomWindow({990, 1990, 0}, {1010, 2010, 0});
    doc->SetMSpace(false);

    Layout* copy = doc->Layouts().Copy(doc->ActiveLayout(), "X-0010");
    s->GetAttributes()[0]->SetTextString("0020");  // the template moves on; the copy keeps its sheet
    std::vector<PViewport*> vps = doc->Viewports(*copy);
    ASSERT_EQ(vps.size(), 1u);
    EXPECT_NEAR(vps[0]->View().Center().x, 1000, 1e-9);
    EXPECT_NEAR(vps[0]->Data().viewCenter.y, 2000, 1e-9);
    BlockReference* copied = nullptr;
    for (Entity* e : copy->Block())
        if (auto* r = As<BlockReference>(e)) copied = r;
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->GetAttributes()[0]->TextString(), "0010");
    EXPECT_EQ(doc->ActiveLayout().Name(), "Layout1");
}

TEST(Files, SaveAsNamesAndTemplates)
{
    if (!DxfAvailable()) GTEST_SKIP() << "DXF files not available yet";
    TempDir dir;
    Application app;
    app.SetSupportFolders({dir.Path()});
    Document* d = app.Documents().Add("Acad");
    d->Layers().Add("MODELO");
    d->SaveAs((dir / "base.dwt").string());

    // A template file found in the support folders starts a new, unnamed drawing.
    Document* n = app.Documents().Add("base");
    EXPECT_NE(n->Layers().Find("MODELO"), nullptr);
    EXPECT_EQ(n->FullName(), "");
    EXPECT_EQ(n->Name(), "Drawing2.dwg");
    EXPECT_TRUE(n->Saved());

    // A name with backslashes (as the system builds them) and a later Save.
    n->ModelSpace().AddPoint({1, 2, 3});
    EXPECT_FALSE(n->Saved());
    std::string windowsish = dir.Path().string() + "\\nodes_NOD.dwg";
    n->SaveAs(windowsish);
    EXPECT_EQ(n->Name(), "nodes_NOD.dwg");
    EXPECT_EQ(n->GetVariable("DWGPREFIX").AsString(), dir.Path().string() + "/");
    n->ModelSpace().AddPoint({4, 5, 6});
    n->Save();
    EXPECT_TRUE(n->Saved());
    Document* o = app.Documents().Open((dir / "nodes_NOD.dwg").string());
    EXPECT_EQ(o->ModelSpace().Count(), 2);
    EXPECT_ACAD_ERROR(ErrorCode::FileError, n->SaveAs((dir / "no such folder" / "x.dwg").string()));
    EXPECT_EQ(n->Name(), "nodes_NOD.dwg");
}
