#include "topography/clsTOPMar.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <utility>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/Acad.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "topography/TOPDes.h"
#include "topography/frmMARExe.h"
#include "topography/frmMARQua.h"
#include "shell/modPainel.h"

namespace {

const std::string kQuadricula = "QUADRICULA2";
const std::string kCamadaQuadricula = "NUM_QUADRICULA";

const std::string kSemQuadricula = "Bloco Quadricula2 não encontrado.\n\nOperação cancelada.";

// Every sheet block of the drawing, in "SS1".
acad::SelectionSet* TodasQuadriculas()
{
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(acad::acSelectionSetAll, {}, {}, {2}, {kQuadricula});
    return ss;
}

std::string Maiusculas(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// A number above 0 typed in a box ("786", "393,5").
std::optional<double> NumeroPositivo(const std::string& Texto)
{
    const std::string t = Apara(Texto);
    if (t.empty() || !IsNumero(t)) return std::nullopt;
    const double v = StrToDbl(t);
    if (!(v > 0) || !std::isfinite(v)) return std::nullopt;
    return v;
}

// A whole coordinate of the UTM grid as its label writes it.
std::string TextoInteiro(double v) { return std::to_string(std::llround(v)); }

void MinimizaPrincipal(bool Minimiza)
{
    if (gMainForm) gMainForm->SetWindowState(Minimiza ? forms::vbMinimized : forms::vbNormal);
}

// Inside the active viewport's model space, when the drawing shows a layout.
void EntraViewport()
{
    if (gAcadDoc->ActiveSpace() != acad::acPaperSpace) return;
    try {
        gAcadDoc->SetMSpace(true);
    } catch (const acad::Error&) {
        // A layout without a viewport: the work stays in paper space's view.
    }
}

// A sheet of a referenced drawing as the reference places it: the box that
// holds its placed corners (a turned reference turns the sheet).
void ColocaNoDesenho(QuadriculaRec& Q, const acad::Transform& T)
{
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool primeiro = true;
    for (const auto& [x, y] :
         {std::pair{Q.X, Q.Y}, {Q.X + Q.Largura, Q.Y}, {Q.X, Q.Y - Q.Altura}, {Q.X + Q.Largura, Q.Y - Q.Altura}}) {
        const acad::Point3d p = T.Apply({x, y, 0});
        x0 = primeiro ? p.x : std::min(x0, p.x);
        x1 = primeiro ? p.x : std::max(x1, p.x);
        y0 = primeiro ? p.y : std::min(y0, p.y);
        y1 = primeiro ? p.y : std::max(y1, p.y);
        primeiro = false;
    }
    Q.X = x0;
    Q.Y = y1;
    Q.Largura = x1 - x0;
    Q.Altura = y1 - y0;
}

// A sheet inserted at its top-left corner on the sheet layer.
acad::BlockReference* InsereQuadricula(const Ponto& P, double W, double H)
{
    acad::BlockReference* b = gModelSpace->InsertBlock(P, kQuadricula, W, H, W, 0);
    b->SetLayer(kCamadaQuadricula);
    b->Update();
    return b;
}

}  // namespace

double LarguraQuadricula(double EscalaX) { return EscalaX == 1 ? 786 : EscalaX; }
double AlturaQuadricula(double EscalaY) { return EscalaY == 1 ? 499 : EscalaY; }

GradeQuadriculas CalculaGrade(const Ponto& A, const Ponto& B, double W, double H)
{
    GradeQuadriculas g;
    g.nx = static_cast<int>(std::fabs(std::trunc((A.X - B.X) / W)));
    g.ny = static_cast<int>(std::fabs(std::trunc((A.Y - B.Y) / H)));
    // The true centre: the grid of a drawing west or south of the origin lies
    // over that drawing, not over its mirror image.
    const double cx = (A.X + B.X) / 2;
    const double cy = (A.Y + B.Y) / 2;
    g.P0 = Ponto(cx - g.nx * W / 2, cy - g.ny * H / 2);
    return g;
}

std::vector<double> LinhasUTM(double Inicio, double Fim, double s)
{
    std::vector<double> linhas;
    double primeira = std::trunc(Inicio / s) * s;
    if (Inicio > primeira) primeira += s;
    // Up to the sheet's own edge: sheets of half units (1:500) end on a half,
    // which rounding would move outside. The margin only absorbs the
    // arithmetic's last digit, so that a line on the edge stays.
    const double limite = Fim + 1e-9 * std::max(1.0, std::fabs(Fim));
    for (long long i = 0;; ++i) {
        const double v = primeira + static_cast<double>(i) * s;
        if (v > limite) break;
        linhas.push_back(v);
    }
    return linhas;
}

std::optional<long long> Inteiro(const std::string& Texto, long long Maior)
{
    const std::string t = Apara(Texto);
    std::size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    if (i == t.size()) return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return std::nullopt;
        v = v * 10 + (t[i] - '0');
        if (v > Maior) return std::nullopt;
    }
    return t[0] == '-' ? -v : v;
}

