#include "water/modZonas.h"

#include <optional>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modSelecao.h"
#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"

bool ValorDeZona(const std::string& Texto)
{
    const auto ini = Texto.find_first_not_of(" \t");
    if (ini == std::string::npos) return false;
    const auto fim = Texto.find_last_not_of(" \t") + 1;
    std::size_t i = ini;
    if (Texto[i] == '-') ++i;
    int digitos = 0, pontos = 0;
    for (; i < fim; ++i) {
        const char c = Texto[i];
        if (c >= '0' && c <= '9')
            ++digitos;
        else if (c == '.' && ++pontos == 1)
            continue;
        else
            return false;
    }
    return digitos > 0;
}

bool InsereZona(const std::string& Bloco, const std::string& Tag, const std::string& Nome, const std::string& Valor)
{
    if (!InsertBlockFile(Bloco)) return false;
    const std::optional<Ponto> ponto = GetPonto(std::nullopt, "Ponto de inserção:");
    if (!ponto) return false;
    acad::BlockReference* zona = gModelSpace->InsertBlock(*ponto, Bloco, 1, 1, 1, 0);
    SetAtributo("NOME", Nome, zona);
    SetAtributo(Tag, Valor, zona);
    return true;
}
