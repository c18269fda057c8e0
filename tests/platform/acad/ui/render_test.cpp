// What the window draws of a sample drawing, checked by size and a few pixels:
// colours by index, ByLayer and ByBlock, frozen and switched-off layers, blocks
// (mirrored, layer "0" parts), attributes (invisible ones not drawn), hatches,
// polyline widths (corners joined), texts (tiny ones as boxes), clipped external references.

#include <gtest/gtest.h>

#include "UiHarness.h"
#include "../dxf_test_text.h"
#include "../heavy_drawings.h"
#include "../walk_bound.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "platform/acad/DxfFile.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/MTextLayout.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/ui/SceneRenderer.h"
#include "support/MemoryLimit.h"

#include <unistd.h>

using acad::Point3d;
using acad::ui::AciColor;
using uitest::HasColorNear;
using uitest::Harness;

namespace {

// Pixels of the image inside the rectangle that are not background.
int Inked(const QImage& img, const QRectF& r)
{
    int n = 0;
    const QRect px = r.toAlignedRect();
    for (int y = px.top(); y <= px.bottom(); ++y)
        for (int x = px.left(); x <= px.right(); ++x)
            if (img.valid(x, y) && img.pixelColor(x, y).rgb() != acad::ui::BackgroundColor().rgb()) ++n;
    return n;
}

// Pixels inked in `a` with no inked pixel within one pixel of them in `b`.
int InkedApart(const QImage& a, const QImage& b)
{
    const QRgb background = acad::ui::BackgroundColor().rgb();
    auto inked = [&](const QImage& img, int x, int y) { return img.valid(x, y) && img.pixel(x, y) != background; };
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!inked(a, x, y)) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) near = inked(b, x + dx, y + dy);
            n += near ? 0 : 1;
        }
    return n;
}

class Render : public ::testing::Test {
protected:
    void SetUp() override
    {
        acad::Document& d = *h.doc;
        ms = &d.ModelSpace();
        h.app.ZoomWindow({0, 0, 0}, {100, 75, 0});
    }
    QRectF Pixels(const Point3d& a, const Point3d& b) const { return QRectF(h.PixelOf(a), h.PixelOf(b)).normalized(); }
    // `doc` shown in the window at its extents: what the frame did.
    acad::ui::RenderStats FrameAtExtents(acad::Document& doc)
    {
        h.app.SetActiveDocument(doc);
        Harness::Process();
        h.app.ZoomExtents();
        h.Grab();
        return h.view->LastStats();
    }
    // What a frame of `doc` may do: the view's budget, and an ordinary block's
    // worth for each entity of the space.
    static std::size_t Bound(const acad::Document& doc)
    {
        return static_cast<std::size_t>(acad::kViewBudget + acad::kReferenceWork * doc.ModelSpace().Count());
    }

    Harness h;
    acad::Block* ms = nullptr;
};

TEST_F(Render, ColoursLayersAndBlocks)
{
    acad::Document& d = *h.doc;
    ms->AddLine({5, 60, 0}, {45, 60, 0})->SetColor(1);
    d.Layers().Add("CONG");
    acad::Line* frozen = ms->AddLine({5, 55, 0}, {45, 55, 0});
    frozen->SetLayer("CONG");
    frozen->SetColor(3);
    d.Layers().Item("CONG")->SetFreeze(true);
    d.Layers().Add("DESL")->SetLayerOn(false);
    acad::Line* off = ms->AddLine({5, 50, 0}, {45, 50, 0});
    off->SetLayer("DESL");
    off->SetColor(4);
    d.Layers().Add("AZUL")->SetColor(5);
    ms->AddCircle({70, 60, 0}, 5)->SetLayer("AZUL");

    // A block with a ByBlock part and a ByLayer part on layer "0".
    acad::Block* bb = d.Blocks().Add({0, 0, 0}, "BB");
    bb->AddLine({0, 0, 0}, {10, 0, 0})->SetColor(acad::Color::ByBlock);
    bb->AddLine({0, 2, 0}, {10, 2, 0});
    acad::BlockReference* r1 = ms->InsertBlock({5, 40, 0}, "BB", 1, 1, 1, 0);
    r1->SetLayer("AZUL");
    r1->SetColor(6);
    acad::BlockReference* mirrored = ms->InsertBlock({40, 40, 0}, "BB", -1, 1, 1, 0);
    mirrored->SetColor(2);

    const QImage img = h.Grab();
    ASSERT_EQ(img.size(), h.view->size());
    EXPECT_EQ(img.pixelColor(2, 2).rgb(), acad::ui::BackgroundColor().rgb());
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({25, 60}), AciColor(1)));
    EXPECT_EQ(Inked(img, Pixels({10, 54, 0}, {40, 56, 0})), 0) << "frozen layer drawn";
    EXPECT_EQ(Inked(img, Pixels({10, 49, 0}, {40, 51, 0})), 0) << "layer switched off drawn";
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({75, 60}), AciColor(5)));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({10, 40}), AciColor(6)));  // ByBlock: the reference's colour
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({10, 42}), AciColor(5)));  // layer "0": the reference's layer
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({35, 40}), AciColor(2)));  // mirrored to the left
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({45, 40}), AciColor(2)));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({35, 42}), AciColor(7)));

    // Thawing the layer shows it at the next paint.
    d.Layers().Item("CONG")->SetFreeze(false);
    EXPECT_TRUE(HasColorNear(h.Grab(), h.PixelOf({25, 55}), AciColor(3)));
    // A selection set highlighted draws its lines dashed: some pixels of the line go.
    acad::SelectionSet* ss = d.SelectionSets().Add("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, {8}, {acad::Variant("CONG")});
    ss->Highlight(true);
    const QImage lit = h.Grab();
    EXPECT_LT(Inked(lit, Pixels({10, 54.5, 0}, {40, 55.5, 0})),
              Inked(h.Grab(), Pixels({10, 54.5, 0}, {40, 55.5, 0})) + 1);
    const QRectF span = Pixels({10, 55, 0}, {40, 55, 0}).adjusted(0, -1, 0, 1);
    ss->Highlight(false);
    EXPECT_LT(Inked(lit, span), Inked(h.Grab(), span));
}

TEST_F(Render, AttributesHatchesWidthsAndTexts)
{
    acad::Document& d = *h.doc;
    acad::Block* att = d.Blocks().Add({0, 0, 0}, "ATT");
    att->AddAttribute(4, 0, "", {0, 0, 0}, "A", "WWWW");
    att->AddAttribute(4, acad::AttributeMode::Invisible, "", {0, -8, 0}, "B", "WWWW");
    ms->InsertBlock({60, 30, 0}, "ATT", 1, 1, 1, 0);

    acad::LWPolyline* square = ms->AddLightWeightPolyline({5, 5, 25, 5, 25, 25, 5, 25});
    square->SetClosed(true);
    acad::Hatch* solid = ms->AddHatch(acad::HatchPatternType::PreDefined, "SOLID", false);
    solid->AppendOuterLoop({square});
    solid->SetColor(1);
    acad::LWPolyline* square2 = ms->AddLightWeightPolyline({30, 5, 50, 5, 50, 25, 30, 25});
    square2->SetClosed(true);
    acad::Hatch* pattern = ms->AddHatch(acad::HatchPatternType::PreDefined, "ANSI31", false);
    pattern->AppendOuterLoop({square2});
    pattern->SetColor(3);

    acad::LWPolyline* wide = ms->AddLightWeightPolyline({55, 5, 95, 5, 95, 20});
    wide->SetConstantWidth(4);
    wide->SetColor(4);

    ms->AddText("ABC", {5, 65, 0}, 6)->SetColor(2);
    const double tiny = 2.5 * h.PixelSize();
    acad::Text* small = ms->AddText("minúsculo", {60, 65, 0}, tiny);
    small->SetColor(6);

    const QImage img = h.Grab();
    EXPECT_GT(Inked(img, Pixels({60, 30, 0}, {72, 34, 0})), 20);  // visible attribute
    EXPECT_EQ(Inked(img, Pixels({60, 22, 0}, {72, 26, 0})), 0);   // invisible attribute
    EXPECT_EQ(img.pixelColor(h.PixelOf({15, 15}).toPoint()).rgb(), AciColor(1).rgb());
    // The pattern leaves gaps between its strokes.
    const QRectF inside = Pixels({33, 8, 0}, {47, 22, 0});
    const int inked = Inked(img, inside);
    EXPECT_GT(inked, 10);
    EXPECT_LT(inked, inside.width() * inside.height() * 0.8);
    // The width shows across the polyline (half of 4 on each side).
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({75, 6.5}), AciColor(4), 0));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({75, 3.5}), AciColor(4), 0));
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({75, 8}), AciColor(4), 0));
    // Its corner is joined: the outer edges meet, no notch between the two pieces.
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({96.5, 3.5}), AciColor(4), 0));
    // Letters in the text's box, in the text's colour; the tiny text is its box.
    EXPECT_GT(Inked(img, Pixels({5, 65, 0}, {5 + 3 * 0.9 * 6, 71, 0})), 30);
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({5 + 2, 68}), AciColor(2), 6));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({60, 65}), AciColor(6), 1));
    EXPECT_GT(h.view->LastStats().texts, 0u);

    // Letters larger than the raster engine keeps (a text drawn the same way a
    // second time comes from its image): an "L" turned, mirrored or slanted inks
    // its box as the box's frame says, its stem at the start and nothing above
    // the end of its foot, and nothing around the box; a text whose string,
    // height, colour or mirroring changed between frames shows as it now is.
    h.app.ZoomWindow({200, 0, 0}, {300, 75, 0});
    const double big = 80 * h.PixelSize();  // a cap 80 pixels high: a font of about 110 pixels
    struct Frame {
        QPointF o, x, y;  // baseline start, its end, top of the start, in pixels
    };
    auto frameOf = [&](const acad::TextBase& t, const Point3d& at = {}, double sx = 1) {
        Point3d c[4];
        t.TextBoxCorners(c);
        auto px = [&](const Point3d& p) { return h.PixelOf({at.x + sx * p.x, at.y + p.y, 0}); };
        return Frame{px(c[0]), px(c[1]), px(c[3])};
    };
    // Inked pixels where u (along the baseline, 0 to 1) and v (up the side) fall
    // in `uv`; `around`: those 3 to 20 pixels out of the box.
    auto inkedIn = [&](const QImage& im, const Frame& f, const QRectF& uv, bool around = false) {
        const QPointF a = f.x - f.o, c = f.y - f.o, far = f.x + c;
        const double det = a.x() * c.y() - a.y() * c.x(), la = std::hypot(a.x(), a.y()), lc = std::hypot(c.x(), c.y());
        auto within = [&](double u, double v, double px) {
            return u > -px / la && u < 1 + px / la && v > -px / lc && v < 1 + px / lc;
        };
        int n = 0;
        for (int y = int(std::min({f.o.y(), f.x.y(), f.y.y(), far.y()})) - 21;
             y <= int(std::max({f.o.y(), f.x.y(), f.y.y(), far.y()})) + 21; ++y)
            for (int x = int(std::min({f.o.x(), f.x.x(), f.y.x(), far.x()})) - 21;
                 x <= int(std::max({f.o.x(), f.x.x(), f.y.x(), far.x()})) + 21; ++x) {
                const QPointF d = QPointF(x + 0.5, y + 0.5) - f.o;
                const double u = (d.x() * c.y() - d.y() * c.x()) / det, v = (a.x() * d.y() - a.y() * d.x()) / det;
                const bool in = around ? within(u, v, 20) && !within(u, v, 3) : uv.contains(u, v);
                if (in && im.valid(x, y) && im.pixel(x, y) != acad::ui::BackgroundColor().rgb()) ++n;
            }
        return n;
    };
    auto expectL = [&](const QImage& im, const Frame& f, const char* what) {
        EXPECT_GT(inkedIn(im, f, QRectF(0, 0.75, 0.5, 0.2)), 20) << what << ": the stem's top";
        EXPECT_EQ(inkedIn(im, f, QRectF(0.6, 0.3, 0.4, 0.65)), 0) << what << ": above the foot's end";
        EXPECT_EQ(inkedIn(im, f, QRectF(), true), 0) << what << ": around the box";
    };
    acad::Text* turned = ms->AddText("L", {215, 10, 0}, big);
    turned->SetRotation(0.5);
    acad::Text* mirrored = ms->AddText("L", {245, 10, 0}, big);
    mirrored->SetBackward(true);
    // Slanted: a turned "L" in a block stretched twice along x.
    acad::Text* leaning = d.Blocks().Add({0, 0, 0}, "INCLINADO")->AddText("L", {0, 0, 0}, big);
    leaning->SetRotation(acad::kPi / 4);
    ms->InsertBlock({275, 10, 0}, "INCLINADO", 2, 1, 1, 0);
    acad::Text* renamed = ms->AddText("L", {205, 35, 0}, big);
    acad::Text* grown = ms->AddText("L", {230, 35, 0}, big);
    acad::Text* recoloured = ms->AddText("L", {205, 58, 0}, big);
    recoloured->SetColor(1);
    h.Grab();
    ms->AddPoint({299, 74, 0});  // another frame of the same view: the texts drawn a second time
    QImage large = h.Grab();
    expectL(large, frameOf(*turned), "turned");
    expectL(large, frameOf(*mirrored), "mirrored");
    expectL(large, frameOf(*leaning, {275, 10, 0}, 2), "slanted");
    expectL(large, frameOf(*grown), "before it grew");
    const QPointF stem = h.PixelOf({205 + 0.23 * 0.8 * big, 58 + 0.85 * big, 0});
    EXPECT_TRUE(HasColorNear(large, stem, AciColor(1), 4));
    // Each changed in one way, where it is: the text as it now is shows.
    renamed->SetTextString("T");
    grown->SetHeight(1.4 * big);
    recoloured->SetColor(3);
    mirrored->SetBackward(false);
    large = h.Grab();
    EXPECT_GT(inkedIn(large, frameOf(*renamed), QRectF(0.6, 0.85, 0.35, 0.1)), 20) << "the T's bar";
    EXPECT_EQ(inkedIn(large, frameOf(*renamed), QRectF(), true), 0);
    EXPECT_GT(inkedIn(large, frameOf(*grown), QRectF(0, 0.8, 0.5, 0.15)), 20) << "the taller stem's top";
    EXPECT_EQ(inkedIn(large, frameOf(*grown), QRectF(), true), 0);
    EXPECT_TRUE(HasColorNear(large, stem, AciColor(3), 4));
    EXPECT_FALSE(HasColorNear(large, stem, AciColor(1), 4));
    expectL(large, frameOf(*mirrored), "mirrored no more");
    // Highlighted: the dashed box over the top of the foot's end.
    turned->Highlight(true);
    EXPECT_GT(inkedIn(h.Grab(), frameOf(*turned), QRectF(0.6, 0.97, 0.35, 0.06)), 3);
}

// Letters are drawn in the face their box was measured in (Arial by Liberation
// Sans's file, whatever the machine has), at their own widths: ten capital I
// of Arial stand one advance (569 of 1409 cap units) apart, and the last ends
// inside the box. A multi-line text's background fill lies beneath it in its
// own colour, half a height past its box, and its frame is drawn in the text's.
TEST_F(Render, TextsAreDrawnInTheFacesTheirBoxesAreMeasuredIn)
{
    acad::Document& d = *h.doc;
    acad::TextStyle* arial = d.TextStyles().Add("ARIAL");
    arial->SetFont("Arial", false, false, 0, 34);
    const double cap = 40;  // pixels
    acad::Text* t = ms->AddText("IIIIIIIIII", {5, 40, 0}, cap * h.PixelSize());
    t->SetStyleName("ARIAL");
    t->SetColor(2);
    acad::MText* filled = ms->AddMText({5, 20, 0}, 30, "fundo");
    acad::MTextData fd = filled->Data();
    fd.height = 2;
    fd.background = acad::MTextBackground::Color;
    fd.backgroundColor = 1;
    filled->SetData(fd);
    acad::MText* framed = ms->AddMText({55, 20, 0}, 30, "moldura");
    acad::MTextData md = framed->Data();
    md.height = 2;
    md.background = acad::MTextBackground::Frame;
    framed->SetData(md);
    framed->SetColor(3);

    const QImage img = h.Grab();
    // The stems across the middle of the capitals.
    const QPointF mid = h.PixelOf({5, 40 + cap * h.PixelSize() / 2, 0});
    const int y = static_cast<int>(mid.y());
    std::vector<std::pair<int, int>> stems;
    for (int x = static_cast<int>(mid.x()) - 5, start = -1; x < static_cast<int>(mid.x()) + 600; ++x) {
        const bool ink = img.pixelColor(x, y).rgb() == AciColor(2).rgb();
        if (ink && start < 0) start = x;
        if (!ink && start >= 0) {
            stems.emplace_back(start, x - 1);
            start = -1;
        }
    }
    ASSERT_EQ(stems.size(), 10u);
    auto centre = [](const std::pair<int, int>& s) { return (s.first + s.second) / 2.0; };
    EXPECT_NEAR(centre(stems[9]) - centre(stems[0]), 9 * 569.0 / 1409 * cap, 1.5);
    Point3d c[4];
    t->TextBoxCorners(c);
    EXPECT_LE(stems.back().second, h.PixelOf(c[1]).x() + 1);
    EXPECT_GE(stems.front().first, h.PixelOf(c[0]).x() - 1);

    // Fill beneath, past the letters and past the box by a height's half (1).
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({5 + 29, 20 - 1, 0}), AciColor(1), 0));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({5 - 0.5, 20 + 0.5, 0}), AciColor(1), 0));
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({5 - 1.5, 20 - 1, 0}), AciColor(1), 0));
    // The frame, its left side a height's half out of the box.
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({55 - 1, 20 - 1, 0}), AciColor(3), 1));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({55 + 31, 20 - 1, 0}), AciColor(3), 1));
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({55 + 25, 20 - 1, 0}), AciColor(3), 1));
}

