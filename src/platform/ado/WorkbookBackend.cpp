// A workbook seen as a database whose tables are its sheets ("Plan1$"): the
// first row names the fields (an empty header cell is named F and its column
// number, as the old spreadsheet driver did), every further row of the used
// range is a record, keyed by its row number. The records saved through a
// recordset are written into the file together when it closes; rows cannot
// be deleted.

#include "platform/ado/Backend.h"
#include "platform/ado/Error.h"
#include "platform/ado/Workbook.h"

namespace ado::detail {

namespace {

std::string SheetName(std::string source)
{
    while (!source.empty() && source.front() == ' ') source.erase(0, 1);
    while (!source.empty() && source.back() == ' ') source.pop_back();
    if (source.size() >= 2 &&
        ((source.front() == '[' && source.back() == ']') || (source.front() == '`' && source.back() == '`')))
        source = source.substr(1, source.size() - 2);
    if (!source.empty() && source.back() == '$') source.pop_back();
    return source;
}

class SheetSource : public Source {
public:
    SheetSource(std::shared_ptr<Workbook> book, Sheet& sheet) : book_(std::move(book)), sheet_(sheet) {}

    Rowset Fetch() override
    {
        return Reading("a planilha '" + sheet_.name + "' de '" + book_->Path() + "'", [&] { return Rows(); });
    }

    Rowset Rows()
    {
        Rowset rs;
        const int cols = sheet_.MaxCol(), rows = sheet_.MaxRow();
        for (int c = 1; c <= cols; ++c) {
            ColumnInfo col;
            const Value head = sheet_.Cell(1, c);
            col.name = head.IsNull() || head.ToText().empty() ? "F" + std::to_string(c) : head.ToText();
            col.baseName = col.name;
            col.acceptsAny = true;
            rs.columns.push_back(col);
        }
        for (int r = 2; r <= rows; ++r) {
            std::vector<Value> row;
            for (int c = 1; c <= cols; ++c) row.push_back(sheet_.Cell(r, c));
            rs.rows.push_back(std::move(row));
            rs.keys.push_back(r);
        }
        // Reported types: numbers when a column holds only numbers, text otherwise.
        for (size_t c = 0; c < rs.columns.size(); ++c) {
            bool numbers = false, other = false;
            for (const auto& row : rs.rows) {
                if (row[c].IsNumber())
                    numbers = true;
                else if (!row[c].IsNull())
                    other = true;
            }
            rs.columns[c].type = numbers && !other ? adDouble : adVarWChar;
        }
        columns_ = static_cast<int>(rs.columns.size());
        lastRow_ = rows;
        return rs;
    }

    void Update(long long key, const Changes& changes) override
    {
        book_->CheckWritable();
        for (const auto& [column, value] : changes) sheet_.SetCell(static_cast<int>(key), column + 1, value);
    }

    long long Insert(const Changes& values, std::vector<Value>& row) override
    {
        book_->CheckWritable();
        const int r = std::max(lastRow_, sheet_.MaxRow()) + 1;
        for (const auto& [column, value] : values) sheet_.SetCell(r, column + 1, value);
        sheet_.TouchRow(r, columns_);
        lastRow_ = r;
        row.clear();
        for (int c = 1; c <= columns_; ++c) row.push_back(sheet_.Cell(r, c));
        return r;
    }

    // The recordset is closing: what was written through it goes into the
    // file now, in one save (rewriting the whole package for every record
    // made a sheet of thousands of rows take minutes).
    void Finish() override { book_->Save(); }

    void Delete(long long) override
    {
        throw Error(adErrFeatureNotAvailable,
                    "Linhas da planilha '" + sheet_.name + "' de '" + book_->Path() + "' não podem ser excluídas.");
    }

private:
    std::shared_ptr<Workbook> book_;
    Sheet& sheet_;
    int columns_ = 0;
    int lastRow_ = 0;
};

class WorkbookBackend : public Backend {
public:
    explicit WorkbookBackend(std::shared_ptr<Workbook> book) : book_(std::move(book)) {}

    std::unique_ptr<Source> Open(const std::string& source, long) override
    {
        Sheet& sheet = Reading("a pasta de trabalho '" + book_->Path() + "'",
                               [&]() -> Sheet& { return book_->FindSheet(SheetName(source)); });
        return std::make_unique<SheetSource>(book_, sheet);
    }

    long long Execute(const std::string&) override
    {
        throw Error(adErrFeatureNotAvailable,
                    "A pasta de trabalho '" + book_->Path() + "' só é alterada através de um recordset.");
    }

    void Close() override {}

private:
    std::shared_ptr<Workbook> book_;
};

}  // namespace

std::shared_ptr<Backend> OpenWorkbookBackend(const std::string& path)
{
    return std::make_shared<WorkbookBackend>(
        Reading("a pasta de trabalho '" + path + "'", [&] { return Workbook::Open(path); }));
}

}  // namespace ado::detail
