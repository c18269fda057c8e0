#include "ProjetoTestSupport.h"

#include "platform/ado/Ado.h"

namespace sewertest {

std::vector<CampoDbf> CamposCompletos(bool CltatNumerico)
{
    std::vector<CampoDbf> c = CamposDeProjeto(CltatNumerico);
    c.push_back({"CLTLC", 'C', 10, 0});
    for (const char* n : {"QRI", "QRF", "QCI", "QCF"}) c.push_back({n, 'N', 12, 6});
    for (const char* n : {"TIRF", "VELF", "VCRI"}) c.push_back({n, 'N', 10, 4});
    return c;
}

std::string Gravado(const std::filesystem::path& Tabela, const std::string& Cltat, const std::string& Campo)
{
    ado::Connection cn;
    cn.SetCursorLocation(ado::adUseClient);
    cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + Tabela.parent_path().string() +
                "/; Extended Properties=dBase 5.0;",
            "", "");
    ado::Recordset rs;
    rs.Open("select * from " + Tabela.filename().string(), cn, ado::adOpenStatic, ado::adLockReadOnly);
    for (; !rs.Eof(); rs.MoveNext())
        if (rs.Fields("CLTAT").Value().TextOr("") == Cltat) return rs.Fields(Campo).Value().TextOr("<null>");
    return "<nenhum>";
}

}  // namespace sewertest
