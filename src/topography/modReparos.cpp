#include "topography/modReparos.h"

#include <cctype>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/Spline.h"
#include "platform/acad/TextEntities.h"
#include "shell/ProgressBar.h"
#include "shell/modMensagem.h"

namespace {

constexpr int acSelectionSetAll = 5;

// The box holds digits only when typed; a text set otherwise reads as its
// leading digits, none as 0.
int OrdemDoTexto(const std::string& Texto)
{
    std::size_t i = 0;
    while (i < Texto.size() && std::isspace(static_cast<unsigned char>(Texto[i]))) ++i;
    long long v = 0;
    for (; i < Texto.size() && std::isdigit(static_cast<unsigned char>(Texto[i])); ++i) {
        v = v * 10 + (Texto[i] - '0');
        if (v > 1000) break;
    }
    return static_cast<int>(v);
}

void Desce(acad::Entity& e, double z) { e.Move({0, 0, 0}, {0, 0, -z}); }

// Every third value (the Z of each x,y,z triple) made 0; true when any was not.
bool ZeraTerceiros(std::vector<double>& xyz)
{
    bool mudou = false;
    for (std::size_t i = 2; i < xyz.size(); i += 3) {
        if (xyz[i] != 0) mudou = true;
        xyz[i] = 0;
    }
    return mudou;
}

// Brings one entity to elevation 0 by its kind; false for a kind left alone.
bool ZeraZ(acad::Entity& e)
{
    const std::string nome = e.ObjectName();
    if (nome == "AcDbBlockReference") {
        Desce(e, static_cast<acad::BlockReference&>(e).InsertionPoint().z);
    } else if (nome == "AcDbLine") {
        auto& l = static_cast<acad::Line&>(e);
        acad::Point3d a = l.StartPoint(), b = l.EndPoint();
        a.z = 0;
        b.z = 0;
        l.SetStartPoint(a);
        l.SetEndPoint(b);
    } else if (nome == "AcDbText") {
        Desce(e, static_cast<acad::TextBase&>(e).InsertionPoint().z);
    } else if (nome == "AcDbMText") {
        Desce(e, static_cast<acad::MText&>(e).InsertionPoint().z);
    } else if (nome == "AcDbArc") {
        Desce(e, static_cast<acad::Arc&>(e).Center().z);
    } else if (nome == "AcDbCircle") {
        Desce(e, static_cast<acad::Circle&>(e).Center().z);
    } else if (nome == "AcDbEllipse") {
        Desce(e, static_cast<acad::Ellipse&>(e).Center().z);
    } else if (nome == "AcDbPolyline") {
        Desce(e, static_cast<acad::LWPolyline&>(e).Elevation());
    } else if (nome == "AcDb2dPolyline") {
        Desce(e, static_cast<acad::Polyline2D&>(e).Elevation());
    } else if (nome == "AcDb3dPolyline") {
        auto& p = static_cast<acad::Polyline3D&>(e);
        std::vector<double> xyz = p.Coordinates();
        if (ZeraTerceiros(xyz)) p.SetCoordinates(xyz);
    } else if (nome == "AcDbSpline") {
        auto& s = static_cast<acad::Spline&>(e);
        std::vector<double> xyz = s.ControlPoints();
        if (ZeraTerceiros(xyz)) s.SetControlPoints(xyz);
    } else if (nome == "AcDbPoint") {
        Desce(e, static_cast<acad::Point&>(e).Coordinates().z);
    } else {
        return false;
    }
    return true;
}

}  // namespace

void CorrigeHatch()
{
    if (!ConectaAcad()) return;
    Ponto p;
    bool falhou = false;
    acad::Entity* hatch = AtivaAcad("Selecione Hachura:", 0, p, falhou, "AcDbHatch");
    if (falhou || !hatch) return;
    const acad::Point3d origem{0, 0, 0};
    hatch->Move(p, origem);
    // Whatever the host answers, the hatch goes back where the user had it.
    try {
        gAcadDoc->SendCommand("-HATCHEDIT\r(handent " + acad::CommandWord(hatch->Handle()) + ")\r\r\r\r\r");
    } catch (...) {
        if (!hatch->IsErased()) hatch->Move(origem, p);
        throw;
    }
    hatch->Move(origem, p);
}

void MedirLevantamento(ProgressBar& Progresso)
{
    if (!ConectaAcad()) return;
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(acSelectionSetAll, {}, {}, {0, 8}, {acad::Variant("LWPOLYLINE"), acad::Variant("EIXO_RUA")});
    double total = 0;
    Progresso.Progress_Start(ss->Count());
    for (acad::Entity* e : *ss) {
        double comprimento = 0;
        if (CurvaParaPontos(e, comprimento, std::nullopt, 1.0)) total += comprimento;
        Progresso.Progress();
    }
    Progresso.Progress_Start(0);
    ExibeMensagem(0, "Medindo Levantamento",
                  "O Layer EIXO_RUA possui " + FormatNum(total / 1000, 3) + " Km de LWPolylines.");
}

void SplineParaPline(const std::string& Ordem, ProgressBar& Progresso)
{
    const int n = OrdemDoTexto(Ordem);
    if (n < 4 || n > 26) {
        ExibeMensagem(0, "Atenção", "O numero de pontos de suavização é entre 4 e 26");
        return;
    }
    if (!ConectaAcad()) return;
    AtivaJanelaAcad();
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->SelectOnScreen({0}, {acad::Variant("SPLINE")});
    if (ss->Count() == 0) return;
    const std::vector<acad::Entity*> splines = ss->Items();
    Progresso.SetEnabledTimer(true);
    Progresso.Progress_Start(static_cast<long long>(splines.size()));
    for (acad::Entity* e : splines) {
        auto* s = dynamic_cast<acad::Spline*>(e);
        if (!s || s->IsErased()) {
            Progresso.Progress();
            continue;
        }
        const int c = s->NumberOfControlPoints();
        // The host raises an order only upwards: a spline already of this
        // order or more is converted as it stands.
        if (s->Degree() + 1 < n) {
            s->ElevateOrder(n);
            s->Update();
        }
        acad::Polyline2D* pl = gModelSpace->AddPolyline(s->ControlPoints());
        s->Delete();
        if (n <= c) pl->SetType(acad::PolylineType::CubicSpline);
        pl->Update();
        Progresso.Progress();
    }
    Progresso.Progress_Start(0);
}

void CoordenadaZZero(ProgressBar& Progresso)
{
    if (!ConectaAcad()) return;
    AtivaJanelaAcad();
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->SelectOnScreen();
    const std::vector<acad::Entity*> escolhidos = ss->Items();
    Progresso.SetEnabledTimer(true);
    Progresso.Progress_Start(static_cast<long long>(escolhidos.size()));
    for (acad::Entity* e : escolhidos) {
        if (!e->IsErased() && ZeraZ(*e)) e->Update();
        Progresso.Progress();
    }
    Progresso.Progress_Start(0, "");
}
