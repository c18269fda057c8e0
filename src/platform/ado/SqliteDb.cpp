#include "platform/ado/SqliteDb.h"

#include "platform/ado/Error.h"
#include "platform/ado/JetText.h"
#include "platform/FileReplacement.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ado::detail {

namespace {

// SQLite's reason for a failure that concerns the file rather than the
// statement, in Portuguese; empty for the others.
std::string FileReason(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_NOTADB: return "o arquivo não é um banco de dados";
    case SQLITE_CORRUPT: return "o banco de dados está danificado";
    case SQLITE_FULL: return "Espaço insuficiente no disco";
    case SQLITE_IOERR:
        return rc == SQLITE_IOERR_NOMEM ? "Memória insuficiente" : "Erro de leitura ou gravação no disco";
    case SQLITE_CANTOPEN: return "o arquivo não pôde ser aberto";
    case SQLITE_PERM:
    case SQLITE_AUTH: return "Permissão negada";
    case SQLITE_READONLY: return "o banco de dados é somente leitura";
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "o banco de dados está em uso por outro programa";
    case SQLITE_NOMEM: return "Memória insuficiente";
    case SQLITE_TOOBIG: return "dado grande demais";
    case SQLITE_NOLFS: return "Arquivo grande demais";
    case SQLITE_PROTOCOL: return "o bloqueio do banco de dados falhou";
    default: return {};
    }
}

int JetCollation(void*, int la, const void* a, int lb, const void* b)
{
    return JetCompare(std::string_view(static_cast<const char*>(a), static_cast<size_t>(la)),
                      std::string_view(static_cast<const char*>(b), static_cast<size_t>(lb)));
}

std::string TextForLike(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return std::to_string(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return FormatNumber(sqlite3_value_double(v));
    default: {
        const unsigned char* t = sqlite3_value_text(v);
        return t ? std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_value_bytes(v)))
                 : std::string();
    }
    }
}

// SQLite evaluates "x LIKE p" as like(p, x).
void JetLikeFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, JetLike(TextForLike(argv[1]), TextForLike(argv[0])) ? 1 : 0);
}

bool Contains(const std::string& text, const char* what) { return text.find(what) != std::string::npos; }

std::string After(const std::string& text, const char* prefix)
{
    const size_t p = text.find(prefix);
    return p == std::string::npos ? std::string() : text.substr(p + std::char_traits<char>::length(prefix));
}

bool IsBareName(const std::vector<Token>& toks)
{
    if (toks.empty() || toks.size() % 2 == 0) return false;
    for (size_t i = 0; i < toks.size(); ++i) {
        const bool name = toks[i].kind == TokenKind::Name || toks[i].kind == TokenKind::Word;
        if (i % 2 == 0 ? !name : !(toks[i].kind == TokenKind::Symbol && toks[i].text == ".")) return false;
    }
    if (toks[0].kind == TokenKind::Word) {
        const std::string u = AsciiUpper(toks[0].text);
        if (u == "SELECT" || u == "INSERT" || u == "UPDATE" || u == "DELETE") return false;
    }
    return true;
}

DataTypeEnum InferType(const std::vector<std::vector<Value>>& rows, size_t c)
{
    for (const auto& r : rows) {
        switch (r[c].Kind()) {
        case ValueKind::Integer: return adInteger;
        case ValueKind::Real: return adDouble;
        case ValueKind::Boolean: return adBoolean;
        case ValueKind::Date: return adDate;
        case ValueKind::Text: return adVarWChar;
        case ValueKind::Null: break;
        }
    }
    return adVarWChar;
}

Value ColumnValue(sqlite3_stmt* st, int c, DataTypeEnum type)
{
    switch (sqlite3_column_type(st, c)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: {
        const long long n = sqlite3_column_int64(st, c);
        if (type == adBoolean) return Value(n != 0);
        return Value(n);
    }
    case SQLITE_FLOAT: {
        const double x = sqlite3_column_double(st, c);
        if (type == adBoolean) return Value(x != 0);
        return Value(x);
    }
    default: {
        const unsigned char* t = sqlite3_column_text(st, c);
        std::string text(t ? reinterpret_cast<const char*>(t) : "", static_cast<size_t>(sqlite3_column_bytes(st, c)));
        if (type == adDate) {
            if (auto d = Date::FromIso(text)) return Value(*d);
        } else if (type == adBoolean) {
            try {
                return Value(Value(text).ToBool());
            } catch (const Error&) {
            }
        }
        return Value(std::move(text));
    }
    }
}

}  // namespace

Statement::~Statement()
{
    if (s_) sqlite3_finalize(s_);
}

void Statement::Reset()
{
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
}

