#pragma once
// The survey-point tools and the sections through the real drawing host with
// scripted input: a drawing connected as the active one, a window holding the
// progress bar as the panel's, and every dialog answered as a test says.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "cad/CadTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/frmInput.h"
#include "shell/frmMsgBox.h"
#include "shell/frmTips.h"
#include "shell/modGlobais.h"
#include "topography/PontoTopografico.h"
#include "topography/frmTOPPts.h"

namespace topotest {

class JanelaBarra : public forms::Form {
public:
    JanelaBarra() : Form("JanelaBarra") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

class DesenhoTopo : public cadtest::CadTest {
protected:
    DesenhoTopo()
    {
        gBlocosPath = gImagensPath = cadtest::PastaDoPrograma().string();
        app->SetSupportFolders({cadtest::PastaDoPrograma()});
        forms::Load(janela);
        gMainForm = &janela;
        Conecta();
        CamadasPontoTopografico();
        app->ZoomCenter({0, 0, 0}, 300);
    }
    ~DesenhoTopo() override
    {
        gMainForm = nullptr;
        forms::Unload(janela);
    }

    // One survey point with its texts.
    acad::Point* Ponto_(double x, double y, const std::string& Nome, const std::string& Cota,
                        const std::string& Descricao = "")
    {
        return DesenhaPontoTopografico(Ponto(x, y, 0), {Nome, Cota, Descricao}).Ponto;
    }
    // A bare point, without data.
    acad::Point* PontoSemDados(double x, double y) { return Doc().ModelSpace().AddPoint({x, y, 0}); }

    template <typename T>
    std::vector<T*> Todos(acad::Document& D, const std::string& Camada = "")
    {
        std::vector<T*> v;
        for (acad::Entity* e : D.ModelSpace())
            if (auto* t = dynamic_cast<T*>(e); t && (Camada.empty() || e->Layer() == Camada)) v.push_back(t);
        return v;
    }
    template <typename T>
    std::vector<T*> Todos(const std::string& Camada = "")
    {
        return Todos<T>(Doc(), Camada);
    }
    std::vector<std::string> TextosEm(const std::string& Camada)
    {
        std::vector<std::string> r;
        for (acad::Text* t : Todos<acad::Text>(Camada)) r.push_back(t->TextString());
        return r;
    }

    // The message boxes shown, and the answers to them (true "OK"/"Sim").
    struct Caixa {
        std::string Titulo;
        std::string Texto;
    };
    std::vector<Caixa> caixas;
    std::deque<bool> respostas;
    std::function<void(const Caixa&)> aoMostrar;
    // The other dialogs; unset: OK untouched.
    std::function<void(frmTOPPts&)> noTOPPts;
    std::string digitado;  // what the user types in frmInput
    bool cancelaEntrada = false;
    bool aceitaTips = true;
    int tips = 0;
    forms::ScopedTestDriver driver{[this](forms::Form& f) {
        if (auto* box = dynamic_cast<frmMsgBox*>(&f)) {
            caixas.push_back({box->Titulo.Caption(), box->Mensagem.Caption()});
            if (aoMostrar) aoMostrar(caixas.back());
            const bool sim = respostas.empty() || respostas.front();
            if (!respostas.empty()) respostas.pop_front();
            forms::user::Click(sim ? box->CmdOK : box->CmdCancel);
        } else if (auto* p = dynamic_cast<frmTOPPts*>(&f)) {
            if (noTOPPts)
                noTOPPts(*p);
            else
                forms::user::Click(p->CmdOK);
        } else if (auto* in = dynamic_cast<frmInput*>(&f)) {
            forms::user::Type(in->Text1, digitado);
            forms::user::Click(cancelaEntrada ? in->CmdCancel : in->CmdOK);
        } else if (auto* t = dynamic_cast<frmTips*>(&f)) {
            ++tips;
            forms::user::Click(aceitaTips ? t->cmdOK : t->CancelCmd);
        } else {
            ADD_FAILURE() << "formulário inesperado: " << f.Caption();
        }
    }};

    JanelaBarra janela;
};

}  // namespace topotest
