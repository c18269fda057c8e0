#include "sewer/clsSANImp.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/FileReplacement.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSet.h"
#include "platform/forms/Application.h"
#include "sewer/clsSANDb.h"
#include "sewer/frmDBF.h"
#include "sewer/frmList.h"
#include "sewer/modConfSAN.h"
#include "sewer/modRedeSAN.h"
#include "shell/frmTips.h"
#include "shell/modArquivos.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"

namespace {

const FiltroTipos kTiposPVGen = {0, 2};
const FiltroDados kDadosPVGen = {std::string("INSERT"), std::string("E-PVGEN")};

struct MaterialLido {
    std::string Texto;   // as the table writes it
    std::string Nome;    // the catalogue's name it stands for
    std::string Codigo;  // the catalogue's code; "" while unresolved
};

void Esvazia()
{
    gPVs.assign(1, PVRec{});
    gTRs.assign(1, TRRec{});
    gNumPVs = 0;
    gNumTRs = 0;
}

// The text of an extended-data value; "" for none.
std::string TextoDe(const std::vector<acad::Variant>& Valores, std::size_t Posicao)
{
    if (Posicao >= Valores.size()) return "";
    const acad::Variant& v = Valores[Posicao];
    if (v.IsString()) return v.AsString();
    if (v.IsInteger()) return std::to_string(v.AsInt());
    if (v.IsDouble()) return FormatNum(v.AsDouble(), 6);
    return "";
}

std::string Descricao(const std::exception& e)
{
    if (const auto* a = dynamic_cast<const acad::Error*>(&e)) return a->Description();
    if (const auto* d = dynamic_cast<const ado::Error*>(&e)) return d->Description();
    return e.what();
}

// The first generic manhole crossing the square of half side 2.0 around P,
// through the named selection set.
acad::BlockReference* PVGenNaPonta(const std::string& Conjunto, const Ponto& P)
{
    acad::SelectionSet* ss = RecriaConjunto(Conjunto);
    ss->Select(1, JanelaPonto(P, false, 2.0), JanelaPonto(P, true, 2.0), kTiposPVGen, kDadosPVGen);
    if (ss->Count() == 0) return nullptr;
    return acad::As<acad::BlockReference>(ss->Item(0));
}

}  // namespace

void clsSANImp::NewSANDes()
{
    des_ = std::make_unique<clsSANDes>();
    des_->gPRECCOTA = gPRECCOTA;
    des_->gPRECDECL = gPRECDECL;
    des_->gPRECDIST = gPRECDIST;
    des_->gPRECOORD = gPRECOORD;
}

void clsSANImp::Avanca(int Passos)
{
    if (!cProgress) return;
    for (int i = 0; i < Passos; ++i) cProgress->Progress();
}

void clsSANImp::SalvaDesenho(const std::string& Nome, const std::string& Filtro)
{
    clsCommonDialog dlg;
    dlg.SetDefaultExt("dwg");
    dlg.SetFLAGS(2);
    dlg.SetFilter(Filtro);
    if (EscolheSaida(dlg, Nome + ".dwg", "pelo desenho", false, gAcadDoc) <= 0) {
        ExibeMensagem(0, "Atenção", "Nenhum arquivo selecionado");
        return;
    }
    try {
        gAcadDoc->SaveAs(dlg.Filename());
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Atenção", e.Description());
    }
}

// ---------------------------------------------------------------- recovery

