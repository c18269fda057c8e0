#include "platform/ado/DataControl.h"

#include "platform/ado/Connection.h"

#include <cctype>

namespace ado {

namespace detail {

struct DataControlState {
    std::string connect, databaseName, recordSource;
    ado::Connection connection;
    ado::Recordset recordset;
};

}  // namespace detail

namespace {

// "Excel 8.0;" -> the connection string of that spreadsheet driver; "dBASE ..." a
// folder of dBase tables; empty, a database file.
std::string ConnectionStringFor(const std::string& connect, const std::string& database)
{
    std::string kind = connect.substr(0, connect.find(';'));
    std::string upper = kind;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.find("EXCEL") != std::string::npos)
        return BuildConnectionString(
            {{"Provider", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", database}, {"Extended Properties", kind}});
    if (upper.find("DBASE") != std::string::npos)
        return BuildConnectionString(
            {{"Provider", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", database}, {"Extended Properties", "dBase 5.0"}});
    return BuildConnectionString({{"Provider", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", database}});
}

}  // namespace

DataControl::DataControl() : s_(std::make_shared<detail::DataControlState>()) {}

std::string DataControl::Connect() const { return s_->connect; }
void DataControl::SetConnect(const std::string& connect) { s_->connect = connect; }
std::string DataControl::DatabaseName() const { return s_->databaseName; }
void DataControl::SetDatabaseName(const std::string& path) { s_->databaseName = path; }
std::string DataControl::RecordSource() const { return s_->recordSource; }
void DataControl::SetRecordSource(const std::string& source) { s_->recordSource = source; }
ado::Recordset DataControl::Recordset() const { return s_->recordset; }

void DataControl::Refresh()
{
    if (s_->recordset.State() == adStateOpen) s_->recordset.Close();
    if (s_->connection.State() == adStateOpen) s_->connection.Close();
    if (s_->databaseName.empty()) return;
    s_->connection.Open(ConnectionStringFor(s_->connect, s_->databaseName));
    s_->recordset.Open(s_->recordSource, s_->connection, adOpenKeyset, adLockOptimistic, adCmdTable);
}

}  // namespace ado
