// The DXF reader on arbitrary bytes: it either reads a drawing or refuses the
// text with a FileError; it never crashes, leaks or hangs. A drawing it reads
// (whatever it had to leave out or mend, and said so) must also save, the
// saved text read back with nothing to say, and saved again give the same
// bytes: no value moves, no record takes another handle. The same
// bytes read as a drawing file is read, from a stream a piece at a time
// (pieces of 1 to 64 bytes, the size taken from the input, so that groups,
// line ends and the checks for binary content fall across pieces), give the
// same answer and the same drawing.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

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
    try {
        return acad::WriteDxfText(doc);
    } catch (const acad::Error&) {
        std::abort();  // what opened does not save
    }
}

// True when every record of the tables, blocks, entities and objects of a
// saved text has a handle of its own (its first group 5 or 105), below the
// seed its header names. (A CLASS record is no object, and the ACDSDATA
// section goes back as the file held it: what they hold is no handle.)
bool HandlesUnique(std::string_view text)
{
    std::unordered_set<std::string_view> seen;
    std::uint64_t seed = 0, largest = 0;
    std::string_view section;
    bool handled = false, named = false;
    int code = 0;
    bool isCode = true;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 2;
        if (isCode) {
            code = std::atoi(std::string(line).c_str());
        } else if (code == 0) {
            named = line == "SECTION";
            handled = false;
        } else if (code == 2 && named) {
            section = line;
            named = false;
        } else if ((code == 5 || code == 105) && !handled) {
            const std::uint64_t h = std::strtoull(std::string(line).c_str(), nullptr, 16);
            if (section == "HEADER") {
                seed = h;  // its one handle
            } else if (section == "TABLES" || section == "BLOCKS" || section == "ENTITIES" || section == "OBJECTS") {
                if (!seen.insert(line).second) return false;
                largest = std::max(largest, h);
                handled = true;
            }
        }
        isCode = !isCode;
    }
    return largest < seed;
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

    if (!HandlesUnique(*saved)) std::abort();  // a handle twice, or past the seed

    acad::Document again;
    std::string note;
    const std::optional<std::string> resaved =
        Opened(again, [&] { note = acad::ReadDxfText(again, *saved, "fuzz-saved"); });
    if (!resaved) std::abort();            // the host could not open what it saved
    if (!note.empty()) std::abort();       // what it saved is not sound
    if (*saved != *resaved) std::abort();  // what it saved reads back as another drawing
    return 0;
}
