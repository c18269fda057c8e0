// User input through a scripted input source: prompts as sent, the failure
// codes the system's retry rules test, picks, nested picks, object snaps and
// on-screen selections.

#include <gtest/gtest.h>

#include <memory>

#include "platform/acad/Acad.h"

using namespace acad;

namespace {

class InputTest : public ::testing::Test {
protected:
    InputTest() : script(std::make_shared<ScriptedInput>()), doc(*app.Documents().Add("Acad")), util(doc.Utility())
    {
        app.SetInputSource(script);
        app.ZoomCenter({0, 0, 0}, 100);  // pick box about 0.4 units, aperture about 1.3
    }

    // The failure code of a request, 0 when it succeeded.
    template <typename F>
    static std::uint32_t CodeOf(F&& request)
    {
        try {
            request();
        } catch (const Error& e) {
            return e.Code();
        }
        return 0;
    }

    Application app;
    std::shared_ptr<ScriptedInput> script;
    Document& doc;
    Utility& util;
};

TEST_F(InputTest, AnswersComeBackAndPromptsReachTheSourceAsSent)
{
    script->Point({1, 2, 0}).Point({5, 6, 0}).Text("3.5,-2").Angle(-kPi / 2).Text("90").Point({10, 10, 0});
    EXPECT_EQ(util.GetPoint(std::nullopt, "Ponto de inserção: "), Point3d(1, 2, 0));
    EXPECT_EQ(util.GetCorner({1, 2, 0}, "Segundo ponto: "), Point3d(5, 6, 0));
    EXPECT_EQ(util.GetPoint(Point3d(1, 1, 0), "Destino:"), Point3d(3.5, -2, 0));  // typed coordinates
    EXPECT_DOUBLE_EQ(util.GetAngle(Point3d(0, 0, 0), "Direção: "), 3 * kPi / 2);  // normalised
    EXPECT_DOUBLE_EQ(util.GetAngle(std::nullopt, "Direção:"), kPi / 2);           // typed in degrees
    EXPECT_DOUBLE_EQ(util.GetAngle(Point3d(0, 0, 0), "Rotação:"), kPi / 4);       // shown by a point

    const auto& r = script->Requests();
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Ponto de inserção: ", "Segundo ponto: ", "Destino:",
                                                           "Direção: ", "Direção:", "Rotação:"}));
    EXPECT_EQ(r[0].kind, InputKind::Point);
    EXPECT_FALSE(r[0].basePoint);
    EXPECT_EQ(r[1].kind, InputKind::Corner);
    EXPECT_EQ(*r[1].basePoint, Point3d(1, 2, 0));
    EXPECT_EQ(r[3].kind, InputKind::Angle);
    EXPECT_EQ(r[0].document, &doc);

    // Without a base point an angle is shown by two points.
    script->Point({0, 0, 0}).Point({0, -5, 0});
    EXPECT_DOUBLE_EQ(util.GetAngle(std::nullopt, "Direção:"), 3 * kPi / 2);

    EXPECT_DOUBLE_EQ(util.AngleFromXAxis({0, 0, 0}, {-1, 0, 0}), kPi);
    const Point3d p = util.PolarPoint({1, 1, 0}, kPi / 2, 2.0);
    EXPECT_NEAR(p.x, 1.0, 1e-12);
    EXPECT_NEAR(p.y, 3.0, 1e-12);
}