namespace {

// The four corners of each text an entity draws, in the world.
class TextBoxes final : public acad::GeometrySink {
public:
    void Point(const Point3d&) override {}
    void Segment(const Point3d&, const Point3d&) override {}
    void Arc(const acad::CircularArc&) override {}
    void Text(const acad::TextPrimitive& t) override { boxes.push_back({t.corners[0], t.corners[1], t.corners[3]}); }
    std::vector<std::array<Point3d, 3>> boxes;  // baseline start, its end, top of the start
};

// A text's box in the window: baseline start, its end, top of the start, in pixels.
struct TextFrame {
    QPointF o, x, y;
};

// Pixels of `img` not of the background whose place in the box (u along its
// baseline, v up its side, each 0 to 1) lies in `uv`; with `around`, those 3
// to 20 pixels out of the box instead.
int InkedInBox(const QImage& img, const TextFrame& f, const QRectF& uv, bool around = false)
{
    const QPointF a = f.x - f.o, c = f.y - f.o;
    const double det = a.x() * c.y() - a.y() * c.x(), la = std::hypot(a.x(), a.y()), lc = std::hypot(c.x(), c.y());
    auto within = [&](double u, double v, double px) {
        return u > -px / la && u < 1 + px / la && v > -px / lc && v < 1 + px / lc;
    };
    const QRgb background = acad::ui::BackgroundColor().rgb();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixel(x, y) == background) continue;
            const QPointF d = QPointF(x + 0.5, y + 0.5) - f.o;
            const double u = (d.x() * c.y() - d.y() * c.x()) / det, v = (a.x() * d.y() - a.y() * d.x()) / det;
            if (around ? within(u, v, 20) && !within(u, v, 3) : uv.contains(u, v)) ++n;
        }
    return n;
}

// Pixels of `img` of `color`.
int OfColor(const QImage& img, const QColor& color)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == color.rgb() ? 1 : 0;
    return n;
}

// What Qt's painters say while alive.
class PainterMessages {
public:
    PainterMessages()
    {
        said_ = &list;
        previous_ = qInstallMessageHandler(&PainterMessages::Take);
    }
    ~PainterMessages()
    {
        qInstallMessageHandler(previous_);
        said_ = nullptr;
    }
    QStringList list;

private:
    static void Take(QtMsgType type, const QMessageLogContext& context, const QString& m)
    {
        if (said_ && m.startsWith(QStringLiteral("QPainter")))
            said_->append(m);
        else if (previous_)
            previous_(type, context, m);
    }
    static inline QStringList* said_ = nullptr;
    static inline QtMessageHandler previous_ = nullptr;
};

}  // namespace

// Letters squeezed or stretched past what the screen shows, and letters seen
// huge, are the font's letters at their places in the text's box, whatever
// makes them so: a fitted text; a width factor, turned and mirrored, or upside
// down, or with an oblique angle (drawn upright); a multi-line text's own
// width; an attribute and a dimension's text of references scaled unevenly,
// and a text of a block scaled up a hundred million times; a text turned nearly edge-on by its
// extrusion. In each, the stem of the first and the last "L" stands at its
// start, its foot runs along the baseline, nothing stands above the foot's end
// and nothing around the box. Letters squeezed too narrow to show their shape
// run into one block of ink, their box. The last letters of a text 36 million pixels long stand at their
// places too. Zoomed in 110 wheel clicks (some 10^11) on the stem of an "L", near the
// origin and a million units out, the view is the stem's colour; above its
// foot, empty; and no painter complains on the way.
TEST_F(Render, SqueezedStretchedAndHugeLettersAreTheFontsLettersInTheirBoxes)
{
    acad::Document& d = *h.doc;
    auto text = [](const std::string& at, const std::string& rest) {
        return "0\nTEXT\n8\n0\n62\n2\n" + at + "\n" + rest + "\n";
    };
    const std::string file =
        "0\nSECTION\n2\nENTITIES\n" +
        text("10\n0\n20\n0\n30\n0", "40\n80\n1\nLLLL\n72\n5\n11\n24\n21\n0\n31\n0") +  // fitted
        text("10\n200\n20\n0\n30\n0", "40\n80\n1\nLLLL\n41\n0.08\n50\n30\n71\n2") +    // turned, mirrored
        text("10\n400\n20\n100\n30\n0", "40\n80\n1\nLLLL\n41\n0.08\n71\n4") +          // upside down
        text("10\n600\n20\n0\n30\n0", "40\n8\n1\nL\n41\n15") +                         // stretched
        text("10\n800\n20\n0\n30\n0", "40\n80\n1\nLLLL\n41\n0.08\n51\n80") +           // oblique
        "0\nMTEXT\n8\n0\n62\n2\n10\n1000\n20\n90\n30\n0\n40\n80\n41\n0\n71\n1\n1\n\\W0.08;LLLL\n" +
        text("10\n0\n20\n0\n30\n2500\n210\n0.998\n220\n0\n230\n0.0628", "40\n80\n1\nLLLL\n50\n90") +  // edge-on
        text("10\n0\n20\n-300\n30\n0", "40\n2.5\n1\n" + std::string(200, 'W') + "\n72\n5\n11\n1\n21\n-300\n31\n0") +
        "0\nENDSEC\n0\nEOF\n";
    PainterMessages painter;
    ASSERT_EQ(acad::ReadDxfText(d, file, "letras.dxf"), "");
    std::vector<acad::Entity*> read(d.ModelSpace().begin(), d.ModelSpace().end());
    ASSERT_EQ(read.size(), 8u);
    acad::Block* label = d.Blocks().Add({0, 0, 0}, "ROTULO");
    label->AddAttribute(80, 0, "", {0, 0, 0}, "R", "LLLL");
    acad::BlockReference* labelled = ms->InsertBlock({1400, 0, 0}, "ROTULO", 0.08, 1, 1, 0);
    acad::Block* tiny = d.Blocks().Add({0, 0, 0}, "MINUSCULO");
    tiny->AddText("LLLL", {0, 0, 0}, 8e-4);
    acad::BlockReference* grown = ms->InsertBlock({1600, 0, 0}, "MINUSCULO", 7.5e3, 1e5, 1, 0);
    // A dimension whose text is squeezed by the reference that holds it.
    acad::Block* measured = d.Blocks().Add({0, 0, 0}, "COTA");
    acad::DimAligned* dim = measured->AddDimAligned({0, 0, 0}, {100, 0, 0}, {50, 10, 0});
    dim->SetTextOverride("LLLL");
    TextBoxes plain;
    dim->Emit(plain, acad::Transform());
    const double up = 80 / acad::Distance(plain.boxes.at(0)[0], plain.boxes.at(0)[2]);
    acad::BlockReference* dimensioned = ms->InsertBlock({1800, 0, 0}, "COTA", 0.08 * up, up, 1, 0);
    for (acad::Entity* e : std::initializer_list<acad::Entity*>{labelled, grown, dimensioned}) e->SetColor(2);

    struct Case {
        std::string what;
        std::array<Point3d, 3> box;
        int letters;
        bool alone = true;  // false: the dimension's line crosses the middle of its text
    };
    auto boxOf = [](const acad::Entity& e, const acad::Transform& t = {}) {
        TextBoxes boxes;
        e.Emit(boxes, t);
        return boxes.boxes.at(0);
    };
    const std::vector<Case> cases = {
        {"fitted", boxOf(*read[0]), 4},
        {"turned and mirrored", boxOf(*read[1]), 4},
        {"upside down", boxOf(*read[2]), 4},
        {"stretched", boxOf(*read[3]), 1},
        {"oblique", boxOf(*read[4]), 4},
        {"multi-line", boxOf(*read[5]), 4},
        {"edge-on", boxOf(*read[6]), 4},
        {"attribute of a squeezed reference", boxOf(*labelled->GetAttributes().at(0)), 4},
        {"block scaled up", boxOf(*tiny->Item(0), grown->BlockTransform()), 4},
        {"dimension of a squeezed reference", boxOf(*dim, dimensioned->BlockTransform()), 4, false},
    };
    for (const Case& c : cases) {
        acad::Box world;
        for (const Point3d& p : c.box) world.Add(p);
        world.Add(c.box[1] + (c.box[2] - c.box[0]));
        const acad::Vector3d margin(world.Width() * 0.1 + 1e-9, world.Height() * 0.1 + 1e-9, 0);
        h.app.ZoomWindow(world.min - margin, world.max + margin);
        const QImage img = h.Grab();
        const TextFrame f{h.PixelOf(c.box[0]), h.PixelOf(c.box[1]), h.PixelOf(c.box[2])};
        for (int k : {0, c.letters - 1}) {
            auto at = [&](double u, double v, double du, double dv) {
                return QRectF((k + u) / c.letters, v, du / c.letters, dv);
            };
            const std::string letter = c.what + ", letter " + std::to_string(k);
            EXPECT_GT(InkedInBox(img, f, at(0, 0.3, 0.5, 0.6)), 20) << letter << ": its stem";
            EXPECT_GT(InkedInBox(img, f, at(0.5, 0, 0.3, 0.07)), 5) << letter << ": its foot";
            const double above = c.alone ? 0.3 : 0.6;
            EXPECT_EQ(InkedInBox(img, f, at(0.6, above, 0.4, 0.95 - above)), 0) << letter << ": above its foot's end";
        }
        if (c.alone) {
            EXPECT_EQ(InkedInBox(img, f, QRectF(), true), 0) << c.what << ": around its box";
        }
    }

    // 200 "W" fitted into a unit: at a zoom that shows it whole, each letter
    // a pixel wide, the letters run into one block of ink, its box; closer in
    // on its end, its letters, inside it.
    const std::array<Point3d, 3> ws = boxOf(*read[7]);
    h.app.ZoomWindow({-0.5, -300.2, 0}, {1.5, -297.3, 0});
    QImage img = h.Grab();
    TextFrame f{h.PixelOf(ws[0]), h.PixelOf(ws[1]), h.PixelOf(ws[2])};
    const double length = std::hypot(f.x.x() - f.o.x(), f.x.y() - f.o.y());
    EXPECT_LT(length / 200, 1.5);
    EXPECT_GT(InkedInBox(img, f, QRectF(0, 0, 1, 1)), 0.95 * length * std::fabs(f.y.y() - f.o.y()))
        << "200 W, its box inked";
    EXPECT_EQ(InkedInBox(img, f, QRectF(), true), 0) << "200 W, around its box";
    h.app.ZoomWindow({0.96, -299, 0}, {1.04, -298.9, 0});
    img = h.Grab();
    f = {h.PixelOf(ws[0]), h.PixelOf(ws[1]), h.PixelOf(ws[2])};
    const int inside = InkedInBox(img, f, QRectF(0, 0, 1, 1));
    EXPECT_GT(inside, img.width() * img.height() / 8) << "200 W, closer in";
    EXPECT_EQ(Inked(img, QRectF(img.rect())), inside) << "200 W, closer in: nothing past its end";

    // 120,000 "L" seen close on their last: the letters there, some 36
    // million pixels from the first, stand at their places.
    const int many = 120000;
    const std::array<Point3d, 3> ls = boxOf(*ms->AddText(std::string(many, 'L'), {0, -1000, 0}, 1));
    const acad::Vector3d along = ls[1] - ls[0];
    h.app.ZoomWindow(ls[1] - along * (2.5 / many) - acad::Vector3d(0, 0.2, 0),
                     ls[2] + along + acad::Vector3d(0.2, 0.2, 0));
    img = h.Grab();
    f = {h.PixelOf(ls[0]), h.PixelOf(ls[1]), h.PixelOf(ls[2])};
    EXPECT_LT(f.o.x(), -3.3e7) << "120,000 L: the first letter's place";
    for (int k : {many - 2, many - 1}) {
        auto at = [&](double u, double v, double du, double dv) { return QRectF((k + u) / many, v, du / many, dv); };
        const std::string letter = "120,000 L, letter " + std::to_string(k);
        EXPECT_GT(InkedInBox(img, f, at(0, 0.3, 0.5, 0.6)), 20) << letter << ": its stem";
        EXPECT_GT(InkedInBox(img, f, at(0.5, 0, 0.3, 0.07)), 5) << letter << ": its foot";
        EXPECT_EQ(InkedInBox(img, f, at(0.6, 0.3, 0.4, 0.65)), 0) << letter << ": above its foot's end";
    }

    // Zoomed in on an "L" from where it is seen whole: on its stem's middle,
    // where the first run of ink crosses the middle of its height.
    for (const Point3d& origin : {Point3d(0, -200, 0), Point3d(1e6, 1e6, 0)}) {
        acad::Text* l = ms->AddText("LLLL", origin, 80);
        l->SetColor(1);
        const std::array<Point3d, 3> box = boxOf(*l);
        const std::string where = origin.x > 0 ? "a million units out" : "near the origin";
        auto zoomedOn = [&](double u) {
            h.app.ZoomWindow(origin + acad::Vector3d(-10, -10, 0), origin + acad::Vector3d(250, 90, 0));
            const QImage whole = h.Grab();
            const TextFrame seen{h.PixelOf(box[0]), h.PixelOf(box[1]), h.PixelOf(box[2])};
            QPointF at = seen.o + (seen.x - seen.o) * u + (seen.y - seen.o) * 0.5;
            if (u == 0) {
                const int y = static_cast<int>(at.y());
                int x0 = static_cast<int>(at.x());
                while (x0 < whole.width() && whole.pixelColor(x0, y) != AciColor(1)) ++x0;
                int x1 = x0;
                while (x1 < whole.width() && whole.pixelColor(x1, y) == AciColor(1)) ++x1;
                EXPECT_GT(x1 - x0, 4) << where << ": the stem, seen whole";
                at = QPointF((x0 + x1) / 2.0 + 0.5, y + 0.5);
            }
            for (int i = 0; i < 110; ++i) h.Wheel(at, 1);
            h.Grab();
            ms->AddPoint(origin + acad::Vector3d(0, -20, 0));  // another frame of the same view
            return h.Grab();
        };
        const QImage stem = zoomedOn(0);
        EXPECT_GT(1e-9 / h.PixelSize(), 1.0) << where << ": zoomed in some 10^11";
        EXPECT_GT(OfColor(stem, AciColor(1)), stem.width() * stem.height() * 9 / 10) << where << ": inside the stem";
        // Above the first foot's end, short of the second stem.
        const QImage above = zoomedOn(0.2);
        EXPECT_EQ(OfColor(above, AciColor(1)), 0) << where << ": above the foot";
    }
    EXPECT_TRUE(painter.list.isEmpty()) << painter.list.join(QStringLiteral("; ")).toStdString();
}

// Pixels of the image inside the rectangle that are exactly `color`.
int InColor(const QImage& img, const QRectF& r, const QColor& color)
{
    int n = 0;
    const QRect px = r.toAlignedRect();
    for (int y = px.top(); y <= px.bottom(); ++y)
        for (int x = px.left(); x <= px.right(); ++x)
            if (img.valid(x, y) && img.pixelColor(x, y).rgb() == color.rgb()) ++n;
    return n;
}

