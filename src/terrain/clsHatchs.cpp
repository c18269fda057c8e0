#include "terrain/clsHatchs.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modCurvas.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/SystemErrorText.h"
#include "platform/acad/Error.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/forms/Application.h"
#include "platform/os/TextFile.h"
#include "platform/os/Trash.h"
#include "platform/os/Ticks.h"
#include "shell/ProgressBar.h"
#include "shell/modArquivos.h"
#include "shell/modMensagem.h"
#include "platform/ado/Ado.h"
#include "terrain/modBancoTerreno.h"
#include "terrain/modRegioes.h"

namespace fs = std::filesystem;

namespace {

// The groups of a HATCH that the decoding reads.
constexpr const char* kCodigosHatch = ",0,2,8,92,72,10,20,11,21,40,42,50,51,73,93,97,";
// Chord length of arcs and bulged segments, in drawing units.
constexpr double kPasso = 1.5;
// End points closer than this (in X and in Y) are one point.
constexpr double kTolerancia = 0.001;
// The window answers at least this often (milliseconds) during a read.
constexpr long long kIntervaloCessao = 20;

std::string Apara(std::string_view s)
{
    const auto branco = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && branco(s.front())) s.remove_prefix(1);
    while (!s.empty() && branco(s.back())) s.remove_suffix(1);
    return std::string(s);
}

bool Coincidem(double x1, double y1, double x2, double y2)
{
    return std::fabs(x1 - x2) < kTolerancia && std::fabs(y1 - y2) < kTolerancia;
}

bool PrimeiroIgualPrimeiro(const std::vector<double>& a, const std::vector<double>& b)
{
    return Coincidem(a[0], a[1], b[0], b[1]);
}

bool UltimoIgualPrimeiro(const std::vector<double>& a, const std::vector<double>& b)
{
    return Coincidem(a[a.size() - 2], a[a.size() - 1], b[0], b[1]);
}

bool UltimoIgualUltimo(const std::vector<double>& a, const std::vector<double>& b)
{
    return Coincidem(a[a.size() - 2], a[a.size() - 1], b[b.size() - 2], b[b.size() - 1]);
}

// A whole number written in a DXF value, rounded half to even.
int Inteiro(const std::string& Valor)
{
    const double v = StrToDbl(Valor);
    if (!(std::fabs(v) < 2147483647.0)) throw std::invalid_argument("valor \"" + Valor + "\" fora do intervalo");
    return static_cast<int>(std::nearbyint(v));
}

// A coordinate written in a DXF value; one the band index cannot hold is no
// coordinate of a drawing.
double Coordenada(const std::string& Valor)
{
    const double v = StrToDbl(Valor);
    if (!CoordenadaIndexavel(v)) throw std::invalid_argument("coordenada \"" + Valor + "\" fora do intervalo");
    return v;
}

void Aviso(const std::string& Texto) { ExibeMensagem(0, "Atenção", Texto); }

// A file of ours in the temporary folder, for a drawing whose own name must
// not be reused.
std::string CaminhoTemporario()
{
    static std::atomic<long long> contador{0};
    std::error_code ec;
    fs::path pasta = fs::temp_directory_path(ec);
    if (ec) pasta = "/tmp";
    return (pasta / ("quoril_hachuras_" + std::to_string(::getpid()) + "_" + std::to_string(++contador) + ".dxf"))
        .string();
}

// Whether the hatch file `Destino` would be the drawing's own file.
bool ProprioDesenho(const std::string& Destino, const std::string& Desenho)
{
    return Destino == Desenho || MesmoArquivo(Destino, Desenho);
}

}  // namespace

clsHatchs::clsHatchs() = default;

clsHatchs::~clsHatchs()
{
    if (nosso_ && !caminhoDXF_.empty()) {
        std::error_code ec;
        fs::remove(caminhoDXF_, ec);
    }
}

void clsHatchs::Inicia(long long Maximo, const std::string& Legenda)
{
    if (cProgress) cProgress->Progress_Start(Maximo, Legenda);
}

void clsHatchs::Passo()
{
    if (cProgress) cProgress->Progress();
}

