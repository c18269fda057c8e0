// The database templates, the workbook templates and the linetype files.

#include "CatalogueFiles.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

using namespace catalogue_test;
namespace fs = std::filesystem;

namespace {

using Columns = std::map<std::string, std::string>;  // name -> declared type

void expectTable(const Db& db, const std::string& table, const Columns& wanted)
{
    const auto types = db.declaredTypes(table);
    ASSERT_FALSE(types.empty()) << "no table " << table;
    for (const auto& [name, type] : wanted) {
        ASSERT_TRUE(types.count(name)) << table << " lacks " << name;
        EXPECT_EQ(types.at(name), type) << table << "." << name;
    }
}

struct Range {
    std::string sheet;
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
};

int columnNumber(const std::string& letters)
{
    int n = 0;
    for (char ch : letters) n = n * 26 + (ch - 'A' + 1);
    return n;
}

std::string columnLetters(int n)
{
    std::string s;
    while (n) {
        const int r = (n - 1) % 26;
        s.insert(s.begin(), static_cast<char>('A' + r));
        n = (n - 1) / 26;
    }
    return s;
}

// "Sheet!$C$6:$I$77"
Range range(const std::string& ref)
{
    Range r;
    const auto bang = ref.find('!');
    r.sheet = ref.substr(0, bang);
    std::string rest = ref.substr(bang + 1);
    rest.erase(std::remove(rest.begin(), rest.end(), '$'), rest.end());
    const auto parts = split(rest, ':');
    auto cell = [](const std::string& c, int& col, int& row) {
        const auto digit = c.find_first_of("0123456789");
        col = columnNumber(c.substr(0, digit));
        row = std::stoi(c.substr(digit));
    };
    cell(parts.at(0), r.c1, r.r1);
    cell(parts.size() > 1 ? parts[1] : parts[0], r.c2, r.r2);
    return r;
}

std::vector<std::string> cellsOf(const Workbook& book, const Range& r, int column)
{
    std::vector<std::string> out;
    const auto& cells = book.cells.at(r.sheet);
    for (int row = r.r1; row <= r.r2; ++row) {
        const auto it = cells.find(columnLetters(column) + std::to_string(row));
        out.push_back(it == cells.end() ? "" : it->second);
    }
    return out;
}

// Rows that hold at least one cell, value or not.
std::set<int> usedRows(const Workbook& book, const std::string& sheet)
{
    std::set<int> rows;
    auto add = [&](const std::string& ref) { rows.insert(std::stoi(ref.substr(ref.find_first_of("0123456789")))); };
    for (const auto& [ref, v] : book.cells.at(sheet)) add(ref);
    if (book.emptyCells.count(sheet))
        for (const auto& ref : book.emptyCells.at(sheet)) add(ref);
    return rows;
}

}  // namespace

TEST(Templates, HydraulicModelTemplateHasTheEightEmptyTables)
{
    const Db db(binDir() / "Lumbra.mdb");
    const std::string T = "TEXT", D = "DOUBLE", I16 = "SMALLINT", I32 = "INTEGER";
    expectTable(db, "Pressure Junction",
                {{"Label", T}, {"X", D}, {"Y", D}, {"Elevation", D}, {"Demand", D}, {"Zone", T}, {"Numero", T}});
    expectTable(db, "Pressure Pipe",
                {{"Label", T},
                 {"StartNode", T},
                 {"StopNode", T},
                 {"Diameter", T},
                 {"Demand", D},
                 {"Comprimento", D},
                 {"Material", T},
                 {"Etapa", I16}});
    expectTable(db, "Zonas",
                {{"Nome", T},
                 {"Tipo", T},
                 {"TotalTubos", D},
                 {"TotalNodes", I32},
                 {"Contrib", D},
                 {"ContribM", D},
                 {"ContribT", D}});
    expectTable(db, "tmp_Nodes", {{"Label", T}, {"X", D}, {"Y", D}, {"r", D}, {"Elevation", D}, {"Zona", T}});
    expectTable(db, "tmp_PAVs", {{"Handle", T}, {"Diametro", T}, {"Pavimento", T}, {"Distancia", D}});
    expectTable(db, "tmp_Zonas",
                {{"Handle", T}, {"Diametro", T}, {"Zona", T}, {"IdZon", I16}, {"Distancia", D}, {"Inicial", D}});
    expectTable(db, "tmp_BENDs", {{"Handle", T}, {"Evento", T}, {"X", D}, {"Y", D}, {"d", D}});
    expectTable(db, "tmp_TUBOS",
                {{"Handle", T},
                 {"StartNode", T},
                 {"StopNode", T},
                 {"Comprimento", D},
                 {"CompNominal", T},
                 {"Codigo", T},
                 {"Material", T},
                 {"Diametro", T},
                 {"Etapa", I16},
                 {"nBolsasIni", I16},
                 {"nBolsasFim", I16},
                 {"PTIni", T},
                 {"PTFim", T},
                 {"LHandle", T},
                 {"AHandle", T},
                 {"DemIni", D},
                 {"DemFim", D}});
    EXPECT_EQ(db.tables().size(), 8u);
    for (const auto& t : db.tables()) EXPECT_EQ(db.column("SELECT count(*) FROM \"" + t + "\"").at(0), "0") << t;
}

