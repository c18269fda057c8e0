#include <gtest/gtest.h>

#include "terrain/modTerreno.h"

// Before any survey is read the model is empty, with the unused entry 0.
TEST(TerrainModel, StartsEmpty) {
    EXPECT_EQ(gNumVertices, 0);
    EXPECT_EQ(gNumTriangulos, 0);
    EXPECT_EQ(gVertices.size(), 1u);
    EXPECT_EQ(gTriangulos.size(), 1u);
}
