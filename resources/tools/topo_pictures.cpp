// Draws the pictures of the topography panel at build time.
//
//   quoril_topo_pictures <output folder>
//
// Writes, as PNG files named after the resources the program loads:
//   PTOMENUFLAT, PTOMENUMOVE, PTOMENUCLICK
//             the survey-point menu (135 x 107), 3 x 3 buttons, flat, raised
//             and pressed: point information, insert a point, points without
//             data / purge, change elevation, find / import, texts, duplicates
//   TOPCAD0 … TOPCAD7
//             the building-type buttons (96 x 14): single-family, multi-family,
//             mixed, commercial, industrial, public service, quantities, low
//             threshold
//   TOPCADBU, TOPCADBD
//             the markers beside them (6 x 14): hovered (hollow) and pressed (filled)

#include <QColor>
#include <QFont>
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
const QColor kAzulClaro(0x5B, 0x9B, 0xD5);
const QColor kVerde(0x3C, 0x8D, 0x40);
const QColor kVermelho(0xB0, 0x30, 0x30);
const QColor kCinza(0x55, 0x5B, 0x61);
const QColor kFace(0xEC, 0xE9, 0xD8);
const QColor kLuz(0xFF, 0xFF, 0xFF);
const QColor kSombra(0x80, 0x80, 0x80);

// ---------------------------------------------------------------- the point menu

enum class Estado { Plano, Realce, Pressionado };

