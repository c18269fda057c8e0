// The sewer tables of the catalogue, read the way the sewer loader and its users read them.

#include "CatalogueFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

using namespace catalogue_test;

namespace {

std::string upper(std::string s)
{
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

void expectColumns(const Db& db, const std::string& table, const std::vector<std::string>& wanted)
{
    std::set<std::string> have;
    for (const auto& c : db.columns(table)) have.insert(upper(c));  // the programs name columns in any case
    EXPECT_FALSE(have.empty()) << "no table " << table;
    for (const auto& c : wanted) EXPECT_TRUE(have.count(upper(c))) << table << " lacks " << c;
}

struct PVType {
    std::string abrev, bloco, nominal;
    double alturaMax = 0;
    long diamSaida = 0, entradas = 0;
};

// The manhole types the panel loads: the rows with Inserir set, in DiamNominal order.
std::vector<PVType> loadedTypes()
{
    std::vector<PVType> out;
    for (const auto& r : catalogue().query(
             "SELECT Abrev, Bloco, DiamNominal, AlturaMax, DiamSaida, NumEntradas FROM E_PVBlocks WHERE Inserir = 1"))
        out.push_back({*r[0], *r[1], *r[2], *number(*r[3]) / 1000, *integer(*r[4]), *integer(*r[5])});
    std::stable_sort(out.begin(), out.end(), [](const PVType& a, const PVType& b) { return a.nominal < b.nominal; });
    return out;
}

// The import's choice of a manhole type: the lowest type before the last three
// that is deep and wide enough and has an inlet to spare, else the last type.
std::string choose(const std::vector<PVType>& types, long inlets, double depth, long outlet)
{
    std::string result = types.back().abrev;
    for (int i = static_cast<int>(types.size()) - 4; i >= 0; --i)
        if (depth <= types[i].alturaMax && outlet <= types[i].diamSaida && inlets < types[i].entradas)
            result = types[i].abrev;
    return result;
}

}  // namespace

TEST(SewerCatalogue, HasEveryTableAndColumnTheProgramReads)
{
    expectColumns(catalogue(), "E_PVBlocks",
                  {"Abrev", "Descricao", "Bloco", "DwgDiam", "Chamine", "AlturaMax", "DiamSaida", "NumEntradas",
                   "DiamNominal", "Inserir"});
    expectColumns(catalogue(), "E_Materiais", {"Material", "CodMaterial", "Abrev", "Diametro", "DegrauAte"});
    expectColumns(catalogue(), "E_CodDiam", {"Diametro", "Index"});
    expectColumns(catalogue(), "E_TRLayerColor", {"Diametro", "Cor"});
    expectColumns(catalogue(), "E_TRLayerParam", {"Descricao", "Etapa", "Sufixo", "LineType"});
    expectColumns(catalogue(), "E_Pavimentos", {"Nome"});
    expectColumns(catalogue(), "E_DXFs", {"Bloco", "S1", "S2", "S3", "S4"});
    // Booleans are 0/1 so that "[Inserir] = True" selects the offered types.
    for (const auto& v : catalogue().column("SELECT DISTINCT Inserir FROM E_PVBlocks"))
        EXPECT_TRUE(v == "0" || v == "1") << v;
    EXPECT_EQ(catalogue().declaredTypes("E_PVBlocks").at("DiamNominal"), "TEXT");
}

TEST(SewerCatalogue, ManholeTypesLetTheImportChooseTheSmallestThatFits)
{
    const auto types = loadedTypes();
    ASSERT_GE(types.size(), 5u) << "the choice skips the last three types";
    // The fallback is the only type whose insertion asks to check the manhole's size.
    EXPECT_EQ(types.back().bloco, "E-PV250");
    for (std::size_t i = 0; i + 1 < types.size(); ++i) EXPECT_NE(types[i].bloco, "E-PV250") << types[i].abrev;
    // The quantities know a manhole's type by its block alone: one block per
    // type, found by the manhole filters, the first type keeping the block of
    // earlier drawings.
    EXPECT_EQ(types.front().bloco, "E-PV");
    std::set<std::string> blocos;
    for (const auto& t : types) {
        EXPECT_EQ(t.bloco.rfind("E-PV", 0), 0u) << t.abrev;
        EXPECT_NE(t.bloco, "E-PVGEN") << t.abrev;
        EXPECT_TRUE(blocos.insert(t.bloco).second) << t.abrev << " shares " << t.bloco;
    }
    // Among the types the choice considers, each is at least as deep and as wide as the one before.
    for (std::size_t i = 1; i + 3 < types.size(); ++i) {
        EXPECT_GE(types[i].alturaMax, types[i - 1].alturaMax) << types[i].abrev;
        EXPECT_GE(types[i].diamSaida, types[i - 1].diamSaida) << types[i].abrev;
        EXPECT_GE(types[i].entradas, types[i - 1].entradas) << types[i].abrev;
    }
    EXPECT_EQ(choose(types, 1, 1.5, 200), types[0].abrev);
    EXPECT_EQ(choose(types, 1, 3.0, 300), types[1].abrev);
    EXPECT_EQ(choose(types, 3, 1.2, 150), types[0].abrev);
    EXPECT_NE(choose(types, 4, 1.2, 150), types[0].abrev);  // one inlet too many for the smallest
    EXPECT_EQ(choose(types, 1, 40.0, 200), types.back().abrev);
    EXPECT_EQ(choose(types, 1, 1.0, 3000), types.back().abrev);
    // Nominal diameters are numbers in text: the quantities read them as numbers.
    for (const auto& t : types) EXPECT_TRUE(number(t.nominal)) << t.abrev;
    // Chimney heights are below the greatest depth of their type.
    for (const auto& r : catalogue().query("SELECT Abrev, Chamine, AlturaMax FROM E_PVBlocks"))
        EXPECT_LT(*number(*r[1]), *number(*r[2])) << *r[0];
}

TEST(SewerCatalogue, MaterialsListTheirDiametersAndStepLimits)
{
    const auto codDiam = catalogue().column("SELECT Diametro FROM E_CodDiam ORDER BY \"Index\"");
    // The diameter order is the numeric order.
    for (std::size_t i = 1; i < codDiam.size(); ++i) EXPECT_LT(*number(codDiam[i - 1]), *number(codDiam[i]));

    std::map<std::string, std::set<std::string>> codes;
    for (const auto& r : catalogue().query("SELECT Material, CodMaterial, Diametro, DegrauAte FROM E_Materiais")) {
        codes[*r[0]].insert(*r[1]);
        // The code goes into a query as a whole number.
        EXPECT_TRUE(integer(*r[1])) << *r[0];
        // A diameter missing from E_CodDiam would vanish from the material's list.
        EXPECT_NE(std::find(codDiam.begin(), codDiam.end(), *r[2]), codDiam.end()) << *r[0] << " " << *r[2];
        // Step limits are whole millimetres, written as such in the material's step list.
        EXPECT_TRUE(integer(*r[3])) << *r[0] << " " << *r[2] << ": " << *r[3];
        EXPECT_GT(*number(*r[3]), 0);
    }
    ASSERT_GE(codes.size(), 4u);
    for (const auto& [material, c] : codes) EXPECT_EQ(c.size(), 1u) << material << " has several codes";

    // The loader's list of each material: its diameters in E_CodDiam order.
    for (const auto& [material, c] : codes) {
        std::string lista = "_";
        for (const auto& r : catalogue().query(
                 "SELECT E_Materiais.Diametro, E_Materiais.DegrauAte FROM E_Materiais INNER JOIN E_CodDiam ON "
                 "E_Materiais.Diametro = E_CodDiam.Diametro WHERE E_Materiais.CodMaterial = ?1 ORDER BY "
                 "E_CodDiam.\"Index\"",
                 {*c.begin()}))
            lista += *r[0] + "_|" + *r[1] + "|_";
        const auto rows = catalogue().column("SELECT Diametro FROM E_Materiais WHERE Material = ?1", {material});
        EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()).size(), rows.size()) << material;
        for (const auto& d : rows)
            EXPECT_NE(lista.find("_" + d + "_|"), std::string::npos) << material << " " << d << " in " << lista;
    }
}

