// The water tables of the catalogue and the material pictures, read the way the
// water loader, the panel, the pipe drawing and the quantities read them.

#include "CatalogueFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

using namespace catalogue_test;

namespace {

bool isPipeMaterial(const std::string& m) { return m.rfind("Tubulações", 0) == 0; }

struct TreeFitting {
    std::string codigo, conexao, bloco, tlhw;
};

// The material tree as the loader builds it: rows in the loader's order,
// consecutive rows of one material and one name make one fitting.
std::map<std::string, std::vector<TreeFitting>> materialTree()
{
    std::map<std::string, std::vector<TreeFitting>> tree;
    const auto rows = catalogue().query(
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_Conexoes.conexao, A_Conexoes.bloco, A_Conexoes.TLHW "
        "FROM (((A_Conexoes INNER JOIN A_Diams ON A_Conexoes.codigo = A_Diams.codigo) INNER JOIN A_CodDiam ON "
        "A_Diams.dp = A_CodDiam.sDiametro) LEFT JOIN A_CodDiam AS A_CodDiam_1 ON A_Diams.ds = "
        "A_CodDiam_1.sDiametro) INNER JOIN A_Materiais ON A_Conexoes.material = A_Materiais.Material ORDER BY "
        "A_Conexoes.material, A_Conexoes.TLHW, A_Conexoes.conexao, A_CodDiam.\"Index\", A_CodDiam_1.\"Index\"");
    for (const auto& r : rows) {
        auto& list = tree[*r[0]];
        if (list.empty() || list.back().conexao != *r[2])
            list.push_back({*r[1], *r[2], r[3].value_or(""), r[4].value_or("")});
    }
    return tree;
}

std::set<std::string> pipeTypeNames()
{
    const auto v = catalogue().column("SELECT conexao FROM A_Conexoes WHERE material LIKE 'Tubula%'");
    return {v.begin(), v.end()};
}

struct BmpInfo {
    bool ok = false;
    std::int32_t width = 0, height = 0;
    std::uint16_t bits = 0;
};

BmpInfo readBmpHeader(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    unsigned char h[54] = {};
    BmpInfo info;
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M') return info;
    auto le32 = [&](int o) {
        return static_cast<std::int32_t>(h[o] | h[o + 1] << 8 | h[o + 2] << 16 | h[o + 3] << 24);
    };
    info.ok = true;
    info.width = le32(18);
    info.height = le32(22);
    info.bits = static_cast<std::uint16_t>(h[28] | h[29] << 8);
    return info;
}

}  // namespace

TEST(WaterCatalogue, HasEveryTableAndColumnTheProgramReads)
{
    const std::map<std::string, std::vector<std::string>> wanted = {
        {"A_CodDiam", {"Index", "sDiametro", "Color"}},
        {"A_Conexoes", {"codigo", "conexao", "material", "bloco", "HasDS", "TLHW"}},
        {"A_Diams", {"codigo", "dp", "ds"}},
        {"A_Materiais", {"Material", "Tubulacao", "DimX", "DimY"}},
        {"A_Bolsas", {"Codigo", "Numero", "Principal", "Anel", "Tubulacao"}},
        {"A_DXFs", {"Bloco", "S1", "S2", "S3", "S4"}},
        {"A_ConExtra", {"Codigo", "Att", "Cod"}},
    };
    for (const auto& [table, columns] : wanted) {
        const auto have = catalogue().columns(table);
        EXPECT_FALSE(have.empty()) << "no table " << table;
        for (const auto& c : columns)
            EXPECT_NE(std::find(have.begin(), have.end(), c), have.end()) << table << " lacks " << c;
    }
    // The socket join compares the point rows' S4 with Numero: both texts.
    EXPECT_EQ(catalogue().declaredTypes("A_Bolsas").at("Numero"), "TEXT");
    for (const auto& v :
         catalogue().column("SELECT DISTINCT Principal FROM A_Bolsas UNION SELECT DISTINCT HasDS FROM A_Conexoes"))
        EXPECT_TRUE(v == "0" || v == "1") << v;
}

