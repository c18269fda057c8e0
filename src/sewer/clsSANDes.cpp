#include "sewer/clsSANDes.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modInfoPonto.h"
#include "cad/modSelecao.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Error.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SelectionSet.h"
#include "platform/forms/Application.h"
#include "sewer/clsSANDb.h"
#include "sewer/modBlocosSAN.h"
#include "shell/modMensagem.h"

namespace {

constexpr double MeioPI = 1.5707963267949;
const std::string NaoMostrar = "Não mostrar mais esta mensagem.";

// Reaches pointing left of north-south are drawn mirrored so that their texts
// read from left to right. The limits are these decimals, not π/2 and 3π/2.
bool Espelhado(double Direcao) { return Direcao > 1.571 && Direcao < 4.712; }

void Escreve(acad::AttributeReference* A, const std::string& Valor)
{
    A->SetTextString(Valor);
    A->Update();
}

// A diameter as a plain number: 150 gives "150", 62.5 gives "62.5".
std::string NumeroSimples(double Valor)
{
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, Valor, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

// The text's box, lower left and upper right; none for a text that draws nothing.
std::optional<std::pair<Ponto, Ponto>> Caixa(const acad::Entity* E)
{
    try {
        acad::Point3d a, b;
        E->GetBoundingBox(a, b);
        return std::make_pair(Ponto(a), Ponto(b));
    } catch (const acad::Error&) {
        return std::nullopt;
    }
}

double Largura(const acad::Entity* E)
{
    const auto c = Caixa(E);
    return c ? c->second.X - c->first.X : 0.0;
}

double Altura(const acad::Entity* E)
{
    const auto c = Caixa(E);
    return c ? c->second.Y - c->first.Y : 0.0;
}

// Corners of a text's box, collected for the fence that finds the old leaders.
void JuntaCantos(std::vector<Ponto>& Cantos, const acad::Entity* E)
{
    if (const auto c = Caixa(E)) {
        Cantos.push_back(c->first);
        Cantos.push_back(c->second);
    }
}

// The leaders ("TEXTO_PV" polylines) that a fence through `Cantos` crosses.
void ApagaGuias(const std::vector<Ponto>& Cantos)
{
    if (Cantos.size() < 2) return;
    std::vector<double> cerca;
    for (const Ponto& p : Cantos) cerca.insert(cerca.end(), {p.X, p.Y, 0.0});
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->SelectByPolygon(2, cerca, {0, 8}, {"LWPOLYLINE", "TEXTO_PV"});
    ss->Erase();
}

// A leader of three vertices on "TEXTO_PV" (left where it is drawn when that
// layer is missing).
void Guia(const Ponto& A, const Ponto& B, const Ponto& C)
{
    acad::LWPolyline* pl = gModelSpace->AddLightWeightPolyline({A.X, A.Y, B.X, B.Y, C.X, C.Y});
    try {
        pl->SetLayer("TEXTO_PV");
    } catch (const acad::Error&) {
    }
    pl->Update();
}

// A text anchored at P with the alignment given.
void Coloca(acad::AttributeReference* A, int Alinhamento, const Ponto& P)
{
    A->SetAlignment(Alinhamento);
    A->SetTextAlignmentPoint(P);
}

// A text anchored at P with its own alignment: a left-aligned text is placed by
// its insertion point, any other by its alignment point.
void ColocaNoPonto(acad::AttributeReference* A, const Ponto& P)
{
    if (A->Alignment() == 0)
        A->SetInsertionPoint(P);
    else
        A->SetTextAlignmentPoint(P);
}

// An attribute of a block turned by R about P, set upright where it stands in
// the unturned block: levelled where the turn put it, a column of texts beside
// the symbol would become one line of texts over each other.
void Endireita(acad::AttributeReference* A, const Ponto& P, double R)
{
    const Ponto ancora(A->Alignment() == 0 ? A->InsertionPoint() : A->TextAlignmentPoint());
    const double dx = ancora.X - P.X, dy = ancora.Y - P.Y;
    const double c = std::cos(R), s = std::sin(R);
    A->SetRotation(0);
    ColocaNoPonto(A, Ponto(P.X + c * dx + s * dy, P.Y - s * dx + c * dy, ancora.Z));
}

acad::AttributeReference* AtributoDaTag(acad::BlockReference* Bloco, const std::string& Tag)
{
    for (acad::AttributeReference* a : Bloco->GetAttributes())
        if (a->TagString() == Tag) return a;
    return nullptr;
}

// The point attributes of a reach: moved onto the point they hold, tiny and visible.
void PontoDoTrecho(acad::AttributeReference* A, const Ponto& P, int Decimais, double AlturaTexto)
{
    A->SetTextString(JoinCoords(P, Decimais));
    A->SetInsertionPoint(P);
    A->SetVisible(true);
    A->SetHeight(AlturaTexto);
    A->Update();
}

void Aviso(const std::string& Titulo, const std::string& Texto, bool& NaoMostrarMais)
{
    bool ok = false, cancel = false, marcado = false;
    int left = 0, top = 0;
    ExibeMensagem(2, Titulo, Texto, ok, cancel, marcado, NaoMostrar, left, top);
    NaoMostrarMais = marcado;
}

}  // namespace

// ---------------------------------------------------------------- designed manhole

acad::BlockReference* clsSANDes::DrawPV(const std::optional<Ponto>& InsPoint, std::optional<double> Rotation,
                                        const std::string& Tipo, const std::string& Numero, const std::string& Cter,
                                        const std::string& CSol, const std::string& Prof, int Etapa, bool Automatico)
{
    if (!ConectaAcad()) return nullptr;
    AtivaJanelaAcad();
    if (!DefineBlocoSAN(Tipo)) return nullptr;
    GetLayer("PV", 8, "");

    std::optional<Ponto> ponto = InsPoint;
    if (!ponto) ponto = GetPonto(std::nullopt, "Ponto de inserção: ");
    if (!ponto) return nullptr;
    if (!Rotation) Rotation = GetValorUsuario(ponto, "Direção: ");
    if (!Rotation) return nullptr;

    // The import chose this type by itself: the user is to look at its size.
    if (Tipo == "E-PV250" && Automatico) InsertErrorMarker(*ponto, 10.0, "Verificar dimensão do PV", 256);

    acad::BlockReference* pv = gModelSpace->InsertBlock(*ponto, Tipo, 1, 1, 1, *Rotation);
    pv->SetLayer("PV");
    for (acad::AttributeReference* a : pv->GetAttributes()) {
        Endireita(a, *ponto, *Rotation);
        const std::string tag = a->TagString();
        if (tag == "NUMERO")
            Escreve(a, Numero);
        else if (tag == "CT")
            Escreve(a, Cter);
        else if (tag == "CS")
            Escreve(a, CSol);
        else if (tag == "CP")
            Escreve(a, Prof);
        else if (tag == "ET")
            Escreve(a, std::to_string(Etapa));
    }
    return pv;
}

double clsSANDes::ValorParam(const std::string& Bloco) const
{
    for (const PVBlockRec& t : gPVBlocos)
        if (t.Bloco == Bloco) return t.DwgDiam;
    return 0.0;
}

// ---------------------------------------------------------------- designed reach

namespace {

// The alignment at the other end of the text's line: top right for top left,
// and so on (centred ones and the baseline ones unchanged).
int LadoOposto(int Alinhamento)
{
    if (Alinhamento < 6 || Alinhamento > 14) return Alinhamento;
    const int coluna = (Alinhamento - 6) % 3;  // 0 left, 1 centre, 2 right
    return Alinhamento + (coluna == 0 ? 2 : coluna == 2 ? -2 : 0);
}

}  // namespace

acad::BlockReference* clsSANDes::DrawTR(acad::BlockReference* PVM, acad::BlockReference* PVJ, const std::string& Diam,
                                        const std::string& Comp, const std::string& Decl, const std::string& MAT,
                                        int Etapa, const std::string& Trecho, const std::string& Pavmto,
                                        std::string& HasTQorDG)
{
    HasTQorDG.clear();
    if (!PVM || !PVJ) return nullptr;
    const Ponto P1 = PVM->InsertionPoint();
    const Ponto P2 = PVJ->InsertionPoint();
    const std::string cs1 = GetAtributo("CS", PVM).value_or("");
    const std::string cs2 = GetAtributo("CS", PVJ).value_or("");

    // Every number is checked before anything is drawn: a reach that cannot be
    // computed leaves no flow line behind.
    std::string erros;
    const auto confere = [&](const std::string& Texto, const std::string& OQue) {
        if (!IsNumero(Texto)) erros += "\r" + OQue + " \"" + Texto + "\" não é um número.";
    };
    confere(Diam, "O diâmetro");
    confere(Comp, "O comprimento");
    confere(Decl, "A declividade");
    confere(cs1, "A cota de soleira (CS) do PV de montante");
    confere(cs2, "A cota de soleira (CS) do PV de jusante");
    if (P1.X == P2.X && P1.Y == P2.Y) erros += "\rOs dois PVs estão no mesmo local.";
    if (!erros.empty()) {
        ExibeMensagem(0, "Atenção", "O trecho " + Trecho + " não foi desenhado:" + erros);
        return nullptr;
    }
    if (!DefineBlocoSAN("E-TRSAN")) return nullptr;
    GetLayer("FLUXO", 12, "");

    const Ponto M((P1.X + P2.X) / 2, (P1.Y + P2.Y) / 2, 0.0);
    const double A = gAcadUtil->AngleFromXAxis(P1, P2);
    const bool espelho = Espelhado(A);
    // The flow line runs between the rims of the two manhole symbols.
    const Ponto S = gAcadUtil->PolarPoint(P1, A, ValorParam(PVM->Name()));
    const Ponto E = gAcadUtil->PolarPoint(P2, A, -ValorParam(PVJ->Name()));
    acad::Line* fluxo = gModelSpace->AddLine(S, E);

    const double tcs = StrToDbl(cs1) - StrToDbl(Comp) * StrToDbl(Decl);
    const double tcp = tcs - StrToDbl(cs2);
    std::string codigo;
    if (tcp >= 1.0 / std::pow(10.0, gPRECCOTA)) codigo = PipeKindCode(tcp, MAT, Diam);
    const Ponto C = gAcadUtil->PolarPoint(E, A, -0.25);

    acad::BlockReference* tr = gModelSpace->InsertBlock(M, "E-TRSAN", 1, espelho ? -1 : 1, 1, A);
    tr->SetLayer("FLUXO");
    for (acad::AttributeReference* a : tr->GetAttributes()) {
        a->SetBackward(espelho);
        const std::string tag = a->TagString();
        if (tag == "DD") {
            Escreve(a, Diam + "-" + Comp);
        } else if (tag == "DEC") {
            Escreve(a, Decl);
        } else if (tag == "MAT") {
            Escreve(a, MAT);
        } else if (tag == "ET") {
            Escreve(a, std::to_string(Etapa));
        } else if (tag == "PV1") {
            PontoDoTrecho(a, P1, gPRECOORD, 0.00001);
        } else if (tag == "PV2") {
            PontoDoTrecho(a, P2, gPRECOORD, 0.00001);
        } else if (tag == "TRECHO") {
            Escreve(a, Trecho);
        } else if (tag == "PAVMTO") {
            Escreve(a, Pavmto);
        } else if (tag == "TCP" || tag == "TCS") {
            if (!codigo.empty()) {
                a->SetTextString(FormatNum(tag == "TCP" ? tcp : tcs, gPRECCOTA));
                // Defined to end at C, running upstream off the manhole; a
                // mirrored reach reads backwards, so there they start at C.
                if (espelho) a->SetAlignment(LadoOposto(a->Alignment()));
                a->SetTextAlignmentPoint(C);
                a->Update();
            }
        } else if (tag == "TQ" || tag == "DG") {
            if (tag == "TQ" ? codigo == "T" : !codigo.empty()) a->SetTextString("O");
            a->SetTextAlignmentPoint(C);
            a->SetAlignment(10);
            a->Update();
        }
        HasTQorDG = codigo;
    }
    fluxo->SetLayer(MakeTRName(StrToDbl(Diam), Etapa));
    fluxo->Update();
    return tr;
}

// The reach layer of a diameter and stage, made sure of: "T_" + diameter +
// the stage's suffix, coloured by diameter, with the stage's linetype.
std::string clsSANDes::MakeTRName(double Diametro, int Etapa)
{
    int cor = 0;
    for (const TRLayerColorRec& c : gCoresTR) {
        cor = c.Cor;
        if (c.Diametro >= Diametro) break;
    }
    std::string sufixo, tipo;
    for (const TRLayerParamRec& e : gEtapas) {
        if (e.Etapa == Etapa) {
            sufixo = e.Sufixo;
            tipo = e.LineType;
        }
    }
    std::string nome = "T_" + NumeroSimples(Diametro) + sufixo;
    GetLayer(nome, cor, tipo);
    return nome;
}

// "D" when the drop is within the step limit of the material's diameter, "T"
// (a drop pipe) beyond it, "" when the catalogue has no such diameter. The
// comparison is in single precision, as the limits are stored.
std::string clsSANDes::PipeKindCode(double Queda, const std::string& Material, const std::string& Diametro) const
{
    std::string codigo;
    for (const MaterialRec& m : gMateriais) {
        if (m.Material != Material) continue;
        for (const DiamDegrauRec& d : m.Diametros) {
            if (d.Diametro != Diametro) continue;
            const float limite = static_cast<float>(d.DegrauAte / 1000);
            codigo = limite >= static_cast<float>(Queda) ? "D" : "T";
        }
        break;
    }
    return codigo;
}

// ---------------------------------------------------------------- generic network

acad::BlockReference* clsSANDes::InsertPVGen(const std::optional<Ponto>& Pt, const std::string& Numero,
                                             const std::string& Cota, int Etapa)
{
    if (!DefineBlocoSAN("E-PVGEN")) return nullptr;
    if (!IsNumero(Cota)) {
        ExibeMensagem(0, "Atenção",
                      "O PV " + Numero + " não foi inserido: a cota do terreno \"" + Cota + "\" não é um número.");
        return nullptr;
    }
    std::optional<Ponto> ponto = Pt;
    if (!ponto) ponto = GetPonto(std::nullopt, "Selecione local: ");
    if (!ponto) return nullptr;

    acad::BlockReference* pv = gModelSpace->InsertBlock(*ponto, "E-PVGEN", 1, 1, 1, 0);
    for (acad::AttributeReference* a : pv->GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag == "NUMERO")
            Escreve(a, Numero);
        else if (tag == "CT")
            Escreve(a, FormatNum(StrToDbl(Cota), 3));
        else if (tag == "ET")
            Escreve(a, std::to_string(Etapa));
    }
    return pv;
}