TEST(Templates, TerrainTemplateKeepsRegionRowsInWritingOrder)
{
    const fs::path source = binDir() / "WATTemplate.mdb";
    {
        const Db db(source);
        const std::string I = "INTEGER", D = "DOUBLE";
        for (const char* t : {"TopVertex", "tmp_TRIxyz"})
            expectTable(db, t, {{"Index", I}, {"X", D}, {"Y", D}, {"Z", D}});
        for (const char* t : {"TopTriangulos", "tmp_Triangs"})
            expectTable(
                db, t,
                {{"Index", I}, {"vv0", I}, {"vv1", I}, {"vv2", I}, {"MaxX", D}, {"MinX", D}, {"MaxY", D}, {"MinY", D}});
        for (const char* t : {"Pavimentos", "WATZonas"})
            expectTable(db, t,
                        {{"Index", I},
                         {"Tipo", "TEXT"},
                         {"External", "BOOLEAN"},
                         {"ID", "SMALLINT"},
                         {"Loop", "SMALLINT"},
                         {"X", D},
                         {"Y", D}});
    }
    // Region rows are written without Index and read back ordered by it.
    const fs::path dir = fs::temp_directory_path() / ("quoril_catalogue_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path copy = dir / "regions.mdb";
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(copy.c_str(), &db), SQLITE_OK);
    for (const char* t : {"WATZonas", "Pavimentos"}) {
        const std::string table = t;
        ASSERT_EQ(sqlite3_exec(db,
                               ("INSERT INTO " + table +
                                " (Tipo, External, ID, Loop, X, Y) VALUES ('B', 1, 2, 0, 5, 6), "
                                "('A', 0, 1, 0, 1, 2), ('A', 0, 1, 1, 3, 4);")
                                   .c_str(),
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
    }
    sqlite3_close(db);
    {
        const Db check(copy);
        for (const char* t : {"WATZonas", "Pavimentos"})
            EXPECT_EQ(check.column(std::string("SELECT Tipo || ID || Loop FROM ") + t + " ORDER BY \"Index\""),
                      (std::vector<std::string>{"B20", "A10", "A11"}));
    }
    fs::remove_all(dir);
}

TEST(Templates, QuantitySpreadsheetMatchesTheFormulasWrittenIntoIt)
{
    const auto book = readWorkbook(binDir() / "DadosOrca.xls");
    ASSERT_NE(std::find(book.sheets.begin(), book.sheets.end(), "Padrao"), book.sheets.end());
    const auto& cells = book.cells.at("Padrao");

    // Row 1 names the fields; every data and formula field is there once.
    std::map<std::string, std::string> columnOf;
    for (const auto& [ref, value] : cells)
        if (ref.find_first_of("0123456789") == ref.size() - 1 && ref.back() == '1') {
            EXPECT_FALSE(columnOf.count(value)) << value << " named twice";
            columnOf[value] = ref.substr(0, ref.size() - 1);
        }
    const std::vector<std::string> fields = {
        "TRECHO", "PVM",     "PVJ",   "DN",   "EXT",  "PROFM", "PROFJ", "DEGRAU", "NPVM", "TPPV",
        "PRPVM",  "PAVMTO",  "MEDIA", "LARG", "VTUB", "VESC",  "REAT",  "ESCT",   "ESCD", "ESCA",
        "PPVM",   "PAVAREA", "CHAM",  "EXTV", "DEGV", "LARGV", "CCM",   "CTQ",    "CCU",  "CCB"};
    for (const auto& f : fields) EXPECT_TRUE(columnOf.count(f)) << f;
    // The formulas the quantities write refer to these columns by letter, e.g.
    // MEDIA "=(F_+G_)/2" averages the two depths and ESCA "=SE(M_=1;...)" tests the shoring type.
    const std::map<std::string, std::string> letters = {
        {"DN", "D"},   {"EXT", "E"},    {"PROFM", "F"}, {"PROFJ", "G"},  {"MEDIA", "H"},
        {"LARG", "I"}, {"VESC", "J"},   {"VTUB", "K"},  {"ESCD", "M"},   {"PAVMTO", "R"},
        {"DEGV", "T"}, {"DEGRAU", "U"}, {"ESCT", "Z"},  {"LARGV", "AC"}, {"PPVM", "AE"}};
    for (const auto& [field, letter] : letters) EXPECT_EQ(columnOf[field], letter) << field;

    // The reach rows begin right after the "inicia" record, and the formulas
    // number the first of them 11: the marker is record 9, in row 10.
    int marker = 0;
    for (int record = 1; record <= 21 && !marker; ++record) {
        const auto it = cells.find(columnOf["TRECHO"] + std::to_string(record + 1));
        if (it != cells.end() && it->second == "inicia") marker = record;
    }
    EXPECT_EQ(marker, 9);
    for (int row = 1; row <= 10; ++row)
        EXPECT_TRUE(usedRows(book, "Padrao").count(row)) << "row " << row << " is no record";

    // Named ranges of the formulas.
    for (const char* name : {"VALAS", "CONC", "DIAM", "VOLUMDIAM", "INDESCOR", "TPESCOR"})
        ASSERT_TRUE(book.names.count(name)) << name;
    const Range valas = range(book.names.at("VALAS")), conc = range(book.names.at("CONC"));
    const Range diam = range(book.names.at("DIAM")), volume = range(book.names.at("VOLUMDIAM"));
    const Range index = range(book.names.at("INDESCOR")), type = range(book.names.at("TPESCOR"));
    EXPECT_EQ(valas.c2 - valas.c1 + 1, 7) << "one width column per shoring index 1 to 7";
    EXPECT_EQ(valas.r1, conc.r1);
    EXPECT_EQ(valas.r2, conc.r2);
    EXPECT_EQ(diam.r2 - diam.r1, volume.r2 - volume.r1);
    for (int c = valas.c1; c <= valas.c2; ++c)
        for (const auto& w : cellsOf(book, valas, c)) EXPECT_GT(number(w).value_or(0), 0);
    EXPECT_EQ(cellsOf(book, index, index.c1), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(cellsOf(book, type, type.c1).front(), "1") << "index 1 means no shoring";

    // Every width key the LARGV formula can form for a catalogue diameter is there,
    // and every diameter has its pipe volume, in the text order LOOKUP needs
    // (the diameter is written as text).
    const Db catalogue(binDir() / "rereva2000r.mdb");
    const auto keys = cellsOf(book, conc, conc.c1);
    const auto dns = cellsOf(book, diam, diam.c1);
    EXPECT_TRUE(std::is_sorted(dns.begin(), dns.end()));
    for (const auto& d : catalogue.column("SELECT Diametro FROM E_CodDiam")) {
        for (int depthClass = 0; depthClass <= 3; ++depthClass) {
            const std::string key = std::to_string(depthClass * 10000 + std::stoi(d));
            EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << "width key " << key;
        }
        EXPECT_NE(std::find(dns.begin(), dns.end(), d), dns.end()) << "pipe volume of DN " << d;
    }
    for (const auto& v : cellsOf(book, volume, volume.c1)) EXPECT_GT(number(v).value_or(0), 0);
}

TEST(Templates, FinalDesignSpreadsheetLeavesItsColumnsUnnamedAndNineRecordsAbove)
{
    const auto book = readWorkbook(binDir() / "dadosfinais.xls");
    ASSERT_NE(std::find(book.sheets.begin(), book.sheets.end(), "Plan1"), book.sheets.end());
    const auto& cells = book.cells.at("Plan1");
    // Empty first-row cells make the driver name the columns F2 to F20.
    for (int c = 2; c <= 20; ++c)
        EXPECT_FALSE(cells.count(columnLetters(c) + "1")) << columnLetters(c) << "1 holds a value";
    // Rows 2 to 10 are the nine records passed over; the design rows start at row 11.
    const auto rows = usedRows(book, "Plan1");
    for (int row = 1; row <= 10; ++row) EXPECT_TRUE(rows.count(row)) << "row " << row << " is no record";
    EXPECT_EQ(*rows.rbegin(), 10);
}

TEST(Templates, LinetypeFilesDefineTheStandardNamesAndDesativar)
{
    const auto standard = readLinetypes(binDir() / "acad.lin");
    for (const std::string base : {"BORDER", "CENTER", "DASHDOT", "DASHED", "DIVIDE", "DOT", "HIDDEN", "PHANTOM"})
        for (const std::string variant : {"", "2", "X2"}) {
            const auto it = standard.find(base + variant);
            ASSERT_NE(it, standard.end()) << base + variant;
            ASSERT_FALSE(it->second.empty());
            // A pattern alternates dashes (0 for a dot) and gaps, and has a gap.
            EXPECT_TRUE(std::any_of(it->second.begin(), it->second.end(), [](double v) { return v < 0; }))
                << base + variant;
        }
    // The half and double variants scale their base pattern.
    const auto& dashed = standard.at("DASHED");
    for (std::size_t i = 0; i < dashed.size(); ++i) {
        EXPECT_DOUBLE_EQ(standard.at("DASHED2")[i] * 2, dashed[i]);
        EXPECT_DOUBLE_EQ(standard.at("DASHEDX2")[i], dashed[i] * 2);
    }
    const auto own = readLinetypes(binDir() / "r-quoril.lin");
    ASSERT_TRUE(own.count("DESATIVAR"));
}