std::string ForeignFixture(const char* name)
{
    return (std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/foreign" / name).string();
}

// A multi-line text's letters are drawn in their inline colours, an index
// ("\\C1" red, "\\C3" green) or a true colour ("\\c16711680" blue), the rest in
// the text's own; "\\L" and "%%u" underline the letters with a line of the
// text's colour under them, and a text's codes are drawn as their letters.
TEST_F(Render, InlineColoursAndUnderlinesAreDrawnWhereTheirLettersAre)
{
    acad::Document* doc = h.app.Documents().Open(ForeignFixture("mtext_codes.dxf"));
    Harness::Process();
    auto* m = dynamic_cast<acad::MText*>(doc->ModelSpace().Item(0));
    ASSERT_NE(m, nullptr);
    const acad::MTextLayout l = m->Layout();
    ASSERT_EQ(l.runs.size(), 12u);
    auto box = [&](const acad::MTextRun& r) { return Pixels({r.x, r.y, 0}, {r.x + r.width, r.y + r.height, 0}); };
    h.app.ZoomWindow({0, -4, 0}, {80, 1, 0});
    QImage img = h.Grab();
    const QColor white = AciColor(7), red = AciColor(1), green = AciColor(3);
    EXPECT_GT(InColor(img, box(l.runs[0]), white), 20) << "Lorem";
    EXPECT_EQ(InColor(img, box(l.runs[0]), red), 0);
    EXPECT_GT(InColor(img, box(l.runs[1]), red), 50) << "invidunt ut labore";
    EXPECT_EQ(InColor(img, box(l.runs[1]), white), 0);
    EXPECT_GT(InColor(img, box(l.runs[2]), white), 20) << "et dolore mag";
    EXPECT_EQ(InColor(img, box(l.runs[2]), red), 0);
    EXPECT_GT(InColor(img, box(l.runs[3]), green), 20) << "na al";
    h.app.ZoomWindow({30, -8, 0}, {70, -3, 0});
    img = h.Grab();
    EXPECT_GT(InColor(img, box(l.runs[6]), QColor(0, 0, 255)), 20) << "azul";
    EXPECT_EQ(InColor(img, box(l.runs[5]), QColor(0, 0, 255)), 0) << "centrado";
    // The underline: a row of ink under "sublinhado", none under "e".
    const acad::MTextRun& under = l.runs[9];
    h.app.ZoomWindow({under.x - 2, under.y - 3, 0}, {under.x + 28, under.y + 4, 0});
    img = h.Grab();
    const int row = static_cast<int>(h.PixelOf({0, under.y - 0.5, 0}).y());
    const QRectF line = Pixels({under.x + 0.2, under.y - 0.5, 0}, {under.x + under.width - 0.2, under.y - 0.5, 0});
    EXPECT_GE(InColor(img, line.adjusted(0, -1, 0, 1), white), static_cast<int>(line.width() * 0.95)) << row;
    const acad::MTextRun& plain = l.runs[10];
    EXPECT_EQ(Inked(img, Pixels({plain.x, plain.y - 0.8, 0}, {plain.x + plain.width, plain.y - 0.3, 0})), 0);
    h.app.Documents().Close(*doc);

    // "%%uRua das Flores%%u 45%%d ...": letters from their left end, underlined to "Flores" only.
    doc = h.app.Documents().Open(ForeignFixture("text_codes.dxf"));
    Harness::Process();
    acad::Point3d lo, hi;
    doc->ModelSpace().Item(1)->GetBoundingBox(lo, hi);
    h.app.ZoomWindow({lo.x - 1, -9, 0}, {hi.x + 1, -3, 0});
    img = h.Grab();
    const double flores = 2.5 * acad::TextMetrics::Width(acad::TextMetrics::Face::Shape, "Rua das Flores");
    EXPECT_GE(Inked(img, Pixels({lo.x + 0.2, -6.5, 0}, {lo.x + flores - 0.2, -6.5, 0}).adjusted(0, -1, 0, 1)),
              static_cast<int>((flores - 0.4) / h.PixelSize() * 0.95));
    const double degrees = 2.5 * acad::TextMetrics::Width(acad::TextMetrics::Face::Shape, "Rua das Flores 45\u00B0");
    EXPECT_EQ(Inked(img, Pixels({lo.x + flores + 1, -6.7, 0}, {lo.x + degrees, -6.3, 0})), 0) << "not under \"45\"";
    EXPECT_GT(Inked(img, Pixels({hi.x - 1, -6, 0}, {hi.x, -4, 0})), 0) << "the letters reach the box's end";
    h.app.Documents().Close(*doc);
}

TEST_F(Render, ClippedExternalReferenceAndNewDrawingsShown)
{
    const auto dir = std::filesystem::temp_directory_path() / ("acadui-xref-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        acad::Document base;
        base.ModelSpace().AddLine({0, 0, 0}, {30, 0, 0})->SetColor(1);
        acad::WriteDxf(base, dir / "base.dxf");
    }
    acad::ExternalReference* x =
        ms->AttachExternalReference((dir / "base.dxf").string(), "REDE", {50, 45, 0}, 1, 1, 1, 0, false);
    QImage img = h.Grab();
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({75, 45}), AciColor(1)));
    x->SetClipBoundary({{50, 40, 0}, {60, 50, 0}});
    img = h.Grab();
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({55, 45}), AciColor(1)));
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({75, 45}), AciColor(1)));

    // A new drawing becomes the one shown; the first is shown again when activated.
    acad::Document* second = h.app.Documents().Add("Acad");
    Harness::Process();
    EXPECT_EQ(h.view->ShownDocument(), second);
    EXPECT_FALSE(HasColorNear(h.Grab(), h.PixelOf({55, 45}), AciColor(1)));
    h.app.SetActiveDocument(*h.doc);
    EXPECT_TRUE(HasColorNear(h.Grab(), h.PixelOf({55, 45}), AciColor(1)));
    std::filesystem::remove_all(dir);
}

// Blocks nested 30 deep, each level twice: the file opens, is drawn at extents
// and closer in with bounded work, in part as outlines (said once on the
// command line), and its lines are picked.
TEST_F(Render, BlocksNestedManyTimesOverDrawInAMoment)
{
    const auto file = std::filesystem::temp_directory_path() / ("acadui-nested-" + std::to_string(::getpid()) + ".dxf");
    acad::Document source;
    acad::ReadDxfText(source, dxf_test::NestedBlocks(30), "aninhado.dxf");
    acad::WriteDxf(source, file);
    acad::Document* doc = h.app.Documents().Open(file.string());
    Harness::Process();
    h.app.ZoomExtents();
    EXPECT_GT(Inked(h.Grab(), QRectF(QPointF(0, 0), QSizeF(h.view->size()))), 100);
    // Closer in, fewer parts are dots: past the budget the rest are outlines.
    for (int k = 0; k < 4; ++k) {
        h.Wheel(QPointF(h.view->width() / 2.0, h.view->height() / 2.0), 1);
        h.Grab();
        const acad::ui::RenderStats drawn = h.view->LastStats();
        EXPECT_LE(drawn.Work(), static_cast<std::size_t>(acad::kViewBudget)) << k;
    }
    const QString said = h.panel->History();
    EXPECT_EQ(said.count(QStringLiteral("\"B30\" tem partes demais")), 1) << said.toStdString();
    acad::Entity* picked = nullptr;
    Point3d at;
    h.OnRequest([&] { h.Click(h.PixelOf({16383.9, 16383.9})); });
    doc->Utility().GetEntity(picked, at, "Selecione: ");
    EXPECT_EQ(picked, doc->ModelSpace().Item(0));
    std::filesystem::remove(file);
}

// A chain of 20,000 blocks, each holding the next (a file of a megabyte):
// each walk looks into it as deep as walks look, and no deeper. It opens; the
// frame at its extents and the frame of its start, a pick, a nested pick, a
// crossing, an object snap and its extents each do no more work than the file
// holds and the budget; and it saves and reads back.
TEST_F(Render, AChainOfBlocksDeeperThanAnyWalkLooksIsWalkedWithinBounds)
{
    const auto file = std::filesystem::temp_directory_path() / ("acadui-chain-" + std::to_string(::getpid()) + ".dxf");
    {
        std::ofstream out(file, std::ios::binary);
        out << dxf_test::BlockChain(20000);
    }
    acad::Document* doc = h.app.Documents().Open(file.string());
    std::uint64_t before = acad::WalkWork();
    EXPECT_DOUBLE_EQ(doc->ModelExtents().max.x, 10001);
    const double own = walk_bound::OwnPieces(*doc, 1);  // lines and references: the same at any scale
    auto within = [&](const std::string& what) {
        EXPECT_LE(static_cast<double>(acad::WalkWork() - before), own + 2 * acad::kViewBudget) << what;
        before = acad::WalkWork();
    };
    within("extents");
    Harness::Process();
    h.app.ZoomExtents();
    EXPECT_GT(Inked(h.Grab(), QRectF(QPointF(0, 0), QSizeF(h.view->size()))), 100);
    EXPECT_LE(static_cast<double>(h.view->LastStats().Work()), own + acad::kViewBudget);
    within("frame at extents");
    h.app.ZoomWindow({0, 0, 0}, {4, 3, 0});
    const QImage start = h.Grab();
    EXPECT_LE(static_cast<double>(h.view->LastStats().Work()), own + acad::kViewBudget);
    within("frame of its start");
    EXPECT_TRUE(HasColorNear(start, h.PixelOf({0.25, 0.25}), AciColor(7)));  // the top's line
    EXPECT_TRUE(HasColorNear(start, h.PixelOf({1.75, 0.25}), AciColor(7)));  // the fourth's
    acad::Entity* top = doc->ModelSpace().Item(0);
    EXPECT_EQ(acad::selection::PickAt(*doc, {0.5, 0.5}), top);
    const auto part = acad::PickNested(*top, {0.5, 0.5}, h.PixelSize(), acad::selection::ViewPlan(*doc));
    ASSERT_TRUE(part.has_value());
    EXPECT_EQ(part->entity, doc->Blocks().Item("L20000")->Item(0));
    acad::SelectionSet* ss = doc->SelectionSets().Add("SSchain");
    ss->Select(acad::acSelectionSetCrossing, {1.7, 0.1, 0}, {1.8, 0.2, 0});
    ASSERT_EQ(ss->Count(), 1);
    EXPECT_EQ(ss->Item(0), top);
    doc->SetVariable("OSMODE", 1);
    EXPECT_EQ(acad::Distance(acad::input::Snap(*doc, {1.52, 0.03, 0}), {1.5, 0, 0}), 0.0);
    within("picks, crossing and snap");
    const int blocks = doc->Blocks().Count();
    doc->SaveAs(file.string());
    h.app.Documents().Close(*doc);
    acad::Document* back = h.app.Documents().Open(file.string());
    EXPECT_EQ(back->Blocks().Count(), blocks);
    EXPECT_DOUBLE_EQ(back->ModelExtents().max.x, 10001);
    std::filesystem::remove(file);
}

// References of a block of 82,040 large circles nested three deep: a frame at
// extents does a bounded amount of work for the whole of them, and a small
// reference drawn after them is drawn whole, and picked on its line.
TEST_F(Render, HeavyReferencesDrawABoundedFrameThatPicksSee)
{
    const auto file =
        std::filesystem::temp_directory_path() / ("acadui-circles-" + std::to_string(::getpid()) + ".dxf");
    acad::Document source;
    acad::ReadDxfText(source, dxf_test::CircleBlocks(3), "circulos.dxf");
    source.Blocks().Add({0, 0, 0}, "S")->AddLine({0, 0, 0}, {10, 10, 0})->SetColor(1);
    source.ModelSpace().InsertBlock({30, 0, 0}, "S", 1, 1, 1, 0);
    acad::WriteDxf(source, file);
    acad::Document* doc = h.app.Documents().Open(file.string());
    Harness::Process();
    h.app.ZoomExtents();
    const QImage img = h.Grab();
    const acad::ui::RenderStats drawn = h.view->LastStats();
    EXPECT_LE(drawn.Work(), static_cast<std::size_t>(acad::kViewBudget));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({35, 5}), AciColor(1)));
    acad::Entity* picked = nullptr;
    Point3d at;
    h.OnRequest([&] { h.Click(h.PixelOf({35, 5})); });
    doc->Utility().GetEntity(picked, at, "Selecione: ");
    EXPECT_EQ(picked, doc->ModelSpace().Item(3));
    // Its line, inside it.
    acad::Transform toWorld;
    std::vector<acad::BlockReference*> containers;
    h.OnRequest([&] { h.Click(h.PixelOf({35, 5})); });
    doc->Utility().GetSubEntity(picked, at, toWorld, containers, "Selecione: ");
    EXPECT_EQ(picked, doc->Blocks().Item("S")->Item(0));
    std::filesystem::remove(file);
}

// What references draw is what they are, at every zoom. 1,000 references a
// hair apart of a 200,000-vertex zigzag, seen at (496, 5) from a unit down to
// a thousandth of one, draw the lines that cross the view (about 200,000 to a
// unit of its width); a pick there finds the line under it, a crossing every
// reference. 50 references of a 100,000-vertex contour at extents are drawn as
// contours, to within a pixel of the contours drawn without a budget. Of 5
// and of 20 references on one another of a hatch with 500 islands, the frame
// shows what a frame without a budget shows.
TEST_F(Render, ReferencesDrawWhatTheyAreAtEveryZoomAndOutlinesAreTheLastResort)
{
    acad::Document& zig = *h.app.Documents().Add("Acad");
    heavy::Build(zig, {heavy::Case::PartlyInView, 1000});
    h.app.SetActiveDocument(zig);
    for (const double height : {1.0, 0.1, 0.01, 0.001}) {
        h.app.ZoomCenter({496, 5, 0}, height);
        h.Grab();
        const acad::ui::RenderStats drawn = h.view->LastStats();
        const double width = height * h.view->width() / h.view->height();
        // Those of the references a pixel or more apart: those a hair apart
        // draw the same pixels.
        const double apart = std::min(1000.0, 0.1 / h.PixelSize());
        EXPECT_TRUE(drawn.coarse.empty()) << height << ": " << drawn.coarse;
        EXPECT_GE(static_cast<double>(drawn.segments), 0.75 * 200 * width * apart) << height;
        EXPECT_LE(drawn.Work(), Bound(zig)) << height;
    }
    h.app.ZoomCenter({496, 5, 0}, 1);
    // Reference 0's line from (496, 0) to (496.005, 10) passes there, and so do
    // those of every hundredth reference, a zig later.
    acad::Entity* picked = acad::selection::PickAt(zig, {496.0025, 5, 0});
    ASSERT_NE(picked, nullptr);
    EXPECT_LE(acad::DistanceTo(*picked, {496.0025, 5, 0}), 1e-9);
    acad::SelectionSet* ss = zig.SelectionSets().Add("SStmp");
    ss->Select(acad::acSelectionSetCrossing, {495.5, 4.6, 0}, {496.5, 5.4, 0});
    EXPECT_EQ(ss->Count(), 1000);

    acad::Document& contours = *h.app.Documents().Add("Acad");
    heavy::Build(contours, {heavy::Case::Contours, 50});
    acad::ui::RenderStats drawn = FrameAtExtents(contours);
    EXPECT_TRUE(drawn.coarse.empty()) << drawn.coarse;
    EXPECT_GE(drawn.segments, 50u * 40);
    EXPECT_LE(drawn.Work(), Bound(contours));
    const QImage bounded = h.Grab();
    for (const int i : {0, 49})
        EXPECT_TRUE(HasColorNear(bounded, h.PixelOf({i * 20.0 - 8, 0, 0}), AciColor(7), 1)) << i << ", the ring";
    {
        acad::Unbudgeted whole;
        contours.ModelSpace().Item(0)->Update();  // drawn again
        const QImage exact = h.Grab();
        EXPECT_EQ(InkedApart(bounded, exact), 0);
        EXPECT_EQ(InkedApart(exact, bounded), 0);
    }
    {
        // In a larger window too, drawn first there.
        acad::Document fresh;
        heavy::Build(fresh, {heavy::Case::Contours, 50});
        const QSize large(1600, 1000);
        acad::View all({0, 0, 0}, 1, 1.6);
        all.Fit(fresh.ModelExtents());
        QImage img(large, QImage::Format_RGB32);
        img.fill(acad::ui::BackgroundColor());
        QPainter p(&img);
        acad::ui::SceneRenderer renderer;
        const acad::ui::RenderStats larger = renderer.Draw(p, fresh, acad::ui::ViewMapping::Of(all, QSizeF(large)));
        EXPECT_TRUE(larger.coarse.empty()) << larger.coarse;
        EXPECT_GE(larger.segments, 50u * 40);
    }

    // A block of a million vertices referenced twice, after its extents,
    // closer in: what is in view of it is drawn.
    acad::Document& large = *h.app.Documents().Add("Acad");
    large.Blocks().Add({0, 0, 0}, "GRANDE")->AddLightWeightPolyline(heavy::Contour(1000000, 0, 0, 8))->SetClosed(true);
    for (int i = 0; i < 2; ++i) large.ModelSpace().InsertBlock({i * 30.0, 0, 0}, "GRANDE", 1, 1, 1, 0);
    FrameAtExtents(large);
    for (const double height : {4.47, 1.0}) {
        h.app.ZoomCenter({8, 0, 0}, height);
        const QImage near = h.Grab();
        drawn = h.view->LastStats();
        EXPECT_TRUE(drawn.coarse.empty()) << height << ": " << drawn.coarse;
        EXPECT_LE(drawn.Work(), Bound(large)) << height;
        acad::Unbudgeted whole;
        h.view->Invalidate();
        const QImage exact = h.Grab();
        EXPECT_GT(Inked(exact, QRectF(QPointF(0, 0), Harness::kViewSize)), 100) << height;
        EXPECT_EQ(InkedApart(near, exact), 0) << height;
        EXPECT_EQ(InkedApart(exact, near), 0) << height;
    }
    h.app.Documents().Close(large);

    // 20 hatches of 500 islands on one another are more than the budget can
    // pay for, and show what a frame without a budget shows; so do 5.
    for (const int count : {5, 20}) {
        acad::Document& stack = *h.app.Documents().Add("Acad");
        heavy::Build(stack, {heavy::Case::StackedHatch, count});
        drawn = FrameAtExtents(stack);
        EXPECT_LE(drawn.Work(), Bound(stack)) << count;
        EXPECT_GT(drawn.areas, 100000u) << count << ": a hatch of 500 islands";
        const QImage hatched = h.Grab();
        acad::Unbudgeted whole;
        h.view->Invalidate();
        const QImage exact = h.Grab();
        EXPECT_GE(h.view->LastStats().areas, count * drawn.areas / 2) << count;
        EXPECT_EQ(InkedApart(hatched, exact), 0) << count;
        EXPECT_EQ(InkedApart(exact, hatched), 0) << count;
        h.app.Documents().Close(stack);
    }
}

