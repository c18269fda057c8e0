#include "topography/clsTOPSec.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

#include "cad/AoSair.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Error.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "shell/ProgressBar.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "topography/PontoTopografico.h"

namespace {

constexpr double kPi2 = 1.5707963267948966;
constexpr double kTabela = 54.0;  // height of the table under the profile
constexpr const char* kTexto = "TEXTO_80";
constexpr const char* kPerfil = "Perfil";
constexpr const char* kGrade = "Grade_Perfil";
constexpr const char* kQuadro = "Quadro_Perfil";
constexpr const char* kVerticeSemPonto = "Vértice da Polylinha sem Ponto Válido";

double Fix(double x) { return std::trunc(x); }

void Linha(double x1, double y1, double x2, double y2, const char* Camada)
{
    acad::Line* l = gModelSpace->AddLine({x1, y1, 0}, {x2, y2, 0});
    l->SetLayer(Camada);
    l->Update();
}

void Texto(const std::string& Valor, double x, double y, double Altura, int Alinhamento, double Rotacao)
{
    acad::Text* t = gModelSpace->AddText(Valor, {x, y, 0}, Altura);
    t->SetLayer(kTexto);
    if (Rotacao != 0) t->SetRotation(Rotacao);
    if (Alinhamento != 0) {
        t->SetAlignment(Alinhamento);
        t->SetTextAlignmentPoint({x, y, 0});
    }
    t->Update();
}

}  // namespace

clsTOPSec::clsTOPSec() = default;
clsTOPSec::~clsTOPSec() = default;

std::string clsTOPSec::ConfereEquidistancia(const std::string& Texto)
{
    std::string msg = "A equidistância deve ser um número inteiro maior ou igual a 1.";
    if (Texto.empty() || !IsNumero(Texto)) return msg;
    const double q = StrToDbl(Texto);
    if (!(q >= 1) || q != std::floor(q) || q > 32767) return msg;
    return "";
}

std::string clsTOPSec::ConfereEscala(const std::string& Texto)
{
    std::string msg = "A relação entre as escalas deve ser um número maior que 0.";
    if (Texto.empty() || !IsNumero(Texto)) return msg;
    const double e = StrToDbl(Texto);
    if (!(e > 0) || !std::isfinite(e)) return msg;
    return "";
}

double clsTOPSec::ProgressivaInicial() const
{
    if (!ProgresTxt) return 0.0;
    const std::string t = ProgresTxt->Text();
    return IsNumero(t) ? StrToDbl(t) : 0.0;
}

// ---------------------------------------------------------------- selection

