#pragma once
// File operations of the panels: delete to the trash, open with the
// associated program, copy over an existing file; and the one rule of which
// files an output of the program may not replace, with the dialog that asks
// for an output under it.

#include <string>

class clsCommonDialog;
namespace acad {
class Document;
}
namespace platform {
class FileReplacement;
}

// Moves the file to the trash without asking. True when it was moved; a
// missing file gives False and no message.
bool DeleteToRecycle(const std::string& Path);

// Opens the file with the program associated with its type; when there is
// none, the user is asked to choose one.
void OpenWithShell(std::string& Path);

// Copies Source (trimmed) over Destination (trimmed). An existing destination
// stays as it was until the copy has succeeded. On failure the user sees
// "Erro. Arquivo não copiado!" and the result is False.
bool CopyFileSafe(const std::string& Source, const std::string& Destination);

// A copy for an output completed after it, in two steps: Source copied into
// Copia, beside its target (CopyFileBeside); then, once
// the output is complete, the copy in the target's place and an existing
// target in the trash (ReplaceToRecycle). The target stays as it was until
// then. On failure the message gives the reason beneath "Erro. Arquivo não
// copiado!".
bool CopyFileBeside(const std::string& Source, platform::FileReplacement& Copia);
bool ReplaceToRecycle(platform::FileReplacement& Copia);

// True when both name one existing file, also through links: an output
// chosen over an input is refused by it, whatever the spelling of its path.
bool MesmoArquivo(const std::string& A, const std::string& B);

// The file in Arquivo's own folder named like it, with Fim in place of its
// extension, or after the name when it has none ("rede-CAD.dwg", "_NOD.dwg"
// gives "rede-CAD_NOD.dwg"; "sub/top", ".dxf" gives "sub/top.dxf").
std::string NomeAoLado(const std::string& Arquivo, const std::string& Fim);

// A file the program holds open for the user's work (the import's design
// table): while this object lives, no output of the program takes its place.
class ArquivoEmUso {
public:
    // Papel says what the file is, as the refusal names it: "a tabela aberta".
    ArquivoEmUso(std::string Arquivo, std::string Papel);
    ~ArquivoEmUso();
    ArquivoEmUso(const ArquivoEmUso&) = delete;
    ArquivoEmUso& operator=(const ArquivoEmUso&) = delete;

    const std::string& Arquivo() const { return arquivo_; }
    const std::string& Papel() const { return papel_; }

private:
    std::string arquivo_;
    std::string papel_;
};

// What an output written to Arquivo would replace, compared as files on disk
// (through links, whatever the spelling of the path): the file of a drawing
// open in the host, a file held (ArquivoEmUso), the catalogue, or a file of
// the program folder (its templates). Told as the refusal continues "O arquivo
// ... ": "é o desenho aberto", "é a tabela aberta ...", with the holder's own
// name when it is spelled otherwise; "" when it replaces none of them.
// Salvando is the drawing being saved, whose own file it may replace.
std::string ArquivoProtegido(const std::string& Arquivo, const acad::Document* Salvando = nullptr);

// True, and the user told naming the file and what holds it, when an output
// (Saida: "pelo desenho", "pela planilha") may not be written to Arquivo;
// Depois ends the message ("Escolha outro arquivo.").
bool SaidaRecusada(const std::string& Arquivo, const std::string& Saida, const acad::Document* Salvando = nullptr,
                   const std::string& Depois = "Escolha outro arquivo.");

// The dialog in which the user names an output (an open dialog when Abrir,
// for an output that need not exist): Proposta is proposed unless it is a
// protected file (ArquivoProtegido; nothing is proposed then), and a chosen
// file that is one is refused (SaidaRecusada) and the name asked again. The
// dialog's result: > 0 once a file is chosen (Dlg.Filename()), 0 when none.
long EscolheSaida(clsCommonDialog& Dlg, const std::string& Proposta, const std::string& Saida, bool Abrir = false,
                  const acad::Document* Salvando = nullptr);