void clsSANImp::CaptureOld()
{
    if (!ConectaAcad()) return;
    const std::string nomeDesenho = gDwgName;
    NewSANDes();
    Esvazia();

    acad::SelectionSet* linhas = RecriaConjunto("SS1");
    linhas->Select(5, {}, {}, {0, 8}, {std::string("LINE"), std::string("REDE")});
    if (!InsertBlockFile("E-PVGEN")) return;

    const long long n = linhas->Count();
    // The selection set is re-created by other commands: the lines are kept here.
    std::vector<acad::Line*> lista;
    lista.reserve(static_cast<std::size_t>(n));
    for (acad::Entity* e : *linhas) lista.push_back(acad::As<acad::Line>(e));

    // The values of a line's data: the reach layout's own ("NUMEROTRE") when
    // it has them, else those of every application.
    const auto dados = [](const acad::Line& L, std::vector<acad::Variant>& Valores) {
        std::vector<int> tipos;
        L.GetXData("NUMEROTRE", tipos, Valores);
        if (Valores.empty()) L.GetXData("", tipos, Valores);
        return !Valores.empty();
    };

    try {
        if (cProgress) cProgress->Progress_Start(n, "Lendo Lines...");
        int k = 1;
        for (acad::Line* linha : lista) {
            forms::DoEvents();
            std::vector<acad::Variant> valores;
            if (linha && dados(*linha, valores)) {
                registro_ = "a linha " + linha->Handle();
                for (const Ponto p : {Ponto(linha->StartPoint()), Ponto(linha->EndPoint())}) {
                    const std::string cota = FormatNum(p.Z, gPRECCOTA);
                    ZoomCentro(p, gAcadZoomCenter);
                    if (!PVGenNaPonta("SS2", p)) {
                        des_->InsertPVGen(p, std::to_string(k), cota, 0);
                        ++k;
                    }
                }
            }
            Avanca();
        }

        ZoomTudo();
        if (cProgress) cProgress->Progress_Start(n, "Lendo TRs...");
        for (acad::Line* linha : lista) {
            forms::DoEvents();
            std::vector<acad::Variant> valores;
            if (linha && dados(*linha, valores)) {
                registro_ = "a linha " + linha->Handle();
                const Ponto p1(linha->StartPoint()), p2(linha->EndPoint());
                ZoomJanela(p1, p2, gAcadZoomScale);
                const std::string pavimento = TextoDe(valores, 3);
                const std::string contrib = TextoDe(valores, 4);
                acad::BlockReference* pv1 = PVGenNaPonta("SS2", p1);
                acad::BlockReference* pv2 = PVGenNaPonta("SS3", p2);
                // An end without a manhole: the line is no reach of the network.
                if (pv1 && pv2) des_->InsertTRGenObjs(pv1, pv2, 0, contrib, pavimento, "");
            }
            Avanca();
        }
    } catch (const std::exception& e) {
        if (cProgress) cProgress->Progress_Start(0, "");
        ExibeMensagem(0, "Atenção", "Erro ao recuperar " + registro_ + ":\r\n" + Descricao(e));
        return;
    }

    if (cProgress) cProgress->Progress_Start(0, "");
    ZoomTudo();
    ExibeMensagem(0, "", "Concluido");
    SalvaDesenho(nomeDesenho, "AutoCAD Drawing (*.dwg) |*.dwg");
}

// ---------------------------------------------------------------- drawing

void clsSANImp::DrawPVs()
{
    if (!des_) NewSANDes();
    if (gNumPVs == 0) return;
    double x1 = gPVs[0].X, y1 = gPVs[0].Y, x2 = x1, y2 = y1;
    for (int i = 1; i < gNumPVs; ++i) {
        const PVRec& r = gPVs[static_cast<std::size_t>(i)];
        x1 = std::min(x1, r.X);
        y1 = std::min(y1, r.Y);
        x2 = std::max(x2, r.X);
        y2 = std::max(y2, r.Y);
    }
    ZoomJanela(Ponto(x1, y1), Ponto(x2, y2), gAcadZoomScale);

    for (int i = 0; i < gNumPVs; ++i) {
        forms::DoEvents();
        PVRec& r = gPVs[static_cast<std::size_t>(i)];
        registro_ = "o PV " + r.Nome;
        r.Bloco = ChoosePVBlock(r.NumRepeticoes, r.PRF, r.DiamMax);
        double rotacao = 0.0;
        if (r.XJ != 0.0 || r.YJ != 0.0) rotacao = gAcadUtil->AngleFromXAxis({r.X, r.Y, 0.0}, {r.XJ, r.YJ, 0.0});
        acad::BlockReference* pv =
            des_->DrawPV(Ponto(r.X, r.Y), rotacao, r.Bloco, r.Nome, r.CT, r.CC, r.PRF, std::stoi(r.Etapa), true);
        r.ObjectID = pv ? pv->ObjectID() : 0;
        Avanca();
    }
}