TEST(WaterCatalogue, EveryFittingOfTheTreeHasItsMenuButton)
{
    // A menu button selects the fitting at its own position in the material's
    // list, and only fittings with a block get a button: so every fitting needs one.
    const auto tree = materialTree();
    ASSERT_GE(tree.size(), 4u);
    for (const auto& [material, fittings] : tree) {
        SCOPED_TRACE(material);
        const auto dims = catalogue().query("SELECT DimX, DimY FROM A_Materiais WHERE Material = ?1", {material});
        ASSERT_EQ(dims.size(), 1u);
        const long dimX = *integer(*dims[0][0]), dimY = *integer(*dims[0][1]);
        std::set<std::string> names, cells;
        for (const auto& f : fittings) {
            EXPECT_FALSE(f.bloco.empty()) << f.conexao;
            EXPECT_TRUE(names.insert(f.conexao).second) << f.conexao << " listed twice";
            ASSERT_EQ(f.tlhw.size(), 4u) << f.conexao;
            ASSERT_TRUE(integer(f.tlhw)) << f.conexao;
            const int row = f.tlhw[0] - '0', col = f.tlhw[1] - '0', rows = f.tlhw[2] - '0', cols = f.tlhw[3] - '0';
            EXPECT_LT(col + cols, dimX) << f.conexao;
            EXPECT_LT(row + rows, dimY) << f.conexao;
            for (int i = 0; i <= rows; ++i)
                for (int j = 0; j <= cols; ++j)
                    EXPECT_TRUE(cells.insert(std::to_string(row + i) + "," + std::to_string(col + j)).second)
                        << f.conexao << " overlaps another button";
        }
        // Pipe materials hold pipe types, drawn with the pipe label block.
        for (const auto& f : fittings) EXPECT_EQ(f.bloco == "A-TUBO", isPipeMaterial(material)) << f.conexao;
    }
}

TEST(WaterCatalogue, EveryMaterialHasItsThreePictures)
{
    for (const auto& [material, fittings] : materialTree()) {
        for (const char* suffix : {"_Flat.bmp", "_Move.bmp", "_Click.bmp"}) {
            const auto info = readBmpHeader(binDir() / (material + suffix));
            ASSERT_TRUE(info.ok) << material << suffix;
            EXPECT_EQ(info.width, 135);
            EXPECT_EQ(std::abs(info.height), 107);
            EXPECT_EQ(info.bits, 24);
        }
    }
}

TEST(WaterCatalogue, CodesSplitCleanlyAtDN)
{
    // A fitting's CODIGO is its code, "DN" and its diameters, split at the first "DN".
    for (const auto& code : catalogue().column("SELECT codigo FROM A_Conexoes"))
        EXPECT_EQ(code.find("DN"), std::string::npos) << code;
    for (const auto& r : catalogue().query(
             "SELECT codigo, dp, ds FROM A_Diams WHERE dp NOT IN (SELECT sDiametro FROM A_CodDiam) OR (ds IS NOT NULL "
             "AND ds NOT IN (SELECT sDiametro FROM A_CodDiam))"))
        ADD_FAILURE() << *r[0] << " names a diameter missing from A_CodDiam";
    for (const auto& r :
         catalogue().query("SELECT codigo FROM A_Diams WHERE codigo NOT IN (SELECT codigo FROM A_Conexoes)"))
        ADD_FAILURE() << *r[0] << " has diameters but no fitting";
    // After the first row of a fitting and primary diameter, a missing secondary diameter is a load failure.
    for (const auto& r : catalogue().query(
             "SELECT codigo, dp FROM A_Diams GROUP BY codigo, dp HAVING count(*) > 1 AND count(ds) < count(*)"))
        ADD_FAILURE() << *r[0] << " DN" << *r[1] << " mixes rows with and without a secondary diameter";
    // Fittings with a branch offer secondary diameters; the others do not.
    for (
        const auto& r : catalogue().query(
            "SELECT c.codigo, c.HasDS, count(d.ds) FROM A_Conexoes c JOIN A_Diams d ON d.codigo = c.codigo GROUP BY c.codigo"))
        EXPECT_EQ(*r[1] == "1", *r[2] != "0") << *r[0];
    // Diameters in their order, each with a colour.
    const auto diams = catalogue().query("SELECT sDiametro, Color FROM A_CodDiam ORDER BY \"Index\"");
    for (std::size_t i = 0; i < diams.size(); ++i) {
        EXPECT_TRUE(integer(*diams[i][1]) && *integer(*diams[i][1]) >= 1 && *integer(*diams[i][1]) <= 255);
        if (i) {
            EXPECT_LT(*number(*diams[i - 1][0]), *number(*diams[i][0]));
        }
    }
}

