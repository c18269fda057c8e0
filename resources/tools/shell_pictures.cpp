// Draws the pictures of the main window and of the dialogs at build time.
//
//   quoril_shell_pictures <output folder>
//
// Writes, as PNG files named after the resources the program loads:
//   _ICOQUORIL   the window icon (48 x 48)
//   _QUORIL      the logo at the top of the main window (154 x 40)
//   _QUORIL2     the banner at the top left of every dialog (52 x 52)
//   TAB_SOBRE, TAB_ESGOTO, TAB_AGUA, TAB_COMUM, TAB_TOPO
//                the pictures of the main window's five tabs (24 x 24)
//   AUTOR_CONTATO, AUTOR_AUTOR, AUTOR_EMPRESA
//                the pictures of the about page's three labels (157 x 100)
// Sizes are those of the places that show them (twips / 15).

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <cstdio>
#include <functional>

namespace {

// The brand's colours: the deep blue of water, the brown of sewer pipes.
const QColor kAzul(0x1F, 0x4E, 0x8C);
const QColor kAzulClaro(0x5B, 0x9B, 0xD5);
const QColor kMarrom(0x8B, 0x5A, 0x2B);
const QColor kVerde(0x3C, 0x8D, 0x40);
const QColor kCinza(0x55, 0x5B, 0x61);
const QColor kFundo(0xF4, 0xF7, 0xFB);

QString g_folder;
bool g_ok = true;

void Save(const QImage& img, const char* name)
{
    const QString path = g_folder + "/" + name + ".png";
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "quoril_shell_pictures: cannot write %s\n", path.toLocal8Bit().constData());
        g_ok = false;
    }
}

QImage Draw(int w, int h, const QColor& background, const std::function<void(QPainter&)>& paint)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(background);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p);
    p.end();
    return img;
}

