#include "shell/modArquivos.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/acad/Application.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/RunningObjects.h"
#include "platform/os/Files.h"
#include "platform/os/ShellOpen.h"
#include "platform/os/Trash.h"
#include "shell/clsCommonDialog.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "shell/modPainel.h"

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
    if (os::CopyFile(AparaEspacos(Source), AparaEspacos(Destination)).ok) return true;
    ExibeMensagem(0, "Atenção", kNaoCopiado);
    return false;
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

// ---------------------------------------------------------------- outputs

namespace {

namespace fs = std::filesystem;

// The files held now, in the order they were taken.
std::vector<const ArquivoEmUso*>& EmUso()
{
    static std::vector<const ArquivoEmUso*> arquivos;
    return arquivos;
}

bool MesmoNome(const std::string& A, const std::string& B) { return A == B || MesmoArquivo(A, B); }

// The holder as the refusal names it: its own name only where the user
// spelled the file otherwise (a link, another folder's spelling).
std::string Nomeando(const std::string& Quem, const std::string& Arquivo, const std::string& Dele)
{
    return Arquivo == Dele ? Quem : Quem + " " + Dele;
}

// A file of the program folder (a template, a block, a picture), its links
// followed: the program folder reached through a link is the program folder.
bool DaPastaDoPrograma(const std::string& Arquivo)
{
    const std::string programa = PastaPrograma();
    std::error_code ec;
    if (programa.empty() || !fs::exists(Arquivo, ec)) return false;
    const fs::path pasta = fs::weakly_canonical(fs::absolute(Arquivo, ec), ec).parent_path();
    std::error_code igual;
    return !ec && fs::equivalent(pasta, programa, igual) && !igual;
}

// The proposal as the dialog reads it: a name without a folder goes where
// the dialog opens, beside the drawing shown.
std::string ComoODialogoLe(const clsCommonDialog& Dlg, const std::string& Proposta)
{
    const fs::path p(Proposta);
    if (Proposta.empty() || p.is_absolute()) return Proposta;
    if (!Dlg.InitDir().empty()) return (fs::path(Dlg.InitDir()) / p).string();
    try {
        if (acad::Document* doc = acad::GetObject(acad::kProgID)->ActiveDocument())
            return (fs::path(doc->Path()) / p).string();
    } catch (const acad::Error&) {
        // No host, or no drawing open in it.
    }
    return (acad::NewDrawingFolder() / p).string();
}

}  // namespace

ArquivoEmUso::ArquivoEmUso(std::string Arquivo, std::string Papel)
    : arquivo_(std::move(Arquivo)), papel_(std::move(Papel))
{
    EmUso().push_back(this);
}

ArquivoEmUso::~ArquivoEmUso()
{
    auto& lista = EmUso();
    lista.erase(std::remove(lista.begin(), lista.end(), this), lista.end());
}

std::string ArquivoProtegido(const std::string& Arquivo, const acad::Document* Salvando)
{
    if (Arquivo.empty()) return {};
    try {
        for (const auto& d : acad::GetObject(acad::kProgID)->Documents()) {
            const std::string desenho = d->FullName();
            if (d.get() != Salvando && !desenho.empty() && MesmoNome(Arquivo, desenho))
                return Nomeando("é o desenho aberto", Arquivo, desenho);
        }
    } catch (const acad::Error&) {
        // No host running: no drawing open.
    }
    for (const ArquivoEmUso* f : EmUso())
        if (MesmoNome(Arquivo, f->Arquivo())) return Nomeando("é " + f->Papel(), Arquivo, f->Arquivo());
    if (!gMdbPath.empty() && MesmoNome(Arquivo, gMdbPath))
        return Nomeando("é o catálogo do programa", Arquivo, gMdbPath);
    if (DaPastaDoPrograma(Arquivo)) return "pertence ao programa (catálogo e modelos)";
    return {};
}

bool SaidaRecusada(const std::string& Arquivo, const std::string& Saida, const acad::Document* Salvando,
                   const std::string& Depois)
{
    const std::string quem = ArquivoProtegido(Arquivo, Salvando);
    if (quem.empty()) return false;
    ExibeMensagem(0, "Atenção",
                  "O arquivo " + Arquivo + " " + quem + " e não pode ser substituído " + Saida + ".\r\n\r\n" + Depois);
    return true;
}

long EscolheSaida(clsCommonDialog& Dlg, const std::string& Proposta, const std::string& Saida, bool Abrir,
                  const acad::Document* Salvando)
{
    // A proposal the user would only have to refuse is not made; the dialog
    // still opens in its folder.
    const std::string lida = ComoODialogoLe(Dlg, Proposta);
    const bool protegida = !ArquivoProtegido(lida, Salvando).empty();
    const std::string pasta = Dlg.InitDir();
    if (protegida && pasta.empty()) Dlg.SetInitDir(fs::path(lida).parent_path().string());
    long r = 0;
    do {
        Dlg.SetFilename(protegida ? std::string() : Proposta);
        r = Abrir ? Dlg.ShowOpen(gMainForm) : Dlg.ShowSave(gMainForm);
    } while (r > 0 && SaidaRecusada(Dlg.Filename(), Saida, Salvando));
    Dlg.SetInitDir(pasta);
    return r;
}