void Statement::Bind(int index, const Value& v)
{
    switch (v.Kind()) {
    case ValueKind::Null: sqlite3_bind_null(s_, index); break;
    case ValueKind::Integer: sqlite3_bind_int64(s_, index, v.ToLong()); break;
    case ValueKind::Real: sqlite3_bind_double(s_, index, v.ToDouble()); break;
    case ValueKind::Boolean: sqlite3_bind_int(s_, index, v.ToBool() ? 1 : 0); break;
    case ValueKind::Text:
    case ValueKind::Date: {
        const std::string t = v.ToText();
        sqlite3_bind_text(s_, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

namespace {
// Every open database file of the program (one thread: no lock needed).
std::vector<SqliteDb*>& OpenFiles()
{
    static std::vector<SqliteDb*> files;
    return files;
}
}  // namespace

std::shared_ptr<SqliteDb> SqliteDb::OpenFile(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        throw Error(adErrProvider, "Arquivo de banco de dados não encontrado: '" + path + "'.");
    if (std::filesystem::is_directory(status))
        throw Error(adErrProvider, "'" + path + "' é uma pasta, não um arquivo de banco de dados.");
    sqlite3* db = nullptr;
    // A file nobody may write is opened for reading only, for root as well.
    int rc = platform::FileReplacement::IsReadOnly(path)
                 ? SQLITE_READONLY
                 : sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
        rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    }
    if (rc != SQLITE_OK) {
        std::string msg = db ? FileReason(sqlite3_extended_errcode(db)) : "Memória insuficiente";
        if (msg.empty()) msg = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw Error(adErrProvider, "Não foi possível abrir o banco de dados '" + path + "': " + msg + ".");
    }
    std::shared_ptr<SqliteDb> self(new SqliteDb(db, path));
    self->Install();
    std::error_code canonicalError;
    self->file_ = std::filesystem::weakly_canonical(path, canonicalError).string();
    if (canonicalError) self->file_ = path;
    OpenFiles().push_back(self.get());
    sqlite3_stmt* st = nullptr;
    rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW) {
        // Only what the file holds makes it unreadable; a lock or the disk is said as such.
        const int base = rc & 0xFF;
        const std::string why = FileReason(rc);
        if (base == SQLITE_BUSY || base == SQLITE_LOCKED)
            throw Error(adErrProvider, "O banco de dados '" + path + "' está em uso por outro programa.");
        if (base != SQLITE_NOTADB && base != SQLITE_CORRUPT && !why.empty())
            throw Error(adErrProvider, "Não foi possível abrir o banco de dados '" + path + "': " + why + ".");
        throw Error(adErrProvider, "O arquivo '" + path + "' não é um banco de dados que este programa leia (" +
                                       (why.empty() ? std::string(sqlite3_errstr(rc)) : why) + ").");
    }
    return self;
}

std::shared_ptr<SqliteDb> SqliteDb::OpenMemory(const std::string& description)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw Error(adErrProvider, "Sem memória para abrir '" + description + "'.");
    }
    std::shared_ptr<SqliteDb> self(new SqliteDb(db, description));
    self->Install();
    return self;
}

void SqliteDb::Install()
{
    sqlite3_busy_timeout(db_, 5000);
    // Every name we pass is double-quoted: one that matches no column must be
    // an error, not silently the text of its name.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_create_collation(db_, "JET", SQLITE_UTF8, nullptr, JetCollation);
    sqlite3_create_function(db_, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, JetLikeFunction, nullptr,
                            nullptr);
}

SqliteDb::~SqliteDb()
{
    auto& open = OpenFiles();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
}

void SqliteDb::Fail(int rc, const std::string& original) const
{
    const std::string msg = sqlite3_errmsg(db_);
    if (Contains(msg, "no such table: "))
        throw Error(adErrNoSuchTable, "Tabela ou consulta '" + After(msg, "no such table: ") + "' não encontrada em '" +
                                          description_ + "'.");
    if (Contains(msg, "no such column: "))
        throw Error(adErrNoSuchColumn, "Campo '" + After(msg, "no such column: ") + "' não encontrado em '" +
                                           description_ + "' (instrução: " + original + ").");
    if (Contains(msg, "ambiguous column name: "))
        throw Error(adErrSyntax, "Campo '" + After(msg, "ambiguous column name: ") +
                                     "' ambíguo: diga de que tabela (instrução: " + original + ").");
    const int base = rc & 0xFF;
    if (base == SQLITE_READONLY)
        throw Error(adErrProvider, "O banco de dados '" + description_ + "' não pode ser alterado (somente leitura).");
    if (base == SQLITE_BUSY || base == SQLITE_LOCKED)
        throw Error(adErrProvider, "O banco de dados '" + description_ + "' está em uso por outro programa.");
    if (base == SQLITE_CONSTRAINT)
        throw Error(adErrConversion, "A tabela não aceita o registro (" + msg + ") em '" + description_ + "'.");
    if (base == SQLITE_ERROR) throw Error(adErrSyntax, "Erro na instrução SQL '" + original + "': " + msg + ".");
    const std::string why = FileReason(rc);
    throw Error(adErrProvider, "Erro no banco de dados '" + description_ + "': " + (why.empty() ? msg : why) + ".");
}

