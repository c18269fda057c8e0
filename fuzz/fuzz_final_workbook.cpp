// The final workbook of a design table, written into a fuzzed template by the
// import menu's "Planilha Final": the table is opened, a workbook of the
// chosen name already exists, and the rows are written into a copy of the
// template. Either the workbook is replaced by one the sheet reader opens and
// handed to its program, or the user is told why and the old workbook stays
// byte for byte; no temporary file is left beside it, and no message speaks
// another library's words.
//
// Input: the options byte and the records of FuzzDesignTable.h, then (after a
// NUL) the template's sheet XML, then (after another NUL) its shared strings.

#include "FuzzDesignTable.h"
#include "FuzzFolder.h"
#include "FuzzProgram.h"
#include "FuzzWorkbook.h"

#include "platform/ado/Ado.h"
#include "sewer/clsSANImp.h"
#include "shell/ProgressBar.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::vector<fuzzing::Caixa> gCaixas;

std::string Conteudo(const std::string& Arquivo)
{
    std::ifstream in(Arquivo, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The part of the input between the n-th NUL and the next.
std::string Parte(const std::string& Texto, int n)
{
    std::size_t inicio = 0;
    for (int i = 0; i < n; ++i) {
        inicio = Texto.find('\0', inicio);
        if (inicio == std::string::npos) return "";
        ++inicio;
    }
    const std::size_t fim = Texto.find('\0', inicio);
    return Texto.substr(inicio, fim == std::string::npos ? std::string::npos : fim - inicio);
}

}  // namespace

// fontconfig, under Qt's font database, keeps caches it never frees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::IniciaPrograma([](forms::Form& f) {
        if (auto* box = dynamic_cast<frmMsgBox*>(&f))
            gCaixas.push_back({box->Titulo.Caption(), box->Mensagem.Caption()});
        return false;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    static const fuzzing::Folder pasta;
    static forms::Form form("frmFuzzPlanilha");
    static ProgressBar& barra = form.Add<ProgressBar>("Barra");
    static ado::DataControl dados;

    const std::string texto(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string tabela = pasta.Write("rede.dbf", nullptr, 0);
    if (!fuzzing::EscreveTabela(tabela, data[0], Parte(texto, 0))) return 0;
    fuzzing::Pack(pasta.Path() + "/dadosfinais.xls", Parte(texto, 1), Parte(texto, 2));
    // The workbook goes beside the work, not into the program folder, whose
    // files (the templates) no output may replace.
    std::filesystem::create_directories(pasta.Path() + "/trabalho");
    const std::string saida = pasta.Path() + "/trabalho/saida.xls";
    {
        std::ofstream(saida, std::ios::binary) << "antiga";
    }
    DefinePastaPrograma(pasta.Path());

    gCaixas.clear();
    int abertas = 0;
    os::SetDialogDriver([&](const os::DialogRequest& r) -> os::DialogAnswer {
        if (r.kind == os::DialogKind::Open) return os::DialogAnswer::Path(tabela);
        if (r.kind == os::DialogKind::Save) return os::DialogAnswer::Path(saida);
        // "Substituir?" of the existing workbook, and the program to open it with.
        os::DialogAnswer a = os::DialogAnswer::Yes();
        a.command = "planilha";
        return a;
    });
    os::SetLaunchHook([&](const os::LaunchRequest&) {
        ++abertas;
        return true;
    });

    {
        fuzzing::Host host;
        clsSANImp imp;
        imp.cProgress = &barra;
        imp.cData = &dados;
        imp.OpenTable();
        if (!imp.Tabela()) return 0;  // the table's own refusal: another target's business
        imp.SaveXLS();
    }

    if (abertas > 1) std::abort();
    if (abertas == 1) {
        try {
            ado::DataControl d;
            d.SetConnect("Excel 8.0;");
            d.SetDatabaseName(saida);
            d.SetRecordSource("Plan1$");
            d.Refresh();
            for (ado::Recordset rs = d.Recordset(); !rs.Eof(); rs.MoveNext())
                for (ado::Field f : rs.Fields()) (void)f.Value();
        } catch (const ado::Error&) {
            std::abort();  // handed over a workbook that does not read
        }
    } else {
        if (gCaixas.empty()) std::abort();              // not written, and not a word
        if (Conteudo(saida) != "antiga") std::abort();  // the old workbook was lost
    }
    for (const fuzzing::Caixa& c : gCaixas)
        if (fuzzing::TextoDeBiblioteca(c.Texto)) std::abort();
    std::size_t arquivos = 0;
    for (const auto& entry : std::filesystem::directory_iterator(pasta.Path())) {
        (void)entry;
        ++arquivos;
    }
    if (arquivos != 3) std::abort();  // a temporary left beside the workbook
    return 0;
}
