#include "sewer/clsSANQtt.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <system_error>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/Acad.h"
#include "platform/ado/Error.h"
#include "platform/forms/Forms.h"
#include "sewer/clsSANDb.h"
#include "sewer/modBlocosSAN.h"
#include "sewer/modConfSAN.h"
#include "sewer/modRedeSAN.h"
#include "shell/modPainel.h"
#include "shell/clsCommonDialog.h"
#include "shell/frmCancelar.h"
#include "shell/modArquivos.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"

namespace {

// Lines of the closing report beyond which only a count is given.
constexpr std::size_t kLinhasRelatorio = 30;

// The cancel window of a long step at the remembered position; the position
// where the user left it is stored back when the step ends, however it ends.
class JanelaCancelar {
public:
    JanelaCancelar(const std::string& Mensagem, int& Left, int& Top) : left_(Left), top_(Top)
    {
        frm_->Cancel = false;
        PosicionaDialogo(*frm_, Left, Top);
        frm_->SetMensagem(Mensagem);
        frm_->Show(forms::vbModeless, gMainForm);
    }
    ~JanelaCancelar()
    {
        left_ = static_cast<int>(std::lround(frm_->Left()));
        top_ = static_cast<int>(std::lround(frm_->Top()));
        forms::Unload(*frm_);
    }
    JanelaCancelar(const JanelaCancelar&) = delete;
    JanelaCancelar& operator=(const JanelaCancelar&) = delete;

    // Yields to the event queue; true when the user asked to stop.
    bool Cancelou()
    {
        forms::DoEvents();
        return frm_->Cancel;
    }

private:
    int& left_;
    int& top_;
    Dialogo<frmCancelar> frm_;
};

// The attributes a block must carry to be counted; "" when it has them all,
// else the missing tags.
std::string Faltam(acad::BlockReference& Bloco, std::initializer_list<const char*> Tags)
{
    std::set<std::string> tem;
    for (acad::AttributeReference* a : Bloco.GetAttributes()) tem.insert(a->TagString());
    std::string faltam;
    for (const char* t : Tags)
        if (!tem.count(t)) faltam += (faltam.empty() ? "" : ", ") + std::string(t);
    return faltam;
}

// The lines of a reader's complaints (ReadPVAttribs, ReadTRAttribs) about
// the given attributes of the block: the quantities read only some, and an
// attribute they do not read keeps no block out of them.
std::string QueixasSobre(const std::string& Queixas, acad::BlockReference& Bloco,
                         std::initializer_list<const char*> Tags)
{
    const std::string inicio = Bloco.Name() + " (" + Bloco.Handle() + "): o atributo ";
    std::string r;
    bool dentro = false;  // whether the line being read is kept
    std::size_t i = 0;
    while (i < Queixas.size()) {
        std::size_t fim = Queixas.find('\r', i);
        if (fim == std::string::npos) fim = Queixas.size();
        const std::string linha = Queixas.substr(i, fim - i);
        // A piece that does not begin as a line does is the rest of the one
        // before, whose text held a line break.
        if (linha.rfind(inicio, 0) == 0) {
            dentro = std::any_of(Tags.begin(), Tags.end(),
                                 [&](const char* t) { return linha.rfind(inicio + t + " (\"", 0) == 0; });
            if (dentro && !r.empty()) r += "\r";
        } else if (dentro) {
            r += "\r";
        }
        if (dentro) r += linha;
        i = fim + 1;
    }
    return r;
}

std::string Quem(const std::string& Tipo, const std::string& Nome, acad::BlockReference& Bloco)
{
    return Tipo + " " + Nome + " (" + Bloco.Name() + ", " + Bloco.Handle() + ")";
}

std::string Troca(const std::string& Texto, char De, const std::string& Por)
{
    std::string r;
    for (char c : Texto) {
        if (c == De)
            r += Por;
        else
            r += c;
    }
    return r;
}

// One report of what was left out, when anything was.
void Relata(const std::string& Titulo, const std::string& Cabeca, const std::vector<std::string>& Linhas)
{
    if (Linhas.empty()) return;
    std::string texto = Cabeca;
    for (std::size_t i = 0; i < Linhas.size() && i < kLinhasRelatorio; ++i) texto += "\r\n" + Linhas[i];
    if (Linhas.size() > kLinhasRelatorio)
        texto += "\r\n... e mais " + std::to_string(Linhas.size() - kLinhasRelatorio) + ".";
    ExibeMensagem(0, Titulo, texto);
}

}  // namespace