TEST_F(InputTest, EscapeAndEnterFailWithTheCodesTheRetryRulesTest)
{
    script->Escape();
    try {
        util.GetPoint(std::nullopt, "Ponto de inserção: ");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), -2147352567);  // what GetPonto compares with
    }
    script->Enter();
    EXPECT_EQ(CodeOf([&] { util.GetAngle(std::nullopt, "Direção:"); }), ErrorCode::EmptyInput);
    script->Escape().Enter();
    EXPECT_EQ(CodeOf([&] { util.GetCorner({0, 0, 0}, "Segundo ponto: "); }), ErrorCode::Cancelled);
    EXPECT_EQ(CodeOf([&] { util.GetCorner({0, 0, 0}, "Segundo ponto: "); }), ErrorCode::EmptyInput);

    // GetPonto's loop: asked again while the failure is 0x80020009.
    script->Escape().Escape().Point({7, 7, 0});
    std::optional<Point3d> got;
    for (int tries = 0; tries < 10 && !got; ++tries) {
        try {
            got = util.GetPoint(std::nullopt, "Ponto de inserção: ");
        } catch (const Error& e) {
            if (e.Number() != -2147352567) break;
        }
    }
    EXPECT_EQ(got, Point3d(7, 7, 0));

    // Answers that do not fit the request are asked again.
    script->Window({0, 0, 0}, {1, 1, 0}).Text("abc").Point({2, 2, 0});
    EXPECT_EQ(util.GetPoint(std::nullopt, "P: "), Point3d(2, 2, 0));
    EXPECT_EQ(script->Remaining(), 0u);

    // A script that runs short ends retry loops instead of spinning in them.
    try {
        util.GetPoint(std::nullopt, "Inicial:");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::NoInputSource);
        EXPECT_NE(e.Description().find("Inicial:"), std::string::npos);
    }
}

TEST_F(InputTest, RightClickRaisesTheEventAndConfirmsLikeEnter)
{
    std::vector<Point3d> clicks;
    auto c = doc.BeginRightClick.Connect([&](Point3d p) { clicks.push_back(p); });
    script->RightClick({4, 5, 0});
    EXPECT_EQ(CodeOf([&] { util.GetPoint(std::nullopt, "Destino:"); }), ErrorCode::EmptyInput);
    EXPECT_EQ(clicks, (std::vector<Point3d>{{4, 5, 0}}));
    c.Disconnect();
}

TEST_F(InputTest, StringsStopAtASpaceUnlessSpacesAreAllowed)
{
    script->Text("12.5 m").Text("Rua das Flores").Enter().Escape();
    EXPECT_EQ(util.GetString(false, "Distância:"), "12.5");
    EXPECT_EQ(util.GetString(true, "Nome:"), "Rua das Flores");
    EXPECT_EQ(util.GetString(false, "Distância:"), "");
    EXPECT_EQ(CodeOf([&] { util.GetString(false, "Distância:"); }), ErrorCode::Cancelled);
    EXPECT_FALSE(script->Requests()[0].allowSpaces);
    EXPECT_TRUE(script->Requests()[1].allowSpaces);

    util.Prompt("\r\n");
    EXPECT_EQ(script->Messages(), (std::vector<std::string>{"\r\n"}));
}

TEST_F(InputTest, EntitiesArePickedAtAPoint)
{
    Line* line = doc.ModelSpace().AddLine({0, 0, 0}, {10, 0, 0});
    Block* def = doc.Blocks().Add({0, 0, 0}, "E-PV");
    def->AddCircle({0, 0, 0}, 1);
    def->AddAttribute(1.0, 0, "", {3, 3, 0}, "NUMERO", "PV-1");
    BlockReference* pv = doc.ModelSpace().InsertBlock({20, 0, 0}, "E-PV", 1, 1, 1, 0);

    Entity* picked = nullptr;
    Point3d at;
    script->Point({5, 0.1, 0});
    util.GetEntity(picked, at, "Selecione PV 1: ");
    EXPECT_EQ(picked, line);
    EXPECT_EQ(at, Point3d(5, 0.1, 0));

    // Picking an attribute gives its block reference.
    const Point3d attr = pv->GetAttributes().at(0)->InsertionPoint();
    script->Point(attr + Point3d(0.2, 0.2, 0));
    util.GetEntity(picked, at, "Selecione objeto:");
    EXPECT_EQ(picked, pv);

    // Empty space fails as the host does, with the code of a cancelled pick.
    script->Point({40, 40, 0});
    picked = nullptr;
    EXPECT_EQ(CodeOf([&] { util.GetEntity(picked, at, "Selecione objeto:"); }), ErrorCode::Cancelled);
    EXPECT_EQ(picked, nullptr);
    script->Enter();
    EXPECT_EQ(CodeOf([&] { util.GetEntity(picked, at, "Selecione objeto:"); }), ErrorCode::EmptyInput);
    EXPECT_EQ(script->Requests().back().kind, InputKind::Entity);
}

