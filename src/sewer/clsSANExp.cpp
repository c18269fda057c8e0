#include "sewer/clsSANExp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <set>
#include <unordered_map>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/Acad.h"
#include "platform/acad/Error.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/ado/Ado.h"
#include "platform/forms/Application.h"
#include "platform/os/TextFile.h"
#include "sewer/modBlocosSAN.h"
#include "sewer/modRedeSAN.h"
#include "sewer/modTextosSAN.h"
#include "sewer/modConfSAN.h"
#include "shell/modPainel.h"
#include "shell/clsCommonDialog.h"
#include "shell/modArquivos.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"

namespace {

// A whole number with at least three digits: 7 → "007", 1234 → "1234".
std::string TresDigitos(long long n)
{
    std::string t = std::to_string(n < 0 ? -n : n);
    if (t.size() < 3) t.insert(0, 3 - t.size(), '0');
    return n < 0 ? "-" + t : t;
}

// The collector number written on a manhole as the capture reads it: a
// trimmed text that is a number, brought to the nearest whole number; any
// other text, or one beyond the range of the tables, is no number (0).
int NumeroColetor(const std::string& Texto)
{
    const std::string t = Apara(Texto);
    if (t.empty() || !IsNumero(t)) return 0;
    const double v = std::nearbyint(StrToDbl(t));
    if (!(std::fabs(v) <= std::numeric_limits<int>::max())) return 0;
    return static_cast<int>(v);
}

// A stage that is not a whole number counts as stage 0.
int NumeroEtapa(const std::string& Texto)
{
    const std::string t = Apara(Texto);
    if (t.empty() || !IsNumero(t)) return 0;
    const double v = StrToDbl(t);
    if (v != std::floor(v) || std::fabs(v) > std::numeric_limits<int>::max()) return 0;
    return static_cast<int>(v);
}

// The number formed by the text's leading numeric part, blanks skipped, "."
// as decimal point; 0 when it does not begin with a number.
double ValorInicial(const std::string& Texto)
{
    std::string s;
    for (char c : Texto)
        if (c != ' ' && c != '\t') s += c;
    std::size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
    bool digitos = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') num += s[i++], digitos = true;
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') num += s[i++], digitos = true;
    }
    if (!digitos) return 0.0;
    return std::strtod(num.c_str(), nullptr);
}

// The design program reads elevations written with "." only.
bool CotaValida(const std::string& Texto)
{
    std::size_t i = 0;
    if (i < Texto.size() && (Texto[i] == '-' || Texto[i] == '+')) ++i;
    bool digitos = false;
    while (i < Texto.size() && Texto[i] >= '0' && Texto[i] <= '9') ++i, digitos = true;
    if (i < Texto.size() && Texto[i] == '.') {
        ++i;
        while (i < Texto.size() && Texto[i] >= '0' && Texto[i] <= '9') ++i, digitos = true;
    }
    return digitos && i == Texto.size();
}

std::string F(double v) { return FormatNum(v, 12); }

// DXF text outside the code page: the drawing host reads "\U+XXXX" back.
std::string UnicodeDxf(char32_t c)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "\\U+%04X", static_cast<unsigned>(c));
    return buf;
}

// One catalogue table of head or tail lines: each row's text trimmed, a Null
// row an empty line.
std::vector<std::string> LinhasDxf(const ado::Connection& Cn, const std::string& Tabela)
{
    std::vector<std::string> linhas;
    ado::Recordset rs;
    rs.Open("select [Num],[Campo] from " + Tabela + " order by [Num]", Cn, ado::adOpenStatic, ado::adLockPessimistic);
    while (!rs.Eof()) {
        const ado::Value v = rs.Fields("Campo").Value();
        linhas.push_back(v.IsNull() ? std::string() : Apara(v.ToText()));
        rs.MoveNext();
    }
    rs.Close();
    return linhas;
}

}  // namespace

// ---------------------------------------------------------------- small services

void clsSANExp::ProgressStart(long long Max, const std::string& Caption)
{
    if (cProgress) cProgress->Progress_Start(Max, Caption);
}

void clsSANExp::Progress()
{
    if (cProgress) cProgress->Progress();
}