// ---------------------------------------------------------------- quantities

QttEtapaRec* clsSANQtt::EtapaDoNumero(const std::string& Texto)
{
    const std::string t = Apara(Texto);
    if (t.empty() || !IsNumero(t)) return nullptr;
    const double v = StrToDbl(t);
    if (v != std::floor(v)) return nullptr;
    for (QttEtapaRec& e : etapas_)
        if (e.Etapa == v) return &e;
    return nullptr;
}

void clsSANQtt::QTTMateriais(bool& Cancelado)
{
    Cancelado = false;
    deixados_.clear();
    Levanta(Cancelado);
    // Told once the cancel window is gone.
    if (!Cancelado) Relata("Quantitativos", "Blocos deixados fora dos quantitativos:", deixados_);
}

void clsSANQtt::Levanta(bool& Cancelado)
{
    JanelaCancelar janela("Levantando Quantitativos...", msgLeft_, msgTop_);

    etapas_.clear();
    for (const TRLayerParamRec& e : gEtapas) {
        QttEtapaRec et;
        et.Etapa = e.Etapa;
        et.Descricao = e.Descricao;
        for (const PVBlockRec& t : gPVBlocos)
            et.PVs.push_back(QttPVRec{t.Descricao, t.Bloco, 0, 0, 0, static_cast<float>(t.Chamine)});
        for (const MaterialRec& m : gMateriais) {
            QttMaterialRec mat;
            mat.Material = m.Material;
            for (const DiamDegrauRec& d : m.Diametros) mat.Diametros.push_back(QttDiametroRec{d.Diametro});
            et.Materiais.push_back(std::move(mat));
        }
        etapas_.push_back(std::move(et));
    }

    if (!ConectaAcad()) return;
    acad::SelectionSet* pvs = RecriaConjunto("SS1");
    pvs->Select(5, {}, {}, {0, 2}, {"INSERT", "E-PV*"});
    acad::SelectionSet* trs = RecriaConjunto("SS2");
    trs->Select(5, {}, {}, {0, 2}, {"INSERT", "E-TRSAN"});
    if (cProgress) cProgress->Progress_Start(pvs->Count() + trs->Count(), "Lendo objetos");

    for (acad::Entity* e : *trs) {
        if (janela.Cancelou()) {
            Cancelado = true;
            break;
        }
        auto* tr = acad::As<acad::BlockReference>(e);
        if (!tr) continue;
        // Everything is read afresh for each reach: nothing of the one before
        // stands in for what this one lacks.
        std::string trecho, material, diametro, pavimento, codigo, etapa;
        double comp = 0, decl = 0, tcs = 0, tcp = 0;
        std::optional<Ponto> pv1, pv2;
        const std::string falta = Faltam(*tr, {"DD", "MAT", "ET", "PV1", "PV2", "TCP"});
        // The reader also reads the slope and the top elevation, which no
        // quantity needs: a text there that is no number keeps the reach in.
        const std::string queixa = QueixasSobre(
            ReadTRAttribs(tr, trecho, material, diametro, comp, decl, pavimento, codigo, tcs, tcp, pv1, pv2, etapa),
            *tr, {"DD", "MAT", "TCP", "ET", "PV1", "PV2", "TQ", "DG"});
        const std::string quem = Quem("Trecho", trecho, *tr);
        QttEtapaRec* et = EtapaDoNumero(etapa);
        acad::BlockReference* pvm = pv1 ? PVNoPonto(*pv1, "E-PV*") : nullptr;
        acad::BlockReference* pvj = pv2 ? PVNoPonto(*pv2, "E-PV*") : nullptr;
        if (!falta.empty())
            deixados_.push_back(quem + ": sem o atributo " + falta + ".");
        else if (!queixa.empty())
            deixados_.push_back(queixa);
        else if (!et)
            deixados_.push_back(quem + ": etapa \"" + etapa + "\" fora do catálogo.");
        else if (!pvm)
            deixados_.push_back(quem + ": PVM não localizado.");
        else if (!pvj)
            deixados_.push_back(quem + ": PVJ não localizado.");
        else
            CalcPVQtt(material, diametro, static_cast<float>(comp), codigo, static_cast<float>(tcp), *et, *pvm, *pvj);
        if (cProgress) cProgress->Progress();
    }

    if (!Cancelado) {
        for (acad::Entity* e : *pvs) {
            if (janela.Cancelou()) {
                Cancelado = true;
                break;
            }
            auto* pv = acad::As<acad::BlockReference>(e);
            if (!pv) continue;
            std::string numero, etapa;
            double ct = 0, cs = 0, cp = 0;
            const std::string falta = Faltam(*pv, {"CP", "ET"});
            // Only the depth counts here: elevations that cannot be read are
            // the verification's business.
            const std::string queixa = QueixasSobre(ReadPVAttribs(pv, numero, ct, cs, cp, etapa), *pv, {"CP"});
            const std::string quem = Quem("PV", numero, *pv);
            QttEtapaRec* et = EtapaDoNumero(etapa);
            if (!falta.empty())
                deixados_.push_back(quem + ": sem o atributo " + falta + ".");
            else if (!queixa.empty())
                deixados_.push_back(quem + ": a profundidade (CP) não é um número.");
            else if (!et)
                deixados_.push_back(quem + ": etapa \"" + etapa + "\" fora do catálogo.");
            else
                AddInsumo(pv->Name(), static_cast<float>(cp), *et);
            if (cProgress) cProgress->Progress();
        }
    }
    if (cProgress) cProgress->Progress_Start(0, "");
}