TEST_F(InputTest, SubEntityPicksReachIntoBlocks)
{
    Block* inner = doc.Blocks().Add({0, 0, 0}, "INNER");
    Line* innerLine = inner->AddLine({0, 0, 0}, {4, 0, 0});
    Block* outer = doc.Blocks().Add({0, 0, 0}, "OUTER");
    BlockReference* innerRef = outer->InsertBlock({10, 0, 0}, "INNER", 1, 1, 1, 0);
    outer->AddAttribute(1.0, 0, "", {0, 5, 0}, "TITULO", "FOLHA");
    BlockReference* outerRef = doc.ModelSpace().InsertBlock({0, 0, 0}, "OUTER", 2, 2, 2, kPi / 2);
    // World: the inner line runs from (0, 20) to (0, 28).

    Entity* object = nullptr;
    Point3d at;
    Transform m;
    std::vector<BlockReference*> context;
    script->Point({0, 24, 0});
    util.GetSubEntity(object, at, m, context, "Selecione Objeto: ");
    EXPECT_EQ(object, innerLine);
    EXPECT_EQ(context, (std::vector<BlockReference*>{innerRef, outerRef}));  // innermost first
    const Point3d end = m.Apply({4, 0, 0});
    EXPECT_NEAR(end.x, 0.0, 1e-9);
    EXPECT_NEAR(end.y, 28.0, 1e-9);

    // An attribute comes back alone, as the host gives it.
    AttributeReference* title = outerRef->GetAttributes().at(0);
    m = Transform::Translation({1, 1, 0});
    script->Point(title->InsertionPoint() + Point3d(-0.2, 0.2, 0));
    util.GetSubEntity(object, at, m, context, "Selecione ATRIBUTO do Selo a editar:");
    EXPECT_EQ(object, title);
    EXPECT_TRUE(context.empty());
    EXPECT_TRUE(m.IsIdentity());

    // A plain entity: identity, no containers.
    Circle* c = doc.ModelSpace().AddCircle({-30, 0, 0}, 2);
    script->Point({-28, 0, 0});
    util.GetSubEntity(object, at, m, context, "Selecione ponto: ");
    EXPECT_EQ(object, c);
    EXPECT_TRUE(context.empty());
}

TEST_F(InputTest, PickedPointsFollowTheObjectSnapsOfOsmode)
{
    Block& ms = doc.ModelSpace();
    ms.AddLine({0, 0, 0}, {10, 0, 0});
    ms.AddCircle({30, 0, 0}, 5);
    Block* def = doc.Blocks().Add({0, 0, 0}, "COM_QUADRA");
    def->AddCircle({0, 0, 0}, 3);
    ms.InsertBlock({-30, 0, 0}, "COM_QUADRA", 1, 1, 1, 0);
    LWPolyline* parcel = ms.AddLightWeightPolyline({0, 20, 8, 20, 8, 28});

    auto pick = [&](int osmode, const Point3d& p) {
        doc.SetVariable("OSMODE", osmode);
        script->Point(p);
        return util.GetPoint(std::nullopt, "Inicial:");
    };
    EXPECT_EQ(pick(0, {9.6, 0.3, 0}), Point3d(9.6, 0.3, 0));
    EXPECT_EQ(pick(1, {9.6, 0.3, 0}), Point3d(10, 0, 0));             // endpoint
    EXPECT_EQ(pick(1, {8.3, 19.8, 0}), Point3d(8, 20, 0));            // polyline vertex
    EXPECT_EQ(pick(1, {5, 0.3, 0}), Point3d(5, 0.3, 0));              // nothing within the aperture
    EXPECT_EQ(pick(2, {5.4, 0.2, 0}), Point3d(5, 0, 0));              // midpoint
    EXPECT_EQ(pick(4, {34.8, 0.5, 0}), Point3d(30, 0, 0));            // centre, picked on the circle
    EXPECT_EQ(pick(64, {-30.5, 0.5, 0}), Point3d(-30, 0, 0));         // insertion point
    EXPECT_EQ(pick(1 | 16384, {9.6, 0.3, 0}), Point3d(9.6, 0.3, 0));  // snaps suspended
    const Point3d near = pick(512, {4, 0.5, 0});
    EXPECT_NEAR(near.x, 4.0, 1e-12);
    EXPECT_NEAR(near.y, 0.0, 1e-12);
    // Endpoint wins over nearest when both are on.
    EXPECT_EQ(pick(1 | 512, {9.5, 0.2, 0}), Point3d(10, 0, 0));
    // Typed coordinates are taken as typed.
    doc.SetVariable("OSMODE", 1);
    script->Text("9.6,0.3");
    EXPECT_EQ(util.GetPoint(std::nullopt, "Inicial:"), Point3d(9.6, 0.3, 0));
    (void)parcel;
}

