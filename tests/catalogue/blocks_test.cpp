// The block geometry rows of the three block tables: every block the program
// inserts by name is there, with its attributes in the order the program relies
// on, and every row parses in the format its builder reads.

#include "CatalogueFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

using namespace catalogue_test;

namespace {

bool has(const std::vector<std::string>& v, const std::string& s)
{
    return std::find(v.begin(), v.end(), s) != v.end();
}

using Tags = std::vector<std::string>;

// Checks one row in the format of its table. Arc rows differ: the water table
// holds the radius in S3 and the two angles in S4, the others all three in S3.
void checkRow(const std::string& table, const std::string& block, const GeometryRow& r)
{
    SCOPED_TRACE(table + " " + block + " " + r.s1 + " " + r.s2 + " | " + r.s3 + " | " + r.s4);
    const bool water = table == "A_DXFs";
    if (r.s1 == "Line") {
        EXPECT_TRUE(point(r.s2));
        EXPECT_TRUE(point(r.s3));
    } else if (r.s1 == "Circle") {
        EXPECT_TRUE(point(r.s2));
        const auto radius = number(r.s3);
        ASSERT_TRUE(radius);
        EXPECT_GT(*radius, 0);
    } else if (r.s1 == "Arc") {
        EXPECT_TRUE(point(r.s2));
        const auto radius = water ? std::vector<std::string>{r.s3} : split(r.s3, ',');
        const auto angles = water ? split(r.s4, ',') : std::vector<std::string>(radius.begin() + 1, radius.end());
        ASSERT_EQ(angles.size(), 2u);
        ASSERT_TRUE(number(radius[0]));
        EXPECT_GT(*number(radius[0]), 0);
        for (const auto& a : angles) {
            const auto v = number(a);
            ASSERT_TRUE(v);
            EXPECT_GE(*v, -2 * std::numbers::pi);  // radians, not degrees
            EXPECT_LE(*v, 2 * std::numbers::pi);
        }
    } else if (r.s1 == "Point") {
        EXPECT_TRUE(point(r.s2));
    } else if (r.s1 == "Attribute") {
        ASSERT_TRUE(number(r.s2));
        EXPECT_GT(*number(r.s2), 0);
        EXPECT_TRUE(point(r.s3));
        const auto items = split(r.s4, ',');
        ASSERT_EQ(items.size(), 7u);
        EXPECT_TRUE(integer(items[0])) << "item 0 orders the attributes";
        EXPECT_FALSE(items[1].empty());
        EXPECT_EQ(items[1].find(' '), std::string::npos);
        EXPECT_FALSE(items[2].empty());
        const auto mode = integer(items[3]), align = integer(items[4]), colour = integer(items[5]);
        ASSERT_TRUE(mode && align && colour);
        EXPECT_TRUE(*mode >= 0 && *mode <= 15);
        EXPECT_TRUE(*align >= 0 && *align <= 14);
        EXPECT_TRUE(*colour >= 1 && *colour <= 255);
        EXPECT_TRUE(items[6] == "ROMANS" || items[6] == "ARIAL");
    } else if (r.s1 == "Text") {
        ASSERT_TRUE(number(r.s2));
        EXPECT_TRUE(point(r.s3));
        const auto items = split(r.s4, ',');
        ASSERT_EQ(items.size(), 5u);
        EXPECT_FALSE(items[0].empty());
        EXPECT_TRUE(items[2] == "ROMANS" || items[2] == "ARIAL");
        EXPECT_TRUE(integer(items[3]) && integer(items[4]));
    } else {
        ADD_FAILURE() << "unknown row kind";
    }
}

// Vertical extent of a block's lines.
std::pair<double, double> lineExtentY(const std::vector<GeometryRow>& rows)
{
    double lo = 1e300, hi = -1e300;
    for (const auto& r : rows)
        if (r.s1 == "Line")
            for (const auto& s : {r.s2, r.s3}) {
                const auto p = point(s);
                lo = std::min(lo, p->y);
                hi = std::max(hi, p->y);
            }
    return {lo, hi};
}

}  // namespace