void clsHatchs::Cede()
{
    // The clock is read only now and then: a read of a few hundred thousand
    // lines costs less than asking the time at each of them.
    if ((++chamadas_ & 63) != 0) return;
    const long long agora = os::TickCount();
    if (agora - ultimaCessao_ < kIntervaloCessao) return;
    ultimaCessao_ = agora;
    forms::DoEvents();
}

void clsHatchs::SetCaminhoDXF(const std::string& Caminho, bool Nosso)
{
    if (nosso_ && !caminhoDXF_.empty() && caminhoDXF_ != Caminho) {
        std::error_code ec;
        fs::remove(caminhoDXF_, ec);
    }
    caminhoDXF_ = Caminho;
    nosso_ = Nosso;
}

// ------------------------------------------------------------------ export

std::string clsHatchs::ArquivoDXF(const std::string& Desenho) { return NomeAoLado(Desenho, ".dxf"); }

bool clsHatchs::DestinoProtegido(const std::string& Desenho) const
{
    const std::string destino = ArquivoDXF(Desenho);
    if (ProprioDesenho(destino, Desenho)) return false;
    for (const std::string& escolhido : Protegidos) {
        if (destino != escolhido && !MesmoArquivo(destino, escolhido)) continue;
        Aviso("As hachuras de " + Desenho + " seriam exportadas para o arquivo " + destino +
              (destino == escolhido ? "" : ", que é o arquivo " + escolhido + ",") +
              " escolhido para esta exportação. O arquivo continua como estava e as hachuras não foram "
              "exportadas.\r\n\r\nOperação cancelada.");
        return true;
    }
    return false;
}

void clsHatchs::CreateDXF(const std::string& Layer)
{
    SetCaminhoDXF("");
    if (!ConectaAcad()) return;

    // The file is named like the drawing, beside it; but a drawing kept as
    // DXF would lose its own file that way, and one never saved has no name.
    const std::string nome = gAcadDoc->FullName();
    std::string caminho;
    bool temporario = nome.empty();
    if (!temporario) {
        caminho = ArquivoDXF(nome);
        temporario = ProprioDesenho(caminho, nome);
        if (!temporario && DestinoProtegido(nome)) return;
    }
    if (temporario) caminho = CaminhoTemporario();

    std::error_code ec;
    if (fs::exists(fs::symlink_status(caminho, ec))) {
        if (temporario) {
            fs::remove(caminho, ec);
            if (ec) {
                Aviso("Não foi possível apagar o arquivo " + caminho + " (" + platform::ErrnoText(ec) +
                      "). As hachuras não foram exportadas.");
                return;
            }
        } else if (const os::Status lixeira = os::MoveToTrash(caminho); !lixeira) {
            // A file of that name beside the drawing may be the user's own.
            Aviso("Não foi possível enviar à lixeira o arquivo " + caminho +
                  ", e ele continua como estava. As hachuras não foram exportadas.\r\n" + lixeira.message);
            return;
        }
    }

    std::string selecao = "(ssget\"X\"(list(cons 0 \"HATCH\")";
    if (!Layer.empty()) selecao += "(cons 8 " + acad::CommandWord(Layer) + ")";
    selecao += "))";
    const std::string CR = "\r";
    const std::string comando =
        "DXFOUT" + CR + acad::CommandWord(caminho) + CR + "O" + CR + selecao + CR + CR + "16" + CR;

    try {
        // FILEDIA goes back to what it was, whatever happens to the command.
        GuardaVariaveis filedia{"FILEDIA"};
        gAcadDoc->SetVariable("FILEDIA", 0);
        gAcadDoc->SendCommand(comando);
    } catch (const acad::Error& e) {
        Aviso("Não foi possível exportar as hachuras para o arquivo " + caminho + ":\n" + e.Description());
        std::error_code ec2;
        if (temporario) fs::remove(caminho, ec2);
        return;
    }
    // Written by this run, the file is ours to remove once read, wherever it is.
    SetCaminhoDXF(caminho, true);
}

// ------------------------------------------------------------------ reading

