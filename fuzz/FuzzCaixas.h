#pragma once
// What every target that runs the program's own forms shares: the offscreen
// platform, message boxes answered OK and counted, any other form or a file
// dialog taken as a fault, and the program's link to the host cleared.

#include "cad/modAcad.h"
#include "cad/modVista.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"

#include <cstdlib>
#include <functional>
#include <utility>

namespace fuzzing {

// Every modal form goes to `Formas` first; a message box it leaves alone is
// answered OK and counted in `Caixas`; any other form ends the run as a fault.
inline void RespondeCaixas(int& Caixas, std::function<bool(forms::Form&)> Formas = {})
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    forms::SetTestDriver([&Caixas, Formas = std::move(Formas)](forms::Form& f) {
        if (Formas && Formas(f)) return;
        auto* box = dynamic_cast<frmMsgBox*>(&f);
        if (!box) std::abort();  // a form the target did not expect
        ++Caixas;
        forms::user::Click(box->CmdOK);
    });
    os::SetDialogDriver([](const os::DialogRequest&) -> os::DialogAnswer { std::abort(); });
}

// The program's globals that point into a host, cleared before a host is
// made and after it is gone.
inline void ZeraConexao()
{
    DesligaAcad();
    gVistaSalva = VistaSalva{};
}

}  // namespace fuzzing