TEST_F(InputTest, NobodyToAskIsAClearFailure)
{
    app.SetInputSource(nullptr);
    try {
        util.GetPoint(std::nullopt, "Ponto de inserção: ");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::NoInputSource);
        EXPECT_NE(e.Description().find("Ponto de inserção: "), std::string::npos);
    }
    util.Prompt("nobody reads this");  // never fails

    Document alone;  // a drawing of no application
    Entity* e = nullptr;
    Point3d p;
    EXPECT_EQ(CodeOf([&] { alone.Utility().GetEntity(e, p, "Selecione:"); }), ErrorCode::NoInputSource);
}

TEST_F(InputTest, OnScreenSelectionTakesWindowsCrossingsAndPicks)
{
    Block& ms = doc.ModelSpace();
    for (const char* name : {"A-TUBO", "R-TUBO", "A-CURVA"}) doc.Blocks().Add({0, 0, 0}, name)->AddCircle({0, 0, 0}, 1);
    BlockReference* a = ms.InsertBlock({0, 0, 0}, "A-TUBO", 1, 1, 1, 0);
    BlockReference* r = ms.InsertBlock({10, 0, 0}, "R-TUBO", 1, 1, 1, 0);
    BlockReference* c = ms.InsertBlock({20, 0, 0}, "A-CURVA", 1, 1, 1, 0);
    Line* line = ms.AddLine({30, -1, 0}, {30, 1, 0});
    SelectionSet* ss = doc.SelectionSets().Add("SS1");
    using V = std::vector<Entity*>;

    // A window takes what lies inside; a crossing what it touches; Enter ends.
    script->Window({-2, -2, 0}, {12, 2, 0}).Crossing({20.5, -0.5, 0}, {29, 0.5, 0}).Enter();
    ss->SelectOnScreen();
    EXPECT_EQ(ss->Items(), V({a, r, c}));
    EXPECT_EQ(script->Prompts(),
              (std::vector<std::string>{"Selecione objetos: ", "Selecione objetos: ", "Selecione objetos: "}));
    EXPECT_EQ(script->Requests()[0].kind, InputKind::Selection);

    // The pipe repair's filter: one or the other pipe block.
    ss->Clear();
    script->Window({-50, -50, 0}, {50, 50, 0}).Enter();
    ss->SelectOnScreen({-4, 2, 2, -4}, {"<XOR", "A-TUBO", "R-TUBO", "XOR>"});
    EXPECT_EQ(ss->Items(), V({a, r}));

    // A pick on an entity takes it; on empty space it opens a window, to the
    // left a crossing.
    ss->Clear();
    script->Point({31, 0, 0}).Point({30, 0.3, 0}).Point({9.5, 5, 0}).Point({-5, -5, 0}).Enter();
    ss->SelectOnScreen();
    EXPECT_EQ(ss->Items(), V({line, a, r}));  // the crossing from (9.5,5) to (-5,-5) touches a and r

    // Escape drops the selection in progress and reports nothing.
    ss->Clear();
    script->Window({-50, -50, 0}, {50, 50, 0}).Escape();
    ss->SelectOnScreen();
    EXPECT_EQ(ss->Count(), 0);
    EXPECT_EQ(script->Remaining(), 0u);

    // Typed at the prompt: the previous selection, the last entity, a Lisp form.
    script->Text("L").Text("(ssget \"X\" '((2 . \"A-*\")))").Enter();
    ss->SelectOnScreen();
    EXPECT_EQ(ss->Items(), V({line, a, c}));
}

}  // namespace
