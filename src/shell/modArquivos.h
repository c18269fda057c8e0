#pragma once
// File operations of the panels: delete to the trash, open with the
// associated program, copy over an existing file.

#include <string>

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

// The same, but an existing Destination goes to the trash once the copy is
// complete beside it. On failure the message gives the reason beneath
// "Erro. Arquivo não copiado!", and Destination stays as it was.
bool CopyFileToRecycle(const std::string& Source, const std::string& Destination);

// CopyFileToRecycle in two steps, for an output completed after the copy:
// Source copied into Copia, beside its target (CopyFileBeside); then, once
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
