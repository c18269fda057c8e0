// End to end: the whole program runs scripts/*.qs of this folder through the
// end-to-end runner, the sewer network drawn from the sewer panel as a person
// draws it. The runner has no drag statement, so the drag over the panel's
// spinner labels is given to the scripts as a procedure.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "cad/modGeometria.h"
#include "e2e/Controls.h"
#include "e2e/Runner.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace e2e;

namespace {

// Drag CONTROL DX,DY: the left button pressed over the middle of a control
// of the main window ("SD.lblMouseI(5)"), moved by DX,DY twips and let go.
void CallDrag(const std::vector<std::string>& a, Results&)
{
    if (a.size() != 2) throw std::invalid_argument("call Drag CONTROL DX,DY");
    forms::Form* principal = nullptr;
    for (forms::Form* f : forms::Forms())
        if (f->Name() == "Form1") principal = f;
    if (!principal) throw std::runtime_error("the main window is not loaded");
    forms::Control* c = FindControl(a[0], principal);
    CheckReachable(*c);
    const std::optional<Ponto> d = SplitCoords(a[1]);
    if (!d) throw std::invalid_argument("not a movement DX,DY: " + a[1]);
    const double x = c->Width() / 2, y = c->Height() / 2;
    forms::user::Drag(*c, forms::vbLeftButton, x, y, x + d->X, y + d->Y);
}

}  // namespace

TEST(ScriptsDeEsgoto, EveryScriptRunsToItsEnd)
{
    const std::filesystem::path pasta = std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/sewer/scripts";
    Runner runner(OptionsFromEnvironment());
    runner.Register("Drag", CallDrag);
    int scripts = 0;
    for (const auto& f : std::filesystem::directory_iterator(pasta)) {
        if (f.path().extension() != ".qs") continue;
        ++scripts;
        const RunResult r = runner.RunFile(f.path().string());
        EXPECT_TRUE(r.ok) << r.report;
    }
    EXPECT_GT(scripts, 0);
}
