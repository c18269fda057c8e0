// Draws the pictures of the water panel at build time.
//
//   quoril_water_pictures <output folder>
//
// Writes, as PNG files named after the resources the program loads:
//   TUBOCMD   the pipe button (14 x 14): a pipe between two fittings, the
//             pipe drawn from the sockets the user picks
//   FERIMG0 to FERIMG3     the fitting tools (24 x 15, transparent around the
//             drawing, so that the hover and pressed images beneath show):
//             couple, move along the axis, mirror about it, rotate
//   FERIMG2_0 to FERIMG2_2 the label and dimension tools (24 x 15): a
//             fitting's label moved, a pipe's label moved, a tie dimension
//   FERBU, FERBD           what lies beneath the tool under the mouse (24 x 15):
//             raised when hovered, sunk when pressed

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QString>

#include <cstdio>

namespace {

const QColor kAzul(0x1F, 0x4E, 0x8C);
const QColor kAzulClaro(0x5B, 0x9B, 0xD5);
const QColor kCinza(0x55, 0x5B, 0x61);

bool Salva(const QImage& img, const QString& Pasta, const char* Nome)
{
    const QString arquivo = Pasta + "/" + Nome + ".png";
    if (!img.save(arquivo, "PNG")) {
        std::fprintf(stderr, "quoril_water_pictures: cannot write %s\n", arquivo.toLocal8Bit().constData());
        return false;
    }
    return true;
}

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
    return Salva(img, Pasta, "TUBOCMD");
}

// ---------------------------------------------------------------- the panel's tools

const QColor kLaranja(0xD9, 0x73, 0x1A);
const QColor kVerde(0x2E, 0x7D, 0x32);
constexpr int kLargura = 24, kAltura = 15;

// One tool picture: transparent, drawn by `Desenha` with antialiasing.
template <class F>
bool Ferramenta(const QString& Pasta, const char* Nome, F&& Desenha)
{
    QImage img(kLargura, kAltura, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        Desenha(p);
    }
    return Salva(img, Pasta, Nome);
}

// A fitting seen from above: its body and a socket on the side `lado` (+1 right, -1 left).
void Conexao(QPainter& p, QPointF Centro, int lado, const QColor& Cor)
{
    p.setPen(QPen(kCinza, 1));
    p.setBrush(Cor);
    p.drawRect(QRectF(Centro.x() - 3, Centro.y() - 3, 6, 6));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Cor.darker(130), 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(Centro.x() + lado * 3, Centro.y()), QPointF(Centro.x() + lado * 6, Centro.y()));
}