void clsSANImp::DrawTRs()
{
    if (!des_) NewSANDes();
    for (int i = 0; i < gNumTRs; ++i) {
        forms::DoEvents();
        TRRec& t = gTRs[static_cast<std::size_t>(i)];
        registro_ = "o trecho " + t.Trecho;
        auto* pvm = acad::As<acad::BlockReference>(dynamic_cast<acad::Entity*>(gAcadDoc->ObjectIdToObject(t.ObjPV1)));
        auto* pvj = acad::As<acad::BlockReference>(dynamic_cast<acad::Entity*>(gAcadDoc->ObjectIdToObject(t.ObjPV2)));
        if (!pvm || !pvj) throw std::runtime_error("um dos PVs do trecho não está no desenho");
        std::string codigo;
        acad::BlockReference* tr = des_->DrawTR(pvm, pvj, t.Diam, t.Comp, t.Decl, t.Material, std::stoi(t.Etapa),
                                                t.Trecho, t.Pavimento, codigo);
        t.ObjTR = tr ? tr->ObjectID() : 0;
        Avanca(3);
    }
    gAcadDoc->Regen(0);
}

// ---------------------------------------------------------------- the table

void clsSANImp::OpenTable()
{
    dlg_ = std::make_unique<clsCommonDialog>();
    emUso_.reset();
    tabela_.reset();
    IMPFilename.clear();
    gNumPVs = 0;
    gNumTRs = 0;
    forms::Screen.SetMousePointer(forms::vbHourglass);
    dlg_->SetDefaultExt("dbf");
    dlg_->SetFilter("Tabelas do Brivan (*.dbf)|*.dbf");
    if (dlg_->ShowOpen(gMainForm) > 0) {
        tabela_ = std::make_unique<clsTabela1>();
        tabela_->cProgress = cProgress;
        if (cLabel) cLabel->SetCaption(dlg_->FileTitle());
        if (tabela_->Initialize(dlg_->FileTitle(), dlg_->Path())) {
            const std::string f = dlg_->Filename();
            IMPFilename = f.size() > 4 ? f.substr(0, f.size() - 4) : f;
            emUso_ = std::make_unique<ArquivoEmUso>(
                (std::filesystem::path(tabela_->dbFilePath) / tabela_->dbFileName).string(), "a tabela aberta");
        } else {
            tabela_.reset();
        }
    } else {
        if (cLabel) cLabel->SetCaption("");
        ExibeMensagem(0, "Atenção", "Nenhum arquivo selecionado");
    }
    forms::Screen.SetMousePointer(forms::vbDefault);
}

