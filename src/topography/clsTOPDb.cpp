#include "topography/clsTOPDb.h"

#include "platform/ado/Ado.h"
#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "shell/modCatalogo.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "topography/TOPDes.h"

bool clsTOPDb::LoadDb()
{
    const int ponteiro = forms::Screen.MousePointer();
    forms::Screen.SetMousePointer(forms::vbHourglass);
    std::vector<BlocoDefRec> blocos;
    const std::string erro = LeCatalogo([&](const ado::Connection& cn) {
        ado::Recordset rs;
        try {
            rs.Open("SELECT * FROM T_DXFs ORDER BY Bloco,S1,S4", cn, ado::adOpenStatic, ado::adLockPessimistic);
        } catch (const ado::Error& e) {
            throw ErroCatalogo("Tabela T_DXFs: " + e.Description());
        }
        if (rs.Eof()) throw ErroCatalogo("Tabela T_DXFs: não há linhas.");
        blocos = LeBlocosDXF(rs, "T_DXFs");
        rs.Close();
    });
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
