#include "shell/modCatalogo.h"

#include <new>

#include "platform/ado/Ado.h"
#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "shell/modGlobais.h"

std::string LeCatalogo(const std::function<void(const ado::Connection&)>& Le)
{
    std::string erro;
    bool falhou = true;
    ado::Connection cn;
    try {
        cn.SetCursorLocation(ado::adUseClient);
        // The engine takes no password: none is written here.
        cn.Open(ado::BuildConnectionString({{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", gMdbPath}}), "",
                "");
        Le(cn);
        falhou = false;
    } catch (const ado::Error& e) {
        erro = e.Description();
    } catch (const ErroCatalogo& e) {
        erro = e.what();
    } catch (const std::bad_alloc&) {
        erro = "Memória insuficiente para carregar o catálogo.";
    } catch (const std::length_error&) {  // a size past what memory can hold
        erro = "Memória insuficiente para carregar o catálogo.";
    } catch (const std::exception&) {
    }
    if (falhou && erro.empty()) erro = "Erro interno ao carregar o catálogo.";
    try {
        if (cn.State() != ado::adStateClosed) cn.Close();
    } catch (const ado::Error&) {
    }
    forms::Screen.SetMousePointer(forms::vbDefault);
    return erro;
}
