#pragma once
// What the panels' build-time picture tools share: the output folder, a
// picture saved into it as PNG, a picture painted over a background, a face.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <functional>
#include <string>

namespace figuras {

// The folder the tool writes into (its one argument), and whether every
// picture was written.
inline QString g_pasta;
inline bool g_ok = true;

inline void Salva(const QImage& img, const std::string& nome)
{
    const QString arquivo = g_pasta + "/" + QString::fromStdString(nome) + ".png";
    if (!img.save(arquivo, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", arquivo.toLocal8Bit().constData());
        g_ok = false;
    }
}

inline QImage Desenha(int w, int h, const QColor& fundo, const std::function<void(QPainter&)>& pinta)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fundo);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    pinta(p);
    p.end();
    return img;
}

inline QFont Fonte(int pixels, bool negrito = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(negrito);
    return f;
}

}  // namespace figuras
