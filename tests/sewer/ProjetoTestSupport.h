#pragma once
// Design tables with every field the record editor and the final workbook
// use (the import's fields, CLTLC and the computed flows), and the stored
// values read back straight from the file.

#include <filesystem>
#include <string>
#include <vector>

#include "TabelaTestSupport.h"

namespace sewertest {

// CamposDeProjeto with CLTLC and QRI, QRF, TIRF, VELF, VCRI, QCI, QCF.
std::vector<CampoDbf> CamposCompletos(bool CltatNumerico = false);

// Field `Campo` of the record whose CLTAT is `Cltat`, as the file holds it now
// ("<null>" for Null, "<nenhum>" when no record has that CLTAT).
std::string Gravado(const std::filesystem::path& Tabela, const std::string& Cltat, const std::string& Campo);

}  // namespace sewertest