void clsSANExp::MarkPVError(const std::vector<double>& P, double Escala, const std::string& Texto, int Cor)
{
    const Ponto pt(P.size() > 0 ? P[0] : 0.0, P.size() > 1 ? P[1] : 0.0, P.size() > 2 ? P[2] : 0.0);
    InsertErrorMarker(pt, Escala, Texto, Cor);
}

// The "E-PVGEN" block at a reach end: of those crossing the square of side 4
// around it, the nearest (the first selected of equals).
acad::BlockReference* clsSANExp::PVNoFim(const std::vector<double>& P)
{
    const Ponto pt(P[0], P[1], 0.0);
    if (PontoForaDaVista(pt)) ZoomCentro(pt, gAcadZoomCenter);
    acad::SelectionSet* ss = RecriaConjunto("SS3");
    ss->Select(1, JanelaPonto(pt, true, 2.0), JanelaPonto(pt, false, 2.0), {0, 2}, {"INSERT", "E-PVGEN"});
    acad::BlockReference* achado = nullptr;
    double melhor = 0.0;
    for (acad::Entity* e : *ss) {
        auto* b = acad::As<acad::BlockReference>(e);
        if (!b) continue;
        const double d = Distancia(pt, b->InsertionPoint());
        if (!achado || d < melhor) {
            achado = b;
            melhor = d;
        }
    }
    return achado;
}

// ---------------------------------------------------------------- capture

int clsSANExp::CaptureRedeGen(bool& ColetNumerados, int& MenorColetor, std::vector<std::int32_t>& ListPLs)
{
    gPVs.assign(1, PVRec{});
    gNumPVs = 0;
    gTRs.assign(1, TRRec{});
    gNumTRs = 0;
    GetLayer(gLayerConf, 6, "");
    // An early stop gives the user back the view and text layers he had.
    const Ponto centro(gAcadDoc->GetVariable("VIEWCTR").AsPoint());
    const double altura = gAcadDoc->GetVariable("VIEWSIZE").AsDouble();
    ZoomTudo();
    SalvaLayersTexto(true);
    const auto interrompe = [&] {
        SalvaLayersTexto(false);
        ZoomCentro(centro, altura);
        return 0;
    };

    try {
        return Captura(ColetNumerados, MenorColetor, ListPLs, interrompe);
    } catch (...) {
        interrompe();
        throw;
    }
}

