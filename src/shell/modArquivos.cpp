#include "shell/modArquivos.h"

#include <filesystem>
#include <system_error>

#include "platform/os/Files.h"
#include "platform/os/ShellOpen.h"
#include "platform/os/Trash.h"
#include "shell/modMensagem.h"

namespace {

// VB's Trim: the spaces at both ends removed.
std::string Trim(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

}  // namespace

bool DeleteToRecycle(const std::string& Path) { return os::MoveToTrash(Path).ok; }

void OpenWithShell(std::string& Path)
{
    // With no associated program the platform asks for one, as the system's
    // "Open with" choice does.
    os::ShellOpen(Path);
}

namespace {

const std::string kNaoCopiado = "Erro. Arquivo não copiado!";

// The copy's failure told with its reason; false.
bool NaoCopiado(const os::Status& Falha)
{
    ExibeMensagem(0, "Atenção", kNaoCopiado + "\r\n\r\n" + Falha.message);
    return false;
}

}  // namespace

bool CopyFileSafe(const std::string& Source, const std::string& Destination)
{
    // The copy takes the destination's place only once complete, so a failed
    // copy never costs the user the file that was there.
    if (os::CopyFile(Trim(Source), Trim(Destination)).ok) return true;
    ExibeMensagem(0, "Atenção", kNaoCopiado);
    return false;
}

bool CopyFileToRecycle(const std::string& Source, const std::string& Destination)
{
    const os::Status copia = os::CopyFileTrashingOld(Source, Destination);
    return copia.ok || NaoCopiado(copia);
}

bool CopyFileBeside(const std::string& Source, platform::FileReplacement& Copia)
{
    const os::Status copia = os::CopyFileInto(Source, Copia);
    return copia.ok || NaoCopiado(copia);
}

bool ReplaceToRecycle(platform::FileReplacement& Copia)
{
    const os::Status troca = os::ReplaceTrashingOld(Copia);
    return troca.ok || NaoCopiado(troca);
}

bool MesmoArquivo(const std::string& A, const std::string& B)
{
    std::error_code ec;
    return !A.empty() && !B.empty() && std::filesystem::equivalent(A, B, ec) && !ec;
}

std::string NomeAoLado(const std::string& Arquivo, const std::string& Fim)
{
    const std::filesystem::path p(Arquivo);
    return (p.parent_path() / (p.stem().string() + Fim)).string();
}
