// Selection filters: the host's wildcards, group codes 0/2/8/1001 and the -4
// brackets, on a real drawing.

#include <gtest/gtest.h>

#include "platform/acad/Acad.h"
#include "platform/acad/Filter.h"

using namespace acad;

namespace {

TEST(Wildcards, FollowTheHostRules)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"E-PV250", "E-PV*", true},
        {"e-pv1", "E-PV*", true},
        {"E-TRSAN", "E-PV*", false},
        {"A-TUBO", "A-*", true},
        {"R-TUBO", "A-*", false},
        {"", "*", true},
        {"", "", true},
        {"A", "", false},
        {"ABC", "A?C", true},
        {"AC", "A?C", false},
        {"CONEXOES_1", "CONEXOES_#", true},
        {"CONEXOES_X", "CONEXOES_#", false},
        {"AB1", "@@#", true},
        {"A11", "@@#", false},
        {"A-B", "A.B", true},
        {"AXB", "A.B", false},
        {"X", "~A*", true},
        {"AB", "~A*", false},
        {"B1", "[ABC]1", true},
        {"D1", "[A-C]1", false},
        {"D1", "[~A-C]1", true},
        {"b1", "[A-C]1", true},
        {"NODES", "REDE,NODES", true},
        {"REDE|T_100", "REDE,REDE|T_*", true},
        {"REDE|TRECHO", "REDE|T_*", false},
        {"A,B", "A`,B", true},
        {"A", "A`,B", false},
        {"A*", "A`*", true},
        {"AX", "A`*", false},
        {"CÓDIGO", "código", true},
        {"Açude", "AÇ*", true},
        {"ÇA", "ça", true},
        {"[X", "[X", true},
        {"AXXXBXXC", "A*B*C", true},
        {"AXXXBXX", "A*B*C", false},
        {"ABAB", "*AB", true},
        {"N_PV", "~GEN_*,N_*", true},
        {"GEN_X", "~GEN_*", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.text, c.pattern), c.match) << '"' << c.text << "\" against \"" << c.pattern << '"';
}

class FilterTest : public ::testing::Test {
protected:
    FilterTest()
    {
        Block& ms = doc.ModelSpace();
        for (const char* name : {"PV", "FLUXO", "TEXTO_CON", "REDE"}) doc.Layers().Add(name);
        for (const char* name : {"E-PV", "E-TRSAN", "A-TUBO", "A-CURVA"}) {
            Block* b = doc.Blocks().Add({0, 0, 0}, name);
            b->AddCircle({0, 0, 0}, 1.0);
        }
        pv = ms.InsertBlock({0, 0, 0}, "E-PV", 1, 1, 1, 0);
        pv->SetLayer("PV");
        reach = ms.InsertBlock({10, 0, 0}, "E-TRSAN", 1, 1, 1, 0);
        reach->SetLayer("FLUXO");
        tube = ms.InsertBlock({20, 0, 0}, "A-TUBO", 1, 1, 1, 0);
        bend = ms.InsertBlock({30, 0, 0}, "A-CURVA", 1, 1, 1, 0);
        bend->SetLayer("PV");
        leader = ms.AddLightWeightPolyline({0, 5, 10, 5});
        leader->SetLayer("TEXTO_CON");
        line = ms.AddLine({0, 10, 0}, {10, 10, 0});
        line->SetLayer("REDE");
        line->SetXData({1001, 1000}, {Variant("7-12"), Variant("10")});
        point = ms.AddPoint({5, 20, 0});
        point->SetLayer("PV");
        Entity* square = ms.AddLightWeightPolyline({40, 0, 50, 0, 50, 10, 40, 10});
        static_cast<LWPolyline*>(square)->SetClosed(true);
        hatch = ms.AddHatch(1, "ANSI31", false);
        hatch->AppendOuterLoop({square});
        hatch->Evaluate();
    }

    std::vector<Entity*> Matching(const std::vector<int>& types, const std::vector<Variant>& data)
    {
        const SelectionFilter f(types, data);
        std::vector<Entity*> out;
        for (Entity* e : doc.ModelSpace())
            if (f.Matches(*e)) out.push_back(e);
        return out;
    }

    Document doc;
    BlockReference *pv, *reach, *tube, *bend;
    LWPolyline* leader;
    Line* line;
    Point* point;
    Hatch* hatch;
};

using V = std::vector<Entity*>;

