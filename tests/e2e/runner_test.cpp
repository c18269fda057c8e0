// The runner itself: what a script can drive and check, and how a failure
// is reported (the line, what was expected, what was found) instead of a
// hang, whatever the program does.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cad/CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modSelecao.h"
#include "platform/acad/CommandLine.h"
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
#include "platform/acad/Layout.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Forms.h"
#include "platform/os/Dialogs.h"

#include <shapefil.h>
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
        // A command the host leaves waiting, as the network tools send it.
        runner.Register("Cota", [](const std::vector<std::string>&, Results& r) {
            if (!ConectaAcad()) throw std::runtime_error("no drawing");
            gAcadDoc->SendCommand("_dimaligned\n");
            r["Esperando"] = FormatBool(gAcadDoc->CommandLine().Active());
        });
        // Right clicks in the drawing, as a tool that offers a menu there hears them.
        runner.Register("OuveDireito", [this](const std::vector<std::string>&, Results&) {
            if (!ConectaAcad()) throw std::runtime_error("no drawing");
            rightClicks.clear();
            gAcadDoc->BeginRightClick +=
                [this](acad::Point3d p) { rightClicks.push_back(FormatNumber(p.x) + "," + FormatNumber(p.y)); };
        });
        // A sheet layout with a title block and a note, and a note in the
        // active paper space.
        runner.Register("Folha", [](const std::vector<std::string>&, Results&) {
            if (!ConectaAcad()) throw std::runtime_error("no drawing");
            acad::Block* def = gAcadDoc->Blocks().Add({0, 0, 0}, "CARIMBO");
            def->AddAttribute(2.0, 0, "", {0, 0, 0}, "TITULO", "");
            acad::Block& folha = gAcadDoc->Layouts().Add("Folha 1")->Block();
            acad::BlockReference* b = folha.InsertBlock({200, 10, 0}, "CARIMBO", 1, 1, 1, 0);
            b->GetAttributes().at(0)->SetTextString("Rede coletora");
            acad::Text* t = folha.AddText("Nota", {5, 5, 0}, 2.0);
            t->SetXData({1001, 1000}, {acad::Variant("ACAD"), acad::Variant("folha")});
            gAcadDoc->PaperSpace().AddText("Escala 1:1000", {5, 200, 0}, 2.0);
        });
        runner.Register("Espera", [](const std::vector<std::string>& a, Results&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(a.at(0))));
        });
    }

    RunResult Run(const std::string& text) { return runner.RunText("t.qs", text); }

    std::vector<std::string> rightClicks;

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

void Passes(const RunResult& r) { EXPECT_TRUE(r.ok) << r.report; }

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
    std::string path = folder + "/rede.dwg";
    doc.SaveAs(path);
    return path;
}

}  // namespace