std::optional<long long> InteiroPositivo(const std::string& Texto)
{
    const auto v = Inteiro(Texto, std::numeric_limits<int>::max());
    if (!v || *v < 1) return std::nullopt;
    return *v;
}

clsTOPMar::clsTOPMar() = default;
clsTOPMar::~clsTOPMar() { FechaCancelar(); }

// ---------------------------------------------------------------- helpers

void clsTOPMar::AbreCancelar(const std::string& Mensagem)
{
    fCancel = std::make_unique<frmCancelar>();
    fCancel->Cancel = false;
    fCancel->SetMensagem(Mensagem);
    PosicionaDialogo(*fCancel, MsgLeft_, MsgTop_);
    fCancel->Show(forms::vbModeless, gMainForm);
}

void clsTOPMar::FechaCancelar()
{
    if (!fCancel) return;
    MsgLeft_ = static_cast<int>(std::lround(fCancel->Left()));
    MsgTop_ = static_cast<int>(std::lround(fCancel->Top()));
    forms::Unload(*fCancel);
    fCancel.reset();
}

bool clsTOPMar::Cancelado() const { return fCancel && fCancel->Cancel; }

void clsTOPMar::ProgressStart(long long Max)
{
    if (ProgressBar) ProgressBar->Progress_Start(Max, "");
}

void clsTOPMar::ProgressStep()
{
    if (ProgressBar) ProgressBar->Progress();
}

std::optional<QuadriculaRec> clsTOPMar::LeQuadricula(acad::BlockReference& Bloco, bool ComNumero)
{
    const Ponto p = Bloco.InsertionPoint();
    const std::string onde = "A quadrícula inserida em " + JoinCoords(p, 2);
    const auto atributos = Bloco.GetAttributes();
    if (atributos.empty()) {
        ExibeMensagem(0, "Atenção", onde + " não tem atributos.\n\nOperação cancelada.");
        return std::nullopt;
    }
    QuadriculaRec q;
    q.ObjectId = atributos.front()->ObjectID();
    q.X = p.X;
    q.Y = p.Y;
    if (ComNumero) {
        const std::string texto = atributos.front()->TextString();
        const auto n = Inteiro(texto, std::numeric_limits<int>::max());
        if (!n) {
            ExibeMensagem(0, "Atenção",
                          onde + " tem o número \"" + texto + "\", que não é inteiro.\n\nOperação cancelada.");
            return std::nullopt;
        }
        q.Numero = static_cast<int>(*n);
    }
    q.Largura = LarguraQuadricula(Bloco.XScaleFactor());
    q.Altura = AlturaQuadricula(Bloco.YScaleFactor());
    return q;
}

// ---------------------------------------------------------------- InsertQuad

