// The ground elevation at a point from the terrain model.

#include <cmath>

#include "TerrainTestSupport.h"
#include "terrain/clsDelaunay.h"

using namespace terraintest;

namespace {

// A hand-made model: the vertices and the triangles with their boxes.
void Modelo(const std::vector<VerticeRec>& V, const std::vector<std::array<int32_t, 3>>& T)
{
    CarregaVertices(V);
    gTriangulos.assign(T.size() + 1, TrianguloRec{});
    for (size_t i = 0; i < T.size(); ++i) {
        gTriangulos[i + 1].vv0 = T[i][0];
        gTriangulos[i + 1].vv1 = T[i][1];
        gTriangulos[i + 1].vv2 = T[i][2];
    }
    gNumTriangulos = static_cast<int32_t>(T.size());
    gNumPontos = 0;
    clsDelaunay().OtimizaMalha();
}

double Cota(double x, double y, bool& noModelo) { return CotaNoPonto(Ponto(x, y), noModelo); }

}  // namespace

TEST(ElevationAngle, ZeroRules)
{
    const VerticeRec a{0, 0, 0};
    EXPECT_EQ(AnguloVertice(a, a, {5, 5, 0}), 0);                    // B = A
    EXPECT_EQ(AnguloVertice(a, {-5, 0, 0}, {5, 0, 0}), 0);           // A between B and C
    EXPECT_EQ(AnguloVertice(a, {5, 0, 0}, {9, 0, 0}), 0);            // B and C on one side
    EXPECT_NEAR(AnguloVertice(a, {5, 0, 0}, {0, 3, 0}), 90, 1e-12);  // right angle
    EXPECT_NEAR(AnguloVertice(a, {5, 0, 0}, {-1, 1, 0}), 135, 1e-12);
    EXPECT_NEAR(AnguloVertice({734512.37, 7456789.12, 0}, {734522.37, 7456789.12, 0}, {734512.37, 7456799.12, 0}), 90,
                1e-9);
}

// Inside a triangle: its plane; on a vertex: that vertex; on a side: along
// the side; outside: 0 and not on the model.
TEST(Elevation, TrianglesSidesVerticesAndOutside)
{
    // Two triangles sharing the side (10,0)-(0,10).
    Modelo({{0, 0, 0}, {10, 0, 3}, {0, 10, 6}, {10, 10, 10}}, {{1, 2, 3}, {2, 4, 3}});
    bool no = false;
    EXPECT_NEAR(Cota(10.0 / 3, 10.0 / 3, no), 3, 1e-12);  // centroid of 0, 3, 6
    EXPECT_TRUE(no);
    EXPECT_EQ(Cota(10, 0, no), 3);  // a vertex: no triangle, the vertex answers
    EXPECT_TRUE(no);
    EXPECT_NEAR(Cota(5, 5, no), 4.5, 1e-12);  // on the shared side, between 3 and 6
    EXPECT_TRUE(no);
    EXPECT_NEAR(Cota(5, 0, no), 1.5, 1e-12);  // on an outer side
    EXPECT_TRUE(no);
    // Away from the middle of a side, the nearer end weighs more.
    EXPECT_NEAR(Cota(2, 0, no), 0.6, 1e-12);
    EXPECT_TRUE(no);
    EXPECT_NEAR(Cota(0, 7.5, no), 4.5, 1e-12);
    EXPECT_NEAR(Cota(8, 2, no), 3.6, 1e-9);  // the shared, slanted side
    EXPECT_TRUE(no);
    EXPECT_EQ(Cota(20, 5, no), 0);
    EXPECT_FALSE(no);
    EXPECT_EQ(Cota(10.009, 0.009, no), 3);  // within 0.01 of a vertex, off the model
    EXPECT_TRUE(no);
    EXPECT_EQ(Cota(10.011, 0, no), 0);
    EXPECT_FALSE(no);

    // A level triangle at 10, and a plane that passes through 0 inside its triangle.
    Modelo({{0, 0, 10}, {10, 0, 10}, {0, 10, 10}, {20, 0, -5}, {30, 0, 5}, {20, 10, 5}}, {{1, 2, 3}, {4, 5, 6}});
    EXPECT_EQ(Cota(2, 2, no), 10);
    EXPECT_NEAR(Cota(22.5, 2.5, no), 0, 1e-12);
    EXPECT_TRUE(no);
}