void clsSANQtt::CalcPVQtt(const std::string& Material, const std::string& Diametro, float Comprimento,
                          const std::string& CodigoQueda, float Queda, QttEtapaRec& Etapa, acad::BlockReference& PVM,
                          acad::BlockReference& PVJ)
{
    Etapa.Usada = true;
    // The two manhole radii, in metres: the pipe runs between the walls.
    const double dm = StrToDbl(GetPVBlockDesc(PVM.Name()));
    const double dj = StrToDbl(GetPVBlockDesc(PVJ.Name()));
    const float folga = static_cast<float>((dj + dm) / 2000);
    for (QttMaterialRec& m : Etapa.Materiais) {
        if (m.Material != Material) continue;
        m.Usado = true;
        for (QttDiametroRec& d : m.Diametros) {
            if (d.Diametro != Diametro) continue;
            d.Comprimento += Comprimento - folga;
            if (CodigoQueda == "T") {
                d.TubosQueda += 1;
                d.AlturaTubosQueda += Queda;
            } else if (CodigoQueda == "D") {
                d.Degraus += 1;
                d.AlturaDegraus += Queda;
            }
            return;
        }
        return;
    }
}

void clsSANQtt::AddInsumo(const std::string& Bloco, float Profundidade, QttEtapaRec& Etapa)
{
    Etapa.Usada = true;
    for (QttPVRec& t : Etapa.PVs) {
        if (t.Bloco != Bloco) continue;
        t.Quantidade += 1;
        // A manhole shallower than 1 m lowers the extra height: the sums are
        // kept as the quantity surveys have always made them.
        if (static_cast<float>(t.Chamine + 1.0f) < Profundidade) {
            t.Chamines += 1;
            t.Acrescimo += Profundidade - t.Chamine - 1.0f;
        } else {
            t.Acrescimo += Profundidade - 1.0f;
        }
        return;
    }
}

// ---------------------------------------------------------------- table in the drawing

