#pragma once
// Design tables for the import tests: dBase files written byte by byte in the
// layout the design program writes (character and numeric fields), so that the
// reader and the import read real files through the data layer.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace sewertest {

struct CampoDbf {
    std::string Nome;
    char Tipo;  // 'C' or 'N'
    int Largura;
    int Decimais;
};

// The fields of a design table, CLTAT as text (or as a number with
// `CltatNumerico`).
std::vector<CampoDbf> CamposDeProjeto(bool CltatNumerico = false);

// One record: field → stored text; a field left out is blank (reads as Null).
using RegistroDbf = std::map<std::string, std::string>;

// Writes a dBase III table with those fields and records.
void EscreveDbf(const std::filesystem::path& Arquivo, const std::vector<CampoDbf>& Campos,
                const std::vector<RegistroDbf>& Registros);

// A complete reach record from PVM at (xm, ym) to PVJ at (xj, yj), diameter
// 0.15, stage 1, "PVC", "Asfalto", elevations falling downstream.
RegistroDbf Trecho(const std::string& Cltat, const std::string& Pvm, double Xm, double Ym, const std::string& Pvj,
                   double Xj, double Yj);

}  // namespace sewertest
