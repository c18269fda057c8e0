#include "platform/ado/Connection.h"

#include "platform/ado/Backend.h"
#include "platform/ado/Error.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/JetText.h"

namespace ado {

namespace detail {

struct ConnectionState {
    std::string connectionString;
    CursorLocationEnum location = adUseServer;
    std::shared_ptr<Backend> backend;

    ~ConnectionState()
    {
        if (backend) {
            try {
                backend->Close();
            } catch (...) {
                // Nothing can be reported from here; Close reports the same failure.
            }
        }
    }
};

}  // namespace detail

std::string BuildConnectionString(std::initializer_list<std::pair<std::string_view, std::string_view>> keysAndValues)
{
    std::string out;
    for (const auto& [key, value] : keysAndValues) {
        out.append(key).append("=\"");
        for (const char c : value) {
            if (c == '"') out += '"';
            out += c;
        }
        out += "\";";
    }
    return out;
}

Connection::Connection() : s_(std::make_shared<detail::ConnectionState>()) {}

void Connection::Open(const std::string& connectionString, const std::string&, const std::string&, long)
{
    if (s_->backend) throw Error(adErrObjectOpen, "A conexão já está aberta.");
    if (!connectionString.empty()) s_->connectionString = connectionString;
    s_->backend = detail::OpenBackend(s_->connectionString);
}

void Connection::Close()
{
    if (!s_->backend) throw Error(adErrObjectClosed, "A operação não é permitida com a conexão fechada.");
    auto backend = std::move(s_->backend);
    backend->Close();
}

ObjectStateEnum Connection::State() const { return s_->backend ? adStateOpen : adStateClosed; }
std::string Connection::ConnectionString() const { return s_->connectionString; }

void Connection::SetConnectionString(const std::string& connectionString)
{
    if (s_->backend) throw Error(adErrObjectOpen, "A conexão já está aberta.");
    s_->connectionString = connectionString;
}

CursorLocationEnum Connection::CursorLocation() const { return s_->location; }
void Connection::SetCursorLocation(CursorLocationEnum location) { s_->location = location; }

std::shared_ptr<detail::Backend> Connection::ActiveBackend() const
{
    if (!s_->backend) throw Error(adErrInvalidConnection, "A conexão não está aberta.");
    return s_->backend;
}

Recordset Connection::Execute(const std::string& commandText, long long* recordsAffected, long options)
{
    auto backend = ActiveBackend();
    const auto toks = detail::Tokenize(commandText);
    const std::string first = toks.empty() ? std::string() : detail::AsciiUpper(toks[0].text);
    const bool select = options == adCmdTable || toks.size() == 1 ||
                        (!toks.empty() && toks[0].kind == detail::TokenKind::Word && first == "SELECT");
    Recordset rs;
    if (select) {
        rs.Open(commandText, *this, adOpenForwardOnly, adLockReadOnly, options);
        if (recordsAffected) *recordsAffected = -1;
        return rs;
    }
    const long long n = backend->Execute(commandText);
    if (recordsAffected) *recordsAffected = n;
    return rs;
}

}  // namespace ado
