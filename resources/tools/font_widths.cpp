// Measures, at build time, the letters of the faces that stand in for the
// fonts drawings name, and writes their widths as a table for the drawing host,
// which measures texts without a font engine (TextMetrics.h names the faces,
// their files and the code points kept).
//
//   quoril_font_widths <font folder> <output .cpp>
//
// Each face is read from its file by path, never looked up among the fonts the
// machine has: the table is the same wherever the build runs. Advances are in
// the face's own units (read at one pixel per unit, unhinted), with the face's
// cap height and em, and the mean advance of the letters a-z for code points
// the table does not hold.

#include <QFile>
#include <QGuiApplication>
#include <QRawFont>
#include <QString>
#include <QVector>

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/acad/TextMetrics.h"

namespace metrics = acad::TextMetrics;

namespace {

bool Measure(const QString& path, std::size_t index, std::string& out)
{
    // The em in font units first, then the face again at one pixel per unit.
    const QRawFont probe(path, 100, QFont::PreferNoHinting);
    if (!probe.isValid()) return false;
    const double em = probe.unitsPerEm();
    const QRawFont font(path, em, QFont::PreferNoHinting);
    if (!font.isValid()) return false;
    double cap = font.capHeight();
    if (!(cap > 0)) {
        // Faces without a recorded cap height: the height of the letter H.
        const QVector<quint32> h = font.glyphIndexesForString(QStringLiteral("H"));
        cap = h.isEmpty() ? em * 0.7 : font.boundingRect(h[0]).height();
    }
    const std::string name = "kAdvances" + std::to_string(index);
    out += "const std::uint16_t " + name + "[kSlots] = {";
    std::size_t column = 0;
    double meanSum = 0;
    int meanCount = 0;
    for (const metrics::CodeRange& r : metrics::kRanges) {
        for (char32_t c = r.first; c < r.end; ++c) {
            const char32_t one[1] = {c};
            const QString s = QString::fromUcs4(one, 1);
            const QVector<quint32> glyphs = font.glyphIndexesForString(s);
            long advance = 0;
            if (glyphs.size() == 1 && glyphs[0] != 0) {
                const QVector<QPointF> a = font.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
                advance = a.isEmpty() ? 0 : std::lround(a[0].x());
                if (advance < 0 || advance > 65535) advance = 0;
            }
            if (c >= 'a' && c <= 'z' && advance > 0) {
                meanSum += static_cast<double>(advance);
                ++meanCount;
            }
            if (column++ % 16 == 0) out += "\n   ";
            out += " " + std::to_string(advance) + ",";
        }
    }
    out += "\n};\n";
    const double mean = meanCount ? meanSum / meanCount : em / 2;
    char line[160];
    std::snprintf(line, sizeof line, "constexpr FaceWidths kFace%zu{%.6g, %.6g, %.6g, %s};\n\n", index, cap, em, mean,
                  name.c_str());
    out += line;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quoril_font_widths <font folder> <output .cpp>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::string out =
        "// Written by quoril_font_widths from the font files TextMetrics.h names: do not edit.\n"
        "#include \"platform/acad/TextMetrics.h\"\n\n"
        "namespace acad::TextMetrics {\n\nnamespace {\n\n";
    for (std::size_t i = 0; i < metrics::kFaceCount; ++i) {
        const QString path = folder + "/" + QString::fromLatin1(metrics::kFaceFiles[i]);
        if (!Measure(path, i, out)) {
            std::fprintf(stderr,
                         "quoril_font_widths: cannot read the font %s (the fonts-liberation and "
                         "fonts-dejavu-core packages hold it)\n",
                         path.toLocal8Bit().constData());
            return 1;
        }
    }
    out += "}  // namespace\n\nconst FaceWidths kFaceWidths[kFaceCount] = {";
    for (std::size_t i = 0; i < metrics::kFaceCount; ++i) out += (i ? ", kFace" : "kFace") + std::to_string(i);
    out += "};\n";
    std::string literal;
    for (const char c : folder.toStdString()) {
        if (c == '"' || c == '\\') literal += '\\';
        literal += c;
    }
    out += "const char* const kFontFolder = \"" + literal + "\";\n\n}  // namespace acad::TextMetrics\n";

    const QString target = QString::fromLocal8Bit(argv[2]);
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size())) {
        std::fprintf(stderr, "quoril_font_widths: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
