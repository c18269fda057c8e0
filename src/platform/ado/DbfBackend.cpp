// A folder of dBase tables seen as a database: each query loads the tables it
// names from their files into a private in-memory SQLite database (so the SQL,
// the order of texts and numbers and the Nulls are those of the other
// backends), and every change goes straight back to the table's file.

#include "platform/ado/Backend.h"
#include "platform/ado/DbfFile.h"
#include "platform/ado/Error.h"
#include "platform/ado/JetText.h"
#include "platform/ado/SqliteDb.h"

#include <filesystem>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace ado::detail {

namespace {

class DbfFolder {
public:
    explicit DbfFolder(std::string folder)
        : folder_(std::move(folder)), db_(SqliteDb::OpenMemory("tabelas dBase de '" + folder_ + "'"))
    {
    }

    std::shared_ptr<SqliteDb> Db() const { return db_; }

    // The file of a table named in a query ("rede.dbf", "REDE", ...).
    std::string FindFile(const std::string& written) const
    {
        std::error_code ec;
        const fs::path exact = fs::path(folder_) / written;
        if (fs::is_regular_file(exact, ec)) return exact.string();
        const bool hasExt = fs::path(written).has_extension();
        for (const auto& entry : fs::directory_iterator(folder_, ec)) {
            const std::string name = entry.path().filename().string();
            if (SameName(name, written) || (!hasExt && SameName(name, written + ".dbf"))) return entry.path().string();
        }
        throw Error(adErrNoSuchTable, "Tabela dBase '" + written + "' não encontrada na pasta '" + folder_ + "'.");
    }

    // Loads the table's file afresh into the memory database.
    TableInfo Load(const std::string& written)
    {
        const std::string file = FindFile(written);
        return Reading("a tabela dBase '" + file + "'", [&] { return Load(written, file); });
    }

    std::shared_ptr<DbfTable> Table(const std::string& name) const
    {
        auto it = tables_.find(name);
        return it == tables_.end() ? nullptr : it->second;
    }

    const std::string& Folder() const { return folder_; }

private:
    TableInfo Load(const std::string& written, const std::string& file)
    {
        auto table = std::make_shared<DbfTable>(DbfTable::Load(file));
        const std::string name = fs::path(file).filename().string();
        db_->Exec("DROP TABLE IF EXISTS " + QuoteName(name));
        std::string create = "CREATE TABLE " + QuoteName(name) + " (";
        std::string insert = "INSERT INTO " + QuoteName(name) + " (_rowid_";
        std::string marks = "?1";
        const auto& fields = table->Fields();
        for (size_t k = 0; k < fields.size(); ++k) {
            create += (k ? ", " : "") + QuoteName(fields[k].name) + " " + fields[k].SqlType();
            insert += ", " + QuoteName(fields[k].name);
            marks += ", ?" + std::to_string(k + 2);
        }
        db_->Exec(create + ")");
        const std::string sql = insert + ") VALUES (" + marks + ")";
        db_->Exec("BEGIN");
        try {
            Statement st = db_->Prepare(sql, sql);
            for (const auto& rec : table->Records()) {
                st.Reset();
                st.Bind(1, Value(static_cast<long long>(rec.number) + 1));
                for (size_t k = 0; k < rec.values.size(); ++k) st.Bind(static_cast<int>(k + 2), rec.values[k]);
                db_->StepDone(st, sql);
            }
        } catch (...) {
            db_->Exec("ROLLBACK");
            throw;
        }
        db_->Exec("COMMIT");
        tables_[name] = table;
        return TableInfo{name, true};
    }

    std::string folder_;
    std::shared_ptr<SqliteDb> db_;
    std::map<std::string, std::shared_ptr<DbfTable>> tables_;
};

class DbfSource : public SqliteSource {
public:
    DbfSource(std::shared_ptr<DbfFolder> folder, std::string source, long options)
        : SqliteSource(folder->Db(), std::move(source), Translation{}), folder_(std::move(folder)), options_(options)
    {
    }

    Rowset Fetch() override
    {
        Retranslate();  // the files may have changed since the last read
        Rowset rs = SqliteSource::Fetch();
        table_ = tr_.baseTable.empty() ? nullptr : folder_->Table(tr_.baseTable);
        for (ColumnInfo& c : rs.columns) {
            const int f = table_ && !c.baseName.empty() ? table_->FieldIndex(c.baseName) : -1;
            if (f >= 0) c.definedSize = table_->Fields()[static_cast<size_t>(f)].width;
        }
        columns_ = rs.columns;
        return rs;
    }

    void Update(long long key, const Changes& changes) override
    {
        if (!changes.empty()) table_->Write(static_cast<int>(key - 1), FieldChanges(changes));
    }

    long long Insert(const Changes& values, std::vector<Value>& row) override
    {
        auto [number, stored] = table_->Append(FieldChanges(values));
        row.assign(columns_.size(), Value());
        for (size_t c = 0; c < columns_.size(); ++c) {
            const int f = columns_[c].baseName.empty() ? -1 : table_->FieldIndex(columns_[c].baseName);
            if (f >= 0) row[c] = stored[static_cast<size_t>(f)];
        }
        return number + 1;
    }

    void Delete(long long key) override { table_->Remove(static_cast<int>(key - 1)); }
    void Finish() override {}

private:
    void Retranslate()
    {
        const TableResolver load = [this](const std::string& w) { return folder_->Load(w); };
        tr_ = db_->Translate(original_, options_, true, &load);
    }

    std::vector<std::pair<int, Value>> FieldChanges(const Changes& changes) const
    {
        std::vector<std::pair<int, Value>> out;
        for (const auto& [column, value] : changes)
            out.emplace_back(table_->FieldIndex(columns_[static_cast<size_t>(column)].baseName), value);
        return out;
    }

    std::shared_ptr<DbfFolder> folder_;
    long options_;
    std::shared_ptr<DbfTable> table_;
};

class DbfBackend : public Backend {
public:
    explicit DbfBackend(std::shared_ptr<DbfFolder> folder) : folder_(std::move(folder)) {}

    std::unique_ptr<Source> Open(const std::string& source, long options) override
    {
        return std::make_unique<DbfSource>(folder_, source, options);
    }

    long long Execute(const std::string&) override
    {
        throw Error(adErrFeatureNotAvailable,
                    "Tabelas dBase de '" + folder_->Folder() + "' só são alteradas através de um recordset.");
    }

    void Close() override {}

private:
    std::shared_ptr<DbfFolder> folder_;
};

}  // namespace

std::shared_ptr<Backend> OpenDbfBackend(const std::string& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw Error(adErrProvider, "Pasta de tabelas dBase não encontrada: '" + folder + "'.");
    return std::make_shared<DbfBackend>(std::make_shared<DbfFolder>(folder));
}

}  // namespace ado::detail