void clsSANImp::DrawCmd()
{
    if (!tabela_) return;
    clsTabela1& T = *tabela_;
    const auto falha = [this](const std::exception& e) {
        if (cProgress) cProgress->Progress_Start(0, "");
        forms::Screen.SetMousePointer(forms::vbDefault);
        ExibeMensagem(0, "Atenção", "Erro ao desenhar " + registro_ + ":\r\n" + Descricao(e));
    };

    long long n = 0;
    registro_ = "a tabela " + T.dbFileName;
    try {
        // The table as its file holds it now: the report sends the user to
        // the record editor, which writes straight into the file.
        T.Requery();
        const std::string vazios = T.VerificarTabela();
        if (!vazios.empty()) {
            Dialogo<frmTips> tips;
            tips->SetOKButton(true);
            tips->SetMensagem("Erros na tabela: \r\n" + vazios + "\r\n\r\nUse a ferramenta 'Editar Tabela'\r\n" +
                              "ou o próprio Brivan para corrigir\r\nestes erros.");
            tips->Show(forms::vbModal, gMainForm);
            forms::Unload(*tips);
            return;
        }
        n = T.RecordCount();
    } catch (const std::exception& e) {
        falha(e);
        return;
    }
    // Without a host nothing can be drawn: said before the user is asked
    // about any material. The new drawing itself waits for the answers.
    if (!AcadEmExecucao()) return;
    if (n == 0) {
        ExibeMensagem(0, "Atenção", "A tabela " + T.dbFileName + " não tem registros: nada a desenhar.");
        return;
    }

    Dialogo<frmList> picker;
    NewSANDes();
    picker->SetMyCaption("Materiais :");
    picker->List1.Clear();
    for (const MaterialRec& m : gMateriais) picker->List1.AddItem(m.Material);
    if (picker->List1.ListCount() > 0) picker->List1.SetListIndex(0);

    std::vector<MaterialLido> materiais;
    const auto material = [&](const std::string& Texto) -> const MaterialLido* {
        for (const MaterialLido& m : materiais)
            if (m.Texto == Texto) return &m;
        return nullptr;
    };
    const auto valor = [&](const char* Campo) { return T.GetFieldData(Campo, true); };
    const auto numero = [&](const char* Campo) { return valor(Campo).ToDouble(); };
    const auto texto = [&](const char* Campo) { return valor(Campo).ToText(); };

    try {
        // The materials are settled before the new drawing is made: a
        // cancelled import leaves no empty drawing behind.
        if (cProgress) cProgress->Progress_Start(n * 8 + 1, "");
        T.MoveFirst();
        for (long long i = 0; i < n; ++i) {
            forms::DoEvents();
            registro_ = "o trecho " + texto("CLTAT");
            const std::string mat = texto("MATER");
            if (!material(mat)) materiais.push_back({mat, "", ""});
            T.MoveNext();
            Avanca();
        }
        for (MaterialLido& m : materiais)
            for (const MaterialRec& c : gMateriais)
                if (c.Material == m.Texto) {
                    m.Nome = m.Texto;
                    m.Codigo = c.CodMaterial;
                }
        for (MaterialLido& m : materiais) {
            if (!m.Codigo.empty()) continue;
            picker->SetMyCaption("Material desconhecido: " + m.Texto);
            picker->Selected.clear();
            picker->Show(forms::vbModal, gMainForm);
            if (picker->Selected.empty()) {
                if (cProgress) cProgress->Progress_Start(0, "");
                forms::Unload(*picker);
                ExibeMensagem(0, "Atenção", "Cancelando operação");
                return;
            }
            m.Nome = picker->Selected;
            for (const MaterialRec& c : gMateriais)
                if (c.Material == m.Nome) {
                    m.Codigo = c.CodMaterial;
                    break;
                }
        }
    } catch (const std::exception& e) {
        forms::Unload(*picker);
        falha(e);
        return;
    }

    if (!ConectaAcad("", "Acad")) {
        if (cProgress) cProgress->Progress_Start(0, "");
        forms::Unload(*picker);
        return;
    }
    Esvazia();

    try {
        T.MoveFirst();
        for (long long i = 0; i < n; ++i) {
            forms::DoEvents();
            registro_ = "o trecho " + texto("CLTAT");
            AddPV(texto("PVM"), numero("CXM"), numero("CYM"), FormatNum(numero("CTM"), gPRECCOTA),
                  FormatNum(numero("CCM"), gPRECCOTA), FormatNum(numero("PRFM"), gPRECCOTA),
                  static_cast<int>(valor("ETAPA").ToLong()), 1, 0, FormatNum(numero("DIAM") * 1000, 0), numero("CXJ"),
                  numero("CYJ"), 0, "", 0);
            T.MoveNext();
            Avanca();
        }
        T.MoveFirst();
        for (long long i = 0; i < n; ++i) {
            forms::DoEvents();
            registro_ = "o trecho " + texto("CLTAT");
            // The downstream texts as the table stores them.
            AddPV(texto("PVJ"), numero("CXJ"), numero("CYJ"), texto("CTJ"), texto("CCJ"), texto("PRFJ"),
                  static_cast<int>(valor("ETAPA").ToLong()), 0, 1, FormatNum(numero("DIAM") * 1000, 0), 0, 0, 0, "", 0);
            T.MoveNext();
            Avanca();
        }

        DrawPVs();
        ZoomTudo();

        T.MoveFirst();
        for (long long i = 0; i < n; ++i) {
            forms::DoEvents();
            const std::string trecho = texto("CLTAT");
            registro_ = "o trecho " + trecho;
            const MaterialLido* m = material(texto("MATER"));
            AddTR(trecho, FormatNum(numero("DIAM") * 1000, 0), FormatNum(StrToDbl(texto("COMP")), gPRECDIST),
                  FormatNum(numero("DECL"), gPRECDECL), m ? m->Nome : "", texto("ETAPA"), GetPVKey(texto("PVM")),
                  GetPVKey(texto("PVJ")), 0, "", "", 0, 0, texto("PAVIM"), "");
            T.MoveNext();
            Avanca();
        }

        DrawTRs();
        ZoomTudo();
    } catch (const std::exception& e) {
        forms::Unload(*picker);
        falha(e);
        return;
    }
    if (cProgress) cProgress->Progress_Start(0, "");

    ExibeMensagem(0, "Desenhando", "Concluido\r\nSalve o desenho");
    forms::Unload(*picker);
    SalvaDesenho(IMPFilename, "AutoCAD Drawing (*.dwg)|*.dwg");
}

