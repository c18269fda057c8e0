// Draws the picture menus of the water materials at build time.
//
//   quoril_material_pictures <catalogue database> <output folder>
//
// For every material of the catalogue it writes three bitmaps of the same size,
// <material>_Flat.bmp, <material>_Move.bmp and <material>_Click.bmp: all buttons
// flat, raised and pressed. The menu cuts the picture into DimX x DimY cells and
// copies a button's rectangle from one of the three pictures, so each picture
// holds every button of the material in the cell its TLHW code gives, drawn from
// the geometry rows of the button's block. Pipe types have no geometry of their
// own and get a pipe with their code under it.

#include <sqlite3.h>

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace {

// The picture menu is 135 x 107 pixels for every material.
constexpr int kWidth = 135;
constexpr int kHeight = 107;

enum class State { Flat, Move, Click };

struct Row {
    std::string s1, s2, s3, s4;
};

struct Button {
    std::string codigo, bloco;
    int row = 0, col = 0, extraRows = 0, extraCols = 0;
};

struct Material {
    std::string name;
    int dimX = 1, dimY = 1;
    std::vector<Button> buttons;
};

class Db {
public:
    explicit Db(const char* path)
    {
        if (sqlite3_open_v2(path, &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            error_ = std::string("cannot open ") + path + ": " + sqlite3_errmsg(db_);
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    const std::string& error() const { return error_; }

    // Runs a query with text parameters and hands each row's columns as texts.
    template <class F>
    bool query(const char* sql, const std::vector<std::string>& params, F&& onRow)
    {
        if (!db_)
            return false;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) {
            error_ = sqlite3_errmsg(db_);
            return false;
        }
        for (std::size_t i = 0; i < params.size(); ++i)
            sqlite3_bind_text(st, static_cast<int>(i + 1), params[i].c_str(), -1, SQLITE_TRANSIENT);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::vector<std::string> cols;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* t = sqlite3_column_text(st, c);
                cols.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
            }
            onRow(cols);
        }
        if (rc != SQLITE_DONE)
            error_ = sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);  // QString reads "." whatever the locale
    return ok ? std::optional<double>(v) : std::nullopt;
}

std::optional<QPointF> point(const std::string& text)
{
    const QStringList parts = QString::fromStdString(text).split(',');
    if (parts.size() < 2)
        return std::nullopt;
    const auto x = number(parts[0]);
    const auto y = number(parts[1]);
    if (!x || !y)
        return std::nullopt;
    return QPointF(*x, *y);
}

// Edges of the menu's cells, as the menu computes them (fractions cut off).
int edge(int size, int k, int count) { return size * k / count; }

QRect cellRect(const Material& m, const Button& b)
{
    return QRect(edge(kWidth, b.col, m.dimX), edge(kHeight, b.row, m.dimY),
                 edge(kWidth, b.extraCols + 1, m.dimX), edge(kHeight, b.extraRows + 1, m.dimY));
}

// A drawn row of a block, parsed once; attributes are not drawn.
struct Shape {
    enum Kind { Line, Circle, Arc, Socket, Text } kind;
    QPointF p, q;          // start and end of a line; centre or position otherwise
    double size = 0;       // radius, or a text's height
    double from = 0, to = 0;  // arc angles, radians counter-clockwise
    QString text;
};

std::vector<Shape> shapes(const std::vector<Row>& rows)
{
    std::vector<Shape> out;
    for (const Row& r : rows) {
        // Texts hold their height in S2 and their point in S3.
        const auto p = point(r.s1 == "Text" ? r.s3 : r.s2);
        if (!p)
            continue;
        Shape s{Shape::Line, *p, *p, 0, 0, 0, {}};
        if (r.s1 == "Line") {
            const auto q = point(r.s3);
            if (!q)
                continue;
            s.q = *q;
        } else if (r.s1 == "Circle" || r.s1 == "Arc") {
            // Water rows: radius in S3, start and end angles in S4.
            const auto radius = number(QString::fromStdString(r.s3));
            if (!radius)
                continue;
            s.size = *radius;
            s.kind = Shape::Circle;
            if (r.s1 == "Arc") {
                const auto angles = point(r.s4);
                if (!angles)
                    continue;
                s.kind = Shape::Arc;
                s.from = angles->x();
                s.to = angles->y();
            }
        } else if (r.s1 == "Point") {
            s.kind = Shape::Socket;
        } else if (r.s1 == "Text") {
            s.kind = Shape::Text;
            s.size = number(QString::fromStdString(r.s2)).value_or(1.0);
            s.text = QString::fromStdString(r.s4).section(',', 0, 0);
        } else {
            continue;
        }
        out.push_back(s);
    }
    return out;
}

QRectF bounds(const std::vector<Shape>& shapes)
{
    QRectF box;
    for (const Shape& s : shapes) {
        QRectF r;
        if (s.kind == Shape::Line)
            r = QRectF(s.p, s.q).normalized().adjusted(-0.01, -0.01, 0.01, 0.01);
        else if (s.kind == Shape::Circle || s.kind == Shape::Arc)
            r = QRectF(s.p.x() - s.size, s.p.y() - s.size, 2 * s.size, 2 * s.size);
        else
            r = QRectF(s.p.x() - 0.5, s.p.y() - 0.5, 1.0, 1.0);
        box = box.isNull() ? r : box.united(r);
    }
    return box;
}

void drawBlock(QPainter& g, const std::vector<Shape>& shapes, const QRectF& area, const QColor& ink)
{
    const QRectF box = bounds(shapes);
    const double scale = std::min(area.width() / box.width(), area.height() / box.height());
    const QPointF centre = area.center();
    auto map = [&](QPointF p) {
        return QPointF(centre.x() + (p.x() - box.center().x()) * scale,
                       centre.y() - (p.y() - box.center().y()) * scale);  // block Y points up
    };
    g.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    for (const Shape& s : shapes) {
        const QPointF c = map(s.p);
        const double r = s.size * scale;
        switch (s.kind) {
        case Shape::Line:
            g.drawLine(c, map(s.q));
            break;
        case Shape::Circle:
            g.drawEllipse(c, r, r);
            break;
        case Shape::Arc: {
            double sweep = s.to - s.from;
            while (sweep <= 0)
                sweep += 2 * std::numbers::pi;
            auto sixteenths = [](double radians) {
                return static_cast<int>(std::lround(radians * 180 / std::numbers::pi * 16));
            };
            g.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), sixteenths(s.from), sixteenths(sweep));
            break;
        }
        case Shape::Socket:
            g.save();
            g.setPen(Qt::NoPen);
            g.setBrush(QColor(200, 0, 0));
            g.drawEllipse(c, 1.8, 1.8);
            g.restore();
            break;
        case Shape::Text: {
            QFont font = g.font();
            font.setPixelSize(std::max(6, static_cast<int>(std::lround(r))));
            g.save();
            g.setFont(font);
            g.drawText(QRectF(c.x() - 20, c.y() - 10, 40, 20), Qt::AlignCenter, s.text);
            g.restore();
            break;
        }
        }
    }
}