void SqliteDb::Exec(const std::string& sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) Fail(rc, sql);
}

Statement SqliteDb::Prepare(const std::string& sql, const std::string& original)
{
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
        Fail(rc, original);
    }
    return Statement(st);
}

bool SqliteDb::StepDone(Statement& st, const std::string& original)
{
    const int rc = sqlite3_step(st.get());
    if (rc == SQLITE_DONE) return true;
    if (rc == SQLITE_ROW) return false;
    Fail(rc, original);
}

TableInfo SqliteDb::FindTable(const std::string& written) const
{
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(db_, "SELECT name, type, coalesce(sql, '') FROM sqlite_master WHERE type IN ('table', 'view')",
                       -1, &raw, nullptr);
    Statement st(raw);
    while (raw && sqlite3_step(raw) == SQLITE_ROW) {
        const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
        if (!SameName(name, written)) continue;
        const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(raw, 1));
        const std::string sql = AsciiUpper(reinterpret_cast<const char*>(sqlite3_column_text(raw, 2)));
        return TableInfo{name, type == "table" && !Contains(sql, "WITHOUT ROWID")};
    }
    throw Error(adErrNoSuchTable, "Tabela ou consulta '" + written + "' não encontrada em '" + description_ + "'.");
}

Translation SqliteDb::Translate(const std::string& source, long options, bool withRowid,
                                const TableResolver* resolve) const
{
    std::string sql = source;
    if (options == adCmdTable) {
        sql = "SELECT * FROM " + ((!source.empty() && source[0] == '[') ? source : "[" + source + "]");
    } else if (IsBareName(Tokenize(source))) {
        sql = "SELECT * FROM " + source;
    }
    if (resolve) return TranslateJetSql(sql, *resolve, withRowid);
    return TranslateJetSql(
        sql, [this](const std::string& w) { return FindTable(w); }, withRowid);
}

Rowset SqliteDb::Query(const Translation& tr, const std::string& original)
{
    CommitOthers();
    Statement st = Prepare(tr.sql, original);
    sqlite3_stmt* s = st.get();
    const int total = sqlite3_column_count(s);
    const int visible = tr.rowidColumn ? total - 1 : total;
    Rowset rs;
    std::vector<bool> declared(static_cast<size_t>(visible), false);
    for (int c = 0; c < visible; ++c) {
        ColumnInfo col;
        col.name = sqlite3_column_name(s, c);
        const char* decl = sqlite3_column_decltype(s, c);
        declared[static_cast<size_t>(c)] = decl && TypeFromDeclaration(decl, col.type, col.definedSize);
        const char* table = sqlite3_column_table_name(s, c);
        const char* origin = sqlite3_column_origin_name(s, c);
        const bool sameCount = tr.items.size() == static_cast<size_t>(visible);
        if (sameCount && !tr.items[static_cast<size_t>(c)].qualifier.empty())
            col.qualifiedName =
                tr.items[static_cast<size_t>(c)].qualifier + "." + tr.items[static_cast<size_t>(c)].column;
        else if (table && origin)
            col.qualifiedName = std::string(table) + "." + origin;
        if (!tr.baseTable.empty() && table && origin && SameName(table, tr.baseTable)) col.baseName = origin;
        rs.columns.push_back(col);
    }
    // Two result columns of one name are told apart by their tables, as the old engine did.
    std::vector<bool> dup(rs.columns.size(), false);
    for (size_t a = 0; a < rs.columns.size(); ++a)
        for (size_t b = 0; b < rs.columns.size(); ++b)
            if (a != b && SameName(rs.columns[a].name, rs.columns[b].name)) dup[a] = true;
    for (size_t a = 0; a < rs.columns.size(); ++a)
        if (dup[a] && !rs.columns[a].qualifiedName.empty()) rs.columns[a].name = rs.columns[a].qualifiedName;
    if (tr.baseTable.empty()) rs.readOnlyReason = "a consulta junta tabelas ou agrupa registros";
    for (;;) {
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) Fail(rc, original);
        std::vector<Value> row;
        row.reserve(static_cast<size_t>(visible));
        for (int c = 0; c < visible; ++c) row.push_back(ColumnValue(s, c, rs.columns[static_cast<size_t>(c)].type));
        rs.rows.push_back(std::move(row));
        rs.keys.push_back(tr.rowidColumn ? sqlite3_column_int64(s, visible) : static_cast<long long>(rs.keys.size()));
    }
    for (size_t c = 0; c < rs.columns.size(); ++c)
        if (!declared[c]) rs.columns[c].type = InferType(rs.rows, c);
    return rs;
}