void clsHatchs::EsvaziaRegioes()
{
    gHatchs.clear();
    gNumHatchs = 0;
    brutos_.clear();
    loops_.clear();
    hatchDaRegiao_.clear();
    numHatch_ = 0;
    pontosLidos_ = 0;
}

bool clsHatchs::ReadHatchs()
{
    grupos_.clear();
    EsvaziaRegioes();
    bool lido = false;
    // Without a file (no drawing, or the export failed and said so) there is
    // nothing to read.
    if (!caminhoDXF_.empty()) {
        if (LeDXFSecao(caminhoDXF_, "ENTITIES", "HATCH", kCodigosHatch)) {
            lido = ProcessaHatchs();
            if (lido)
                IndexaRegioes();
            else
                EsvaziaRegioes();
        }
    }
    // Read, the file has served: an intermediate of the program left beside
    // the drawing would be the next run's to send to the trash.
    if (nosso_) SetCaminhoDXF("");
    Inicia(0, "");
    return lido;
}

bool clsHatchs::LeGrupoDXF(std::pair<std::string, std::string>& Grupo)
{
    std::string codigo, valor;
    if (!leitor_->ReadLine(codigo)) return false;
    if (!leitor_->ReadLine(valor)) return false;
    Grupo.first = Apara(codigo);
    Grupo.second = Apara(valor);
    return true;
}

bool clsHatchs::LeDXFSecao(const std::string& Caminho, const std::string& Secao, const std::string& Entidade,
                           const std::string& Codigos)
{
    grupos_.clear();
    Inicia(0, "Aguarde...");
    const std::string incompleto = "O arquivo " + Caminho +
                                   " terminou antes do fim do DXF (EOF): o arquivo está incompleto e nenhuma "
                                   "hachura foi lida.";

    // The lines up to the end mark, for the progress bar.
    leitor_ = std::make_unique<os::TextReader>();
    if (os::Status s = leitor_->Open(Caminho); !s) {
        Aviso(s.message + "\n\nNenhuma hachura foi lida.");
        leitor_.reset();
        return false;
    }
    long long linhas = 0;
    bool temFim = false;
    for (std::string linha; leitor_->ReadLine(linha);) {
        ++linhas;
        Cede();
        if (Apara(linha) == "EOF") {
            temFim = true;
            break;
        }
    }
    if (!temFim) {
        leitor_.reset();
        Aviso(incompleto);
        return false;
    }
    Inicia(static_cast<long long>(std::nearbyint(static_cast<double>(linhas) / 2)), "Lendo DXF");

    std::unordered_set<std::string> codigos;
    for (std::size_t i = 0; i < Codigos.size();) {
        const std::size_t j = Codigos.find(',', i);
        const std::size_t fim = j == std::string::npos ? Codigos.size() : j;
        if (fim > i) codigos.insert(Codigos.substr(i, fim - i));
        i = fim + 1;
    }

    leitor_ = std::make_unique<os::TextReader>();
    if (os::Status s = leitor_->Open(Caminho); !s) {
        Aviso(s.message + "\n\nNenhuma hachura foi lida.");
        leitor_.reset();
        return false;
    }
    // Sections are walked group by group: the wanted one keeps the groups of
    // the wanted entities, every other one is passed over. The file ends at
    // the group (0, "EOF"); a file that ends before it is incomplete.
    std::pair<std::string, std::string> g;
    bool naSecao = false, esperaNome = false, fim = false;
    std::string tipo;
    try {
        while (LeGrupoDXF(g)) {
            Cede();
            Passo();
            // Every code is a whole number: one that is not means the lines
            // no longer pair as code and value, and nothing after it can be trusted.
            int codigo = 0;
            const auto [fimCodigo, erro] = std::from_chars(g.first.data(), g.first.data() + g.first.size(), codigo);
            if (erro != std::errc() || fimCodigo != g.first.data() + g.first.size())
                throw std::invalid_argument(g.first);
            if (g.first == "0" && g.second == "EOF") {
                fim = true;
                break;
            }
            if (esperaNome) {
                esperaNome = false;
                naSecao = g.second == Secao;
                tipo.clear();
                continue;
            }
            if (g.first == "0" && g.second == "SECTION") {
                esperaNome = true;
                continue;
            }
            if (!naSecao) continue;
            if (g.first == "0") {
                if (g.second == "ENDSEC") {
                    naSecao = false;
                    continue;
                }
                tipo = g.second;
            }
            if (tipo == Entidade && codigos.count(g.first)) grupos_.push_back({codigo, g.second});
        }
    } catch (const std::invalid_argument&) {
        leitor_.reset();
        grupos_.clear();
        Aviso("O arquivo " + Caminho + " não é um arquivo DXF válido (código de grupo \"" + g.first +
              "\"): nenhuma hachura foi lida.");
        return false;
    }
    leitor_.reset();
    if (!fim) {
        grupos_.clear();
        Aviso(incompleto);
        return false;
    }
    return true;
}

