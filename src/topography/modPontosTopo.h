#pragma once
// Survey points made from the topography panel's point menu: one at a time
// through frmInsPoint and a pick in the drawing, or many from a text file.
// Both connect first (ConectaAcad) and stop on failure.

#include <string>
#include <vector>

class ProgressBar;

// Asks name, elevation and description (frmInsPoint), then the position with
// "Ponto de inserção: ", and draws the survey point. A cancelled dialog or
// pick, or an empty name or elevation, draws nothing and says nothing; a name
// the host refuses as an application name or an elevation that is not a
// number gives a message and draws nothing.
void InserirPonto();

// What one import did.
struct ResultadoImportacao {
    long long Linhas = 0;                  // lines of the file, blank ones included
    long long Inseridos = 0;               // points drawn
    std::vector<long long> NaoImportadas;  // numbers (from 1) of the lines skipped
};

// Asks for the file ("Arquivo de Pontos (*.txt)|*.txt") and imports it with
// ImportaArquivoPontos; a cancelled choice does nothing.
void ImportarPontosTxt(ProgressBar& Barra);

// Imports the survey points of a TAB-separated file (name, X, Y, elevation,
// description; further fields ignored), read as UTF-8 or, when it is not, as
// Windows Western (as UTF-16 after its byte-order mark), lines ending in CR LF,
// LF or CR, read one at a time (a line longer than 64 KB refuses the file,
// naming the line; running out of memory refuses it too, the points drawn
// before kept and counted). X and Y are each read with "." or "," as decimal
// point; the elevation and the description are kept as written. Blank lines
// are passed over; a line with fewer than five fields, an X, Y or elevation
// that is not a number, or a name the host refuses as an application name is
// skipped and reported. Yields to the event queue at each line, advancing
// `Barra`. Shows "Foram inseridos N pontos." (title "Inserir Pontos")
// followed by the skipped lines (the first 20, then "..."), unless `Mostra` is
// false. A file that cannot be read gives a message naming it and draws
// nothing.
ResultadoImportacao ImportaArquivoPontos(const std::string& Arquivo, ProgressBar& Barra, bool Mostra = true);

// The closing message of an import.
std::string MensagemImportacao(const ResultadoImportacao& R);
