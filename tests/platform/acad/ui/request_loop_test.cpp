// The program's requests answered in the drawing window by synthesized mouse
// and key events: points, corners, angles, picks, texts, on-screen selections,
// Enter, Escape, right clicks, and commands left waiting by SendCommand.

#include <gtest/gtest.h>

#include "UiHarness.h"

#include <QLabel>

#include <cmath>

#include "platform/acad/InputReader.h"
#include "platform/os/Window.h"

using acad::Point3d;
using uitest::Harness;

namespace {

void ExpectNear(const Point3d& a, const Point3d& b, double tol)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
}

void ExpectError(std::uint32_t code, const std::function<void()>& f)
{
    try {
        f();
        ADD_FAILURE() << "no error";
    } catch (const acad::Error& e) {
        EXPECT_EQ(e.Code(), code) << e.Description();
    }
}

class RequestLoop : public ::testing::Test {
protected:
    void SetUp() override { h.app.ZoomCenter({0, 0, 0}, 100); }
    Harness h;
};

TEST_F(RequestLoop, PointsFromClicksAndTypedCoordinates)
{
    acad::Utility& u = h.doc->Utility();
    // A click gives the point under the cursor; the prompt is shown as sent.
    h.OnRequest([&] {
        EXPECT_EQ(h.panel->Prompt(), QString::fromUtf8("Ponto de inserção: "));
        ASSERT_NE(h.main->CurrentRequest(), nullptr);
        EXPECT_EQ(h.main->CurrentRequest()->kind, acad::InputKind::Point);
        h.Click(h.PixelOf({12, -7}));
    });
    ExpectNear(u.GetPoint(std::nullopt, "Ponto de inserção: "), {12, -7}, h.PixelSize());
    EXPECT_EQ(h.panel->Prompt(), QString(acad::ui::CommandPanel::kIdlePrompt));

    // Typed "x,y"; then "@dx,dy" from the base point; then "@" from the last point given.
    h.OnRequest([&] { h.TypeLine("10.5,20"); });
    ExpectNear(u.GetPoint(std::nullopt, "Selecione local: "), {10.5, 20}, 1e-12);
    h.OnRequest([&] { h.TypeLine("@3,-4"); });
    ExpectNear(u.GetPoint(Point3d(1, 1, 0), "Destino:"), {4, -3}, 1e-12);
    h.OnRequest([&] { h.TypeLine("@1,1"); });
    ExpectNear(u.GetPoint(std::nullopt, "Lado:"), {5, -2}, 1e-12);
    EXPECT_NE(h.panel->History().indexOf("Lado:@1,1"), -1);

    // A second corner by a click, with the rubber rectangle from the first.
    h.OnRequest([&] {
        EXPECT_EQ(h.main->CurrentRequest()->kind, acad::InputKind::Corner);
        h.Move(h.PixelOf({30, 30}));
        h.Click(h.PixelOf({20, 25}));
    });
    ExpectNear(u.GetCorner({0, 0, 0}, "Segundo ponto: "), {20, 25}, h.PixelSize());

    // Enter alone and Escape fail as the host's requests do; the Enter can be Space.
    h.OnRequest([&] { h.Tap(Qt::Key_Return); });
    ExpectError(acad::ErrorCode::EmptyInput, [&] { u.GetPoint(std::nullopt, "Ponto de inserção: "); });
    h.OnRequest([&] { h.Tap(Qt::Key_Space); });
    ExpectError(acad::ErrorCode::EmptyInput, [&] { u.GetCorner({0, 0, 0}, "Segundo ponto: "); });
    h.OnRequest([&] { h.Tap(Qt::Key_Escape); });
    ExpectError(acad::ErrorCode::Cancelled, [&] { u.GetPoint(std::nullopt, "Ponto de inserção: "); });
    EXPECT_EQ(h.PendingActions(), 0u);
}

TEST_F(RequestLoop, AnglesAndTexts)
{
    acad::Utility& u = h.doc->Utility();
    h.OnRequest([&] { h.TypeLine("90"); });
    EXPECT_NEAR(u.GetAngle(Point3d(0, 0, 0), "Direção:"), acad::kPi / 2, 1e-12);
    // Shown by a point from the base: a click straight below is 270°.
    h.OnRequest([&] {
        EXPECT_EQ(h.main->CurrentRequest()->kind, acad::InputKind::Angle);
        h.Click(h.PixelOf({5, -20}));
    });
    EXPECT_NEAR(u.GetAngle(Point3d(5, 0, 0), "Direção:"), 3 * acad::kPi / 2, 1e-9);

    // Without spaces, Space ends the text; with spaces it is part of it.
    h.OnRequest([&] {
        h.Type("12.5");
        h.Tap(Qt::Key_Space);
    });
    EXPECT_EQ(u.GetString(false, "Distância:"), "12.5");
    h.OnRequest([&] { h.TypeLine("Rua das Águas 7"); });
    EXPECT_EQ(u.GetString(true, "Nome: "), "Rua das Águas 7");
    h.OnRequest([&] { h.Tap(Qt::Key_Return); });
    EXPECT_EQ(u.GetString(false, "Distância:"), "");
    // A click answers nothing while a text is asked.
    h.OnRequest([&] {
        h.Click(h.PixelOf({1, 1}));
        EXPECT_NE(h.main->CurrentRequest(), nullptr);
        h.TypeLine("ok");
    });
    EXPECT_EQ(u.GetString(false, "Texto:"), "ok");
}