// ---------------------------------------------------------------- the record editor

void clsSANImp::EditTable()
{
    dlg_ = std::make_unique<clsCommonDialog>();
    dlg_->SetDefaultExt("dbf");
    dlg_->SetFilter("Tabelas do Brivan *.dbf|*.dbf");
    if (dlg_->ShowOpen(gMainForm) <= 0) {
        ExibeMensagem(0, "Atenção", "Nenhum arquivo selecionado");
        return;
    }
    frmDBF& frm = NovoEditorDBF();
    frm.Filename = dlg_->FileTitle();
    frm.FilePath = dlg_->Path();
    // A table that cannot be opened has been named to the user; no window then.
    if (!frm.Start()) return;
    frm.SetCaption(frm.FilePath + frm.Filename);
    // Beside the panel, which is kept on top: where it does not hide the window.
    if (gMainForm) {
        const double direita = gMainForm->Left() + gMainForm->Width();
        frm.Move(
            direita + frm.Width() <= forms::Screen.Width() ? direita : std::max(0.0, gMainForm->Left() - frm.Width()),
            gMainForm->Top());
    }
    frm.Show(forms::vbModeless);
}

// ---------------------------------------------------------------- the final workbook

namespace {

// A number of the table with the given decimals; a Null is the empty text, or
// 0 where the workbook has always read it so (QRI, QRF, CCM, CCJ).
std::string NumeroXLS(clsTabela1& T, const std::string& Campo, int Decimais, double Fator = 1.0, bool NuloZero = false)
{
    const ado::Value v = T.GetFieldData(Campo, false);
    if (v.IsNull()) return NuloZero ? FormatNum(0.0, Decimais) : std::string();
    return FormatNum(v.ToDouble() * Fator, Decimais);
}

std::string TextoXLS(clsTabela1& T, const std::string& Campo) { return T.GetFieldData(Campo, false).TextOr(""); }

bool EmBranco(const std::string& Texto) { return Texto.find_first_not_of(" \t") == std::string::npos; }

// The data control let go of its workbook, whatever state it was left in.
void Solta(ado::DataControl& Data)
{
    try {
        Data.SetDatabaseName("");
        Data.Refresh();
    } catch (const ado::Error&) {
    }
}

}  // namespace

