// The DXF reader on arbitrary bytes: it either reads a drawing or refuses the
// text with a FileError; it never crashes, leaks or hangs. A drawing it reads
// must also save, and the saved text read back. The same bytes read as a
// drawing file is read, from a stream a piece at a time (pieces of 1 to 64
// bytes, the size taken from the input, so that groups, line ends and the
// checks for binary content fall across pieces), give the same answer and the
// same drawing.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/DxfReader.h"

namespace {

// Runs `read` into `doc`; the drawing as saved, or nothing when refused.
template <class Read>
std::optional<std::string> Opened(acad::Document& doc, Read read)
{
    try {
        read();
    } catch (const acad::Error& e) {
        // A refusal is fine; an exception the reader did not expect is a fault.
        if (e.Code() != acad::ErrorCode::FileError || e.Description().starts_with("Erro interno")) std::abort();
        return std::nullopt;
    }
    return acad::WriteDxfText(doc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    acad::Document doc;
    const std::optional<std::string> saved = Opened(doc, [&] { acad::ReadDxfText(doc, text, "fuzz"); });

    if (size > 0) {
        const std::size_t piece = 1 + data[size / 2] % 64;
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fmemopen(const_cast<std::uint8_t*>(data), size, "rb"),
                                                             &std::fclose);
        if (!file) std::abort();
        acad::Document streamed;
        const std::optional<std::string> fromFile =
            Opened(streamed, [&] { acad::dxf::ReadDxfFrom(streamed, file.get(), "fuzz", piece); });
        if (fromFile != saved) std::abort();  // the file read in pieces is another drawing
    }
    if (!saved) return 0;

    // What the window and selections would ask of the drawing.
    const acad::Box extents = doc.ModelExtents();
    if (!extents.IsEmpty()) (void)doc.ModelSpace().QueryBox(extents);

    acad::Document again;
    try {
        acad::ReadDxfText(again, *saved, "fuzz-saved");
    } catch (const acad::Error&) {
        std::abort();  // the host could not open what it saved
    }
    return 0;
}
