#pragma once
// The data control of the old forms, bound to a workbook sheet: Connect
// "Excel 8.0;", DatabaseName the workbook's path, RecordSource "Plan1$"; Refresh
// (re)opens Recordset(), an empty DatabaseName and Refresh unbind it.
//
// The sheet as a table: the first row names the fields (an empty header cell
// is named "F" and its column number: "F2" for column B), every further row of
// the sheet's used range is a record, in sheet order. Edit past the last
// record fails with adErrNoCurrentRecord (3021) and AddNew appends a row below
// the used range. The records updated are written into the file together
// when the recordset closes or the control unbinds (Refresh, an empty
// DatabaseName): a failure to write is thrown there, naming the file, and
// leaves the file as it was. The values are stored as given (text as inline strings), in cells that keep
// their style (a new cell takes its row's or column's style, or that of the
// cell above it); styles, formulas elsewhere, column widths and named ranges
// are kept. Cells are read as text, numbers (reals), Booleans or Null.
// Records cannot be deleted. A copy of a DataControl shares the control.

#include "platform/ado/Recordset.h"

#include <memory>
#include <string>

namespace ado {

namespace detail {
struct DataControlState;
}

class DataControl {
public:
    DataControl();

    std::string Connect() const;
    void SetConnect(const std::string& connect);
    std::string DatabaseName() const;
    void SetDatabaseName(const std::string& path);
    std::string RecordSource() const;
    void SetRecordSource(const std::string& source);

    // Closes the current recordset and, unless DatabaseName is empty, opens
    // RecordSource again; errors (missing file or sheet) name what is missing.
    void Refresh();
    ado::Recordset Recordset() const;

private:
    std::shared_ptr<detail::DataControlState> s_;
};

}  // namespace ado
