#pragma once
// What the sewer benchmarks share: the drawing host registered as the running
// host, with a new drawing, a scripted input and the catalogue and block files
// the build puts in the program folder; and a main that runs the benchmarks
// offscreen, every modal form answered at once.

#include "../QtBenchMain.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/forms/Testing.h"
#include "sewer/clsSANDb.h"
#include "shell/modGlobais.h"

namespace sewerbench {

struct Host {
    std::shared_ptr<acad::ScriptedInput> script = std::make_shared<acad::ScriptedInput>();
    std::unique_ptr<acad::Application> app = std::make_unique<acad::Application>();
    std::optional<acad::ActiveObjectRegistration> registro;

    Host()
    {
        gAcadApp = nullptr;
        gAcadDoc = nullptr;
        gModelSpace = nullptr;
        gAcadUtil = nullptr;
        gAcadState.reset();
        gAcadProgID = "AutoCAD.Application";
        gLayerConf = "0-Conferencia";
        gBlocosPath = QUORIL_BIN_DIR;
        gMdbPath = std::string(QUORIL_BIN_DIR) + "/rereva2000r.mdb";
        app->SetInputSource(script);
        app->Documents().Add("Acad");
        registro.emplace(*app);
        if (!clsSANDb().LoadDb() || !ConectaAcad()) throw std::runtime_error("no catalogue or no drawing");
    }
};

inline int Main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { forms::SetTestDriver([](forms::Form&) {}); });
}

}  // namespace sewerbench