TEST_F(RequestLoop, PicksOfEntitiesNestedOnesAndEmptySpace)
{
    acad::Block& ms = h.doc->ModelSpace();
    acad::Line* line = ms.AddLine({-20, 10, 0}, {20, 10, 0});
    acad::Block* def = h.doc->Blocks().Add({0, 0, 0}, "MARCO");
    def->AddCircle({0, 0, 0}, 2);
    def->AddAttribute(1.5, 0, "", {3, 0, 0}, "NUMERO", "");
    acad::BlockReference* ref = ms.InsertBlock({-10, -10, 0}, "MARCO", 1, 1, 1, 0);
    ref->GetAttributes().front()->SetTextString("PV-12");

    acad::Utility& u = h.doc->Utility();
    acad::Entity* picked = nullptr;
    Point3d at;
    h.OnRequest([&] { h.Click(h.PixelOf({5, 10})); });
    u.GetEntity(picked, at, "Selecione PV 1: ");
    EXPECT_EQ(picked, line);
    ExpectNear(at, {5, 10}, h.PixelSize());

    // Nested: the attribute inside the block is what is picked.
    acad::Transform toWorld;
    std::vector<acad::BlockReference*> context;
    // The attribute's text starts at the block's (3, 0) offset.
    h.OnRequest([&] { h.Click(h.PixelOf({-10 + 3.6, -10 + 0.7})); });
    u.GetSubEntity(picked, at, toWorld, context, "Selecione ATRIBUTO do Selo a editar:");
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->ObjectName(), "AcDbAttribute");

    // A pick on empty space and Escape both cancel.
    h.OnRequest([&] { h.Click(h.PixelOf({30, -30})); });
    ExpectError(acad::ErrorCode::Cancelled, [&] { u.GetEntity(picked, at, "Selecione TR:"); });
    h.OnRequest([&] { h.Tap(Qt::Key_Escape); });
    ExpectError(acad::ErrorCode::Cancelled, [&] { u.GetEntity(picked, at, "Selecione TR:"); });
}

TEST_F(RequestLoop, OnScreenSelectionWindowCrossingFilterAndHighlight)
{
    acad::Block& ms = h.doc->ModelSpace();
    h.doc->Layers().Add("PV");
    acad::Circle* a = ms.AddCircle({-20, 0, 0}, 3);
    acad::Circle* b = ms.AddCircle({0, 0, 0}, 3);
    acad::Circle* c = ms.AddCircle({20, 0, 0}, 3);
    a->SetLayer("PV");
    c->SetLayer("PV");
    acad::Line* crossing = ms.AddLine({-30, 20, 0}, {30, 20, 0});
    crossing->SetLayer("PV");

    // A window dragged left to right over the three circles keeps those of layer PV;
    // the next step shows them highlighted; Enter ends the selection.
    h.OnRequest([&] {
        EXPECT_EQ(h.main->CurrentRequest()->kind, acad::InputKind::Selection);
        EXPECT_EQ(h.panel->Prompt(), QStringLiteral("Selecione objetos: "));
        h.Drag(h.PixelOf({-30, 10}), h.PixelOf({30, -10}));
    });
    h.OnRequest([&] {
        EXPECT_EQ(h.view->HighlightedCount(), 2u);
        h.Tap(Qt::Key_Return);
    });
    acad::SelectionSet* ss = h.doc->SelectionSets().Add("SS1");
    ss->SelectOnScreen({8}, {acad::Variant("PV")});
    ASSERT_EQ(ss->Count(), 2);
    EXPECT_EQ(ss->Item(0), a);
    EXPECT_EQ(ss->Item(1), c);
    EXPECT_EQ(h.view->HighlightedCount(), 0u);

    // Right to left, with two clicks: a crossing, which takes the line it cuts
    // (a window there would take nothing); then a pick adds a circle; Enter ends.
    ss->Clear();
    h.OnRequest([&] {
        h.Click(h.PixelOf({10, 25}));
        h.Move(h.PixelOf({0, 15}));
        h.Click(h.PixelOf({-10, 15}));
    });
    h.OnRequest([&] { h.Click(h.PixelOf({23, 0})); });
    h.OnRequest([&] {
        EXPECT_EQ(h.view->HighlightedCount(), 2u);
        h.Tap(Qt::Key_Return);
    });
    ss->SelectOnScreen();
    ASSERT_EQ(ss->Count(), 2);
    EXPECT_EQ(ss->Item(0), crossing);
    EXPECT_EQ(ss->Item(1), c);

    // Escape drops the whole selection.
    ss->Clear();
    h.OnRequest([&] { h.Drag(h.PixelOf({-30, 10}), h.PixelOf({30, -10})); });
    h.OnRequest([&] { h.Tap(Qt::Key_Escape); });
    ss->SelectOnScreen();
    EXPECT_EQ(ss->Count(), 0);
    EXPECT_NE(b, nullptr);
}

