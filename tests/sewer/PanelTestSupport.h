#pragma once
// The sewer panel on a form of its own, started with the shipped catalogue,
// over the drawing host of the sewer tests: what the panel's tests share.

#include <deque>
#include <functional>
#include <string>

#include "SewerTestSupport.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "sewer/SANDes98.h"
#include "sewer/clsSANDb.h"
#include "sewer/frmCalcCotaPT.h"

namespace sewertest {

// Brings into view the page of SSDesenho or SSTabBrivan that holds C (a
// control placed on a page), as a person would before clicking it.
void MostraPagina(SANDes98& P, forms::Control& C);

// A form holding only the panel "SD". Each one has a name of its own, since
// the panel's settings are kept per form and control for the run.
struct FormPainel {
    explicit FormPainel(const std::string& Nome);
    ~FormPainel();
    forms::Form form;
    SANDes98& SD;
};

// The panel shown and started. The elevation dialog is answered by the
// actions queued in `cotas` (an unexpected one fails the test); message
// boxes as in every sewer test.
class PainelTest : public SewerTest {
protected:
    PainelTest();
    ~PainelTest() override;

    // Queues what the user does in the next elevation dialog.
    void NoDialogoDeCota(std::function<void(frmCalcCotaPT&)> Acao) { cotas.push_back(std::move(Acao)); }
    // A survey point: a point carrying its name, elevation and description.
    void PontoTopografico(const Ponto& P, const std::string& Nome, const std::string& Cota);
    // Clicks a control of the panel on whichever page it lies.
    void Clica(forms::Control& C)
    {
        MostraPagina(SD, C);
        forms::user::Click(C);
    }

    std::unique_ptr<FormPainel> painel;
    SANDes98& SD;
    std::deque<std::function<void(frmCalcCotaPT&)>> cotas;
    int dialogosDeCota = 0;

private:
    forms::TestDriver anterior_;
};

}  // namespace sewertest