TEST_F(FilterTest, GroupCodesMatchTypeNameLayerAndApplication)
{
    EXPECT_EQ(Matching({0, 2}, {"INSERT", "E-PV*"}), V({pv}));
    EXPECT_EQ(Matching({0, 8}, {"LWPolyline", "texto_con"}), V({leader}));  // case-insensitive both ways
    EXPECT_EQ(Matching({0}, {"POINT,LINE"}), V({line, point}));
    EXPECT_EQ(Matching({2}, {"ANSI31"}), V({hatch}));  // a hatch's group 2 is its pattern
    EXPECT_EQ(Matching({1001}, {"7-*"}), V({line}));
    EXPECT_EQ(Matching({1001}, {"8-*"}), V());
    EXPECT_EQ(Matching({8}, {"~PV"}).size(), 6u);
    EXPECT_EQ(Matching({}, {}).size(), 9u);  // no filter: everything
}

TEST_F(FilterTest, BracketsNestAndCombine)
{
    // Manholes or reaches, as the pick of the sewer editing tab asks.
    EXPECT_EQ(Matching({-4, 2, 2, -4}, {"<OR", "E-PV*", "E-TR*", "OR>"}), V({pv, reach}));
    // Fittings but not pipes.
    EXPECT_EQ(Matching({-4, 2, -4, 2, -4, -4}, {"<AND", "A-*", "<NOT", "A-TUBO", "NOT>", "AND>"}), V({bend}));
    // The same without the outer AND.
    EXPECT_EQ(Matching({2, -4, 2, -4}, {"A-*", "<NOT", "A-TUBO", "NOT>"}), V({bend}));
    // XOR: inserts off layer PV, and what is on PV without being an insert.
    EXPECT_EQ(Matching({-4, 0, 8, -4}, {"<XOR", "INSERT", "PV", "XOR>"}), V({reach, tube, point}));
    // Nesting, operators written in lower case.
    EXPECT_EQ(Matching({-4, -4, 0, 8, -4, 0, -4}, {"<or", "<and", "INSERT", "PV", "and>", "POINT", "or>"}),
              V({pv, bend, point}));
}

TEST_F(FilterTest, MalformedFiltersFailWithClearMessages)
{
    auto code = [](const std::vector<int>& t, const std::vector<Variant>& d) {
        try {
            SelectionFilter f(t, d);
        } catch (const Error& e) {
            EXPECT_FALSE(e.Description().empty());
            return e.Code();
        }
        return 0u;
    };
    EXPECT_EQ(code({0, 2}, {"INSERT"}), ErrorCode::InvalidInput);                   // lengths differ
    EXPECT_EQ(code({-4, 2}, {"<OR", "A-*"}), ErrorCode::InvalidInput);              // never closed
    EXPECT_EQ(code({2, -4}, {"A-*", "OR>"}), ErrorCode::InvalidInput);              // never opened
    EXPECT_EQ(code({-4, 2, -4}, {"<OR", "A-*", "AND>"}), ErrorCode::InvalidInput);  // crossed brackets
    EXPECT_EQ(code({-4, 2, 2, -4}, {"<NOT", "A", "B", "NOT>"}), ErrorCode::InvalidInput);
    EXPECT_EQ(code({-4, 2, -4}, {"<XOR", "A", "XOR>"}), ErrorCode::InvalidInput);
    EXPECT_EQ(code({-4, -4}, {"<OR", "OR>"}), ErrorCode::InvalidInput);
    EXPECT_EQ(code({-4, 62, -4}, {"<OR", 1, "OR>"}), ErrorCode::InvalidInput);  // unsupported group
    EXPECT_EQ(code({-4}, {"<="}), ErrorCode::InvalidInput);                     // relational test
    EXPECT_EQ(code({8}, {Variant()}), ErrorCode::InvalidInput);                 // empty value
    EXPECT_EQ(code({8}, {Point3d(1, 2, 3)}), ErrorCode::InvalidInput);
    EXPECT_EQ(code({8, 0}, {"PV", "INSERT"}), 0u);
}

TEST_F(FilterTest, LayerAndBlockRenamesAreSeenByLaterFilters)
{
    EXPECT_EQ(Matching({2}, {"E-PV"}), V({pv}));
    doc.Blocks().Item("E-PV")->SetName("E-PV-OLD");
    EXPECT_EQ(Matching({2}, {"E-PV"}), V());
    EXPECT_EQ(Matching({2}, {"E-PV-*"}), V({pv}));
}

}  // namespace
