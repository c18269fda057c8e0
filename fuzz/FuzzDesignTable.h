#pragma once
// A design table written from fuzzed text, for the targets that read one as
// the sewer panel does: the design program's fields, each value stored as the
// input gives it (the bytes of the field, not a number formatted by a
// writer), so that the readers above the dBase layer get odd values in a
// sound file.
//
// Options byte: bit 0 stores CLTAT as a number; bits 2-7, a number n, leave the
// n-th field (from 1) out of the table. Records: one a line, their values separated
// by "|" in the order of kCampos; at most 40.

#include <shapefil.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace fuzzing {

struct Campo {
    const char* Nome;
    char Tipo;
    int Largura;
    int Decimais;
};

// The design program's layout.
inline const Campo kCampos[] = {
    {"CLTAT", 'C', 10, 0}, {"CLTLX", 'C', 10, 0}, {"CLTLY", 'C', 10, 0},  {"CLTAN", 'C', 10, 0}, {"PVM", 'C', 10, 0},
    {"CXM", 'N', 14, 3},   {"CYM", 'N', 14, 3},   {"CTM", 'N', 10, 3},    {"CCM", 'N', 10, 3},   {"PRFM", 'N', 8, 3},
    {"PVJ", 'C', 10, 0},   {"CXJ", 'N', 14, 3},   {"CYJ", 'N', 14, 3},    {"CTJ", 'N', 10, 3},   {"CCJ", 'N', 10, 3},
    {"PRFJ", 'N', 8, 3},   {"ETAPA", 'N', 2, 0},  {"DIAM", 'N', 6, 3},    {"COMP", 'N', 8, 2},   {"DECL", 'N', 10, 6},
    {"PAVIM", 'C', 20, 0}, {"MATER", 'C', 20, 0}, {"CONTRIB", 'C', 5, 0}, {"OBS", 'C', 30, 0},   {"QRI", 'N', 10, 4},
    {"QRF", 'N', 10, 4},   {"TIRF", 'N', 8, 4},   {"VELF", 'N', 8, 3},    {"VCRI", 'N', 8, 3},   {"QCI", 'N', 10, 3},
    {"QCF", 'N', 10, 3},
};
constexpr int kNumCampos = static_cast<int>(std::size(kCampos));

inline std::vector<std::string> Partes(const std::string& Texto, char Separador)
{
    std::vector<std::string> p(1);
    for (char c : Texto) {
        if (c == Separador)
            p.emplace_back();
        else
            p.back() += c;
    }
    return p;
}

// Writes the table with shapelib, each value stored as given (the bytes of a
// field, not a number formatted by the writer).
inline bool EscreveTabela(const std::string& Arquivo, std::uint8_t Opcoes, const std::string& Registros)
{
    DBFHandle h = DBFCreate(Arquivo.c_str());
    if (!h) return false;
    const int fora = (Opcoes >> 2) - 1;
    std::vector<int> indices;
    for (int k = 0; k < kNumCampos; ++k) {
        if (k == fora) continue;
        Campo c = kCampos[k];
        if (k == 0 && (Opcoes & 1)) c = {"CLTAT", 'N', 6, 0};
        indices.push_back(k);
        if (DBFAddNativeFieldType(h, c.Nome, c.Tipo, c.Largura, c.Decimais) < 0) {
            DBFClose(h);
            return false;
        }
    }
    int n = 0;
    for (const std::string& linha : Partes(Registros, '\n')) {
        if (linha.empty()) continue;
        const std::vector<std::string> valores = Partes(linha, '|');
        for (std::size_t f = 0; f < indices.size(); ++f) {
            const std::size_t k = static_cast<std::size_t>(indices[f]);
            const std::string v = k < valores.size() ? valores[k] : std::string();
            DBFWriteAttributeDirectly(h, n, static_cast<int>(f), const_cast<char*>(v.c_str()));
        }
        if (++n >= 40) break;
    }
    DBFClose(h);
    return true;
}

}  // namespace fuzzing