void clsSANQtt::QTTPrint(const Ponto& InsertPoint)
{
    if (!ConectaAcad()) return;
    std::string faltam;
    for (const char* b : {"RQ-A", "RQ-E", "RQ-I", "RQ-T"})
        if (!ExisteBloco(b)) faltam += (faltam.empty() ? "" : ", ") + std::string(b);
    if (!faltam.empty()) {
        ExibeMensagem(
            0, "Atenção",
            "A tabela de quantitativos não foi desenhada: falta no desenho a definição do bloco " + faltam + ".");
        return;
    }
    insX_ = InsertPoint.X;
    insY_ = InsertPoint.Y;
    DrawQttHeader();
    int n = 1;
    const auto item = [&](const std::string& Texto, const std::string& Un, float Qtd, int Dec) {
        DrawQttItem(n, Texto, Un, Qtd, Dec);
        ++n;
    };
    for (const QttEtapaRec& e : etapas_) {
        if (!e.Usada) continue;
        DrawQttEtapa(e.Descricao);
        for (const QttPVRec& t : e.PVs)
            if (t.Quantidade > 0) item(t.Descricao, "Un.", static_cast<float>(t.Quantidade), 0);
        for (const QttPVRec& t : e.PVs)
            if (t.Acrescimo > 0.01f) item("Acréscimo de " + t.Descricao, "m", t.Acrescimo, gPRECCOTA);
        for (const QttPVRec& t : e.PVs)
            if (t.Chamines > 0.01f) item("Chaminé para " + t.Descricao, "Un.", t.Chamines, 0);
        const auto porDiametro = [&](const std::function<void(const QttMaterialRec&, const QttDiametroRec&)>& f) {
            for (const QttMaterialRec& m : e.Materiais)
                if (m.Usado)
                    for (const QttDiametroRec& d : m.Diametros) f(m, d);
        };
        porDiametro([&](const QttMaterialRec& m, const QttDiametroRec& d) {
            if (d.Comprimento > 0.01f) {
                item("Tubos de " + m.Material + " DN " + d.Diametro, "m", d.Comprimento, gPRECDIST);
                total_ += d.Comprimento;
            }
        });
        porDiametro([&](const QttMaterialRec& m, const QttDiametroRec& d) {
            if (d.TubosQueda > 0)
                item("Tubos de Queda em " + m.Material + " DN " + d.Diametro, "Un.", static_cast<float>(d.TubosQueda),
                     0);
        });
        porDiametro([&](const QttMaterialRec& m, const QttDiametroRec& d) {
            if (d.Degraus > 0)
                item("Degraus em " + m.Material + " DN " + d.Diametro, "Un.", static_cast<float>(d.Degraus), 0);
        });
        porDiametro([&](const QttMaterialRec& m, const QttDiametroRec& d) {
            if (d.TubosQueda > 0)
                item("Altura de Tubos de Queda em " + m.Material + " DN " + d.Diametro, "m", d.AlturaTubosQueda,
                     gPRECCOTA);
        });
        porDiametro([&](const QttMaterialRec& m, const QttDiametroRec& d) {
            if (d.Degraus > 0)
                item("Altura de Degraus em " + m.Material + " DN " + d.Diametro, "m", d.AlturaDegraus, gPRECCOTA);
        });
    }
    DrawQttTotal();
}

void clsSANQtt::InsereLinha(const std::string& Bloco, const std::vector<std::pair<std::string, std::string>>& Valores)
{
    acad::BlockReference* b = gModelSpace->InsertBlock(Ponto(insX_, insY_, 0.0), Bloco, 1.0, 1.0, 1.0, 0.0);
    for (const auto& [tag, valor] : Valores) SetAtributo(tag, valor, b);
}

void clsSANQtt::DrawQttHeader() { InsereLinha("RQ-A", {}); }

void clsSANQtt::DrawQttEtapa(const std::string& Texto)
{
    insY_ -= 5.0;
    InsereLinha("RQ-E", {{"ETA", Texto}});
}

void clsSANQtt::DrawQttItem(int Numero, const std::string& Texto, const std::string& Unidade, float Quantidade,
                            int Decimais)
{
    insY_ -= 3.0;
    InsereLinha(
        "RQ-I",
        {{"N", std::to_string(Numero)}, {"ESP", Texto}, {"UN", Unidade}, {"QTT", FormatNum(Quantidade, Decimais)}});
}

void clsSANQtt::DrawQttTotal() { InsereLinha("RQ-T", {{"TOTAL", FormatNum(total_, gPRECDIST)}}); }

// ---------------------------------------------------------------- spreadsheet

void clsSANQtt::Insumos()
{
    bool ok = false, cancelado = false;
    deixados_.clear();
    OpenPlanilha(ok);
    if (!ok) return;
    InitFormulas();
    ReadTRsForPlanilha(cancelado, ok);
    if (!ok || cancelado) {
        DescartaPlanilha();
        return;
    }
    FillPlanilha(cancelado);
}