bool clsHatchs::ProcessaHatchs()
{
    EsvaziaRegioes();
    Inicia(std::max<long long>(0, static_cast<long long>(grupos_.size()) - 1), "Processando...");

    std::string nome;
    bool emHatch = false, camada = false, textBox = false, polyPath = false, hatchVisto = false;
    int externo = 0;
    int tipoAresta = 0;
    double xi = 0, yi = 0, xf = 0, yf = 0, raio = 0, angIni = 0, angFim = 0;
    std::vector<double> vertices, bulges;
    double xNovo = 0;

    std::size_t i = 0;
    try {
        for (; i < grupos_.size(); ++i) {
            Cede();
            Passo();
            const GrupoDXF& g = grupos_[i];
            switch (g.Codigo) {
            case 0:
                if (g.Valor == "HATCH") {
                    if (hatchVisto) MontaLoops();
                    emHatch = hatchVisto = true;
                } else {
                    emHatch = camada = polyPath = false;
                    tipoAresta = 0;
                }
                break;
            case 2: nome = g.Valor; break;
            case 8: camada = true; break;
            case 92: {
                int f = Inteiro(g.Valor);
                for (int n : {128, 64, 32, 16})
                    if (f >= n) f -= n;
                textBox = f >= 8;
                if (textBox) f -= 8;
                if (f >= 4) f -= 4;
                if (f >= 2) {
                    f -= 2;
                    polyPath = emHatch && camada;
                }
                externo = f == 1 ? 1 : 0;
                break;
            }
            case 72: tipoAresta = Inteiro(g.Valor); break;
            case 10:
                if (!(emHatch && camada)) break;
                if (polyPath)
                    xNovo = Coordenada(g.Valor);
                else if (tipoAresta > 0)
                    xi = Coordenada(g.Valor);
                break;
            case 20:
                if (!(emHatch && camada)) break;
                if (polyPath) {
                    vertices.push_back(xNovo);
                    vertices.push_back(Coordenada(g.Valor));
                    bulges.push_back(0.0);
                } else if (tipoAresta > 0) {
                    yi = Coordenada(g.Valor);
                }
                break;
            case 11: xf = Coordenada(g.Valor); break;
            case 21:
                if (!(emHatch && camada)) break;
                yf = Coordenada(g.Valor);
                if (tipoAresta == 1 && !textBox) AddLoop({xi, yi, xf, yf}, nome, externo);
                break;
            case 40: raio = StrToDbl(g.Valor); break;
            case 42:
                if (polyPath && emHatch && camada && !bulges.empty()) bulges.back() = StrToDbl(g.Valor);
                break;
            case 50: angIni = StrToDbl(g.Valor) * PI / 180; break;
            case 51: angFim = StrToDbl(g.Valor) * PI / 180; break;
            case 73: {
                const double c = StrToDbl(g.Valor);
                if (c < 0.1) {
                    const double a = angIni;
                    angIni = -angFim;
                    angFim = -a;
                }
                if (emHatch && camada) {
                    if (tipoAresta == 2)
                        AddLoop(ArcoPontos(Ponto(xi, yi), raio, angIni, angFim, kPasso), nome, externo);
                    else if (tipoAresta == 3)
                        AddLoop(CirculoPontos(Ponto(xi, yi), Ponto(xf, yf), raio, kPasso, angIni, angFim), nome,
                                externo);
                }
                break;
            }
            case 97:
                if (emHatch && camada && polyPath && !textBox && !vertices.empty())
                    AddLoop(DensifyBulges(vertices, bulges, kPasso), nome, externo);
                vertices.clear();
                bulges.clear();
                polyPath = false;
                break;
            default: break;
            }
        }
    } catch (const std::length_error&) {
        Aviso("O arquivo " + caminhoDXF_ + " tem hachuras com mais de " + std::to_string(kMaxPontosLidos) +
              " pontos nos contornos: nenhuma hachura foi lida.");
        return false;
    } catch (const std::invalid_argument& e) {
        Aviso("O arquivo " + caminhoDXF_ + " tem um valor inválido numa hachura (grupo " +
              std::to_string(grupos_[i].Codigo) + ", \"" + grupos_[i].Valor + "\"): nenhuma hachura foi lida.");
        return false;
    }
    if (hatchVisto) MontaLoops();
    try {
        if (gAcadDoc) gAcadDoc->Regen(acad::acActiveViewport);
    } catch (const acad::Error&) {
    }
    Inicia(0, "");
    return true;
}