TEST(Blocks, EveryRowOfTheThreeTablesParsesInItsFormat)
{
    for (const std::string table : {"E_DXFs", "A_DXFs", "T_DXFs"}) {
        const auto blocks = catalogue().column("SELECT DISTINCT Bloco FROM " + table);
        EXPECT_FALSE(blocks.empty()) << table;
        for (const auto& block : blocks) {
            const auto rows = blockRows(catalogue(), table, block);
            std::set<std::string> order;
            for (const auto& r : rows) {
                checkRow(table, block, r);
                if (r.s1 == "Attribute") {
                    EXPECT_TRUE(order.insert(split(r.s4, ',')[0]).second)
                        << block << ": two attributes share their order number";
                }
            }
        }
    }
}

TEST(Blocks, SewerBlocksCarryTheirTagsInTheOrderTheProgramUses)
{
    // The text mover carries a width from CT to CS and CP and from DD to DEC and TRECHO.
    const std::map<std::string, Tags> expected = {
        {"E-PV", {"NUMERO", "CT", "CS", "CP", "ET"}},
        {"E-PV250", {"NUMERO", "CT", "CS", "CP", "ET"}},
        {"E-TRSAN", {"DD", "DEC", "MAT", "ET", "PV1", "PV2", "TRECHO", "PAVMTO", "TCP", "TCS", "TQ", "DG"}},
        {"E-PVGEN", {"NUMERO", "CT", "ET", "COLETOR"}},
        {"E-TRCGEN", {"TRECHO", "PV1", "PV2", "IPV1", "IPV2", "COMP", "ET", "PAVMTO", "CONTRIB", "MATERIAL"}},
        {"RQ-A", {}},
        {"RQ-E", {"ETA"}},
        {"RQ-I", {"N", "COD", "ESP", "UN", "QTT"}},
        {"RQ-T", {"TOTAL"}},
    };
    for (const auto& [block, tags] : expected) {
        const auto rows = blockRows(catalogue(), "E_DXFs", block);
        EXPECT_FALSE(rows.empty()) << block << " has no geometry";
        EXPECT_EQ(attributeTags(rows), tags) << block;
    }
    // Every manhole type the panel can insert has a block to insert.
    for (const auto& block : catalogue().column("SELECT DISTINCT Bloco FROM E_PVBlocks"))
        EXPECT_FALSE(blockRows(catalogue(), "E_DXFs", block).empty()) << block;
}

TEST(Blocks, ReachLabelTextsThatTheProgramPlacesByAlignmentPointAreNotLeftAligned)
{
    // A left-aligned text ignores its alignment point, so these would stay put.
    auto alignment = [](const std::string& table, const std::string& block, const std::string& tag) {
        for (const auto& r : blockRows(catalogue(), table, block)) {
            const auto items = split(r.s4, ',');
            if (r.s1 == "Attribute" && items[1] == tag) return *integer(items[4]);
        }
        return -1L;
    };
    for (const char* tag : {"TCP", "TCS", "TQ", "DG", "TRECHO", "DD", "DEC"})
        EXPECT_GT(alignment("E_DXFs", "E-TRSAN", tag), 0) << tag;
    for (const char* tag : {"H1", "H2"}) EXPECT_GT(alignment("A_DXFs", "A-TUBO", tag), 0) << tag;
}

TEST(Blocks, ManholeSymbolsEndWhereTheReachLinesStart)
{
    // A reach's flow line starts DwgDiam from the manhole's centre: on the symbol's rim.
    for (const auto& row : catalogue().query("SELECT DISTINCT Bloco, DwgDiam FROM E_PVBlocks")) {
        const std::string block = *row[0];
        double outer = 0;
        for (const auto& r : blockRows(catalogue(), "E_DXFs", block))
            if (r.s1 == "Circle") outer = std::max(outer, *number(r.s3));
        EXPECT_NEAR(outer, *number(*row[1]), 1e-9) << block;
    }
}

