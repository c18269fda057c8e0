#include "shell/modGlobais.h"

#include "platform/forms/Application.h"

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
}

std::string PastaPrograma()
{
    return g_pastaPrograma.empty() ? forms::App.Path() : g_pastaPrograma;
}

void DefinePastaPrograma(const std::string& Pasta)
{
    g_pastaPrograma = Pasta;
}