void clsSANImp::SaveXLS()
{
    clsCommonDialog dlg;
    dlg.SetFLAGS(2);
    dlg.SetDefaultExt("xls");
    dlg.SetFilter("Planilha do MSExcel *.xls|*.xls");
    if (EscolheSaida(dlg, IMPFilename + ".xls", "pela planilha") <= 0) {
        ExibeMensagem(0, "Atenção", "Nenhum arquivo selecionado");
        return;
    }
    if (!cData || !tabela_) return;
    std::string arquivo = dlg.Filename();
    // The table as its file holds it now, with what the record editor wrote.
    try {
        tabela_->Requery();
    } catch (const ado::Error& e) {
        ExibeMensagem(0, "Atenção", "Não foi possível ler a tabela " + tabela_->dbFileName + ":\r\n" + e.Description());
        return;
    }
    // The rows go into a copy of the template beside the chosen file, which
    // takes the file's place only once they are all in it: a workbook of that
    // name stays as it was until then.
    platform::FileReplacement copia(arquivo);
    if (!CopyFileBeside(PastaPrograma() + "/dadosfinais.xls", copia)) return;
    try {
        cData->SetConnect("Excel 8.0;");
        cData->SetDatabaseName(copia.Path());
        cData->SetRecordSource("Plan1$");
        cData->Refresh();
    } catch (const ado::Error& e) {
        Solta(*cData);
        ExibeMensagem(0, "Atenção",
                      "A planilha " + arquivo + " não foi gravada.\r\n" + copia.NamingTarget(e.Description()));
        return;
    }
    if (!WriteXLSRows(copia)) return;
    if (!copia.Commit()) {
        ExibeMensagem(0, "Atenção", "A planilha " + arquivo + " não foi gravada: " + copia.Error());
        return;
    }
    // Handed to its program once its rows are in it: the program then shows
    // them, whether or not it could share the file with the sheet driver.
    OpenWithShell(arquivo);
}