void clsTOPSec::Selecionar()
{
    if (!ConectaAcad()) return;
    const Ponto centro(gAcadDoc->GetVariable("VIEWCTR").AsPoint());
    const double tamanho = gAcadDoc->GetVariable("VIEWSIZE").AsDouble();
    auto fim = [&] {
        ZoomCentro(centro, tamanho);
        if (CmdSelect) CmdSelect->SetEnabled(true);
    };

    Ponto escolhido;
    bool falhou = true;
    acad::Entity* e = AtivaAcad("Selecione Polylinha: ", 0, escolhido, falhou, "");
    auto* pl = dynamic_cast<acad::LWPolyline*>(e);
    if (falhou || !pl) {
        fim();
        return;
    }
    const std::vector<double> xy = pl->Coordinates();
    const int n = static_cast<int>(xy.size() / 2);
    std::vector<Ponto> ordem;
    ordem.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) ordem.emplace_back(xy[2 * i], xy[2 * i + 1]);
    // Picked nearer the last vertex: the section runs from there.
    if (Distancia(escolhido, ordem.back()) < Distancia(escolhido, ordem.front()))
        std::reverse(ordem.begin(), ordem.end());

    std::vector<Vertice> v(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) {
        const Ponto& p = ordem[static_cast<std::size_t>(k == 0 ? 0 : k - 1)];
        Vertice& r = v[static_cast<std::size_t>(k)];
        r.Posicao = p;
        bool vazio = true;
        acad::Entity* achado = SelecionaObjetos(p, ZoomCenter, {0}, {"POINT"}, vazio, 0, 0.0);
        DadosPonto d;
        const bool valido = !vazio && LePontoTopografico(achado, d) && IsNumero(d.Cota) && !d.Cota.empty();
        if (!valido) {
            ExibeMensagem(0, "Lendo Pontos da polylinha", kVerticeSemPonto);
            InsereErro(p, 10.0, kVerticeSemPonto, 6);
            // An incomplete section cannot be drawn: "Desenhar" waits for a
            // complete selection.
            v_.clear();
            n_ = 0;
            if (CmdDraw) CmdDraw->SetEnabled(false);
            fim();
            return;
        }
        r.Nome = d.Nome;
        r.Cota = StrToDbl(d.Cota);
    }

    // The figures come from the data, whatever range the elevations have.
    double menor = v[1].Cota, maior = v[1].Cota, comprimento = 0, maiorDif = 0;
    for (int j = 1; j <= n; ++j) {
        Vertice& r = v[static_cast<std::size_t>(j)];
        const Vertice& a = v[static_cast<std::size_t>(j - 1)];
        menor = std::min(menor, r.Cota);
        maior = std::max(maior, r.Cota);
        maiorDif = std::max(maiorDif, std::fabs(r.Cota - a.Cota));
        comprimento += Distancia(Ponto(a.Posicao.X, a.Posicao.Y), Ponto(r.Posicao.X, r.Posicao.Y));
        r.Progressiva = comprimento;
    }
    v_ = std::move(v);
    n_ = n;
    comprimento_ = comprimento;
    menorCota_ = menor;
    maiorCota_ = maior;
    maiorDiferenca_ = maiorDif;

    if (MinCotaLbl) MinCotaLbl->SetCaption(FormatNum(menor, PRECCOTA));
    if (MaxCotaLbl) MaxCotaLbl->SetCaption(FormatNum(maior, PRECCOTA));
    if (DiferenLbl) DiferenLbl->SetCaption(FormatNum(maior - menor, PRECCOTA));
    if (MaxDifLbl) MaxDifLbl->SetCaption(FormatNum(maiorDif, PRECCOTA));
    if (ComprLbl) ComprLbl->SetCaption(FormatNum(comprimento, PRECDIST));
    if (nPontosLbl) nPontosLbl->SetCaption(std::to_string(n));
    fim();
    if (CmdDraw) CmdDraw->SetEnabled(true);
}

// ---------------------------------------------------------------- drawing

void clsTOPSec::RestauraControles()
{
    if (CmdSelect) CmdSelect->SetVisible(true);
    if (CmdDraw) CmdDraw->SetEnabled(!v_.empty());
    if (EscalaTxt) EscalaTxt->SetEnabled(true);
    if (ProgresTxt) ProgresTxt->SetEnabled(true);
    if (ProgBar) ProgBar->Progress_Start(0, "");
}

