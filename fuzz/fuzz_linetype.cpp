// A linetype file on arbitrary bytes, loaded whole as the drawings load
// theirs: every definition is taken or the file refused with the host's
// error, and a drawing with what was taken saves and opens again.

#include "FuzzFolder.h"

#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzzing::Folder folder;
    const std::string file = folder.Write("tipos.lin", data, size);
    acad::Document doc;
    try {
        doc.Linetypes().Load("*", file);
    } catch (const acad::Error& e) {
        if (e.Description().starts_with("Erro interno")) std::abort();
        return 0;
    }
    const std::string saved = acad::WriteDxfText(doc);
    acad::Document again;
    try {
        acad::ReadDxfText(again, saved, "fuzz-saved");
    } catch (const acad::Error& e) {
        std::fprintf(stderr, "%s\n", e.Description().c_str());
        std::abort();  // a linetype taken from the file made the drawing unreadable
    }
    return 0;
}