bool clsTOPMar::InsertQuad()
{
    if (!ConectaAcad()) return false;
    MinimizaPrincipal(true);

    bool aplicAll = false, cancel = false;
    std::string dimX, dimY, escalaTexto;
    std::optional<Ponto> extMin, extMax;
    {
        frmMARQua frm;
        frm.SetMARVPDimX(fMARVPDimX);
        frm.SetMARVPDimY(fMARVPDimY);
        frm.SetMAREscala(fMAREscala);
        frm.Show(forms::vbModal, gMainForm);
        cancel = frm.Cancel || !frm.OK;
        dimX = frm.Text1(0).Text();
        dimY = frm.Text1(1).Text();
        escalaTexto = frm.Combo1.Text();
        aplicAll = frm.AplicAll;
        extMin = frm.ExtMin;
        extMax = frm.ExtMax;
        forms::Unload(frm);
    }
    MinimizaPrincipal(false);
    if (cancel) return false;

    // The sizes and the scale are typed by the user: a size that is not a
    // number above 0, or a scale that is not a whole denominator, inserts
    // nothing.
    const auto largura = NumeroPositivo(dimX), altura = NumeroPositivo(dimY);
    const auto escala = InteiroPositivo(escalaTexto);
    if (!largura || !altura) {
        ExibeMensagem(0, "Atenção", "As dimensões da Viewport devem ser números maiores que zero.");
        return false;
    }
    if (!escala) {
        ExibeMensagem(0, "Atenção", "A escala deve ser um número inteiro maior que zero.");
        return false;
    }
    const double W = *largura * static_cast<double>(*escala) / 1000;
    const double H = *altura * static_cast<double>(*escala) / 1000;

    EntraViewport();
    if (!DefineBloco(kQuadricula, false)) return false;
    GetLayer(kCamadaQuadricula, 0, "");

    if (!aplicAll) {
        const auto p = GetPonto(std::nullopt, "Ponto de inserção: ");
        if (p) InsereQuadricula(*p, W, H);
        return false;
    }

    ZoomTudo();
    Ponto A, B;
    if (extMin && extMax) {
        A = *extMin;
        B = *extMax;
    } else {
        A = gAcadDoc->GetVariable("EXTMAX").AsPoint();
        B = gAcadDoc->GetVariable("EXTMIN").AsPoint();
        // An empty drawing has no extents to cover.
        if (A.X < B.X || A.Y < B.Y) B = A;
    }
    const GradeQuadriculas g = CalculaGrade(A, B, W, H);

    bool resultado = false;
    AbreCancelar("Inserindo Quadrículas...");
    ProgressStart(static_cast<long long>(g.nx) * g.ny);
    int k = 1;
    const std::vector<int> tipos = {-4, -4, 2, -4, -4};
    const std::vector<acad::Variant> dados = {"<NOT", "<AND", kQuadricula, "AND>", "NOT>"};
    for (int j = g.ny; j >= 1 && !resultado; --j) {
        forms::DoEvents();
        if (Cancelado()) {
            resultado = true;
            break;
        }
        for (int i = 0; i < g.nx; ++i) {
            ProgressStep();
            const Ponto p1(g.P0.X + i * W, g.P0.Y + j * H);
            const Ponto p2(p1.X + W, p1.Y - H);
            acad::SelectionSet* ss = RecriaConjunto("SS1");
            ss->Select(acad::acSelectionSetCrossing, p1, p2, tipos, dados);
            if (ss->Count() > 0) {
                SetAtributo("NUMERO", std::to_string(k), InsereQuadricula(p1, W, H));
                ++k;
            }
        }
    }
    FechaCancelar();
    ProgressStart(0);
    ZoomTudo();
    return resultado;
}

// ---------------------------------------------------------------- NumerarQuads

bool clsTOPMar::NumerarQuads()
{
    if (!ConectaAcad()) return false;
    acad::SelectionSet* ss = TodasQuadriculas();
    if (ss->Count() == 0) {
        ExibeMensagem(0, "Atenção", kSemQuadricula);
        return true;
    }

    bool resultado = false;
    AbreCancelar("Numerando Quadrículas...");
    NumQuads = 0;
    Quads.clear();
    ProgressStart(2LL * ss->Count());
    for (acad::Entity* e : *ss) {
        forms::DoEvents();
        if (Cancelado()) {
            resultado = true;
            break;
        }
        auto* bloco = dynamic_cast<acad::BlockReference*>(e);
        if (!bloco) continue;
        // Every sheet is checked before any is renumbered.
        const auto q = LeQuadricula(*bloco, false);
        if (!q) {
            resultado = true;
            break;
        }
        AddQuad(*q);
        ProgressStep();
    }
    for (int k = 0; k < NumQuads && !resultado; ++k) {
        forms::DoEvents();
        if (Cancelado()) {
            resultado = true;
            break;
        }
        auto* att = dynamic_cast<acad::AttributeReference*>(gAcadDoc->ObjectIdToObject(Quads[k].ObjectId));
        if (att) {
            att->SetTextString(std::to_string(k + 1));
            att->Update();
        }
        ProgressStep();
    }
    FechaCancelar();
    ProgressStart(0);
    return resultado;
}