QFont Font(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The brand mark: a "Q" whose tail is a pipe ending in a drop, on a rounded square.
void Mark(QPainter& p, const QRectF& r)
{
    const double s = r.width();
    p.setPen(Qt::NoPen);
    p.setBrush(kAzul);
    p.drawRoundedRect(r, s * 0.18, s * 0.18);
    QPen ring(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    const QRectF circle(r.left() + s * 0.2, r.top() + s * 0.16, s * 0.56, s * 0.56);
    p.drawEllipse(circle);
    p.drawLine(QPointF(r.left() + s * 0.58, r.top() + s * 0.58), QPointF(r.left() + s * 0.76, r.top() + s * 0.76));
    QPainterPath drop;
    const QPointF tip(r.left() + s * 0.84, r.top() + s * 0.72);
    drop.moveTo(tip);
    drop.cubicTo(tip + QPointF(s * 0.07, s * 0.08), tip + QPointF(s * 0.05, s * 0.18), tip + QPointF(0, s * 0.18));
    drop.cubicTo(tip + QPointF(-s * 0.05, s * 0.18), tip + QPointF(-s * 0.07, s * 0.08), tip);
    p.setPen(Qt::NoPen);
    p.setBrush(kAzulClaro);
    p.drawPath(drop);
}

void Icon()
{
    Save(Draw(48, 48, Qt::transparent, [](QPainter& p) { Mark(p, QRectF(1, 1, 46, 46)); }), "_ICOQUORIL");
}

void Banner()
{
    Save(Draw(52, 52, kFundo, [](QPainter& p) { Mark(p, QRectF(3, 3, 46, 46)); }), "_QUORIL2");
}

void Logo()
{
    Save(Draw(154, 40, kFundo,
              [](QPainter& p) {
                  Mark(p, QRectF(3, 3, 34, 34));
                  p.setPen(kAzul);
                  p.setFont(Font(19, true));
                  p.drawText(QRectF(42, 2, 112, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quoril"));
                  const int quoril = p.fontMetrics().horizontalAdvance(QStringLiteral("Quoril"));
                  p.setPen(kMarrom);
                  p.drawText(QRectF(42 + quoril, 2, 112 - quoril, 24), Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("CAD"));
                  p.setPen(kCinza);
                  p.setFont(Font(8));
                  p.drawText(QRectF(43, 25, 111, 12), Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("Redes de água e esgoto"));
              }),
         "_QUORIL");
}

void Tabs()
{
    // About: an "i" in a circle.
    Save(Draw(24, 24, Qt::transparent,
              [](QPainter& p) {
                  p.setPen(Qt::NoPen);
                  p.setBrush(kAzul);
                  p.drawEllipse(QRectF(2, 2, 20, 20));
                  p.setBrush(Qt::white);
                  p.drawEllipse(QRectF(10.5, 5.5, 3, 3));
                  p.drawRoundedRect(QRectF(10.5, 10, 3, 9), 1, 1);
              }),
         "TAB_SOBRE");
    // Sewer: a manhole joined by two reaches.
    Save(Draw(24, 24, Qt::transparent,
              [](QPainter& p) {
                  p.setPen(QPen(kMarrom, 3, Qt::SolidLine, Qt::RoundCap));
                  p.drawLine(QPointF(2, 18), QPointF(9, 14));
                  p.drawLine(QPointF(15, 10), QPointF(22, 6));
                  p.setPen(QPen(kMarrom, 2));
                  p.setBrush(Qt::white);
                  p.drawEllipse(QRectF(7, 7, 10, 10));
                  p.setBrush(kMarrom);
                  p.drawEllipse(QRectF(10.5, 10.5, 3, 3));
              }),
         "TAB_ESGOTO");
    // Water: a drop.
    Save(Draw(24, 24, Qt::transparent,
              [](QPainter& p) {
                  QPainterPath drop;
                  drop.moveTo(12, 2);
                  drop.cubicTo(16, 8, 20, 12, 20, 15);
                  drop.cubicTo(20, 19.5, 16.5, 22, 12, 22);
                  drop.cubicTo(7.5, 22, 4, 19.5, 4, 15);
                  drop.cubicTo(4, 12, 8, 8, 12, 2);
                  p.setPen(Qt::NoPen);
                  p.setBrush(kAzulClaro);
                  p.drawPath(drop);
                  p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
                  p.drawArc(QRectF(7, 12, 8, 8), 180 * 16, 90 * 16);
              }),
         "TAB_AGUA");
    // Common tools: a city block cut into lots.
    Save(Draw(24, 24, Qt::transparent,
              [](QPainter& p) {
                  p.setPen(QPen(kVerde, 2));
                  p.setBrush(QColor(0xE3, 0xF1, 0xE3));
                  p.drawRect(QRectF(3, 3, 18, 18));
                  p.setPen(QPen(kVerde, 1));
                  p.drawLine(QPointF(12, 3), QPointF(12, 21));
                  p.drawLine(QPointF(3, 9), QPointF(21, 9));
                  p.drawLine(QPointF(3, 15), QPointF(21, 15));
              }),
         "TAB_COMUM");
    // Topography: a survey point under a level line.
    Save(Draw(24, 24, Qt::transparent,
              [](QPainter& p) {
                  p.setPen(QPen(kCinza, 1.5));
                  p.setBrush(QColor(0xF2, 0xE6, 0xC8));
                  p.drawPolygon(QPolygonF({QPointF(12, 3), QPointF(21, 20), QPointF(3, 20)}));
                  p.setPen(QPen(kMarrom, 1.5));
                  p.drawLine(QPointF(8, 13), QPointF(16, 13));
                  p.setPen(Qt::NoPen);
                  p.setBrush(Qt::red);
                  p.drawEllipse(QRectF(10, 15, 4, 4));
              }),
         "TAB_TOPO");
}

// A picture of the about page: a drawing over a short caption.
void AboutPicture(const char* name, const QString& caption, const std::function<void(QPainter&)>& drawing)
{
    Save(Draw(157, 100, kFundo,
              [&](QPainter& p) {
                  p.setPen(QPen(kAzulClaro, 1));
                  p.setBrush(Qt::NoBrush);
                  p.drawRect(QRectF(0.5, 0.5, 156, 99));
                  drawing(p);
                  p.setPen(kAzul);
                  p.setFont(Font(11, true));
                  p.drawText(QRectF(4, 72, 149, 24), Qt::AlignCenter, caption);
              }),
         name);
}

void About()
{
    AboutPicture("AUTOR_CONTATO", QStringLiteral("Sugestões e relatos"), [](QPainter& p) {
        p.setPen(QPen(kAzul, 2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(52, 14, 53, 36));
        p.drawPolyline(QPolygonF({QPointF(52, 14), QPointF(78.5, 36), QPointF(105, 14)}));
    });
    AboutPicture("AUTOR_AUTOR", QStringLiteral("Equipe de projeto"), [](QPainter& p) {
        p.setPen(Qt::NoPen);
        for (int i = -1; i <= 1; ++i) {
            const double x = 78.5 + i * 26;
            p.setBrush(i == 0 ? kAzul : kAzulClaro);
            p.drawEllipse(QRectF(x - 8, 12, 16, 16));
            p.drawRoundedRect(QRectF(x - 13, 31, 26, 30), 10, 10);
        }
    });
    AboutPicture("AUTOR_EMPRESA", QStringLiteral("Saneamento"), [](QPainter& p) {
        p.setPen(QPen(kCinza, 1.5));
        p.setBrush(QColor(0xDD, 0xE4, 0xEC));
        p.drawRect(QRectF(56, 18, 45, 46));
        p.setBrush(kAzulClaro);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) p.drawRect(QRectF(61 + c * 13, 23 + r * 12, 9, 7));
        p.setPen(QPen(kAzul, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(30, 64), QPointF(127, 64));
    });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quoril_shell_pictures <output folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    g_folder = QString::fromLocal8Bit(argv[1]);
    Icon();
    Banner();
    Logo();
    Tabs();
    About();
    return g_ok ? 0 : 1;
}