void clsSANDes::InsertTRGen(int Etapa, const std::string& Contrib, const std::string& PAVIM,
                            const std::string& Material)
{
    if (!DefineBlocoSAN("E-TRCGEN")) return;
    const auto pvGenerico = [](acad::Entity* E) -> acad::BlockReference* {
        auto* b = acad::As<acad::BlockReference>(E);
        return b && b->ObjectName() == "AcDbBlockReference" && b->Name() == "E-PVGEN" ? b : nullptr;
    };
    Ponto ponto;
    bool falhou = true;

    acad::BlockReference* pv1 = nullptr;
    while (!pv1) {
        forms::DoEvents();
        acad::Entity* e = AtivaAcad("Selecione PV 1: ", 1, ponto, falhou, "");
        if (falhou) return;
        pv1 = pvGenerico(e);
    }
    const std::string montante = pv1->Handle();

    acad::BlockReference* pv2 = nullptr;
    while (!pv2) {
        forms::DoEvents();
        acad::Entity* e = AtivaAcad("Selecione PV 2: ", 1, ponto, falhou, "");
        if (falhou) return;
        if (e->Handle() == montante) {
            ExibeMensagem(0, "", "Selecione o PV de Jusante!");
            continue;
        }
        pv2 = pvGenerico(e);
    }
    InsertTRGenObjs(pv1, pv2, Etapa, Contrib, PAVIM, Material);
}