// A reference drawn from the copy of its definition at its scale inks what
// its parts ink, to within a pixel, wherever and however it is placed: the
// copy leaves out only pieces that ink the pixels of one it keeps. Circles
// drawn as two arcs (one each way round) and as two bulged vertices show both
// halves in each of 30 references; circles a pixel and more across are rings.
TEST_F(Render, ACopyLeavesOutOnlyWhatInksThePixelsOfWhatItKeeps)
{
    // `doc` seen from `a` to `b`: drawn, and inking what the frame without a budget inks.
    auto same = [&](acad::Document& doc, const Point3d& a, const Point3d& b, const std::string& what) {
        h.app.SetActiveDocument(doc);
        Harness::Process();
        h.app.ZoomWindow(a, b);
        const QImage bounded = h.Grab();
        EXPECT_TRUE(h.view->LastStats().coarse.empty()) << what << ": " << h.view->LastStats().coarse;
        acad::Unbudgeted whole;
        h.view->Invalidate();
        const QImage exact = h.Grab();
        EXPECT_GT(Inked(exact, QRectF(QPointF(0, 0), Harness::kViewSize)), 100) << what;
        EXPECT_EQ(InkedApart(bounded, exact), 0) << what;
        EXPECT_EQ(InkedApart(exact, bounded), 0) << what;
    };
    const double degree = acad::kPi / 180;
    acad::Document& halves = *h.app.Documents().Add("Acad");
    acad::Block* arcs = halves.Blocks().Add({0, 0, 0}, "PV");
    arcs->AddArc({0, 0, 0}, 1, 37 * degree, 217 * degree);
    arcs->AddArc({0, 0, 0}, 1, 217 * degree, 37 * degree);
    acad::LWPolyline* bulged = halves.Blocks().Add({0, 0, 0}, "PB")->AddLightWeightPolyline({-1, 0, 1, 0});
    bulged->SetBulge(0, 1);
    bulged->SetBulge(1, 1);
    bulged->SetClosed(true);
    // Rings a pixel and a half across and more are drawn as rings, not dots.
    acad::Block* small = halves.Blocks().Add({0, 0, 0}, "PS");
    for (int k = 0; k < 4; ++k) small->AddCircle({k * 0.8, 0, 0}, 0.1 + k * 0.05);
    for (int i = 0; i < 30; ++i) {
        halves.ModelSpace().InsertBlock({i * 4.0, 0, 0}, "PV", 1, 1, 1, 0);
        halves.ModelSpace().InsertBlock({i * 4.0, 5, 0}, "PB", 1, 1, 1, 0);
        halves.ModelSpace().InsertBlock({i * 4.0 - 1, -1.5, 0}, "PS", 1, 1, 1, 0);
    }
    same(halves, {-2, -2, 0}, {120, 7, 0}, "circles of two halves");
    // A dashed line under a solid one of the same layer and colour: the
    // dashes stand for nothing of the solid line.
    halves.Linetypes().Add("TRACO")->SetPattern({0.5, -0.5});
    acad::Block* lines = halves.Blocks().Add({0, 0, 0}, "TL");
    lines->AddLine({0, 0, 0}, {3, 0, 0})->SetLinetype("TRACO");
    lines->AddLine({0, 0, 0}, {3, 0, 0});
    for (int i = 0; i < 30; ++i) halves.ModelSpace().InsertBlock({i * 4.0, 9, 0}, "TL", 1, 1, 1, 0);
    same(halves, {-2, 7, 0}, {120, 11, 0}, "a dashed line under a solid one");
    // A red line, a yellow one over it and the red one again: red on top.
    acad::Block* thrice = halves.Blocks().Add({0, 0, 0}, "CR");
    for (const int color : {1, 2, 1}) thrice->AddLine({0, 0, 0}, {3, 0, 0})->SetColor(color);
    for (int i = 0; i < 30; ++i) halves.ModelSpace().InsertBlock({i * 4.0, 13, 0}, "CR", 1, 1, 1, 0);
    same(halves, {-2, 11, 0}, {120, 15, 0}, "red over yellow over red");
    h.view->Invalidate();
    const QImage topmost = h.Grab();
    for (const int i : {0, 29}) {
        EXPECT_TRUE(HasColorNear(topmost, h.PixelOf({i * 4.0 + 1.5, 13, 0}), AciColor(1), 1)) << i << ": red on top";
        EXPECT_FALSE(HasColorNear(topmost, h.PixelOf({i * 4.0 + 1.5, 13, 0}), AciColor(2), 1)) << i << ": red on top";
    }
    h.app.Documents().Close(halves);

    // References at one insertion point in their own coordinates, one turned
    // over (extrusion (0, 0, -1)) and one tilted, at the top level and in a
    // block of a few parts: each drawn where its placement puts it.
    auto placed = [](acad::Block& in, const Point3d& at, const acad::Vector3d& normal) {
        acad::BlockReference* r = in.InsertBlock(at, "R", 1, 1, 1, 0);
        acad::BlockReferenceData d = r->Data();
        d.extrusion = normal;
        r->SetData(d);
    };
    const acad::Vector3d tilted{0, -std::sqrt(0.5), std::sqrt(0.5)};
    acad::Document& turned = *h.app.Documents().Add("Acad");
    acad::Block* r = turned.Blocks().Add({0, 0, 0}, "R");
    r->AddLine({0, 0, 0}, {5, 0, 0});
    r->AddLine({0, 0, 0}, {0, 3, 0});
    r->AddCircle({2, 1, 0}, 0.5);
    acad::Block* few = turned.Blocks().Add({0, 0, 0}, "O");
    few->AddLine({-30, -10, 0}, {30, -10, 0});
    for (acad::Block* in : {&turned.ModelSpace(), few})
        for (const acad::Vector3d& normal : {acad::kZAxis, acad::Vector3d{0, 0, -1}, tilted})
            placed(*in, {20, 0, 0}, normal);
    for (int i = 0; i < 5; ++i) turned.ModelSpace().InsertBlock({i * 70.0, 40, 0}, "O", 1, 1, 1, 0);
    same(turned, {-40, -20, 0}, {320, 60, 0}, "turned over and tilted");
    same(turned, {-30, -12, 0}, {30, 12, 0}, "turned over and tilted, closer");
    same(turned, {-30, 28, 0}, {30, 52, 0}, "turned over and tilted in a block, closer");
    // Alike to the half pixel: 0.6 of a pixel apart is apart.
    const double px = 16;
    acad::BlockReference* first = turned.ModelSpace().InsertBlock({0.1 / px, 0, 0}, "R", 1, 1, 1, 0);
    acad::BlockReference* next = turned.ModelSpace().InsertBlock({0.7 / px, 0, 0}, "R", 1, 1, 1, 0);
    acad::BlockReference* near = turned.ModelSpace().InsertBlock({0.4 / px, 0, 0}, "R", 1, 1, 1, 0);
    EXPECT_NE(acad::PlacedAt(*first, px), acad::PlacedAt(*next, px));
    EXPECT_EQ(acad::PlacedAt(*first, px), acad::PlacedAt(*near, px));
    h.app.Documents().Close(turned);

    // 3-D content seen through a tilted extrusion: ten lines stacked at z 0
    // to 9, and a 3-D polyline that zigzags up and down; the same padded out
    // past an ordinary block, picked where each of them is drawn.
    acad::Document& solid = *h.app.Documents().Add("Acad");
    for (const char* name : {"Z", "ZP"}) {
        acad::Block* z = solid.Blocks().Add({0, 0, 0}, name);
        for (int k = 0; k < 10; ++k) z->AddLine({0, 0, k * 1.0}, {10, 0, k * 1.0});
        z->Add3DPoly({12, 0, 0, 12, 0, 8, 14, 0, 8, 14, 0, 0, 16, 0, 0, 16, 0, 8});
        if (std::string(name) == "ZP")
            for (int k = 0; k < 200; ++k) z->AddLine({-5, k * 0.01, 0}, {-4.5, k * 0.01, 0});
    }
    for (int i = 0; i < 4; ++i) {
        solid.ModelSpace().InsertBlock({i * 25.0, 0, 0}, "Z", 1, 1, 1, 0);
        solid.ModelSpace().InsertBlock({i * 25.0, 20, 0}, "ZP", 1, 1, 1, 0);
    }
    for (acad::Entity* e : solid.ModelSpace()) {
        auto* ref = dynamic_cast<acad::BlockReference*>(e);
        acad::BlockReferenceData d = ref->Data();
        d.extrusion = tilted;
        ref->SetData(d);
    }
    same(solid, {-10, -10, 0}, {100, 20, 0}, "3-D content through a tilted extrusion");
    // Where the top line of the padded block and the top of the zigzag are drawn.
    acad::Entity* padded = solid.ModelSpace().Item(1);
    const acad::Transform t = dynamic_cast<acad::BlockReference*>(padded)->BlockTransform();
    for (const Point3d& on : {Point3d{5, 0, 9}, Point3d{13, 0, 8}}) {
        const Point3d at = t.Apply(on);
        EXPECT_EQ(acad::selection::PickAt(solid, {at.x, at.y, 0}), padded) << on.x << ", " << on.z;
    }
    h.app.Documents().Close(solid);
}

// What is kept per octave of scale weighs no more than a fixed budget
// whatever the zooms: a block of a million vertices zoomed through seven
// octaves keeps no more than kKeptScaleBytes after each frame, and where it
// was released draws again what it draws without a budget. What is measured
// of a definition is forgotten with its copies when it changes: a line that
// becomes 60,000 lines across the view is weighed as such.
TEST_F(Render, WhatIsKeptPerScaleIsBoundedAndForgottenWhenItsDefinitionChanges)
{
    acad::Document& large = *h.app.Documents().Add("Acad");
    // Under the sanitizers fewer vertices, the copies then lighter than the budget.
#ifdef QUORIL_TEST_ASAN
    const int vertices = 300000;
#else
    const int vertices = 1000000;
#endif
    large.Blocks().Add({0, 0, 0}, "GRANDE")->AddLightWeightPolyline(heavy::Contour(vertices, 0, 0, 8))->SetClosed(true);
    large.ModelSpace().InsertBlock({0, 0, 0}, "GRANDE", 1, 1, 1, 0);
    FrameAtExtents(large);
    for (int k = 0; k <= 6; ++k) {
        h.app.ZoomCenter({8, 0, 0}, std::ldexp(16.0, -k));
        h.Grab();
        EXPECT_LE(acad::KeptScaleBytes(), acad::kKeptScaleBytes) << k;
    }
    h.app.ZoomCenter({8, 0, 0}, 2);
    const QImage again = h.Grab();
    EXPECT_TRUE(h.view->LastStats().coarse.empty()) << h.view->LastStats().coarse;
    {
        acad::Unbudgeted whole;
        h.view->Invalidate();
        const QImage exact = h.Grab();
        EXPECT_GT(Inked(exact, QRectF(QPointF(0, 0), Harness::kViewSize)), 100);
        EXPECT_EQ(InkedApart(again, exact), 0);
        EXPECT_EQ(InkedApart(exact, again), 0);
    }
    h.app.Documents().Close(large);

    // A line that becomes 60,000 lines across the view, more than the budget
    // draws (a second reference out of view): the frame is the frame of the
    // same drawing never seen before.
    std::vector<double> across;
    std::uint32_t seed = 61;
    for (int i = 0; i < 60000; ++i) {
        seed = seed * 1103515245u + 12345u;
        across.insert(across.end(), {(seed >> 8) * 10.0 / (1u << 24), (i % 2) * 10.0});
    }
    auto drawing = [&](bool edited) -> acad::ui::RenderStats {
        acad::Document& doc = *h.app.Documents().Add("Acad");
        acad::Block* d = doc.Blocks().Add({0, 0, 0}, "D");
        d->AddLine({0, 0, 0}, {10, 10, 0});
        for (int i = 0; i < 2; ++i) doc.ModelSpace().InsertBlock({i * 20.0, 0, 0}, "D", 1, 1, 1, 0);
        if (!edited) d->AddLightWeightPolyline(across);
        h.app.SetActiveDocument(doc);
        Harness::Process();
        h.app.ZoomWindow({0, 0, 0}, {10, 10, 0});
        if (edited) {
            h.Grab();
            d->AddLightWeightPolyline(across);
        }
        h.Grab();
        acad::ui::RenderStats drawn = h.view->LastStats();
        h.app.Documents().Close(doc);
        return drawn;
    };
    const acad::ui::RenderStats fresh = drawing(false), edited = drawing(true);
    EXPECT_FALSE(fresh.coarse.empty()) << "more than the budget draws";
    EXPECT_EQ(edited.coarse, fresh.coarse);
    EXPECT_EQ(edited.segments, fresh.segments);
}

// "E", about a thousand pieces of `kind`, and "N", twenty references of it,
// each at its own scale and turn.
void Nest(acad::Document& d, heavy::Kind kind)
{
    heavy::HeavyEntities(*d.Blocks().Add({0, 0, 0}, "E"), kind);
    acad::Block* n = d.Blocks().Add({0, 0, 0}, "N");
    for (int i = 0; i < 20; ++i) n->InsertBlock({0, 0, 0}, "E", 0.9 + i * 0.01, 0.9 + i * 0.01, 1, i * 0.3);
}

// Every multiplier at once over blocks of `kind` (Nest): in the model, 150
// references of "N" stacked at the origin, each at its own scale and turn,
// 200 on a frozen and a switched-off layer, 2,000 far below a dot at (30, 5)
// beside a line, five external references of a drawing of 40 of "N", clipped
// to their left half; and a sheet with three viewports onto the model. Drawn
// whole, the stack alone is 3,000,000 pieces. For the kinds that draw a
// block, what multiplies it at the top too (heavy::TopLevel).
// Under the sanitizers, where drawing it all whole to compare takes minutes,
// the stack is 60 (still more than the budget holds), 500 lie below a dot and
// the drawing referenced holds 16: the bounds are the same, the sizes smaller.
void Multiplied(acad::Document& doc, heavy::Kind kind)
{
#ifdef QUORIL_TEST_ASAN
    constexpr int stacked = 60, tiny = 500, referenced = 16;
#else
    constexpr int stacked = 150, tiny = 2000, referenced = 40;
#endif
    auto nest = [kind](acad::Document& d) { Nest(d, kind); };
    const auto file = std::filesystem::temp_directory_path() /
                      ("acadui-multiplied-" + std::to_string(::getpid()) + "-" + heavy::NameOf(kind) + ".dxf");
    {
        acad::Document part;
        nest(part);
        for (int i = 0; i < referenced; ++i) part.ModelSpace().InsertBlock({0, 0, 0}, "N", 1, 1, 1, i * 0.01);
        acad::WriteDxf(part, file);
    }
    nest(doc);
    heavy::TopLevel(doc, kind);
    acad::Block& ms = doc.ModelSpace();
    for (int i = 0; i < stacked; ++i) ms.InsertBlock({0, 0, 0}, "N", 1 + i * 2e-3, 1 + i * 2e-3, 1, i * 0.006);
    doc.Layers().Add("CONGELADO");
    doc.Layers().Add("DESLIGADO");
    for (int i = 0; i < 200; ++i)
        ms.InsertBlock({0, 0, 0}, "N", 1, 1, 1, 0)->SetLayer(i % 2 ? "CONGELADO" : "DESLIGADO");
    doc.Layers().Item("CONGELADO")->SetFreeze(true);
    doc.Layers().Item("DESLIGADO")->SetLayerOn(false);
    for (int i = 0; i < tiny; ++i) ms.InsertBlock({30, 5, 0}, "N", 1e-7, 1e-7, 1, 0);
    ms.AddLine({20, 5, 0}, {40, 5, 0});
    for (int i = 0; i < 5; ++i) {
        auto* x = ms.AttachExternalReference(file.string(), "PARTE", {0, 0, 0}, 1, 1, 1, i * 0.1, false);
        x->SetClipBoundary({{-15, -15, 0}, {0, -15, 0}, {0, 15, 0}, {-15, 15, 0}});
    }
    std::filesystem::remove(file);
    doc.SetActiveSpace(acad::acPaperSpace);
    const acad::Box model = doc.ModelExtents();
    const acad::Box views[] = {model, acad::Box::FromCorners({-20, -20, 0}, {0, 20, 0}),
                               acad::Box::FromCorners({-1, -1, 0}, {1, 1, 0})};
    for (int i = 0; i < 3; ++i) {
        acad::PViewport* vp = doc.PaperSpace().AddPViewport({i * 100.0 + 40, 40, 0}, 80, 60);
        vp->Display(true);
        vp->View().Fit(views[i]);
    }
    doc.SetActiveSpace(acad::acModelSpace);
}