TEST_F(RequestLoop, RightClicksRaiseBeginRightClick)
{
    std::vector<Point3d> clicks;
    auto c = h.doc->BeginRightClick += [&](Point3d p) { clicks.push_back(p); };
    // While a point is asked: the event, then the request ends as with Enter.
    h.OnRequest([&] { h.Click(h.PixelOf({7, 8}), Qt::RightButton); });
    ExpectError(acad::ErrorCode::EmptyInput, [&] { h.doc->Utility().GetPoint(std::nullopt, "Destino:"); });
    ASSERT_EQ(clicks.size(), 1u);
    ExpectNear(clicks[0], {7, 8}, h.PixelSize());
    // With nothing asked the event comes all the same, and its handler may ask at once.
    std::optional<Point3d> asked;
    auto again = h.doc->BeginRightClick += [&](Point3d) {
        h.OnRequest([&] { h.Click(h.PixelOf({1, 2})); });
        asked = h.doc->Utility().GetPoint(std::nullopt, "Destino:");
    };
    h.Click(h.PixelOf({-3, 4}), Qt::RightButton);
    for (int i = 0; i < 10 && !asked; ++i) Harness::Process();
    ASSERT_EQ(clicks.size(), 2u);
    ExpectNear(clicks[1], {-3, 4}, h.PixelSize());
    ASSERT_TRUE(asked.has_value());
    ExpectNear(*asked, {1, 2}, h.PixelSize());
    c.Disconnect();
    again.Disconnect();
}

TEST_F(RequestLoop, ObjectSnapAndNestedRequests)
{
    h.doc->ModelSpace().AddLine({0, 0, 0}, {10, 5, 0});
    h.doc->SetVariable("OSMODE", acad::Variant(1));
    // Three pixels off the end, the endpoint snap gives the end itself.
    h.OnRequest([&] { h.Click(h.PixelOf({10, 5}) + QPointF(3, -2)); });
    const Point3d p = h.doc->Utility().GetPoint(Point3d(0, 0, 0), "Inicial:");
    EXPECT_DOUBLE_EQ(p.x, 10);
    EXPECT_DOUBLE_EQ(p.y, 5);
    h.doc->SetVariable("OSMODE", acad::Variant(0));

    // A request made while another waits is answered first; then the first is asked again.
    std::string inner;
    h.OnRequest([&] {
        h.OnRequest([&] {
            EXPECT_EQ(h.panel->Prompt(), QStringLiteral("Distância:"));
            h.TypeLine("25");
        });
        inner = h.doc->Utility().GetString(false, "Distância:");
        EXPECT_EQ(h.panel->Prompt(), QStringLiteral("Rotação:"));
        h.Click(h.PixelOf({-5, -5}));
    });
    const Point3d outer = h.doc->Utility().GetPoint(std::nullopt, "Rotação:");
    EXPECT_EQ(inner, "25");
    ExpectNear(outer, {-5, -5}, h.PixelSize());
}

