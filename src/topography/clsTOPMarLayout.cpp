// The printable sheets: the template layout's viewport zoomed onto each map
// sheet in turn, its title block and key map written for that sheet, and then
// the sheet shown (preview), copied into a layout of its own, or the whole
// drawing saved as one file per sheet.
//
// Every layout and file name a run will make is worked out and checked before
// the first sheet: a run that could only stop halfway (a name the host
// refuses, two sheets writing one file, a file that may not be replaced)
// changes nothing at all. A file of an earlier run is written again, the old
// one sent to the trash first.

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cad/AoSair.h"
#include "cad/modAcad.h"
#include "cad/modSelecao.h"
#include "platform/acad/Acad.h"
#include "platform/acad/Error.h"
#include "platform/forms/Forms.h"
#include "platform/os/Trash.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "shell/modArquivos.h"
#include "shell/modJanela.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "shell/modPainel.h"
#include "topography/clsTOPMar.h"
#include "topography/frmMARExe.h"

namespace {

constexpr const char* kNaoLimitar = "Não limitar";

// Sheet numbers, steps and counts of up to 15 digits.
constexpr long long kMaiorNumero = 999'999'999'999'999;

// The value with at least `Largura` characters, zeros after the sign.
std::string Preenche(long long Valor, std::size_t Largura)
{
    const std::string digitos = std::to_string(Valor < 0 ? -Valor : Valor);
    std::string r = Valor < 0 ? "-" : "";
    const std::size_t largura = Largura > r.size() ? Largura - r.size() : 0;
    if (digitos.size() < largura) r.append(largura - digitos.size(), '0');
    return r + digitos;
}

// The file pattern with its run of "#" replaced by the counter, padded to as
// many digits as the pattern has "#"; without "#" the pattern itself.
std::string NumeraPadrao(const std::string& Padrao, int Contador)
{
    const auto p = Padrao.find('#');
    if (p == std::string::npos) return Padrao;
    const std::size_t c = static_cast<std::size_t>(std::count(Padrao.begin(), Padrao.end(), '#'));
    const std::string resto = p + c < Padrao.size() ? Padrao.substr(p + c) : "";
    return Padrao.substr(0, p) + Preenche(Contador, c) + resto;
}

// The three characters of a drawing's name just before its ".dwg".
std::string TresAntesDaExtensao(const std::string& Nome)
{
    if (Nome.size() < 4) return "";
    const std::size_t fim = Nome.size() - 4;
    const std::size_t ini = fim >= 3 ? fim - 3 : 0;
    return Nome.substr(ini, fim - ini);
}

// What the user asked for in frmMARExe.
struct Opcoes {
    std::string Prefixo;  // "No Selo:"
    std::string Sufixo;   // "Sufixo:"
    std::string Inicial;  // "Inicial:" as typed: its length is the width
    long long Primeiro = 0;
    long long Passo = 0;
    std::string PrefixoLayout;  // "No Layout:"
    std::string Padrao;         // "Sufixo arquivo:"
    int Limite = 0;             // layouts per file; 0: no limit
};

std::string NumeroRotulo(const Opcoes& o, int Numero)
{
    return Preenche(o.Primeiro + (static_cast<long long>(Numero) - 1) * o.Passo, o.Inicial.size());
}

std::string TextoSelo(const Opcoes& o, int Numero)
{
    std::string t = o.Prefixo.empty() ? "" : o.Prefixo + "-";
    t += NumeroRotulo(o, Numero);
    if (!Apara(o.Sufixo).empty()) t += "-" + Apara(o.Sufixo);
    return t;
}

std::string NomeLayout(const Opcoes& o, int Numero)
{
    std::string t = o.PrefixoLayout.empty() ? "" : o.PrefixoLayout + "-";
    t += NumeroRotulo(o, Numero);
    if (!Apara(o.Sufixo).empty()) t += "-" + o.Sufixo;
    return t;
}

std::string ArquivoFolha(const Opcoes& o, const std::string& Pasta, int Numero, int Contador)
{
    std::string t = o.Prefixo.empty() ? "" : o.Prefixo + "-";
    t += NumeroRotulo(o, Numero);
    if (!Apara(o.Sufixo).empty()) t += "-" + o.Sufixo;
    const std::string padrao = NumeraPadrao(o.Padrao, Contador);
    if (!Apara(padrao).empty()) t += " - " + padrao;
    return Pasta + t + ".dwg";
}

std::string ArquivoLayouts(const Opcoes& o, const std::string& Desenho, int Contador)
{
    return Desenho + NumeraPadrao(o.Padrao, Contador) + ".dwg";
}

// A file name the drawing host saves under as it is: no folder separators
// or characters that file systems refuse inside a name.
bool NomeDeArquivoValido(const std::string& nome)
{
    if (nome.empty() || nome.size() > 255 || Apara(nome) != nome || nome == ".dwg") return false;
    for (unsigned char c : nome)
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
    return true;
}

// The key map's attributes by row and column, from 1.
struct Indice {
    int R = 0, C = 0;
    std::vector<acad::AttributeReference*> Celulas;  // row-major
    acad::AttributeReference*& Celula(int r, int c) { return Celulas[(r - 1) * C + (c - 1)]; }
};

// Reads "XL<row>C<column>"; tags that do not begin with "XL" are no cells.
// False for a tag that begins so but is not of that form.
bool LeTag(const std::string& Tag, int& Linha, int& Coluna, bool& EhCelula)
{
    EhCelula = Tag.rfind("XL", 0) == 0;
    if (!EhCelula) return true;
    const auto c = Tag.find('C', 2);
    if (c == std::string::npos) return false;
    const std::string r = Tag.substr(2, c - 2), k = Tag.substr(c + 1);
    auto positivo = [](const std::string& s, int& v) {
        if (s.empty() || s.size() > 4) return false;
        for (unsigned char ch : s)
            if (!std::isdigit(ch)) return false;
        v = std::stoi(s);
        return v > 0;
    };
    return positivo(r, Linha) && positivo(k, Coluna);
}

// The key map of the picked block: none when it has no cell or any cell is
// missing or malformed.
std::optional<Indice> LeIndice(acad::BlockReference& Bloco)
{
    const auto atributos = Bloco.GetAttributes();
    Indice ind;
    for (acad::AttributeReference* a : atributos) {
        int r = 0, c = 0;
        bool celula = false;
        if (!LeTag(a->TagString(), r, c, celula)) return std::nullopt;
        if (!celula) continue;
        ind.R = std::max(ind.R, r);
        ind.C = std::max(ind.C, c);
    }
    if (ind.R == 0 || ind.C == 0) return std::nullopt;
    ind.Celulas.assign(static_cast<std::size_t>(ind.R) * ind.C, nullptr);
    for (acad::AttributeReference* a : atributos) {
        int r = 0, c = 0;
        bool celula = false;
        LeTag(a->TagString(), r, c, celula);
        if (celula) ind.Celula(r, c) = a;
    }
    for (acad::AttributeReference* a : ind.Celulas)
        if (!a) return std::nullopt;
    return ind;
}

void Escreve(acad::AttributeReference& a, const std::string& Texto)
{
    a.SetTextString(Texto);
    a.Update();
}

void Aviso(const std::string& Texto) { ExibeMensagem(0, "Atenção", Texto); }

// The drawing saved under Arquivo; a file already there (of an earlier run)
// goes to the trash first. False, with the user told and the file as it
// was, when it cannot.
bool SalvaFolha(acad::Document& Doc, const std::string& Arquivo)
{
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(Arquivo, ec))) {
        if (const os::Status lixeira = os::MoveToTrash(Arquivo); !lixeira) {
            Aviso("Não foi possível enviar à lixeira o arquivo " + Arquivo +
                  ", e ele continua como estava. As folhas seguintes não foram gravadas.\r\n" + lixeira.message);
            return false;
        }
    }
    Doc.SaveAs(Arquivo);
    return true;
}

}  // namespace