// ---------------------------------------------------------------- AddQuad

void clsTOPMar::AddQuad(const QuadriculaRec& Quad)
{
    Quads.push_back(Quad);
    if (NumQuads == 0) {
        MinX = MaxX = Quad.X;
        MinY = MaxY = Quad.Y;
    } else {
        MinX = std::min(MinX, Quad.X);
        MinY = std::min(MinY, Quad.Y);
        MaxX = std::max(MaxX, Quad.X);
        MaxY = std::max(MaxY, Quad.Y);
    }
    NumQuads = static_cast<int>(Quads.size());

    // Reading order: rows from the north (sheets whose Y differ by less than
    // 100 share a row), west to east within a row. The list was in order
    // before this sheet came: passes from the end carry it to its place, and
    // the first pass that exchanges nothing ends the work, as more passes
    // would exchange nothing either.
    auto antes = [](const QuadriculaRec& k, const QuadriculaRec& anterior) {
        const double dy = k.Y - anterior.Y;
        return dy > 100 || (std::fabs(dy) < 100 && k.X - anterior.X < 100);
    };
    for (int passo = 0; passo <= NumQuads; ++passo) {
        bool trocou = false;
        for (int k = NumQuads - 1; k >= 1; --k) {
            if (antes(Quads[k], Quads[k - 1])) {
                std::swap(Quads[k], Quads[k - 1]);
                trocou = true;
            }
        }
        if (!trocou) break;
    }
}

// ---------------------------------------------------------------- SelectQuads

bool clsTOPMar::SelectQuads()
{
    if (!ConectaAcad()) return false;
    acad::SelectionSet* ss = TodasQuadriculas();
    const bool resultado = ss->Count() > 0 ? LocalizaQuads() : LeXRefQuads();
    if (resultado) return true;
    for (QuadriculaRec& q : Quads) {
        q.Linha = static_cast<int>(std::nearbyint((MaxY - q.Y) / CelulaAltura)) + 1;
        q.Coluna = static_cast<int>(std::nearbyint((q.X - MinX) / CelulaLargura)) + 1;
    }
    return false;
}

bool clsTOPMar::LocalizaQuads()
{
    NumQuads = 0;
    Quads.clear();
    acad::SelectionSet* ss = TodasQuadriculas();
    if (ss->Count() == 0) {
        ExibeMensagem(0, "Atenção", kSemQuadricula);
        return true;
    }
    bool resultado = false;
    AbreCancelar("Localizando Quadrículas");
    ProgressStart(ss->Count());
    for (acad::Entity* e : *ss) {
        forms::DoEvents();
        if (Cancelado()) {
            resultado = true;
            break;
        }
        auto* bloco = dynamic_cast<acad::BlockReference*>(e);
        if (!bloco) continue;
        const auto q = LeQuadricula(*bloco, true);
        if (!q) {
            resultado = true;
            break;
        }
        CelulaLargura = q->Largura;
        CelulaAltura = q->Altura;
        AddQuad(*q);
        ProgressStep();
    }
    FechaCancelar();
    ProgressStart(0);
    return resultado;
}

