#pragma once
// What the tests of the hatch regions share: the region arrays cleared, DXF
// text written group by group, and point lists checked against curves.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "terrain/modRegioes.h"

namespace hachuras {

inline void ZeraRegioes()
{
    gHatchs.clear();
    gNumHatchs = 0;
    gHatchZonas.clear();
    gHatchPavimentos.clear();
}

using Grupos = std::vector<std::pair<int, std::string>>;

// DXF text of the groups, CR LF line ends, codes right-aligned as the host writes them.
inline std::string TextoDxf(const Grupos& g)
{
    std::string t;
    for (const auto& [codigo, valor] : g) {
        std::string c = std::to_string(codigo);
        while (c.size() < 3) c = " " + c;
        t += c + "\r\n" + valor + "\r\n";
    }
    return t;
}

inline void Escreve(const std::filesystem::path& Caminho, const std::string& Texto)
{
    std::ofstream f(Caminho, std::ios::binary);
    f << Texto;
}

// An ENTITIES section holding the groups, and the end of the file.
inline std::string DxfDeEntidades(const Grupos& Entidades, bool ComFim = true)
{
    Grupos g{{0, "SECTION"}, {2, "HEADER"},  {9, "$ACADVER"}, {1, "AC1015"},
             {0, "ENDSEC"},  {0, "SECTION"}, {2, "ENTITIES"}};
    g.insert(g.end(), Entidades.begin(), Entidades.end());
    g.push_back({0, "ENDSEC"});
    if (ComFim) g.push_back({0, "EOF"});
    return TextoDxf(g);
}

// Whether (x, y) lies on the circle within `tol`.
inline bool NoCirculo(double x, double y, double cx, double cy, double r, double tol = 1e-6)
{
    return std::fabs(std::hypot(x - cx, y - cy) - r) < tol;
}

inline bool Fechado(const std::vector<double>& L)
{
    const std::size_t n = L.size();
    return n >= 4 && std::fabs(L[0] - L[n - 2]) < 1e-9 && std::fabs(L[1] - L[n - 1]) < 1e-9;
}

// The region of gHatchs of that name, or null.
inline const HatchRec* Regiao(const std::string& Nome)
{
    for (const HatchRec& h : gHatchs)
        if (h.Nome == Nome) return &h;
    return nullptr;
}

}  // namespace hachuras
