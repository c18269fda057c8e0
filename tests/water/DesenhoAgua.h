#pragma once
// The water drawing commands through the real drawing host with scripted
// input and the shipped catalogue loaded as the water panel loads it.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

#include "cad/CadTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CommandLine.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Testing.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "water/frmWATTubo.h"
#include "water/clsWATDb.h"
#include "water/clsWATDes.h"
#include "WaterTestSupport.h"

namespace watertest {

class DesenhoAgua : public cadtest::CadTest {
protected:
    DesenhoAgua()
    {
        gMdbPath = (PastaDoPrograma() / "rereva2000r.mdb").string();
        gBlocosPath = gImagensPath = PastaDoPrograma().string();
        app->SetSupportFolders({PastaDoPrograma()});
        EXPECT_TRUE(clsWATDb().LoadDb());
        MontaTiposTubo();
        Conecta();
        app->ZoomCenter({0, 0, 0}, 300);
    }

    // Answers the message boxes from `respostas` (true: "OK"/"Sim", false:
    // "Não"; "OK" once they run out) and the pipe dialog through `noTubo`
    // ("OK" untouched when unset), keeping what each box said.
    struct Caixa {
        std::string Titulo;
        std::string Texto;  // line breaks as they were passed
    };
    std::vector<Caixa> caixas;
    std::deque<bool> respostas;
    std::function<void(frmWATTubo&)> noTubo;
    int dialogos = 0;
    forms::ScopedTestDriver driver{[this](forms::Form& f) {
        if (auto* box = dynamic_cast<frmMsgBox*>(&f)) {
            caixas.push_back({box->Titulo.Caption(), box->Mensagem.Caption()});
            const bool sim = respostas.empty() || respostas.front();
            if (!respostas.empty()) respostas.pop_front();
            forms::user::Click(sim ? box->CmdOK : box->CmdCancel);
        } else if (auto* t = dynamic_cast<frmWATTubo*>(&f)) {
            ++dialogos;
            if (noTubo)
                noTubo(*t);
            else
                forms::user::Click(t->CmdOK);
        } else {
            ADD_FAILURE() << "formulário inesperado: " << f.Caption();
        }
    }};
    ~DesenhoAgua() override
    {
        gBlocosAgua.clear();
        gMateriaisAgua.clear();
        gTiposTubo.clear();
    }

    // The attribute of the block by tag; fails the test when missing.
    static acad::AttributeReference* Atributo(acad::BlockReference* b, const std::string& Tag)
    {
        for (acad::AttributeReference* a : b->GetAttributes())
            if (a->TagString() == Tag) return a;
        ADD_FAILURE() << "sem atributo " << Tag;
        return nullptr;
    }
    static std::string Texto(acad::BlockReference* b, const std::string& Tag)
    {
        acad::AttributeReference* a = Atributo(b, Tag);
        return a ? a->TextString() : "";
    }

    // The block references of model space named `Nome`, in drawing order.
    std::vector<acad::BlockReference*> Blocos(const std::string& Nome)
    {
        std::vector<acad::BlockReference*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Nome) v.push_back(b);
        return v;
    }

    clsWATDes des;
};

}  // namespace watertest