acad::BlockReference* clsSANDes::InsertTRGenObjs(acad::BlockReference* PV1, acad::BlockReference* PV2, int Etapa,
                                                 const std::string& Contrib, const std::string& PAVIM,
                                                 const std::string& Material)
{
    if (!PV1 || !PV2) return nullptr;
    // From the block file, which the build draws from the same catalogue rows.
    if (!InsertBlockFile("E-TRCGEN")) return nullptr;

    const Ponto P1 = PV1->InsertionPoint();
    const Ponto P2 = PV2->InsertionPoint();
    const std::string n1 = GetAtributo("NUMERO", PV1).value_or("");
    const std::string n2 = GetAtributo("NUMERO", PV2).value_or("");
    const std::string c1 = GetAtributo("CT", PV1).value_or("");
    const std::string c2 = GetAtributo("CT", PV2).value_or("");
    for (const auto& [numero, cota] : {std::pair(n1, c1), std::pair(n2, c2)}) {
        if (!IsNumero(cota)) {
            ExibeMensagem(0, "Atenção",
                          "O trecho " + n1 + "-" + n2 + " não foi desenhado: a cota do terreno \"" + cota +
                              "\" do PV " + numero + " não é um número.");
            return nullptr;
        }
    }
    const double L = Distancia(P1, P2);

    // Sewage runs downhill: a reach towards higher ground is suspicious.
    if (StrToDbl(c2) > StrToDbl(c1) && !semAvisoSentido_)
        Aviso("Inserindo Tubulação", "Sentido desfavorável", semAvisoSentido_);

    const double A = Azimute(P1, P2);
    const Ponto M = PontoPolar(P1, A, L / 2);
    gModelSpace->AddLine(PontoPolar(P1, A, 2.0), PontoPolar(P2, A + PI, 2.0));
    const bool espelho = Espelhado(A);
    acad::BlockReference* tr = gModelSpace->InsertBlock(M, "E-TRCGEN", 1, espelho ? -1 : 1, 1, A);
    for (acad::AttributeReference* a : tr->GetAttributes()) {
        a->SetBackward(espelho);
        const std::string tag = a->TagString();
        if (tag == "TRECHO")
            Escreve(a, n1 + "-" + n2);
        else if (tag == "PV1")
            Escreve(a, n1);
        else if (tag == "PV2")
            Escreve(a, n2);
        else if (tag == "IPV1")
            PontoDoTrecho(a, P1, gPRECOORD, 0.0001);
        else if (tag == "IPV2")
            PontoDoTrecho(a, P2, gPRECOORD, 0.0001);
        else if (tag == "COMP")
            Escreve(a, FormatNum(L, 2));
        else if (tag == "ET")
            Escreve(a, std::to_string(Etapa));
        else if (tag == "PAVMTO")
            Escreve(a, PAVIM);
        else if (tag == "CONTRIB")
            Escreve(a, Contrib);
        else if (tag == "MATERIAL")
            Escreve(a, Material);
    }

    if (L > 100.0 && !semAvisoComprimento_)
        Aviso("Inserindo Tubulações", "Este Trecho é maior que 100 metros", semAvisoComprimento_);
    return tr;
}

