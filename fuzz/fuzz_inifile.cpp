// "IniFile.txt" on arbitrary bytes, read as the program reads it at start-up
// (its first line names the database folder): every line comes out as UTF-8
// without its line ending, and the folder written back reads the same.

#include "FuzzFolder.h"

#include "platform/os/Files.h"
#include "platform/os/TextFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzzing::Folder folder;
    const std::string file = folder.Write("IniFile.txt", data, size);
    std::string pasta;
    {
        os::TextReader ini;
        if (!ini.Open(file)) std::abort();
        std::string line;
        bool first = true;
        while (ini.ReadLine(line)) {
            if (!os::IsValidUtf8(line) || line.find('\n') != std::string::npos) std::abort();
            if (first) pasta = line;
            first = false;
        }
        ini.Close();
    }
    (void)os::FileExists(pasta + "/rereva2000r.mdb");

    // A leading byte-order mark is taken for the file's own; a folder name
    // never starts with one.
    if (pasta.starts_with("\xEF\xBB\xBF")) return 0;
    if (!os::WriteTextLines(file, {pasta})) std::abort();
    os::TextReader back;
    std::string again;
    if (!back.Open(file) || !back.ReadLine(again) || again != pasta) std::abort();
    return 0;
}
