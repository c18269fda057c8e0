#pragma once
// What the verification of the sewer network shares: the fault table that the
// panel fills from the verification objects' fault events and that the reports
// and the corrections read, and the steps both verification objects (designed
// and generic network) take the same way: finding the manhole at a reach end,
// marking, joining duplicates, the cancel window, the report window, the
// removal walks over the fault list and the choice dialog of a correction.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "cad/Ponto.h"
#include "platform/Event.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/SelectionSet.h"
#include "platform/forms/Forms.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"

// A dialog of the verification: made once for each depth at which dialogs of
// its kind are open, and kept for the run, as the program's message box is;
// a window destroyed while events of the handler that showed it are still
// pending would be sent them after it is gone. Each use sets what it shows.
template <class F>
class Dialogo {
public:
    Dialogo() : form_(Instancia(nivel_++)) {}
    ~Dialogo() { --nivel_; }
    Dialogo(const Dialogo&) = delete;
    Dialogo& operator=(const Dialogo&) = delete;
    F& operator*() const { return form_; }
    F* operator->() const { return &form_; }

private:
    static F& Instancia(int Nivel)
    {
        static auto* todas = new std::vector<std::unique_ptr<F>>;
        while (static_cast<int>(todas->size()) <= Nivel) todas->push_back(std::make_unique<F>());
        return *(*todas)[static_cast<std::size_t>(Nivel)];
    }
    static inline int nivel_ = 0;
    F& form_;
};

// One fault of a verification run.
struct ErrRec {
    std::string Mensagem;       // also the text of its line in the fault list
    Ponto Pt1;                  // where the fault lies
    std::optional<Ponto> Pt2;   // a second point when the fault lies between two
    int ErrType = 0;            // 1 to 21
    std::int32_t ObjectId = 1;  // the faulty block
    std::int32_t PVmId = 1;     // the reach's upstream manhole block, or 1
    std::int32_t PVjId = 1;     // its downstream manhole block, or 1
};

// "No such object" in the identifiers of a fault.
inline constexpr std::int32_t SemObjeto = 1;

// The fault table, one per program. Entry i is line i of the panel's fault
// list; removing a fault takes it out of both at once (later entries move up,
// the array keeps its length). ErrN counts the faults received in the current
// run; ErrCount(t), t from 1 to 21, those of type t (element 0 unused).
extern std::vector<ErrRec> ErrList;
extern int ErrN;
extern std::array<int, 22> ErrCount;

// The panel's handling of a fault event: the fault appended to ErrList at ErrN,
// counted under its type and listed as the last line of `Lista`. A type
// outside 1 to 21 is listed but not counted.
void RegistraErro(forms::ListBox& Lista, int ErrType, std::int32_t ObjectId, std::int32_t PVmId, std::int32_t PVjId,
                  const std::string& Mensagem, const Ponto& Pt1, const std::optional<Ponto>& Pt2);

// Every per-type count back to 0.
void LimpaErrCount();

// Entry i out of ErrList and line i out of the list.
void RemoveErro(forms::ListBox& Lista, int i);

// The stage text: "_" and, for every catalogue stage in order, its number and
// "_". A stage is registered when "_" + stage + "_" occurs in it.
std::string TextoEtapas();

// The manhole block (a reference whose block name matches `Padrao`, with the
// host's wildcards) standing at P: its insertion point within a centimetre
// of P; of several, the nearest. Looked up through the drawing's spatial
// index, whatever the view shows and without moving it. Null when none.
acad::BlockReference* PVNoPonto(const Ponto& P, const std::string& Padrao);

// A two-vertex polyline from A to B on the verification layer, width 0.5, in
// colour `Cor`: what joins a fault to its partner.
void LinhaConferencia(const Ponto& A, const Ponto& B, int Cor);

// "ErroC" made available for a pass (its block file's message when it cannot
// be, once); the markers of the pass are drawn only when it could.
bool PreparaMarcas();

