#pragma once
// What the terrain model and the region loops share to keep their tables in
// an Access database: the connection text, the template of a new database
// and the messages about a missing or unreadable file.

#include <string>

// The connection text of the database at Path (Jet provider).
std::string ConexaoTerreno(const std::string& Path);

// The empty database that holds every terrain and region table: the program
// folder's "WATTemplate.mdb".
std::string TemplateTerreno();

// Copies the template to Path when no file is there yet; an existing file is
// kept as it is. False, after a message naming the missing template or the
// failed copy, when Path still has no database.
bool CriaBancoTerreno(const std::string& Path);

// True when the file exists; otherwise the message "O arquivo " & Path &
// " não existe." titled "Atenção!" and false.
bool BancoExiste(const std::string& Path);

// Tells the user that the database could not be read or written, with the
// data layer's reason; `Oque` says what was being done ("gravar o modelo do
// terreno") and `Mantido` what stays as it was.
void AvisaFalhaBanco(const std::string& Path, const std::string& Oque, const std::string& Motivo,
                     const std::string& Mantido);

// True for the two tables that hold region loops, "Pavimentos" and
// "WATZonas"; otherwise the message "Nome inválido para a tabela" titled
// "Atenção" and false.
bool TabelaDeRegioes(const std::string& Tabela);
