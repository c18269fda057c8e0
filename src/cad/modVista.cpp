#include "cad/modVista.h"

#include <cmath>

#include "cad/modAcad.h"
#include "platform/acad/OtherEntities.h"
#include "platform/ProcessState.h"

VistaSalva gVistaSalva;

namespace {
const platform::ProcessStateReset kResetVista([] { gVistaSalva = VistaSalva{}; });
}  // namespace

void ZoomTudo() { gAcadApp->ZoomExtents(); }

void ZoomCentro(const Ponto& P, double Altura)
{
    if (Altura != 0) gAcadApp->ZoomCenter(P, Altura);
}

void ZoomJanela(const Ponto& Canto1, const Ponto& Canto2, double Fator)
{
    gAcadApp->ZoomWindow(Canto1, Canto2);
    gAcadApp->ZoomScaled(Fator, acad::acZoomScaledRelative);
}

bool PontoForaDaVista(const Ponto& P)
{
    const acad::Point3d c = gAcadDoc->GetVariable("VIEWCTR").AsPoint();
    const double h = 0.95 * gAcadDoc->GetVariable("VIEWSIZE").AsDouble();
    const acad::Point3d tela = gAcadDoc->GetVariable("SCREENSIZE").AsPoint();
    const double w = h * tela.x / tela.y;
    return !(std::fabs(P.X - c.x) <= w / 2 && std::fabs(P.Y - c.y) <= h / 2);
}

void SalvaVista()
{
    if (!ConectaAcad()) return;
    gVistaSalva.Centro = gAcadDoc->GetVariable("VIEWCTR").AsPoint();
    gVistaSalva.Altura = gAcadDoc->GetVariable("VIEWSIZE").AsDouble();
}

void RestauraVista() { ZoomCentro(gVistaSalva.Centro, gVistaSalva.Altura); }

void TamanhoViewport(double& Largura, double& Altura, bool& Achou)
{
    if (gAcadDoc->ActiveSpace() != acad::acPaperSpace) {
        Achou = false;
        return;
    }
    gAcadDoc->SetMSpace(true);
    acad::Point3d inferior, superior;
    gAcadDoc->ActivePViewport()->GetBoundingBox(inferior, superior);
    Largura = std::fabs(superior.x - inferior.x);
    Altura = std::fabs(superior.y - inferior.y);
    Achou = true;
}
