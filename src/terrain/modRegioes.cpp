#include "terrain/modRegioes.h"

#include <cmath>

#include "cad/modGeometria.h"
#include "platform/ProcessState.h"

std::vector<HatchRec> gHatchs;
int32_t gNumHatchs = 0;
std::vector<HatchRec> gHatchZonas;
std::vector<HatchRec> gHatchPavimentos;

namespace {
const platform::ProcessStateReset kResetRegioes([] {
    gHatchs.clear();
    gNumHatchs = 0;
    gHatchZonas.clear();
    gHatchPavimentos.clear();
});
}  // namespace

const FaixaRec* HatchRec::Faixa(long long Numero) const
{
    const long long i = Numero - PrimeiraFaixa;
    if (i < 0 || i >= static_cast<long long>(Faixas.size())) return nullptr;
    return &Faixas[static_cast<std::size_t>(i)];
}

bool CoordenadaIndexavel(double v) { return std::fabs(v) <= kMaxCoordenadaIndexada; }

long long Escala(double v) { return 10 * static_cast<long long>(std::floor(10 * v)); }

long long FaixaEscalada(long long yEscalado) { return yEscalado / 10000; }

bool PontoNaRegiao(const Ponto& P, const Ponto& A, const Ponto& B, int& Codigo)
{
    if (!(A.Y <= P.Y && P.Y <= B.Y)) return false;
    if (A.X <= P.X && B.X <= P.X) {
        Codigo = 6;
        return true;
    }
    if (A.X <= P.X || B.X <= P.X) {
        if (A.X == B.X && P.X >= A.X) return true;
        // A is the lower end and P lies strictly between the ordinates of the
        // ends, so both directions lie between 0 and π: the larger one is the
        // more counterclockwise, and P lies on the line A–B or to its right.
        if (Azimute(A, B) >= Azimute(A, P)) {
            Codigo = A.X < B.X ? 5 : 1;
            return true;
        }
    }
    return false;
}

bool PontoNaRegiao(const Ponto& P, const Ponto& A, const Ponto& B)
{
    int codigo = 0;
    return PontoNaRegiao(P, A, B, codigo);
}

int RegiaoDoPonto(const std::vector<HatchRec>& Regioes, const Ponto& P, const std::function<bool(std::size_t)>& Conta,
                  TesteCruzamento Cruza)
{
    // No region reaches a point beyond what the index holds.
    if (!CoordenadaIndexavel(P.X) || !CoordenadaIndexavel(P.Y)) return -1;
    const long long qx = Escala(P.X), qy = Escala(P.Y) + 5;
    const Ponto q(static_cast<double>(qx), static_cast<double>(qy));
    // The band of the unscaled ordinate, truncated toward zero.
    const long long b = static_cast<long long>(std::trunc(P.Y / 100));
    int achada = -1;
    for (std::size_t r = 0; r < Regioes.size(); ++r) {
        if (Conta && !Conta(r)) continue;
        const FaixaRec* f = Regioes[r].Faixa(b);
        if (!f || f->Segmentos.empty()) continue;
        long long cruzamentos = 0;
        for (const SegmentoRec& s : f->Segmentos) {
            // Most segments of a band lie above or below the query, or wholly
            // to its right: answered in whole numbers before any direction is taken.
            if (qy < s.yLow || qy > s.yHigh) continue;
            if (s.xLow > qx && s.xHigh > qx) continue;
            if (s.xLow <= qx && s.xHigh <= qx) {
                ++cruzamentos;
                continue;
            }
            if (Cruza(q, Ponto(static_cast<double>(s.xLow), static_cast<double>(s.yLow)),
                      Ponto(static_cast<double>(s.xHigh), static_cast<double>(s.yHigh))))
                ++cruzamentos;
        }
        if (cruzamentos % 2 == 1) achada = static_cast<int>(r);
    }
    return achada;
}

std::string ZonaDoPonto(const Ponto& P, int& Indice)
{
    const int r = RegiaoDoPonto(gHatchZonas, P);
    if (r < 0) return "";
    Indice = r;
    return gHatchZonas[static_cast<std::size_t>(r)].Nome;
}

std::string PavimentoDoPonto(const Ponto& P)
{
    const int r = RegiaoDoPonto(gHatchPavimentos, P);
    if (r < 0) return "Sem Pavimento";
    return gHatchPavimentos[static_cast<std::size_t>(r)].Nome;
}