void Seta(QPainter& p, QPointF De, QPointF Para, const QColor& Cor)
{
    p.setPen(QPen(Cor, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(De, Para);
    const QLineF l(Para, De);
    QLineF a = l;
    a.setLength(3.5);
    a.setAngle(l.angle() + 35);
    QLineF b = l;
    b.setLength(3.5);
    b.setAngle(l.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

// A label: three short strokes standing for its text.
void Rotulo(QPainter& p, QPointF Inicio, const QColor& Cor)
{
    p.setPen(QPen(Cor, 1.6, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(Inicio.x() + i * 3.0, Inicio.y()), QPointF(Inicio.x() + i * 3.0 + 2, Inicio.y()));
}

bool DesenhaFerramentas(const QString& Pasta)
{
    bool ok = true;
    // Couple: the grey fitting's socket pushed into the blue one's.
    ok &= Ferramenta(Pasta, "FERIMG0", [](QPainter& p) {
        Conexao(p, QPointF(5, 7.5), +1, kCinza.lighter(160));
        Conexao(p, QPointF(19, 7.5), -1, kAzul);
        Seta(p, QPointF(6, 2.5), QPointF(12, 2.5), kLaranja);
    });
    // Move: a fitting and the two ways along its axis.
    ok &= Ferramenta(Pasta, "FERIMG1", [](QPainter& p) {
        Conexao(p, QPointF(12, 10.5), +1, kAzul);
        Seta(p, QPointF(12, 3), QPointF(22, 3), kLaranja);
        Seta(p, QPointF(12, 3), QPointF(2, 3), kLaranja);
    });
    // Mirror: the axis dashed, the fitting on one side and its image on the other.
    ok &= Ferramenta(Pasta, "FERIMG2", [](QPainter& p) {
        p.setPen(QPen(kLaranja, 1, Qt::DashLine));
        p.drawLine(QPointF(12, 0.5), QPointF(12, 14.5));
        p.setPen(QPen(kCinza, 1));
        p.setBrush(kAzul);
        p.drawPolygon(QPolygonF({QPointF(3, 3), QPointF(10, 7.5), QPointF(3, 12)}));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kAzul, 1));
        p.drawPolygon(QPolygonF({QPointF(21, 3), QPointF(14, 7.5), QPointF(21, 12)}));
    });
    // Rotate: a fitting and the turn about its centre.
    ok &= Ferramenta(Pasta, "FERIMG3", [](QPainter& p) {
        Conexao(p, QPointF(9, 7.5), +1, kAzul);
        p.setPen(QPen(kLaranja, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(14, 2, 9, 11), 90 * 16, -200 * 16);
        Seta(p, QPointF(19.5, 12.8), QPointF(16.5, 12.3), kLaranja);
    });
    // A fitting's label moved beside it, with its leader.
    ok &= Ferramenta(Pasta, "FERIMG2_0", [](QPainter& p) {
        Conexao(p, QPointF(5, 10), +1, kAzul);
        p.setPen(QPen(kVerde, 1));
        p.drawLine(QPointF(7, 8), QPointF(13, 4));
        Rotulo(p, QPointF(14, 4), kVerde);
    });
    // A pipe's label moved along it.
    ok &= Ferramenta(Pasta, "FERIMG2_1", [](QPainter& p) {
        p.setPen(QPen(kAzulClaro, 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(1, 11.5), QPointF(23, 11.5));
        Rotulo(p, QPointF(11, 5), kVerde);
        Seta(p, QPointF(3, 5), QPointF(9, 5), kLaranja);
    });
    // A tie dimension: the dimension line with its ticks between two extension lines.
    ok &= Ferramenta(Pasta, "FERIMG2_2", [](QPainter& p) {
        p.setPen(QPen(kCinza, 1));
        p.drawLine(QPointF(3.5, 4), QPointF(3.5, 14));
        p.drawLine(QPointF(20.5, 4), QPointF(20.5, 14));
        p.setPen(QPen(kAzul, 1.2));
        p.drawLine(QPointF(3.5, 9.5), QPointF(20.5, 9.5));
        p.drawLine(QPointF(2, 11), QPointF(5, 8));
        p.drawLine(QPointF(19, 11), QPointF(22, 8));
        Rotulo(p, QPointF(8, 4), kVerde);
    });
    return ok;
}

// Beneath the tool under the mouse: a raised pad when hovered, a sunk one when pressed.
bool DesenhaFundos(const QString& Pasta)
{
    bool ok = true;
    for (const bool apertado : {false, true}) {
        QImage img(kLargura, kAltura, QImage::Format_ARGB32);
        img.fill(apertado ? QColor(0xB8, 0xCF, 0xE8) : QColor(0xE4, 0xEF, 0xFA));
        {
            QPainter p(&img);
            const QColor claro(Qt::white), escuro(0x6A, 0x7F, 0x96);
            p.setPen(apertado ? escuro : claro);
            p.drawLine(0, 0, kLargura - 1, 0);
            p.drawLine(0, 0, 0, kAltura - 1);
            p.setPen(apertado ? claro : escuro);
            p.drawLine(0, kAltura - 1, kLargura - 1, kAltura - 1);
            p.drawLine(kLargura - 1, 0, kLargura - 1, kAltura - 1);
        }
        ok &= Salva(img, Pasta, apertado ? "FERBD" : "FERBU");
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quoril_water_pictures <output folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString pasta = QString::fromLocal8Bit(argv[1]);
    bool ok = DesenhaTubo(pasta);
    ok &= DesenhaFerramentas(pasta);
    ok &= DesenhaFundos(pasta);
    return ok ? 0 : 1;
}
