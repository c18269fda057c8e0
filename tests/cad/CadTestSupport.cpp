#include "CadTestSupport.h"

#include <atomic>
#include <cstdlib>

#include <sqlite3.h>

#include <unistd.h>

#include "cad/modAcad.h"
#include "cad/modVista.h"
#include "shell/frmMsgBox.h"
#include "shell/frmPointInfo.h"
#include "shell/modGlobais.h"

namespace cadtest {

namespace {

std::string Linhas(std::string s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

PastaTemporaria::PastaTemporaria()
{
    static std::atomic<int> contador{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quoril-cad-" + std::to_string(::getpid()) + "-" + std::to_string(contador++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

PastaTemporaria::~PastaTemporaria()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Mensagens::Mensagens()
    : formas_([this](forms::Form& f) {
          if (auto* box = dynamic_cast<frmMsgBox*>(&f)) {
              lista_.push_back({box->Titulo.Caption(), Linhas(box->Mensagem.Caption())});
              forms::user::Click(box->CmdOK);
          } else if (auto* info = dynamic_cast<frmPointInfo*>(&f)) {
              lista_.push_back({info->Titulo.Caption(), Linhas(info->Mensagem.Caption())});
              forms::user::Click(info->CmdOK);
          } else {
              ADD_FAILURE() << "formulário inesperado: " << f.Caption();
          }
      }),
      dialogos_([this](const os::DialogRequest& r) {
          lista_.push_back({r.title, Linhas(r.text)});
          return os::DialogAnswer::Yes();
      })
{
}

std::vector<std::string> Mensagens::Textos() const
{
    std::vector<std::string> t;
    for (const auto& m : lista_) t.push_back(m.Texto);
    return t;
}

void ZeraGlobais()
{
    DesligaAcad();
    gVistaSalva = VistaSalva{};
}

CadTest::CadTest(bool registrado)
    : script(std::make_shared<acad::ScriptedInput>()), app(std::make_unique<acad::Application>())
{
    ZeraGlobais();
    gAcadProgID = "AutoCAD.Application";
    gLayerConf = "0-Conferencia";
    gBlocosPath = pasta.Caminho().string();
    app->SetInputSource(script);
    app->Documents().Add("Acad");
    if (registrado) registro.emplace(*app);
}

CadTest::~CadTest()
{
    registro.reset();
    ZeraGlobais();
}

void CadTest::Conecta()
{
    ASSERT_TRUE(ConectaAcad());
    ASSERT_EQ(gAcadDoc, app->ActiveDocument());
}

std::vector<Ponto> Vertices(const std::vector<double>& L)
{
    std::vector<Ponto> v;
    for (std::size_t i = 0; i + 1 < L.size(); i += 2) v.emplace_back(L[i], L[i + 1]);
    return v;
}

std::filesystem::path PastaDoPrograma()
{
    const char* bin = std::getenv("QUORIL_BIN_DIR");
    return bin ? std::filesystem::path(bin) : std::filesystem::path();
}

void ExecutaSql(const std::filesystem::path& Banco, const std::string& Sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Banco.string().c_str(), &db), SQLITE_OK);
    char* erro = nullptr;
    const int rc = sqlite3_exec(db, Sql.c_str(), nullptr, nullptr, &erro);
    const std::string texto = erro ? erro : "";
    sqlite3_free(erro);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << texto;
}

}  // namespace cadtest