void clsSANQtt::OpenPlanilha(bool& Result)
{
    Result = false;
    clsCommonDialog dlg;
    dlg.SetFLAGS(2);
    dlg.SetDefaultExt("xls");
    dlg.SetFilter("Planilha do MSExcel *.xls|*.xls");
    if (EscolheSaida(dlg, NomeProposto() + ".xls", "pela planilha") <= 0) {
        ExibeMensagem(0, "Atenção", "Nenhum arquivo selecionado");
        return;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(gOrcaXLS, ec)) {
        ExibeMensagem(0, "Atenção", "O modelo da planilha não foi encontrado: " + gOrcaXLS);
        return;
    }
    const std::string destino = dlg.Path() + dlg.FileTitle();
    // The rows go into a copy of the template beside the chosen file, which
    // takes its place (the earlier workbook to the trash) only once they are
    // in it: a run that stops leaves the earlier workbook as it was.
    copia_ = std::make_unique<platform::FileReplacement>(destino);
    if (!CopyFileBeside(gOrcaXLS, *copia_)) {
        copia_.reset();
        return;
    }
    planilha_ = destino;
    try {
        cDataControl->SetDatabaseName(copia_->Path());
        cDataControl->SetRecordSource("Padrao$");
        cDataControl->Refresh();
    } catch (const std::exception& e) {
        ExibeMensagem(0, "Abrindo a planilha", copia_->NamingTarget(e.what()));
        DescartaPlanilha();
        return;
    }
    Result = true;
}

// The copy that was not written to: unbound and dropped, so that no
// half-made spreadsheet is left where the user will look for one.
void clsSANQtt::DescartaPlanilha()
{
    if (!copia_) return;
    try {
        cDataControl->SetDatabaseName("");
        cDataControl->Refresh();
    } catch (const std::exception&) {
    }
    copia_.reset();
    planilha_.clear();
}

void clsSANQtt::InitFormulas()
{
    formulas_ = {
        {"MEDIA", "#=(F_+G_)/2"},
        {"LARG", "#=ÍNDICE(VALAS;CORRESP(AC_;CONC;0);Z_)"},
        {"VTUB", "#=SE(E_=0;0;PROC(D_;DIAM;VOLUMDIAM*E_))"},
        {"VESC", "#=E_*H_*I_"},
        {"REAT", "#=J_-K_"},
        {"ESCT",
         "#=SE(H_=0;;SE(H_<=1,25;1;SE(H_<=1,5;2;SE(H_<=1,8;3;SE(H_<=3;4;SE(H_<=4;5;SE(H_<=5;6;SE(H_>5;7))))))))"},
        {"ESCD", "#=PROC(Z_;INDESCOR;TPESCOR)"},
        {"ESCA", "#=SE(M_=1;0;(E_*H_)*2)"},
        {"PPVM", "#=VALOR(F_)"},
        {"PAVAREA", "#=SE(ÉTEXTO(R_);(I_+0,3)*E_;)"},
        {"CHAM", "#=SE(AE_=0;;SE(AE_<=2,5;0;SE(AE_<=3,5;AE_-2,5;SE(AE_>3,5;1))))"},
        {"EXTV", "#=VALOR(E_)"},
        {"DEGV", "#=VALOR(U_)"},
        {"LARGV", "#=SE(H_>4;3;SE(H_>2;2;SE(H_>=1,25;1;0)))*10000+VALOR(D_)"},
        {"CCM", "#=SE(U_<=1;U_;0)"},
        {"CTQ", "#=SE(T_>=0,7;T_;0)"},
        {"CCU", "#=SE(T_>=0,7;1;0)"},
        {"CCB", "#=SE(U_=0;AE_;AE_-U_)"},
    };
}

