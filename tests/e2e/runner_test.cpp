// The runner itself: what a script can drive and check, and how a failure
// is reported (the line, what was expected, what was found) instead of a
// hang, whatever the program does.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cad/modAcad.h"
#include "cad/modSelecao.h"
#include "e2e/Runner.h"
#include "e2e/Values.h"
#include "e2e/Watchdog.h"
#include "platform/acad/Application.h"
#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Document.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Forms.h"
#include "platform/os/Dialogs.h"
#include "shell/frmCancelar.h"
#include "shell/modGlobais.h"

using namespace e2e;

namespace {

struct Scripts : ::testing::Test {
    Runner runner{OptionsFromEnvironment()};

    void SetUp() override
    {
        // Procedures of the system that only these tests need.
        runner.Register("GetPonto", [](const std::vector<std::string>& a, Results& r) {
            if (!ConectaAcad()) throw std::runtime_error("no drawing");
            const auto p = GetPonto(std::nullopt, a.at(0));
            r["Ponto"] = p ? FormatNumber(p->X) + "," + FormatNumber(p->Y) : "nenhum";
        });
        runner.Register("GetString", [](const std::vector<std::string>& a, Results& r) {
            if (!ConectaAcad()) throw std::runtime_error("no drawing");
            r["Texto"] = gAcadUtil->GetString(true, a.at(0));
        });
        runner.Register("AtivaAcad", [](const std::vector<std::string>& a, Results& r) {
            if (!ConectaAcad()) throw std::runtime_error("no drawing");
            Ponto p;
            bool falhou = true;
            acad::Entity* e = AtivaAcad(a.at(0), 1, p, falhou, "");
            r["Falhou"] = FormatBool(falhou);
            r["ObjectName"] = e ? e->ObjectName() : "";
        });
        runner.Register("AbreArquivo", [](const std::vector<std::string>&, Results& r) {
            os::DialogRequest q;
            q.kind = os::DialogKind::Open;
            q.title = "Abrir";
            const os::DialogAnswer a = os::Ask(q);
            r["Arquivo"] = a.accepted && !a.paths.empty() ? a.paths[0] : "cancelado";
        });
        // A long operation as the system writes them: the cancel window, and
        // a loop that yields and polls its flag.
        runner.Register("Demorado", [](const std::vector<std::string>&, Results& r) {
            frmCancelar frm;
            frm.SetMensagem("Verificando...");
            frm.Show(forms::vbModeless, gMainForm);
            int passos = 0;
            const auto fim = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!frm.Cancel && std::chrono::steady_clock::now() < fim) {
                forms::DoEvents();
                ++passos;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            r["Cancelado"] = FormatBool(frm.Cancel);
            forms::Unload(frm);
        });
        runner.Register("Espera", [](const std::vector<std::string>& a, Results&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(a.at(0))));
        });
    }

    RunResult Run(const std::string& text) { return runner.RunText("t.qs", text); }

    // The program leaves nothing behind, however the script ended.
    void TearDown() override
    {
        EXPECT_TRUE(forms::Forms().empty());
        DefinePastaPrograma("");
    }
};

// The run failed, and its report holds every one of the fragments.
void Fails(const RunResult& r, std::initializer_list<std::string> fragments)
{
    ASSERT_FALSE(r.ok);
    for (const std::string& f : fragments) EXPECT_NE(r.report.find(f), std::string::npos) << f << "\n" << r.report;
}

void Passes(const RunResult& r)
{
    EXPECT_TRUE(r.ok) << r.report;
}

