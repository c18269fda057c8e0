#pragma once
// A connection to a data file, chosen by its connection string:
// - "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=<file>.mdb;..." (also behind
//   "PROVIDER=MSDataShape;Data PROVIDER=Microsoft.Jet.OLEDB.4.0;..."): the
//   file is a SQLite database and the old engine's SQL is translated for it;
//   the database password in the string is accepted and not used; a missing
//   file is an error naming it (an empty database is never created);
// - "...;Data Source=<folder>;Extended Properties=dBase 5.0;": the folder is
//   the database and each "<name>.dbf" file in it a table;
// - "...;Data Source=<file>.xls;Extended Properties=Excel 8.0;": an Office
//   Open XML workbook whose sheets ("Plan1$") are tables (see DataControl).
// A Connection is a handle: copies share one connection.

#include "platform/ado/Constants.h"
#include "platform/ado/Recordset.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace ado {

// The one way a connection string is built: "KEY=value;" for each pair, in
// order, every value quoted ("..." with a '"' written twice), so that a path
// holding ";", "=", quotes or a line end stays the one file the user chose.
std::string BuildConnectionString(std::initializer_list<std::pair<std::string_view, std::string_view>> keysAndValues);

namespace detail {
class Backend;
struct ConnectionState;
}  // namespace detail

class Connection {
public:
    Connection();

    void Open(const std::string& connectionString = "", const std::string& userId = "",
              const std::string& password = "", long options = adConnectUnspecified);
    // Commits what recordsets wrote and lets the file go (recordsets still
    // open keep their own hold on it).
    void Close();
    ObjectStateEnum State() const;

    std::string ConnectionString() const;
    void SetConnectionString(const std::string& connectionString);
    CursorLocationEnum CursorLocation() const;
    void SetCursorLocation(CursorLocationEnum location);

    // A SELECT (or a table name) gives an open, read-only recordset; any other
    // statement gives a closed one and the count of rows it changed.
    Recordset Execute(const std::string& commandText, long long* recordsAffected = nullptr,
                      long options = adCmdUnspecified);

private:
    friend class Recordset;
    std::shared_ptr<detail::Backend> ActiveBackend() const;
    std::shared_ptr<detail::ConnectionState> s_;
};

}  // namespace ado
