// Texts and attributes: the alignment rule and extents as wide as the letters.
#include <gtest/gtest.h>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;

namespace {
void ExpectPoint(const Point3d& p, double x, double y)
{
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}
// Advances in font units over the cap height: shape fonts ("txt", "romans.shx")
// are as wide as DejaVu Sans, Arial as its metrics (Liberation Sans).
constexpr double kShapeCap = 1493, kArialCap = 1409;
}  // namespace

TEST(TextAlignment, SettingAlignmentThenItsPointAnchorsTheTextThere)
{
    Document doc;
    // The block builder's order: add at P, set alignment, read the insertion point
    // back and make it the alignment point.
    Text* t = doc.ModelSpace().AddText("ABCD", {10, 20, 0}, 2.0);
    t->SetAlignment(Alignment::BottomCenter);
    ExpectPoint(t->InsertionPoint(), 10, 20);  // still as the caller knows it
    t->SetTextAlignmentPoint(t->InsertionPoint());
    ExpectPoint(t->TextAlignmentPoint(), 10, 20);
    // A B C D of the shape font at height 2; bottom centre sits 0.3 h below the baseline.
    const double w = 2 * (1401 + 1405 + 1430 + 1577) / kShapeCap;
    ExpectPoint(t->InsertionPoint(), 10 - w / 2, 20 + 0.6);
    Point3d lo, hi;
    t->GetBoundingBox(lo, hi);
    ExpectPoint(lo, 10 - w / 2, 20.6);
    ExpectPoint(hi, 10 + w / 2, 22.6);
    EXPECT_EQ(t->Alignment(), 13);
}

TEST(TextAlignment, PointThenAlignmentKeepsThePoint)
{
    Document doc;
    Text* t = doc.ModelSpace().AddText("AB", {0, 0, 0}, 1.0);
    t->SetTextAlignmentPoint({50, 50, 0});  // Left: only stored
    ExpectPoint(t->InsertionPoint(), 0, 0);
    t->SetAlignment(Alignment::TopRight);  // from Left: the stored point is the anchor
    t->Update();
    ExpectPoint(t->TextAlignmentPoint(), 50, 50);
    ExpectPoint(t->InsertionPoint(), 50 - (1401 + 1405) / kShapeCap, 49);
    // Between two non-left alignments the point stays and the insertion follows at once.
    t->SetAlignment(Alignment::MiddleLeft);
    ExpectPoint(t->TextAlignmentPoint(), 50, 50);
    ExpectPoint(t->InsertionPoint(), 50, 49.5);
    // Back to Left: the text stays where it was shown.
    t->SetAlignment(Alignment::Left);
    ExpectPoint(t->InsertionPoint(), 50, 49.5);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, t->SetAlignment(15));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, t->SetHeight(0));
}

TEST(TextAlignment, RotationAndStyleWidthsShapeTheBox)
{
    Document doc;
    TextStyle* arial = doc.TextStyles().Add("ARIAL");
    arial->SetFont("Arial", false, false, 0, 34);
    EXPECT_TRUE(arial->IsTrueType());
    TextStyle* romans = doc.TextStyles().Add("ROMANS");
    romans->SetFontFile("Romans.shx");
    EXPECT_FALSE(romans->IsTrueType());
    std::string face;
    bool bold = true, italic = true;
    int charset = -1, pitch = -1;
    arial->GetFont(face, bold, italic, charset, pitch);
    EXPECT_EQ(face, "Arial");
    EXPECT_FALSE(bold);
    EXPECT_EQ(pitch, 34);

    Text* a = doc.ModelSpace().AddText("12345", {0, 0, 0}, 1.0);
    a->SetStyleName("ARIAL");
    Point3d lo, hi;
    a->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x - lo.x, 5 * 1139 / kArialCap, 1e-9);  // Arial's digits
    a->SetStyleName("ROMANS");
    a->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x - lo.x, 5 * 1303 / kShapeCap, 1e-9);
    a->SetRotation(kPi / 2);
    a->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.y - lo.y, 5 * 1303 / kShapeCap, 1e-9);
    EXPECT_NEAR(hi.x - lo.x, 1.0, 1e-9);
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, a->SetStyleName("NADA"));
    // UTF-8 letters are measured one each, as wide as their own letters.
    Text* acc = doc.ModelSpace().AddText("ÇÃO", {0, 0, 0}, 1.0);
    acc->GetBoundingBox(lo, hi);
    EXPECT_NEAR(hi.x - lo.x, (1430 + 1401 + 1612) / kShapeCap, 1e-9);
    // An empty text draws nothing.
    Text* empty = doc.ModelSpace().AddText("", {0, 0, 0}, 1.0);
    EXPECT_ACAD_ERROR(ErrorCode::NullExtents, empty->GetBoundingBox(lo, hi));
}