// ---------------------------------------------------------------- attribute texts

void clsSANDes::MoverAtt()
{
    bool Stop = false;
    do {
        forms::DoEvents();
        MoveAttPick(Stop);
    } while (!Stop);
}

void clsSANDes::MoveAttPick(bool& Stop)
{
    Stop = true;
    Ponto ponto;
    bool falhou = true;
    std::vector<acad::BlockReference*> contexto;
    acad::Entity* objeto = PegaCoordenadas("Selecione Objeto: ", 1, false, ponto, falhou, contexto);
    if (falhou || !objeto) return;

    // The block of the pick: the owner of a picked text, or the outermost
    // reference holding a picked part.
    acad::AttributeReference* texto = nullptr;
    acad::BlockReference* bloco = nullptr;
    if (objeto->ObjectName() == "AcDbAttribute") {
        texto = static_cast<acad::AttributeReference*>(objeto);
        bloco = texto->OwnerReference();
    } else if (!contexto.empty()) {
        bloco = contexto.back();
    }
    if (!bloco || bloco->Name().compare(0, 2, "E-") != 0) return;
    Stop = false;

    // A pick on the block itself stands for its reach name (reaches) or its
    // number (manholes).
    if (!texto) {
        const std::string nome = bloco->Name();
        const bool trecho = nome == "E-TRECHO" || nome == "E-TRCGEN" || nome == "E-TRSAN";
        texto = AtributoDaTag(bloco, trecho ? "TRECHO" : "NUMERO");
        if (!texto) return;
    }

    const std::string tag = texto->TagString();
    if (tag == "TRECHO" || tag == "DD" || tag == "DEC") {
        const std::optional<Ponto> destino = GetPonto(Ponto(bloco->InsertionPoint()), "Selecione destino: ");
        if (destino)
            MoveAtt2(bloco, destino);
        else
            MoveTRTexts(bloco);
    } else if (tag == "CT" || tag == "CS" || tag == "CP") {
        MoveAtt2(bloco, std::nullopt);
    } else if (tag == "NUMERO" || tag == "TCP" || tag == "TCS") {
        MoveAtt3(bloco);
    }
}

