#pragma once
// What the four panels' event handlers share: a failed command told to the
// user, the program's own pictures, and the blanks around a typed text.

#include <exception>
#include <string>

#include "platform/acad/Error.h"
#include "platform/forms/Picture.h"
#include "shell/modMensagem.h"

// Ends the requests the running drawing host is waiting on (none: nothing).
void InterrompePedido();

// A command's failure is told to the user and ends the command, not the
// program: the window's event handlers have nobody above them to catch it.
// A command started while the drawing host waits for the person first ends
// what waits, as a menu command of the host does, rather than run in front of
// it and hand the person the old question again afterwards.
template <class Comando>
void Protegido(Comando&& Executa)
{
    InterrompePedido();
    try {
        Executa();
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Atenção", e.Description());
    } catch (const std::exception& e) {
        ExibeMensagem(0, "Atenção", e.what());
    }
}

// A picture of the program's own; a missing one leaves its place empty
// rather than keeping the panel from starting.
forms::Picture Figura(const std::string& Nome);

// Without the blanks and tabs around it.
std::string Apara(const std::string& Texto);
// Without the spaces around it: a tab is kept.
std::string AparaEspacos(const std::string& Texto);
