// The old engine's SQL and the criteria of Filter and Find on arbitrary text:
// the translation either refuses the text with the data layer's error or
// gives SQLite one statement, never more; a criteria text is refused the same
// way or tested against every row of a small table.

#include "platform/ado/Criteria.h"
#include "platform/ado/Error.h"
#include "platform/ado/SqliteDb.h"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Catalogue {
    std::shared_ptr<ado::detail::SqliteDb> db = ado::detail::SqliteDb::OpenMemory("catálogo de teste");
    ado::detail::Rowset rows;

    Catalogue()
    {
        db->Exec(
            "CREATE TABLE \"E_CodDiam\" (\"Index\" INTEGER, \"Diam\" DOUBLE, \"Material\" VARCHAR(20), \"Ativo\" BOOLEAN)");
        db->Exec(
            "INSERT INTO \"E_CodDiam\" VALUES (1, 150, 'PVC', 1), (2, 200.5, 'Concreto', 0), (3, NULL, 'ção', -1),"
            " (4, 0, NULL, NULL)");
        db->Exec("CREATE TABLE \"Rede Esgoto\" (\"PV\" VARCHAR(10), \"Cota\" DOUBLE, \"Data\" DATE)");
        db->Exec("INSERT INTO \"Rede Esgoto\" VALUES ('PV1', 712.25, '2020-01-02'), ('pv2', NULL, NULL)");
        const std::string all = "SELECT * FROM E_CodDiam";
        rows = db->Query(db->Translate(all, ado::adCmdText, true), all);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Catalogue cat;
    const std::string text(reinterpret_cast<const char*>(data), size);

    try {
        const ado::detail::Translation tr = cat.db->Translate(text, ado::adCmdUnspecified, true);
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(cat.db->Handle(), tr.sql.c_str(), static_cast<int>(tr.sql.size()), &st, &tail) ==
                SQLITE_OK &&
            st && tail && *tail) {
            sqlite3_stmt* second = nullptr;
            if (sqlite3_prepare_v2(cat.db->Handle(), tail, -1, &second, nullptr) == SQLITE_OK && second) std::abort();
            sqlite3_finalize(second);
        }
        sqlite3_finalize(st);
    } catch (const ado::Error&) {
    }

    try {
        const ado::detail::Criteria criteria(text, cat.rows.columns);
        for (const auto& row : cat.rows.rows) (void)criteria.Matches(row);
    } catch (const ado::Error&) {
    }
    return 0;
}