// The reach's name and diameter-length on one side of the line, the slope on
// the other, along the reach.
void clsSANDes::MoveTRTexts(acad::BlockReference* Bloco)
{
    const Ponto P = Bloco->InsertionPoint();
    const double R = Bloco->Rotation();
    const double Y = Bloco->YScaleFactor() > 0 ? 1.0 : -1.0;
    const double lado = R + Y * MeioPI;
    const double rotacao = Y > 0 ? R : PI - R;
    std::vector<Ponto> cantos;
    for (acad::AttributeReference* a : Bloco->GetAttributes()) {
        const std::string tag = a->TagString();
        double distancia = 0;
        int alinhamento = 0;
        if (tag == "TRECHO") {
            distancia = 3.1578;
            alinhamento = 13;
        } else if (tag == "DD") {
            distancia = 1.1713;
            alinhamento = 13;
        } else if (tag == "DEC") {
            distancia = -1.9397;
            alinhamento = 7;
        } else {
            continue;
        }
        JuntaCantos(cantos, a);
        Coloca(a, alinhamento, PontoPolar(P, lado, distancia));
        a->SetRotation(rotacao);
        a->Update();
    }
    ApagaGuias(cantos);
}

void clsSANDes::MoveAtt2(acad::BlockReference* Bloco, std::optional<Ponto> Destino)
{
    const std::vector<acad::AttributeReference*> atributos = Bloco->GetAttributes();
    const Ponto P = Bloco->InsertionPoint();
    if (!Destino) Destino = GetPonto(P, "Selecione destino: ");
    if (!Destino) return;
    const Ponto D = *Destino;
    const bool direita = P.X < D.X;
    const double sentido = direita ? 0.0 : PI;

    double W = 0, H = 0;
    std::vector<Ponto> cantos;
    for (acad::AttributeReference* a : atributos) {
        const std::string tag = a->TagString();
        if (tag == "NUMERO") {
            a->SetRotation(0);
            a->Update();
            continue;
        }
        if (tag != "CT" && tag != "CS" && tag != "CP" && tag != "DD" && tag != "DEC" && tag != "TRECHO") continue;
        JuntaCantos(cantos, a);
        a->SetRotation(0);
        if (tag == "CT") {
            // Ground above invert, both right-aligned in one column beside D.
            W = Largura(a) + 1;
            Coloca(a, 14, direita ? Ponto(D.X + W, D.Y, 0.0) : Ponto(D.X, D.Y, 0.0));
        } else if (tag == "CS") {
            Coloca(a, 8, direita ? Ponto(D.X + W, D.Y - 0.41, 0.0) : Ponto(D.X, D.Y - 0.41, 0.0));
        } else if (tag == "CP") {
            if (direita)
                Coloca(a, 9, Ponto(D.X + W, D.Y - 0.3, 0.0));
            else
                Coloca(a, 11, Ponto(D.X - W, D.Y - 0.3, 0.0));
        } else if (tag == "DD") {
            W = Largura(a);
            H = Altura(a);
            Coloca(a, 13, PontoPolar(D, sentido, W / 2));
        } else if (tag == "DEC") {
            Ponto p = PontoPolar(D, sentido, W / 2);
            p.Y -= 0.3;
            Coloca(a, 7, p);
        } else {
            Ponto p = PontoPolar(D, sentido, W / 2);
            p.Y += 1 + 2 * H;
            Coloca(a, 7, p);
        }
        a->Update();
    }

    const Ponto S = gAcadUtil->PolarPoint(P, gAcadUtil->AngleFromXAxis(P, D), ValorParam(Bloco->Name()));
    ApagaGuias(cantos);
    Guia(S, D, PontoPolar(D, sentido, W));
}

