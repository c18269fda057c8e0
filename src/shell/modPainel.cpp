#include "shell/modPainel.h"

#include "platform/acad/Application.h"
#include "platform/acad/InputSource.h"
#include "platform/acad/RunningObjects.h"
#include "platform/forms/Forms.h"

void InterrompePedido()
{
    try {
        if (acad::InputSource* fonte = acad::GetObject(acad::kProgID)->GetInputSource()) fonte->Interrupt();
    } catch (const acad::Error&) {
        // No host running: nothing waits.
    }
}

forms::Picture Figura(const std::string& Nome)
{
    try {
        return forms::LoadResPicture(Nome, forms::vbResBitmap);
    } catch (const forms::Error&) {
        return {};
    }
}

namespace {
std::string AparaDe(const std::string& Texto, const char* Quais)
{
    const std::size_t i = Texto.find_first_not_of(Quais);
    if (i == std::string::npos) return "";
    return Texto.substr(i, Texto.find_last_not_of(Quais) - i + 1);
}
}  // namespace

std::string Apara(const std::string& Texto) { return AparaDe(Texto, " \t"); }

std::string AparaEspacos(const std::string& Texto) { return AparaDe(Texto, " "); }
