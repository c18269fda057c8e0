#pragma once
// The cadastre address as the common tools panel writes it: sector, city
// block, parcel and unit numbers read from the panel's boxes, and the sector
// layer that every block of the panel goes on.

#include <optional>
#include <string>

// A number of a cadastre box in its written form: a whole number of any size
// without its leading zeros ("007" gives "7", "000" gives "0"); blanks around
// it are allowed. None when the text is empty or not a whole number ("12a",
// "-3", "1.5").
std::optional<std::string> NumeroCadastro(const std::string& Texto);

// The unit number in two digits at least ("1" gives "01", "123" stays "123");
// none when the text is not a whole number.
std::optional<std::string> UnidadeCadastro(const std::string& Texto);

// "SETOR_" followed by the sector number as written ("SETOR_7").
std::string NomeCamadaSetor(const std::string& Setor);

// The sector layer, made when missing (no colour, no linetype); the caller
// has connected.
void CamadaSetor(const std::string& Setor);