// The first triangle in index order wins; a disabled triangle does not
// answer; a triangle flat in plan gives nothing.
TEST(Elevation, OrderDisabledAndFlatTriangles)
{
    Modelo({{0, 0, 1}, {10, 0, 1}, {0, 10, 1}, {0, 0, 2}, {10, 0, 2}, {0, 10, 2}}, {{4, 5, 6}, {1, 2, 3}});
    bool no;
    EXPECT_EQ(Cota(2, 2, no), 2);
    gTriangulos[1].MaxX = gTriangulos[1].MaxY = 0;  // disabled
    MalhaAlterada();
    EXPECT_EQ(Cota(2, 2, no), 1);
    gTriangulos[2].MaxX = gTriangulos[2].MaxY = 0;
    MalhaAlterada();
    EXPECT_EQ(Cota(2, 2, no), 0);
    EXPECT_FALSE(no);

    Modelo({{0, 0, 1}, {5, 5, 2}, {10, 10, 3}}, {{1, 2, 3}});
    EXPECT_EQ(CotaNoPlano(2, 2, 1), 0);
    EXPECT_EQ(CotaNoPlano(2, 2, 7), 0);  // no such triangle
}

// An earlier, larger model leaves nothing behind that a lookup could find.
TEST(Elevation, EarlierLargerModelDoesNotAnswer)
{
    std::vector<VerticeRec> grande;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j) grande.push_back({100.0 + i * 10, 100.0 + j * 10, 50.0 + i});
    clsDelaunay d;
    CarregaVertices(grande);
    gNumTriangulos = d.Triangulate(400);
    d.OtimizaMalha();
    bool no;
    EXPECT_NEAR(Cota(285, 285, no), 50 + 18.5, 1e-9);
    EXPECT_EQ(Cota(290, 290, no), 69);

    // The new model covers only the first corner; its arrays are replaced.
    const std::vector<VerticeRec> pequeno{{100, 100, 1}, {110, 100, 1}, {100, 110, 1}};
    gVertices.resize(401);  // what an older writer might leave: entries beyond the count
    std::copy(pequeno.begin(), pequeno.end(), gVertices.begin() + 1);
    gNumVertices = 3;
    gNumTriangulos = d.Triangulate(3);
    d.OtimizaMalha();
    EXPECT_EQ(Cota(102, 102, no), 1);
    EXPECT_EQ(Cota(290, 290, no), 0);
    EXPECT_FALSE(no);
}

// Survey points at UTM coordinates: a plane through them is found to the
// millimetre, and every vertex answers with its own elevation.
TEST(Elevation, UtmCoordinates)
{
    std::vector<VerticeRec> v;
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j) {
            const double x = 734000.37 + i * 6.1 + (j % 3) * 0.7, y = 7456000.12 + j * 5.9 + (i % 4) * 0.3;
            v.push_back({x, y, 0.01 * (x - 734000) + 0.02 * (y - 7456000) + 700});
        }
    clsDelaunay d;
    CarregaVertices(v);
    gNumTriangulos = d.Triangulate(1600);
    d.OtimizaMalha();
    bool no;
    for (double fx : {0.13, 0.5, 0.77})
        for (double fy : {0.21, 0.5, 0.93}) {
            const double x = 734010 + fx * 200, y = 7456010 + fy * 200;
            EXPECT_NEAR(Cota(x, y, no), 0.01 * (x - 734000) + 0.02 * (y - 7456000) + 700, 1e-6);
            EXPECT_TRUE(no);
        }
    // A vertex on the outline may answer through the plane of a thin triangle
    // beside it: the same elevation, to rounding.
    for (int k = 1; k <= 1600; k += 37) EXPECT_NEAR(Cota(gVertices[k].X, gVertices[k].Y, no), gVertices[k].Z, 1e-9);
    EXPECT_EQ(Cota(733000, 7456000, no), 0);
}
