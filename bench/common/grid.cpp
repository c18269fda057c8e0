// The parcel grid along a city block 20,000 units round (a 6,000 by 4,000
// rectangle) drawn in 500 pieces of 40 units or 5,000 pieces of 4, with the
// host's window shown on the offscreen platform: "Poly Join" of the pieces,
// then a grid run along the outline (1,999 ticks and the arrow), both through
// the panel's buttons. The counter "join_ms" is the "Poly Join" alone.
// Target: 5,000 pieces under 300 ms, and no more than 12 times 500 pieces.

#include "../QtBenchMain.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "common/COMDes98.h"
#include "platform/acad/Acad.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/ui/DrawingView.h"
#include "platform/acad/ui/DrawingWindow.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "shell/modGlobais.h"
#include "topography/TOPDes.h"

namespace {

constexpr double kLargura = 6000, kAltura = 4000;  // 20,000 units round

class Hospedeiro : public forms::Form {
public:
    Hospedeiro() : Form("Hospedeiro") { Move(0, 0, 2800, 4200); }
    COMDes98& CM = Add<COMDes98>("CM");
};

// The outline in pieces of equal length, from the origin east first.
void Contorno(acad::Block& ms, int pecas)
{
    const double passo = 2 * (kLargura + kAltura) / pecas;
    const acad::Point3d cantos[] = {{0, 0, 0}, {kLargura, 0, 0}, {kLargura, kAltura, 0}, {0, kAltura, 0}, {0, 0, 0}};
    for (int c = 0; c < 4; ++c) {
        const acad::Point3d a = cantos[c], b = cantos[c + 1];
        const double lado = std::abs(b.x - a.x) + std::abs(b.y - a.y);
        for (double d = 0; d < lado - 1e-9; d += passo) {
            const double e = std::min(d + passo, lado);
            acad::LWPolyline* p =
                ms.AddLightWeightPolyline({a.x + (b.x - a.x) * d / lado, a.y + (b.y - a.y) * d / lado,
                                           a.x + (b.x - a.x) * e / lado, a.y + (b.y - a.y) * e / lado});
            p->SetLayer("GRADE_10_LINHA");
            p->SetConstantWidth(3.0);
        }
    }
}

void BM_PolyJoinGrid(benchmark::State& state)
{
    const int pecas = static_cast<int>(state.range(0));
    const double passo = 2 * (kLargura + kAltura) / pecas;
    gMdbPath = std::string(QUORIL_BIN_DIR) + "/rereva2000r.mdb";
    gAcadProgID = "AutoCAD.Application";
    gLayerConf = "0-Conferencia";
    Hospedeiro host;
    host.Show();
    gMainForm = &host;
    int mensagens = 0;
    os::ScopedDialogDriver dialogos([&](const os::DialogRequest&) {
        ++mensagens;
        return os::DialogAnswer::Yes();
    });
    std::size_t tiques = 0;
    double juncao = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto script = std::make_shared<acad::ScriptedInput>();
        auto app = std::make_unique<acad::Application>();
        app->SetInputSource(script);
        app->Documents().Add("Acad");
        std::optional<acad::ActiveObjectRegistration> registro;
        registro.emplace(*app);
        ConectaAcad();
        host.CM.Start();
        gAcadDoc->Layers().Add("GRADE_10_LINHA");
        Contorno(*gModelSpace, pecas);
        DefineBloco("COM_QUADRA", false);
        acad::BlockReference* q = gModelSpace->InsertBlock({kLargura / 2, kAltura / 2, 0}, "COM_QUADRA", 1, 1, 1, 0);
        for (acad::AttributeReference* a : q->GetAttributes()) a->SetTextString(a->TagString() == "SETOR" ? "7" : "12");
        auto janela = std::make_unique<acad::ui::DrawingWindow>(*app);
        janela->Window()->resize(1600, 1000);
        janela->Show();
        app->SetInputSource(script);  // the window would ask a person
        app->ZoomExtents();
        for (int k = 0; k < 5; ++k) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        forms::user::ChooseTab(host.CM.SSTab1, 1);
        script->Point({passo / 2, 0, 0});            // "Poly Join": the first piece
        script->Point({0, 0, 0}).Point({5, -5, 0});  // the run: start and side
        state.ResumeTiming();

        const auto antes = std::chrono::steady_clock::now();
        forms::user::Click(host.CM.GRJoinCmd);
        juncao += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - antes).count();
        forms::user::Click(host.CM.GRExecCmd);

        state.PauseTiming();
        tiques = 0;
        for (acad::Entity* e : *gModelSpace)
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == "COM_GRADE") ++tiques;
        if (tiques != 1999 || mensagens != 0 || script->Remaining() != 0) state.SkipWithError("the grid was not run");
        janela.reset();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        registro.reset();
        app.reset();
        gAcadApp = nullptr;
        gAcadDoc = nullptr;
        gModelSpace = nullptr;
        gAcadUtil = nullptr;
        state.ResumeTiming();
    }
    state.counters["ticks"] = static_cast<double>(tiques);
    state.counters["join_ms"] =
        juncao / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    gMainForm = nullptr;
}
BENCHMARK(BM_PolyJoinGrid)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