// Every walk of a drawing is charged by the pieces it visits, whatever
// multiplies them: references, nesting, scales, turns, clips, sizes below a
// dot, a view holding part of each, frozen and switched-off layers, and
// viewports. For every kind of entity, a frame draws no more than the pieces
// the file stores and the budget, and weighs its view within as much again;
// a crossing, a window, a pick, a nested pick, an object snap and the
// drawing's extents after an edit each do no more, the view weighed included.
// The budget decides how detailed the picture is, never what exists: each
// walk answers as a walk without a budget does (the same entities selected,
// the same pick, the same snap point), and a frame whose references all fit
// the budget inks the pixels a frame without a budget inks, to within one.
TEST_F(Render, EveryWalkOfEveryKindIsBoundedByTheFilesOwnPiecesAndTheBudget)
{
    int compared = 0;
    for (const heavy::Kind kind : heavy::EveryKind()) {
        acad::Document& doc = *h.app.Documents().Add("Acad");
        Multiplied(doc, kind);
        h.app.SetActiveDocument(doc);
        doc.SetVariable("OSMODE", 1 | 2 | 4 | 8 | 512);
        acad::SelectionSet* ss = doc.SelectionSets().Add("SStmp");
        const std::string name = heavy::NameOf(kind);
        double own = 0;
        std::uint64_t before = 0;
        auto within = [&](const std::string& what, double times = 2) {
            const auto work = acad::WalkWork() - before;
            EXPECT_LE(static_cast<double>(work), own + times * acad::kViewBudget) << name << ": " << what;
            before = acad::WalkWork();
        };
        auto frame = [&](const std::string& what, const acad::Document& shown) {
            own = walk_bound::OwnPieces(shown, 1 / h.PixelSize());
            before = acad::WalkWork();
            const QImage bounded = h.Grab();
            const acad::ui::RenderStats drawn = h.view->LastStats();
            EXPECT_LE(static_cast<double>(drawn.Work()), own + acad::kViewBudget) << name << ": " << what;
            within(what + ", weighed", 1);
            if (!drawn.coarse.empty()) return;
            acad::Unbudgeted whole;
            h.view->Invalidate();
            const QImage exact = h.Grab();
            EXPECT_EQ(InkedApart(bounded, exact), 0) << name << ": " << what << ", inked apart from the whole";
            EXPECT_EQ(InkedApart(exact, bounded), 0) << name << ": " << what << ", whole, inked apart";
            ++compared;
        };
        // What each walk answers: the entities selected, the pick, the part
        // picked and its containers, the snap point.
        struct Answers {
            std::vector<acad::Entity*> crossing, window;
            acad::Entity* picked = nullptr;
            std::vector<acad::Entity*> part;
            Point3d snapped;
        };
        auto items = [&] {
            std::vector<acad::Entity*> r;
            for (int i = 0; i < ss->Count(); ++i) r.push_back(ss->Item(i));
            return r;
        };
        // Each walk in a view just changed: it weighs the view again.
        auto walk = [&](const std::string& where, const Point3d& c, bool bounded) {
            Answers a;
            const double pixel = acad::selection::PixelSize(doc);
            own = walk_bound::OwnPieces(doc, 1 / pixel);
            const acad::Vector3d two(2 * pixel, 2 * pixel, 0);
            auto step = [&](const std::string& what) {
                if (bounded) within(where + ", " + what);
                doc.PlanKept().reset();
            };
            doc.PlanKept().reset();
            before = acad::WalkWork();
            ss->Clear();
            ss->Select(acad::acSelectionSetCrossing, c - two, c + two);
            a.crossing = items();
            step("crossing");
            ss->Clear();
            ss->Select(acad::acSelectionSetWindow, c - two * 100, c + two);
            a.window = items();
            step("window");
            a.picked = acad::selection::PickAt(doc, c);
            step("pick");
            if (a.picked) {
                if (auto nested = acad::PickNested(*a.picked, c, 3 * pixel, acad::selection::ViewPlan(doc))) {
                    a.part = nested->containers;
                    a.part.push_back(nested->entity);
                }
            }
            step("nested pick");
            a.snapped = acad::input::Snap(doc, c);
            step("snap");
            return a;
        };
        auto walks = [&](const std::string& where, const Point3d& c) {
            const Answers bounded = walk(where, c, true);
            acad::Unbudgeted whole;
            const Answers exact = walk(where, c, false);
            EXPECT_EQ(bounded.crossing, exact.crossing) << name << ": " << where << ", crossing";
            EXPECT_EQ(bounded.window, exact.window) << name << ": " << where << ", window";
            EXPECT_EQ(bounded.picked, exact.picked) << name << ": " << where << ", pick";
            EXPECT_EQ(bounded.part, exact.part) << name << ": " << where << ", nested pick";
            EXPECT_EQ(acad::Distance(bounded.snapped, exact.snapped), 0.0) << name << ": " << where << ", snap";
        };
        h.app.ZoomExtents();
        frame("frame at extents", doc);
        walks("at extents", {0, 0, 0});
        walks("below a dot", {30, 5, 0});
        h.app.ZoomWindow({-2, -2, 0}, {2, 2, 0});  // a corner of each "E", at the origin
        frame("frame of part of each", doc);
        walks("part of each", {-0.5, 0.5, 0});
        // An edit of the block every reference holds: the extents are measured again.
        acad::Block& e = *doc.Blocks().Item("E");
        e.AddPoint({0, 0, 0})->Delete();
        own = walk_bound::OwnPieces(doc, 1 / h.PixelSize());
        before = acad::WalkWork();
        EXPECT_FALSE(doc.ModelExtents().IsEmpty());
        within("extents", 1);
        doc.SetActiveSpace(acad::acPaperSpace);
        h.app.ZoomExtents();
        frame("sheet of viewports", doc);
        // Through the viewport that shows the whole model, with a layer frozen there.
        acad::PViewport* port = doc.Viewports(doc.ActiveLayout()).back();
        acad::ViewportData frozen = port->Data();
        frozen.frozenLayers = {doc.Layers().Item("0")->Index()};
        port->SetData(frozen);
        doc.SetActivePViewport(*doc.Viewports(doc.ActiveLayout())[doc.Viewports(doc.ActiveLayout()).size() - 3]);
        doc.SetMSpace(true);
        frame("sheet, a layer frozen in one viewport", doc);
        walks("through a viewport", {0, 0, 0});
        h.app.Documents().Close(doc);

        // Seen small, 200 of "E" in 10 of "N" in a row fit the budget: drawn
        // from their simplified copies, they ink what they ink drawn whole.
        // Not lines without end: seen small, they still cross the whole view.
        if (kind == heavy::Kind::ConstructionLine) continue;
        acad::Document& row = *h.app.Documents().Add("Acad");
        Nest(row, kind);
        for (int i = 0; i < 10; ++i) row.ModelSpace().InsertBlock({i * 50.0, 0, 0}, "N", 1, 1, 1, i * 0.1);
        h.app.SetActiveDocument(row);
        h.app.ZoomExtents();
        const int comparedBefore = compared;
        frame("a row seen small", row);
        EXPECT_EQ(compared, comparedBefore + 1) << name << ": a row seen small fits the budget";
        h.app.Documents().Close(row);
    }
}

// A city's manholes, 20,000 references of an ordinary block, more than the
// view's budget together, are all drawn whole beside a heavy reference; and
// the lighter references of a view get all they draw before the heaviest
// takes what is left.
TEST_F(Render, OrdinaryReferencesInABusyViewAreDrawnWholeAndTheLighterFirst)
{
    acad::Document& city = *h.app.Documents().Add("Acad");
    heavy::Manholes(city, 20000, 4);                    // each some pixels wide at the extents
    heavy::Build(city, {heavy::Case::OnHiddenLayers});  // "G", of 600,000 pieces, shown once
    acad::ui::RenderStats drawn = FrameAtExtents(city);
    EXPECT_LE(drawn.Work(), Bound(city));
    {
        // Every part of every manhole, to within a pixel.
        const QImage bounded = h.Grab();
        acad::Unbudgeted whole;
        h.view->Invalidate();
        const QImage exact = h.Grab();
        EXPECT_EQ(InkedApart(bounded, exact), 0);
        EXPECT_EQ(InkedApart(exact, bounded), 0);
    }
    const acad::DrawPlan plan = acad::selection::ViewPlan(city);
    for (int i : {0, 9999, 19999}) EXPECT_EQ(plan.DepthOf(*city.ModelSpace().Item(i)), acad::kWholeDepth) << i;

    // 99 references of 400 pieces each beside one of "W", 300,000 lines
    // seen whole (a second "W" on a layer not drawn, so that it is not the
    // file): more than an equal share of the budget, but all of what the
    // lighter leave it. All are drawn whole.
    acad::Document& busy = *h.app.Documents().Add("Acad");
    heavy::ShortLines(*busy.Blocks().Add({0, 0, 0}, "L"), 3000);
    acad::Block* w = busy.Blocks().Add({0, 0, 0}, "W");
    for (int i = 0; i < 100; ++i) w->InsertBlock({(i % 10) * 10.0, (i / 10) * 10.0, 0}, "L", 1, 1, 1, 0);
    acad::Block* small = busy.Blocks().Add({0, 0, 0}, "Q");
    heavy::ShortLines(*small, 200);
    busy.Layers().Add("DESLIGADO")->SetLayerOn(false);
    busy.ModelSpace().InsertBlock({0, 0, 0}, "W", 1, 1, 1, 0)->SetLayer("DESLIGADO");
    acad::Entity* g = busy.ModelSpace().InsertBlock({0, 0, 0}, "W", 1, 1, 1, 0);
    for (int i = 0; i < 99; ++i)
        busy.ModelSpace().InsertBlock({105.0 + (i % 3) * 11, (i / 3) * 3.0, 0}, "Q", 0.25, 0.25, 1, 0);
    drawn = FrameAtExtents(busy);
    EXPECT_TRUE(drawn.coarse.empty()) << drawn.coarse;
    EXPECT_GE(drawn.segments, 300000u + 99 * 200);
    EXPECT_EQ(acad::selection::ViewPlan(busy).DepthOf(*g), acad::kWholeDepth);

    // 50 references of 4,000 lines take 400,000 of the budget; the two of 100
    // references of 2,000 lines share what is left, not the whole of it.
    acad::Document& shared = *h.app.Documents().Add("Acad");
    heavy::ShortLines(*shared.Blocks().Add({0, 0, 0}, "M"), 4000);
    heavy::ShortLines(*shared.Blocks().Add({0, 0, 0}, "D"), 2000);
    acad::Block* hundred = shared.Blocks().Add({0, 0, 0}, "C");
    for (int i = 0; i < 100; ++i) hundred->InsertBlock({(i % 10) * 10.0, (i / 10) * 10.0, 0}, "D", 1, 1, 1, 0);
    for (int i = 0; i < 50; ++i)
        shared.ModelSpace().InsertBlock({(i % 10) * 12.0, 120.0 + (i / 10) * 12, 0}, "M", 1, 1, 1, 0);
    for (int i = 0; i < 2; ++i) shared.ModelSpace().InsertBlock({i * 110.0, 0, 0}, "C", 1, 1, 1, 0);
    drawn = FrameAtExtents(shared);
    EXPECT_LE(static_cast<double>(drawn.Work()), walk_bound::OwnPieces(shared, 1 / h.PixelSize()) + acad::kViewBudget);
    EXPECT_GE(drawn.segments, 50u * 4000) << "the lighter, whole";
}

// A grid of copies (MINSERT) costs a frame the pixels it inks, not its
// copies: copies too small to see are dots, which a row (or a column) closer
// than a pixel draws as a line and both as an area; larger copies closer than
// a pixel are drawn one in so many. Of grids closer than a pixel (dense ones
// of more dots than the budget holds), along both axes, in rows, in columns,
// turned, spaced the other way, turned over, and of larger copies a fifth of
// a pixel apart, each frame inks what a frame of each copy inks, to within a
// pixel, and draws no more than the file's pieces and the budget. As large as a file
// holds (32,767 × 32,767): on one spot it inks what one copy inks; 1 apart,
// at the extents every pixel of its box, and closer in what its copies ink;
// drawn by a dimension, the same; and over a grid as large, each frame is as
// bounded (the budget draws the thousand million copies over one another as
// their outline).
TEST_F(Render, GridsOfCopiesCostAFrameThePixelsTheyInk)
{
    // `doc` seen from `a` to `b`, as bounded as the file's pieces and the
    // budget make it; but for a frame only `Bounded`, drawn (not outlined),
    // and inking what a frame without a budget inks, or what `oracle` inks.
    enum class Inks { Whole, AsOracle, Drawn, Bounded };
    auto frame = [&](acad::Document& doc, const Point3d& a, const Point3d& b, Inks inks,
                     acad::Document* oracle = nullptr) {
        SCOPED_TRACE(testing::Message() << "seen from " << a.x << " to " << b.x);
        h.app.SetActiveDocument(doc);
        Harness::Process();
        h.app.ZoomWindow(a, b);
        const std::uint64_t before = acad::WalkWork();
        QImage bounded = h.Grab();
        const double own = walk_bound::OwnPieces(doc, 1 / h.PixelSize());
        const acad::ui::RenderStats drawn = h.view->LastStats();
        EXPECT_LE(static_cast<double>(drawn.Work()), own + acad::kViewBudget);
        EXPECT_LE(static_cast<double>(acad::WalkWork() - before), own + acad::kViewBudget) << "weighed";
        if (inks == Inks::Bounded) return bounded;
        EXPECT_TRUE(drawn.coarse.empty()) << "drawn, not outlined";
        EXPECT_GT(Inked(bounded, QRectF(QPointF(0, 0), Harness::kViewSize)), 0);
        if (inks == Inks::Drawn) return bounded;
        QImage exact;
        if (inks == Inks::Whole) {
            acad::Unbudgeted all;
            h.view->Invalidate();
            exact = h.Grab();
        } else {
            h.app.SetActiveDocument(*oracle);
            Harness::Process();
            h.app.ZoomWindow(a, b);
            exact = h.Grab();
        }
        EXPECT_EQ(InkedApart(bounded, exact), 0);
        EXPECT_EQ(InkedApart(exact, bounded), 0);
        return bounded;
    };
    // A short line (dots at any view here), and one of half a unit.
    auto blocks = [](acad::Document& d) {
        d.Blocks().Add({0, 0, 0}, "P")->AddLine({0, 0, 0}, {0.001, 0.001, 0});
        d.Blocks().Add({0, 0, 0}, "L")->AddLine({0, 0, 0}, {0.5, 0.5, 0});
    };
    struct Dense {
        const char* name;
        int rows, columns;
        double dx, dy, rotation;
        const char* block;
        acad::Vector3d normal = acad::kZAxis;
    };
    // More copies than the budget holds as dots; under the sanitizers fewer,
    // still closer than a pixel (the window is 571 pixels high).
#ifdef QUORIL_TEST_ASAN
    const int n = 700, larger = 250;
#else
    const int n = 1100, larger = 400;
#endif
    for (const Dense& c :
         {Dense{"dense", n, n, 0.01, 0.01, 0, "P"}, Dense{"rows", 40, n, 0.01, 0.3, 0, "P"},
          Dense{"columns", n, 40, 0.3, 0.01, 0, "P"}, Dense{"turned", n, n, 0.01, 0.01, acad::kPi / 6, "P"},
          Dense{"larger", larger, larger, 0.0002, 0.0002, 0, "L"},
          Dense{"spaced the other way", 40, n, -0.01, -0.3, 0, "P"},
          Dense{"turned over", n, 40, 0.3, 0.01, acad::kPi / 6, "P", {0, 0, -1}}}) {
        SCOPED_TRACE(c.name);
        acad::Document& doc = *h.app.Documents().Add("Acad");
        blocks(doc);
        heavy::Grid(doc.ModelSpace(), c.block, c.rows, c.columns, c.dx, c.dy, {}, c.rotation, c.normal);
        const acad::Box all = doc.ModelExtents();
        frame(doc, all.min, all.max, Inks::Whole);
        h.app.Documents().Close(doc);
    }

    // As large as a file holds. On one spot, it inks what one copy inks.
    acad::Document& single = *h.app.Documents().Add("Acad");
    blocks(single);
    single.ModelSpace().InsertBlock({10, 10, 0}, "L", 1, 1, 1, 0);
    acad::Document& spot = *h.app.Documents().Add("Acad");
    blocks(spot);
    heavy::Grid(spot.ModelSpace(), "L", 32767, 32767, 1e-300, 1e-300, {10, 10, 0});
    frame(spot, {9.9, 9.9, 0}, {10.6, 10.6, 0}, Inks::AsOracle, &single);
    frame(spot, {10.2, 10.2, 0}, {10.21, 10.21, 0}, Inks::AsOracle, &single);
    // 1 apart: at the extents an area, every pixel of its box inked; closer
    // in, the copies in view.
    acad::Document& apart = *h.app.Documents().Add("Acad");
    blocks(apart);
    heavy::Grid(apart.ModelSpace(), "L", 32767, 32767, 1, 1);
    const QImage area = frame(apart, {-1000, -1000, 0}, {33766, 33766, 0}, Inks::Drawn);
    const QRectF box(h.PixelOf({0, 32766.5, 0}), h.PixelOf({32766.5, 0, 0}));
    EXPECT_GE(Inked(area, box.adjusted(1, 1, -1, -1)), (box.width() - 2) * (box.height() - 2));
    EXPECT_EQ(Inked(area, box.adjusted(-2, -2, 2, 2)), Inked(area, QRectF(QPointF(0, 0), Harness::kViewSize)));
    frame(apart, {16000, 16000, 0}, {16012, 16012, 0}, Inks::Whole);
    // Nested in as large a grid over it, and drawn by a dimension.
    acad::Document& nested = *h.app.Documents().Add("Acad");
    blocks(nested);
    heavy::Grid(*nested.Blocks().Add({0, 0, 0}, "G"), "L", 32767, 32767, 1, 1);
    heavy::Grid(nested.ModelSpace(), "G", 32767, 32767, 1, 1);
    frame(nested, {-1000, -1000, 0}, {66533, 66533, 0}, Inks::Bounded);
    frame(nested, {32760, 32760, 0}, {32762, 32762, 0}, Inks::Bounded);
    acad::Document& dimension = *h.app.Documents().Add("Acad");
    blocks(dimension);
    heavy::PictureDimension(dimension.ModelSpace(), heavy::Picture(dimension, "*D", 0, "L"));
    auto* held = dynamic_cast<acad::BlockReference*>(dimension.Blocks().Item("*D1")->Item(0));
    acad::BlockReferenceData d = held->Data();
    d.rows = d.columns = 32767;
    d.rowSpacing = d.columnSpacing = 1;
    held->SetData(d);
    frame(dimension, {-1000, -1000, 0}, {33766, 33766, 0}, Inks::Drawn);
    frame(dimension, {16000, 16000, 0}, {16012, 16012, 0}, Inks::Whole);
}