int clsSANExp::Captura(bool& ColetNumerados, int& MenorColetor, std::vector<std::int32_t>& ListPLs,
                       const std::function<int()>& interrompe)
{
    acad::SelectionSet* ss2 = RecriaConjunto("SS2");
    ss2->Select(5, {}, {}, {0, 2}, {"INSERT", "E-TRCGEN"});
    const std::vector<acad::Entity*> trechos = ss2->Items();
    ProgressStart(static_cast<long long>(trechos.size()), "Lendo Trechos...");
    if (trechos.empty()) {
        ExibeMensagem(0, "Lendo Trechos...", "Nenhum trecho localizado.");
        return interrompe();
    }
    if (auto* primeiro = acad::As<acad::BlockReference>(trechos[0]))
        if (auto p = SplitCoords(GetAtributo("IPV1", primeiro).value_or("")))
            ZoomCentro(Ponto(p->X, p->Y, 0.0), gAcadZoomCenter);

    for (acad::Entity* e : trechos) {
        auto* tr = acad::As<acad::BlockReference>(e);
        if (!tr) continue;
        std::string comp, material, pavimento, contrib, etapa;
        std::optional<Ponto> ipv1, ipv2;
        bool esvaziar = false;
        for (acad::AttributeReference* a : tr->GetAttributes()) {
            const std::string tag = a->TagString();
            if (tag == "IPV1")
                ipv1 = SplitCoords(a->TextString());
            else if (tag == "IPV2")
                ipv2 = SplitCoords(a->TextString());
            else if (tag == "COMP")
                comp = a->TextString();
            else if (tag == "MATERIAL")
                material = a->TextString();
            else if (tag == "PAVMTO")
                pavimento = a->TextString();
            else if (tag == "CONTRIB")
                contrib = a->TextString();
            else if (tag == "ET")
                etapa = a->TextString();
            else if (tag == "TRECHO") {
                a->SetTextString("");
                esvaziar = true;
            }
        }
        if (esvaziar) tr->Update();

        int ind[2] = {0, 0};
        std::int32_t obj[2] = {0, 0};
        const std::optional<Ponto>* pontas[2] = {&ipv1, &ipv2};
        for (int k = 0; k < 2; ++k) {
            acad::BlockReference* pv = nullptr;
            if (*pontas[k]) pv = PVNoFim({(*pontas[k])->X, (*pontas[k])->Y});
            if (!pv) {
                ExibeMensagem(0, "Capturando Rede", "PV não localizado");
                return interrompe();
            }
            std::string numero, ct, et, coletor;
            for (acad::AttributeReference* a : pv->GetAttributes()) {
                const std::string tag = a->TagString();
                if (tag == "NUMERO")
                    numero = a->TextString();
                else if (tag == "CT")
                    ct = a->TextString();
                else if (tag == "ET")
                    et = a->TextString();
                else if (tag == "COLETOR")
                    coletor = a->TextString();
            }
            const Ponto p = pv->InsertionPoint();
            ind[k] = AddPV(numero, p.X, p.Y, ct, "", "", NumeroEtapa(et), k == 0 ? 1 : 0, 0, "", 0.0, 0.0,
                           pv->ObjectID(), pv->Handle(), NumeroColetor(coletor));
            obj[k] = pv->ObjectID();
        }
        AddTR("", "", comp, "", material, etapa, obj[0], obj[1], tr->ObjectID(), "", "", ind[0], ind[1], pavimento,
              contrib);
        Progress();
    }

    numPLs_ = 0;
    // Without the marker's block file the user is told once, not per PV.
    const bool marcas = InsertBlockFile("ErroC");
    const auto marca = [&](const std::vector<double>& P, double Escala, const char* Texto, int Cor) {
        if (marcas) MarkPVError(P, Escala, Texto, Cor);
    };
    ProgressStart(gNumPVs, "Marcando PVs...");
    bool numerados = true;
    std::vector<std::int32_t> inicios;
    std::set<int> vistos;
    for (int i = 0; i < gNumPVs; ++i) {
        PVRec& pv = gPVs[static_cast<std::size_t>(i)];
        const std::vector<double> ponto{pv.X, pv.Y, 0.0};
        if (pv.NumSaidas == 0) {
            if (acad::BlockReference* b = BlocoDoId(pv.ObjectID)) SetAtributo("NUMERO", "FIM", b);
            marca(ponto, 15.0, "FIM", 3);
        } else if (pv.NumRepeticoes == 0) {
            marca(ponto, 10.0, "PL", 256);
            ++numPLs_;
            inicios.push_back(pv.ObjectID);
            if (pv.Coletor == 0 || !vistos.insert(pv.Coletor).second) numerados = false;
        } else if (pv.NumRepeticoes == 1) {
            if (pv.Coletor != 0) numerados = false;
        } else {
            marca(ponto, 3.0, "CR", 256);
            if (pv.Coletor != 0) numerados = false;
        }
        Progress();
    }
    ColetNumerados = numerados;
    MenorColetor = vistos.empty() ? 0 : *vistos.begin();
    // The list is this capture's own: starts of an earlier capture are not offered.
    ListPLs = std::move(inicios);
    ProgressStart(gNumTRs, "");
    SalvaLayersTexto(false);
    ZoomTudo();
    CaptureNumPVs = 0;
    return numPLs_;
}

// ---------------------------------------------------------------- numbering

