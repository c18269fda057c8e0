// Numbers as text and plane geometry: fixed rules whatever the locale, the
// direction and intersection rules, coordinate texts, and arcs, bulges and
// ellipses as point lists (half circles and larger ones included).

#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <stdexcept>

#include "CadTestSupport.h"
#include "cad/modGeometria.h"

using namespace cadtest;

namespace {

// A locale whose decimal separator is a comma, as the system's users have.
struct Virgula : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

class LocaleComVirgula {
public:
    LocaleComVirgula() : antes_(std::locale::global(std::locale(std::locale::classic(), new Virgula))) {}
    ~LocaleComVirgula() { std::locale::global(antes_); }

private:
    std::locale antes_;
};

// Every point of the list lies on the circle of centre C and radius R.
void ExpectNoCirculo(const std::vector<double>& L, const Ponto& C, double R)
{
    for (const Ponto& p : Vertices(L)) EXPECT_NEAR(Distancia(C, p), R, 1e-9);
}

}  // namespace

TEST(Numeros, FormatNumRoundsTheDecimalHalfAwayFromZeroWithAPoint)
{
    LocaleComVirgula virgula;
    EXPECT_EQ(FormatNum(2.5, 0), "3");
    EXPECT_EQ(FormatNum(-2.5, 0), "-3");
    EXPECT_EQ(FormatNum(1234.5678, 2), "1234.57");
    EXPECT_EQ(FormatNum(0.1, 3), "0.100");
    EXPECT_EQ(FormatNum(12, -1), "12");
    // The decimal as written, not the binary value below it.
    EXPECT_EQ(FormatNum(2.675, 2), "2.68");
    EXPECT_EQ(FormatNum(1.005, 2), "1.01");
    EXPECT_EQ(FormatNum(-0.125, 2), "-0.13");
    EXPECT_EQ(FormatNum(9.9996, 3), "10.000");
    EXPECT_EQ(FormatNum(999999.5, 0), "1000000");
    EXPECT_EQ(FormatNum(0.0004, 3), "0.000");
    EXPECT_EQ(FormatNum(-0.0004, 3), "0.000");  // no negative zero in attributes
    EXPECT_EQ(FormatNum(0, 2), "0.00");
    EXPECT_EQ(FormatNum(7350123.456789, 4), "7350123.4568");
    EXPECT_EQ(FormatNum(1e20, 1), "100000000000000000000.0");
    EXPECT_EQ(FormatNum(123456789012345678.0, 0), "123456789012346000");  // 15 significant digits
}