TEST(Attributes, TagsFlagsAndPositionsAsTheSystemUsesThem)
{
    Document doc;
    doc.Layers().Add("FLUXO");
    Block* tr = doc.Blocks().Add({0, 0, 0}, "E-TRSAN");
    AttributeDefinition* def = tr->AddAttribute(1.5, 0, "", {0, 1, 0}, "CÓDIGO", "");
    def->SetAlignment(Alignment::TopCenter);
    def->SetTextAlignmentPoint(def->InsertionPoint());
    EXPECT_EQ(def->ObjectName(), "AcDbAttributeDefinition");
    EXPECT_EQ(def->Alignment(), 7);
    tr->AddAttribute(1.5, 0, "", {0, -1, 0}, "MAT", "PVC");
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, tr->AddAttribute(1.5, 0, "", {0, 0, 0}, "DOIS NOMES", ""));

    BlockReference* r = doc.ModelSpace().InsertBlock({100, 0, 0}, "E-TRSAN", 1, 1, 1, 0);
    auto atts = r->GetAttributes();
    ASSERT_EQ(atts.size(), 2u);
    // The reference's attribute keeps the definition's alignment and anchor.
    EXPECT_EQ(atts[0]->Alignment(), 7);
    ExpectPoint(atts[0]->TextAlignmentPoint(), 100, 1);
    atts[0]->SetTagString("CODIGO");
    EXPECT_EQ(atts[0]->TagString(), "CODIGO");
    EXPECT_EQ(def->TagString(), "CÓDIGO");  // the definition is its own object
    EXPECT_EQ(atts[1]->TextString(), "PVC");

    // Tiny heights, visibility and flags the verification writes.
    atts[1]->SetHeight(0.00001);
    atts[1]->SetInvisible(true);
    atts[1]->SetBackward(true);
    atts[1]->SetUpsideDown(true);
    EXPECT_TRUE(atts[1]->Invisible());
    EXPECT_TRUE(atts[1]->Backward());
    EXPECT_TRUE(atts[1]->UpsideDown());
    atts[1]->SetVisible(false);
    EXPECT_FALSE(atts[1]->Visible());
    atts[1]->SetLayer("FLUXO");
    EXPECT_EQ(atts[1]->Layer(), "FLUXO");
    atts[0]->SetTextString("12");
    Point3d lo, hi;
    r->GetBoundingBox(lo, hi);  // only the visible "12" is drawn (the definition holds no geometry)
    EXPECT_NEAR(hi.x - lo.x, 2 * 1303 / kShapeCap * 1.5, 1e-9);
}

TEST(Attributes, BoxTracksEveryChangeOfTheText)
{
    Document doc;
    Block* b = doc.Blocks().Add({0, 0, 0}, "B");
    b->AddAttribute(1.0, 0, "", {0, 0, 0}, "T", "X");
    BlockReference* r = doc.ModelSpace().InsertBlock({0, 0, 0}, "B", 1, 1, 1, 0);
    AttributeReference* a = r->GetAttributes()[0];
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({5, 0.5}, 0.1)).size(), 0u);
    a->SetTextString("XXXXXXXX");  // 7.5 wide now
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({5, 0.5}, 0.1)).size(), 1u);
    a->SetInsertionPoint({0, 100, 0});
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({5, 0.5}, 0.1)).size(), 0u);
    EXPECT_EQ(doc.ModelSpace().QueryBox(Box::Around({5, 100.5}, 0.1)).size(), 1u);
}
