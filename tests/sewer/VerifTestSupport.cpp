#include "VerifTestSupport.h"

#include "cad/modGeometria.h"
#include "platform/acad/PolylineEntities.h"
#include "sewer/frmEditList.h"
#include "sewer/frmEditPV.h"
#include "sewer/frmEditTR.h"
#include "sewer/modConfSAN.h"
#include "shell/frmMsgBox.h"
#include "shell/frmTips.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"

namespace veriftest {

Listas::Listas()
    : form("frmVerificacao"),
      Opcoes(form.Add<forms::ListBox>("SANERROptlst")),
      Falhas(form.Add<forms::ListBox>("SANERRlst")),
      Barra(form.Add<ProgressBar>("Progress1"))
{
    form.Move(0, 0, 6000, 6000);
    Opcoes.Move(120, 120, 2700, 3600);
    Opcoes.SetMultiSelect(forms::vbMultiSelectSimple);
    Falhas.Move(3000, 120, 2700, 3600);
    Barra.Move(120, 3840, 5580, 255);
    form.Show(forms::vbModeless);
}

Listas::~Listas() { forms::Unload(form); }

Respostas::Respostas()
    : driver_([this](forms::Form& f) {
          Janela j{f.Name(), "", ""};
          if (auto* box = dynamic_cast<frmMsgBox*>(&f)) {
              j.Titulo = box->Titulo.Caption();
              j.Texto = box->Mensagem.Caption();
          } else if (auto* tips = dynamic_cast<frmTips*>(&f)) {
              j.Texto = tips->Text1.Text();
          } else if (auto* lista = dynamic_cast<frmEditList*>(&f)) {
              j.Titulo = lista->Titulo.Caption();
              j.Texto = lista->Label1.Caption();
          } else if (auto* tr = dynamic_cast<frmEditTR*>(&f)) {
              j.Titulo = tr->Titulo.Caption();
              j.Texto = tr->Label1.Caption();
          } else if (auto* pv = dynamic_cast<frmEditPV*>(&f)) {
              j.Titulo = pv->Titulo.Caption();
              j.Texto = pv->Label1.Caption();
          }
          mostradas_.push_back(j);
          if (!fila_.empty()) {
              auto resposta = std::move(fila_.front());
              fila_.pop_front();
              resposta(f);
          } else if (auto* box = dynamic_cast<frmMsgBox*>(&f)) {
              forms::user::Click(box->CmdOK);
          } else if (auto* tips = dynamic_cast<frmTips*>(&f)) {
              forms::user::Click(tips->cmdOK);
          } else {
              ADD_FAILURE() << "formulário sem resposta: " << f.Name() << " " << j.Titulo;
          }
      })
{
}

std::vector<std::string> Respostas::Relatorios() const
{
    std::vector<std::string> v;
    for (const Janela& j : mostradas_)
        if (j.Tipo == "frmTips") v.push_back(j.Texto);
    return v;
}

std::vector<std::string> Respostas::Mensagens() const
{
    std::vector<std::string> v;
    for (const Janela& j : mostradas_)
        if (j.Tipo == "frmMsgBox") v.push_back(j.Texto);
    return v;
}

VerifTest::VerifTest()
{
    ErrList.clear();
    ErrN = 0;
    LimpaErrCount();
    gMsgLeft = 0;
    gMsgTop = 0;
}

acad::BlockReference* VerifTest::PVd(const Ponto& P, const std::string& Numero, double CS, int Etapa)
{
    return des.DrawPV(P, 0.0, "E-PV", Numero, "102.000", FormatNum(CS, 3), FormatNum(102 - CS, 3), Etapa, false);
}

acad::BlockReference* VerifTest::TRd(acad::BlockReference* PVM, acad::BlockReference* PVJ, const std::string& Nome,
                                     const std::string& Comp, const std::string& Decl, const std::string& Diam,
                                     const std::string& Mat, int Etapa, const std::string& Pav)
{
    std::string codigo;
    acad::BlockReference* tr = des.DrawTR(PVM, PVJ, Diam, Comp, Decl, Mat, Etapa, Nome, Pav, codigo);
    EXPECT_NE(tr, nullptr) << Nome;
    return tr;
}

void VerifTest::RedeLimpa()
{
    acad::BlockReference* pv1 = PVd(Ponto(0, 0), "PV-1", 100.5);
    acad::BlockReference* pv2 = PVd(Ponto(60, 0), "PV-2", 99.9);
    acad::BlockReference* pv3 = PVd(Ponto(60, -50), "PV-3", 99.2);
    acad::BlockReference* pv4 = PVd(Ponto(120, -50), "PV-4", 98.6);
    TRd(pv1, pv2, "T-1", "60.00", "0.010000");
    TRd(pv2, pv3, "T-2", "50.00", "0.010000");  // a step of 0.200 at PV-3
    TRd(pv3, pv4, "T-3", "60.00", "0.010000");
}

acad::BlockReference* VerifTest::PVg(const Ponto& P, const std::string& Numero, const std::string& Cota)
{
    return des.InsertPVGen(P, Numero, Cota, 1);
}

acad::BlockReference* VerifTest::TRg(acad::BlockReference* PV1, acad::BlockReference* PV2, const std::string& Contrib,
                                     const std::string& Pav, const std::string& Mat, int Etapa)
{
    acad::BlockReference* tr = des.InsertTRGenObjs(PV1, PV2, Etapa, Contrib, Pav, Mat);
    EXPECT_NE(tr, nullptr);
    return tr;
}

std::vector<Marcador> VerifTest::Marcas()
{
    std::vector<Marcador> v;
    for (acad::BlockReference* b : Blocos("ErroC")) {
        EXPECT_EQ(b->Layer(), "0-Conferencia");
        EXPECT_DOUBLE_EQ(b->XScaleFactor(), b->YScaleFactor());
        v.push_back({sewertest::Atributos(b)["MENSAGEM"], Ponto(b->InsertionPoint()), b->XScaleFactor(), b->Color()});
    }
    return v;
}

std::vector<acad::LWPolyline*> VerifTest::Linhas()
{
    std::vector<acad::LWPolyline*> v;
    for (acad::LWPolyline* l : Todos<acad::LWPolyline>())
        if (l->Layer() == "0-Conferencia") v.push_back(l);
    return v;
}

std::vector<std::string> VerifTest::LinhasDaLista()
{
    std::vector<std::string> v;
    for (int i = 0; i < listas.Falhas.ListCount(); ++i) v.push_back(listas.Falhas.List(i));
    return v;
}

std::vector<int> VerifTest::Tipos()
{
    std::vector<int> v;
    for (int i = 0; i < ErrN && i < static_cast<int>(ErrList.size()); ++i)
        v.push_back(ErrList[static_cast<std::size_t>(i)].ErrType);
    return v;
}

void VerifTest::Executa(VerificacaoSAN& Verif, const std::set<std::string>& Opcoes)
{
    forms::ListBox& l = listas.Opcoes;
    // Each header opens its group as a person's click does.
    for (int i = 0; i < l.ListCount(); ++i)
        if (l.List(i).rfind("VERIFICAR", 0) == 0) forms::user::Choose(l, i);
    // The rest without the object listening: deselecting an open header by
    // hand would close its group.
    Verif.SetcListBox1(nullptr);
    for (int i = 0; i < l.ListCount(); ++i) l.SetSelected(i, Opcoes.count(l.List(i)) > 0);
    Verif.SetcListBox1(&l);
    Verif.Execute();
}

void VerifTest::ClicaFalha(int i)
{
    // Through ListIndex, which raises the same Click: a simulated press on the
    // list would keep the mouse for the list while the click's handler shows
    // its dialogs, and the clicks on those would go to the list.
    if (listas.Falhas.ListIndex() == i) listas.Falhas.SetListIndex(-1);
    listas.Falhas.SetListIndex(i);
}

acad::BlockReference* VerifTest::Bloco(std::int32_t Id)
{
    return acad::As<acad::BlockReference>(Doc().ObjectIdToObject(Id));
}

}  // namespace veriftest