// A fault marker when `Disponivel` (see PreparaMarcas).
void Marca(bool Disponivel, const Ponto& Pt, double Escala, const std::string& Texto, int Cor);

// The duplicate test of a pass: one record per block read so far.
struct RegistroNome {
    bool Marcado = false;  // found to repeat an earlier block
    std::string Nome;
    std::int32_t Id = 0;
    Ponto P;
    std::int32_t PVmId = SemObjeto;  // a reach's manholes, for its own faults
    std::int32_t PVjId = SemObjeto;
};

// The records of a pass's duplicate test, in reading order, with the records
// of each name at hand, so that a name is compared only with its equals.
class NomesLidos {
public:
    // The earlier records of that name, in reading order.
    const std::vector<std::size_t>& DoNome(const std::string& Nome) const;
    RegistroNome& operator[](std::size_t i) { return registros_[i]; }
    // Keeps the record after the ones read before it.
    void Guarda(const RegistroNome& Atual);

private:
    std::vector<RegistroNome> registros_;
    std::unordered_map<std::string, std::vector<std::size_t>> porNome_;
};

// Compares `Atual` with the records before it. For each earlier record of the
// same name, in reading order: `Falha` for the current block; `Falha` for the
// earlier one unless it was already found to repeat (then `NovasFalhas` grows
// by 1); a line between the two (colour 4). The current record is marked when
// it repeats any. True when it does.
bool ConfereDuplicados(NomesLidos& Anteriores, RegistroNome& Atual,
                       const std::function<void(const RegistroNome&)>& Falha, long& NovasFalhas);

// The frame of a pass over the blocks of one name (host wildcards): the cancel
// window at the remembered position, the sewer text layers frozen when
// `CongelaTextos`, the verification layer, the blocks in "SS1" and the
// progress bar; all of it put back, and the position where the user left the
// window stored, when the pass ends, however it ends.
class PasseDeBlocos {
public:
    PasseDeBlocos(const std::string& Mensagem, const std::string& Bloco, const std::string& Progresso,
                  bool CongelaTextos, ProgressBar* Barra, int& Left, int& Top);
    ~PasseDeBlocos();
    PasseDeBlocos(const PasseDeBlocos&) = delete;
    PasseDeBlocos& operator=(const PasseDeBlocos&) = delete;

    acad::SelectionSet& Blocos() { return *ss_; }
    // Each block in selection order, and the progress bar a step on; false
    // when the user stopped the pass. The pass yields to the event queue (and
    // sees the cancel window's button) before the first block and then, while
    // no fault has been listed, before every block; once faults are listed,
    // every yield makes the fault list lay out all its lines again, so the
    // blocks between two yields grow with the faults listed in the run
    // (ErrN) up to a bound: the pass stays linear in the size of the drawing
    // while faults are a fraction of its blocks.
    bool ParaCada(const std::function<void(acad::BlockReference&)>& Examina);

private:
    bool congela_;
    ProgressBar* barra_;
    int& left_;
    int& top_;
    Dialogo<frmCancelar> cancelar_;
    acad::SelectionSet* ss_ = nullptr;
};

// A report window with its "OK" button, shown modally over the main window.
void MostraRelatorio(const std::string& Texto);

// A count line of a report: the count and its label, CR LF; nothing when 0.
std::string LinhaContagem(long Contagem, const std::string& Texto);

// The block of fault i for a correction, with every tag of `Tags`: null, told
// to the user and nothing changed, when the fault is gone, the block has been
// erased or lacks one of the tags.
acad::BlockReference* BlocoDaFalha(int i, const std::vector<std::string>& Tags);
// The block with that id in the drawing worked on, or null when it is no
// longer there (erased, or another drawing). Nothing is told.
acad::BlockReference* BlocoDoId(std::int32_t Id);
// The same for any object identifier of a fault (a reach's manholes).
acad::BlockReference* BlocoDoId(std::int32_t Id, const std::vector<std::string>& Tags);
// The same without telling: why not in `Motivo`.
acad::BlockReference* BlocoComAtributos(std::int32_t Id, const std::vector<std::string>& Tags, std::string& Motivo);

