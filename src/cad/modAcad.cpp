#include "cad/modAcad.h"

#include <algorithm>
#include <filesystem>

#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/RunningObjects.h"
#include "platform/acad/SelectionSets.h"
#include "platform/acad/Tables.h"
#include "shell/modArquivos.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "shell/modPainel.h"
#include "platform/ProcessState.h"

acad::Application* gAcadApp = nullptr;
acad::Document* gAcadDoc = nullptr;
acad::Block* gModelSpace = nullptr;
acad::Utility* gAcadUtil = nullptr;
std::optional<EstadoAcad> gAcadState;
os::WindowHandle gAcadHwnd = 0;
std::string gDwgName;

void DesligaAcad()
{
    gAcadApp = nullptr;
    gAcadDoc = nullptr;
    gModelSpace = nullptr;
    gAcadUtil = nullptr;
    gAcadState.reset();
    gAcadHwnd = 0;
    gDwgName.clear();
}

namespace {
const platform::ProcessStateReset kResetAcad(DesligaAcad);
}  // namespace

namespace {

std::string Minusculas(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return s;
}

// Whether the file the name stands for exists, read as the host reads it when
// asked to open it: names kept from older runs may join folders with "\". A
// name whose "\" belongs to a folder or file on disk stands for none.
bool ArquivoExiste(const std::string& Nome)
{
    std::error_code ec;
    try {
        return std::filesystem::is_regular_file(acad::FileOfName(Nome), ec);
    } catch (const acad::Error&) {
        return false;
    }
}

}  // namespace

bool AbertoNoHost(const acad::Application& App, const acad::Document* Doc)
{
    return Doc &&
           std::any_of(App.Documents().begin(), App.Documents().end(), [&](const auto& d) { return d.get() == Doc; });
}

bool EstadoAcad::IsQuiescent() const
{
    acad::Application* running = acad::GetObject(gAcadProgID);
    if (running != app_)
        throw acad::Error(acad::ErrorCode::NotRunning, "O AutoCAD desta conexão não está mais em execução");
    return app_->GetAcadState().IsQuiescent();
}

acad::Application* AcadEmExecucao()
{
    try {
        return acad::GetObject(gAcadProgID);
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Atenção", e.Description() + "\r" + gAcadProgID + "\r\r" + "Inicie o AutoCAD");
        return nullptr;
    }
}

bool ConectaAcad(std::string& DwgName, const std::string& Template)
{
    if (gAcadHwnd == 0) AchaJanelaAcad();
    // A host in the middle of a command would refuse the automation calls; a
    // state that cannot be asked (first connection of the run, a host that
    // has gone) counts as busy.
    if (gAcadHwnd != 0) {
        bool quieto = false;
        try {
            quieto = gAcadState && gAcadState->IsQuiescent();
        } catch (const acad::Error&) {
        }
        if (!quieto) EnviaEsc();
    }

    acad::Application* app = AcadEmExecucao();
    if (!app) return false;
    gAcadApp = app;

    // A drawing named but not reached is not worked on: the work would go to
    // whichever drawing is active instead.
    bool alcancado = true;
    if (!AparaEspacos(DwgName).empty()) {
        const std::string procurado = AparaEspacos(DwgName);
        bool achou = false;
        // Every drawing is visited: of two with the same name the later wins.
        // Names that differ only in case are two files here; a name through a
        // link is the file it leads to.
        for (const auto& d : app->Documents()) {
            if (d->FullName() != procurado && !MesmoArquivo(d->FullName(), procurado)) continue;
            try {
                d->Activate();
            } catch (const acad::Error&) {
            }
            gAcadDoc = d.get();
            achou = true;
        }
        if (!achou) {
            if (ArquivoExiste(DwgName)) {
                try {
                    gAcadDoc = app->Documents().Open(DwgName);
                } catch (const acad::Error& e) {
                    ExibeMensagem(0, "Atenção",
                                  "Não foi possível abrir o desenho " + DwgName + ":\r" + e.Description());
                    alcancado = false;
                }
            } else {
                ExibeMensagem(0, "Atenção", "Arquivo: " + DwgName + " não existe");
                alcancado = false;
            }
        }
    } else {
        if (!AparaEspacos(Template).empty()) {
            try {
                app->Documents().Add(Template);
            } catch (const acad::Error&) {
            }
        }
        try {
            gAcadDoc = app->ActiveDocument();
        } catch (const acad::Error&) {
        }
    }

    // The drawing "current before" may be gone (closed, or of a host that has
    // since been replaced): the host's active drawing takes its place, and
    // with no drawing open there is nothing to work on.
    if (!AbertoNoHost(*app, gAcadDoc)) {
        try {
            gAcadDoc = app->ActiveDocument();
        } catch (const acad::Error& e) {
            gAcadDoc = nullptr;
            gModelSpace = nullptr;
            gAcadUtil = nullptr;
            ExibeMensagem(0, "Atenção", e.Description() + "\r\r" + "Abra um desenho no AutoCAD");
            return false;
        }
    }

    gAcadUtil = &gAcadDoc->Utility();
    gModelSpace = &gAcadDoc->ModelSpace();
    gAcadState.emplace(*app);

    DwgName = gAcadDoc->FullName();
    // Without its extension, when it has one: a name without one cut by four
    // characters would name files in another folder.
    gDwgName = NomeAoLado(DwgName, "");

    // An existing set is left as it is (its users empty it before filling it).
    acad::SelectionSets& conjuntos = gAcadDoc->SelectionSets();
    for (const char* nome : {"SS1", "SS2", "SS3", "SStmp"})
        if (!conjuntos.Find(nome)) conjuntos.Add(nome);

    app->SetVisible(true);
    return alcancado;
}

bool ConectaAcad(const std::string& DwgName, const std::string& Template)
{
    std::string nome = DwgName;
    return ConectaAcad(nome, Template);
}

void AchaJanelaAcad()
{
    for (const auto& w : os::TopLevelWindows()) {
        const std::string t = Minusculas(w.title);
        if (t.find('[') != std::string::npos && t.find("autocad") != std::string::npos &&
            t.find(']') != std::string::npos)
            gAcadHwnd = w.handle;
    }
}

void EnviaEsc()
{
    // To the host's own window only: a window that has gone gets nothing, and
    // no key reaches whatever else has the focus.
    if (gAcadHwnd == 0) return;
    os::SendEscape(gAcadHwnd);
    os::SendEscape(gAcadHwnd);
}

void AtivaJanelaAcad()
{
    if (gAcadApp) os::ActivateWindow(gAcadApp->Caption());
}

std::string NomeProposto()
{
    if (!gDwgName.empty() || !gAcadDoc) return gDwgName;
    // A name without a folder: the file dialog opens, and puts it, where the
    // drawing lies.
    return std::filesystem::path(gAcadDoc->Name()).stem().string();
}