void drawPipe(QPainter& g, const QRectF& area, const QString& caption, const QColor& ink)
{
    const double y = area.top() + area.height() * 0.38;
    const double x0 = area.left() + 3, x1 = area.right() - 3;
    g.setPen(QPen(ink, 1.4));
    g.setBrush(Qt::NoBrush);
    g.drawLine(QPointF(x0 + 7, y - 2.5), QPointF(x1, y - 2.5));
    g.drawLine(QPointF(x0 + 7, y + 2.5), QPointF(x1, y + 2.5));
    g.drawRect(QRectF(x0, y - 4.5, 7, 9));  // the socket end
    QFont font = g.font();
    font.setPixelSize(9);
    g.setFont(font);
    g.drawText(QRectF(area.left(), y + 5, area.width(), area.bottom() - y - 5), Qt::AlignHCenter | Qt::AlignTop, caption);
}

void bevel(QPainter& g, const QRect& r, bool raised)
{
    const QColor light(255, 255, 255), dark(128, 128, 128);
    const QRect b = r.adjusted(1, 1, -2, -2);
    g.setPen(raised ? light : dark);
    g.drawLine(b.topLeft(), b.topRight());
    g.drawLine(b.topLeft(), b.bottomLeft());
    g.setPen(raised ? dark : light);
    g.drawLine(b.bottomLeft(), b.bottomRight());
    g.drawLine(b.topRight(), b.bottomRight());
}