void clsTOPSec::Desenhar()
{
    AoSair fim([this] { RestauraControles(); });

    if (v_.empty() || n_ < 1) return;
    // Entries that would make the stepping loops endless or divide by zero.
    std::string erro;
    if (!(Equidist >= 1 && Equidist <= 32767 && Equidist == std::floor(Equidist)))
        erro = ConfereEquidistancia("");
    else if (!(Exagero > 0 && std::isfinite(Exagero)))
        erro = ConfereEscala("");
    if (erro.empty() && ProgresTxt && !IsNumero(ProgresTxt->Text()))
        erro = "A progressiva inicial \"" + ProgresTxt->Text() + "\" não é um número.";
    if (!erro.empty()) {
        ExibeMensagem(0, "Desenhar a Seção Topográfica", erro);
        return;
    }
    if (!ConectaAcad()) return;
    rotacao_ = kPi2;

    std::optional<Ponto> c1, c2;
    GetJanela(c1, c2, "Área para o quadro: ");
    if (!c1 || !c2) return;
    canto_ = *c1;
    altura_ = std::fabs(std::floor(c1->Y) - std::floor(c2->Y));
    const double E = Exagero;
    if ((maiorDiferenca_ + 2) * E + kTabela > altura_) {
        bool ok = false, cancel = false, check = false;
        int left = 0, top = 0;
        ExibeMensagem(4, "Desenhar a Seção Topográfica", "Altura muito pequena!!!\r\nUtilizar a altura mínima?", ok,
                      cancel, check, "", left, top);
        if (!ok) return;
        altura_ = (maiorDiferenca_ + 3) * E + kTabela;
    }
    const double P = ProgressivaInicial();
    o_ = P - Fix(P / 10) * 10;

    CriaLayersSecao();
    DesenhaQuadro();
    if (ProgBar) ProgBar->Progress_Start(n_, "");

    pecas_.clear();
    int s = 0;
    for (;;) {
        double baixo = 50000.0, alto = -50000.0;
        forms::DoEvents();
        int j = s;
        bool ultima = false;
        // The height is tested on the vertices taken so far, with a margin.
        // At the section's last vertex the margin is not wanted: the rest is
        // one piece when its profile stays inside the frame, and is cut as
        // the others only when it would rise above it.
        for (;; ++j) {
            if (j == n_ && CabeNoQuadro(s, n_)) {
                ultima = true;
                break;
            }
            if ((Fix(alto) - Fix(baixo) + 5) * E + kTabela >= altura_) break;
            if (j > n_) {
                ultima = true;
                break;
            }
            baixo = std::min(baixo, Fix(v_[static_cast<std::size_t>(j)].Cota));
            alto = std::max(alto, Fix(v_[static_cast<std::size_t>(j)].Cota + 1));
        }
        const int recuo = ultima ? 0 : (j - s > 2 ? 2 : 1);
        // Every piece reaches at least one vertex past its start, so the
        // section always advances, however low the window.
        const int fimPeca = ultima ? n_ : std::min(n_, std::max(j - recuo, s + 1));
        DesenhaPerfil(s, fimPeca);
        if (ultima || fimPeca >= n_) break;
        s = fimPeca;
    }

    if (ProgresTxt) {
        ProgresTxt->SetEnabled(true);
        ProgresTxt->SetText(FormatNum(P + comprimento_, PRECDIST));
    }
    gAcadDoc->Regen(1);
}

double clsTOPSec::Datum(int Primeiro, int Ultimo) const
{
    double m = Fix(v_[static_cast<std::size_t>(Primeiro)].Cota);
    for (int j = Primeiro; j <= Ultimo; ++j) m = std::min(m, Fix(v_[static_cast<std::size_t>(j)].Cota));
    return m;
}

bool clsTOPSec::CabeNoQuadro(int Primeiro, int Ultimo) const
{
    const double m = Datum(Primeiro, Ultimo);
    double topo = v_[static_cast<std::size_t>(Primeiro)].Cota;
    for (int j = Primeiro; j <= Ultimo; ++j) topo = std::max(topo, v_[static_cast<std::size_t>(j)].Cota);
    return kTabela + (topo - m + 3) * Exagero <= altura_;
}

void clsTOPSec::DesenhaPerfil(int Primeiro, int Ultimo)
{
    pecas_.emplace_back(Primeiro, Ultimo);
    const double E = Exagero;
    const int Q = static_cast<int>(Equidist);
    const double cx = canto_.X, cy = canto_.Y;
    const double m = Datum(Primeiro, Ultimo);
    datum_ = m;
    auto X = [&](int j) { return cx + o_ + v_[static_cast<std::size_t>(j)].Progressiva; };
    auto Y = [&](int j) { return cy + kTabela + (v_[static_cast<std::size_t>(j)].Cota - m + 3) * E; };

    acad::LWPolyline* pl = gModelSpace->AddLightWeightPolyline({X(Primeiro), Y(Primeiro), X(Primeiro), Y(Primeiro)});
    pl->SetLayer(kPerfil);
    pl->Update();

    const double limite = std::floor((altura_ - kTabela) / E) + 1;
    for (int k = 1; k <= limite; k += Q)
        Texto(FormatNum(k + m - 3, 0), X(Primeiro) - 4.5, cy + 52.25 + k * E, TextHeight, 0, 0);

    const Vertice& p0 = v_[static_cast<std::size_t>(Primeiro)];
    DesenhaGrade(p0.Progressiva, p0.Cota, p0.Nome);
    for (int j = Primeiro + 1; j <= Ultimo; ++j) {
        pl->AddVertex(pl->NumberOfVertices(), {X(j), Y(j), 0});
        pl->Update();
        const Vertice& r = v_[static_cast<std::size_t>(j)];
        DesenhaGrade(r.Progressiva, r.Cota, r.Nome);
    }
}

