#include "SewerTestSupport.h"

#include "cad/CadTestSupport.h"

#include <cmath>
#include <cstdlib>

#include "cad/modAcad.h"
#include "sewer/clsSANDb.h"
#include "sewer/modRedeSAN.h"
#include "shell/modGlobais.h"

namespace sewertest {

std::filesystem::path PastaCatalogo() { return cadtest::PastaDoPrograma(); }

void ExecutaSql(const std::filesystem::path& Banco, const std::string& Sql) { cadtest::ExecutaSql(Banco, Sql); }

std::map<std::string, std::string> Atributos(const acad::BlockReference* Bloco)
{
    std::map<std::string, std::string> m;
    for (acad::AttributeReference* a : Bloco->GetAttributes()) m[a->TagString()] = a->TextString();
    return m;
}

acad::AttributeReference* Atributo(const acad::BlockReference* Bloco, const std::string& Tag)
{
    for (acad::AttributeReference* a : Bloco->GetAttributes())
        if (a->TagString() == Tag) return a;
    ADD_FAILURE() << Bloco->Name() << " sem o atributo " << Tag;
    return nullptr;
}

::testing::AssertionResult Perto(const Ponto& A, const Ponto& B)
{
    if (std::fabs(A.X - B.X) < 1e-9 && std::fabs(A.Y - B.Y) < 1e-9 && std::fabs(A.Z - B.Z) < 1e-9)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << A.X << ", " << A.Y << ", " << A.Z << ") != (" << B.X << ", " << B.Y
                                         << ", " << B.Z << ")";
}

Ponto MeioDoTexto(const acad::Entity* Texto)
{
    acad::Point3d a, b;
    Texto->GetBoundingBox(a, b);
    return Ponto((a.x + b.x) / 2, (a.y + b.y) / 2, 0.0);
}

SewerTest::SewerTest()
{
    gMdbPath = (PastaCatalogo() / "rereva2000r.mdb").string();
    gBlocosPath = PastaCatalogo().string();
    // Where the program finds "acad.lin".
    app->SetSupportFolders({PastaCatalogo()});
    EXPECT_TRUE(clsSANDb().LoadDb()) << "catálogo em " << gMdbPath;
    gPVs.clear();
    gTRs.clear();
    gNumPVs = 0;
    gNumTRs = 0;
    Conecta();
    app->ZoomCenter({0, 0, 0}, 300);
}

std::vector<acad::BlockReference*> SewerTest::Blocos(const std::string& Nome)
{
    std::vector<acad::BlockReference*> v;
    for (acad::BlockReference* b : Todos<acad::BlockReference>())
        if (b->Name() == Nome) v.push_back(b);
    return v;
}

acad::BlockReference* SewerTest::PV(const Ponto& P, const std::string& Numero, const std::string& CS,
                                    const std::string& Tipo)
{
    return des.DrawPV(P, 0.0, Tipo, Numero, "100.000", CS, "1.000", 1, false);
}

}  // namespace sewertest
