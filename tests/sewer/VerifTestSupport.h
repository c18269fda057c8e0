#pragma once
// What the verification tests share: the option list, the fault list and the
// progress bar on a form of their own (as the panel lends them), the panel's
// handling of the fault events, the modal forms answered from a queue, and a
// designed and a generic network drawn by the sewer drawing model.

#include <deque>
#include <memory>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "SewerTestSupport.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "sewer/modConfSAN.h"
#include "shell/ProgressBar.h"

namespace veriftest {

inline bool Comeca(const std::string& Texto, const std::string& Inicio) { return Texto.rfind(Inicio, 0) == 0; }

// The two lists and the progress bar of the panel's verification page.
struct Listas {
    Listas();
    ~Listas();
    forms::Form form;
    forms::ListBox& Opcoes;
    forms::ListBox& Falhas;
    ProgressBar& Barra;
};

// A modal form shown during a test: its kind and what it said.
struct Janela {
    std::string Tipo;    // "frmMsgBox", "frmTips", "frmEditList", ...
    std::string Titulo;  // of a message box; "" for the others
    std::string Texto;   // message, report text, explanation
};

// Answers every modal form: the next queued answer when there is one, else
// "OK" for message boxes and reports (any other form fails the test). Keeps
// what each showed.
class Respostas {
public:
    Respostas();
    void Proxima(std::function<void(forms::Form&)> Resposta) { fila_.push_back(std::move(Resposta)); }
    template <typename F>
    void Proxima(std::function<void(F&)> Resposta)
    {
        fila_.push_back([Resposta](forms::Form& f) {
            auto* form = dynamic_cast<F*>(&f);
            ASSERT_NE(form, nullptr) << "outro formulário: " << f.Name();
            Resposta(*form);
        });
    }
    const std::vector<Janela>& Mostradas() const { return mostradas_; }
    std::vector<std::string> Relatorios() const;  // the report windows' texts
    std::vector<std::string> Mensagens() const;   // the message boxes' texts
    std::size_t Pendentes() const { return fila_.size(); }
    void Limpa() { mostradas_.clear(); }

private:
    std::deque<std::function<void(forms::Form&)>> fila_;
    std::vector<Janela> mostradas_;
    forms::ScopedTestDriver driver_;
};

// A marker: an "ErroC" insert on the verification layer.
struct Marcador {
    std::string Mensagem;
    Ponto P;
    double Escala = 0;
    int Cor = 0;
};

// A marker with that text, scale and colour.
inline ::testing::AssertionResult Marcou(const Marcador& M, const std::string& Texto, double Escala, int Cor)
{
    if (M.Mensagem == Texto && M.Escala == Escala && M.Cor == Cor) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "marcador \"" << M.Mensagem << "\" escala " << M.Escala << " cor " << M.Cor;
}

class VerifTest : public sewertest::SewerTest {
protected:
    VerifTest();

    // --- the designed network
    // A manhole at P with ground 102, its invert and the depth that agrees.
    acad::BlockReference* PVd(const Ponto& P, const std::string& Numero, double CS, int Etapa = 1);
    // The reach from PVM to PVJ as the drawing model draws it.
    acad::BlockReference* TRd(acad::BlockReference* PVM, acad::BlockReference* PVJ, const std::string& Nome,
                              const std::string& Comp, const std::string& Decl, const std::string& Diam = "150",
                              const std::string& Mat = "PVC", int Etapa = 1, const std::string& Pav = "Asfalto");
    // Four manholes and three reaches that pass every check: no drop, a
    // step, no drop; manholes PV-1 .. PV-4, reaches T-1 .. T-3.
    void RedeLimpa();

    // --- the generic network
    acad::BlockReference* PVg(const Ponto& P, const std::string& Numero, const std::string& Cota = "100");
    acad::BlockReference* TRg(acad::BlockReference* PV1, acad::BlockReference* PV2, const std::string& Contrib = "SIM",
                              const std::string& Pav = "Terra", const std::string& Mat = "PVC", int Etapa = 1);

    // The markers and the joining lines of the verification layer, in drawing order.
    std::vector<Marcador> Marcas();
    std::vector<acad::LWPolyline*> Linhas();
    // The fault list's lines.
    std::vector<std::string> LinhasDaLista();
    // The types of ErrList's first ErrN entries.
    std::vector<int> Tipos();

    // The verification object's lists, progress bar and fault event, as the
    // panel's prepare wires them; the fault list emptied, and Prepare.
    template <typename V, typename E>
    void Liga(V& Verif, E& Evento)
    {
        Verif.SetcListBox1(&listas.Opcoes);
        Verif.SetcListBox2(&listas.Falhas);
        Verif.cProgress = &listas.Barra;
        Evento += [this](int Tipo, std::int32_t Id, std::int32_t PVm, std::int32_t PVj, const std::string& Mensagem,
                         Ponto Pt1, std::optional<Ponto> Pt2) {
            RegistraErro(listas.Falhas, Tipo, Id, PVm, PVj, Mensagem, Pt1, Pt2);
        };
        listas.Falhas.Clear();
        Verif.Prepare();
    }
    // A new prepare: a new object takes the lists over from the last one.
    template <typename V, typename E>
    V& Nova(std::unique_ptr<V>& Verif, E V::*Evento)
    {
        if (Verif) {
            Verif->SetcListBox1(nullptr);
            Verif->SetcListBox2(nullptr);
        }
        Verif = std::make_unique<V>();
        Liga(*Verif, (*Verif).*Evento);
        return *Verif;
    }
    // Opens the groups, selects exactly the options named (captions) and runs.
    void Executa(VerificacaoSAN& Verif, const std::set<std::string>& Opcoes);
    // A click on line i of the fault list.
    void ClicaFalha(int i);

    acad::BlockReference* Bloco(std::int32_t Id);

    Listas listas;
    Respostas respostas;
};

}  // namespace veriftest