TEST_F(RequestLoop, UnderOrthoTheRubberBandAndTheClickKeepToTheLines)
{
    h.doc->SetVariable("ORTHOMODE", acad::Variant(1));
    const QColor band(230, 230, 230);
    auto onBand = [&](const QImage& img, const Point3d& from, const Point3d& to) {
        int hits = 0;
        for (int k = 1; k <= 8; ++k) {
            const double t = k / 9.0;
            if (uitest::HasColorNear(img, h.PixelOf({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t, 0}),
                                     band, 1))
                ++hits;
        }
        return hits;
    };
    h.OnRequest([&] {
        // The cursor off the horizontal: the band runs along it, the coordinates say where a click lands.
        h.Move(h.PixelOf({30, 6}));
        const QImage img = h.Grab();
        EXPECT_GE(onBand(img, {0, 0, 0}, {30, 0, 0}), 5);
        EXPECT_EQ(onBand(img, {0, 0, 0}, {30, 6, 0}), 0);
        EXPECT_TRUE(h.main->Coordinates()->text().endsWith(", 0.0000")) << h.main->Coordinates()->text().toStdString();
        h.Click(h.PixelOf({30, 6}));
    });
    const Point3d p = h.doc->Utility().GetPoint(Point3d(0, 0, 0), "Destino: ");
    EXPECT_EQ(p.y, 0.0);
    EXPECT_NEAR(p.x, 30, h.PixelSize());

    // Along SNAPANG + 90° when the cursor is nearer to it; typed coordinates as typed.
    h.OnRequest([&] {
        h.Move(h.PixelOf({-4, 25}));
        EXPECT_TRUE(h.main->Coordinates()->text().startsWith("0.0000, "))
            << h.main->Coordinates()->text().toStdString();
        h.Click(h.PixelOf({-4, 25}));
    });
    const Point3d q = h.doc->Utility().GetPoint(Point3d(0, 0, 0), "Destino: ");
    EXPECT_EQ(q.x, 0.0);
    h.OnRequest([&] { h.TypeLine("-4,25"); });
    ExpectNear(h.doc->Utility().GetPoint(Point3d(0, 0, 0), "Destino: "), {-4, 25}, 1e-12);

    // A corner is a rectangle's: the cursor's own coordinates.
    h.OnRequest([&] {
        h.Move(h.PixelOf({30, 6}));
        EXPECT_FALSE(h.main->Coordinates()->text().endsWith(", 0.0000"));
        h.Click(h.PixelOf({30, 6}));
    });
    ExpectNear(h.doc->Utility().GetCorner({0, 0, 0}, "Segundo ponto: "), {30, 6}, h.PixelSize());
    EXPECT_EQ(h.PendingActions(), 0u);
}

TEST_F(RequestLoop, CommandsLeftWaitingGoOnInTheWindow)
{
    acad::Line* line = h.doc->ModelSpace().AddLine({0, 0, 0}, {10, 0, 0});
    std::vector<std::string> ended;
    auto c = h.doc->EndCommand += [&](const std::string& name) { ended.push_back(name); };
    auto settle = [&] {
        for (int i = 0; i < 20 && h.doc->CommandActive(); ++i) Harness::Process();
    };

    // ROTATE waits for the angle; the window asks for it once the program went on.
    h.OnRequest([&] {
        EXPECT_EQ(h.main->CurrentRequest()->kind, acad::InputKind::Angle);
        h.TypeLine("90");
    });
    h.doc->SendCommand("ROTATE\rLAST\r\r0.00000000,0.00000000\r");
    EXPECT_TRUE(h.doc->CommandActive());
    settle();
    EXPECT_FALSE(h.doc->CommandActive());
    EXPECT_NEAR(line->EndPoint().x, 0, 1e-9);
    EXPECT_NEAR(line->EndPoint().y, 10, 1e-9);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0], "ROTATE");

    // Escape at the angle ends the command with no effect.
    h.OnRequest([&] { h.Tap(Qt::Key_Escape); });
    h.doc->SendCommand("ROTATE\rLAST\r\r0,0\r");
    settle();
    EXPECT_FALSE(h.doc->CommandActive());
    EXPECT_NEAR(line->EndPoint().y, 10, 1e-9);
    EXPECT_EQ(ended.size(), 2u);

    // The aligned dimension's three points by clicks.
    h.OnRequest([&] { h.Click(h.PixelOf({0, -10})); });
    h.OnRequest([&] { h.Click(h.PixelOf({20, -10})); });
    h.OnRequest([&] { h.Click(h.PixelOf({10, -15})); });
    const int before = h.doc->ModelSpace().Count();
    h.doc->SendCommand("_dimaligned\r");
    settle();
    EXPECT_EQ(h.doc->ModelSpace().Count(), before + 1);
    EXPECT_EQ(h.doc->ModelSpace().LastEntity()->ObjectName(), "AcDbAlignedDimension");
    EXPECT_EQ(ended.back(), "DIMALIGNED");

    // The program's own Escape (posted to the window it finds by its title) ends it too.
    h.OnRequest([&] { EXPECT_TRUE(os::SendEscape(h.app.Caption())); });
    h.doc->SendCommand("ROTATE\rLAST\r\r0,0\r");
    settle();
    EXPECT_FALSE(h.doc->CommandActive());
    EXPECT_EQ(ended.back(), "ROTATE");
    EXPECT_NEAR(line->EndPoint().y, 10, 1e-9);
    c.Disconnect();
}

}  // namespace