void clsSANDes::MoveAtt3(acad::BlockReference* Bloco)
{
    std::optional<Ponto> referencia;
    for (acad::AttributeReference* a : Bloco->GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag == "NUMERO")
            referencia = Ponto(Bloco->InsertionPoint());
        else if (tag == "TQ")
            referencia = Ponto(a->TextAlignmentPoint());
    }
    if (!referencia) return;
    const std::optional<Ponto> destino = GetPonto(referencia, "Selecione destino: ");
    if (!destino) return;
    const Ponto D = *destino;
    // The leader leaves the manhole (the reach's downstream end) for D.
    const bool direita = referencia->X < D.X;

    std::vector<Ponto> cantos;
    double largura = 0;  // of the wider drop text
    for (acad::AttributeReference* a : Bloco->GetAttributes()) {
        const std::string tag = a->TagString();
        if (tag != "NUMERO" && tag != "TCP" && tag != "TCS") continue;
        if (tag != "NUMERO") JuntaCantos(cantos, a);
        a->SetRotation(0);
        if (tag == "NUMERO") {
            ColocaNoPonto(a, D);
        } else {
            largura = std::max(largura, Largura(a));
            if (tag == "TCP")
                Coloca(a, direita ? 12 : 14, D);
            else
                Coloca(a, direita ? 6 : 8, Ponto(D.X, D.Y - 0.3, 0.0));
        }
        a->Update();
    }
    ApagaGuias(cantos);
    Guia(*referencia, D, Ponto(direita ? D.X + largura : D.X - largura, D.Y, 0.0));
}