TEST(SewerCatalogue, LayerColoursAndStagesNameEveryReachLayer)
{
    // Colours are chosen by the first row whose diameter is not smaller than the reach's.
    const auto colours = catalogue().query("SELECT Diametro, Cor FROM E_TRLayerColor ORDER BY Diametro");
    ASSERT_FALSE(colours.empty());
    for (const auto& r : colours) {
        const auto cor = integer(*r[1]);
        EXPECT_TRUE(cor && *cor >= 1 && *cor <= 255);
    }
    const auto largest = catalogue().column("SELECT max(CAST(Diametro AS INTEGER)) FROM E_CodDiam");
    EXPECT_GE(*integer(*colours.back()[0]), *integer(largest.at(0)));

    // The stage lists store the position of the chosen stage; the layers use Etapa.
    const auto stages =
        catalogue().query("SELECT Etapa, Descricao, Sufixo, LineType FROM E_TRLayerParam ORDER BY Etapa");
    ASSERT_GE(stages.size(), 2u);
    const auto linetypes = readLinetypes(binDir() / "acad.lin");
    std::set<std::string> suffixes;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        EXPECT_EQ(integer(*stages[i][0]), static_cast<long>(i));
        EXPECT_FALSE(stages[i][1]->empty());
        const std::string suffix = stages[i][2].value_or("");
        EXPECT_TRUE(suffixes.insert(suffix).second) << "two stages share the layer suffix '" << suffix << "'";
        EXPECT_EQ(suffix.find(' '), std::string::npos);
        // Stage linetypes are loaded from acad.lin; CONTINUOUS is built in.
        const std::string lt = *stages[i][3];
        EXPECT_TRUE(lt == "CONTINUOUS" || linetypes.count(lt)) << lt << " is in no linetype file";
    }

    const auto pavements = catalogue().column("SELECT Nome FROM E_Pavimentos");
    ASSERT_FALSE(pavements.empty());
    EXPECT_EQ(std::set<std::string>(pavements.begin(), pavements.end()).size(), pavements.size());
    for (const auto& p : pavements) EXPECT_EQ(trim(p), p);
}