// ------------------------------------------------------------------ loops and regions

void clsHatchs::AddLoop(const std::vector<double>& Pontos, const std::string& Nome, int Externo)
{
    // A piece needs a point to be chained; an empty one cannot bound anything.
    if (Pontos.size() < 2) return;
    pontosLidos_ += static_cast<long long>(Pontos.size() / 2);
    if (pontosLidos_ > kMaxPontosLidos) throw std::length_error("pontos demais nas hachuras");
    // Curves drawn from coordinates within the bounds may still reach past them.
    for (double v : Pontos)
        if (!CoordenadaIndexavel(v)) throw std::invalid_argument("ponto fora do intervalo do índice");
    LoopBruto l;
    l.Nome = Nome;
    l.Pontos = Pontos;
    l.Externo = Externo;
    const std::size_t n = Pontos.size();
    l.Estado = Coincidem(Pontos[0], Pontos[1], Pontos[n - 2], Pontos[n - 1]) ? 1 : 0;
    brutos_.push_back(std::move(l));
}

void clsHatchs::MontaLoops()
{
    const std::size_t n = brutos_.size();
    const std::string nomeHatch = n ? brutos_.front().Nome : std::string();

    // Chaining: each open piece takes the later open pieces that meet one of
    // its ends until it closes or no piece meets it.
    for (std::size_t i = 0; i < n; ++i) {
        if (brutos_[i].Estado != 0) continue;
        std::vector<double> pts = brutos_[i].Pontos;
        while (brutos_[i].Estado == 0) {
            Cede();
            std::size_t j = i + 1;
            bool juntou = false;
            for (; j < n; ++j) {
                LoopBruto& q = brutos_[j];
                if (q.Estado != 0) continue;
                const std::vector<double>& Q = q.Pontos;
                // The two joins at the chain's end append in place (the shared
                // point once, as JuntaCoords keeps it): a long chain of edges
                // read in order is not copied at every piece.
                if (PrimeiroIgualPrimeiro(Q, pts)) {
                    pts = JuntaCoords(InverteCoords(pts), Q);
                } else if (UltimoIgualPrimeiro(Q, pts)) {
                    pts = JuntaCoords(Q, pts);
                } else if (UltimoIgualPrimeiro(pts, Q)) {
                    pts.insert(pts.end(), Q.begin() + 2, Q.end());
                } else if (UltimoIgualUltimo(Q, pts)) {
                    for (std::size_t k = Q.size() - 2; k >= 2; k -= 2) {
                        pts.push_back(Q[k - 2]);
                        pts.push_back(Q[k - 1]);
                    }
                } else {
                    continue;
                }
                q.Estado = 2;
                juntou = true;
                break;
            }
            const bool fechou = UltimoIgualPrimeiro(pts, pts);
            if (fechou) brutos_[i].Estado = 1;
            // Closed by force when no piece meets the chain any more, or when
            // the last piece closed it; a chain still open after taking the
            // last piece is offered to the pieces that remain open first.
            const bool ultimo = juntou && j + 1 == n;
            if (!juntou || (ultimo && fechou)) {
                brutos_[i].Estado = 3;
                pts.push_back(pts[0]);
                pts.push_back(pts[1]);
            }
        }
        brutos_[i].Pontos = std::move(pts);
    }

    // Collecting.
    std::vector<LoopRegiao> novos;
    double maxY = 0, minY = 100000000000.0;
    int k = 0;
    for (LoopBruto& b : brutos_) {
        if (b.Estado == 2) continue;
        for (std::size_t p = 1; p < b.Pontos.size(); p += 2) {
            if (b.Pontos[p] > maxY) maxY = b.Pontos[p];
            if (b.Pontos[p] < minY) minY = b.Pontos[p];
        }
        novos.push_back({nomeHatch, numHatch_, k++, std::move(b.Pontos), b.Externo});
    }

    // The region: a hatch from which no loop results makes none.
    if (!novos.empty()) {
        bool achou = false;
        if (!RegiaoPorHatch) {
            for (HatchRec& r : gHatchs) {
                if (r.Nome != nomeHatch) continue;
                achou = true;
                if (maxY > r.MaxY) r.MaxY = maxY;
                if (minY < r.MinY) r.MinY = minY;
            }
        }
        if (!achou) {
            HatchRec r;
            r.Nome = nomeHatch;
            r.MaxY = maxY;
            r.MinY = minY;
            gHatchs.push_back(std::move(r));
            hatchDaRegiao_.push_back(numHatch_);
            ++gNumHatchs;
        }
        for (LoopRegiao& l : novos) loops_.push_back(std::move(l));
    }
    brutos_.clear();
    ++numHatch_;
}

