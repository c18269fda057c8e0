#pragma once
// What a connection stands on, private to the ado layer: a database, a folder
// of dBase files or a workbook. A recordset reads its rows from a Source once
// (and again on Requery) and writes single rows back through it.

#include "platform/ado/Constants.h"
#include "platform/ado/Error.h"
#include "platform/ado/Value.h"

#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ado::detail {

struct ColumnInfo {
    std::string name;           // as the recordset shows it
    std::string qualifiedName;  // "table.column" as the query wrote it, when known
    DataTypeEnum type = adVarWChar;
    long long definedSize = 255;
    std::string baseName;     // the stored column it comes from; empty when it cannot be written
    bool acceptsAny = false;  // takes any value as it is (a sheet's cells)
};

struct Rowset {
    std::vector<ColumnInfo> columns;
    std::vector<std::vector<Value>> rows;
    std::vector<long long> keys;  // one per row: how the source finds the stored row again
    std::string readOnlyReason;   // empty when rows can be written back
};

using Changes = std::vector<std::pair<int, Value>>;  // column index, value

class Source {
public:
    virtual ~Source() = default;
    virtual Rowset Fetch() = 0;
    // Values are already converted to their columns' types. Each call leaves
    // the change in the stored file, in the connection's open transaction or
    // (a workbook) pending until Finish.
    virtual void Update(long long key, const Changes& changes) = 0;
    // Returns the new row's key and fills `row` with the stored row.
    virtual long long Insert(const Changes& values, std::vector<Value>& row) = 0;
    virtual void Delete(long long key) = 0;
    // The recordset is closing: make its writes durable.
    virtual void Finish() {}
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::unique_ptr<Source> Open(const std::string& source, long options) = 0;
    // A statement that returns no rows; the number of rows it changed.
    virtual long long Execute(const std::string& statement) = 0;
    virtual void Close() = 0;
};

// Runs `read`. Running out of memory on the way is the file's refusal, in
// this layer's words, never the library's; `what` names the file ("a tabela
// dBase 'x'").
template <class Read>
auto Reading(const std::string& what, Read&& read) -> decltype(read())
{
    try {
        return read();
    } catch (const std::bad_alloc&) {
        throw Error(adErrProvider, "Memória insuficiente para ler " + what + ".");
    }
}

// Chosen by the connection string.
std::shared_ptr<Backend> OpenBackend(const std::string& connectionString);
std::shared_ptr<Backend> OpenSqliteBackend(const std::string& path);    // ".mdb": a SQLite file
std::shared_ptr<Backend> OpenDbfBackend(const std::string& folder);     // a folder of ".dbf" files
std::shared_ptr<Backend> OpenWorkbookBackend(const std::string& path);  // an ".xls" (OOXML) workbook

// Converts a value for a column of the given type (the old engine's rules);
// throws ado::Error naming the field when it cannot.
Value ConvertForColumn(const ColumnInfo& column, const Value& v);

// The column a name designates: its shown name, else "table.column", without
// regard to case; -1 when none.
int FindColumn(const std::vector<ColumnInfo>& columns, std::string_view name);

// Decides a column's type and size from a declared SQL type ("VARCHAR(20)",
// "BOOLEAN", "DOUBLE", ...); false when the declaration says nothing.
bool TypeFromDeclaration(const std::string& declared, DataTypeEnum& type, long long& size);

}  // namespace ado::detail
