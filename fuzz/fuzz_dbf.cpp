// The dBase reader on arbitrary bytes, through a connection on the folder as
// the program opens it: a table is read, or refused with the data layer's
// error. A record written back (its first field set to the value it holds)
// leaves every other value of the table as it was.
//
// Input: the table; what follows its last end-of-file mark and "cpg" is the
// code page file beside it ("rede.cpg"), read for the table's texts.

#include "FuzzFolder.h"

#include "platform/ado/Connection.h"
#include "platform/ado/Error.h"
#include "platform/ado/Recordset.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Table = std::vector<std::vector<std::string>>;

Table ReadAll(ado::Connection& cn)
{
    ado::Recordset rs;
    rs.Open("SELECT * FROM rede", cn, ado::adOpenStatic, ado::adLockReadOnly);
    Table rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        rows.emplace_back();
        for (ado::Field f : rs.Fields()) {
            const ado::Value v = f.Value();
            rows.back().push_back(v.IsNull() ? std::string("\x01null") : v.ToText());
        }
    }
    rs.Close();
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzzing::Folder folder;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t mark = input.rfind(
        "\x1A"
        "cpg");
    folder.Write("rede.dbf", data, mark == std::string::npos ? size : mark + 1);
    if (mark != std::string::npos) folder.WriteBeside("rede.cpg", data + mark + 4, size - mark - 4);
    ado::Connection cn;
    cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder.Path() + ";Extended Properties=dBase 5.0;");
    Table before;
    try {
        before = ReadAll(cn);
    } catch (const ado::Error&) {
        return 0;  // refused by name: fine
    }
    if (before.empty() || before[0].empty()) return 0;
    try {
        ado::Recordset rs;
        rs.Open("SELECT * FROM rede", cn, ado::adOpenKeyset, ado::adLockOptimistic);
        ado::Field f = rs.Fields(0);
        f.SetValue(f.Value());
        rs.Update();
        rs.Close();
    } catch (const ado::Error&) {
        return 0;  // a value the field cannot take back, a file that cannot be written
    }
    Table after;
    try {
        after = ReadAll(cn);
    } catch (const ado::Error&) {
        std::abort();  // the write left a table the reader refuses
    }
    if (after.size() != before.size()) std::abort();
    for (std::size_t r = 0; r < before.size(); ++r) {
        if (after[r].size() != before[r].size()) std::abort();
        for (std::size_t c = r == 0 ? 1 : 0; c < before[r].size(); ++c)
            if (after[r][c] != before[r][c]) std::abort();  // the write reached another value
    }
    return 0;
}