// ---------------------------------------------------------------- field rules

namespace {

// A rule's two inputs, read as every number of the system is: an emptied
// field, or a lone separator, is 0 (a reach drawn with an empty length or
// slope takes them so). Both are read before anything is written: when
// either is not a number the rule writes nothing.
bool LeDois(const std::string& A, const std::string& B, double& a, double& b)
{
    if (!IsNumero(A) || !IsNumero(B)) return false;
    a = StrToDbl(A);
    b = StrToDbl(B);
    return true;
}

}  // namespace

bool clsSANDes::Val_PVCtTer(int Decimais, std::string& CtTer, std::string& CtSol, std::string& CtPrf)
{
    double ter, sol;
    if (!LeDois(CtTer, CtSol, ter, sol)) return false;
    CtSol = FormatNum(sol, Decimais);
    CtPrf = FormatNum(ter - sol, Decimais);
    return true;
}

bool clsSANDes::Val_PVCtSol(int Decimais, std::string& CtTer, std::string& CtSol, std::string& CtPrf)
{
    double ter, sol;
    if (!LeDois(CtTer, CtSol, ter, sol)) return false;
    CtTer = FormatNum(ter, Decimais);
    CtPrf = FormatNum(ter - sol, Decimais);
    return true;
}

bool clsSANDes::Val_PVCtPrf(int Decimais, std::string& CtTer, std::string& CtSol, std::string& CtPrf)
{
    double ter, prf;
    if (!LeDois(CtTer, CtPrf, ter, prf)) return false;
    CtTer = FormatNum(ter, Decimais);
    CtSol = FormatNum(ter - prf, Decimais);
    return true;
}