void clsTOPMar::MARLayout(int Modo)
{
    if (!ConectaAcad()) return;
    acad::Document& doc = *gAcadDoc;
    // The walk works in the template's paper space; however it ends (an
    // Escape at the first pick included), the drawing goes back to the space
    // it was found in, or the model could no longer be seen.
    const bool papel = doc.ActiveSpace() == acad::acPaperSpace;
    const bool viewport = papel && doc.MSpace();
    AoSair espaco([&doc, papel, viewport] {
        doc.SetActiveSpace(papel ? acad::acPaperSpace : acad::acModelSpace);
        if (papel) doc.SetMSpace(viewport);
    });
    // Files are written beside the drawing: one never saved has no place yet.
    if (Modo == 0 && gDwgName.empty()) {
        Aviso("Salve o desenho antes de gerar os arquivos das folhas.");
        return;
    }
    const std::string desenho = gDwgName;
    const std::string pasta = desenho.empty() ? "" : std::filesystem::path(desenho).parent_path().string() + "/";

    doc.SetActiveSpace(acad::acPaperSpace);
    doc.SetMSpace(false);
    acad::PViewport* janela = nullptr;
    try {
        janela = doc.ActivePViewport();
    } catch (const acad::Error&) {
        Aviso("O layout \"" + doc.ActiveLayout().Name() +
              "\" não tem janela de visualização.\r\n\r\nOperação cancelada.");
        return;
    }

    // The title block's attribute that receives each sheet's number.
    Ponto escolhido;
    bool falhou = false;
    std::vector<acad::BlockReference*> contexto;
    acad::Entity* e = PegaCoordenadas("Selecione ATRIBUTO do Selo a editar:", 0, false, escolhido, falhou, contexto);
    if (falhou || !e) return;
    auto* titulo = dynamic_cast<acad::AttributeReference*>(e);
    if (!titulo) {
        Aviso("O objeto escolhido não é um atributo do Selo.\r\n\r\nOperação cancelada.");
        return;
    }

    // The key map, when the user picks one that is whole.
    std::optional<Indice> indice;
    acad::Entity* ie = AtivaAcad("Selecione INDICE do Selo:", 0, escolhido, falhou, "AcDbBlockReference");
    if (!falhou && ie) {
        if (auto* b = dynamic_cast<acad::BlockReference*>(ie)) indice = LeIndice(*b);
        if (!indice) Aviso("Bloco de INDICE inválido.");
    }

    // The options.
    Opcoes o;
    {
        frmMARExe dlg;
        dlg.SetfrmEstilo(Modo == 0 ? 0 : 1);
        const std::string nome = doc.Name();
        dlg.MARtxt(0).SetText(nome.size() >= 4 ? nome.substr(0, nome.size() - 4) : nome);
        if (Modo == 1) dlg.MARtxt(4).SetText(TresAntesDaExtensao(nome));
        dlg.Show(forms::vbModal, gMainForm);
        const bool cancelou = dlg.Cancel || !dlg.OK;
        o.Prefixo = dlg.MARtxt(0).Text();
        o.Inicial = dlg.MARtxt(2).Text();
        const std::string passo = dlg.MARtxt(3).Text();
        o.Sufixo = dlg.MARtxt(1).Text();
        o.PrefixoLayout = Modo == 0 ? "" : dlg.MARtxt(4).Text();
        o.Padrao = dlg.MarCbo.Text();
        const std::string limite = Apara(dlg.NLayCbo.Text());
        forms::Unload(dlg);
        if (cancelou) return;

        const auto primeiro = Inteiro(o.Inicial, kMaiorNumero), incremento = Inteiro(passo, kMaiorNumero);
        if (!primeiro || !incremento) {
            Aviso("O número Inicial e o Incremento devem ser números inteiros.\r\n\r\nOperação cancelada.");
            return;
        }
        o.Primeiro = *primeiro;
        o.Passo = *incremento;
        if (Modo == 1 && limite != kNaoLimitar) {
            const auto n = Inteiro(limite, kMaiorNumero);
            if (!n || *n < 1 || *n > 1000000) {
                Aviso("Layouts por arquivo: \"" + limite +
                      "\" não é um número inteiro maior que zero.\r\n\r\nOperação cancelada.");
                return;
            }
            o.Limite = static_cast<int>(*n);
        }
    }
    if (Modo == 1 && o.Limite > 0 && desenho.empty()) {
        Aviso("Salve o desenho antes de gerar os arquivos das folhas.");
        return;
    }

    // The walk's order: the list's for files and preview, backwards for layouts.
    const int folhas = std::clamp(NumQuads, 0, static_cast<int>(Quads.size()));
    std::vector<int> ordem(static_cast<std::size_t>(folhas));
    for (int k = 0; k < folhas; ++k) ordem[static_cast<std::size_t>(k)] = Modo == 1 ? folhas - 1 - k : k;

    // Every name the run will make, checked before anything changes.
    {
        std::set<std::string> layouts, arquivos;
        // Names are made beside the drawing: what follows its folder is the name.
        auto confere_arquivo = [&](const std::string& f) {
            const std::string nome = f.substr(std::min(pasta.size(), f.size()));
            if (!NomeDeArquivoValido(nome)) {
                Aviso("Nome de arquivo inválido: \"" + nome + "\"\r\n\r\nOperação cancelada.");
                return false;
            }
            if (!arquivos.insert(f).second) {
                Aviso("Duas folhas seriam gravadas no mesmo arquivo: \"" + f + "\"\r\n\r\nOperação cancelada.");
                return false;
            }
            std::error_code ec;
            if (std::filesystem::is_directory(f, ec)) {
                Aviso("Já existe uma pasta \"" + f + "\".\r\n\r\nOperação cancelada.");
                return false;
            }
            // A file of an earlier run is replaced; one that another drawing
            // open in the host, the program or the user's work holds is not.
            // The drawing's own file may be: it is the drawing being saved.
            return !SaidaRecusada(f, "pela folha", &doc, "Operação cancelada.");
        };
        if (Modo == 1) {
            for (int k : ordem) {
                const std::string n = NomeLayout(o, Quads[static_cast<std::size_t>(k)].Numero);
                // The name is typed at the host's command line, where "(" and
                // "'" begin an expression.
                if (!acad::IsValidSymbolName(n) || n[0] == '(' || n[0] == '\'') {
                    Aviso("Nome de layout inválido: \"" + n + "\"\r\n\r\nOperação cancelada.");
                    return;
                }
                if (doc.Layouts().Find(n) || !layouts.insert(acad::UpperName(n)).second) {
                    Aviso("O layout \"" + n + "\" já existe.\r\n\r\nOperação cancelada.");
                    return;
                }
            }
            if (o.Limite > 0) {
                const int arquivosDaVez = (folhas + o.Limite - 1) / o.Limite;
                for (int f = 1; f <= arquivosDaVez; ++f)
                    if (!confere_arquivo(ArquivoLayouts(o, desenho, f))) return;
            }
        } else if (Modo == 0) {
            int contador = 1;
            for (int k : ordem)
                if (!confere_arquivo(ArquivoFolha(o, pasta, Quads[static_cast<std::size_t>(k)].Numero, contador++)))
                    return;
        }
    }

    // The cancel window (not in the preview, which asks at every sheet) and
    // the progress bar; whatever happens below, the user gets the program
    // and the bar back, and this worker keeps where the window was left.
    std::unique_ptr<frmCancelar> cancelar;
    AoSair final([this, &cancelar] {
        if (gMainForm) gMainForm->SetWindowState(forms::vbNormal);
        if (ProgressBar) ProgressBar->Progress_Start(0, "");
        if (cancelar) {
            MsgLeft_ = static_cast<int>(std::lround(cancelar->Left()));
            MsgTop_ = static_cast<int>(std::lround(cancelar->Top()));
            forms::Unload(*cancelar);
        }
    });

    if (Modo == 2) {
        if (gMainForm) gMainForm->SetWindowState(forms::vbMinimized);
    } else {
        cancelar = std::make_unique<frmCancelar>();
        PosicionaDialogo(*cancelar, MsgLeft_, MsgTop_);
        cancelar->SetMensagem("Executando Margens...");
        cancelar->Show(forms::vbModeless, gMainForm);
        // The sheet frames must not print; the current layer cannot be frozen.
        const acad::Layer* corrente = &doc.ActiveLayer();
        for (acad::Layer* l : doc.Layers())
            if (l != corrente && l->Name().find("QUADRICULA") != std::string::npos) l->SetFreeze(true);
    }

    janela->Display(true);
    if (ProgressBar) ProgressBar->Progress_Start(folhas, "");
    int arquivo = 1;                        // mode 0
    int noArquivo = 1, arquivoLayouts = 1;  // mode 1
    int left = 0, top = 0;                  // where the preview's question was left
    bool completo = true;
    for (std::size_t passo = 0; passo < ordem.size(); ++passo) {
        const QuadriculaRec& q = Quads[static_cast<std::size_t>(ordem[passo])];
        forms::DoEvents();
        if (cancelar && cancelar->Cancel) {
            completo = false;
            break;
        }
        if (ProgressBar) ProgressBar->Progress();

        doc.SetMSpace(true);
        gAcadApp->ZoomWindow({q.X, q.Y - q.Altura, 0.0}, {q.X + q.Largura, q.Y, 0.0});
        Escreve(*titulo, TextoSelo(o, q.Numero));

        if (indice) {
            for (acad::AttributeReference* a : indice->Celulas) Escreve(*a, "");
            const int meioR = indice->R / 2, meioC = indice->C / 2;
            const int r0 = meioR + 1, c0 = meioC + 1;
            for (int s = 0; s < folhas; ++s) {
                const QuadriculaRec& v = Quads[static_cast<std::size_t>(s)];
                if (v.Numero <= 0) continue;
                const int dr = v.Linha - q.Linha, dc = v.Coluna - q.Coluna;
                if (std::abs(dr) > meioR || std::abs(dc) > meioC) continue;
                // An even count of rows or columns has one cell fewer on one side.
                const int r = r0 + dr, c = c0 + dc;
                if (r < 1 || r > indice->R || c < 1 || c > indice->C) continue;
                Escreve(*indice->Celula(r, c), std::to_string(v.Numero));
            }
        }
        doc.SetMSpace(false);

        const bool ultimo = passo + 1 == ordem.size();
        if (Modo == 1) {
            doc.SendCommand("Layout\rcopy\r" + acad::CommandWord(doc.ActiveLayout().Name()) + "\r" +
                            acad::CommandWord(NomeLayout(o, q.Numero)) + "\r");
            if (o.Limite > 0) {
                if (noArquivo == o.Limite) {
                    noArquivo = 1;
                    if (!SalvaFolha(doc, ArquivoLayouts(o, desenho, arquivoLayouts++))) {
                        completo = false;
                        break;
                    }
                    if (!ultimo) {
                        const acad::Layout* modelo = &doc.ActiveLayout();
                        for (acad::Layout* l : doc.Layouts().PaperLayouts())
                            if (l != modelo) l->Delete();
                    }
                } else {
                    ++noArquivo;
                }
            }
        } else if (Modo == 2) {
            bool sim = false, nao = false, marca = false;
            ExibeMensagem(4, "Margens: Modo Preview", "Continuar?\r\n", sim, nao, marca, "", left, top);
            if (!sim) break;
        } else if (!SalvaFolha(doc, ArquivoFolha(o, pasta, q.Numero, arquivo++))) {
            break;
        }
    }
    // The last layouts, fewer than a file's share, go to a file of their own.
    if (Modo == 1 && o.Limite > 0 && completo && noArquivo > 1)
        SalvaFolha(doc, ArquivoLayouts(o, desenho, arquivoLayouts));
}
