#include "TabelaTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace sewertest {

std::vector<CampoDbf> CamposDeProjeto(bool CltatNumerico)
{
    std::vector<CampoDbf> c = {
        CltatNumerico ? CampoDbf{"CLTAT", 'N', 6, 0} : CampoDbf{"CLTAT", 'C', 10, 0},
        {"CLTLX", 'C', 10, 0},
        {"CLTLY", 'C', 10, 0},
        {"CLTAN", 'C', 10, 0},
        {"PVM", 'C', 10, 0},
        {"CXM", 'N', 14, 3},
        {"CYM", 'N', 14, 3},
        {"CTM", 'N', 10, 3},
        {"CCM", 'N', 10, 3},
        {"PRFM", 'N', 8, 3},
        {"PVJ", 'C', 10, 0},
        {"CXJ", 'N', 14, 3},
        {"CYJ", 'N', 14, 3},
        {"CTJ", 'N', 10, 3},
        {"CCJ", 'N', 10, 3},
        {"PRFJ", 'N', 8, 3},
        {"ETAPA", 'N', 2, 0},
        {"DIAM", 'N', 6, 3},
        {"COMP", 'N', 8, 2},
        {"DECL", 'N', 10, 6},
        {"PAVIM", 'C', 20, 0},
        {"MATER", 'C', 20, 0},
        {"CONTRIB", 'C', 5, 0},
        {"OBS", 'C', 30, 0},
    };
    return c;
}

void EscreveDbf(const std::filesystem::path& Arquivo, const std::vector<CampoDbf>& Campos,
                const std::vector<RegistroDbf>& Registros)
{
    int tamanho = 1;
    for (const CampoDbf& c : Campos) tamanho += c.Largura;
    const int cabecalho = 32 + 32 * static_cast<int>(Campos.size()) + 1;
    std::string b(32, '\0');
    b[0] = 0x03;
    b[1] = 126;
    b[2] = 12;
    b[3] = 7;
    const auto n = static_cast<unsigned>(Registros.size());
    for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    b[8] = static_cast<char>(cabecalho & 0xFF);
    b[9] = static_cast<char>(cabecalho >> 8);
    b[10] = static_cast<char>(tamanho & 0xFF);
    b[11] = static_cast<char>(tamanho >> 8);
    for (const CampoDbf& c : Campos) {
        std::string d(32, '\0');
        for (std::size_t i = 0; i < c.Nome.size() && i < 10; ++i) d[i] = c.Nome[i];
        d[11] = c.Tipo;
        d[16] = static_cast<char>(c.Largura);
        d[17] = static_cast<char>(c.Decimais);
        b += d;
    }
    b += '\r';
    for (const RegistroDbf& r : Registros) {
        b += ' ';
        for (const CampoDbf& c : Campos) {
            auto it = r.find(c.Nome);
            std::string v = it == r.end() ? "" : it->second;
            if (static_cast<int>(v.size()) > c.Largura) v.resize(static_cast<std::size_t>(c.Largura));
            const std::string brancos(static_cast<std::size_t>(c.Largura) - v.size(), ' ');
            b += c.Tipo == 'C' ? v + brancos : brancos + v;
        }
    }
    b += '\x1a';
    std::ofstream f(Arquivo, std::ios::binary);
    f << b;
    ASSERT_TRUE(f.good()) << Arquivo;
}

namespace {
std::string Num(double v, int d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", d, v);
    return buf;
}
}  // namespace

RegistroDbf Trecho(const std::string& Cltat, const std::string& Pvm, double Xm, double Ym, const std::string& Pvj,
                   double Xj, double Yj)
{
    return {{"CLTAT", Cltat},   {"PVM", Pvm},         {"CXM", Num(Xm, 3)},  {"CYM", Num(Ym, 3)}, {"CTM", "101.000"},
            {"CCM", "99.500"},  {"PRFM", "1.500"},    {"PVJ", Pvj},         {"CXJ", Num(Xj, 3)}, {"CYJ", Num(Yj, 3)},
            {"CTJ", "100.800"}, {"CCJ", "99.200"},    {"PRFJ", "1.600"},    {"ETAPA", "1"},      {"DIAM", "0.150"},
            {"COMP", "50.00"},  {"DECL", "0.006000"}, {"PAVIM", "Asfalto"}, {"MATER", "PVC"},    {"CONTRIB", "SIM"}};
}

}  // namespace sewertest