std::vector<Value> SqliteDb::ReadRow(const std::string& table, long long key, const std::vector<ColumnInfo>& columns)
{
    const std::string sql = "SELECT * FROM " + QuoteName(table) + " WHERE _rowid_ = ?1";
    Statement st = Prepare(sql, sql);
    sqlite3_bind_int64(st.get(), 1, key);
    std::vector<Value> row(columns.size());
    if (sqlite3_step(st.get()) != SQLITE_ROW) return row;
    const int n = sqlite3_column_count(st.get());
    for (size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].baseName.empty()) continue;
        for (int k = 0; k < n; ++k)
            if (SameName(sqlite3_column_name(st.get(), k), columns[c].baseName))
                row[c] = ColumnValue(st.get(), k, columns[c].type);
    }
    return row;
}

void SqliteDb::CommitOthers() const
{
    if (file_.empty()) return;
    for (SqliteDb* other : OpenFiles())
        if (other != this && other->file_ == file_) other->Commit();
}

void SqliteDb::BeginWrite()
{
    CommitOthers();
    if (sqlite3_get_autocommit(db_)) Exec("BEGIN");
}

void SqliteDb::Commit()
{
    if (!sqlite3_get_autocommit(db_)) Exec("COMMIT");
}

Rowset SqliteSource::Fetch()
{
    Rowset rs = db_->Query(tr_, original_);
    columns_ = rs.columns;
    return rs;
}

void SqliteSource::Update(long long key, const Changes& changes)
{
    if (changes.empty()) return;
    std::string sql = "UPDATE " + QuoteName(tr_.baseTable) + " SET ";
    for (size_t k = 0; k < changes.size(); ++k)
        sql += (k ? ", " : "") + QuoteName(columns_[static_cast<size_t>(changes[k].first)].baseName) + " = ?" +
               std::to_string(k + 1);
    sql += " WHERE _rowid_ = ?" + std::to_string(changes.size() + 1);
    Statement st = db_->Prepare(sql, original_);
    for (size_t k = 0; k < changes.size(); ++k) st.Bind(static_cast<int>(k + 1), changes[k].second);
    st.Bind(static_cast<int>(changes.size() + 1), Value(key));
    db_->BeginWrite();
    db_->StepDone(st, original_);
    if (sqlite3_changes(db_->Handle()) == 0)
        throw Error(adErrNoCurrentRecord, "O registro a atualizar não existe mais em '" + tr_.baseTable + "'.");
}

long long SqliteSource::Insert(const Changes& values, std::vector<Value>& row)
{
    std::string sql = "INSERT INTO " + QuoteName(tr_.baseTable);
    if (values.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string names, marks;
        for (size_t k = 0; k < values.size(); ++k) {
            names += (k ? ", " : "") + QuoteName(columns_[static_cast<size_t>(values[k].first)].baseName);
            marks += (k ? ", ?" : "?") + std::to_string(k + 1);
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
    }
    Statement st = db_->Prepare(sql, original_);
    for (size_t k = 0; k < values.size(); ++k) st.Bind(static_cast<int>(k + 1), values[k].second);
    db_->BeginWrite();
    db_->StepDone(st, original_);
    const long long key = sqlite3_last_insert_rowid(db_->Handle());
    row = db_->ReadRow(tr_.baseTable, key, columns_);
    return key;
}

void SqliteSource::Delete(long long key)
{
    const std::string sql = "DELETE FROM " + QuoteName(tr_.baseTable) + " WHERE _rowid_ = ?1";
    Statement st = db_->Prepare(sql, original_);
    st.Bind(1, Value(key));
    db_->BeginWrite();
    db_->StepDone(st, original_);
}

namespace {

class SqliteBackend : public Backend {
public:
    explicit SqliteBackend(std::shared_ptr<SqliteDb> db) : db_(std::move(db)) {}

    std::unique_ptr<Source> Open(const std::string& source, long options) override
    {
        Translation tr = db_->Translate(source, options, true);
        return std::make_unique<SqliteSource>(db_, source, std::move(tr));
    }

    long long Execute(const std::string& statement) override
    {
        Translation tr = db_->Translate(statement, adCmdText, false);
        Statement st = db_->Prepare(tr.sql, statement);
        db_->BeginWrite();
        while (!db_->StepDone(st, statement)) {}
        return sqlite3_changes(db_->Handle());
    }

    void Close() override { db_->Commit(); }

private:
    std::shared_ptr<SqliteDb> db_;
};

}  // namespace

std::shared_ptr<Backend> OpenSqliteBackend(const std::string& path)
{
    return std::make_shared<SqliteBackend>(SqliteDb::OpenFile(path));
}

}  // namespace ado::detail