// The text between the first "(" of `Texto` and the first ")" after it; the
// whole text when it has no such pair.
std::string EntreParenteses(const std::string& Texto);

// A plain number as text, "." as decimal point (0.01, 150, 42.5).
std::string NumeroTexto(double Valor);

// The clicks on the fault list of a verification object. A click with no
// line selected does nothing. A click that arrives while a removal walk of the
// same object yields is held back and handled once the walk has ended, if the
// fault it was on is still the one selected then.
class CliquesDeFalha {
public:
    void Clique(forms::ListBox& Lista, const std::function<void(int)>& Trata);

    // A verification run: its clicks are held back as during a walk, since
    // a correction would change the fault table the run is filling. The
    // click held, if still on its fault, is handled by Retomado.
    void Enquanto(const std::function<void()>& Trabalho);
    void Retomado(forms::ListBox& Lista, const std::function<void(int)>& Trata);

    // Walks the fault list from line i down, yielding to the event queue at
    // each step; every entry whose message equals that of entry i is given to
    // `Corrige` (its index), and removed when that returns true. The number
    // of entries that `Corrige` refused.
    int RemoveSemelhantes(forms::ListBox& Lista, int i, const std::function<bool(int)>& Corrige);

private:
    bool andando_ = false;
    std::optional<ErrRec> retido_;
};

// The choice dialog of a correction (frmEditList), placed at the remembered
// position (centred while 0) and shown modally; the position where the user
// left it is stored back. `Repassar` and `NaoMostrar` return its two check
// boxes whatever button closed it. True when it was closed with "OK".
struct EscolhaLista {
    std::string Titulo;
    std::string Objetivo;
    std::string Explicacao;
    bool OfereceTodas = true;  // the "Repassar para todas ..." box is shown
};
bool EscolheNaLista(const EscolhaLista& Pedido, int& Left, int& Top, std::string& Escolha1, std::string& Escolha2,
                    bool& Repassar, bool& NaoMostrar);

// The choice routine of a correction of fault i: its block must carry `Tag`
// (the attribute the caller writes); the title names the manhole ("PV: " and
// its NUMERO) or the reach ("Trecho: " and its TRECHO); the wrong value, taken
// from between the message's parentheses, is explained as Antes + value +
// Depois. False, nothing chosen, when the block cannot be had or the dialog
// was not closed with "OK".
bool EscolheCorrecao(int i, const std::string& Tag, const std::string& Objetivo, const std::string& Antes,
                     const std::string& Depois, int& Left, int& Top, std::string& Valor, bool& ForAll, bool& NoMore);

// A "Sim"/"Não" question with the box "Não mostrar mais esta mensagem." bound
// to NoMore, at Left and Top (stored back). True on "Sim".
bool PerguntaSimNao(const std::string& Titulo, const std::string& Texto, bool& NoMore, int& Left, int& Top);

// Offers to take every listed fault like fault i (the same message), from i
// down, out of the list; the drawing does not change.
void PerguntaRemocao(CliquesDeFalha& Cliques, forms::ListBox& Lista, int i, bool& NoMore, int& Left, int& Top);

// Valor into the attribute Tag of the block of fault Index, which leaves the
// list; with ForAll, of every listed fault from Index down with its message.
// Faults whose block is gone or lacks the tag stay listed and are told.
void AplicaCorrecao(CliquesDeFalha& Cliques, forms::ListBox& Lista, int Index, bool ForAll, const std::string& Valor,
                    const std::string& Tag);

// "n itens" on the progress bar: the fault list's line count.
std::string TextoItens(const forms::ListBox& Lista);