void clsHatchs::IndexaRegioes()
{
    // The loops of each region: those of its pattern name, or of its own
    // hatch when each hatch is a region.
    const bool porHatch = RegiaoPorHatch && hatchDaRegiao_.size() == gHatchs.size();
    std::unordered_map<std::string, std::size_t> porNome;
    std::unordered_map<int, std::size_t> regiaoDoHatch;
    for (std::size_t r = 0; r < gHatchs.size(); ++r) {
        if (porHatch)
            regiaoDoHatch.emplace(hatchDaRegiao_[r], r);
        else
            porNome.emplace(gHatchs[r].Nome, r);
    }

    // Bands from one below the lowest to one above the highest of the region.
    constexpr long long kMaxFaixas = 1000000;  // 100,000 km of ordinates
    std::vector<bool> indexada(gHatchs.size(), true);
    std::vector<long long> faixas(gHatchs.size(), 0);
    for (std::size_t r = 0; r < gHatchs.size(); ++r) {
        HatchRec& h = gHatchs[r];
        h.Faixas.clear();
        h.PrimeiraFaixa = 0;
        const double lo = std::trunc(h.MinY / 100) - 1, hi = std::trunc(h.MaxY / 100) + 1;
        if (!(hi >= lo) || hi - lo >= static_cast<double>(kMaxFaixas)) {
            indexada[r] = false;
            Aviso("A região " + h.Nome + " vai de Y = " + FormatNum(h.MinY, 3) + " a Y = " + FormatNum(h.MaxY, 3) +
                  ", uma extensão que não cabe no índice: ela não conterá nenhum ponto.");
            continue;
        }
        h.PrimeiraFaixa = static_cast<long long>(lo);
        faixas[r] = static_cast<long long>(hi - lo) + 1;
    }

    auto regiaoDoLoop = [&](const LoopRegiao& l) -> std::ptrdiff_t {
        // Loops loaded from a database were never read through the bounds.
        if (!std::all_of(l.Pontos.begin(), l.Pontos.end(), CoordenadaIndexavel)) return -1;
        if (porHatch) {
            auto it = regiaoDoHatch.find(l.Hatch);
            return it == regiaoDoHatch.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
        }
        auto it = porNome.find(l.Nome);
        return it == porNome.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
    };
    // A segment is kept once in every band it reaches: the bands and tall
    // segments of a damaged file would fill the memory, so the regions are
    // indexed in order while their bands and entries fit.
    constexpr long long kMaxEntradas = 10'000'000;
    std::vector<long long> entradas = faixas;
    for (const LoopRegiao& l : loops_) {
        const std::ptrdiff_t r = regiaoDoLoop(l);
        if (r < 0 || !indexada[static_cast<std::size_t>(r)] || l.Pontos.size() < 4) continue;
        long long& n = entradas[static_cast<std::size_t>(r)];
        long long b0 = FaixaEscalada(Escala(l.Pontos[1]));
        for (std::size_t k = 3; k < l.Pontos.size() && n <= kMaxEntradas; k += 2) {
            const long long b = FaixaEscalada(Escala(l.Pontos[k]));
            n += (b > b0 ? b - b0 : b0 - b) + 1;
            b0 = b;
        }
    }
    long long total = 0;
    std::string fora;  // the regions left out, said once
    for (std::size_t r = 0; r < gHatchs.size(); ++r) {
        if (!indexada[r]) continue;
        if (entradas[r] > kMaxEntradas - total) {
            indexada[r] = false;
            fora += (fora.empty() ? "" : ", ") + gHatchs[r].Nome;
            continue;
        }
        total += entradas[r];
        gHatchs[r].Faixas.resize(static_cast<std::size_t>(faixas[r]));
    }
    if (!fora.empty())
        Aviso("Os contornos das regiões " + fora + " não cabem no índice: elas não conterão nenhum ponto.");

    for (const LoopRegiao& l : loops_) {
        const std::ptrdiff_t ir = regiaoDoLoop(l);
        if (ir < 0) continue;
        const std::size_t r = static_cast<std::size_t>(ir);
        if (!indexada[r]) continue;
        HatchRec& h = gHatchs[r];
        const std::vector<double>& P = l.Pontos;
        if (P.size() < 4) continue;
        long long x0 = Escala(P[0]), y0 = Escala(P[1]);
        for (std::size_t k = 2; k + 1 < P.size(); k += 2) {
            const long long x = Escala(P[k]), y = Escala(P[k + 1]);
            SegmentoRec s = y0 < y ? SegmentoRec{x0, y0, x, y} : SegmentoRec{x, y, x0, y0};
            for (long long b = FaixaEscalada(s.yLow); b <= FaixaEscalada(s.yHigh); ++b) {
                const long long i = b - h.PrimeiraFaixa;
                if (i < 0 || i >= static_cast<long long>(h.Faixas.size())) continue;
                FaixaRec& f = h.Faixas[static_cast<std::size_t>(i)];
                f.Segmentos.push_back(s);
                ++f.Count;
            }
            x0 = x;
            y0 = y;
        }
    }
}

