#include "ComumTestSupport.h"

#include "cad/modAcad.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Picture.h"
#include "platform/forms/Testing.h"
#include "shell/modGlobais.h"
#include "topography/TOPDes.h"

namespace comumtest {

FormComum::FormComum() : form("frmComum"), CM(form.Add<COMDes98>("CM"))
{
    form.Move(0, 0, 2800, 4100);
    form.Show();
}

FormComum::~FormComum() { forms::Unload(form); }

std::string ComumTest::FigurasDoPrograma()
{
    std::string antes = forms::ResourcePictureFolder();
    forms::SetResourcePictureFolder((cadtest::PastaDoPrograma() / "pictures").string());
    return antes;
}

ComumTest::ComumTest() : CM(painel.CM)
{
    Conecta();
    gMdbPath = (cadtest::PastaDoPrograma() / "rereva2000r.mdb").string();
    CM.Start();
}

ComumTest::~ComumTest()
{
    gMdbPath.clear();
    gBlocosTopo.clear();
    forms::SetResourcePictureFolder(pastaFiguras_);
}

std::filesystem::path ComumTest::CatalogoPequeno(const std::string& Linhas)
{
    std::filesystem::path banco = pasta / "rereva2000r.mdb";
    std::filesystem::remove(banco);
    cadtest::ExecutaSql(banco, "CREATE TABLE T_DXFs (Bloco TEXT, S1 TEXT, S2 TEXT, S3 TEXT, S4 TEXT);" + Linhas);
    gMdbPath = banco.string();
    return banco;
}

std::vector<acad::BlockReference*> ComumTest::Insercoes(const std::string& Bloco)
{
    std::vector<acad::BlockReference*> r;
    for (acad::Entity* e : *gModelSpace)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Bloco) r.push_back(b);
    return r;
}

std::string ComumTest::Atributo(acad::BlockReference* b, const std::string& Tag)
{
    for (acad::AttributeReference* a : b->GetAttributes())
        if (a->TagString() == Tag) return a->TextString();
    return "";
}

void ComumTest::Digita(forms::TextBox& Caixa, const std::string& Texto) { forms::user::Type(Caixa, Texto); }

}  // namespace comumtest
