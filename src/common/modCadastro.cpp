#include "common/modCadastro.h"

#include "cad/modDesenho.h"

std::optional<std::string> NumeroCadastro(const std::string& Texto)
{
    const auto inicio = Texto.find_first_not_of(" \t");
    if (inicio == std::string::npos) return std::nullopt;
    const auto fim = Texto.find_last_not_of(" \t");
    const std::string numero = Texto.substr(inicio, fim - inicio + 1);
    for (char c : numero)
        if (c < '0' || c > '9') return std::nullopt;
    const auto primeiro = numero.find_first_not_of('0');
    return primeiro == std::string::npos ? std::string("0") : numero.substr(primeiro);
}

std::optional<std::string> UnidadeCadastro(const std::string& Texto)
{
    auto n = NumeroCadastro(Texto);
    if (n && n->size() < 2) *n = "0" + *n;
    return n;
}

std::string NomeCamadaSetor(const std::string& Setor) { return "SETOR_" + Setor; }

void CamadaSetor(const std::string& Setor) { GetLayer(NomeCamadaSetor(Setor), 0, ""); }
