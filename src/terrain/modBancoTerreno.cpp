#include "terrain/modBancoTerreno.h"

#include <filesystem>

#include "platform/ado/Ado.h"
#include "platform/os/Files.h"
#include "shell/modArquivos.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"

std::string ConexaoTerreno(const std::string& Path)
{
    return ado::BuildConnectionString({{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", Path}});
}

std::string TemplateTerreno() { return (std::filesystem::path(PastaPrograma()) / "WATTemplate.mdb").string(); }

bool CriaBancoTerreno(const std::string& Path)
{
    if (os::FileExists(Path)) return true;
    const std::string modelo = TemplateTerreno();
    if (!os::FileExists(modelo)) {
        ExibeMensagem(0, "Atenção!", "O arquivo " + modelo + " não existe.");
        return false;
    }
    // CopyFileSafe tells the user itself when the copy fails.
    return CopyFileSafe(modelo, Path) && os::FileExists(Path);
}

bool BancoExiste(const std::string& Path)
{
    if (os::FileExists(Path)) return true;
    ExibeMensagem(0, "Atenção!", "O arquivo " + Path + " não existe.");
    return false;
}

void AvisaFalhaBanco(const std::string& Path, const std::string& Oque, const std::string& Motivo,
                     const std::string& Mantido)
{
    ExibeMensagem(0, "Atenção", "Não foi possível " + Oque + " no arquivo " + Path + ":\n" + Motivo + "\n\n" + Mantido);
}

bool TabelaDeRegioes(const std::string& Tabela)
{
    if (Tabela == "Pavimentos" || Tabela == "WATZonas") return true;
    ExibeMensagem(0, "Atenção", "Nome inválido para a tabela");
    return false;
}
