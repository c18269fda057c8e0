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

std::string Apara(const std::string& Texto)
{
    const std::size_t i = Texto.find_first_not_of(" \t");
    if (i == std::string::npos) return "";
    return Texto.substr(i, Texto.find_last_not_of(" \t") - i + 1);
}

std::string AparaEspacos(const std::string& Texto)
{
    const std::size_t inicio = Texto.find_first_not_of(' ');
    if (inicio == std::string::npos) return "";
    return Texto.substr(inicio, Texto.find_last_not_of(' ') - inicio + 1);
}