void clsHatchs::SetTipo(int Indice, const std::string& NovoNome)
{
    if (Indice < 0 || Indice >= static_cast<int>(gHatchZonas.size())) return;
    if (RegiaoPorHatch && gHatchZonas.size() == hatchDaRegiao_.size()) {
        const int hatch = hatchDaRegiao_[static_cast<std::size_t>(Indice)];
        for (LoopRegiao& l : loops_)
            if (l.Hatch == hatch) l.Nome = NovoNome;
        return;
    }
    const std::string antigo = gHatchZonas[static_cast<std::size_t>(Indice)].Nome;
    for (LoopRegiao& l : loops_)
        if (l.Nome == antigo) l.Nome = NovoNome;
}

void clsHatchs::Info_Pavto(const Ponto& P, std::string& Nome)
{
    const int r = RegiaoDoPonto(gHatchs, P);
    Nome = r < 0 ? std::string() : gHatchs[static_cast<std::size_t>(r)].Nome;
}

// ------------------------------------------------------------------ storage and drawing


void clsHatchs::DbSave(const std::string& Caminho, const std::string& Tabela)
{
    // Only the two region tables: any other name would write loops into a
    // table that others read as something else.
    if (!TabelaDeRegioes(Tabela)) return;
    if (!CriaBancoTerreno(Caminho)) return;
    Inicia(static_cast<long long>(loops_.size()), "Salvando Mdb...");
    try {
        ado::Connection cn;
        cn.Open(ConexaoTerreno(Caminho));
        ado::Recordset rs;
        rs.Open("SELECT * FROM " + Tabela, cn, ado::adOpenKeyset, ado::adLockOptimistic);
        // Every column is looked up before the first row is written.
        ado::Field tipo = rs.Fields("Tipo"), externo = rs.Fields("External"), id = rs.Fields("ID"),
                   loop = rs.Fields("Loop"), x = rs.Fields("X"), y = rs.Fields("Y");
        for (const LoopRegiao& l : loops_) {
            for (std::size_t k = 0; k + 1 < l.Pontos.size(); k += 2) {
                rs.AddNew();
                tipo.SetValue(l.Nome);
                externo.SetValue(l.Externo != 0);
                id.SetValue(l.Hatch);
                loop.SetValue(l.Loop);
                x.SetValue(l.Pontos[k]);
                y.SetValue(l.Pontos[k + 1]);
                rs.Update();
            }
            Passo();
        }
        rs.Close();
        cn.Close();
    } catch (const ado::Error& e) {
        AvisaFalhaBanco(Caminho, "gravar as regiões na tabela " + Tabela, e.Description(),
                        "As regiões não foram gravadas por inteiro.");
    }
    Inicia(0, "");
}

