// Draws the pictures of the water panel at build time.
//
//   quoril_water_pictures <output folder>
//
// Writes, as PNG files named after the resources the program loads:
//   TUBOCMD   the pipe button (14 x 14): a pipe between two fittings, the
//             pipe drawn from the sockets the user picks

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>

#include <cstdio>

namespace {

const QColor kAzul(0x1F, 0x4E, 0x8C);
const QColor kAzulClaro(0x5B, 0x9B, 0xD5);
const QColor kCinza(0x55, 0x5B, 0x61);

bool DesenhaTubo(const QString& Pasta)
{
    QImage img(14, 14, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // The pipe, blue as the water it carries, rising from one fitting to the other.
        p.setPen(QPen(kAzulClaro, 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(3.5, 10.5), QPointF(10.5, 3.5));
        // The two fittings: squares with their sockets.
        p.setPen(QPen(kCinza, 1));
        p.setBrush(kAzul);
        p.drawRect(QRectF(0.5, 8.5, 4, 4));
        p.drawRect(QRectF(9.5, 1.5, 4, 4));
    }
    const QString arquivo = Pasta + "/TUBOCMD.png";
    if (!img.save(arquivo, "PNG")) {
        std::fprintf(stderr, "quoril_water_pictures: cannot write %s\n", arquivo.toLocal8Bit().constData());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quoril_water_pictures <output folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    return DesenhaTubo(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
