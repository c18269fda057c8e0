#pragma once
// Read-only access to the data files the build puts into the program folder,
// and the parsers of the text formats they hold, for the catalogue tests.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace catalogue_test {

// The program folder of the build under test.
std::filesystem::path binDir();

using Cell = std::optional<std::string>;
using Rows = std::vector<std::vector<Cell>>;

// A SQLite database opened read-only; failures end the test with a message.
class Db {
public:
    explicit Db(const std::filesystem::path& path);
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    Rows query(const std::string& sql, const std::vector<std::string>& params = {}) const;
    // Single-column result as texts ("" for Null).
    std::vector<std::string> column(const std::string& sql, const std::vector<std::string>& params = {}) const;
    std::vector<std::string> tables() const;
    std::vector<std::string> columns(const std::string& table) const;
    // Declared type of each column, upper case.
    std::map<std::string, std::string> declaredTypes(const std::string& table) const;

private:
    sqlite3* db_ = nullptr;
};

// The catalogue of the program folder, opened once for the whole program.
const Db& catalogue();

// Numbers of the catalogue texts: "." as decimal separator, nothing else around them.
std::optional<double> number(const std::string& text);
std::optional<long> integer(const std::string& text);
std::vector<std::string> split(const std::string& text, char sep);
std::string trim(const std::string& text);

struct Point {
    double x = 0, y = 0;
};
std::optional<Point> point(const std::string& text);

// One geometry row of a block table.
struct GeometryRow {
    std::string s1, s2, s3, s4;
};
// Rows of a block in the loaders' order (S1, then S4).
std::vector<GeometryRow> blockRows(const Db& db, const std::string& table, const std::string& block);
// Attribute tags of a block, in the order the block lists them.
std::vector<std::string> attributeTags(const std::vector<GeometryRow>& rows);

// A linetype file: name -> pattern.
std::map<std::string, std::vector<double>> readLinetypes(const std::filesystem::path& path);

// A workbook: the sheet names in order, the defined names and each sheet's cells
// by reference ("A1" -> text; formulas as "=..." when the cell has no value).
struct Workbook {
    std::vector<std::string> sheets;
    std::map<std::string, std::string> names;
    std::map<std::string, std::map<std::string, std::string>> cells;
    std::map<std::string, std::vector<std::string>> emptyCells;  // cells present without a value
};
Workbook readWorkbook(const std::filesystem::path& path);

}  // namespace catalogue_test