// Picks and nested picks answer from the geometry, whatever the window draws
// of it: of two references of 100 rings of 2,000 spokes each, a click on a
// corner of a ring's box, far from its ring and spokes, finds nothing, and one
// on the ring the reference, and as a part, the ring in the ring's reference. Beside 2,000
// references too small to see, and above 1,000 on layers not drawn, a large
// one is drawn whole, and picked on one of its lines.
TEST_F(Render, PicksAndNestedPicksSeeWhatTheWindowDraws)
{
    acad::Document& doc = *h.app.Documents().Add("Acad");
    acad::Block* ring = doc.Blocks().Add({0, 0, 0}, "A");
    ring->AddCircle({0, 0, 0}, 5)->SetColor(1);
    for (int i = 0; i < 2000; ++i) {
        const double a = i * acad::kPi / 2000;
        ring->AddLine({-5 * std::cos(a), -5 * std::sin(a), 0}, {5 * std::cos(a), 5 * std::sin(a), 0})->SetColor(1);
    }
    acad::Block* rings = doc.Blocks().Add({0, 0, 0}, "T");
    for (int i = 0; i < 100; ++i) rings->InsertBlock({(i % 10) * 12.0, (i / 10) * 12.0, 0}, "A", 1, 1, 1, 0);
    acad::BlockReference* first = doc.ModelSpace().InsertBlock({0, 0, 0}, "T", 1, 1, 1, 0);
    doc.ModelSpace().InsertBlock({130, 0, 0}, "T", 1, 1, 1, 0);
    FrameAtExtents(doc);
    EXPECT_EQ(acad::selection::PickAt(doc, {12 + 4.9, 12 + 4.9, 0}), nullptr);  // a corner of the ring at (12, 12)
    const Point3d onRing{12 + 5, 12, 0};
    acad::Entity* picked = nullptr;
    Point3d at;
    h.OnRequest([&] { h.Click(h.PixelOf(onRing)); });
    doc.Utility().GetEntity(picked, at, "Selecione: ");
    EXPECT_EQ(picked, first);
    acad::Transform toWorld;
    std::vector<acad::BlockReference*> containers;
    h.OnRequest([&] { h.Click(h.PixelOf(onRing)); });
    doc.Utility().GetSubEntity(picked, at, toWorld, containers, "Selecione: ");
    EXPECT_TRUE(picked == ring->Item(0) || picked == ring->Item(1)) << "the ring, or the spoke that ends there";
    EXPECT_EQ(containers,
              (std::vector<acad::BlockReference*>{static_cast<acad::BlockReference*>(rings->Item(11)), first}));

    for (const heavy::Case c : {heavy::Case::BesideDots, heavy::Case::OnHiddenLayers}) {
        acad::Document& beside = *h.app.Documents().Add("Acad");
        heavy::Build(beside, {c});
        FrameAtExtents(beside);
        acad::Entity* large = beside.ModelSpace().Item(beside.ModelSpace().Count() - 1);
        // The middle of the first line of the last "H" of the large "G".
        const double s = dynamic_cast<acad::BlockReference*>(large)->XScaleFactor() / 10;
        const Point3d line{(90 + 0.0636) * s, (90 + 0.0273) * s, 0};
        h.OnRequest([&] { h.Click(h.PixelOf(line)); });
        beside.Utility().GetEntity(picked, at, "Selecione: ");
        EXPECT_EQ(picked, large) << static_cast<int>(c);
        h.OnRequest([&] { h.Click(h.PixelOf(line)); });
        beside.Utility().GetSubEntity(picked, at, toWorld, containers, "Selecione: ");
        EXPECT_EQ(picked ? picked->ObjectName() : "", "AcDbLine") << static_cast<int>(c);
    }
}

// A sheet of 200 viewports onto the same model draws it once, the others as
// the outline of what they look at; and references nested past the depth
// the window looks into count in the drawing's extents and are drawn as an outline.
TEST_F(Render, ASheetsViewportsShareOneBudgetAndDeepNestingIsDrawn)
{
    acad::Document& doc = *h.app.Documents().Add("Acad");
    for (int i = 0; i < 20000; ++i)
        doc.ModelSpace().AddLine({(i % 150) * 10.0, (i / 150) * 10.0, 0},
                                 {(i % 150) * 10.0 + 7, (i / 150) * 10.0 + 3, 0});
    const acad::Box model = doc.ModelExtents();
    doc.SetActiveSpace(acad::acPaperSpace);
    for (int i = 0; i < 200; ++i) {
        acad::PViewport* vp = doc.PaperSpace().AddPViewport({(i % 20) * 30.0, (i / 20) * 20.0, 0}, 28, 18);
        vp->Display(true);
        vp->View().Fit(model);
    }
    h.app.ZoomExtents();
    h.Grab();
    const acad::ui::RenderStats drawn = h.view->LastStats();
    EXPECT_LE(drawn.Work(), static_cast<std::size_t>(acad::kViewBudget) + 2 * 20000 + 200 * 100);
    EXPECT_GE(drawn.segments, 20000u) << "the model, once";

    // A layer frozen in one viewport is drawn in the other.
    acad::Document& two = *h.app.Documents().Add("Acad");
    two.Layers().Add("RUAS")->SetColor(1);
    two.ModelSpace().AddCircle({50, 50, 0}, 40)->SetLayer("RUAS");
    two.ModelSpace().AddLine({0, 0, 0}, {100, 100, 0});
    two.SetActiveSpace(acad::acPaperSpace);
    std::vector<acad::PViewport*> ports;
    for (int i = 0; i < 2; ++i) {
        ports.push_back(two.PaperSpace().AddPViewport({i * 120.0 + 50, 50, 0}, 100, 100));
        ports.back()->Display(true);
        ports.back()->View().Fit(acad::Box::FromCorners({0, 0, 0}, {100, 100, 0}));
    }
    acad::ViewportData frozen = ports[0]->Data();
    frozen.frozenLayers = {two.Layers().Item("RUAS")->Index()};
    ports[0]->SetData(frozen);
    h.app.ZoomExtents();
    const QImage sheet = h.Grab();
    auto red = [&](double x0) {
        int n = 0;
        const QRect r = Pixels({x0 + 5, 30, 0}, {x0 + 95, 95, 0}).toAlignedRect();  // above the sheet's own
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += sheet.valid(x, y) && sheet.pixelColor(x, y) == AciColor(1);
        return n;
    };
    EXPECT_EQ(red(0), 0) << "frozen in the first viewport";
    EXPECT_GT(red(120), 100) << "drawn in the second";

    // A block of 1,100,000 lines of its own, placed once, is the file: drawn
    // whole, in model space and in the viewport that shows most of a sheet,
    // however small the one listed before it.
    acad::Document& map = *h.app.Documents().Add("Acad");
    heavy::ShortLines(*map.Blocks().Add({0, 0, 0}, "MAPA"), 1100000);
    map.ModelSpace().InsertBlock({0, 0, 0}, "MAPA", 1, 1, 1, 0);
    EXPECT_GE(FrameAtExtents(map).segments, 1100000u);
    map.SetActiveSpace(acad::acPaperSpace);
    const acad::Box whole = map.ModelExtents();
    for (const double side : {10.0, 150.0}) {
        acad::PViewport* vp = map.PaperSpace().AddPViewport({side / 2, side / 2, 0}, side, side);
        vp->Display(true);
        vp->View().Fit(whole);
    }
    h.app.ZoomExtents();
    const QImage large = h.Grab();
    EXPECT_GE(h.view->LastStats().segments, 1100000u);
    const QRectF inside = Pixels({20, 20, 0}, {130, 130, 0});
    EXPECT_GT(Inked(large, inside), inside.width() * inside.height() / 2) << "the large viewport draws the lines";

    acad::Document& deep = *h.app.Documents().Add("Acad");
    heavy::ShortLines(*deep.Blocks().Add({0, 0, 0}, "N0"), 10);
    for (int k = 1; k <= 33; ++k)
        deep.Blocks()
            .Add({0, 0, 0}, "N" + std::to_string(k))
            ->InsertBlock({0, 0, 0}, "N" + std::to_string(k - 1), 1, 1, 1, 0);
    deep.ModelSpace().InsertBlock({0, 0, 0}, "N33", 1, 1, 1, 0);
    EXPECT_FALSE(deep.ModelExtents().IsEmpty());
    EXPECT_GE(FrameAtExtents(deep).segments, 4u);
    EXPECT_GT(Inked(h.Grab(), QRectF(QPointF(0, 0), QSizeF(h.view->size()))), 100);
}

// A large text drawn a second time the same way is copied from an image of
// it: turned the other way it is drawn turned, not copied from that image.
TEST_F(Render, ALargeTextTurnedIsDrawnTurnedNotFromTheImageOfItBefore)
{
    acad::Text* t = ms->AddText("GIRADO", {20, 37, 0}, 8);
    t->SetColor(1);
    const double length = t->Extents().Width();
    auto along = [&](double turn) {
        const double a = length / 2, up = 4;
        return Pixels(
            {20 + a * std::cos(turn) - up * std::sin(turn) - 3, 37 + a * std::sin(turn) + up * std::cos(turn) - 3, 0},
            {20 + a * std::cos(turn) - up * std::sin(turn) + 3, 37 + a * std::sin(turn) + up * std::cos(turn) + 3, 0});
    };
    t->SetRotation(0.5);
    h.Grab();
    h.view->Invalidate();
    EXPECT_GT(Inked(h.Grab(), along(0.5)), 50) << "drawn twice at +0.5";
    t->SetRotation(-0.5);
    const QImage turned = h.Grab();
    EXPECT_GT(Inked(turned, along(-0.5)), 50) << "turned to -0.5";
    EXPECT_EQ(Inked(turned, along(0.5)), 0);
}

// Lines stepped straight into the image land on the pixels the raster engine
// gives them, a line through the middle of a row, on the image's last row and
// last column, and an arc's last chord, which reaches the arc's end.
TEST_F(Render, SteppedLinesLandWhereTheRasterEngineDrawsThem)
{
    const QSize size = h.Grab().size();
    const double w = size.width(), ht = size.height();
    auto at = [&](double x, double y) { return h.WorldAt(QPointF(x, y)); };
    // Thousands of large circles under the lines, on a layer switched on only
    // for the stepped frame.
    acad::Document& d = *h.doc;
    d.Layers().Add("FUNDO")->SetLayerOn(false);
    for (int i = 0; i < 15000; ++i) {
        acad::Circle* c = ms->AddCircle(at(w / 2 + i % 100 * 0.01, ht / 2 + i / 100 * 0.01), 30);
        c->SetColor(3);
        c->SetLayer("FUNDO");
    }
    const std::vector<std::pair<QPointF, QPointF>> lines = {
        {{10.3, ht / 2}, {w - 10.7, ht / 2}},     // through the middle of a row
        {{5.2, ht - 0.6}, {w - 5, ht - 0.4}},     // the last row
        {{w - 0.5, 3.3}, {w - 0.3, ht - 4}},      // the last column
        {{2.3, 3.6}, {w - 15.8, ht - 9.2}},       // across, falling
        {{w / 3, ht - 2.2}, {w / 2 + 0.4, 1.7}},  // steep, rising
        {{-20, ht / 3}, {w + 20, ht / 3 + 0.5}},  // beyond both sides
    };
    for (const auto& [a, b] : lines) ms->AddLine(at(a.x(), a.y()), at(b.x(), b.y()))->SetColor(1);
    // A quarter of a circle 280 pixels wide, ending at the top.
    const Point3d centre = at(w / 2, ht / 2 + 150);
    const double r = 140 * h.PixelSize();
    ms->AddArc(centre, r, 0, acad::kPi / 2)->SetColor(1);
    auto red = [](const QImage& img) {
        std::set<std::pair<int, int>> px;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y).rgb() == AciColor(1).rgb()) px.emplace(x, y);
        return px;
    };
    const QImage drawn = h.Grab();
    EXPECT_EQ(h.view->LastStats().stepped, 0u);
    EXPECT_TRUE(HasColorNear(drawn, h.PixelOf(centre + acad::Vector3d(r * std::cos(1.55), r * std::sin(1.55), 0)),
                             AciColor(1), 1))
        << "the arc's last chord";
    const auto raster = red(drawn);
    d.Layers().Item("FUNDO")->SetLayerOn(true);
    const auto stepped = red(h.Grab());
    EXPECT_GT(h.view->LastStats().stepped, 0u);
    std::vector<std::pair<int, int>> differ;
    std::set_symmetric_difference(raster.begin(), raster.end(), stepped.begin(), stepped.end(),
                                  std::back_inserter(differ));
    EXPECT_TRUE(differ.empty()) << differ.size() << " pixels differ, the first at " << differ.front().first << ","
                                << differ.front().second << " of " << w << " × " << ht;
    EXPECT_TRUE(raster.count({static_cast<int>(w) - 1, static_cast<int>(ht / 2)}) > 0) << "the last column";
    EXPECT_TRUE(raster.count({static_cast<int>(w / 2), static_cast<int>(ht) - 1}) > 0) << "the last row";
}