QImage drawMenu(const Material& m, const std::vector<std::vector<Shape>>& geometry, State state)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor(212, 208, 200));
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < m.buttons.size(); ++i) {
        const Button& b = m.buttons[i];
        const QRect cell = cellRect(m, b);
        QColor ink(0, 0, 128);
        if (state == State::Click)
            g.fillRect(cell.adjusted(1, 1, -1, -1), QColor(190, 186, 178));
        if (state != State::Flat) {
            g.setRenderHint(QPainter::Antialiasing, false);
            bevel(g, cell, state == State::Move);
            g.setRenderHint(QPainter::Antialiasing);
            ink = state == State::Move ? QColor(0, 0, 210) : QColor(0, 0, 90);
        }
        QRectF area = QRectF(cell).adjusted(4, 4, -4, -4);
        if (state == State::Click)
            area.translate(1, 1);
        const QRectF box = bounds(geometry[i]);
        if (box.width() <= 0 || box.height() <= 0)
            drawPipe(g, area, QString::fromStdString(b.codigo), ink);
        else
            drawBlock(g, geometry[i], area, ink);
    }
    g.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "quoril_material_pictures: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail("usage: quoril_material_pictures <catalogue database> <output folder>");
    QGuiApplication app(argc, argv);
    Db db(argv[1]);
    if (!db.error().empty())
        return fail(db.error());

    std::vector<Material> materials;
    if (!db.query("SELECT Material, DimX, DimY FROM A_Materiais ORDER BY Material", {},
                  [&](const std::vector<std::string>& c) {
                      Material m;
                      m.name = c[0];
                      m.dimX = std::max(1, std::atoi(c[1].c_str()));
                      m.dimY = std::max(1, std::atoi(c[2].c_str()));
                      materials.push_back(m);
                  }))
        return fail("A_Materiais: " + db.error());

    const QString folder = QString::fromLocal8Bit(argv[2]);
    for (Material& m : materials) {
        // The buttons of a material are its fittings that have a block and diameters.
        const char* buttons =
            "SELECT codigo, bloco, TLHW FROM A_Conexoes c WHERE material = ?1 AND bloco IS NOT NULL "
            "AND EXISTS (SELECT 1 FROM A_Diams d WHERE d.codigo = c.codigo) ORDER BY TLHW, conexao";
        bool bad = false;
        if (!db.query(buttons, {m.name}, [&](const std::vector<std::string>& c) {
                Button b;
                b.codigo = c[0];
                b.bloco = c[1];
                const std::string& t = c[2];
                if (t.size() != 4 || t.find_first_not_of("0123456789") != std::string::npos) {
                    bad = true;
                    return;
                }
                b.row = t[0] - '0';
                b.col = t[1] - '0';
                b.extraRows = t[2] - '0';
                b.extraCols = t[3] - '0';
                m.buttons.push_back(b);
            }))
            return fail("A_Conexoes: " + db.error());
        if (bad)
            return fail("a TLHW of " + m.name + " is not four digits");

        std::vector<std::vector<Shape>> geometry;
        for (const Button& b : m.buttons) {
            std::vector<Row> rows;
            if (!db.query("SELECT S1, S2, S3, S4 FROM A_DXFs WHERE Bloco = ?1 ORDER BY S1, S4", {b.bloco},
                          [&](const std::vector<std::string>& c) { rows.push_back({c[0], c[1], c[2], c[3]}); }))
                return fail("A_DXFs: " + db.error());
            geometry.push_back(shapes(rows));
        }

        const QString base = folder + '/' + QString::fromStdString(m.name);
        const struct {
            State state;
            const char* suffix;
        } pictures[] = {{State::Flat, "_Flat.bmp"}, {State::Move, "_Move.bmp"}, {State::Click, "_Click.bmp"}};
        for (const auto& p : pictures) {
            const QString path = base + QLatin1String(p.suffix);
            if (!drawMenu(m, geometry, p.state).save(path, "BMP"))
                return fail("cannot write " + path.toStdString());
        }
    }
    return 0;
}