TEST(Numeros, StrToDblReadsPointOrCommaAndRefusesTheRest)
{
    LocaleComVirgula virgula;
    EXPECT_DOUBLE_EQ(StrToDbl("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToDbl("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToDbl("  -12,25 "), -12.25);
    EXPECT_DOUBLE_EQ(StrToDbl("+3"), 3.0);
    EXPECT_DOUBLE_EQ(StrToDbl(",5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToDbl("5."), 5.0);
    EXPECT_DOUBLE_EQ(StrToDbl("1,5E3"), 1500.0);
    EXPECT_DOUBLE_EQ(StrToDbl("2e-2"), 0.02);
    EXPECT_DOUBLE_EQ(StrToDbl("1e-400"), 0.0);  // too small for a double: zero
    EXPECT_DOUBLE_EQ(StrToDbl(""), 0.0);
    EXPECT_DOUBLE_EQ(StrToDbl("."), 0.0);
    EXPECT_DOUBLE_EQ(StrToDbl(","), 0.0);
    for (const char* ruim : {"abc", "1.234,5", "1,2,3", "   ", "-", "1e", "e5", "12a", "1 2", "--1", "1e400"}) {
        EXPECT_THROW(StrToDbl(ruim), std::invalid_argument) << ruim;
        EXPECT_FALSE(IsNumero(ruim)) << ruim;
    }
    try {
        StrToDbl("abc");
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("\"abc\""), std::string::npos);
    }
    EXPECT_TRUE(IsNumero("101,25"));
    EXPECT_TRUE(IsNumero(""));
}

TEST(Geometria, DistanceDirectionAndPolarPointsWorkInThePlane)
{
    EXPECT_DOUBLE_EQ(Distancia(Ponto(0, 0, 5), Ponto(3, 4, -5)), 5.0);
    EXPECT_DOUBLE_EQ(Distancia(Ponto(1, 1), Ponto(1, 1, 0)), 0.0);
    EXPECT_DOUBLE_EQ(Azimute(Ponto(0, 0), Ponto(0, 1)), PI / 2);
    EXPECT_DOUBLE_EQ(Azimute(Ponto(2, 2), Ponto(2, 2)), 1.5 * PI);
    EXPECT_DOUBLE_EQ(Azimute(Ponto(0, 0), Ponto(1, -1)), 7 * PI / 4);
    EXPECT_DOUBLE_EQ(Azimute(Ponto(0, 0), Ponto(-1, -1)), 5 * PI / 4);
    EXPECT_DOUBLE_EQ(Azimute(Ponto(0, 0), Ponto(-1, 0)), PI);
    EXPECT_DOUBLE_EQ(Azimute(Ponto(0, 0), Ponto(1, 0)), 0.0);
    // Nearly vertical counts as vertical.
    EXPECT_DOUBLE_EQ(Azimute(Ponto(0, 0), Ponto(0.00005, -10)), 1.5 * PI);
    for (double a = 0; a < 6.28; a += 0.1) {
        const double az = Azimute(Ponto(1, 1), PontoPolar(Ponto(1, 1), a, 10));
        EXPECT_NEAR(az, a, 1e-9);
        EXPECT_LT(az, 2 * PI);
    }

    const Ponto p = PontoPolar(Ponto(1, 2, 9), PI / 2, 3);
    ExpectPonto(p, 1, 5);
    EXPECT_EQ(p.Z, 0.0);
    EXPECT_TRUE(p.TemZ);
    EXPECT_EQ(Ponto3D(1, 2, 3), Ponto(1, 2, 3));
    EXPECT_EQ(JanelaPonto(Ponto(10, 20), true, 2.5), Ponto(12.5, 22.5, 0));
    EXPECT_EQ(JanelaPonto(Ponto(10, 20), false, 2.5), Ponto(7.5, 17.5, 0));

    double maior = 0, menor = 0;
    OrdenaJanela(3, -1, 2, maior, menor);
    EXPECT_EQ(maior, 3);
    EXPECT_EQ(menor, -1);
    OrdenaJanela(5, 4, 4, maior, menor);
    EXPECT_EQ(maior, 5);
    EXPECT_EQ(menor, 4);
    EXPECT_EQ(AppendArray({1, 2}, {3, 4, 5}), (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(AppendArray({}, {}), std::vector<double>{});
}

TEST(Geometria, IntersectionOfTwoLinesOrOfThePerpendicularAndNoneForParallels)
{
    auto i = Intersecao(Ponto(0, 0), Ponto(10, 10), Ponto(0, 10), Ponto(10, 0));
    ASSERT_TRUE(i);
    ExpectPonto(*i, 5, 5);
    i = Intersecao(Ponto(3, -5), Ponto(3, 5), Ponto(-1, 2), Ponto(8, 2));  // vertical × horizontal
    ASSERT_TRUE(i);
    EXPECT_EQ(*i, Ponto(3, 2, 0));

    // The foot of the perpendicular from P3, and the second point it used.
    std::optional<Ponto> p4;
    i = Intersecao(Ponto(0, 0), Ponto(10, 10), Ponto(0, 10), p4);
    ASSERT_TRUE(i);
    ExpectPonto(*i, 5, 5);
    ASSERT_TRUE(p4);
    EXPECT_EQ(*p4, Ponto(100, -90, 0));
    p4.reset();
    i = Intersecao(Ponto(0, 0), Ponto(10, 0), Ponto(4, 7), p4);  // horizontal
    EXPECT_EQ(*p4, Ponto(4, 107, 0));
    EXPECT_EQ(*i, Ponto(4, 0, 0));
    p4.reset();
    i = Intersecao(Ponto(2, 0), Ponto(2, 10), Ponto(4, 7), p4);  // vertical
    EXPECT_EQ(*p4, Ponto(104, 7, 0));
    EXPECT_EQ(*i, Ponto(2, 7, 0));

    // Parallel lines of every direction meet nowhere, collinear ones neither.
    EXPECT_FALSE(Intersecao(Ponto(0, 0), Ponto(10, 10), Ponto(0, 1), Ponto(3, 4)));
    EXPECT_FALSE(Intersecao(Ponto(0, 0), Ponto(10, 0), Ponto(0, 1), Ponto(5, 1)));
    EXPECT_FALSE(Intersecao(Ponto(0, 0), Ponto(0, 10), Ponto(1, 0), Ponto(1, 5)));
    EXPECT_FALSE(Intersecao(Ponto(0, 0), Ponto(1, 3), Ponto(2, 6), Ponto(3, 9)));
    EXPECT_FALSE(Intersecao(Ponto(0.1, 0.2), Ponto(0.4, 0.7), Ponto(1.1, 0.2), Ponto(1.4, 0.7)));
    // Nearly parallel lines still meet, far away.
    i = Intersecao(Ponto(0, 0), Ponto(1000, 1), Ponto(0, 1), Ponto(1000, 1.5));
    ASSERT_TRUE(i);
    ExpectPonto(*i, 2000, 2, 1e-6);
}

TEST(Geometria, DeflectionAngleInDegreesZeroWhenUndefined)
{
    EXPECT_NEAR(AnguloDeflexao(Ponto(0, 0), Ponto(1, 0), Ponto(0, 1)), 90.0, 1e-9);
    EXPECT_NEAR(AnguloDeflexao(Ponto(0, 0), Ponto(1, 0), Ponto(-1, 1)), 135.0, 1e-9);
    EXPECT_NEAR(AnguloDeflexao(Ponto(0, 0), Ponto(1, 0), Ponto(1, -1)), 45.0, 1e-9);
    EXPECT_EQ(AnguloDeflexao(Ponto(0, 0), Ponto(1, 0), Ponto(5, 0)), 0.0);
    EXPECT_EQ(AnguloDeflexao(Ponto(0, 0), Ponto(0, 0), Ponto(5, 0)), 0.0);
    EXPECT_EQ(AnguloDeflexao(Ponto(0, 0), Ponto(1, 0), Ponto(-3, 0)), 0.0);
}

TEST(Textos, CoordinateTextsOfTwoOrThreeValues)
{
    LocaleComVirgula virgula;
    EXPECT_EQ(SplitCoords("12.5,7"), Ponto(12.5, 7, 0));
    EXPECT_EQ(SplitCoords("1,2,3"), Ponto(1, 2, 3));
    EXPECT_EQ(SplitCoords("1,2.5,0"), Ponto(1, 2.5, 0));
    EXPECT_EQ(SplitCoords(" 10 , -4.25 "), Ponto(10, -4.25, 0));
    EXPECT_EQ(SplitCoords(","), Ponto(0, 0, 0));
    EXPECT_FALSE(SplitCoords("12.5"));
    EXPECT_FALSE(SplitCoords("a,2"));
    EXPECT_FALSE(SplitCoords("1,2,3,4"));
    EXPECT_FALSE(SplitCoords(""));

    EXPECT_EQ(JoinCoords(Ponto(1.005, -2, 99), 2), "1.01,-2.00");
    EXPECT_EQ(JoinCoords(Ponto(350123.4, 7412345.6), 0), "350123,7412346");
    EXPECT_EQ(SplitCoords(JoinCoords(Ponto(1.25, 2.5), 3)), Ponto(1.25, 2.5, 0));
}

TEST(Arcos, BulgesBecomeArcsOfTheirTrueSizeOnTheirOwnSide)
{
    // No bulges: the vertices unchanged.
    const std::vector<double> quadrado{0, 0, 10, 0, 10, 10, 0, 10};
    EXPECT_EQ(DensifyBulges(quadrado, {0, 0, 0, 0}, 1), quadrado);
    EXPECT_EQ(DensifyBulges(quadrado, {}, 1), quadrado);

    // Bulge 0.5 on a chord of 10, step 1: radius 6.25, sweep 106.26°, length
    // 11.59, 11 chords: 12 points from P1 to P2, then P2 again.
    auto L = DensifyBulges({0, 0, 10, 0}, {0.5, 0}, 1);
    auto v = Vertices(L);
    ASSERT_EQ(v.size(), 13u);
    ExpectPonto(v.front(), 0, 0);
    ExpectPonto(v[11], 10, 0);
    ExpectPonto(v[12], 10, 0);
    // Counterclockwise from (0,0) to (10,0): the arc bulges below the chord.
    const Ponto centro(5, 6.25 - 2.5);  // sagitta 2.5
    double minY = 0;
    for (std::size_t k = 0; k < 12; ++k) {
        EXPECT_NEAR(Distancia(centro, v[k]), 6.25, 1e-9);
        minY = std::min(minY, v[k].Y);
    }
    EXPECT_NEAR(minY, -2.5, 0.05);

    // A half circle (bulge 1) and a three-quarter arc (bulge tan(67.5°)),
    // clockwise: sweep and side kept.
    L = DensifyBulges({0, 0, 10, 0}, {-1, 0}, 1);
    v = Vertices(L);
    ASSERT_EQ(v.size(), 17u);  // 15.7 long: 15 chords, 16 points, then the end again
    double maxY = 0;
    for (std::size_t k = 0; k < 16; ++k) {
        EXPECT_NEAR(Distancia(Ponto(5, 0), v[k]), 5.0, 1e-9);
        EXPECT_GT(v[k].Y, -1e-9);  // clockwise from (0,0) to (10,0): over the top
        maxY = std::max(maxY, v[k].Y);
    }
    EXPECT_NEAR(maxY, 5.0, 0.05);
    ExpectPonto(v[15], 10, 0);

    const double b = std::tan(270.0 / 4 * PI / 180);
    L = DensifyBulges({0, 0, 10, 0}, {b, 0}, 0.5);
    v = Vertices(L);
    const double raio = 5 / std::sin(135 * PI / 180);
    const Ponto c(5, -5);  // a larger arc has its centre on its own side of the chord
    const double comprimento = raio * 1.5 * PI;
    ASSERT_EQ(v.size(), static_cast<std::size_t>(std::floor(comprimento / 0.5)) + 2);
    for (std::size_t k = 0; k + 1 < v.size(); ++k) EXPECT_NEAR(Distancia(c, v[k]), raio, 1e-9);
    ExpectPonto(v[v.size() - 2], 10, 0);
    minY = 0;
    for (const Ponto& p : v) minY = std::min(minY, p.Y);
    EXPECT_NEAR(minY, -5 - raio, 0.05);

    // The last vertex's bulge closes the ring; an arc shorter than the step
    // stays a chord, and so does any arc without a step.
    L = DensifyBulges({0, 0, 10, 0}, {0, 1}, 1);
    v = Vertices(L);
    ASSERT_EQ(v.size(), 17u);
    ExpectPonto(v[1], 10, 0);
    ExpectPonto(v[16], 0, 0);
    EXPECT_EQ(DensifyBulges({0, 0, 1, 0}, {0.1, 0}, 5), (std::vector<double>{0, 0, 1, 0}));
    EXPECT_EQ(DensifyBulges({0, 0, 10, 0}, {1, 0}, 0), (std::vector<double>{0, 0, 10, 0}));
    EXPECT_THROW(DensifyBulges({0, 0, 10, 0}, {1, 0}, 1e-9), std::invalid_argument);
}

TEST(Arcos, ArcsRunCounterclockwiseOverTheirWholeSweep)
{
    // A quarter: 15.7 long, step 1 → 16 points from 0 to 90°.
    auto L = ArcoPontos(Ponto(1, 1), 10, 0, PI / 2, 1);
    auto v = Vertices(L);
    ASSERT_EQ(v.size(), 16u);
    ExpectPonto(v.front(), 11, 1);
    ExpectPonto(v.back(), 1, 11);
    ExpectNoCirculo(L, Ponto(1, 1), 10);

    // From 90° counterclockwise to 0°: three quarters, not one.
    L = ArcoPontos(Ponto(0, 0), 10, PI / 2, 0, 1);
    v = Vertices(L);
    ASSERT_EQ(v.size(), 48u);  // 47.1 long
    ExpectPonto(v.front(), 0, 10);
    for (const Ponto& p : v) EXPECT_FALSE(p.X > 1e-9 && p.Y > 1e-9);  // nothing in the first quadrant
    ExpectPonto(v.back(), 10, 0);

    // Half circle, whole circle, a clockwise edge given as negative angles.
    v = Vertices(ArcoPontos(Ponto(0, 0), 1, 0, PI, 0.5));
    ASSERT_EQ(v.size(), 7u);
    ExpectPonto(v[3], 0, 1);
    v = Vertices(ArcoPontos(Ponto(0, 0), 1, 0, 2 * PI, 1));
    ASSERT_EQ(v.size(), 7u);
    ExpectPonto(v.back(), 1, 0);
    ExpectPonto(v[3], -1, 0);
    v = Vertices(ArcoPontos(Ponto(0, 0), 10, -PI / 2, 0, 5));
    ASSERT_EQ(v.size(), 4u);
    ExpectPonto(v.front(), 0, -10);
    ExpectPonto(v.back(), 10, 0);

    // A step longer than the arc, or none: the two ends.
    EXPECT_EQ(Vertices(ArcoPontos(Ponto(0, 0), 1, 0, 0.5, 5)).size(), 2u);
    EXPECT_EQ(Vertices(ArcoPontos(Ponto(0, 0), 1, 0, 0.5, 0)).size(), 2u);
}

TEST(Arcos, EllipsesGiveAWholeTurnAndNothingIsDrawn)
{
    // Major axis (4, 0), ratio 0.5, step 1 over the whole turn: 25 chords, 26 points.
    auto L = CirculoPontos(Ponto(10, 10), Ponto(4, 0), 0.5, 1, 0, 2 * PI);
    auto v = Vertices(L);
    ASSERT_EQ(v.size(), 26u);
    ExpectPonto(v.front(), 14, 10);
    ExpectPonto(v.back(), 14, 10);
    for (const Ponto& p : v) {
        const double x = (p.X - 10) / 4, y = (p.Y - 10) / 2;
        EXPECT_NEAR(x * x + y * y, 1.0, 1e-9);
    }
    // A rotated axis: the minor axis turns with it.
    v = Vertices(CirculoPontos(Ponto(0, 0), Ponto(0, 3), 1.0 / 3, 0.9, 0, 2 * PI));  // steps of 18°
    ExpectPonto(v.front(), 0, 3);
    bool passaNoMenor = false;
    for (const Ponto& p : v) passaNoMenor |= std::fabs(p.X + 1) < 1e-9 && std::fabs(p.Y) < 1e-9;
    EXPECT_TRUE(passaNoMenor);

    // A quarter arc: its points only, from its start to its end.
    v = Vertices(CirculoPontos(Ponto(0, 0), Ponto(4, 0), 0.5, 1, 0, PI / 2));
    ASSERT_EQ(v.size(), 7u);  // n = 6, step π/12
    ExpectPonto(v.front(), 4, 0);
    ExpectPonto(v.back(), 0, 2);
    // A step longer than the arc: the arc's two ends.
    v = Vertices(CirculoPontos(Ponto(0, 0), Ponto(4, 0), 0.5, 100, 0, PI / 2));
    ASSERT_EQ(v.size(), 2u);
    ExpectPonto(v[0], 4, 0);
    ExpectPonto(v[1], 0, 2);
}