void clsTOPSec::DesenhaQuadro()
{
    const double E = Exagero;
    const int Q = static_cast<int>(Equidist);
    const double cx = canto_.X, cy = canto_.Y;
    const double L = comprimento_;
    const double W = Fix((L + o_) / 10) * 10;
    const double P = ProgressivaInicial();
    const double linhas = Fix((altura_ - kTabela) / E) + 1;

    const long long horizontais = static_cast<long long>(linhas) / Q + 1 + 4;
    const long long verticais = static_cast<long long>(Fix(L + o_ + 10)) / 10 + 1;
    const long long rotulos = static_cast<long long>(Fix(L + o_) + 10) / 10 + 1;
    if (ProgBar) ProgBar->Progress_Start(horizontais + verticais + rotulos, "");
    auto passo = [&] {
        if (ProgBar) ProgBar->Progress();
    };

    for (int k = 0; k <= linhas; k += Q) {
        Linha(cx, cy + kTabela + k * E, cx + W + 10, cy + kTabela + k * E, kQuadro);
        passo();
    }
    for (double y : {0.0, 15.0, 34.5, kTabela}) {
        Linha(cx, cy + y, cx + W + 10, cy + y, kQuadro);
        passo();
    }
    const double topo = cy + kTabela + linhas * E;
    for (long long i = 0; i <= Fix(L + o_ + 10); i += 10) {
        Linha(cx + i, cy + kTabela, cx + i, topo, kQuadro);
        passo();
    }
    const double base = Fix(P / 10) * 10;
    for (long long i = 0; i <= Fix(L + o_) + 10; i += 10) {
        Texto(FormatNum(base + i, 0), cx + i, cy + 51, TextHeight, 13, 0);
        passo();
    }
    if (ProgBar) ProgBar->Progress_Start(0, "");
}

void clsTOPSec::DesenhaGrade(double Distancia, double Cota, const std::string& Nome)
{
    if (ProgBar) ProgBar->Progress();
    const double cx = canto_.X, cy = canto_.Y;
    const double X = cx + o_ + Distancia;
    Linha(X, cy, X, cy + 1.5, kGrade);
    Linha(X, cy + 13.5, X, cy + 16.5, kGrade);
    Linha(X, cy + 33, X, cy + 36, kGrade);
    Linha(X, cy + 52.5, X, cy + kTabela + (Cota - datum_ + 3) * Exagero, kGrade);
    Texto(FormatNum(Cota, PRECCOTA), X, cy + 7.5, TextHeight, 1, rotacao_);
    Texto(FormatNum(ProgressivaInicial() + Distancia, PRECDIST), X, cy + 24.75, TextHeight, 1, rotacao_);
    Texto(Nome, X, cy + 44.25, TextHeight, 1, rotacao_);
}

void clsTOPSec::CriaLayersSecao()
{
    GetLayer(kTexto, 170, "");
    GetLayer(kPerfil, 1, "");
    GetLayer(kGrade, 252, "");
    GetLayer(kQuadro, 8, "");
}

void clsTOPSec::InsereErro(const Ponto& P, double Escala, const std::string& Mensagem, int Cor)
{
    try {
        GetLayer(gLayerConf, 0, "");
        if (!InsertBlockFile("ErroC")) return;
        acad::BlockReference* b = gModelSpace->InsertBlock(P, "ErroC", Escala, Escala, Escala, 0);
        SetAtributo("MENSAGEM", Mensagem, b);
        b->SetLayer(gLayerConf);
        b->SetColor(Cor);
        b->Update();
    } catch (const acad::Error&) {
        // The marker only points the fault out; the message already told it.
    }
}