// A drawing with two manhole blocks carrying attributes, written by the host.
std::string NetworkDrawing(const std::string& folder, std::string& handle)
{
    acad::Application app;
    acad::Document& doc = *app.Documents().Add("Acad");
    acad::Block* def = doc.Blocks().Add({0, 0, 0}, "PV");
    def->AddCircle({0, 0, 0}, 1.0);
    def->AddAttribute(1.0, 0, "Número", {1.3, 1.3, 0}, "NUMERO", "");
    def->AddAttribute(1.0, 0, "Cota", {1.5, -0.5, 0}, "CT", "");
    auto fill = [&](acad::Point3d p, const std::string& numero, const std::string& cota) {
        acad::BlockReference* b = doc.ModelSpace().InsertBlock(p, "PV", 1, 1, 1, 0);
        for (acad::AttributeReference* a : b->GetAttributes())
            a->SetTextString(a->TagString() == "NUMERO" ? numero : cota);
        return b;
    };
    fill({10, 20, 0}, "PV-1", "101.250");
    handle = fill({40, 20, 0}, "PV-2", "100.800")->Handle();
    doc.Layers().Add("REDE");
    doc.ModelSpace().AddLine({10, 20, 0}, {40, 20, 0})->SetLayer("REDE");
    const std::string path = folder + "/rede.dwg";
    doc.SaveAs(path);
    return path;
}

} // namespace

TEST(ScriptText, SyntaxErrorsNameTheirLineBeforeAnythingRuns)
{
    auto line = [](const std::string& text) {
        try {
            ParseScript("s.qs", text);
        }
        catch (const SyntaxError& e) {
            return e.Line();
        }
        return 0;
    };
    EXPECT_EQ(line("# fine\n\nstart\nclick cmdEnd\n"), 0);
    EXPECT_EQ(line("start\ncilck cmdEnd\n"), 2);
    EXPECT_EQ(line("answer frmMsgBox\n  click CmdOK\n"), 1);          // no end
    EXPECT_EQ(line("start\nend\n"), 2);                               // end without a block
    EXPECT_EQ(line("answer frmMsgBox\n  input point 1,2\nend\n"), 2); // answers come before the action
    EXPECT_EQ(line("input somewhere 1,2\n"), 1);
    EXPECT_EQ(line("input window 1,2\n"), 1);
    EXPECT_EQ(line("expect text Label1\n"), 1);
    EXPECT_EQ(line("expect colour Label1 red\n"), 1);
    EXPECT_EQ(line("write a \"open\n"), 1);
    EXPECT_EQ(line("dialog open\n"), 1);
    EXPECT_EQ(line("start now\n"), 1);

    const Script s = ParseScript("s.qs", "answer frmMsgBox\n  click CmdOK\nend\nanswer frmMsgBox CmdOK\n"
                                         "input point 1,2 prompt \"Ponto: \"\nexpect text X contains \"a b\"\n");
    ASSERT_EQ(s.statements.size(), 4u);
    EXPECT_EQ(s.statements[0].body.size(), 1u);
    EXPECT_EQ(s.statements[1].Args(), 2u);
    EXPECT_EQ(s.statements[3].Arg(3).raw, "a b");
    EXPECT_TRUE(s.statements[3].Arg(3).quoted);

    Runner r(OptionsFromEnvironment());
    const RunResult bad = r.RunText("s.qs", "start\nexpect text\n");
    Fails(bad, {"s.qs:2:", "expect text CONTROL [contains] VALUE"});
}

TEST(ScriptText, ValuesCompareAsNumbersTruthsOrTexts)
{
    EXPECT_TRUE(Matches("1800", "1800.0", false));
    EXPECT_TRUE(Matches("True", "true", false));
    EXPECT_TRUE(Matches("nao", "Arquivo nao existe", true));
    EXPECT_FALSE(Matches("nao", "Arquivo nao existe", false));
    EXPECT_FALSE(Matches("1", "true", false));
    EXPECT_FALSE(Matches("10,5", "10.5", false));
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(10), "10");
    EXPECT_EQ(FormatNumber(1800), "1800");
    EXPECT_EQ(Quote("a\r\n\"b\""), "\"a\\r\\n\\\"b\\\"\"");
}

TEST_F(Scripts, AFailedExpectationNamesItsLineWhatWasExpectedAndWhatWasFound)
{
    const RunResult r = Run("start\n"
                            "let build \"Compilação No. ${major} . ${minor} . ${revision}\"\n"
                            "expect text VersaoLbl \"${build}\"\n"
                            "expect text Label1(1) contains \"Gratuita\"\n"
                            "expect text VersaoLbl \"Versão 2\"\n"
                            "expect text VersaoLbl \"never reached\"\n");
    Fails(r, {"t.qs:5: expect text VersaoLbl \"Versão 2\"", "expected: \"Versão 2\"", "found:    \"Compilação No. "});
    EXPECT_EQ(r.report.find("never reached"), std::string::npos);

    Fails(Run("start\nexpect text Nada \"x\"\n"), {"a control Nada on Form1", "SSIniciar"});

    Fails(Run("expect file ${nowhere}/a\n"), {"${nowhere}"});
}