void clsSANExp::Capture1(const std::string& Coletor, acad::BlockReference* ObjPV, bool AutoNumPV,
                         const std::string& PrefixPV)
{
    if (!ObjPV) return;
    const Ponto inicio = ObjPV->InsertionPoint();
    acad::LWPolyline* traco = gModelSpace->AddLightWeightPolyline({inicio.X, inicio.Y, inicio.X, inicio.Y});
    traco->SetConstantWidth(2.0);
    GetLayer(gLayerConf, 6, "");
    traco->SetLayer(gLayerConf);
    SetAtributo("COLETOR", Coletor, ObjPV);

    // The reaches leaving each manhole, by handle, in table order.
    std::unordered_map<std::string, std::vector<int>> saidas;
    for (int i = 0; i < gNumTRs; ++i) {
        const int pv1 = gTRs[static_cast<std::size_t>(i)].IndPV1;
        if (pv1 >= 0 && pv1 < gNumPVs) saidas[gPVs[static_cast<std::size_t>(pv1)].Handle].push_back(i);
    }

    acad::BlockReference* atual = ObjPV;
    std::string anterior = "-0-";
    int k = 1;
    int vertice = 1;
    for (;;) {
        forms::DoEvents();
        if (cProgress) cProgress->SetCaption("Coletor: " + Coletor);
        int t = -1;
        if (auto it = saidas.find(atual->Handle()); it != saidas.end())
            for (int i : it->second)
                if (gTRs[static_cast<std::size_t>(i)].Trecho.empty()) {
                    t = i;
                    break;
                }
        if (t < 0) break;
        TRRec& tr = gTRs[static_cast<std::size_t>(t)];
        acad::BlockReference* proximo = BlocoDoId(tr.ObjPV2);
        if (!proximo) break;

        ++vertice;
        traco->AddVertex(vertice, proximo->InsertionPoint());
        traco->Update();
        SetAtributo("COLETOR", " ", proximo);
        if (AutoNumPV) {
            ++CaptureNumPVs;
            const std::string n = TresDigitos(CaptureNumPVs);
            gPVs[static_cast<std::size_t>(tr.IndPV1)].Nome = n;
            if (acad::BlockReference* b = BlocoDoId(tr.ObjPV1)) SetAtributo("NUMERO", PrefixPV + n, b);
        }
        const std::string numero = Coletor + "-" + TresDigitos(k);
        tr.Aux1 = anterior;
        const std::string jusante = Apara(gPVs[static_cast<std::size_t>(tr.IndPV2)].Nome);
        tr.Aux2 = jusante.rfind("FIM", 0) == 0 ? "FIM" : Coletor + "-" + TresDigitos(k + 1);
        tr.Trecho = numero;
        if (acad::BlockReference* b = BlocoDoId(tr.ObjTR)) SetAtributo("TRECHO", numero, b);
        // One number per reach, however many "TRECHO" texts its block carries.
        ++k;
        atual = proximo;
        anterior = numero;
        Progress();
    }
}

bool clsSANExp::Capture2(const std::string& Coletor, bool AutoNumPV)
{
    acad::BlockReference* escolhido = nullptr;
    while (!escolhido) {
        if (std::none_of(gListPLs.begin(), gListPLs.end(), [](std::int32_t id) { return id != 0; })) return false;
        forms::DoEvents();
        AtivaJanelaAcad();
        // A point, not an entity: a click on empty ground is a miss to ask
        // again, and only Escape or Enter give up.
        Ponto ponto;
        try {
            ponto = Ponto(gAcadUtil->GetPoint(std::nullopt, "Selecione PV de Montante:"));
        } catch (const acad::Error&) {
            return false;
        }
        // The manhole under the pick, whatever lies over it (its PL marker's
        // cross covers its centre).
        acad::SelectionSet* ss = RecriaConjunto("SStmp");
        ss->SelectAtPoint(ponto, {0, 2}, {"INSERT", "E-PVGEN"});
        for (acad::Entity* e : *ss)
            for (std::int32_t& id : gListPLs)
                if (id != 0 && id == e->ObjectID()) {
                    id = 0;
                    escolhido = acad::As<acad::BlockReference>(e);
                }
        if (!escolhido) gAcadUtil->Prompt("Nenhum início de coletor (PL) a numerar no ponto indicado.");
    }
    Capture1(Coletor, escolhido, AutoNumPV, cTxtPrefix ? Apara(cTxtPrefix->Text()) : std::string());
    return true;
}

