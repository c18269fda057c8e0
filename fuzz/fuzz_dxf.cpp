// The DXF reader on arbitrary bytes: it either reads a drawing or refuses the
// text with a FileError; it never crashes, leaks or hangs. A drawing it reads
// must also save, and the saved text read back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    acad::Document doc;
    try {
        acad::ReadDxfText(doc, text, "fuzz");
    } catch (const acad::Error& e) {
        // A refusal is fine; an exception the reader did not expect is a fault.
        if (e.Code() != acad::ErrorCode::FileError || e.Description().starts_with("Erro interno")) std::abort();
        return 0;
    }
    // What the window and selections would ask of the drawing.
    const acad::Box extents = doc.ModelExtents();
    if (!extents.IsEmpty()) (void)doc.ModelSpace().QueryBox(extents);

    const std::string saved = acad::WriteDxfText(doc);
    acad::Document again;
    try {
        acad::ReadDxfText(again, saved, "fuzz-saved");
    } catch (const acad::Error&) {
        std::abort();  // the host could not open what it saved
    }
    return 0;
}