TEST_F(Scripts, ModalFormsNobodyAnsweredFailNamingThemAndTheRunStillEnds)
{
    Fails(Run("start\ncall ExibeMensagem 1 \"Título\" \"Apagar tudo?\"\nexpect running\n"),
          {"t.qs:2: call ExibeMensagem", "modal form frmMsgBox", "\"Apagar tudo?\""});

    // An answer for another form fails on its own line.
    Fails(Run("start\nanswer frmInput CmdOK\ncall ExibeMensagem 0 \"T\" \"M\"\n"),
          {"t.qs:2: answer frmInput CmdOK", "found:    the modal form frmMsgBox"});

    // An answer that no form used fails on the action it was written for.
    Fails(Run("start\nanswer frmMsgBox CmdOK\ntab SSIniciar 1\n"), {"t.qs:3: tab SSIniciar 1", "answer of line 2"});

    // And one written last, never used.
    Fails(Run("start\nanswer frmMsgBox CmdOK\n"), {"t.qs:2:", "never used"});
}

TEST_F(Scripts, OnlyWhatAPersonCanReachIsClickedOrSet)
{
    // The "Configuração" button lies on an about page not shown.
    Fails(Run("start\nclick MdbPathCmd\n"), {"tab page that is not shown"});

    // The picker's OK stays disabled until a folder holds the catalogue.
    Fails(Run("mkdir ${tmp}/vazia\n"
              "start\n"
              "tab SSQuoril 3\n"
              "answer frmAbrirDir\n"
              "  set Dir1 \"${tmp}/vazia\"\n"
              "  click CmdOK\n"
              "end\n"
              "click MdbPathCmd\n"),
          {"t.qs:6: click CmdOK", "CmdOK is disabled", "(during t.qs:8: click MdbPathCmd)"});

    Fails(Run("click cmdEnd\n"), {"not running (no start yet)"});

    Fails(Run("start\nclick cmdEnd\nexpect ended\ntab SSIniciar 1\n"),
          {"t.qs:4:", "ended during t.qs:2: click cmdEnd"});
}

TEST_F(Scripts, TheDrawingHostsRequestsAreAnsweredInOrderAndCheckedByKind)
{
    Passes(Run("start\n"
               "new\n"
               "input point 10,20 prompt \"Ponto: \"\n"
               "call GetPonto \"Ponto: \"\n"
               "expect result Ponto \"10,20\"\n"
               // Escape asks again; Enter gives no point.
               "input escape\n"
               "input enter\n"
               "call GetPonto \"Ponto: \"\n"
               "expect result Ponto nenhum\n"
               "input string \"PV 12\"\n"
               "call GetString \"Nome: \"\n"
               "expect result Texto \"PV 12\"\n"));

    Fails(Run("start\nnew\ncall GetPonto \"Indique o PV: \"\n"), {"t.qs:3:", "a point (prompt \"Indique o PV: \")"});

    Fails(Run("start\nnew\ninput string \"x\"\ncall GetPonto \"Ponto: \"\n"),
          {"t.qs:3: input string", "expected: the drawing host to ask for a string"});

    Fails(Run("start\nnew\ninput point 1,2 prompt \"Outro: \"\ncall GetPonto \"Ponto: \"\n"),
          {"found:    the prompt \"Ponto: \""});

    Fails(Run("start nohost\nnew\n"), {"without a drawing host"});
}

