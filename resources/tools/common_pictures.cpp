// Draws the pictures of the common tools panel at build time.
//
//   quoril_common_pictures <output folder>
//
// Writes, as PNG files named after the resources the program loads:
//   HIDUP0, HIDUP1
//             the frames beside the water-meter buttons (7 x 16): the
//             hovered button (an open bracket with an arrow) and the pressed
//             one (the same, filled)

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <cstdio>
#include <functional>
#include <string>

#include "FigurasComuns.h"

namespace {

using namespace figuras;

const QColor kAzul(0x1F, 0x4E, 0x8C);

// The frames of the meter buttons: a bracket along the button's left edge
// with an arrow pointing at it; hollow while hovered, filled while pressed.
void MarcasHidrometro()
{
    for (int k = 0; k < 2; ++k) {
        const QImage img = Desenha(7, 16, Qt::transparent, [&](QPainter& p) {
            p.setPen(QPen(kAzul, 1));
            p.drawLine(QPointF(6.5, 0.5), QPointF(6.5, 15.5));
            p.drawLine(QPointF(4.5, 0.5), QPointF(6.5, 0.5));
            p.drawLine(QPointF(4.5, 15.5), QPointF(6.5, 15.5));
            QPainterPath seta;
            seta.moveTo(0.5, 4.5);
            seta.lineTo(4.5, 8);
            seta.lineTo(0.5, 11.5);
            seta.closeSubpath();
            p.setBrush(k == 0 ? QColor(Qt::transparent) : kAzul);
            p.drawPath(seta);
        });
        Salva(img, "HIDUP" + std::to_string(k));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quoril_common_pictures <output folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    figuras::g_pasta = QString::fromLocal8Bit(argv[1]);
    MarcasHidrometro();
    return figuras::g_ok ? 0 : 1;
}
