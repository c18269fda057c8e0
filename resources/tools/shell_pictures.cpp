// Draws the pictures of the main window, of the dialogs and of the sewer
// panel at build time.
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
//   INSMENUFLAT, INSMENUMOVE, INSMENUCLICK
//                the sewer panel's quantities menu (135 x 107): a title over
//                two buttons, "Tabela" (the quantity table in the drawing) and
//                "Planilha" (the inputs spreadsheet); flat, raised under the
//                mouse, pressed
//   IMPMENUFLAT, IMPMENUMOVE, IMPMENUCLICK
//                its import menu (135 x 107) on a grid of 3 x 6 cells: "Abrir
//                Tabela" over the two right columns of the first three rows,
//                "Desenhar" in the first column of rows 2 and 3, "Planilha" and
//                "Editar" in the first and last columns of rows 4 and 5
//   NOTASDATA, NOTASHORA, CONFINICIAR, CONFEXECUTAR
//                its picture buttons: the notes' date and time stamps, the
//                verification's prepare and run (20 x 20)
// Sizes are those of the places that show them (twips / 15). A menu button
// covers exactly the rectangle the picture menu cuts for it (edges at
// size x k / cells, fractions cut off), so the three states of a menu differ
// only inside its buttons.

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

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

// --- the sewer panel's picture menus and buttons

// The face of a menu button and its edges.
const QColor kFace(0xEC, 0xE9, 0xD8);
const QColor kLuz(0xFF, 0xFF, 0xFF);
const QColor kSombra(0x80, 0x80, 0x80);

constexpr int kMenuLargura = 135;
constexpr int kMenuAltura = 107;

enum class Estado { Plano, Realce, Pressionado };

// The cell edges of the picture menu: size x k / cells, fraction cut off.
int Borda(int Tamanho, int k, int Celulas)
{
    return Tamanho * k / Celulas;
}

// One button of a menu: its rectangle, the icon drawn in the given box and
// its label under it.
struct Botao {
    QRect area;
    QString rotulo;
    std::function<void(QPainter&, const QRectF&)> icone;
};

void DesenhaBotao(QPainter& p, const Botao& b, Estado e)
{
    const QRectF r(b.area);
    p.setPen(Qt::NoPen);
    p.setBrush(e == Estado::Realce ? QColor(0xF7, 0xF5, 0xEA) : e == Estado::Pressionado ? QColor(0xD6, 0xD2, 0xBC)
                                                                                        : kFace);
    p.drawRect(r);
    // The edge: a thin outline when flat, light over shadow when raised,
    // shadow over light when pressed.
    const QRectF borda = r.adjusted(0.5, 0.5, -0.5, -0.5);
    if (e == Estado::Plano) {
        p.setPen(QPen(QColor(0xC8, 0xC4, 0xAE), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(borda);
    } else {
        const QColor alto = e == Estado::Realce ? kLuz : kSombra;
        const QColor baixo = e == Estado::Realce ? kSombra : kLuz;
        p.setPen(QPen(alto, 1));
        p.drawLine(borda.topLeft(), borda.topRight());
        p.drawLine(borda.topLeft(), borda.bottomLeft());
        p.setPen(QPen(baixo, 1));
        p.drawLine(borda.bottomLeft(), borda.bottomRight());
        p.drawLine(borda.topRight(), borda.bottomRight());
    }
    // Pressed contents sink by a pixel.
    const double d = e == Estado::Pressionado ? 1 : 0;
    const QRectF texto(r.left() + 1 + d, r.bottom() - 13 + d, r.width() - 2, 12);
    const double lado = std::min(r.width() - 8, r.height() - 17);
    const QRectF caixa(r.center().x() - lado / 2 + d, r.top() + 3 + d, lado, lado);
    b.icone(p, caixa);
    p.setPen(e == Estado::Realce ? kAzul : QColor(0x20, 0x20, 0x20));
    p.setFont(Font(9));
    p.drawText(texto, Qt::AlignCenter, b.rotulo);
}

// The three pictures of one menu: the same background and decoration, the
// buttons in each state.
void Menu(const char* nome, const std::function<void(QPainter&)>& fundo, const std::vector<Botao>& botoes)
{
    const char* sufixos[] = {"FLAT", "MOVE", "CLICK"};
    const Estado estados[] = {Estado::Plano, Estado::Realce, Estado::Pressionado};
    for (int k = 0; k < 3; ++k) {
        const QImage img = Draw(kMenuLargura, kMenuAltura, kFace, [&](QPainter& p) {
            fundo(p);
            for (const Botao& b : botoes) {
                p.save();
                p.setClipRect(b.area);
                DesenhaBotao(p, b, estados[k]);
                p.restore();
            }
        });
        Save(img, (std::string(nome) + sufixos[k]).c_str());
    }
}

void IconeTabela(QPainter& p, const QRectF& c)
{
    // A drawing sheet with a small table in its corner.
    p.setPen(QPen(kCinza, 1));
    p.setBrush(Qt::white);
    p.drawRect(c.adjusted(1, 1, -1, -1));
    p.setPen(QPen(kMarrom, 1.5));
    p.drawLine(QPointF(c.left() + 3, c.bottom() - 4), QPointF(c.center().x(), c.top() + 5));
    const QRectF t(c.center().x() - 1, c.center().y(), c.width() / 2 - 2, c.height() / 2 - 3);
    p.setPen(QPen(kAzul, 1));
    p.setBrush(QColor(0xDD, 0xE8, 0xF5));
    p.drawRect(t);
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(t.left(), t.top() + t.height() * i / 3), QPointF(t.right(), t.top() + t.height() * i / 3));
    p.drawLine(QPointF(t.center().x(), t.top()), QPointF(t.center().x(), t.bottom()));
}

void IconePlanilha(QPainter& p, const QRectF& c)
{
    // A spreadsheet: a green header row over a grid.
    const QRectF f = c.adjusted(1, 2, -1, -2);
    p.setPen(QPen(kVerde, 1));
    p.setBrush(Qt::white);
    p.drawRect(f);
    p.setBrush(kVerde);
    p.drawRect(QRectF(f.left(), f.top(), f.width(), f.height() / 4));
    p.setPen(QPen(QColor(0x9C, 0xC8, 0x9E), 1));
    for (int i = 2; i < 4; ++i)
        p.drawLine(QPointF(f.left(), f.top() + f.height() * i / 4), QPointF(f.right(), f.top() + f.height() * i / 4));
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(f.left() + f.width() * i / 3, f.top() + f.height() / 4),
                   QPointF(f.left() + f.width() * i / 3, f.bottom()));
}