bool clsSANDes::Val_TRDecl(int Decimais, double CSol1, double CSol2, const std::string& Compr, std::string& Decl,
                           std::string& Altura)
{
    double compr, decl;
    if (!LeDois(Compr, Decl, compr, decl)) return false;
    Altura = FormatNum((CSol1 - CSol2) - compr * decl, Decimais);
    return true;
}

bool clsSANDes::Val_TRAltr(int Decimais, double CSol1, double CSol2, const std::string& Compr, std::string& Decl,
                           std::string& Altura)
{
    double compr, altura;
    if (!LeDois(Compr, Altura, compr, altura) || compr == 0) return false;
    Decl = FormatNum(((CSol1 - CSol2) - altura) / compr, Decimais);
    return true;
}

// ---------------------------------------------------------------- elevation of a point

namespace {

// A point and its elevation text from InfoPonto; no point when the user gave none.
std::optional<Ponto> PedePonto(const std::string& Prompt, bool MarcarErro, bool UseObjZ, std::string& Cota)
{
    Ponto p(NAN, NAN, 0.0);
    std::string nome, descricao;
    InfoPonto(false, MarcarErro, p, nome, Cota, descricao, Prompt, UseObjZ);
    if (std::isnan(p.X)) return std::nullopt;
    return p;
}

}  // namespace

std::string clsSANDes::CalcCotaPoint(std::optional<Ponto>& Pt, bool MarcarErro, bool UseObjZ)
{
    if (!ConectaAcad()) return "";
    std::string cota;
    if (const std::optional<Ponto> p = PedePonto("Selecione ponto: ", MarcarErro, UseObjZ, cota)) Pt = p;
    return cota;
}

std::string clsSANDes::CalcCotaInterp(std::optional<Ponto>& Pt, bool MarcarErro, bool UseObjZ)
{
    if (!ConectaAcad()) return "";
    Pt = GetPonto(std::nullopt, "Selecione local do PV: ");
    std::string ea, eb;
    const std::optional<Ponto> A = PedePonto("Selecione Ponto 1: ", MarcarErro, UseObjZ, ea);
    const std::optional<Ponto> B = PedePonto("Selecione Ponto 2: ", MarcarErro, UseObjZ, eb);
    if (!Pt || !A || !B) return "";

    const double AB = Distancia(*A, *B);
    if (AB == 0) {
        ExibeMensagem(0, "Atenção", "Os pontos 1 e 2 estão no mesmo local: não há como interpolar a cota entre eles.");
        return "";
    }
    for (const auto& [n, e] : {std::pair("1", ea), std::pair("2", eb)}) {
        if (!IsNumero(e)) {
            ExibeMensagem(0, "Atenção", std::string("A cota do ponto ") + n + " (\"" + e + "\") não é um número.");
            return "";
        }
    }
    // F: the foot of the perpendicular from the PV's place onto the line A-B.
    const Ponto auxiliar = PontoPolar(*Pt, gAcadUtil->AngleFromXAxis(*A, *B) + MeioPI, 100.0);
    const std::optional<Ponto> F = Intersecao(*Pt, auxiliar, *A, *B);
    if (!F) return "";
    double AF = Distancia(*A, *F);
    // Beyond A, away from B, the line is extended the other way.
    if ((F->X - A->X) * (B->X - A->X) + (F->Y - A->Y) * (B->Y - A->Y) < 0) AF = -AF;
    const double cotaA = StrToDbl(ea), cotaB = StrToDbl(eb);
    return FormatNum(cotaA + (cotaB - cotaA) * AF / AB, gPRECCOTA);
}
