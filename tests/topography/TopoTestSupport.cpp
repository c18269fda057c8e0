#include "TopoTestSupport.h"

#include <atomic>

#include "cad/modAcad.h"
#include "platform/forms/Picture.h"
#include "shell/modGlobais.h"
#include "topography/TOPDes.h"

namespace topotest {

namespace {

std::string NomeUnico()
{
    static std::atomic<int> n{0};
    return "frmTopo" + std::to_string(n++);
}

}  // namespace

FormTopo::FormTopo(const std::string& Nome) : form(Nome.empty() ? NomeUnico() : Nome), TD(form.Add<TOPDes98>("TD"))
{
    form.Move(0, 0, 2800, 4000);
    form.Show();
}

FormTopo::~FormTopo() { forms::Unload(form); }

TopoTest::TopoTest() : pastaFiguras_(forms::ResourcePictureFolder())
{
    // The panel's pictures are those of the program folder.
    forms::SetResourcePictureFolder((cadtest::PastaDoPrograma() / "pictures").string());
    Conecta();
    CatalogoDoPrograma();
    anterior_ = forms::SetTestDriver([this](forms::Form& f) {
        if (auto* dlg = dynamic_cast<frmInsPoint*>(&f)) {
            if (insercoes_.empty()) {
                ADD_FAILURE() << "diálogo Inserir Ponto sem resposta";
                return;
            }
            auto usuario = std::move(insercoes_.front());
            insercoes_.pop_front();
            usuario(*dlg);
            return;
        }
        if (anterior_) anterior_(f);
    });
}

TopoTest::~TopoTest()
{
    forms::SetTestDriver(std::move(anterior_));
    EXPECT_TRUE(insercoes_.empty()) << "respostas do diálogo Inserir Ponto não usadas";
    gMdbPath.clear();
    gBlocosTopo.clear();
    forms::SetResourcePictureFolder(pastaFiguras_);
}

std::filesystem::path TopoTest::CatalogoPequeno(const std::string& Linhas)
{
    std::filesystem::path banco = pasta / "rereva2000r.mdb";
    std::filesystem::remove(banco);
    cadtest::ExecutaSql(banco, "CREATE TABLE T_DXFs (Bloco TEXT, S1 TEXT, S2 TEXT, S3 TEXT, S4 TEXT);" + Linhas);
    gMdbPath = banco.string();
    return banco;
}

void TopoTest::CatalogoDoPrograma() { gMdbPath = (cadtest::PastaDoPrograma() / "rereva2000r.mdb").string(); }

void TopoTest::RespondeInsercao(std::function<void(frmInsPoint&)> usuario) { insercoes_.push_back(std::move(usuario)); }

std::size_t TopoTest::Conta(const std::string& Tipo)
{
    std::size_t n = 0;
    for (acad::Entity* e : *gModelSpace)
        if (e->ObjectName() == Tipo) ++n;
    return n;
}

}  // namespace topotest