void IconePasta(QPainter& p, const QRectF& c)
{
    // An open folder holding a table.
    p.setPen(QPen(kMarrom, 1));
    p.setBrush(QColor(0xF2, 0xD2, 0x8C));
    QPainterPath pasta;
    pasta.moveTo(c.left() + 1, c.top() + c.height() * 0.25);
    pasta.lineTo(c.left() + c.width() * 0.4, c.top() + c.height() * 0.25);
    pasta.lineTo(c.left() + c.width() * 0.5, c.top() + c.height() * 0.35);
    pasta.lineTo(c.right() - 1, c.top() + c.height() * 0.35);
    pasta.lineTo(c.right() - 1, c.bottom() - 1);
    pasta.lineTo(c.left() + 1, c.bottom() - 1);
    pasta.closeSubpath();
    p.drawPath(pasta);
    const QRectF t(c.left() + c.width() * 0.25, c.top() + c.height() * 0.45, c.width() * 0.5, c.height() * 0.4);
    p.setPen(QPen(kAzul, 1));
    p.setBrush(Qt::white);
    p.drawRect(t);
    p.drawLine(QPointF(t.left(), t.center().y()), QPointF(t.right(), t.center().y()));
    p.drawLine(QPointF(t.center().x(), t.top()), QPointF(t.center().x(), t.bottom()));
}

void IconeRede(QPainter& p, const QRectF& c)
{
    // Two manholes and the reach between them.
    p.setPen(QPen(kMarrom, 2, Qt::SolidLine, Qt::RoundCap));
    const QPointF a(c.left() + c.width() * 0.25, c.bottom() - c.height() * 0.3);
    const QPointF b(c.right() - c.width() * 0.25, c.top() + c.height() * 0.3);
    p.drawLine(a, b);
    p.setPen(QPen(kMarrom, 1.5));
    p.setBrush(Qt::white);
    const double r = c.width() * 0.16;
    p.drawEllipse(a, r, r);
    p.drawEllipse(b, r, r);
}

void IconeLapis(QPainter& p, const QRectF& c)
{
    // A pencil over a table's lines.
    p.setPen(QPen(kCinza, 1));
    for (int i = 1; i <= 3; ++i)
        p.drawLine(QPointF(c.left() + 2, c.top() + c.height() * i / 4),
                   QPointF(c.right() - 2, c.top() + c.height() * i / 4));
    p.setPen(QPen(kMarrom, 1));
    p.setBrush(QColor(0xF2, 0xC0, 0x4C));
    p.drawPolygon(QPolygonF({QPointF(c.right() - 3, c.top() + 2), QPointF(c.right() - 1, c.top() + 4),
                             QPointF(c.left() + 5, c.bottom() - 2), QPointF(c.left() + 2, c.bottom() - 1),
                             QPointF(c.left() + 3, c.bottom() - 4)}));
}