TEST_F(Scripts, DrawingsOpenSaveAndShowTheirEntitiesAndAttributes)
{
    const std::string folder = std::filesystem::temp_directory_path() / "quoril-e2e-runner-test";
    std::filesystem::create_directories(folder);
    std::string handle;
    const std::string rede = NetworkDrawing(folder, handle);
    const std::string text = "let rede \"" + rede + "\"\nlet handle " + handle +
                             "\n"
                             "start\n"
                             "open ${rede}\n"
                             "expect entities 3\n"
                             "expect entities 2 0=INSERT 2=P*\n"
                             "expect entities 1 -4=<OR 8=REDE 8=OUTRA -4=OR>\n"
                             "expect attribute NUMERO at 10,20 \"PV-1\"\n"
                             "expect attribute ct at 10.0004,20 contains \"101\"\n"
                             "expect attribute NUMERO handle ${handle} \"PV-2\"\n"
                             // A pick answers a request for an entity.
                             "input pick 41,20\n"
                             "call AtivaAcad \"Selecione o PV: \"\n"
                             "expect result Falhou false\n"
                             "expect result ObjectName AcDbBlockReference\n"
                             "save ${tmp}/copia.dwg\n"
                             "new\n"
                             "expect entities 0\n"
                             "open ${tmp}/copia.dwg\n"
                             "expect attribute NUMERO at 40,20 \"PV-2\"\n";
    Passes(Run(text));

    Fails(Run("start\nopen \"" + rede + "\"\nexpect entities 5 0=INSERT\n"), {"expected: 5 entities\n  found:    2"});

    Fails(Run("start\nopen \"" + rede + "\"\nexpect attribute DIAMETRO at 10,20 \"150\"\n"),
          {"the attributes NUMERO, CT"});

    Fails(Run("start\nopen \"" + rede + "\"\nexpect attribute NUMERO at 11,20 \"PV-1\"\n"), {"inserted at 11,20"});
    std::filesystem::remove_all(folder);
}

TEST_F(Scripts, FileDialogsAreAnsweredByKind)
{
    Passes(Run("start\n"
               "dialog open \"/x/rede.dwg\"\n"
               "call AbreArquivo\n"
               "expect result Arquivo \"/x/rede.dwg\"\n"
               "dialog cancel\n"
               "call AbreArquivo\n"
               "expect result Arquivo cancelado\n"));

    Fails(Run("start\ndialog folder \"/x\"\ncall AbreArquivo\n"), {"expected: a folder dialog"});

    Fails(Run("start\ncall AbreArquivo\n"), {"an open-file dialog titled \"Abrir\""});
}

TEST_F(Scripts, TheCancelWindowIsAnsweredWhileTheOperationYields)
{
    Passes(Run("start\n"
               "when frmCancelar\n"
               "  expect text Label2 \"Verificando...\"\n"
               "  click CmdCancel\n"
               "end\n"
               "call Demorado\n"
               "expect result Cancelado true\n"));

    Fails(Run("start\nwhen frmCancelar\n  click CmdCancel\nend\n"),
          {"t.qs:2: when frmCancelar", "never showed frmCancelar"});
}

TEST_F(Scripts, AStepWithoutProgressIsReportedByTheWatchdog)
{
    std::string report;
    std::atomic<int> calls{0};
    Runner::SetTimeoutHandler([&](const std::string& r) {
        report = r;
        ++calls;
    });
    const RunResult r = Run("start\ntimeout 0.1\ncall Espera 600\n");
    Runner::SetTimeoutHandler(nullptr);
    Passes(r); // the step came back in the end: only the watchdog spoke
    EXPECT_EQ(calls, 1);
    EXPECT_NE(report.find("t.qs:3: call Espera 600"), std::string::npos) << report;
    EXPECT_NE(report.find("timed out: no progress for 0.1 s"), std::string::npos) << report;
}

TEST(Watchdog, ReportsAStuckStepOnceWithWhatWasSeenLast)
{
    std::mutex m;
    std::vector<std::string> reports;
    Watchdog w(std::chrono::milliseconds(250), [&](const std::string& r) {
        std::lock_guard<std::mutex> lock(m);
        reports.push_back(r);
    });
    w.Begin("passo 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    w.Begin("passo 2"); // a new step starts the clock again
    w.Note("modal form frmMsgBox shown");
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    w.Idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard<std::mutex> lock(m);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].find("passo 2"), 0u) << reports[0];
    EXPECT_NE(reports[0].find("last seen: modal form frmMsgBox shown"), std::string::npos) << reports[0];
}