bool clsTOPMar::LeXRefQuads()
{
    if (!ConectaAcad()) return true;
    NumQuads = 0;
    Quads.clear();
    EntraViewport();
    Ponto escolhido;
    bool falhou = false;
    acad::Entity* e = AtivaAcad("Selecione XRef:", 0, escolhido, falhou, "");
    if (falhou || !e) return true;
    auto* referencia = dynamic_cast<acad::BlockReference*>(e);
    if (!referencia) {
        ExibeMensagem(0, "Atenção", "O objeto selecionado não é um bloco ou XRef.\n\nOperação cancelada.");
        return true;
    }

    bool resultado = false;
    AbreCancelar("Lendo o XRef");
    acad::Block* definicao = gAcadDoc->Blocks().Item(referencia->Name());
    ProgressStart(std::max(0, definicao->Count() - 1));
    // The sheets where the reference puts them in this drawing: the layouts
    // zoom onto them here, whatever the reference's insertion, scale or turn.
    const acad::Transform colocacao = referencia->BlockTransform();
    for (int i = 0; i < definicao->Count(); ++i) {
        forms::DoEvents();
        if (Cancelado()) {
            resultado = true;
            break;
        }
        auto* bloco = dynamic_cast<acad::BlockReference*>(definicao->Item(i));
        if (bloco && Maiusculas(bloco->Name()).find(kQuadricula) != std::string::npos) {
            auto q = LeQuadricula(*bloco, true);
            if (!q) {
                resultado = true;
                break;
            }
            ColocaNoDesenho(*q, colocacao);
            CelulaLargura = q->Largura;
            CelulaAltura = q->Altura;
            AddQuad(*q);
        }
        ProgressStep();
    }
    if (!resultado && NumQuads == 0) {
        ExibeMensagem(0, "Atenção", kSemQuadricula);
        resultado = true;
    }
    FechaCancelar();
    ProgressStart(0);
    return resultado;
}

// ---------------------------------------------------------------- InsertUTM

bool clsTOPMar::InsertUTM()
{
    std::optional<long long> s, escala;
    {
        frmMARExe frm;
        frm.SetfrmEstilo(3);
        frm.Show(forms::vbModal, gMainForm);
        if (frm.Cancel || !frm.OK) {
            forms::Unload(frm);
            return false;
        }
        s = InteiroPositivo(frm.UTMCbo.Text());
        escala = InteiroPositivo(frm.UTMEscCbo.Text());
        forms::Unload(frm);
    }
    if (!s || !escala) {
        ExibeMensagem(0, "Atenção",
                      "O distanciamento das linhas e a escala devem ser números inteiros maiores que zero.");
        return false;
    }
    const double espacamento = static_cast<double>(*s);
    const double k = static_cast<double>(*escala) / 1000;

    if (!ConectaAcad()) return false;
    acad::SelectionSet* ss = TodasQuadriculas();
    if (ss->Count() == 0) return true;
    GetLayer("UTM", 9, "");
    if (!DefineBloco("TOP_UTM", false)) return false;

    bool resultado = false;
    AbreCancelar("Inserindo Grade UTM...");
    ProgressStart(ss->Count());
    auto rotulo = [&](const Ponto& p, double rotacao, const std::string& texto) {
        acad::BlockReference* b = gModelSpace->InsertBlock(p, "TOP_UTM", k, k, k, rotacao);
        b->SetLayer("UTM");
        SetAtributo("UTM", texto, b);
    };
    auto linha = [&](const Ponto& a, const Ponto& b) {
        acad::Line* l = gModelSpace->AddLine(a, b);
        l->SetLayer("UTM");
        l->Update();
    };
    for (acad::Entity* e : *ss) {
        forms::DoEvents();
        if (Cancelado()) {
            resultado = true;
            break;
        }
        auto* bloco = dynamic_cast<acad::BlockReference*>(e);
        if (!bloco) continue;
        const Ponto p = bloco->InsertionPoint();
        const double x0 = p.X, y0 = p.Y;
        const double xmax = x0 + LarguraQuadricula(bloco->XScaleFactor());
        const double ymin = y0 - AlturaQuadricula(bloco->YScaleFactor());
        for (double E : LinhasUTM(x0, xmax, espacamento)) {
            linha(Ponto(E, ymin), Ponto(E, y0));
            rotulo(Ponto(E, y0), 1.5707963267948966, "E = " + TextoInteiro(E) + " ");
        }
        for (double N : LinhasUTM(ymin, y0, espacamento)) {
            linha(Ponto(x0, N), Ponto(xmax, N));
            rotulo(Ponto(xmax, N), 0, "N = " + TextoInteiro(N) + " ");
        }
        ProgressStep();
    }
    FechaCancelar();
    ProgressStart(0);
    return resultado;
}
