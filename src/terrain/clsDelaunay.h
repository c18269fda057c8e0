#pragma once
// The terrain triangulation: turns the survey points of the active drawing
// (POINTs carrying their elevation text in their extended data) into the
// terrain model of modTerreno, which then answers the ground elevation of any
// point. Also saves the model to an Access database, loads it back and draws
// it as 3-D faces.

#include <cstdint>
#include <string>
#include <vector>

class ProgressBar;

class clsDelaunay {
public:
    // Where the long steps report; none: nothing is shown.
    ProgressBar* cProgress = nullptr;

    // Replaces the model by the one stored in the tables TopVertex and
    // TopTriangulos of the database at Path. A missing file, a missing table
    // or column, or rows that do not fit (an Index or vertex number out of
    // range) give a message and leave the model as it was.
    void DbLoad(const std::string& Path);
    // Appends the model (entry 0 included) to the tables tmp_TRIxyz and
    // tmp_Triangs of the database at Path, made from the program folder's
    // template when there is no file yet.
    void DbSave(const std::string& Path);
    // Builds the model from every survey point of the active drawing. Points
    // within 3.0 (in X and in Y) of an earlier kept one are left out, as are
    // points whose elevation text is not a number (one message names them).
    void Execute();
    // Draws every triangle as a 3-D face on the layer "TRIANGULACAO", with
    // the elevations multiplied by Exagero.
    void Draw(double Exagero);

    // Triangulates gVertices 1..nvert into gTriangulos 1..result: the Delaunay
    // triangulation of the points, which covers their convex hull. An
    // enclosing triangle is still written to gVertices nvert+1..nvert+3.
    int32_t Triangulate(int32_t nvert);
    // The elevation of the first kept point within 0.01 of (x, y) in X and in
    // Y; 0 when there is none.
    double RecuperaCota(double x, double y);
    // The box of every triangle.
    void OtimizaMalha();
    // Disables (MaxX = MaxY = 0) every triangle that holds a kept point other
    // than its own vertices.
    void FinalizaMalha();
    // Side of the line (x1, y1)→(x2, y2) on which (xp, yp) lies: -1, 0 or +1
    // (+1 on the right), in exact integer arithmetic.
    static int SinalCruzado(int32_t xp, int32_t yp, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

private:
    void ProgressStart(long long Max, const std::string& Caption);
    void Progress();
};
