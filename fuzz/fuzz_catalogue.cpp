// The catalogue's block-geometry rows and number texts on arbitrary text:
// each row either adds its entity to the block or is refused with a message
// naming the parameter (std::invalid_argument) or the host's error, and the
// drawing with the block saves and opens again. A number text reads the same
// way whether asked if it is a number or read as one, and a number written
// with any count of decimals reads back.
//
// Input: the row's kind selector, then S2, S3 and S4 separated by new lines.

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "cad/BlocoDXF.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

void CheckNumber(const std::string& text, int decimals)
{
    double x = 0;
    bool read = true;
    try {
        x = StrToDbl(text);
    } catch (const std::invalid_argument&) {
        read = false;
    }
    if (read != IsNumero(text)) std::abort();
    if (!read || !std::isfinite(x)) return;
    const std::string written = FormatNum(x, decimals);
    if (!IsNumero(written)) std::abort();
    const double back = StrToDbl(written);
    // Rounded to `decimals` places of a 15-digit decimal: within half a unit
    // of the last place kept, or of the fifteenth significant digit.
    const double tolerance = std::max(0.5 * std::pow(10.0, -decimals), std::fabs(x) * 1e-14) * 1.000001;
    if (!(std::fabs(back - x) <= tolerance)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    static const char* const kinds[] = {"Line", "Point", "Circle", "Arc", "Attribute", "Text", "line", ""};
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    DXFRowRec row;
    row.S1 = kinds[data[0] % 8];
    std::string* parts[] = {&row.S2, &row.S3, &row.S4};
    std::size_t at = 0;
    for (int k = 0; k < 3 && at <= rest.size(); ++k) {
        const std::size_t nl = k < 2 ? rest.find('\n', at) : std::string::npos;
        *parts[k] = rest.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
        at = nl == std::string::npos ? rest.size() + 1 : nl + 1;
    }

    for (const std::string* p : parts) CheckNumber(*p, (data[0] >> 3) % 16);
    for (const std::string& element : ListaDXF(row.S4)) CheckNumber(element, (data[0] >> 3) % 16);

    acad::Document doc;
    gAcadDoc = &doc;
    try {
        acad::Block* block = doc.Blocks().Add(acad::Point3d(0, 0, 0), "PV");
        DesenhaLinhaDXF(*block, row, "0-Geometria");
    } catch (const std::invalid_argument&) {
    } catch (const acad::Error& e) {
        if (e.Description().starts_with("Erro interno")) std::abort();
    }
    gAcadDoc = nullptr;
    const std::string saved = acad::WriteDxfText(doc);
    acad::Document again;
    try {
        acad::ReadDxfText(again, saved, "fuzz-saved");
    } catch (const acad::Error& e) {
        std::fprintf(stderr, "%s\n", e.Description().c_str());
        std::abort();  // the row's entity made the drawing unreadable
    }
    return 0;
}