// An arrow from a to b, its head at b.
void Seta(QPainter& p, const QPointF& a, const QPointF& b)
{
    p.setPen(QPen(kAzulClaro, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    const QPointF d = (b - a) / std::max(1.0, std::hypot((b - a).x(), (b - a).y()));
    const QPointF n(-d.y(), d.x());
    p.setPen(Qt::NoPen);
    p.setBrush(kAzulClaro);
    p.drawPolygon(QPolygonF({b, b - d * 5 + n * 3, b - d * 5 - n * 3}));
}

void SewerMenus()
{
    // Quantities: 2 columns x 2 rows, the buttons in the second row.
    const int cx = Borda(kMenuLargura, 1, 2), cy = Borda(kMenuAltura, 1, 2);
    Menu(
        "INSMENU",
        [](QPainter& p) {
            p.setPen(kAzul);
            p.setFont(Font(12, true));
            p.drawText(QRectF(0, 6, kMenuLargura, 18), Qt::AlignCenter, QStringLiteral("Quantitativos"));
            p.setPen(kCinza);
            p.setFont(Font(9));
            p.drawText(QRectF(0, 26, kMenuLargura, 14), Qt::AlignCenter, QStringLiteral("da rede de esgoto"));
        },
        {{QRect(0, cy, cx, kMenuAltura - cy), QStringLiteral("Tabela"), IconeTabela},
         {QRect(cx, cy, kMenuLargura - cx, kMenuAltura - cy), QStringLiteral("Planilha"), IconePlanilha}});

    // Import: 3 columns x 6 rows.
    const auto X = [](int k) { return Borda(kMenuLargura, k, 3); };
    const auto Y = [](int k) { return Borda(kMenuAltura, k, 6); };
    Menu(
        "IMPMENU",
        [&](QPainter& p) {
            p.setPen(kAzul);
            p.setFont(Font(11, true));
            p.drawText(QRectF(0, Y(0), X(1), Y(1)), Qt::AlignCenter, QStringLiteral("DBF"));
            p.setPen(kCinza);
            p.setFont(Font(8));
            p.drawText(QRectF(0, Y(1) - 2, X(1), Y(2) - Y(1)), Qt::AlignCenter, QStringLiteral("Brivan"));
            // What can be done with the table once it is open.
            p.drawText(QRectF(X(1), Y(3), X(3) - X(1), Y(4) - Y(3)), Qt::AlignCenter,
                       QStringLiteral("com a tabela:"));
            const double meio = (Y(4) + Y(6)) / 2.0, centro = (X(1) + X(2)) / 2.0;
            Seta(p, QPointF(centro - 3, meio), QPointF(X(1) + 3, meio));
            Seta(p, QPointF(centro + 3, meio), QPointF(X(2) - 3, meio));
        },
        {{QRect(X(1), Y(0), X(3) - X(1), Y(3) - Y(0)), QStringLiteral("Abrir Tabela"), IconePasta},
         {QRect(X(0), Y(2), X(1) - X(0), Y(4) - Y(2)), QStringLiteral("Desenhar"), IconeRede},
         {QRect(X(0), Y(4), X(1) - X(0), Y(6) - Y(4)), QStringLiteral("Planilha"), IconePlanilha},
         {QRect(X(2), Y(4), X(3) - X(2), Y(6) - Y(4)), QStringLiteral("Editar"), IconeLapis}});
}

// A picture button's face: 20 x 20 on a transparent ground.
void Icone(const char* name, const std::function<void(QPainter&)>& paint)
{
    Save(Draw(20, 20, Qt::transparent, paint), name);
}

void SewerButtons()
{
    // A calendar page.
    Icone("NOTASDATA", [](QPainter& p) {
        p.setPen(QPen(kCinza, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 3.5, 15, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xC0, 0x39, 0x2B));
        p.drawRect(QRectF(3, 4, 14, 4));
        p.setBrush(kCinza);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 4; ++c) p.drawRect(QRectF(4.5 + c * 3, 10 + r * 3.5, 2, 2));
    });
    // A clock at a quarter past.
    Icone("NOTASHORA", [](QPainter& p) {
        p.setPen(QPen(kAzul, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(2, 2, 16, 16));
        p.setPen(QPen(kCinza, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 10), QPointF(10, 5));
        p.drawLine(QPointF(10, 10), QPointF(14, 10));
    });
    // A list with ticks: the options of a verification.
    Icone("CONFINICIAR", [](QPainter& p) {
        p.setPen(QPen(kCinza, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 15, 17));
        p.setPen(QPen(kVerde, 1.5, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) {
            const double y = 5 + i * 5;
            p.drawPolyline(QPolygonF({QPointF(4.5, y), QPointF(6, y + 1.5), QPointF(8.5, y - 1.5)}));
            p.setPen(QPen(kCinza, 1));
            p.drawLine(QPointF(10, y), QPointF(15.5, y));
            p.setPen(QPen(kVerde, 1.5, Qt::SolidLine, Qt::RoundCap));
        }
    });
    // Run: a play triangle.
    Icone("CONFEXECUTAR", [](QPainter& p) {
        p.setPen(QPen(kVerde.darker(130), 1));
        p.setBrush(kVerde);
        p.drawPolygon(QPolygonF({QPointF(5, 3), QPointF(17, 10), QPointF(5, 17)}));
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
    SewerMenus();
    SewerButtons();
    return g_ok ? 0 : 1;
}
