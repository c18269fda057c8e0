#include "topography/clsTOPDb.h"

#include <exception>
#include <stdexcept>

#include "platform/ado/Ado.h"
#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "topography/TOPDes.h"

bool clsTOPDb::LoadDb()
{
    const int ponteiro = forms::Screen.MousePointer();
    forms::Screen.SetMousePointer(forms::vbHourglass);
    std::vector<BlocoDefRec> blocos;
    std::string erro;
    ado::Connection cn;
    try {
        cn.SetCursorLocation(ado::adUseClient);
        // The engine takes no password: none is written here.
        cn.Open(ado::BuildConnectionString({{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", gMdbPath}}),
                "", "");
        ado::Recordset rs;
        try {
            rs.Open("SELECT * FROM T_DXFs ORDER BY Bloco,S1,S4", cn, ado::adOpenStatic, ado::adLockPessimistic);
        } catch (const ado::Error& e) {
            throw std::runtime_error("Tabela T_DXFs: " + e.Description());
        }
        if (rs.Eof()) throw std::runtime_error("Tabela T_DXFs: não há linhas.");
        blocos = LeBlocosDXF(rs, "T_DXFs");
        rs.Close();
    } catch (const ado::Error& e) {
        erro = e.Description();
    } catch (const std::exception& e) {
        erro = e.what();
    }
    try {
        if (cn.State() != ado::adStateClosed) cn.Close();
    } catch (const ado::Error&) {
    }
    forms::Screen.SetMousePointer(ponteiro);

    if (!erro.empty()) {
        ExibeMensagem(0, "Atenção",
                      "Não foi possível carregar os blocos de topografia de " + gMdbPath + ":\r" + erro +
                          "\r\rOs blocos carregados antes continuam em uso.");
        return false;
    }
    gBlocosTopo = std::move(blocos);
    return true;
}
