#include "platform/acad/ui/AciPalette.h"

#include <array>
#include <cmath>

namespace acad::ui {

namespace {

// The index is a grid: 10..249 run through 24 hues, 15° apart, each in five
// brightness steps with a full and a pale (half-saturated) tone; 250..255 are
// greys; 1..9 are named colours.
std::array<QRgb, 256> BuildPalette()
{
    std::array<QRgb, 256> p{};
    p.fill(qRgb(255, 255, 255));
    const QRgb named[10] = {qRgb(0, 0, 0),       qRgb(255, 0, 0),    qRgb(255, 255, 0), qRgb(0, 255, 0),
                            qRgb(0, 255, 255),   qRgb(0, 0, 255),    qRgb(255, 0, 255), qRgb(255, 255, 255),
                            qRgb(128, 128, 128), qRgb(192, 192, 192)};
    for (int i = 1; i < 10; ++i) p[i] = named[i];
    const double value[5] = {1.0, 0.8, 0.6, 0.5, 0.3};
    for (int i = 10; i < 250; ++i) {
        const double hue = (i / 10 - 1) * 15.0;
        const double v = value[(i % 10) / 2];
        const double s = (i % 2) ? 0.5 : 1.0;
        // HSV to RGB.
        const double h6 = hue / 60.0;
        const int sector = static_cast<int>(std::floor(h6)) % 6;
        const double f = h6 - std::floor(h6);
        const double pv = v * (1 - s), qv = v * (1 - s * f), tv = v * (1 - s * (1 - f));
        double r = v, g = tv, b = pv;
        switch (sector) {
        case 0: r = v, g = tv, b = pv; break;
        case 1: r = qv, g = v, b = pv; break;
        case 2: r = pv, g = v, b = tv; break;
        case 3: r = pv, g = qv, b = v; break;
        case 4: r = tv, g = pv, b = v; break;
        default: r = v, g = pv, b = qv; break;
        }
        auto c = [](double x) { return static_cast<int>(std::floor(x * 255.0 + 1e-9)); };
        p[i] = qRgb(c(r), c(g), c(b));
    }
    const int greys[6] = {51, 80, 105, 130, 190, 255};
    for (int i = 0; i < 6; ++i) p[250 + i] = qRgb(greys[i], greys[i], greys[i]);
    return p;
}

}  // namespace

QColor AciColor(int aci)
{
    static const std::array<QRgb, 256> palette = BuildPalette();
    if (aci < 1 || aci > 255) return QColor(255, 255, 255);
    return QColor(palette[static_cast<std::size_t>(aci)]);
}

QColor BackgroundColor() { return QColor(33, 40, 48); }

}  // namespace acad::ui