std::string clsSANExp::CaptureAuto(int ColetorIni, bool AutoNumCol, bool AutoNumPV, int PVIni,
                                   const std::string& PrefixPV)
{
    CaptureNumPVs = PVIni - 1;
    acad::SelectionSet* ss1 = RecriaConjunto("SS1");
    ss1->Select(5, {}, {}, {0, 2}, {"INSERT", "E-PVGEN"});
    const std::vector<acad::Entity*> pvs = ss1->Items();
    ProgressStart(static_cast<long long>(pvs.size()), "Lendo Coletores");
    coletores_.clear();
    for (acad::Entity* e : pvs) {
        if (auto* b = acad::As<acad::BlockReference>(e))
            for (acad::AttributeReference* a : b->GetAttributes()) {
                forms::DoEvents();
                if (a->TagString() != "COLETOR") continue;
                const double v = ValorInicial(a->TextString());
                if (!(v > 0)) continue;
                const double n = std::nearbyint(std::min(v, 9.0e15));
                coletores_.emplace(static_cast<long long>(n), b->ObjectID());
            }
        Progress();
    }

    ProgressStart(gNumTRs, "");
    std::string ultimo;
    long long proximoCol = ColetorIni;
    for (const auto& [c, id] : coletores_) {
        acad::BlockReference* b = BlocoDoId(id);
        if (!b) continue;
        const std::string texto = TresDigitos(AutoNumCol ? proximoCol++ : c);
        Capture1(texto, b, AutoNumPV, PrefixPV);
        ultimo = TresDigitos(c);
    }

    ProgressStart(gNumTRs + 1LL, "Atualizando Trechos...");
    for (int i = 0; i < gNumTRs; ++i) {
        const TRRec& tr = gTRs[static_cast<std::size_t>(i)];
        if (acad::BlockReference* b = BlocoDoId(tr.ObjTR)) {
            const std::string& pv1 = gPVs[static_cast<std::size_t>(tr.IndPV1)].Nome;
            const std::string& pv2 = gPVs[static_cast<std::size_t>(tr.IndPV2)].Nome;
            for (acad::AttributeReference* a : b->GetAttributes()) {
                forms::DoEvents();
                const std::string tag = a->TagString();
                if (tag == "PV1")
                    a->SetTextString(pv1);
                else if (tag == "PV2")
                    a->SetTextString(pv2);
                else
                    continue;
                b->Update();
            }
        }
        Progress();
    }
    ProgressStart(0, "");
    return ultimo;
}

// ---------------------------------------------------------------- DXF

std::string clsSANExp::ProximoHandle()
{
    ++handle_;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(handle_ + 1000));
    return buf;
}

std::string clsSANExp::DxfPVText(int Index)
{
    const PVRec& p = gPVs[static_cast<std::size_t>(Index)];
    const std::string bloco = p.NumRepeticoes == 0 ? "PL" : "PV";
    std::string s;
    s.reserve(700);
    const auto l = [&s](const std::string& t) {
        if (!s.empty()) s += "\r\n";
        s += t;
    };
    l(" 0"), l("TEXT"), l(" 5"), l(ProximoHandle()), l(" 100"), l("AcDbEntity"), l(" 8"), l("NUMPV"), l(" 100"),
        l("AcDbText"), l(" 10"), l(F(p.X - 4.0)), l(" 20"), l(F(p.Y + 3.2)), l(" 30"), l("0.0"), l(" 40"), l("4.0"),
        l(" 1"), l(p.Nome), l(" 7"), l("ROMANS"), l(" 72"), l("1"), l(" 11"), l(F(p.X + 3.2)), l(" 21"),
        l(F(p.Y + 3.2)), l(" 31"), l("0.0"), l(" 100"), l("AcDbText");
    l(" 0"), l("INSERT"), l(" 5"), l(ProximoHandle()), l(" 100"), l("AcDbEntity"), l(" 8"), l(bloco), l(" 100"),
        l("AcDbBlockReference"), l(" 2"), l(bloco), l(" 10"), l(F(p.X)), l(" 20"), l(F(p.Y)), l(" 30"), l("0.0");
    return s;
}

