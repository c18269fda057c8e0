#include "platform/acad/TextMetrics.h"

#include "platform/acad/EntityData.h"
#include "platform/acad/Tables.h"

namespace acad {

namespace Alignment {
int HorizontalMode(int a)
{
    switch (a) {
    case Center:
    case TopCenter:
    case MiddleCenter:
    case BottomCenter: return 1;
    case Right:
    case TopRight:
    case MiddleRight:
    case BottomRight: return 2;
    case Aligned: return 3;
    case Middle: return 4;
    case Fit: return 5;
    default: return 0;
    }
}

int VerticalMode(int a)
{
    if (a >= TopLeft && a <= TopRight) return 3;
    if (a >= MiddleLeft && a <= MiddleRight) return 2;
    if (a >= BottomLeft && a <= BottomRight) return 1;
    return 0;
}

int FromModes(int h, int v)
{
    if (h == 3) return Aligned;
    if (h == 4) return Middle;
    if (h == 5) return Fit;
    if (h < 0 || h > 2) h = 0;
    switch (v) {
    case 3: return TopLeft + h;
    case 2: return MiddleLeft + h;
    case 1: return BottomLeft + h;
    default: return h;  // Left, Center, Right on the baseline
    }
}
}  // namespace Alignment

namespace TextMetrics {

std::size_t CharCount(std::string_view text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;  // count lead bytes only
    return n;
}

double AdvanceFactor(const TextStyle* style)
{
    return style && style->IsTrueType() ? kTrueTypeAdvance : kShapeFontAdvance;
}

double TextWidth(std::string_view text, double height, double widthFactor, const TextStyle* style)
{
    return static_cast<double>(CharCount(text)) * AdvanceFactor(style) * height * widthFactor;
}

Point3d AlignmentOffset(int alignment, double width, double height)
{
    double x = 0.0;
    switch (Alignment::HorizontalMode(alignment)) {
    case 1:
    case 4: x = width / 2; break;
    case 2:
    case 3:
    case 5: x = width; break;
    default: break;
    }
    double y = 0.0;
    if (alignment == Alignment::Middle) {
        y = height / 2;
    } else {
        switch (Alignment::VerticalMode(alignment)) {
        case 3: y = height; break;
        case 2: y = height / 2; break;
        case 1: y = -kDescent * height; break;
        default: break;
        }
    }
    return {x, y, 0.0};
}

}  // namespace TextMetrics
}  // namespace acad