void clsSANQtt::ReadTRsForPlanilha(bool& Cancelado, bool& Result)
{
    Result = true;
    Cancelado = false;
    trs_.clear();
    JanelaCancelar janela("Levantando Quantitativos...", msgLeft_, msgTop_);
    acad::SelectionSet* ss = RecriaConjunto("SS2");
    ss->Select(5, {}, {}, {0, 2}, {"INSERT", "E-TRSAN"});
    trs_.reserve(static_cast<std::size_t>(ss->Count()));
    if (cProgress) cProgress->Progress_Start(ss->Count(), "Lendo Trechos...");

    for (acad::Entity* e : *ss) {
        if (janela.Cancelou()) {
            Cancelado = true;
            break;
        }
        auto* tr = acad::As<acad::BlockReference>(e);
        if (!tr) continue;
        PlanilhaTRRec r;
        std::string ddTexto, motivo;
        bool temDD = false;
        std::optional<Ponto> p1, p2;
        acad::BlockReference *pvm = nullptr, *pvj = nullptr;
        for (acad::AttributeReference* a : tr->GetAttributes()) {
            const std::string tag = a->TagString(), texto = a->TextString();
            if (tag == "TRECHO") {
                r.TRECHO = texto;
            } else if (tag == "PV1" || tag == "PV2") {
                const std::optional<Ponto> p = SplitCoords(texto);
                (tag == "PV1" ? p1 : p2) = p;
                if (!p) continue;
                acad::BlockReference* pv = PVNoPonto(*p, "E-PV*");
                if (!pv) {
                    // The place is marked and the sheet left alone: the user
                    // mends the drawing and runs the command again.
                    gModelSpace->AddCircle(*p, 10.0);
                    ExibeMensagem(0, "Atenção", "Erros no desenho");
                    Result = false;
                    if (cProgress) cProgress->Progress_Start(0, "");
                    return;
                }
                (tag == "PV1" ? pvm : pvj) = pv;
            } else if (tag == "DD") {
                temDD = true;
                ddTexto = texto;
            } else if (tag == "PAVMTO") {
                r.PAVMTO = texto;
            } else if (tag == "TCP") {
                r.TCP = texto;
            }
        }
        const std::string quem = "Trecho " + r.TRECHO + " (" + tr->Handle() + ")";
        const std::size_t traco = ddTexto.find('-');
        std::string numM, cpM, numJ, cpJ;
        const auto le = [](acad::BlockReference* pv, const char* tag, std::string& v) {
            const std::optional<std::string> t = GetAtributo(tag, pv);
            if (t) v = *t;
            return t.has_value();
        };
        if (!p1 || !p2)
            motivo = "falta o atributo PV1 ou PV2, ou ele não tem coordenadas";
        else if (!temDD || traco == std::string::npos)
            motivo = "o atributo DD não separa diâmetro e comprimento";
        else if (!le(pvm, "NUMERO", numM) || !le(pvm, "CP", cpM))
            motivo = "o PV de montante não tem NUMERO ou CP";
        else if (!le(pvj, "NUMERO", numJ) || !le(pvj, "CP", cpJ))
            motivo = "o PV de jusante não tem NUMERO ou CP";
        if (motivo.empty()) {
            r.PVM = numM;
            r.PROFM = cpM;
            r.TPPV = GetPVBlockDesc(pvm->Name());
            r.PVJ = numJ;
            r.PROFJ = Apara(cpJ);
            r.DN = ddTexto.substr(0, traco);
            r.EXT = ddTexto.substr(traco + 1, 8);
            const std::string diamJ = GetPVBlockDesc(pvj->Name());
            if (!IsNumero(r.EXT) || !IsNumero(r.PROFJ) || !IsNumero(r.TCP)) {
                motivo = "comprimento, profundidade ou degrau não é um número";
            } else {
                if (!r.TCP.empty()) r.PROFJ = FormatNum(StrToDbl(r.PROFJ) - StrToDbl(r.TCP), 3);
                r.EXT = FormatNum(StrToDbl(r.EXT) - (StrToDbl(diamJ) + StrToDbl(r.TPPV)) / 2000, 2);
            }
        }
        if (motivo.empty())
            trs_.push_back(std::move(r));
        else
            deixados_.push_back(quem + ": " + motivo + ".");
        if (cProgress) cProgress->Progress();
    }

    // By reach name as text, code unit by code unit ("10" before "9").
    if (cProgress) cProgress->Progress_Start(static_cast<long long>(trs_.size()), "Ordenando...");
    std::stable_sort(trs_.begin(), trs_.end(),
                     [](const PlanilhaTRRec& a, const PlanilhaTRRec& b) { return a.TRECHO < b.TRECHO; });
    if (cProgress) cProgress->Progress_Start(0, "");
}