// A group of options of the option list: its header and the options that
// appear under it while it is open.
struct GrupoDeOpcoes {
    std::string Cabecalho;
    std::vector<std::string> Itens;
    bool Aberto = false;
};

// A click on the option list: on a group's header the group opens (its
// options are inserted under the header, and the header and they are
// selected) or closes (the header is unselected, its options removed). The
// selections made here raise clicks of their own, which `Ocupado` holds off.
void CliqueOpcoes(forms::ListBox& Lista, bool& Ocupado, GrupoDeOpcoes& Grupo1, GrupoDeOpcoes& Grupo2);

// The options chosen in the option list (its selected lines, compared exactly
// with the captions) are cleared in `NaoEscolhida`, then the list is emptied.
void LeOpcoes(forms::ListBox& Lista, const std::vector<std::string>& Legendas, std::vector<bool>& NaoEscolhida);

// |Valor| above the tolerance, both as stored (single precision): a value
// exactly at the tolerance passes.
bool Excede(double Valor, double Tolerancia);

// What both verification objects (designed and generic network) are and do
// alike: the values the panel sets before a run, the option list and the
// fault list the panel lends them, the options read at the start of a run,
// the run itself (the manhole pass, and the reach pass after a clean one,
// each followed by its report when it found faults) and the handling of the
// clicks on both lists. Each object gives its passes, reports and corrections.
class VerificacaoSAN {
public:
    VerificacaoSAN(const VerificacaoSAN&) = delete;
    VerificacaoSAN& operator=(const VerificacaoSAN&) = delete;

    // --- set by the panel before Execute
    ProgressBar* cProgress = nullptr;
    int gPRECCOTA = 3;  // decimals of elevations
    int gPRECDECL = 6;  // of slopes
    int gPRECDIST = 2;  // of distances
    // Kept for the panel's settings: the manholes at the reach ends are found
    // by their place in the drawing, never through the view.
    double gAcadZoomCenter = 400;
    double gAcadZoomScale = 0.4;
    double gTolVerifComp = 0.1;  // lengths
    // The option list and the fault list, whose clicks this object handles
    // while it holds them (null: it lets go).
    forms::ListBox* cListBox1() const { return cListBox1_; }
    void SetcListBox1(forms::ListBox* Lista);
    forms::ListBox* cListBox2() const { return cListBox2_; }
    void SetcListBox2(forms::ListBox* Lista);

    // The option list: its two group headers.
    void Prepare();
    // Runs the chosen passes and shows the report when faults were found.
    void Execute();

protected:
    VerificacaoSAN(GrupoDeOpcoes PVs, GrupoDeOpcoes TRs);
    virtual ~VerificacaoSAN();

    // The options in their order: the manhole header and its options, the
    // reach header and its options.
    bool Escolhida(int Opcao) const { return !naoEscolhida_[static_cast<std::size_t>(Opcao)]; }
    // A pass's fault count; the manhole pass tells whether it was cancelled.
    virtual long Conf_PVs(bool& Cancelado) = 0;
    virtual long Conf_TRs() = 0;
    virtual std::string RelatorioPVs() const = 0;
    virtual std::string RelatorioTRs() const = 0;
    // A click on fault i of the fault list.
    virtual void TrataFalha(int i) = 0;

    CliquesDeFalha cliques_;
    long falhas_ = 0;       // faults raised in the run
    long repetidosPV_ = 0;  // manholes that repeat an earlier number
    long repetidosTR_ = 0;  // reaches that repeat an earlier name

private:
    void cListBox1_Click();
    void cListBox2_Click();
    void TrataClique(int i);

    forms::ListBox* cListBox1_ = nullptr;
    forms::ListBox* cListBox2_ = nullptr;
    platform::ScopedConnection clique1_, clique2_;
    GrupoDeOpcoes grupoPVs_, grupoTRs_;
    std::vector<std::string> legendas_;
    std::vector<bool> naoEscolhida_;  // True: the option was not chosen
    bool ocupado_ = false;            // the option list's handler is running
};