// A screen inked over many times (thousands of large circles) has its lines
// stepped straight into the image: every circle still shows, to the image's
// last row and column, and the line drawn after them too.
TEST_F(Render, AScreenInkedOverManyTimesStillShowsEveryLine)
{
    for (int i = 0; i < 15000; ++i) ms->AddCircle({50 + i % 100 * 0.005, 37.5 + i / 100 * 0.005, 0}, 30)->SetColor(3);
    ms->AddLine({2, 5, 0}, {12, 5, 0})->SetColor(1);
    const QImage img = h.Grab();
    EXPECT_GT(h.view->LastStats().stepped, 0u);
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({7, 5}), AciColor(1)));
    for (const Point3d& p : {Point3d{20, 37.5, 0}, Point3d{80.5, 37.5, 0}, Point3d{50, 7.5, 0}, Point3d{50, 68, 0}})
        EXPECT_TRUE(HasColorNear(img, h.PixelOf(p), AciColor(3))) << p.x << "," << p.y;

    // Zoomed onto the circles' edge: a band of their arcs some 1.2 units tall,
    // rising at 45° through (29, 59.05). A window one unit tall centred on it
    // has it cross all four borders by a third of a unit or more, the view up
    // to twice as wide as tall.
    h.app.ZoomCenter({29, 59.05, 0}, 1.0);
    const QImage edge = h.Grab();
    EXPECT_GT(h.view->LastStats().stepped, 0u);
    const int w = edge.width(), ht = edge.height();
    EXPECT_GT(Inked(edge, QRectF(0, 0, 1, ht)), 0) << "first column";
    EXPECT_GT(Inked(edge, QRectF(w - 1, 0, 1, ht)), 0) << "last column";
    EXPECT_GT(Inked(edge, QRectF(0, 0, w, 1)), 0) << "first row";
    EXPECT_GT(Inked(edge, QRectF(0, ht - 1, w, 1)), 0) << "last row";

    // An ordinary frame is the raster engine's.
    h.app.ZoomWindow({0, 0, 0}, {10, 10, 0});
    h.Grab();
    EXPECT_EQ(h.view->LastStats().stepped, 0u);
}

// What the renderer draws of `doc` at `view` into an image `size` large; with
// `clipped`, through a painter clipped to the whole image (so that nothing is
// filled straight into the image: all goes through the raster engine).
QImage Rendered(const acad::Document& doc, const acad::View& view, const QSize& size, bool clipped)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(acad::ui::BackgroundColor());
    QPainter p(&img);
    if (clipped) p.setClipRect(QRect(QPoint(0, 0), size));
    acad::ui::SceneRenderer renderer;
    renderer.Draw(p, doc, acad::ui::ViewMapping::Of(view, QSizeF(size)));
    return img;
}

std::filesystem::path FixtureFile(const std::string& name)
{
    return std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/fixtures" / name;
}

// A reference and a text turned over (extrusion (0, 0, -1)) are drawn where
// their boxes are, mirrored; the zoom to extents shows all a wide polyline
// inks: the corner a sharp turn mitres, the band of a bulged segment.
TEST_F(Render, TurnedOverEntitiesAndWidePolylinesAreDrawnWhereTheirBoxesAre)
{
    acad::Document& d = *h.doc;
    ASSERT_EQ(acad::ReadDxf(d, FixtureFile("extrusion_reference.dxf")), "");
    h.app.ZoomWindow({-20, -10, 0}, {20, 10, 0});
    QImage img = h.Grab();
    // The block's square lies at x 10 to 17.7 in its own coordinates.
    EXPECT_GT(Inked(img, Pixels({-17, -0.2, 0}, {-11, 0.2, 0})), 10);
    EXPECT_GT(Inked(img, Pixels({-17.9, 0.5, 0}, {-17.5, 2.5, 0})), 5);
    EXPECT_EQ(Inked(img, Pixels({9, -1, 0}, {19, 4, 0})), 0);
    acad::Entity* ref = d.ModelSpace().Item(0);
    ref->Delete();

    ASSERT_EQ(acad::ReadDxf(d, FixtureFile("extrusion_text.dxf")), "");
    h.app.ZoomWindow({-10, 0, 0}, {10, 6, 0});
    img = h.Grab();
    // "ABC" from (-5, 2) leftwards, 2 high.
    EXPECT_GT(Inked(img, Pixels({-8, 2, 0}, {-5, 4, 0})), 20);
    EXPECT_EQ(Inked(img, Pixels({-4.5, 1, 0}, {10, 5, 0})), 0);
    d.ModelSpace().Item(0)->Delete();

    ASSERT_EQ(acad::ReadDxf(d, FixtureFile("wide_polylines.dxf")), "");
    h.app.ZoomExtents();
    img = h.Grab();
    const QColor white = AciColor(7);
    const double tip = 100 + (5 * 2 + 100 * 16) / std::hypot(100.0, 5.0);
    const QPointF near = h.PixelOf({tip - 3 * h.PixelSize(), 5, 0});
    EXPECT_TRUE(QRectF(QPointF(0, 0), QSizeF(img.size())).contains(near)) << "the corner's tip in the window";
    EXPECT_TRUE(HasColorNear(img, near, white, 0)) << "its tip";
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({tip + 3 * h.PixelSize(), 5, 0}), white, 0)) << "past its cut";
    // The bulged segment's band: radius 5 about (5, 30), 2 wide.
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({5, 24.5, 0}), white, 0));
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({5, 23.5, 0}), white, 0));
    EXPECT_FALSE(HasColorNear(img, h.PixelOf({5, 26.5, 0}), white, 0));
}

// The pieces of wide polylines filled straight into the image ink the pixels
// the raster engine gives them: a zigzag of bulged pieces lying over one
// another, and a track of sharp corners, at a zoom where both are wide.
TEST_F(Render, WidePiecesFilledIntoTheImageAreTheRasterEnginesPixels)
{
    acad::Document doc;
    std::vector<double> zig;
    for (int i = 0; i < 200; ++i) zig.insert(zig.end(), {i * 0.37, (i % 2) * 20.0 + (i % 7) * 0.31});
    acad::LWPolyline* z = doc.ModelSpace().AddLightWeightPolyline(zig);
    acad::LWPolylineData data = z->Data();
    for (auto& v : data.geometry.vertices) v.bulge = 0.4;
    data.constantWidth = 0.9;
    z->SetData(data);
    std::vector<double> track;
    for (int i = 0; i < 60; ++i) track.insert(track.end(), {10 + (i % 5) * 7.3 + i * 0.2, 30 + (i % 3) * 4.1});
    doc.ModelSpace().AddLightWeightPolyline(track)->SetConstantWidth(1.7);
    acad::View view({0, 0, 0}, 1, 1.5);
    view.Fit(doc.ModelExtents());
    const QSize size(600, 400);
    const QImage direct = Rendered(doc, view, size, false), raster = Rendered(doc, view, size, true);
    int inked = 0, differ = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const bool a = direct.pixel(x, y) != acad::ui::BackgroundColor().rgb();
            const bool b = raster.pixel(x, y) != acad::ui::BackgroundColor().rgb();
            inked += a;
            differ += a != b;
        }
    EXPECT_GT(inked, 20000);
    EXPECT_EQ(differ, 0) << "of " << inked;
}

}  // namespace

// A spline is drawn along its curve whatever the zoom: a few points per pixel
// when seen whole, its own spans in full when zoomed in on part of it.
TEST_F(Render, SplinesFollowTheirCurveAtEveryZoom)
{
    std::vector<double> fit;
    for (int i = 0; i <= 400; ++i) {
        fit.push_back(5 + i * 0.225);
        fit.push_back(37 + 20 * std::sin(i * 0.05));
        fit.push_back(0);
    }
    acad::Spline* s = ms->AddSpline(fit, {}, {});
    s->SetColor(3);
    const std::vector<double> U = s->Knots();
    auto onCurve = [&](int k) {
        const Point3d q =
            s->PointAt(U[static_cast<std::size_t>(k + 3)] * 0.5 + U[static_cast<std::size_t>(k + 4)] * 0.5);
        return HasColorNear(h.Grab(), h.PixelOf(q), AciColor(3), 1);
    };
    for (int k : {17, 150, 333}) EXPECT_TRUE(onCurve(k)) << k;
    // Far from the curve nothing is drawn.
    EXPECT_EQ(Inked(h.Grab(), Pixels({40, 66, 0}, {60, 70, 0})), 0);
    // Zoomed in 40× on one stretch: still on the curve there.
    const Point3d mid = s->PointAt(U[203]);
    h.app.ZoomCenter(mid, 2.0);
    EXPECT_TRUE(HasColorNear(h.Grab(), h.PixelOf(mid), AciColor(3), 1));
    EXPECT_TRUE(onCurve(200));
}

namespace {

std::string HatchFixture(const char* name)
{
    return (std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/fixtures" / name).string();
}

// The ink of `img` in `area` against lines along one axis, at pixel
// coordinates `lines` across it (rows, or columns when `upright`).
struct AlongLines {
    int stray = 0;     // inked pixels more than 1.5 pixels off every line
    double least = 1;  // the least share of its length any line inks
};

AlongLines InkAlong(const QImage& img, const QRectF& area, bool upright, const std::vector<double>& lines)
{
    AlongLines r;
    const QRect px = area.toAlignedRect();
    const int a0 = upright ? px.top() : px.left(), a1 = upright ? px.bottom() : px.right();
    const int c0 = upright ? px.left() : px.top(), c1 = upright ? px.right() : px.bottom();
    auto inked = [&](int along, int across) {
        const int x = upright ? across : along, y = upright ? along : across;
        return img.valid(x, y) && img.pixel(x, y) != acad::ui::BackgroundColor().rgb();
    };
    for (int c = c0; c <= c1; ++c) {
        double off = std::numeric_limits<double>::infinity();
        for (double l : lines) off = std::min(off, std::fabs(c + 0.5 - l));
        if (off > 1.5)
            for (int a = a0; a <= a1; ++a) r.stray += inked(a, c);
    }
    for (double l : lines) {
        int n = 0;
        for (int a = a0; a <= a1; ++a) {
            bool any = false;
            for (int c = static_cast<int>(std::floor(l - 1.5)); c <= static_cast<int>(std::ceil(l + 1.5)); ++c)
                any = any || inked(a, c);
            n += any;
        }
        r.least = std::min(r.least, static_cast<double>(n) / (a1 - a0 + 1));
    }
    return r;
}

}  // namespace

// Hatches of a file draw the lines of their patterns: lines defined at 0° as
// rows and at 90° as columns, at their base point and spacing, in their
// colour, and nothing between them, so that a pick there finds nothing; seen
// from so far that they lie closer than two pixels, a tint of that colour,
// picked anywhere. A pattern wider than its small loop shows nothing in it;
// dashed rows leave their gaps and go round an island but across a text
// box; the style "ignore" hatches the island; and references turn and
// shrink the pattern of their block with it.
TEST_F(Render, HatchPatternsAreDrawnWithTheirFilesLines)
{
    acad::Document* doc = h.app.Documents().Open(HatchFixture("hatch_lines_0_90.dxf"));
    Harness::Process();
    h.app.ZoomWindow({-10, -10, 0}, {230, 70, 0});
    QImage img = h.Grab();
    std::vector<double> rows, columns;
    for (int k = 0; k < 6; ++k) rows.push_back(h.PixelOf({50, 5.0 + 10 * k, 0}).y());
    for (int k = 0; k < 10; ++k) columns.push_back(h.PixelOf({125.0 + 10 * k, 30, 0}).x());
    AlongLines along = InkAlong(img, Pixels({1, 1, 0}, {99, 59, 0}), false, rows);
    EXPECT_EQ(along.stray, 0) << "ink off the rows";
    EXPECT_GT(along.least, 0.95);
    along = InkAlong(img, Pixels({121, 1, 0}, {219, 59, 0}), true, columns);
    EXPECT_EQ(along.stray, 0) << "ink off the columns";
    EXPECT_GT(along.least, 0.95);
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({50, 25}), AciColor(1), 1));
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({145, 30}), AciColor(3), 1));
    acad::Entity* level = doc->ModelSpace().Item(0);
    EXPECT_EQ(acad::selection::PickAt(*doc, {50, 10, 0}), nullptr) << "between two rows";
    EXPECT_EQ(acad::selection::PickAt(*doc, {50, 15, 0}), level);
    h.app.ZoomWindow({-2000, -2000, 0}, {2000, 2000, 0});
    img = h.Grab();
    const QRectF inside = Pixels({20, 15, 0}, {80, 45, 0});
    EXPECT_EQ(Inked(img, inside), inside.toAlignedRect().width() * inside.toAlignedRect().height()) << "a tint";
    EXPECT_EQ(acad::selection::PickAt(*doc, {50, 10, 0}), level);
    h.app.Documents().Close(*doc);

    doc = h.app.Documents().Open(HatchFixture("hatch_wide_offset.dxf"));
    Harness::Process();
    h.app.ZoomWindow({-2, -2, 0}, {7, 7, 0});
    EXPECT_EQ(Inked(h.Grab(), Pixels({0, 0, 0}, {5, 5, 0})), 0);
    h.app.Documents().Close(*doc);

    doc = h.app.Documents().Open(HatchFixture("hatch_dashes_islands.dxf"));
    Harness::Process();
    h.app.ZoomWindow({-10, -10, 0}, {230, 110, 0});
    img = h.Grab();
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({2.5, 25}), AciColor(5), 1)) << "a dash";
    EXPECT_EQ(Inked(img, Pixels({6, 24, 0}, {9, 26, 0})), 0) << "a gap";
    EXPECT_EQ(Inked(img, Pixels({41, 41, 0}, {59, 59, 0})), 0) << "the island";
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({22.5, 75}), AciColor(5), 1)) << "across the text box";
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({165, 48}), AciColor(6), 1)) << "a dot in the island, style ignore";
    EXPECT_EQ(Inked(img, Pixels({167, 41, 0}, {173, 59, 0})), 0) << "between the dotted columns";
    h.app.Documents().Close(*doc);

    doc = h.app.Documents().Open(HatchFixture("hatch_in_block.dxf"));
    Harness::Process();
    h.app.ZoomWindow({60, -10, 0}, {230, 70, 0});
    img = h.Grab();
    columns.clear();
    for (int k = 0; k < 6; ++k) columns.push_back(h.PixelOf({72.5 + 5 * k, 25, 0}).x());
    along = InkAlong(img, Pixels({71, 1, 0}, {99, 49, 0}), true, columns);
    EXPECT_EQ(along.stray, 0) << "ink off the turned reference's columns";
    EXPECT_GT(along.least, 0.95);
    EXPECT_TRUE(HasColorNear(img, h.PixelOf({82.5, 25}), AciColor(4), 0)) << "in the reference's colour";
    rows.clear();
    for (int k = 0; k < 6; ++k) rows.push_back(h.PixelOf({170, 5.0 + 10 * k, 0}).y());
    along = InkAlong(img, Pixels({121, 1, 0}, {219, 59, 0}), false, rows);
    EXPECT_EQ(along.stray, 0);
    EXPECT_GT(along.least, 0.95);
    h.app.Documents().Close(*doc);
}