TEST(Blocks, QuantityTableRowsStackWithoutOverlap)
{
    // The table steps 5 down before a stage row and 3 before an item row, and puts
    // the total at the last item's point; each band lies above its base point
    // except the total's, which hangs below it.
    for (const std::string table : {"E_DXFs", "A_DXFs"}) {
        SCOPED_TRACE(table);
        const auto head = lineExtentY(blockRows(catalogue(), table, "RQ-A"));
        const auto stage = lineExtentY(blockRows(catalogue(), table, "RQ-E"));
        const auto item = lineExtentY(blockRows(catalogue(), table, "RQ-I"));
        const auto total = lineExtentY(blockRows(catalogue(), table, "RQ-T"));
        EXPECT_DOUBLE_EQ(head.first, 0);
        EXPECT_DOUBLE_EQ(stage.first, 0);
        EXPECT_DOUBLE_EQ(stage.second, 5);
        EXPECT_DOUBLE_EQ(item.first, 0);
        EXPECT_DOUBLE_EQ(item.second, 3);
        EXPECT_DOUBLE_EQ(total.first, -3);
        EXPECT_DOUBLE_EQ(total.second, 0);
        EXPECT_EQ(attributeTags(blockRows(catalogue(), table, "RQ-E")).front(), "ETA");
        EXPECT_EQ(attributeTags(blockRows(catalogue(), table, "RQ-T")).front(), "TOTAL");
        for (const char* tag : {"N", "COD", "ESP", "UN", "QTT"})
            EXPECT_TRUE(has(attributeTags(blockRows(catalogue(), table, "RQ-I")), tag)) << tag;
    }
}

TEST(Blocks, WaterBlocksLeaveTheStandardTagsToTheBuilder)
{
    // The builder adds CODIGO, MATERIAL and ETAPA to every "A-" block itself.
    for (const auto& block : catalogue().column("SELECT DISTINCT Bloco FROM A_DXFs WHERE Bloco LIKE 'A-%'")) {
        const auto tags = attributeTags(blockRows(catalogue(), "A_DXFs", block));
        for (const char* standard : {"CODIGO", "MATERIAL", "ETAPA"}) EXPECT_FALSE(has(tags, standard)) << block;
        if (block == "A-TUBO")
            EXPECT_EQ(tags, (Tags{"CONTRIB", "H1", "H2"}));
        else
            EXPECT_EQ(tags, (Tags{"CODIG1", "CODIG2", "CODIG3", "CODIG4"})) << block;
    }
    // Every block a fitting names has geometry.
    for (const auto& block : catalogue().column("SELECT DISTINCT bloco FROM A_Conexoes WHERE bloco IS NOT NULL"))
        EXPECT_FALSE(blockRows(catalogue(), "A_DXFs", block).empty()) << block;
}

TEST(Blocks, SocketPointsAgreeWithTheirPolarFormAndLieOnTheDrawing)
{
    for (const auto& block : catalogue().column("SELECT DISTINCT Bloco FROM A_DXFs WHERE S1 = 'Point'")) {
        SCOPED_TRACE(block);
        const auto rows = blockRows(catalogue(), "A_DXFs", block);
        long expected = 1;
        for (const auto& r : rows) {
            if (r.s1 != "Point") continue;
            const auto p = point(r.s2);
            const auto polar = split(r.s3, ',');
            ASSERT_TRUE(p);
            ASSERT_EQ(polar.size(), 2u);
            const double d = *number(polar[0]), a = *number(polar[1]);
            EXPECT_NEAR(d * std::cos(a), p->x, 1e-5);
            EXPECT_NEAR(d * std::sin(a), p->y, 1e-5);
            // Sockets are numbered 1, 2, ... in row order.
            EXPECT_EQ(integer(r.s4), expected++);
            // A pipe ends at the socket; the fitting is found there by its drawing.
            bool touched = false;
            for (const auto& g : rows)
                if (g.s1 == "Line")
                    for (const auto& end : {point(g.s2), point(g.s3)})
                        touched |= std::hypot(end->x - p->x, end->y - p->y) < 1e-6;
            EXPECT_TRUE(touched) << "socket " << r.s4 << " is not on the drawing";
        }
    }
}