bool clsSANImp::WriteXLSRows(const platform::FileReplacement& Copia)
{
    forms::Screen.SetMousePointer(forms::vbHourglass);
    ado::Recordset plan = cData->Recordset();
    clsTabela1& T = *tabela_;
    std::vector<std::string> falhas;  // the reaches not written whole
    try {
        plan.MoveFirst();
        for (int i = 0; i < 9 && !plan.Eof(); ++i) plan.MoveNext();
    } catch (const ado::Error&) {
        // A sheet of fewer records: the rows are appended below them.
    }
    // The contributing reaches are looked up in a reader of their own, so the
    // main one keeps its place.
    clsTabela1 busca;
    busca.Initialize(T.dbFileName, T.dbFilePath);
    auto Montante = [&](const std::string& Campo, const std::string& Antes) -> std::string {
        const ado::Value v = T.GetFieldData(Campo, false);
        if (v.IsNull() || !busca.Aberta()) return "";
        const std::string t = v.ToText();
        if (t.find("-0-") != std::string::npos) return "";
        if (!busca.FindFirst("CLTAT", v)) return "";
        return Antes + TextoXLS(busca, "PVM");
    };

    T.MoveFirst();
    const long long n = T.RecordCount();
    if (cProgress) cProgress->Progress_Start(n, "Escrevendo...");
    for (long long r = 0; r < n; ++r) {
        forms::DoEvents();
        std::vector<std::pair<const char*, std::string>> celulas;
        bool inteira = true;
        std::string trecho = "?";
        // Each cell on its own: one that cannot be read leaves the rest of the row.
        auto Celula = [&](const char* Coluna, const std::function<std::string()>& Valor) {
            try {
                celulas.emplace_back(Coluna, Valor());
            } catch (const ado::Error&) {
                inteira = false;
            }
        };
        Celula("F2", [&] { return trecho = TextoXLS(T, "CLTAT"); });
        Celula("F3", [&] { return " " + TextoXLS(T, "PVM"); });
        Celula("F4", [&] { return " " + TextoXLS(T, "PVJ"); });
        Celula("F5", [&] { return NumeroXLS(T, "COMP", gPRECDIST); });
        Celula("F6", [&] { return " " + Montante("CLTAN", "") + Montante("CLTLX", " ; ") + Montante("CLTLY", " ; "); });
        Celula("F7", [&] { return NumeroXLS(T, "QRI", 4, 1.0, true); });
        Celula("F8", [&] { return NumeroXLS(T, "QRF", 4, 1.0, true); });
        Celula("F9", [&] { return NumeroXLS(T, "CTM", gPRECCOTA); });
        Celula("F10", [&] { return NumeroXLS(T, "CTJ", gPRECCOTA); });
        Celula("F11", [&] { return NumeroXLS(T, "CCM", gPRECCOTA, 1.0, true); });
        Celula("F12", [&] { return NumeroXLS(T, "CCJ", gPRECCOTA, 1.0, true); });
        Celula("F13", [&] { return NumeroXLS(T, "PRFM", gPRECCOTA); });
        Celula("F14", [&] { return NumeroXLS(T, "PRFJ", gPRECCOTA); });
        Celula("F15", [&] { return NumeroXLS(T, "DECL", gPRECDECL); });
        Celula("F16", [&] { return NumeroXLS(T, "DIAM", 0, 1000.0); });
        Celula("F17", [&] { return NumeroXLS(T, "TIRF", 0, 100.0); });
        Celula("F18", [&] { return NumeroXLS(T, "VELF", 2); });
        Celula("F19", [&] { return NumeroXLS(T, "VCRI", 2); });
        Celula("F20", [&] {
            auto Concentrada = [&](const char* Campo) {
                const ado::Value v = T.GetFieldData(Campo, false);
                return !v.IsNull() && v.ToDouble() > 0 ? FormatNum(v.ToDouble(), 2) : std::string();
            };
            const std::string qci = Concentrada("QCI");
            const std::string qcf = Concentrada("QCF");
            const std::string obs = TextoXLS(T, "OBS");
            std::string f20 = EmBranco(obs) ? std::string() : obs;
            if (!EmBranco(qci)) f20 += "/" + qci;
            if (!EmBranco(qcf)) f20 += "/" + qcf;
            return f20;
        });
        T.MoveNext();

        try {
            try {
                plan.Edit();
            } catch (const ado::Error&) {
                plan.AddNew();  // past the template's rows
            }
            for (const auto& [coluna, texto] : celulas) {
                try {
                    plan.Fields(coluna).SetValue(texto);
                } catch (const ado::Error&) {
                    inteira = false;
                }
            }
            plan.Update();
        } catch (const ado::Error&) {
            inteira = false;
            try {
                plan.CancelUpdate();
            } catch (const ado::Error&) {
            }
        }
        try {
            plan.MoveNext();
        } catch (const ado::Error&) {
            // At the end already: the next row is appended.
        }
        if (!inteira) falhas.push_back(trecho);
        if (cProgress) cProgress->Progress();
    }

    if (cProgress) cProgress->Progress_Start(0, "");
    // The rows reach the file when the sheet is let go: a failure there
    // leaves the copy without them, and it is not handed to its program.
    bool salva = true;
    try {
        cData->SetDatabaseName("");
        cData->Refresh();
    } catch (const ado::Error& e) {
        salva = false;
        forms::Screen.SetMousePointer(forms::vbDefault);
        ExibeMensagem(0, "Atenção", Copia.NamingTarget(e.Description()));
    }
    forms::Screen.SetMousePointer(forms::vbDefault);
    if (salva && !falhas.empty()) {
        std::string lista;
        for (const std::string& t : falhas) lista += (lista.empty() ? "" : ", ") + t;
        ExibeMensagem(0, "Atenção", "Não foi possível escrever na planilha, inteiras, as linhas dos trechos: " + lista);
    }
    return salva;
}
