#include "PanelTestSupport.h"

#include <atomic>

#include "cad/modAcad.h"

namespace sewertest {

namespace {

// The pictures the build drew, where the panel looks for them; the name as given.
std::string ComFiguras(const std::string& Nome)
{
    forms::SetResourcePictureFolder((PastaCatalogo() / "pictures").string());
    return Nome;
}

std::string NomeUnico(const std::string& Nome)
{
    static std::atomic<int> n{0};
    return Nome + std::to_string(n++);
}

}  // namespace

void MostraPagina(SANDes98& P, forms::Control& C)
{
    for (forms::TabControl* t : {&P.SSDesenho, &P.SSTabBrivan}) {
        if (C.Left() > -30000) break;
        for (int i = 0; i < t->Tabs() && C.Left() < -30000; ++i) forms::user::ChooseTab(*t, i);
    }
}

FormPainel::FormPainel(const std::string& Nome) : form(ComFiguras(Nome)), SD(form.Add<SANDes98>("SD"))
{
    form.Move(0, 0, 2800, 4000);
    form.Show();
}

FormPainel::~FormPainel() { forms::Unload(form); }

PainelTest::PainelTest() : painel(std::make_unique<FormPainel>(NomeUnico("frmPainel"))), SD(painel->SD)
{
    anterior_ = forms::SetTestDriver([this](forms::Form& f) {
        if (auto* d = dynamic_cast<frmCalcCotaPT*>(&f)) {
            ++dialogosDeCota;
            if (cotas.empty()) {
                ADD_FAILURE() << "diálogo de cota sem resposta";
                return;
            }
            auto acao = std::move(cotas.front());
            cotas.pop_front();
            // The dialog opens while the label's button is down: the person
            // lets it go before clicking in the dialog.
            forms::user::MouseUp(d->Titulo, forms::vbLeftButton, 0, 0, 0);
            acao(*d);
            return;
        }
        if (anterior_) anterior_(f);
    });
    SD.Start(false);
    EXPECT_TRUE(SD.Iniciado());
}

PainelTest::~PainelTest()
{
    forms::SetTestDriver(std::move(anterior_));
    EXPECT_TRUE(cotas.empty()) << "respostas de diálogo de cota não usadas";
}

void PainelTest::PontoTopografico(const Ponto& P, const std::string& Nome, const std::string& Cota)
{
    gModelSpace->AddPoint(P)->SetXData({1001, 1000, 1000}, {Nome, Cota, "-"});
}

}  // namespace sewertest
