#include "shell/modGlobais.h"

#include "platform/forms/Application.h"
#include "platform/ProcessState.h"

std::string gAppPath;
std::string gAcadProgID;
std::string gLayerConf;
std::string gMdbPath;
std::string gBlocosPath;
std::string gImagensPath;
forms::Picture gLogo;
forms::Picture gBanner;
forms::Form* gMainForm = nullptr;

namespace {
std::string g_pastaPrograma;
const platform::ProcessStateReset kResetGlobais([] {
    gAppPath.clear();
    gAcadProgID.clear();
    gLayerConf.clear();
    gMdbPath.clear();
    gBlocosPath.clear();
    gImagensPath.clear();
    gLogo = forms::Picture();
    gBanner = forms::Picture();
    gMainForm = nullptr;
    g_pastaPrograma.clear();
});
}  // namespace

std::string PastaPrograma() { return g_pastaPrograma.empty() ? forms::App.Path() : g_pastaPrograma; }

void DefinePastaPrograma(const std::string& Pasta) { g_pastaPrograma = Pasta; }