TEST(Blocks, TopographyAndCadastreBlocksCarryTheirTags)
{
    const std::map<std::string, Tags> required = {
        {"CAD_RUF", {"NUMERO", "NOME", "APTOS", "COM", "UNIDADE", "S-Q-L", "ECONOMIAS"}},
        {"CAD_RMF", {"NUMERO", "NOME", "APTOS", "COM", "UNIDADE", "S-Q-L", "ECONOMIAS"}},
        {"CAD_MIX", {"NUMERO", "NOME", "APTOS", "COM", "UNIDADE", "S-Q-L", "ECONOMIAS"}},
        {"CAD_COM", {"NUMERO", "NOME", "APTOS", "COM", "UNIDADE", "S-Q-L", "ECONOMIAS"}},
        {"CAD_IND", {"NUMERO", "NOME", "APTOS", "COM", "UNIDADE", "S-Q-L", "ECONOMIAS"}},
        {"CAD_SVP", {"NUMERO", "NOME", "APTOS", "COM", "UNIDADE", "S-Q-L", "ECONOMIAS"}},
        {"CAD_SBX", {}},
        {"QUADRICULA2", {"NUMERO"}},
        {"TOP_UTM", {"UTM"}},
        {"COM_SETOR", {"SETOR"}},
        {"COM_QUADRA", {"QUADRA", "SETOR"}},
        {"COM_QUADRAD", {"QUADRA", "SETOR"}},
        {"COM_QUADRADD", {"QI", "QF", "SETOR"}},
        {"COM_LOTE", {"LOTE", "S-Q"}},
        {"COM_GRADE", {"LOTE"}},
        {"COM_SETA", {}},
        {"COM_HSIM", {"UNIDADE", "S-Q-L"}},
        {"COM_HNAO", {"UNIDADE", "S-Q-L"}},
        {"COM_HSIMC", {"UNIDADE", "S-Q-L"}},
        {"COM_HNAOC", {"UNIDADE", "S-Q-L"}},
    };
    for (const auto& [block, tags] : required) {
        const auto rows = blockRows(catalogue(), "T_DXFs", block);
        EXPECT_FALSE(rows.empty()) << block << " has no geometry";
        const auto actual = attributeTags(rows);
        for (const auto& tag : tags) EXPECT_TRUE(has(actual, tag)) << block << " lacks " << tag;
    }
    // The sheet number and the sector number are each block's first attribute.
    EXPECT_EQ(attributeTags(blockRows(catalogue(), "T_DXFs", "QUADRICULA2")).front(), "NUMERO");
    EXPECT_EQ(attributeTags(blockRows(catalogue(), "T_DXFs", "COM_SETOR")).front(), "SETOR");
    // The parcel grid writes the block number into every tick attribute but LOTE.
    EXPECT_GE(attributeTags(blockRows(catalogue(), "T_DXFs", "COM_GRADE")).size(), 2u);

    // The sheet block is a unit frame hanging from its insertion point.
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const auto& r : blockRows(catalogue(), "T_DXFs", "QUADRICULA2"))
        if (r.s1 == "Line")
            for (const auto& s : {r.s2, r.s3}) {
                const auto p = point(s);
                minX = std::min(minX, p->x), maxX = std::max(maxX, p->x);
                minY = std::min(minY, p->y), maxY = std::max(maxY, p->y);
            }
    EXPECT_DOUBLE_EQ(minX, 0);
    EXPECT_DOUBLE_EQ(maxX, 1);
    EXPECT_DOUBLE_EQ(minY, -1);
    EXPECT_DOUBLE_EQ(maxY, 0);
}
