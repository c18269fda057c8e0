// The design-table import on a dBase table written from the input, as the
// import menu runs it: the table is opened, checked for empty required
// fields (the report), its materials resolved through the picker, and its
// network drawn into a new drawing, whose saving is declined. Each way out
// says why in Portuguese; a report or a refusal draws nothing; a drawn network
// holds one reach per record and at most two manholes per record; the table's
// file is never changed.
//
// Input: an options byte (bit 1: the picker cancelled; the others as
// FuzzDesignTable.h says), then the records as FuzzDesignTable.h reads them.

#include "FuzzFolder.h"
#include "FuzzDesignTable.h"
#include "FuzzProgram.h"

#include "sewer/clsSANDb.h"
#include "sewer/clsSANImp.h"
#include "sewer/frmList.h"
#include "sewer/modRedeSAN.h"
#include "shell/ProgressBar.h"
#include "shell/frmTips.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Conteudo(const std::string& Arquivo)
{
    std::ifstream in(Arquivo, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fuzzing::Caixa> gCaixas;
int gRelatorios = 0;
bool gCancelaMaterial = false;

}  // namespace

// fontconfig, under Qt's font database, keeps caches it never frees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::IniciaPrograma([](forms::Form& f) {
        if (auto* box = dynamic_cast<frmMsgBox*>(&f)) {
            gCaixas.push_back({box->Titulo.Caption(), box->Mensagem.Caption()});
            return false;
        }
        if (auto* tips = dynamic_cast<frmTips*>(&f)) {
            ++gRelatorios;
            forms::user::Click(tips->cmdOK);
            return true;
        }
        if (auto* picker = dynamic_cast<frmList*>(&f)) {
            if (gCancelaMaterial) {
                forms::user::Click(picker->Command1(1));
            } else {
                forms::user::Choose(picker->List1, 0);
                forms::user::Click(picker->Command1(0));
            }
            return true;
        }
        return false;
    });
    if (!clsSANDb().LoadDb()) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    static const fuzzing::Folder pasta;
    static forms::Form form("frmFuzzImport");
    static ProgressBar& barra = form.Add<ProgressBar>("Barra");

    const std::string arquivo = pasta.Write("rede.dbf", nullptr, 0);
    if (!fuzzing::EscreveTabela(arquivo, data[0], std::string(reinterpret_cast<const char*>(data) + 1, size - 1)))
        return 0;
    const std::string antes = Conteudo(arquivo);

    gCaixas.clear();
    gRelatorios = 0;
    gCancelaMaterial = (data[0] & 2) != 0;
    int salvas = 0;
    os::SetDialogDriver([&](const os::DialogRequest& r) -> os::DialogAnswer {
        if (r.kind == os::DialogKind::Open) return os::DialogAnswer::Path(arquivo);
        if (r.kind != os::DialogKind::Save) std::abort();
        ++salvas;
        return os::DialogAnswer::Cancel();
    });

    fuzzing::Host host;
    clsSANImp imp;
    imp.cProgress = &barra;
    imp.OpenTable();
    if (!imp.Tabela()) {
        if (gCaixas.empty()) std::abort();  // refused without a word
    } else {
        const int desenhos = host.app.Documents().Count();
        gNumPVs = gNumTRs = 0;
        imp.DrawCmd();
        bool concluido = false;
        for (const fuzzing::Caixa& c : gCaixas) concluido = concluido || c.Titulo == "Desenhando";
        if (concluido) {
            // Drawn whole, then offered for saving.
            const long long n = imp.Tabela()->RecordCount();
            if (gRelatorios != 0 || salvas != 1 || host.app.Documents().Count() != desenhos + 1) std::abort();
            if (gNumTRs != n || gNumPVs < 1 || gNumPVs > 2 * n) std::abort();
        } else {
            if (salvas != 0 || (gRelatorios == 0 && gCaixas.empty())) std::abort();  // stopped without a word
            // A report comes before anything is drawn.
            if (gRelatorios != 0 && (host.app.Documents().Count() != desenhos || gNumTRs != 0)) std::abort();
        }
    }
    for (const fuzzing::Caixa& c : gCaixas)
        if (fuzzing::TextoDeBiblioteca(c.Texto)) std::abort();
    if (Conteudo(arquivo) != antes) std::abort();  // the import wrote into the table
    return 0;
}
