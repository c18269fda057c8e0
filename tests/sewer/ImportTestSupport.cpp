#include "ImportTestSupport.h"

#include <fstream>
#include <iterator>

#include "cad/modAcad.h"
#include "platform/forms/Testing.h"
#include "sewer/frmList.h"
#include "shell/frmTips.h"

namespace sewertest {

std::string Conteudo(const std::string& Arquivo)
{
    std::ifstream f(Arquivo, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

ImportTest::ImportTest()
{
    formas_ = forms::SetTestDriver(nullptr);
    forms::SetTestDriver([this](forms::Form& f) {
        if (auto* l = dynamic_cast<frmList*>(&f)) {
            perguntas.push_back(l->MyCaption());
            ASSERT_FALSE(materiais.empty()) << "seletor de material inesperado: " << l->MyCaption();
            const std::string m = materiais.front();
            materiais.pop_front();
            if (m.empty()) {
                forms::user::Click(l->Command1(1));
                return;
            }
            for (int i = 0; i < l->List1.ListCount(); ++i)
                if (l->List1.List(i) == m) forms::user::Choose(l->List1, i);
            forms::user::Click(l->Command1(0));
        } else if (auto* t = dynamic_cast<frmTips*>(&f)) {
            relatorios.push_back(t->Mensagem());
            forms::user::Click(t->cmdOK);
        } else if (formas_) {
            formas_(f);
        }
    });
    arquivos_ = os::SetDialogDriver([this](const os::DialogRequest& r) {
        if (r.kind == os::DialogKind::Open || r.kind == os::DialogKind::Save) {
            dialogos.push_back(r);
            if (arquivos.empty()) {
                ADD_FAILURE() << "diálogo de arquivo inesperado: " << r.title;
                return os::DialogAnswer::Cancel();
            }
            const std::string a = arquivos.front();
            arquivos.pop_front();
            return a.empty() ? os::DialogAnswer::Cancel() : os::DialogAnswer::Path(a);
        }
        return arquivos_(r);
    });
}

ImportTest::~ImportTest()
{
    os::SetDialogDriver(std::move(arquivos_));
    forms::SetTestDriver(std::move(formas_));
    EXPECT_TRUE(arquivos.empty()) << "respostas de arquivo não usadas";
    EXPECT_TRUE(materiais.empty()) << "respostas de material não usadas";
}

void ImportTest::AbreTabela(const std::string& Nome, const std::vector<RegistroDbf>& Registros, bool CltatNumerico)
{
    EscreveDbf(pasta / Nome, CamposDeProjeto(CltatNumerico), Registros);
    arquivos.push_back((pasta / Nome).string());
    imp.OpenTable();
}

acad::BlockReference* ImportTest::PVDoDesenho(const std::string& Numero)
{
    for (acad::Entity* e : gAcadDoc->ModelSpace())
        if (auto* b = dynamic_cast<acad::BlockReference*>(e))
            if (b->Name().rfind("E-PV", 0) == 0 && b->Name() != "E-PVGEN") {
                for (acad::AttributeReference* a : b->GetAttributes())
                    if (a->TagString() == "NUMERO" && a->TextString() == Numero) return b;
            }
    return nullptr;
}

}  // namespace sewertest
