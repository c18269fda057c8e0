// The workbook reader on arbitrary bytes, through a connection as the
// program opens its sheets: the sheet is read, or refused with the data
// layer's error, within the memory the run allows. A row written back (its
// first cell set to the value it holds) keeps the sheet readable.
//
// An input that starts as a zip is the whole file; any other is the sheet's
// XML, then (after a NUL) the shared strings' XML, packed here into a sound
// package, so that mutations reach the sheet reader past the zip's checks.

#include "FuzzFolder.h"
#include "FuzzWorkbook.h"

#include "platform/ado/Connection.h"
#include "platform/ado/Error.h"
#include "platform/ado/Recordset.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

long long ReadAll(const std::string& file)
{
    ado::Connection cn;
    cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";Extended Properties=Excel 8.0;");
    ado::Recordset rs;
    rs.Open("Plan1$", cn, ado::adOpenKeyset, ado::adLockOptimistic);
    long long n = 0;
    for (; !rs.Eof(); rs.MoveNext(), ++n)
        for (ado::Field f : rs.Fields()) (void)f.Value().ToText();
    rs.Close();
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzzing::Folder folder;
    const std::string file = folder.Write("pasta.xls", data, size);
    if (size < 2 || data[0] != 'P' || data[1] != 'K') {
        const std::string text(reinterpret_cast<const char*>(data), size);
        const std::size_t nul = text.find('\0');
        fuzzing::Pack(file, text.substr(0, nul), nul == std::string::npos ? std::string() : text.substr(nul + 1));
    }
    long long rows = 0;
    try {
        rows = ReadAll(file);
    } catch (const ado::Error&) {
        return 0;
    }
    if (rows == 0) return 0;
    try {
        ado::Connection cn;
        cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";Extended Properties=Excel 8.0;");
        ado::Recordset rs;
        rs.Open("Plan1$", cn, ado::adOpenKeyset, ado::adLockOptimistic);
        ado::Field f = rs.Fields(0);
        f.SetValue(f.Value());
        rs.Update();
        rs.Close();
    } catch (const ado::Error&) {
        return 0;  // a cell that may not change (shared formula), a file that cannot be written
    }
    try {
        if (ReadAll(file) != rows) std::abort();
    } catch (const ado::Error&) {
        std::abort();  // the write left a workbook the reader refuses
    }
    return 0;
}
