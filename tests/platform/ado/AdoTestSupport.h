#pragma once
// Files for the data-access tests, made from scratch in a temporary folder:
// SQLite databases from SQL text, dBase tables byte by byte (so damaged ones
// too), and workbooks from their XML parts.

#include "platform/ado/Recordset.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace adotest {

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs `sql` (several statements) on a new SQLite file.
void MakeDatabase(const std::string& path, const std::string& sql);
// Runs one query on a SQLite file directly and returns its rows as texts ("" for Null).
std::vector<std::vector<std::string>> QueryDatabase(const std::string& path, const std::string& sql);

// A small catalogue with every table the catalogue queries read, written so
// that the orders are really tested: mixed case, accents, numbers stored as
// text, Nulls, rows inserted out of order, an index that a planner could walk.
std::string CatalogueSql();
// Empty tables of the hydraulic-model template and of the terrain storage.
std::string ExportTemplateSql();

// The connection string of the database at `path`, with the catalogue's password.
std::string JetConnection(const std::string& path);

struct DbfFieldSpec {
    std::string name;
    char type;
    int width;
    int decimals;
};
// Writes a dBase III table; each record is the stored text of each field
// (padded to the field's width here), or "*" + fields for a deleted record.
void WriteDbf(const std::string& path, const std::vector<DbfFieldSpec>& fields,
              const std::vector<std::vector<std::string>>& records, bool deletedFirst = false);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// The stored text of field `field` of record `record` (0-based), straight from the file.
std::string DbfRawField(const std::string& path, int record, const std::string& field);

// Writes a zip of the given parts.
void WriteZip(const std::string& path, const std::map<std::string, std::string>& parts);
std::string ReadZipPart(const std::string& path, const std::string& part);
// How a part is kept in the zip: "deflated", "stored", or "" when it is not there.
std::string ZipPartStorage(const std::string& path, const std::string& part);

// Field `name` of every record as text, Null as "<null>" (moves the recordset to its end).
std::vector<std::string> ColumnTexts(ado::Recordset& rs, const std::string& name);
inline constexpr auto Column = ColumnTexts;

// The description (number) of the ado::Error that `f` throws; "(no error)" (0) when none.
std::string ErrorOf(const std::function<void()>& f);
long ErrorNumberOf(const std::function<void()>& f);

// A workbook like the templates: sheet "Padrao" (header row of field names,
// the "inicia" marker in its fifth record, a formula, named ranges) and sheet
// "Plan1" (no header names, nine records of titles, two styled empty rows).
void WriteTemplateWorkbook(const std::string& path);

}  // namespace adotest
