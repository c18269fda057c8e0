// Draws the water-meter buttons of the common tools panel at build time.
//
//   quoril_meter_pictures <output folder>
//
// Writes, as PNG files named after the resources the panel loads,
// HIDRIMG0 to HIDRIMG3 (53 x 16, the button's 795 x 240 twips): each meter
// block as it lies in the drawing, a circle of radius 1 with its mark, and
// beside it the three lines of its attributes (unit, address, number).
//   HIDRIMG0  COM_HSIM   the circle with an "H": a meter installed
//   HIDRIMG1  COM_HNAO   the circle struck through: no meter
//   HIDRIMG2  COM_HSIMC  as 0, inside a square of half side 1.4
//   HIDRIMG3  COM_HNAOC  as 1, inside the square

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>

#include <cstdio>

namespace {

// The meters' layer "LIGACAO" is colour 5, blue.
const QColor kAzul(0x1F, 0x3F, 0xB0);
const QColor kCinza(0x55, 0x5B, 0x61);
constexpr int kLargura = 53, kAltura = 16;
// Drawing units to pixels: the square of half side 1.4 fills the height.
constexpr double kEscala = 5.2;
const QPointF kCentro(8.5, 8.0);

QPointF Px(double x, double y)
{
    return {kCentro.x() + x * kEscala, kCentro.y() - y * kEscala};
}

bool Desenha(const QString& Pasta, int Indice)
{
    const bool instalado = Indice == 0 || Indice == 2;
    const bool caixa = Indice >= 2;
    QImage img(kLargura, kAltura, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(QPen(kAzul, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(kCentro, kEscala, kEscala);
        if (instalado) {
            // The "H" of the block's text, drawn as strokes so no font is needed.
            p.setPen(QPen(kAzul, 1.1, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(Px(-0.45, -0.55), Px(-0.45, 0.55));
            p.drawLine(Px(0.45, -0.55), Px(0.45, 0.55));
            p.drawLine(Px(-0.45, 0), Px(0.45, 0));
        }
        else {
            p.drawLine(Px(-0.7071, -0.7071), Px(0.7071, 0.7071));
        }
        if (caixa) {
            p.setPen(QPen(kAzul, 1.0));
            p.drawRect(QRectF(Px(-1.4, 1.4), Px(1.4, -1.4)));
        }
        // The attributes beside it: the unit above, address and number below.
        p.setPen(QPen(kCinza, 1.4, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(Px(1.9, 0.95), Px(3.0, 0.95));
        p.setPen(QPen(kCinza.lighter(130), 1.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(Px(1.9, -0.35), Px(5.6, -0.35));
        p.drawLine(Px(1.9, -1.25), Px(4.2, -1.25));
        // The address numbers, lighter.
        p.setPen(QPen(kAzul.lighter(150), 1.0, Qt::SolidLine, Qt::FlatCap));
        for (int i = 0; i < 3; ++i) p.drawLine(Px(6.0 + i * 0.8, -0.35), Px(6.4 + i * 0.8, -0.35));
    }
    const QString arquivo = Pasta + "/HIDRIMG" + QString::number(Indice) + ".png";
    if (!img.save(arquivo, "PNG")) {
        std::fprintf(stderr, "quoril_meter_pictures: cannot write %s\n", arquivo.toLocal8Bit().constData());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quoril_meter_pictures <output folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString pasta = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (int i = 0; i < 4; ++i) ok &= Desenha(pasta, i);
    return ok ? 0 : 1;
}