std::string clsSANExp::DxfTRLine(int Index)
{
    const TRRec& t = gTRs[static_cast<std::size_t>(Index)];
    const PVRec& u = gPVs[static_cast<std::size_t>(t.IndPV1)];
    const PVRec& d = gPVs[static_cast<std::size_t>(t.IndPV2)];
    std::string s;
    s.reserve(500);
    const auto l = [&s](const std::string& x) {
        if (!s.empty()) s += "\r\n";
        s += x;
    };
    l("0"), l("LINE"), l(" 5"), l(ProximoHandle()), l(" 100"), l("AcDbEntity"), l(" 8"), l("REDE"), l(" 100"),
        l("AcDbLine"), l(" 10"), l(F(u.X)), l(" 20"), l(F(u.Y)), l(" 30"), l(u.CT), l(" 11"), l(F(d.X)), l(" 21"),
        l(F(d.Y)), l(" 31"), l(d.CT), l(" 1001"), l("NUMEROTRE"), l(" 1000"), l(t.Trecho), l(" 1000"), l(u.Nome),
        l(" 1000"), l(t.Pavimento), l(" 1000"), l("SIM");
    return s;
}

void clsSANExp::SaveDXF()
{
    // An elevation the design program cannot read would spoil the whole file.
    std::string invalidos;
    int nInvalidos = 0;
    for (int i = 0; i < gNumPVs; ++i) {
        const PVRec& p = gPVs[static_cast<std::size_t>(i)];
        if (CotaValida(p.CT)) continue;
        if (++nInvalidos <= 20) invalidos += "\r\nPV " + p.Nome + ": CT \"" + p.CT + "\"";
    }
    if (nInvalidos > 0) {
        if (nInvalidos > 20) invalidos += "\r\n(e mais " + std::to_string(nInvalidos - 20) + ")";
        ExibeMensagem(0, "Atenção",
                      "Cota do terreno (CT) que não é um número escrito com \".\":" + invalidos +
                          "\r\n\r\nCorrija os PVs e salve de novo. Nenhum arquivo foi gravado.");
        return;
    }

    // A drawing kept as "planta.dxf" would be replaced by its own export.
    clsCommonDialog dlg;
    dlg.SetDefaultExt("dxf");
    dlg.SetFLAGS(2);
    dlg.SetFilter("Arquivo de exportação do Brivan *.dxf|*.dxf");
    if (EscolheSaida(dlg, NomeProposto() + ".dxf", "pela exportação") < 1) {
        ExibeMensagem(0, "Atenção", "Nenhum arquivo selecionado");
        return;
    }
    const std::string arquivo = dlg.Filename();

    // Both tables are read before the file is begun: a catalogue that fails
    // leaves no file behind.
    std::vector<std::string> cabeca, cauda;
    std::string tabela = "dxfINI";
    try {
        ado::Connection cn;
        cn.SetCursorLocation(ado::adUseClient);
        // As the catalogue loader: no password in the program (the data layer needs none).
        cn.Open(
            ado::BuildConnectionString(
                {{"PROVIDER", "MSDataShape"}, {"Data PROVIDER", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", gMdbPath}}),
            "", "");
        cabeca = LinhasDxf(cn, tabela);
        tabela = "dxfEND";
        cauda = LinhasDxf(cn, tabela);
        cn.Close();
    } catch (const std::exception& e) {
        ExibeMensagem(0, "Atenção",
                      "Não foi possível ler a tabela " + tabela + " do catálogo " + gMdbPath + ":\r\n" + e.what() +
                          "\r\n\r\nO arquivo " + arquivo + " não foi gravado.");
        return;
    }

    os::TextWriter out;
    out.SetEncoding(os::TextEncoding::Windows1252, UnicodeDxf);
    os::Status st = out.Create(arquivo, os::LineEnding::CRLF);
    for (const std::string& l : cabeca)
        if (st) st = out.WriteLine(l);
    ProgressStart(gNumPVs + static_cast<long long>(gNumTRs), "");
    for (int i = 0; i < gNumPVs && st; ++i) {
        st = out.WriteLine(DxfPVText(i));
        Progress();
    }
    for (int i = 0; i < gNumTRs && st; ++i) {
        st = out.WriteLine(DxfTRLine(i));
        Progress();
    }
    for (const std::string& l : cauda)
        if (st) st = out.WriteLine(l);
    if (st) st = out.Close();
    ProgressStart(0, "");
    if (!st) {
        ExibeMensagem(0, "Atenção",
                      "Não foi possível gravar o arquivo " + arquivo + ":\r\n" + st.message +
                          "\r\n\r\nO arquivo não foi gravado.");
    }
}