TEST(ScriptText, SyntaxErrorsNameTheirLineBeforeAnythingRuns)
{
    auto line = [](const std::string& text) {
        try {
            ParseScript("s.qs", text);
        } catch (const SyntaxError& e) {
            return e.Line();
        }
        return 0;
    };
    EXPECT_EQ(line("# fine\n\nstart\nclick cmdEnd\n"), 0);
    EXPECT_EQ(line("start\ncilck cmdEnd\n"), 2);
    EXPECT_EQ(line("answer frmMsgBox\n  click CmdOK\n"), 1);           // no end
    EXPECT_EQ(line("start\nend\n"), 2);                                // end without a block
    EXPECT_EQ(line("answer frmMsgBox\n  input point 1,2\nend\n"), 2);  // answers come before the action
    EXPECT_EQ(line("input somewhere 1,2\n"), 1);
    EXPECT_EQ(line("input window 1,2\n"), 1);
    EXPECT_EQ(line("expect text Label1\n"), 1);
    EXPECT_EQ(line("expect colour Label1 red\n"), 1);
    EXPECT_EQ(line("write a \"open\n"), 1);
    EXPECT_EQ(line("dialog open\n"), 1);
    EXPECT_EQ(line("dialog accept a.dwg\n"), 1);
    EXPECT_EQ(line("dialog open a.dwg in\n"), 1);
    EXPECT_EQ(line("start now\n"), 1);
    EXPECT_EQ(line("start nohost in\n"), 1);
    EXPECT_EQ(line("zoom 1,2\n"), 1);
    EXPECT_EQ(line("zoom extents 1,2\n"), 1);
    EXPECT_EQ(line("expect windowstate\n"), 1);

    const Script s = ParseScript("s.qs",
                                 "answer frmMsgBox\n  click CmdOK\nend\nanswer frmMsgBox CmdOK\n"
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
    const RunResult r =
        Run("start\n"
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
    Passes(
        Run("start\n"
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
    const cadtest::PastaTemporaria pasta;
    const std::string folder = pasta.Caminho().string();
    std::string handle;
    const std::string rede = NetworkDrawing(folder, handle);
    const std::string text = "let rede \"" + rede + "\"\nlet handle " + handle +
                             "\n"
                             "start\n"
                             "open ${rede}\n"
                             "zoom extents\n"
                             "zoom 0,0 50,40\n"
                             "expect windowstate Form1 0\n"
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
    Fails(Run("start\nzoom extents\n"), {"t.qs:2: zoom extents", "Nenhum desenho aberto"});

    Fails(Run("start\nopen \"" + rede + "\"\nexpect attribute DIAMETRO at 10,20 \"150\"\n"),
          {"the attributes NUMERO, CT"});

    Fails(Run("start\nopen \"" + rede + "\"\nexpect attribute NUMERO at 11,20 \"PV-1\"\n"), {"inserted at 11,20"});
}

TEST_F(Scripts, FileDialogsAreAnsweredByKind)
{
    Passes(
        Run("start\n"
            "dialog open \"/x/rede.dwg\"\n"
            "call AbreArquivo\n"
            "expect result Arquivo \"/x/rede.dwg\"\n"
            "dialog cancel\n"
            "call AbreArquivo\n"
            "expect result Arquivo cancelado\n"));

    Fails(Run("start\ndialog folder \"/x\"\ncall AbreArquivo\n"), {"expected: a folder dialog"});

    Fails(Run("start\ncall AbreArquivo\n"), {"an open-file dialog titled \"Abrir\""});

    Fails(Run("start\ndialog open /x/rede.dwg in /y\ncall AbreArquivo\n"), {"opening in \"/y\"", "it opened in \"\""});
}

TEST_F(Scripts, TheCancelWindowIsAnsweredWhileTheOperationYields)
{
    Passes(
        Run("start\n"
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
    Passes(r);  // the step came back in the end: only the watchdog spoke
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
    w.Begin("passo 2");  // a new step starts the clock again
    w.Note("modal form frmMsgBox shown");
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    w.Idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard<std::mutex> lock(m);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].find("passo 2"), 0u) << reports[0];
    EXPECT_NE(reports[0].find("last seen: modal form frmMsgBox shown"), std::string::npos) << reports[0];
}

TEST_F(Scripts, ACommandLeftWaitingGoesOnWithTheNextAnswersBeforeTheActionEnds)
{
    // The three points of an aligned dimension, given before the call that
    // leaves the command waiting: all used once the call has returned.
    Passes(
        Run("start\n"
            "new\n"
            "input point 0,0\n"
            "input point 10,0\n"
            "input point 5,3 prompt \"Especifique a posição da linha de cota: \"\n"
            "call Cota\n"
            "expect result Esperando true\n"
            "expect entities 1 0=DIMENSION\n"));

    // Nobody answers the command: the call fails naming what it asked.
    Fails(
        Run("start\nnew\ninput point 0,0\ncall Cota\n"),
        {"t.qs:4: call Cota", "a point (prompt \"Especifique a origem da segunda linha de extensão: \")", "no answer"});

    // A right click in the idle drawing reaches whoever listens there.
    Passes(Run("start\nnew\ncall OuveDireito\nrightclick 3,4.5\n"));
    EXPECT_EQ(rightClicks, (std::vector<std::string>{"3,4.5"}));
}

TEST_F(Scripts, SheetLayoutsPaperSpaceTextsAndExtendedDataAreChecked)
{
    Passes(
        Run("start\n"
            "new\n"
            "call Folha\n"
            "expect entities 3\n"
            "expect entities 0 in Model\n"
            "expect entities 2 in \"Folha 1\"\n"
            "expect entities 1 in \"Folha 1\" 0=INSERT 2=CARIMBO\n"
            "expect entities 1 in paper 0=TEXT\n"
            "expect attribute TITULO at 200,10 in \"Folha 1\" \"Rede coletora\"\n"
            "expect text at 5,5 in \"Folha 1\" \"Nota\"\n"
            "expect text at 5,200 in paper contains \"1:1000\"\n"
            "expect string at 5,5 in \"Folha 1\" \"Nota\"\n"
            "expect xdata at 5,5 in \"Folha 1\" \"ACAD|folha\"\n"
            "expect layout \"folha 1\"\n"
            "expect layout Layout1\n"
            "expect nolayout \"Folha 2\"\n"));
    Fails(Run("start\nnew\ncall Folha\nexpect layout \"Folha 2\"\n"),
          {"a layout \"Folha 2\"", "the layouts \"Model\"", "\"Folha 1\""});
    Fails(Run("start\nnew\ncall Folha\nexpect nolayout \"Folha 1\"\n"), {"no layout \"Folha 1\"", "it exists"});
    Fails(Run("start\nnew\nexpect layout\n"), {"expect layout NAME"});

    Fails(Run("start\nnew\ncall Folha\nexpect attribute TITULO at 200,10 \"Rede coletora\"\n"),
          {"a block reference inserted at 200,10", "none there"});
    Fails(Run("start\nnew\nexpect entities 0 in \"Folha 9\"\n"), {"a layout \"Folha 9\"", "the layouts"});
    Fails(Run("start\nnew\ncall Folha\nexpect text at 5,5 in \"Folha 1\" \"Aviso\"\n"),
          {"a text at 5,5 reading \"Aviso\"", "the texts \"Nota\""});
    Fails(Run("start\nnew\ncall Folha\nexpect string at 5,5 in \"Folha 1\" contains \"Av\"\n"),
          {"a text at 5,5 containing \"Av\"", "the texts \"Nota\""});
    Fails(Run("start\nnew\ncall Folha\nexpect xdata at 5,6 in \"Folha 1\" \"ACAD|folha\"\n"),
          {"no entity with extended data there"});
}

TEST_F(Scripts, QueriesReadDatabasesAndDBaseFilesThroughTheDataLayer)
{
    const cadtest::PastaTemporaria pasta;
    const std::filesystem::path& folder = pasta.Caminho();
    DBFHandle dbf = DBFCreate((folder / "trechos.dbf").c_str());
    ASSERT_NE(dbf, nullptr);
    DBFAddField(dbf, "TRECHO", FTString, 20, 0);
    DBFAddField(dbf, "EXT", FTDouble, 10, 2);
    DBFWriteStringAttribute(dbf, 0, 0, "PV-1-PV-2");
    DBFWriteDoubleAttribute(dbf, 0, 1, 50.25);
    DBFWriteStringAttribute(dbf, 1, 0, "PV-2-PV-3");
    DBFWriteDoubleAttribute(dbf, 1, 1, 40);
    DBFClose(dbf);
    const std::string f = folder.string();
    Passes(Run("expect query \"" + f +
               "/trechos.dbf\" \"SELECT COUNT(*) FROM trechos\" 2\n"
               "expect query \"" +
               f +
               "\" \"SELECT EXT FROM trechos WHERE TRECHO = 'PV-1-PV-2'\" 50.25\n"
               "expect query ${program}/rereva2000r.mdb \"SELECT Abrev FROM E_PVBlocks WHERE Abrev = 'TIL'\" TIL\n"));
    Fails(Run("expect query \"" + f + "/trechos.dbf\" \"SELECT EXT FROM trechos WHERE TRECHO = 'X'\" 1\n"),
          {"expected: \"1\"", "found:    \"no rows\""});
    Fails(Run("expect query ${program}/rereva2000r.mdb \"SELECT * FROM Nada\" 1\n"), {"the data layer failed"});
    Fails(Run("expect workbook ${program}/dadosfinais.xls Nenhuma A1 x\n"), {"Nenhuma"});
    // One field of a record in the file's order.
    Passes(Run("expect dbf \"" + f +
               "/trechos.dbf\" 2 TRECHO PV-2-PV-3\n"
               "expect dbf \"" +
               f +
               "/trechos.dbf\" 1 EXT 50.25\n"
               "expect dbf \"" +
               f + "/trechos.dbf\" 1 TRECHO contains PV-1\n"));
    Fails(Run("expect dbf \"" + f + "/trechos.dbf\" 3 TRECHO x\n"), {"no record 3 (the file holds 2)"});
    Fails(Run("expect dbf \"" + f + "/trechos.dbf\" 1 NADA x\n"), {"the data layer failed"});
}

TEST_F(Scripts, MessagesNobodyAnsweredFailWithTheirTextAndFixturesCheckTheirSize)
{
    Fails(Run("start\ncall MsgBox \"Falhou\" 16 \"GRADE_10\"\n"),
          {"a warning titled \"GRADE_10\"", "its text: \"Falhou\""});
    Fails(Run("start\ndialog yes\ncall MsgBox \"Falhou\" 16\n"), {"expected: a yes/no question", "a warning"});
    Fails(Run("fixture survey 0 ${data}/a.dwg\n"), {"a number of items above 0", "\"0\""});
    Fails(Run("fixture topografia 3 ${data}/a.dwg\n"), {"t.qs:1", "survey, section, erased, zones, oldwater"});
    Fails(Run("start\npress cmdEnd 1\n"), {"cmdEnd is not a picture menu"});
    Fails(Run("start\ntab SSIniciar 1\nclick ESGOption1(1)\ntab SD.SSTabBrivan 1\npress SD.ImpMenu 9\n"),
          {"an item 9 of the menu ImpMenu", "none"});
}

TEST_F(Scripts, TheElevationCheckReadsEachKindWhereItStands)
{
    Passes(
        Run("fixture elevated 2 ${data}/z.dwg\n"
            "start\nopen ${data}/z.dwg\n"
            "expect z at 200,0 5\nexpect z at 220,0 12\nexpect z at 250,0 6\nexpect z at 200,20 8\n"
            "expect z at 220,20 9\nexpect z at 240,20 1\nexpect z at 270,20 1\nexpect z at 200,40 10\n"));
    Fails(Run("fixture elevated 1 ${data}/z.dwg\nstart\nopen ${data}/z.dwg\nexpect z at 0,0 0\n"),
          {"every entity at 0,0 with Z \"0\"", "AcDbLine at Z 5"});
    Fails(Run("fixture elevated 1 ${data}/z.dwg\nstart\nopen ${data}/z.dwg\nexpect z at 5,5 0\n"), {"no entity there"});
    Fails(Run("fixture casas 3 ${data}/a.dwg\n"), {"buildings, streets, splines, farhatch, elevated"});
}
