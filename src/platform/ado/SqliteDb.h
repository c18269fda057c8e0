#pragma once
// A SQLite database as the old engine's SQL sees it, private to the ado layer:
// the JET collation and like() installed, tables found without regard to
// case, queries translated and read into a Rowset, errors turned into
// ado::Error with the table, field or file named.

#include "platform/ado/Backend.h"
#include "platform/ado/JetSql.h"

#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace ado::detail {

class Statement {
public:
    Statement(sqlite3_stmt* s) : s_(s) {}
    Statement(Statement&& o) noexcept : s_(o.s_) { o.s_ = nullptr; }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();
    sqlite3_stmt* get() const { return s_; }
    void Bind(int index, const Value& v);
    void Reset();

private:
    sqlite3_stmt* s_;
};

class SqliteDb {
public:
    // The file must exist: a missing file is an error, never a new database.
    static std::shared_ptr<SqliteDb> OpenFile(const std::string& path);
    static std::shared_ptr<SqliteDb> OpenMemory(const std::string& description);
    ~SqliteDb();

    const std::string& Description() const { return description_; }
    sqlite3* Handle() const { return db_; }

    void Exec(const std::string& sql);
    Statement Prepare(const std::string& sql, const std::string& original);
    // Steps a statement that returns no rows; false when it returned one.
    bool StepDone(Statement& st, const std::string& original);

    TableInfo FindTable(const std::string& written) const;
    // A source text as the old engine took it: a SELECT, or a bare table name.
    // Tables are looked up in this database unless `resolve` is given.
    Translation Translate(const std::string& source, long options, bool withRowid,
                          const TableResolver* resolve = nullptr) const;
    Rowset Query(const Translation& tr, const std::string& original);
    // The stored row `key` of `table`, laid out as `columns`.
    std::vector<Value> ReadRow(const std::string& table, long long key, const std::vector<ColumnInfo>& columns);

    // Writes gather in one transaction until Commit (see SqliteSource), which
    // keeps thousands of AddNew calls from costing a disk sync each. Another
    // connection of this program to the same file must still see them, as it
    // would with the old engine: before it reads or writes, it commits what
    // the others have pending (CommitOthers).
    void BeginWrite();
    void Commit();

    [[noreturn]] void Fail(int rc, const std::string& original) const;

private:
    SqliteDb(sqlite3* db, std::string description) : db_(db), description_(std::move(description)) {}
    void Install();
    void CommitOthers() const;

    sqlite3* db_;
    std::string description_;
    std::string file_;  // canonical path; empty for in-memory databases
};

// A source over one SQLite database whose writes go to that database; the
// dBase backend derives from it to send them on to its files.
class SqliteSource : public Source {
public:
    SqliteSource(std::shared_ptr<SqliteDb> db, std::string original, Translation tr)
        : db_(std::move(db)), original_(std::move(original)), tr_(std::move(tr))
    {
    }
    Rowset Fetch() override;
    void Update(long long key, const Changes& changes) override;
    long long Insert(const Changes& values, std::vector<Value>& row) override;
    void Delete(long long key) override;
    void Finish() override { db_->Commit(); }

protected:
    std::shared_ptr<SqliteDb> db_;
    std::string original_;
    Translation tr_;
    std::vector<ColumnInfo> columns_;
};

}  // namespace ado::detail