// A survey point as the drawing shows it: a small cross in a circle.
void Ponto(QPainter& p, const QPointF& c, double r, const QColor& cor)
{
    p.setPen(QPen(cor, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.drawLine(c - QPointF(r + 2, 0), c + QPointF(r + 2, 0));
    p.drawLine(c - QPointF(0, r + 2), c + QPointF(0, r + 2));
}

void Rotulo(QPainter& p, const QRectF& r, const QString& t, const QColor& cor, int tamanho = 10)
{
    p.setPen(cor);
    p.setFont(Fonte(tamanho, true));
    p.drawText(r, Qt::AlignCenter, t);
}

// The icons, one per item, in the item's cell box.
void Icone(QPainter& p, int item, const QRectF& c)
{
    const QPointF m = c.center();
    switch (item) {
    case 1:  // information of a point
        Ponto(p, m + QPointF(-5, 3), 4, kAzul);
        Rotulo(p, QRectF(m.x(), c.top(), c.right() - m.x(), c.height() / 2), "i", kVerde, 12);
        break;
    case 2:  // insert a point
        Ponto(p, m + QPointF(-4, 3), 4, kAzul);
        Rotulo(p, QRectF(m.x(), c.top(), c.right() - m.x(), c.height() / 2), "+", kVerde, 13);
        break;
    case 3:  // points without data
        Ponto(p, m + QPointF(-4, 3), 4, kCinza);
        Rotulo(p, QRectF(m.x(), c.top(), c.right() - m.x(), c.height() / 2), "?", kVermelho, 12);
        break;
    case 4: {  // purge: a bin
        p.setPen(QPen(kCinza, 1.4));
        p.setBrush(QColor(0xDD, 0xE4, 0xEC));
        const QRectF lata(m.x() - 6, m.y() - 5, 12, 14);
        p.drawRect(lata);
        p.drawLine(QPointF(m.x() - 8, m.y() - 7), QPointF(m.x() + 8, m.y() - 7));
        p.drawLine(QPointF(m.x() - 2, m.y() - 9), QPointF(m.x() + 2, m.y() - 9));
        for (int k = -1; k <= 1; ++k) p.drawLine(QPointF(m.x() + 3 * k, m.y() - 2), QPointF(m.x() + 3 * k, m.y() + 6));
        break;
    }
    case 5: {  // change the elevation: a point and an up-and-down arrow
        Ponto(p, m + QPointF(-6, 2), 4, kAzul);
        p.setPen(QPen(kVerde, 1.6));
        const double x = m.x() + 7;
        p.drawLine(QPointF(x, m.y() - 9), QPointF(x, m.y() + 9));
        p.drawLine(QPointF(x, m.y() - 9), QPointF(x - 3, m.y() - 5));
        p.drawLine(QPointF(x, m.y() - 9), QPointF(x + 3, m.y() - 5));
        p.drawLine(QPointF(x, m.y() + 9), QPointF(x - 3, m.y() + 5));
        p.drawLine(QPointF(x, m.y() + 9), QPointF(x + 3, m.y() + 5));
        break;
    }
    case 6:  // find: a magnifier
        p.setPen(QPen(kAzul, 2));
        p.setBrush(QColor(0xE8, 0xF1, 0xFA));
        p.drawEllipse(m + QPointF(-2, -2), 6, 6);
        p.setPen(QPen(kCinza, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(m + QPointF(2.5, 2.5), m + QPointF(8, 8));
        break;
    case 7: {  // import a text file
        p.setPen(QPen(kCinza, 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(m.x() - 9, m.y() - 9, 11, 15));
        for (int k = 0; k < 4; ++k) p.drawLine(QPointF(m.x() - 7, m.y() - 6 + 3 * k), QPointF(m.x(), m.y() - 6 + 3 * k));
        p.setPen(QPen(kVerde, 1.8));
        p.drawLine(QPointF(m.x() + 1, m.y() + 3), QPointF(m.x() + 9, m.y() + 3));
        p.drawLine(QPointF(m.x() + 9, m.y() + 3), QPointF(m.x() + 6, m.y()));
        p.drawLine(QPointF(m.x() + 9, m.y() + 3), QPointF(m.x() + 6, m.y() + 6));
        break;
    }
    case 8:  // the texts of the points
        Ponto(p, m + QPointF(-7, 5), 3, kAzul);
        Rotulo(p, QRectF(m.x() - 4, c.top(), c.right() - m.x() + 4, c.height() * 0.7), "Ab", kAzul, 11);
        break;
    case 9:  // duplicates
        Ponto(p, m + QPointF(-5, 2), 4, kAzul);
        Ponto(p, m + QPointF(-2, -1), 4, kAzulClaro);
        p.setPen(QPen(kVermelho, 2));
        p.drawLine(QPointF(m.x() + 4, m.y() + 6), QPointF(m.x() + 10, m.y() + 6));
        break;
    default:
        break;
    }
}

void Botao(QPainter& p, const QRect& area, int item, Estado e)
{
    const QRectF r(area);
    p.setPen(Qt::NoPen);
    p.setBrush(e == Estado::Realce ? QColor(0xF7, 0xF5, 0xEA) : e == Estado::Pressionado ? QColor(0xD6, 0xD2, 0xBC)
                                                                                        : kFace);
    p.drawRect(r);
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
    const double d = e == Estado::Pressionado ? 1 : 0;
    Icone(p, item, r.adjusted(4 + d, 3 + d, -4 + d, -3 + d));
}

// Cells as the menu cuts them: size x k / cells, fraction cut off.
int Borda(int Tamanho, int k, int Celulas)
{
    return Tamanho * k / Celulas;
}

void MenuPontos()
{
    constexpr int kLargura = 135, kAltura = 107;
    const char* sufixos[] = {"FLAT", "MOVE", "CLICK"};
    const Estado estados[] = {Estado::Plano, Estado::Realce, Estado::Pressionado};
    for (int k = 0; k < 3; ++k) {
        const QImage img = Desenha(kLargura, kAltura, kFace, [&](QPainter& p) {
            // Items 1 to 9 left to right, top to bottom.
            for (int item = 1; item <= 9; ++item) {
                const int coluna = (item - 1) % 3, linha = (item - 1) / 3;
                const QRect area(QPoint(Borda(kLargura, coluna, 3), Borda(kAltura, linha, 3)),
                                 QPoint(Borda(kLargura, coluna + 1, 3) - 1, Borda(kAltura, linha + 1, 3) - 1));
                p.save();
                p.setClipRect(area);
                Botao(p, area, item, estados[k]);
                p.restore();
            }
        });
        Salva(img, std::string("PTOMENU") + sufixos[k]);
    }
}

// ---------------------------------------------------------------- building types

// A small house in the box, its look by type; the type's short name beside it.
void TiposCadastro()
{
    struct Tipo {
        const char* rotulo;
        QColor cor;
        int andares;
    };
    const Tipo tipos[] = {
        {"Unifamiliar", QColor(0x3C, 0x8D, 0x40), 1}, {"Multifamiliar", QColor(0x2E, 0x6B, 0x30), 3},
        {"Mista", QColor(0x8C, 0x6D, 0x1F), 2},       {"Comercial", QColor(0x1F, 0x4E, 0x8C), 1},
        {"Industrial", QColor(0x6B, 0x3A, 0x8C), 1},  {"Serv. Públicos", QColor(0xB0, 0x30, 0x30), 1},
        {"Quantidades", kCinza, 0},                   {"Soleira Baixa", QColor(0x5B, 0x9B, 0xD5), 0},
    };
    for (int i = 0; i < 8; ++i) {
        const Tipo& t = tipos[i];
        const QImage img = Desenha(96, 14, kFace, [&](QPainter& p) {
            p.setPen(QPen(t.cor, 1));
            p.setBrush(t.cor.lighter(160));
            if (t.andares > 0) {
                const double h = 3.0 * t.andares;
                p.drawRect(QRectF(2.5, 13.5 - h - 1, 9, h));
                QPainterPath telhado;
                telhado.moveTo(1.5, 12.5 - h);
                telhado.lineTo(7, 12.5 - h - 4);
                telhado.lineTo(12.5, 12.5 - h);
                telhado.closeSubpath();
                p.drawPath(telhado);
            } else if (i == 6) {  // a table
                p.drawRect(QRectF(2.5, 2.5, 10, 9));
                p.drawLine(QPointF(2.5, 5.5), QPointF(12.5, 5.5));
                p.drawLine(QPointF(7.5, 2.5), QPointF(7.5, 11.5));
            } else {  // a low threshold: a step under the street line
                p.drawLine(QPointF(1.5, 5.5), QPointF(13.5, 5.5));
                p.drawRect(QRectF(4.5, 7.5, 6, 4));
            }
            p.setPen(QColor(0x20, 0x20, 0x20));
            p.setFont(Fonte(10));
            p.drawText(QRectF(17, 0, 79, 14), Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8(t.rotulo));
        });
        Salva(img, "TOPCAD" + std::to_string(i));
    }
    // The markers: an arrow pointing at the button.
    for (int k = 0; k < 2; ++k) {
        const QImage img = Desenha(6, 14, Qt::transparent, [&](QPainter& p) {
            QPainterPath seta;
            seta.moveTo(0.5, 3.5);
            seta.lineTo(5.5, 7);
            seta.lineTo(0.5, 10.5);
            seta.closeSubpath();
            p.setPen(QPen(kAzul, 1));
            p.setBrush(k == 0 ? QColor(Qt::transparent) : kAzul);
            p.drawPath(seta);
        });
        Salva(img, k == 0 ? "TOPCADBU" : "TOPCADBD");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quoril_topo_pictures <output folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    figuras::g_pasta = QString::fromLocal8Bit(argv[1]);
    MenuPontos();
    TiposCadastro();
    return figuras::g_ok ? 0 : 1;
}