TEST(WaterCatalogue, SocketsMatchTheirBlocksAndNameRealPipesAndRings)
{
    const auto pipes = pipeTypeNames();
    const auto rings = catalogue().column("SELECT codigo FROM A_Conexoes WHERE conexao LIKE 'Anel%'");
    ASSERT_FALSE(pipes.empty());
    ASSERT_FALSE(rings.empty());

    for (const auto& r : catalogue().query("SELECT Codigo, Numero, Anel, Tubulacao FROM A_Bolsas")) {
        EXPECT_TRUE(r[3] == "Indefinido" || pipes.count(*r[3])) << *r[0] << " socket " << *r[1] << ": " << *r[3];
        if (r[2]) {
            EXPECT_NE(std::find(rings.begin(), rings.end(), *r[2]), rings.end()) << *r[0] << ": ring " << *r[2];
        }
    }
    for (const auto& r : catalogue().query("SELECT Material, Tubulacao FROM A_Materiais"))
        EXPECT_TRUE(r[1] == "Indefinido" || pipes.count(*r[1])) << *r[0] << ": " << *r[1];

    // Each fitting has one socket row per socket point of its block, numbered alike,
    // and a branch fitting has a socket of the branch diameter.
    for (const auto& f : catalogue().query(
             "SELECT codigo, bloco, HasDS FROM A_Conexoes WHERE bloco IS NOT NULL AND bloco <> 'A-TUBO'")) {
        const auto points =
            catalogue().column("SELECT S4 FROM A_DXFs WHERE Bloco = ?1 AND S1 = 'Point' ORDER BY S4", {*f[1]});
        const auto sockets =
            catalogue().column("SELECT Numero FROM A_Bolsas WHERE Codigo = ?1 ORDER BY Numero", {*f[0]});
        EXPECT_FALSE(points.empty()) << *f[0];
        EXPECT_EQ(points, sockets) << *f[0];
        const auto branch =
            catalogue().column("SELECT count(*) FROM A_Bolsas WHERE Codigo = ?1 AND Principal = 0", {*f[0]});
        EXPECT_EQ(*f[2] == "1", branch.at(0) != "0") << *f[0];
    }
    // Pipe types count one ring per joint: those whose first socket has a ring.
    EXPECT_FALSE(
        catalogue()
            .column(
                "SELECT b.Codigo FROM A_Bolsas b JOIN A_Conexoes c ON c.codigo = b.Codigo WHERE c.material LIKE 'Tubula%' "
                "AND b.Anel IS NOT NULL")
            .empty());
}

TEST(WaterCatalogue, ExtraCodesNameTagsOfTheBlockAndItemsOfTheCatalogue)
{
    const auto extras = catalogue().query(
        "SELECT e.Codigo, e.Att, e.Cod, c.bloco FROM A_ConExtra e JOIN A_Conexoes c ON c.codigo = e.Codigo");
    EXPECT_EQ(extras.size(), catalogue().query("SELECT * FROM A_ConExtra").size()) << "an extra code of no fitting";
    for (const auto& r : extras) {
        const std::string att = *r[1], cod = *r[2];
        EXPECT_TRUE(att == "CODIGO" || att == "CODIG1" || att == "CODIG2" || att == "CODIG3" || att == "CODIG4") << att;
        if (att != "CODIGO") {
            const auto tags = attributeTags(blockRows(catalogue(), "A_DXFs", *r[3]));
            EXPECT_NE(std::find(tags.begin(), tags.end(), att), tags.end()) << *r[3] << " lacks " << att;
        }
        // RCFC takes the pressure class of the diameter; the quantities describe the item by its code.
        const std::vector<std::string> items =
            cod == "RCFC" ? std::vector<std::string>{"RCFC10", "RCFC16"} : std::vector<std::string>{cod};
        for (const auto& item : items)
            EXPECT_EQ(catalogue().column("SELECT conexao FROM A_Conexoes WHERE codigo = ?1", {item}).size(), 1u)
                << item;
    }
    // The pipe drawing takes the other end's diameter at an interconnection point.
    EXPECT_EQ(catalogue().column("SELECT codigo FROM A_Conexoes WHERE codigo = 'PDR'").size(), 1u);
}

TEST(WaterCatalogue, StageLinetypesAreShipped)
{
    // The water stages draw pipes with DASHDOT, CONTINUOUS, DASHED and DESATIVAR;
    // DESATIVAR comes from the program's own file, the others from acad.lin.
    const auto standard = readLinetypes(binDir() / "acad.lin");
    const auto own = readLinetypes(binDir() / "r-quoril.lin");
    EXPECT_TRUE(standard.count("DASHDOT"));
    EXPECT_TRUE(standard.count("DASHED"));
    EXPECT_TRUE(own.count("DESATIVAR"));
}
