#pragma once
// What the targets that run a whole command share: the start-up settings of
// the program with the build's program folder (catalogue and block files),
// the modal forms answered by the target, and a drawing host with one new
// drawing, registered as the program finds it, whose every request for input
// is answered with Escape.

#include "FuzzCaixas.h"
#include "platform/acad/Acad.h"
#include "platform/acad/InputSource.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "platform/os/ShellOpen.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace fuzzing {

// The messages a command showed: title and text, answered with OK (or "Não"
// when the target says so).
struct Caixa {
    std::string Titulo;
    std::string Texto;
};

// A message in another library's words is no message for the user, nor one
// that an internal fault ended the command.
inline bool TextoDeBiblioteca(const std::string& Texto)
{
    for (const char* marca :
         {"std::", "bad_alloc", "basic_string", "vector::", "stod", "stoi", "Unknown error", "Erro interno"})
        if (Texto.find(marca) != std::string::npos) return true;
    return false;
}

// The settings the main window makes at start-up, with the build's program
// folder, and `Formas` answering every modal form (a message box it leaves
// alone is answered OK). No file dialog and no program start is expected
// unless the target installs its own driver.
inline void IniciaPrograma(std::function<bool(forms::Form&)> Formas)
{
    static int caixas = 0;
    RespondeCaixas(caixas, std::move(Formas));
    os::SetLaunchHook([](const os::LaunchRequest&) { return true; });
    DefinePastaPrograma(QUORIL_BIN_DIR);
    gAppPath = QUORIL_BIN_DIR;
    gAcadProgID = "AutoCAD.Application";
    gLayerConf = "0-Conferencia";
    gMdbPath = std::string(QUORIL_BIN_DIR) + "/rereva2000r.mdb";
    gBlocosPath = gImagensPath = QUORIL_BIN_DIR;
}

// Every request for input cancelled, as a person pressing Escape.
class Escapa : public acad::InputSource {
public:
    acad::InputAnswer Ask(const acad::InputRequest&) override { return acad::InputAnswer::Escape(); }
};

// A host with one new drawing, registered while it lives; the program's link
// to the host is cleared on both ends.
class Host {
public:
    Host()
    {
        ZeraConexao();
        app.SetInputSource(std::make_shared<Escapa>());
        app.SetSupportFolders({QUORIL_BIN_DIR});
        app.Documents().Add("Acad");
        registro.emplace(app);
    }
    ~Host()
    {
        registro.reset();
        ZeraConexao();
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    acad::Application app;
    std::optional<acad::ActiveObjectRegistration> registro;
};

}  // namespace fuzzing