void clsHatchs::DbLoad(const std::string& Caminho, const std::string& Tabela)
{
    if (!BancoExiste(Caminho)) return;
    if (!TabelaDeRegioes(Tabela)) return;
    // Read aside and appended at the end: a table that cannot be read to its
    // end leaves the list as it was.
    std::vector<LoopRegiao> lidos;
    try {
        ado::Connection cn;
        cn.Open(ConexaoTerreno(Caminho));
        ado::Recordset rs;
        rs.Open("SELECT * FROM " + Tabela + " ORDER BY Index", cn);
        Inicia(rs.RecordCount(), "Lendo MDB...");
        ado::Field tipo = rs.Fields("Tipo"), externo = rs.Fields("External"), id = rs.Fields("ID"),
                   loop = rs.Fields("Loop"), x = rs.Fields("X"), y = rs.Fields("Y");
        while (!rs.Eof()) {
            const int h = static_cast<int>(id.Value().ToLong());
            const int k = static_cast<int>(loop.Value().ToLong());
            if (lidos.empty() || lidos.back().Hatch != h || lidos.back().Loop != k) {
                LoopRegiao l;
                l.Nome = tipo.Value().TextOr();
                l.Hatch = h;
                l.Loop = k;
                const ado::Value ext = externo.Value();
                l.Externo = !ext.IsNull() && ext.ToBool() ? 1 : 0;
                lidos.push_back(std::move(l));
            }
            lidos.back().Pontos.push_back(x.Value().ToDouble());
            lidos.back().Pontos.push_back(y.Value().ToDouble());
            Passo();
            rs.MoveNext();
        }
        rs.Close();
        cn.Close();
    } catch (const ado::Error& e) {
        AvisaFalhaBanco(Caminho, "ler as regiões da tabela " + Tabela, e.Description(),
                        "As regiões em memória ficam como estavam.");
        Inicia(0, "");
        return;
    }
    for (LoopRegiao& l : lidos) loops_.push_back(std::move(l));
    Inicia(0, "");
}

void clsHatchs::DrawBoundaries()
{
    if (!ConectaAcad()) return;
    try {
        for (const LoopRegiao& l : loops_) {
            if (l.Pontos.size() < 4) continue;
            acad::Layer* camada = GetLayer(l.Nome, 0, "");
            acad::LWPolyline* pl = gModelSpace->AddLightWeightPolyline(l.Pontos);
            pl->SetLayer(camada->Name());
            pl->SetConstantWidth(l.Externo ? 1.0 : 0.0);
        }
    } catch (const acad::Error& e) {
        Aviso("Não foi possível desenhar os contornos das regiões:\n" + e.Description());
    }
}
