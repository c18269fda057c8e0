// End to end: the whole program runs scripts/*.qs of this folder through the
// end-to-end runner. The sewer drawing model has no user path yet (the sewer
// panel comes next), so its operations are given to the scripts as procedures.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "e2e/Runner.h"
#include "e2e/Values.h"
#include "platform/acad/BlockReference.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANDes.h"

using namespace e2e;

namespace {

// The drawing object the sewer panel will own, for the program's run.
clsSANDes& Desenho()
{
    static clsSANDes des;
    return des;
}

// "x,y", or "-" for the drawing object to ask the user.
std::optional<Ponto> PontoOuPergunta(const std::string& Texto)
{
    if (Texto == "-") return std::nullopt;
    const std::optional<Ponto> p = SplitCoords(Texto);
    if (!p) throw std::invalid_argument("not a point: " + Texto);
    return p;
}

int Inteiro(const std::string& Texto)
{
    const std::optional<int> n = ParseInteger(Texto);
    if (!n) throw std::invalid_argument("not a whole number: " + Texto);
    return *n;
}

// The manhole block inserted at P.
acad::BlockReference* PVEm(const Ponto& P)
{
    for (acad::Entity* e : *gModelSpace) {
        auto* b = acad::As<acad::BlockReference>(e);
        if (b && b->Name().compare(0, 4, "E-PV") == 0 && Distancia(b->InsertionPoint(), P) < 0.001) return b;
    }
    throw std::invalid_argument("no manhole at " + FormatNumber(P.X) + "," + FormatNumber(P.Y));
}

// LoadDb: result LoadDb (true/false).
void CallLoadDb(const std::vector<std::string>&, Results& r)
{
    r["LoadDb"] = FormatBool(clsSANDb().LoadDb());
}

// DrawPV POINT|- DEGREES|- Tipo Numero CT CS CP Etapa [Automatico]: results
// DrawPV (true/false) and Handle.
void CallDrawPV(const std::vector<std::string>& a, Results& r)
{
    if (a.size() < 8 || a.size() > 9)
        throw std::invalid_argument("call DrawPV POINT|- DEGREES|- Tipo Numero CT CS CP Etapa [Automatico]");
    std::optional<double> rotacao;
    if (a[1] != "-") rotacao = std::stod(a[1]) * PI / 180;
    const bool automatico = a.size() > 8 && ParseBool(a[8]).value_or(false);
    acad::BlockReference* pv = Desenho().DrawPV(PontoOuPergunta(a[0]), rotacao, a[2], a[3], a[4], a[5], a[6],
                                                Inteiro(a[7]), automatico);
    r["DrawPV"] = FormatBool(pv != nullptr);
    r["Handle"] = pv ? pv->Handle() : "";
}

// DrawTR POINT1 POINT2 Diam Comp Decl MAT Etapa Trecho Pavmto: the reach
// between the manholes at the two points; results DrawTR, HasTQorDG, Handle.
void CallDrawTR(const std::vector<std::string>& a, Results& r)
{
    if (a.size() != 9) throw std::invalid_argument("call DrawTR POINT1 POINT2 Diam Comp Decl MAT Etapa Trecho Pavmto");
    if (!ConectaAcad()) throw std::runtime_error("no drawing");
    std::string codigo;
    acad::BlockReference* tr = Desenho().DrawTR(PVEm(*PontoOuPergunta(a[0])), PVEm(*PontoOuPergunta(a[1])), a[2],
                                                a[3], a[4], a[5], Inteiro(a[6]), a[7], a[8], codigo);
    r["DrawTR"] = FormatBool(tr != nullptr);
    r["HasTQorDG"] = codigo;
    r["Handle"] = tr ? tr->Handle() : "";
}

}  // namespace

TEST(ScriptsDeEsgoto, EveryScriptRunsToItsEnd)
{
    const std::filesystem::path pasta = std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/sewer/scripts";
    Runner runner(OptionsFromEnvironment());
    runner.Register("LoadDb", CallLoadDb);
    runner.Register("DrawPV", CallDrawPV);
    runner.Register("DrawTR", CallDrawTR);
    int scripts = 0;
    for (const auto& f : std::filesystem::directory_iterator(pasta)) {
        if (f.path().extension() != ".qs") continue;
        ++scripts;
        const RunResult r = runner.RunFile(f.path().string());
        EXPECT_TRUE(r.ok) << r.report;
    }
    EXPECT_GT(scripts, 0);
}