void clsSANQtt::FillPlanilha(bool& Cancelado)
{
    std::vector<std::string> naoEscritos;
    bool gravou = true;
    {
        JanelaCancelar janela("Preenchendo a planilha...", msgLeft_, msgTop_);
        ado::Recordset rs = cDataControl->Recordset();
        // The reaches follow the record whose TRECHO is "inicia", one of the
        // template's first 21 records.
        bool marcador = false;
        long long linha = 1;  // the sheet row of the current record
        try {
            rs.MoveFirst();
            for (int i = 0; i < 21 && !rs.Eof(); ++i) {
                ++linha;
                if (rs.Fields("TRECHO").Value().TextOr() == "inicia") {
                    marcador = true;
                    break;
                }
                rs.MoveNext();
            }
        } catch (const ado::Error&) {
        }
        if (!marcador) {
            ExibeMensagem(0, "Atenção",
                          "A planilha " + planilha_ +
                              " não tem a linha marcada \"inicia\" entre os seus 21 primeiros registros: nada foi "
                              "escrito.");
            DescartaPlanilha();
            return;
        }
        try {
            rs.MoveNext();
        } catch (const ado::Error&) {
        }
        if (cProgress) cProgress->Progress_Start(static_cast<long long>(trs_.size()), "Escrevendo...");
        for (const PlanilhaTRRec& t : trs_) {
            if (janela.Cancelou()) {
                Cancelado = true;
                break;
            }
            ++linha;
            const std::string r = std::to_string(linha);
            try {
                try {
                    rs.Edit();
                } catch (const ado::Error&) {
                    rs.AddNew();
                }
                const auto campo = [&](const char* Nome, const std::string& Valor) { rs.Fields(Nome).SetValue(Valor); };
                campo("TRECHO", t.TRECHO);
                campo("PVM", "#'" + t.PVM);
                campo("PVJ", "#'" + t.PVJ);
                campo("DN", "#'" + t.DN);
                campo("EXT", "#" + Troca(t.EXT, '.', ","));
                campo("PROFM", "#" + Troca(t.PROFM, '.', ","));
                campo("PROFJ", "#" + Troca(t.PROFJ, '.', ","));
                campo("DEGRAU", "#" + Troca(t.TCP, '.', ","));
                campo("NPVM", "'#" + t.PVM);
                campo("TPPV", "#'" + t.TPPV);
                campo("PRPVM", "#" + Troca(t.PROFM, '.', ","));
                campo("PAVMTO", "#" + t.PAVMTO);
                for (const auto& [nome, formula] : formulas_) campo(nome.c_str(), Troca(formula, '_', r));
                rs.Update();
            } catch (const ado::Error& e) {
                naoEscritos.push_back("Trecho " + t.TRECHO + ": " + copia_->NamingTarget(e.Description()));
                try {
                    rs.CancelUpdate();
                } catch (const ado::Error&) {
                }
            }
            try {
                if (!rs.Eof()) rs.MoveNext();
            } catch (const ado::Error&) {
            }
            if (cProgress) cProgress->Progress();
        }
        // The rows reach the file when the control lets the sheet go.
        try {
            cDataControl->SetDatabaseName("");
            cDataControl->Refresh();
        } catch (const std::exception& e) {
            gravou = false;
            ExibeMensagem(0, "Atenção",
                          "A planilha " + planilha_ + " não foi gravada:\r\n" + copia_->NamingTarget(e.what()));
        }
        if (cProgress) cProgress->Progress_Start(0, "");
    }
    if (!gravou || !ReplaceToRecycle(*copia_)) {
        DescartaPlanilha();
        return;
    }
    copia_.reset();
    OpenWithShell(planilha_);
    for (const std::string& n : naoEscritos) deixados_.push_back(n);
    Relata("Planilha", "Trechos que não estão na planilha:", deixados_);
    if (gMainForm) gMainForm->SetWindowState(forms::vbMinimized);
    ExibeMensagem(0, "Planilha: para concluir",
                  "No Excel:\r\nNo menu 'Editar', selecione 'Substituir...'\r\nEm 'Localizar:' preencha '#' (grade) e "
                  "clique em 'Substituir Tudo...");
    if (gMainForm) gMainForm->SetWindowState(forms::vbNormal);
}
