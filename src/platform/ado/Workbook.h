#pragma once
// An Office Open XML workbook (what our ".xls" files hold), read with libzip
// and pugixml, private to the ado layer. Only the cells that are written
// change: every other part of the file (styles, formulas, column widths,
// named ranges, other sheets) is carried over byte for byte.

#include "platform/ado/Value.h"

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ado::detail {

// "A" for 1, "T" for 20, "AA" for 27.
std::string ColumnLetters(int col);

class Sheet {
public:
    std::string name;
    std::string part;  // path inside the package, "xl/worksheets/sheet1.xml"

    // The used range: the declared dimension and every cell present.
    int MaxRow() const;
    int MaxCol() const;
    Value Cell(int row, int col) const;
    // Writes a value (text as an inline string); keeps or gives the cell a
    // style. Throws when the cell heads a shared or array formula.
    void SetCell(int row, int col, const Value& v);
    // Makes the row exist (with an empty first cell) so that it counts as used.
    void TouchRow(int row, int maxCol);

private:
    friend class Workbook;
    // False when the sheet holds more cells than any table this program reads.
    bool Index();
    pugi::xml_node RowNode(int row, bool create);
    pugi::xml_node CellNode(int row, int col, bool create);
    std::string StyleForNewCell(pugi::xml_node rowNode, int row, int col) const;

    pugi::xml_document doc_;
    pugi::xml_node sheetData_;
    std::string prefix_;  // namespace prefix of the sheet's elements, "" or "x:"
    std::map<int, pugi::xml_node> rows_;
    std::map<std::pair<int, int>, pugi::xml_node> cells_;
    const std::vector<std::string>* sharedStrings_ = nullptr;
    int declaredRows_ = 0, declaredCols_ = 0;
    bool dirty_ = false;
    bool formulaRemoved_ = false;
};

class Workbook {
public:
    // Throws ado::Error naming the file when it is missing or not a workbook we read.
    static std::shared_ptr<Workbook> Open(const std::string& path);

    const std::string& Path() const { return path_; }
    // By name without regard to case; throws naming the sheet when absent.
    Sheet& FindSheet(const std::string& name);
    // Writes the changed sheets back into the file, once for all the records
    // changed since the last save (a new file beside it, renamed over it: on
    // failure the file stays as it was and the changes stay pending).
    void Save();
    // Throws, naming the file, when it cannot be written (read-only): a record
    // is refused at once rather than when the writes are saved.
    void CheckWritable() const;

private:
    std::string path_;
    std::string workbookPart_;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    std::vector<std::string> sharedStrings_;
    std::map<std::string, std::string> sheetParts_;  // sheet name -> part
};

}  // namespace ado::detail