// Pattern lines 1e-9 apart over a square a million units wide are a tint at
// every zoom, and nothing that looks at them makes them: a frame, a crossing,
// a window, a pick, a nested pick, an object snap and the extents each do
// the work of the square's loop. Lines one unit apart there are drawn where
// they cross the view, and only there.
TEST_F(Render, AFinePatternOverAHugeAreaCostsItsLoopOnly)
{
    acad::Document& doc = *h.app.Documents().Add("Acad");
    acad::LWPolyline* square = doc.ModelSpace().AddLightWeightPolyline({0, 0, 1e6, 0, 1e6, 1e6, 0, 1e6});
    square->SetClosed(true);
    acad::Hatch* fine = doc.ModelSpace().AddHatch(acad::HatchPatternType::CustomDefined, "FINO", false);
    fine->AppendOuterLoop({square});
    square->Delete();
    acad::HatchData d = fine->Data();
    d.patternLines = {{0.3, {0, 0, 0}, {0, 1e-9, 0}, {1e-9, -1e-9}}, {1.9, {0, 0, 0}, {1e-9, 0, 0}, {}}};
    fine->SetData(d);
    fine->SetColor(2);
    h.app.SetActiveDocument(doc);
    doc.SetVariable("OSMODE", 1 | 2 | 512);
    acad::SelectionSet* ss = doc.SelectionSets().Add("SStmp");
    for (const double half : {6e5, 1.0, 1e-6}) {
        h.app.ZoomCenter({5e5, 5e5, 0}, 2 * half);
        std::uint64_t before = acad::WalkWork();
        const QImage img = h.Grab();
        EXPECT_LE(h.view->LastStats().Work(), 20u) << half;
        const QRectF middle = Pixels({5e5 - half / 4, 5e5 - half / 4, 0}, {5e5 + half / 4, 5e5 + half / 4, 0});
        EXPECT_EQ(Inked(img, middle), middle.toAlignedRect().width() * middle.toAlignedRect().height()) << half;
        auto within = [&](const char* what) {
            EXPECT_LE(acad::WalkWork() - before, 100u) << what << " at " << half;
            before = acad::WalkWork();
        };
        within("frame");
        const acad::Vector3d two(2 * h.PixelSize(), 2 * h.PixelSize(), 0);
        const Point3d c(5e5, 5e5, 0);
        ss->Clear();
        ss->Select(acad::acSelectionSetCrossing, c - two, c + two);
        EXPECT_EQ(ss->Count(), 1) << half;
        within("crossing");
        ss->Clear();
        ss->Select(acad::acSelectionSetWindow, c - two * 100, c + two);
        within("window");
        EXPECT_EQ(acad::selection::PickAt(doc, c), fine);
        within("pick");
        acad::PickNested(*fine, c, 3 * h.PixelSize(), acad::selection::ViewPlan(doc));
        within("nested pick");
        acad::input::Snap(doc, c);
        within("snap");
        fine->Move({0, 0, 0}, {0, 0, 0});
        EXPECT_FALSE(doc.ModelExtents().IsEmpty());
        within("extents");
    }
    // Rows one unit apart, 1,000,000 of them: seen 40 units high, the
    // forty that cross the view are drawn, and nothing else.
    d.patternLines = {{0.0, {0, 0.5, 0}, {0, 1, 0}, {}}};
    fine->SetData(d);
    h.app.ZoomCenter({5e5, 5e5, 0}, 40);
    const QImage img = h.Grab();
    EXPECT_GE(h.view->LastStats().segments, 40u);
    EXPECT_LE(h.view->LastStats().segments, 50u);
    std::vector<double> rows;
    for (int k = -25; k < 25; ++k)
        if (const double y = h.PixelOf({5e5, 5e5 + 0.5 + k, 0}).y(); y > 4 && y < img.height() - 4) rows.push_back(y);
    EXPECT_GE(rows.size(), 38u);
    const AlongLines along =
        InkAlong(img, QRectF(QPointF(0, 0), QSizeF(img.size())).adjusted(2, 2, -2, -2), false, rows);
    EXPECT_EQ(along.stray, 0);
    EXPECT_GT(along.least, 0.95);
    std::uint64_t before = acad::WalkWork();
    EXPECT_EQ(acad::selection::PickAt(doc, {5e5, 5e5 + 0.5, 0}), fine);
    EXPECT_EQ(acad::selection::PickAt(doc, {5e5, 5e5, 0}), nullptr) << "between two rows";
    EXPECT_LE(acad::WalkWork() - before, 100u);
    h.app.Documents().Close(doc);
}

// Where what is drawn overlaps, the later is on top whatever the kinds and
// colours: of two equal lines the second, whichever colour the frame met
// first; a line under a solid, a wide polyline and a text drawn after it, a
// line over each drawn before it; and in the order a block's sort table
// (ACAD_SORTENTS) gives, which a save keeps.
TEST_F(Render, ALaterEntityIsDrawnOnTopInTheFilesOrderOrItsSortTable)
{
    acad::Document* doc = h.app.Documents().Open(FixtureFile("draw_order.dxf").string());
    Harness::Process();
    h.app.ZoomWindow({-10, -10, 0}, {200, 75, 0});
    QImage img = h.Grab();
    auto on = [&](const QImage& i, const Point3d& p, int aci) {
        return HasColorNear(i, h.PixelOf(p), AciColor(aci), 1);
    };
    const int later[] = {5, 1, 6, 3}, earlier[] = {1, 5, 3, 6};
    for (int k = 0; k < 4; ++k) {
        for (const double x : {5.0, 50.0, 95.0}) {
            EXPECT_TRUE(on(img, {x, 10.0 * k, 0}, later[k])) << "pair " << k << " at " << x;
            EXPECT_FALSE(on(img, {x, 10.0 * k, 0}, earlier[k])) << "pair " << k << " at " << x;
        }
    }
    EXPECT_FALSE(on(img, {120, 10, 0}, 1)) << "a line under a solid";
    EXPECT_TRUE(on(img, {120, 10, 0}, 3));
    EXPECT_TRUE(on(img, {125, 5, 0}, 5)) << "a line over the solid";
    EXPECT_FALSE(on(img, {165, 10, 0}, 2)) << "a line under a wide polyline";
    EXPECT_TRUE(on(img, {165, 10, 0}, 4));
    EXPECT_TRUE(on(img, {175, 10, 0}, 6)) << "a line over the wide polyline";
    // Along each line's own row: a text's letters under the line drawn after
    // it, over the one drawn before it.
    auto lettersOn = [&](double y) {
        const int row = static_cast<int>(std::floor(h.PixelOf({0, y, 0}).y()));
        int yellow = 0;
        for (int x = static_cast<int>(h.PixelOf({0, y, 0}).x()); x < h.PixelOf({40, y, 0}).x(); ++x)
            yellow += img.pixelColor(x, row).rgb() == AciColor(2).rgb();
        return yellow;
    };
    EXPECT_EQ(lettersOn(44), 0) << "a text under a line";
    EXPECT_GT(lettersOn(64), 4) << "a text over a line";
    h.app.Documents().Close(*doc);

    doc = h.app.Documents().Open(FixtureFile("draw_order_sortents.dxf").string());
    Harness::Process();
    h.app.ZoomWindow({-10, -10, 0}, {110, 20, 0});
    img = h.Grab();
    EXPECT_TRUE(on(img, {50, 0, 0}, 1)) << "the red line drawn last by the sort table";
    EXPECT_FALSE(on(img, {50, 0, 0}, 5));
    EXPECT_TRUE(on(img, {50, 10, 0}, 6)) << "those it does not list in their own order";
    // Saved, the model space's record names its dictionary, which holds the
    // table: read again, the red line is still on top.
    const std::string text = acad::WriteDxfText(*doc);
    EXPECT_NE(text.find("ACAD_SORTENTS"), std::string::npos);
    EXPECT_NE(text.find("{ACAD_XDICTIONARY"), std::string::npos);
    acad::Document back;
    acad::ReadDxfText(back, text, "de novo");
    const acad::View view = h.app.ActiveDocument()->ActiveView();
    const QImage again = Rendered(back, view, h.view->size(), false);
    EXPECT_TRUE(on(again, {50, 0, 0}, 1));
    EXPECT_FALSE(on(again, {50, 0, 0}, 5));
    h.app.Documents().Close(*doc);

    // A crowd of lines, circles, dots, dashed lines, solid hatches, wide
    // polylines and texts of six colours over one another draws what drawing them one at a
    // time in the file's order draws, pixel for pixel.
    acad::Document crowd;
    acad::Block& ms = crowd.ModelSpace();
    acad::Linetype* dashed = crowd.Linetypes().Add("TRACO");
    dashed->SetPattern({2, -1, 0, -1});
    std::uint32_t seed = 7;
    auto next = [&](double range) {
        seed = seed * 1664525u + 1013904223u;
        return range * (seed >> 8) / 16777216.0;
    };
    for (int i = 0; i < 240; ++i) {
        const Point3d a{next(60), next(40), 0}, b{next(60), next(40), 0};
        acad::Entity* e = nullptr;
        switch (i % 8) {
        case 0:
        case 1: e = ms.AddLine(a, b); break;
        case 2: e = ms.AddCircle(a, 0.5 + next(8)); break;
        case 3: e = ms.AddPoint(a); break;
        case 4:
            e = ms.AddLine(a, b);
            e->SetLinetype("TRACO");
            break;
        case 5: {
            acad::LWPolyline* edge =
                ms.AddLightWeightPolyline({a.x, a.y, a.x + 4, a.y, a.x + 4, a.y + 3, a.x, a.y + 3});
            edge->SetClosed(true);
            auto* solid = ms.AddHatch(acad::HatchPatternType::PreDefined, "SOLID", false);
            solid->AppendOuterLoop({edge});
            edge->Delete();
            e = solid;
            break;
        }
        case 6: {
            auto* pl = ms.AddLightWeightPolyline({a.x, a.y, b.x, b.y, a.x + 5, b.y});
            pl->SetConstantWidth(0.8);
            e = pl;
            break;
        }
        default: e = ms.AddText("HXW", a, 2 + next(3)); break;
        }
        e->SetColor(1 + i % 6);
    }
    acad::View whole({0, 0, 0}, 1, 1.5);
    whole.Fit(crowd.ModelExtents());
    const QSize size(600, 400);
    const QImage together = Rendered(crowd, whole, size, false);
    QImage oneByOne(size, QImage::Format_RGB32);
    oneByOne.fill(acad::ui::BackgroundColor());
    std::vector<acad::Entity*> all(ms.begin(), ms.end());
    for (acad::Entity* e : all) e->SetVisible(false);
    acad::ui::SceneRenderer renderer;
    for (acad::Entity* e : all) {
        e->SetVisible(true);
        QPainter p(&oneByOne);
        renderer.Draw(p, crowd, acad::ui::ViewMapping::Of(whole, QSizeF(size)));
        p.end();
        e->SetVisible(false);
    }
    int differ = 0, inked = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            differ += together.pixel(x, y) != oneByOne.pixel(x, y);
            inked += together.pixel(x, y) != acad::ui::BackgroundColor().rgb();
        }
    EXPECT_GT(inked, 20000);
    EXPECT_EQ(differ, 0) << "of " << inked;
}

// Linetypes draw their dashes, gaps and dots where their lengths put them: at
// the drawing's scale (LTSCALE) and the entity's own, by layer, by block (the
// reference's, scaled with it), along an arc, along a polyline again from
// each vertex unless its linetype is generated along it, the simple dashes
// of a complex linetype, at every zoom and cut by the view; finer than two
// pixels, solid. A dashed line costs the window what the solid one does.
// New entities take CELTSCALE as their scale; seen through a viewport, model
// space's patterns keep the sheet's lengths while PSLTSCALE is on.
TEST_F(Render, LinetypesDrawTheirDashesWhereTheirLengthsPutThem)
{
    acad::Document* doc = h.app.Documents().Open(FixtureFile("linetypes.dxf").string());
    Harness::Process();
    h.app.ZoomWindow({-5, -25, 0}, {225, 65, 0});
    QImage img = h.Grab();
    auto ink = [&](const Point3d& p, int aci) { return HasColorNear(img, h.PixelOf(p), AciColor(aci), 1); };
    struct Probe {
        const char* what;
        int aci;
        double y;
        std::vector<double> inked, gaps;
    };
    const std::vector<Probe> probes = {
        {"own linetype, LTSCALE 2: dash 10, gap 5", 1, 0, {5, 20, 35, 140}, {12.5, 27.5, 132.5}},
        {"by layer, own scale 0.5", 2, 10, {2.5, 10, 17.5}, {6.25, 13.75}},
        {"dots every 5", 3, 20, {0, 5, 10, 50}, {2.5, 7.5, 52.5}},
        {"a polyline again from each vertex", 4, 30, {13, 25}, {11}},
        {"a polyline generated along it", 5, 40, {17}, {11, 13}},
        {"by block, scaled with the reference", 6, 50, {10, 12.5, 35}, {25, 55}},
        {"a complex linetype's dashes, not its text", 2, 60, {5, 25}, {12.5, 15, 17.5}},
    };
    auto check = [&](const std::string& when) {
        for (const Probe& p : probes) {
            for (const double x : p.inked) EXPECT_TRUE(ink({x, p.y, 0}, p.aci)) << when << p.what << ", ink at " << x;
            for (const double x : p.gaps) EXPECT_FALSE(ink({x, p.y, 0}, p.aci)) << when << p.what << ", gap at " << x;
        }
    };
    check("");
    // Along the circle from angle 0: dash 10, gap 5, dot, gap 5.
    auto onCircle = [&](double s) { return Point3d{200 + 20 * std::cos(s / 20), 20 * std::sin(s / 20), 0}; };
    for (const double s : {5.0, 15.0, 25.0, 45.0}) EXPECT_TRUE(ink(onCircle(s), 1)) << "circle, ink at " << s;
    for (const double s : {12.5, 17.5, 32.5}) EXPECT_FALSE(ink(onCircle(s), 1)) << "circle, gap at " << s;
    const acad::ui::RenderStats dashed = h.view->LastStats();

    // Closer, and with the lines' starts out of view.
    h.app.ZoomWindow({0, -5, 0}, {40, 5, 0});
    img = h.Grab();
    for (const double x : {5.0, 20.0, 35.0}) EXPECT_TRUE(ink({x, 0, 0}, 1)) << x;
    for (const double x : {12.5, 27.5}) EXPECT_FALSE(ink({x, 0, 0}, 1)) << x;
    h.app.ZoomWindow({100, -5, 0}, {140, 5, 0});
    img = h.Grab();
    for (const double x : {110.0, 125.0}) EXPECT_TRUE(ink({x, 0, 0}, 1)) << x;
    for (const double x : {117.5, 132.5}) EXPECT_FALSE(ink({x, 0, 0}, 1)) << x;

    // Far: the share of a line's pixels its dashes ink, a period 6 pixels
    // (0.4 pixel a unit) and 1.5 (0.1): solid.
    auto share = [&](double y, int aci) {
        const QPointF a = h.PixelOf({0, y, 0}), b = h.PixelOf({150, y, 0});
        const int row = static_cast<int>(std::floor(a.y()));
        int n = 0, inked = 0;
        for (int x = static_cast<int>(std::ceil(a.x())); x < static_cast<int>(b.x()); ++x, ++n)
            for (int r = row - 1; r <= row + 1; ++r)
                if (img.pixelColor(x, r).rgb() == AciColor(aci).rgb()) {
                    ++inked;
                    break;
                }
        return n ? static_cast<double>(inked) / n : 0.0;
    };
    h.app.ZoomCenter({75, 0, 0}, h.view->height() / 0.4);
    img = h.Grab();
    EXPECT_GT(share(0, 1), 0.5);
    EXPECT_LT(share(0, 1), 0.9);
    EXPECT_LT(share(20, 3), 0.7) << "dots 2 pixels apart";
    h.app.ZoomCenter({75, 0, 0}, h.view->height() / 0.1);
    img = h.Grab();
    EXPECT_EQ(share(0, 1), 1.0) << "a period of 1.5 pixels";
    EXPECT_EQ(share(20, 3), 1.0);

    // The same frame with every linetype solid does the same work.
    h.app.ZoomWindow({-5, -25, 0}, {225, 65, 0});
    std::vector<std::pair<acad::Linetype*, std::vector<double>>> kept;
    for (acad::Linetype* lt : doc->Linetypes()) {
        kept.emplace_back(lt, lt->Pattern());
        lt->SetPattern({});
    }
    h.view->Invalidate();
    img = h.Grab();
    EXPECT_TRUE(ink({12.5, 0, 0}, 1)) << "solid";
    EXPECT_EQ(h.view->LastStats().Work(), dashed.Work());
    EXPECT_EQ(h.view->LastStats().segments, dashed.segments);
    for (auto& [lt, pattern] : kept) lt->SetPattern(pattern);

    // LTSCALE doubled: dash 20, gap 10.
    doc->SetVariable("LTSCALE", 4.0);
    h.view->Invalidate();
    img = h.Grab();
    EXPECT_TRUE(ink({12.5, 0, 0}, 1));
    EXPECT_FALSE(ink({25, 0, 0}, 1));
    doc->SetVariable("LTSCALE", 2.0);

    // A new line takes CELTSCALE as its own scale.
    doc->SetVariable("CELTSCALE", 0.5);
    acad::Line* fresh = doc->ModelSpace().AddLine({0, -10, 0}, {150, -10, 0});
    EXPECT_DOUBLE_EQ(fresh->LinetypeScale(), 0.5);
    fresh->SetLinetype("TRACO");
    fresh->SetColor(4);
    img = h.Grab();
    EXPECT_TRUE(ink({2.5, -10, 0}, 4));
    EXPECT_FALSE(ink({6.25, -10, 0}, 4));

    // Through a viewport at half the model's size: the sheet's lengths (dash
    // 10 on the sheet, 20 in the model) with PSLTSCALE on, the model's without.
    doc->SetActiveSpace(acad::acPaperSpace);
    acad::PViewport* vp = doc->PaperSpace().AddPViewport({100, 100, 0}, 80, 40);
    vp->Display(true);
    vp->View().SetCenter({75, 20, 0});
    vp->View().SetHeight(80);
    h.app.ZoomWindow({55, 75, 0}, {145, 125, 0});
    auto sheet = [&](double modelX) { return Point3d{100 + (modelX - 75) * 0.5, 100 + (0 - 20) * 0.5, 0}; };
    img = h.Grab();
    EXPECT_TRUE(ink(sheet(5), 1));
    EXPECT_TRUE(ink(sheet(12.5), 1)) << "PSLTSCALE 1";
    EXPECT_FALSE(ink(sheet(25), 1));
    doc->SetVariable("PSLTSCALE", 0);
    h.view->Invalidate();
    img = h.Grab();
    EXPECT_TRUE(ink(sheet(5), 1));
    EXPECT_FALSE(ink(sheet(12.5), 1)) << "PSLTSCALE 0";
    h.app.Documents().Close(*doc);
}
