#include "e2e/Runner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>

#include "app/Form1.h"
#include "app/QuorilApp.h"
#include "e2e/Controls.h"
#include "e2e/Fixtures.h"
#include "e2e/Values.h"
#include "e2e/Watchdog.h"
#include "platform/acad/Application.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CommandLine.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/Filter.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/InputSource.h"
#include "platform/acad/Layout.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/SelectionSets.h"
#include "platform/acad/Spline.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Workbook.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Dialogs.h"
#include "platform/os/ShellOpen.h"
#include "shell/PicMnuUsrCtl.h"

namespace fs = std::filesystem;

namespace e2e {

namespace {

std::mutex g_handlerMutex;
std::function<void(const std::string&)>& TimeoutHandler()
{
    static std::function<void(const std::string&)> handler;
    return handler;
}

std::string Location(const Script& script, const Statement& s)
{
    return script.name + ":" + std::to_string(s.line) + ": " + s.source;
}

std::string KindName(acad::InputKind k)
{
    switch (k) {
    case acad::InputKind::Point: return "a point";
    case acad::InputKind::Corner: return "a corner";
    case acad::InputKind::Angle: return "an angle";
    case acad::InputKind::Entity: return "an entity (pick)";
    case acad::InputKind::SubEntity: return "a nested entity (pick)";
    case acad::InputKind::String: return "a string";
    case acad::InputKind::Selection: return "a selection";
    }
    return "input";
}

std::string DialogName(os::DialogKind k)
{
    switch (k) {
    case os::DialogKind::Open: return "an open-file dialog";
    case os::DialogKind::Save: return "a save-file dialog";
    case os::DialogKind::Folder: return "a folder dialog";
    case os::DialogKind::Confirm: return "a yes/no question";
    case os::DialogKind::Message: return "a warning";
    case os::DialogKind::ChooseProgram: return "a choice of program";
    }
    return "a dialog";
}

std::string AcadFailure(const acad::Error& e)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(e.Code()));
    return std::string("the drawing host failed (") + code + "): " + e.Description();
}

// Group codes whose values are texts; the rest are numbers.
bool TextCode(int code)
{
    return (code >= 0 && code <= 9) || code == -4 || (code >= 100 && code <= 102) || (code >= 300 && code <= 369) ||
           (code >= 410 && code <= 419) || code == 999 || (code >= 1000 && code <= 1009);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f) throw StepError("the file " + path + " to exist", "no such file");
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

class Execution;

// The drawing host's requests, answered in order by what the script gave.
class ScriptInput : public acad::ScriptedInput {
public:
    struct Expect {
        std::size_t order = 0;  // index of the statement that gave it
        const Statement* stmt = nullptr;
        std::vector<acad::InputKind> kinds;
        std::optional<std::string> prompt;
        std::string what;  // for reports: what the script expected to be asked
    };
    explicit ScriptInput(Execution& x) : x_(x) {}
    void Queue(Expect e, acad::InputAnswer a)
    {
        expects_.push_back(std::move(e));
        Then(std::move(a));
    }
    acad::InputAnswer Ask(const acad::InputRequest& r) override;
    std::deque<Expect> expects_;

private:
    Execution& x_;
};

class Execution {
public:
    Execution(const RunnerOptions& o, const std::map<std::string, Procedure>& procedures, const Script& script)
        : options_(o),
          procedures_(procedures),
          script_(script),
          watch_(o.timeout, [this](const std::string& report) { TimedOut(report); }),
          input_(std::make_shared<ScriptInput>(*this))
    {
    }

    RunResult Run();
    // From the watchdog's thread.
    void TimedOut(const std::string& report);

    // The drivers' side.
    bool OnInput(const acad::InputRequest& r, const ScriptInput::Expect* e);
    void OnModal(forms::Form& f);
    os::DialogAnswer OnDialog(const os::DialogRequest& r);
    void OnYield();

private:
    struct ModalAnswer {
        std::size_t order;
        const Statement* stmt;
        std::string form;
        std::string button;  // one-line answer: the button to press
    };
    struct DialogAnswer {
        std::size_t order;
        const Statement* stmt;
        std::optional<os::DialogKind> kind;
        os::DialogAnswer answer;
        bool acceptProposed = false;        // the name the dialog proposes, as it stands
        std::optional<std::string> folder;  // where the dialog must open
    };
    struct When {
        const Statement* stmt;
        std::string form;
        bool fired = false;
    };
    struct Message {
        std::string title;
        std::string text;
        const Statement* action;  // the action that showed it
    };

    bool SetUp(std::string& error);
    void CleanUp();
    void RunStatements(bool insideRun);
    void RunBlock(const Statement& block, forms::Form& form);
    void Execute(const Statement& s, forms::Form* context, std::size_t index);
    void UserAction(const Statement& s, forms::Form* context);
    // Runs a step; what goes wrong in it becomes the script's failure.
    template <class F>
    void Guarded(const Statement& s, F&& step);
    void Fail(const Statement& s, const std::string& detail);
    void CheckUsed(std::size_t before, const Statement* action);
    void CheckWhens();
    void Begin(const Statement& s, int depth);

    // Statements.
    void Start(const Statement& s, std::size_t index);
    void QueueInput(const Statement& s, std::size_t index);
    void QueueDialog(const Statement& s, std::size_t index);
    void Call(const Statement& s);
    void Expect(const Statement& s, forms::Form* context);
    void ExpectAttribute(const Statement& s);
    void ExpectLayout(const Statement& s, bool present);
    void ExpectEntities(const Statement& s);
    void ExpectQuery(const Statement& s);
    void ExpectWorkbook(const Statement& s);
    void ExpectDbf(const Statement& s);
    void ExpectXData(const Statement& s);
    void ExpectTextAt(const Statement& s);
    void ExpectZAt(const Statement& s);
    void ExpectCell(const Statement& s, forms::Form* context);
    void ExpectOpened(const Statement& s);
    void FileStatement(const Statement& s);
    void Fixture(const Statement& s);
    void Press(const Statement& s, forms::Control& c);
    void RightClick(const Statement& s);
    // A command that SendCommand left waiting for input goes on with the
    // script's next answers, as the drawing window lets it go on from its
    // event loop once the program's code has gone on.
    void ContinueCommands();

    // Words.
    std::string Expand(const Word& w) const;
    std::string A(const Statement& s, std::size_t i) const { return Expand(s.Arg(i)); }
    // [contains] VALUE from argument i.
    std::pair<bool, std::string> Value(const Statement& s, std::size_t i) const;
    acad::Point3d PointArg(const Statement& s, std::size_t i) const;
    // "in LAYOUT" at argument i: the space it names ("Model", "paper" for the
    // active paper space, or a layout's name), else model space; `next` is
    // the argument after it.
    acad::Block& SpaceArg(const Statement& s, std::size_t i, std::size_t& next) const;

    // The program.
    bool ProgramRunning() const { return form1_ && form1_->Loaded(); }
    [[noreturn]] void NotRunning() const;
    forms::Form& Base(forms::Form* context) const;
    forms::Control& Resolve(const std::string& path, forms::Form* context) const;
    acad::Application& Host() const;
    acad::Document& Drawing() const;

    const RunnerOptions& options_;
    const std::map<std::string, Procedure>& procedures_;
    const Script& script_;
    Watchdog watch_;
    std::shared_ptr<ScriptInput> input_;

    std::map<std::string, std::string> vars_;
    std::string root_;  // the temporary folder of this script
    std::size_t pc_ = 0;
    const Statement* action_ = nullptr;      // the top-level statement running
    const Statement* lastAction_ = nullptr;  // the last one that acted on the program
    std::optional<std::string> failure_;

    Form1* form1_ = nullptr;
    acad::Application* host_ = nullptr;
    bool inRun_ = false;
    const Statement* endedBy_ = nullptr;
    int runs_ = 0;

    std::deque<ModalAnswer> modals_;
    std::deque<DialogAnswer> dialogs_;
    std::vector<When> whens_;
    std::vector<Message> messages_;
    Results results_;
    bool inYield_ = false;
    bool continuing_ = false;
    std::vector<os::LaunchRequest> launches_;  // what the program handed to other programs
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment_;
};

template <class F>
void Execution::Guarded(const Statement& s, F&& step)
{
    try {
        step();
    } catch (const StepError& e) {
        Fail(s, e.what());
    } catch (const acad::Error& e) {
        Fail(s, AcadFailure(e));
    } catch (const std::exception& e) {
        Fail(s, std::string("failed: ") + e.what());
    }
}

acad::InputAnswer ScriptInput::Ask(const acad::InputRequest& r)
{
    if (expects_.empty()) {
        x_.OnInput(r, nullptr);
        return ScriptedInput::Ask(r);  // nothing queued: fails naming the prompt
    }
    const Expect e = expects_.front();
    expects_.pop_front();
    const bool ok = x_.OnInput(r, &e);
    acad::InputAnswer a = ScriptedInput::Ask(r);
    if (!ok)
        throw acad::Error(acad::ErrorCode::NoInputSource, "O roteiro de entrada não responde a \"" + r.prompt + "\"");
    return a;
}

// ------------------------------------------------------------------ running

RunResult Execution::Run()
{
    std::string error;
    if (!SetUp(error)) {
        CleanUp();
        return {false, script_.name + ": " + error + "\n"};
    }
    // Every modal form, file dialog and host request of the script's runs
    // comes to the runner.
    forms::ScopedTestDriver modal([this](forms::Form& f) { OnModal(f); });
    os::ScopedDialogDriver dialogs([this](const os::DialogRequest& r) { return OnDialog(r); });
    // Files handed to their program are recorded, never opened.
    os::LaunchHook previousLaunch = os::SetLaunchHook([this](const os::LaunchRequest& r) {
        launches_.push_back(r);
        return true;
    });
    // `when` blocks run at the program's yields, where a person's click on a
    // modeless window would be handled.
    forms::YieldHook previousYield = forms::SetYieldHook([this] { OnYield(); });

    RunStatements(false);
    if (!failure_) CheckUsed(static_cast<std::size_t>(-1), nullptr);
    if (!failure_) CheckWhens();
    watch_.Idle();
    forms::SetYieldHook(std::move(previousYield));
    os::SetLaunchHook(std::move(previousLaunch));
    CleanUp();
    if (failure_) return {false, *failure_};
    return {true, ""};
}

bool Execution::SetUp(std::string& error)
{
    const fs::path bin = options_.binFolder;
    std::error_code ec;
    if (bin.empty() || !fs::is_directory(bin, ec)) {
        error = "the built program folder \"" + options_.binFolder + "\" does not exist (QUORIL_BIN_DIR)";
        return false;
    }
    std::string pattern = (fs::temp_directory_path() / "quoril-e2e-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        error = "cannot make a temporary folder in " + fs::temp_directory_path().string();
        return false;
    }
    root_ = pattern;
    const fs::path program = fs::path(root_) / "program";
    fs::create_directories(program);
    fs::create_directories(fs::path(root_) / "data");
    // The program folder as installed: the data beside the executable, never
    // the settings a run of the built program left there, nor the programs.
    for (const auto& entry : fs::directory_iterator(bin)) {
        const std::string name = entry.path().filename().string();
        if (name == "IniFile.txt") continue;
        if (entry.is_regular_file() && (entry.status().permissions() & fs::perms::owner_exec) != fs::perms::none)
            continue;
        fs::copy(entry.path(), program / name, fs::copy_options::recursive, ec);
        if (ec) {
            error = "cannot copy " + entry.path().string() + " into the program folder: " + ec.message();
            return false;
        }
    }
    // The desktop's associations of file types are the script's own: its
    // ${home} holds them, so a file handed to its program meets the same
    // program on every machine. It is the run's home too: a drawing never
    // saved lies there, and nothing reaches the real one.
    const fs::path home = fs::path(root_) / "home";
    fs::create_directories(home / ".local/share/applications");
    fs::create_directories(home / ".config");
    fs::create_directories(home / "etc-xdg");
    for (const auto& [name, value] : {std::pair<const char*, fs::path>{"HOME", home},
                                      {"XDG_DATA_HOME", home / ".local/share"},
                                      {"XDG_CONFIG_HOME", home / ".config"},
                                      {"XDG_CONFIG_DIRS", home / "etc-xdg"}}) {
        const char* old = std::getenv(name);
        savedEnvironment_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }
    vars_["home"] = home.string();
    vars_["tmp"] = root_;
    vars_["program"] = program.string();
    vars_["data"] = (fs::path(root_) / "data").string();
    vars_["bin"] = bin.string();
    vars_["source"] = options_.sourceFolder;
    vars_["scripts"] = script_.folder;
    vars_["major"] = std::to_string(forms::App.Major());
    vars_["minor"] = std::to_string(forms::App.Minor());
    vars_["revision"] = std::to_string(forms::App.Revision());
    return true;
}

void Execution::TimedOut(const std::string& report)
{
    std::function<void(const std::string&)> handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = TimeoutHandler();
    }
    if (handler) return handler(report);
    std::cerr << report;
    // The script's thread is stuck inside the program: nothing can be
    // unwound, only the folders cleared before the process ends.
    std::error_code ec;
    if (options_.keepFolders)
        std::cerr << "  (the script's folders were kept in " << root_ << ")\n";
    else
        fs::remove_all(root_, ec);
    std::cerr << std::flush;
    std::_Exit(3);
}

void Execution::CleanUp()
{
    for (const auto& [name, value] : savedEnvironment_) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    savedEnvironment_.clear();
    if (root_.empty()) return;
    if (options_.keepFolders) {
        if (failure_) *failure_ += "  (the script's folders were kept in " + root_ + ")\n";
        return;
    }
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void Execution::Begin(const Statement& s, int depth)
{
    watch_.Begin(Location(script_, s));
    if (options_.trace)
        *options_.trace << std::string(static_cast<std::size_t>(depth) * 2, ' ') << Location(script_, s) << '\n';
}

bool IsAction(const Statement& s)
{
    static const std::set<std::string> actions = {"start", "click",  "dblclick",   "drag",  "type",  "key",
                                                  "set",   "choose", "tab",        "yield", "new",   "open",
                                                  "save",  "call",   "rightclick", "press", "hover", "zoom"};
    return actions.count(s.Verb()) != 0;
}

void Execution::RunStatements(bool insideRun)
{
    const auto& list = script_.statements;
    while (pc_ < list.size() && !failure_) {
        // The user's last action ended the program: the rest runs after it.
        if (insideRun && !ProgramRunning()) return;
        const std::size_t index = pc_++;
        const Statement& s = list[index];
        action_ = &s;
        if (IsAction(s)) lastAction_ = &s;
        Begin(s, 0);
        Guarded(s, [&] { Execute(s, nullptr, index); });
        if (!failure_ && IsAction(s)) ContinueCommands();
        // Every answer written before an action is for that action.
        if (!failure_ && IsAction(s) && s.Verb() != "start") CheckUsed(index, &s);
    }
}

void Execution::RunBlock(const Statement& block, forms::Form& form)
{
    for (const Statement& s : block.body) {
        if (failure_) return;
        Begin(s, 1);
        Guarded(s, [&] { Execute(s, &form, 0); });
    }
}

void Execution::Fail(const Statement& s, const std::string& detail)
{
    if (failure_) return;
    std::string report = Location(script_, s) + "\n  " + detail + "\n";
    if (action_ && action_ != &s && action_->line != s.line)
        report += "  (during " + Location(script_, *action_) + ")\n";
    failure_ = report;
}

void Execution::CheckUsed(std::size_t before, const Statement* action)
{
    auto report = [&](const Statement& answer, const std::string& why) {
        if (action)
            Fail(*action,
                 "the answer of line " + std::to_string(answer.line) + " (" + answer.source + ") was not used: " + why);
        else
            Fail(answer, "this answer was never used: " + why);
    };
    for (const auto& m : modals_)
        if (m.order < before) return report(*m.stmt, "the program showed no modal form " + m.form);
    for (const auto& e : input_->expects_)
        if (e.order < before) return report(*e.stmt, "the drawing host asked for nothing more");
    for (const auto& d : dialogs_)
        if (d.order < before) return report(*d.stmt, "the program opened no file or folder dialog");
}

void Execution::CheckWhens()
{
    for (const When& w : whens_)
        if (!w.fired)
            return Fail(*w.stmt, "the program never showed " + w.form + " while it yielded to the event loop");
}

// ------------------------------------------------------------------ drivers

void Execution::OnModal(forms::Form& f)
{
    watch_.Note("modal form " + f.Name() + " shown");
    auto label = [&](const char* name) -> std::string {
        forms::Control* c = f.Controls().Find(name);
        auto* l = c ? dynamic_cast<forms::Label*>(c) : nullptr;
        return l ? l->Caption() : std::string();
    };
    if (f.Name() == "frmMsgBox") messages_.push_back({label("Titulo"), label("Mensagem"), lastAction_});
    // After a failure the form is left to close by itself and the program
    // goes on to the end of the step.
    if (failure_) return;
    if (modals_.empty()) {
        std::string what = "the program showed the modal form " + f.Name() + " and the script gave no answer for it";
        if (!f.Caption().empty()) what += "\n  its caption: " + Quote(f.Caption());
        if (!label("Titulo").empty()) what += "\n  its title:   " + Quote(label("Titulo"));
        if (!label("Mensagem").empty()) what += "\n  its message: " + Quote(label("Mensagem"));
        return Fail(*action_, what);
    }
    const ModalAnswer a = modals_.front();
    modals_.pop_front();
    if (a.form != f.Name())
        return Fail(*a.stmt, StepError("the modal form " + a.form, "the modal form " + f.Name()).what());
    if (!a.button.empty()) {
        Guarded(*a.stmt, [&] {
            forms::Control& b = Resolve(a.button, &f);
            CheckReachable(b);
            forms::user::Click(b);
        });
    } else {
        RunBlock(*a.stmt, f);
    }
    watch_.Begin(Location(script_, *action_));
}

bool Execution::OnInput(const acad::InputRequest& r, const ScriptInput::Expect* e)
{
    const std::string asked = KindName(r.kind) + " (prompt " + Quote(r.prompt) + ")";
    watch_.Note("the drawing host asked for " + asked);
    if (failure_) return false;
    if (!e) {
        Fail(*action_, "the drawing host asked for " + asked + " and the script gave no answer for it");
        return false;
    }
    if (std::find(e->kinds.begin(), e->kinds.end(), r.kind) == e->kinds.end()) {
        Fail(*e->stmt, StepError(e->what, "the drawing host asked for " + asked).what());
        return false;
    }
    if (e->prompt && *e->prompt != r.prompt) {
        Fail(*e->stmt, StepError("the prompt " + Quote(*e->prompt), "the prompt " + Quote(r.prompt)).what());
        return false;
    }
    return true;
}

os::DialogAnswer Execution::OnDialog(const os::DialogRequest& r)
{
    const std::string asked = DialogName(r.kind) + (r.title.empty() ? "" : " titled " + Quote(r.title));
    watch_.Note("the program opened " + asked);
    if (r.kind == os::DialogKind::Message || r.kind == os::DialogKind::Confirm)
        messages_.push_back({r.title, r.text, lastAction_});
    if (failure_) return os::DialogAnswer::Cancel();
    if (dialogs_.empty()) {
        Fail(*action_, "the program opened " + asked + " and the script gave no answer for it" +
                           (r.text.empty() ? "" : "\n  its text: " + Quote(r.text)));
        return os::DialogAnswer::Cancel();
    }
    const DialogAnswer a = dialogs_.front();
    dialogs_.pop_front();
    if (a.kind && *a.kind != r.kind) {
        Fail(*a.stmt, StepError(DialogName(*a.kind), asked).what());
        return os::DialogAnswer::Cancel();
    }
    if (a.acceptProposed && r.kind != os::DialogKind::Open && r.kind != os::DialogKind::Save) {
        Fail(*a.stmt, StepError("a file dialog", asked).what());
        return os::DialogAnswer::Cancel();
    }
    const auto folder = [](const std::string& f) { return (fs::path(f) / "").lexically_normal(); };
    if (a.folder && folder(*a.folder) != folder(r.initialDir)) {
        Fail(*a.stmt,
             StepError(asked + " opening in " + Quote(*a.folder), "it opened in " + Quote(r.initialDir)).what());
        return os::DialogAnswer::Cancel();
    }
    if (a.acceptProposed) return os::DialogAnswer::Path(r.fileName);
    return a.answer;
}

// The modeless windows of long operations are answered while the operation
// yields to the event loop (DoEvents), as a person's click there is handled
// then; never while a modal form is up, which keeps a person from them.
void Execution::OnYield()
{
    if (inYield_ || failure_ || !inRun_) return;
    for (forms::Form* f : forms::Forms())
        if (f->IsModal()) return;
    inYield_ = true;
    for (When& w : whens_) {
        if (w.fired) continue;
        for (forms::Form* f : forms::Forms()) {
            if (f->Name() != w.form || !f->Visible()) continue;
            w.fired = true;
            watch_.Note(w.form + " shown");
            RunBlock(*w.stmt, *f);
            if (action_) watch_.Begin(Location(script_, *action_));
            break;
        }
    }
    ContinueCommands();
    inYield_ = false;
}

void Execution::ContinueCommands()
{
    if (continuing_ || failure_ || !host_ || !ProgramRunning()) return;
    continuing_ = true;
    std::vector<acad::Document*> waiting;
    for (const auto& d : host_->Documents())
        if (d->CommandLine().Active()) waiting.push_back(&*d);
    for (acad::Document* d : waiting) {
        if (failure_) break;
        watch_.Note("the command " + d->CommandLine().ActiveCommandName() + " went on");
        try {
            d->CommandLine().Continue();
        } catch (const acad::Error& e) {
            Fail(*action_, AcadFailure(e));
        } catch (const std::exception& e) {
            Fail(*action_, std::string("failed: ") + e.what());
        }
    }
    continuing_ = false;
}

// ------------------------------------------------------------------ statements

void Execution::Execute(const Statement& s, forms::Form* context, std::size_t index)
{
    const std::string& v = s.Verb();
    if (v == "let") {
        if (s.Arg(0).quoted) throw StepError("a variable name after let", Quote(s.Arg(0).raw));
        vars_[s.Arg(0).raw] = A(s, 1);
    } else if (v == "remove" || v == "mkdir" || v == "link" || v == "copy" || v == "write") {
        FileStatement(s);
    } else if (v == "fixture") {
        Fixture(s);
    } else if (v == "rightclick") {
        RightClick(s);
    } else if (v == "timeout") {
        const auto n = acad::input::ParseReal(A(s, 0));
        if (!n || *n <= 0) throw StepError("a number of seconds above 0", Quote(A(s, 0)));
        watch_.SetLimit(std::chrono::milliseconds(static_cast<long long>(std::ceil(*n * 1000))));
    } else if (v == "start") {
        Start(s, index);
    } else if (v == "answer") {
        modals_.push_back({index, &s, A(s, 0), s.Args() == 2 ? A(s, 1) : ""});
    } else if (v == "when") {
        whens_.push_back({&s, A(s, 0)});
    } else if (v == "input") {
        QueueInput(s, index);
    } else if (v == "dialog") {
        QueueDialog(s, index);
    } else if (v == "yield") {
        Base(context);
        forms::DoEvents();
    } else if (v == "new") {
        Host().Documents().Add("Acad");
    } else if (v == "open") {
        Host().Documents().Open(A(s, 0));
    } else if (v == "save") {
        Drawing().SaveAs(A(s, 0));
    } else if (v == "zoom") {
        // The person zooms the drawing window, which window and crossing
        // selections see.
        if (s.Args() == 1) {
            Host().ZoomExtents();
        } else {
            const auto a = acad::input::ParsePoint(A(s, 0));
            const auto b = acad::input::ParsePoint(A(s, 1));
            if (!a || !b) throw StepError("a window X,Y X,Y", Quote(A(s, 0) + " " + A(s, 1)));
            Host().ZoomWindow(*a, *b);
        }
    } else if (v == "call") {
        Call(s);
    } else if (v == "expect") {
        Expect(s, context);
    } else {
        UserAction(s, context);
    }
}

void Execution::UserAction(const Statement& s, forms::Form* context)
{
    const std::string& v = s.Verb();
    forms::Control& c = Resolve(A(s, 0), context);
    CheckReachable(c);
    if (v == "click") return forms::user::Click(c);
    if (v == "dblclick") return forms::user::DblClick(c);
    if (v == "drag") {
        // The left button pressed over the middle of the control, moved by DX,DY twips and let go.
        const auto d = acad::input::ParsePoint(A(s, 1));
        if (!d) throw StepError("a movement DX,DY", Quote(A(s, 1)));
        const double x = c.Width() / 2, y = c.Height() / 2;
        return forms::user::Drag(c, forms::vbLeftButton, x, y, x + d->x, y + d->y);
    }
    if (v == "hover") {
        int shift = 0;
        if (s.Args() > 1) {
            // The keys held: Shift, Ctrl, Alt, joined by "+".
            std::istringstream keys(A(s, 1));
            std::string k;
            while (std::getline(keys, k, '+')) {
                if (k == "Shift")
                    shift |= forms::vbShiftMask;
                else if (k == "Ctrl")
                    shift |= forms::vbCtrlMask;
                else if (k == "Alt")
                    shift |= forms::vbAltMask;
                else
                    throw StepError("the keys held: Shift, Ctrl, Alt or several joined by +", Quote(A(s, 1)));
            }
        }
        return forms::user::Hover(c, shift);
    }
    if (v == "press") return Press(s, c);
    if (v == "type") return forms::user::Type(c, A(s, 1));
    if (v == "set") return SetField(c, A(s, 1));
    if (v == "key") {
        const auto [code, shift] = KeyOf(A(s, 1));
        return forms::user::PressKey(c, code, shift);
    }
    if (v == "tab") {
        auto* tabs = dynamic_cast<forms::TabControl*>(&c);
        if (!tabs) throw StepError(ControlName(c) + " is not a tab control");
        const auto n = ParseInteger(A(s, 1));
        if (!n) throw StepError("a tab number", Quote(A(s, 1)));
        return forms::user::ChooseTab(*tabs, *n);
    }
    // choose: an item by its number or, written in quotes, by its text.
    const Word& which = s.Arg(1);
    const std::string item = A(s, 1);
    auto position = [&](int count, const std::function<std::string(int)>& text) {
        if (!which.quoted)
            if (auto i = ParseInteger(item)) return *i;
        std::string items;
        for (int i = 0; i < count; ++i) {
            if (text(i) == item) return i;
            items += (i ? ", " : "") + Quote(text(i));
        }
        throw StepError("an item " + Quote(item) + " in " + ControlName(c), count ? "the items " + items : "no items");
    };
    if (auto* l = dynamic_cast<forms::ListBox*>(&c))
        return forms::user::Choose(*l, position(l->ListCount(), [&](int i) { return l->List(i); }));
    if (auto* b = dynamic_cast<forms::ComboBox*>(&c))
        return forms::user::Choose(*b, position(b->ListCount(), [&](int i) { return b->List(i); }));
    if (auto* d = dynamic_cast<forms::DriveListBox*>(&c))
        return forms::user::ChooseDrive(*d, position(d->ListCount(), [&](int i) { return d->List(i); }));
    throw StepError(ControlName(c) + " is not a list, combo box or drive list");
}

void Execution::Start(const Statement& s, std::size_t index)
{
    if (inRun_) throw StepError("the program is already running");
    QuorilOptions o;
    o.programFolder = vars_["program"];
    o.pictureFolder = vars_["program"] + "/pictures";
    o.startHost = s.Args() == 0 || !s.Arg(0).Is("nohost");
    o.input = input_;
    bool started = false;
    endedBy_ = nullptr;
    o.started = [&](Form1& f, acad::Application* host) {
        started = true;
        form1_ = &f;
        host_ = host;
        f.Unload += [this](int& Cancel) {
            if (!Cancel && !endedBy_) endedBy_ = action_;
        };
        // The start-up has used the answers written for it.
        if (!failure_) CheckUsed(index, &s);
        RunStatements(true);
        // The script is over (or failed): the program ends as at its close button.
        if (f.Loaded()) forms::Unload(f);
    };
    char name[] = "quorilcad";
    char* argv[] = {name, nullptr};
    int argc = 1;
    // Started from a folder of the script's: the runner's own is back once the program ends.
    std::optional<fs::path> before;
    if (s.Args() >= 2) {
        std::error_code ec;
        before = fs::current_path();
        fs::current_path(A(s, s.Args() - 1), ec);
        if (ec) throw StepError("cannot start in " + A(s, s.Args() - 1) + ": " + ec.message());
    }
    inRun_ = true;
    ++runs_;
    RunQuoril(argc, argv, o);
    inRun_ = false;
    if (before) {
        std::error_code ec;
        fs::current_path(*before, ec);
    }
    form1_ = nullptr;
    host_ = nullptr;
    if (!endedBy_) endedBy_ = &s;
    if (!failure_ && !started) CheckUsed(index, &s);
    if (!failure_) CheckWhens();
}

void Execution::QueueInput(const Statement& s, std::size_t index)
{
    using K = acad::InputKind;
    const std::string kind = s.Arg(0).raw;
    ScriptInput::Expect e;
    e.order = index;
    e.stmt = &s;
    std::size_t n = s.Args();
    if (n >= 3 && s.Arg(n - 2).Is("prompt")) e.prompt = A(s, n - 1);
    acad::InputAnswer a;
    if (kind == "point") {
        e.kinds = {K::Point};
        a = acad::InputAnswer::PickPoint(PointArg(s, 1));
    } else if (kind == "corner") {
        e.kinds = {K::Corner};
        a = acad::InputAnswer::PickPoint(PointArg(s, 1));
    } else if (kind == "angle") {
        const auto degrees = acad::input::ParseReal(A(s, 1));
        if (!degrees) throw StepError("an angle in degrees", Quote(A(s, 1)));
        e.kinds = {K::Angle};
        a = acad::InputAnswer::AngleOf(*degrees * std::acos(-1.0) / 180.0);
    } else if (kind == "pick") {
        e.kinds = {K::Entity, K::SubEntity, K::Selection};
        a = acad::InputAnswer::PickPoint(PointArg(s, 1));
    } else if (kind == "string") {
        e.kinds = {K::String};
        a = acad::InputAnswer::Typed(A(s, 1));
    } else if (kind == "window" || kind == "crossing") {
        e.kinds = {K::Selection};
        a = kind == "window" ? acad::InputAnswer::WindowOf(PointArg(s, 1), PointArg(s, 2))
                             : acad::InputAnswer::CrossingOf(PointArg(s, 1), PointArg(s, 2));
    } else {
        e.kinds = {K::Point, K::Corner, K::Angle, K::Entity, K::SubEntity, K::String, K::Selection};
        a = kind == "escape" ? acad::InputAnswer::Escape() : acad::InputAnswer::Enter();
    }
    e.what =
        e.kinds.size() > 3 ? "a request of the drawing host" : "the drawing host to ask for " + KindName(e.kinds[0]);
    input_->Queue(std::move(e), std::move(a));
}

void Execution::QueueDialog(const Statement& s, std::size_t index)
{
    const std::string& k = s.Arg(0).raw;
    DialogAnswer d{index, &s, std::nullopt, os::DialogAnswer::Cancel(), false, std::nullopt};
    if (k == "open" || k == "save" || k == "folder") {
        d.kind = k == "open" ? os::DialogKind::Open : k == "save" ? os::DialogKind::Save : os::DialogKind::Folder;
        d.answer = os::DialogAnswer::Path(A(s, 1));
        if (s.Args() == 4) d.folder = A(s, 3);
    } else if (k == "accept") {
        d.acceptProposed = true;
        if (s.Args() == 3) d.folder = A(s, 2);
    } else if (k == "yes" || k == "no") {
        d.kind = os::DialogKind::Confirm;
        if (k == "yes")
            d.answer = os::DialogAnswer::Yes();
        else
            d.answer.choice = 1;  // "Não", not the Cancel of a box that has one
    } else if (k == "ok") {
        d.kind = os::DialogKind::Message;
        d.answer = os::DialogAnswer::Yes();
    }
    dialogs_.push_back(std::move(d));
}

void Execution::Call(const Statement& s)
{
    const std::string name = A(s, 0);
    const auto it = procedures_.find(name);
    if (it == procedures_.end()) {
        std::string known;
        for (const auto& [n, p] : procedures_) known += (known.empty() ? "" : ", ") + n;
        throw StepError("a procedure the runner knows (" + known + ")", Quote(name));
    }
    Base(nullptr);
    std::vector<std::string> args;
    for (std::size_t i = 1; i < s.Args(); ++i) args.push_back(A(s, i));
    results_.clear();
    it->second(args, results_);
}

void Execution::FileStatement(const Statement& s)
{
    const std::string& v = s.Verb();
    const fs::path p = A(s, 0);
    std::error_code ec;
    if (v == "mkdir") {
        fs::create_directories(p, ec);
        if (ec) throw StepError("cannot make the folder " + p.string() + ": " + ec.message());
    } else if (v == "link") {
        const fs::path nome = A(s, 1);
        if (nome.has_parent_path()) fs::create_directories(nome.parent_path(), ec);
        fs::create_symlink(p, nome, ec);
        if (ec) throw StepError("cannot link " + nome.string() + " to " + p.string() + ": " + ec.message());
    } else if (v == "remove") {
        if (!fs::exists(fs::symlink_status(p)))
            throw StepError("something to remove at " + p.string(), "nothing there");
        fs::remove_all(p, ec);
        if (ec) throw StepError("cannot remove " + p.string() + ": " + ec.message());
    } else if (v == "copy") {
        fs::path to = A(s, 1);
        if (fs::is_directory(to) && !fs::is_directory(p)) to /= p.filename();
        fs::copy(p, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        if (ec) throw StepError("cannot copy " + p.string() + " to " + to.string() + ": " + ec.message());
    } else {
        if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
        std::ofstream f(p, std::ios::binary | std::ios::trunc);
        f << A(s, 1);
        if (!f.flush()) throw StepError("cannot write " + p.string());
    }
}

void Execution::Expect(const Statement& s, forms::Form* context)
{
    const std::string& k = s.Arg(0).raw;
    auto compare = [](const std::pair<bool, std::string>& want, const std::string& found) {
        if (!Matches(want.second, found, want.first))
            throw StepError(want.first ? "a text containing " + Quote(want.second) : Quote(want.second), Quote(found));
    };
    if (k == "running") {
        if (!ProgramRunning()) NotRunning();
    } else if (k == "ended") {
        if (ProgramRunning()) throw StepError("the program to have ended", "it is running");
    } else if (k == "message") {
        // The last box the last action showed: its text, or its title.
        const bool titulo = s.Args() > 2 && s.Arg(1).Is("title");
        const auto want = Value(s, titulo ? 2 : 1);
        auto last = std::find_if(messages_.rbegin(), messages_.rend(),
                                 [&](const Message& m) { return lastAction_ && m.action == lastAction_; });
        if (last == messages_.rend())
            throw StepError("a message box with " + Quote(want.second),
                            lastAction_ ? "none shown by line " + std::to_string(lastAction_->line) + " (" +
                                              lastAction_->source + ")"
                                        : "no action yet");
        compare(want, titulo ? last->title : last->text);
    } else if (k == "result") {
        const std::string name = A(s, 1);
        const auto it = results_.find(name);
        if (it == results_.end()) {
            std::string names;
            for (const auto& [n, r] : results_) names += (names.empty() ? "" : ", ") + n;
            throw StepError("a result " + name + " of the last call",
                            results_.empty() ? "no results" : "the results " + names);
        }
        compare(Value(s, 2), it->second);
    } else if (k == "entities") {
        ExpectEntities(s);
    } else if (k == "attribute") {
        ExpectAttribute(s);
    } else if (k == "file") {
        const std::string p = A(s, 1);
        if (!fs::is_regular_file(p)) throw StepError("the file " + p, fs::exists(p) ? "a folder" : "no such file");
    } else if (k == "nofile") {
        const std::string p = A(s, 1);
        if (fs::exists(p)) throw StepError("no file " + p, "it exists");
    } else if (k == "layout" || k == "nolayout") {
        ExpectLayout(s, k == "layout");
    } else if (k == "line") {
        const std::string text = ReadFile(A(s, 1));
        const auto want = Value(s, 2);
        std::istringstream in(text);
        std::string line, seen;
        int n = 0;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (Matches(want.second, line, want.first)) return;
            if (++n <= 10) seen += "\n            " + Quote(line);
        }
        throw StepError((want.first ? "a line containing " : "a line ") + Quote(want.second),
                        n ? "the lines" + seen + (n > 10 ? "\n            ..." : "") : "an empty file");
    } else if (k == "content") {
        const std::string want = A(s, 2), found = ReadFile(A(s, 1));
        if (want != found) throw StepError(Quote(want), Quote(found));
    } else if (k == "query") {
        ExpectQuery(s);
    } else if (k == "workbook") {
        ExpectWorkbook(s);
    } else if (k == "dbf") {
        ExpectDbf(s);
    } else if (k == "xdata") {
        ExpectXData(s);
    } else if ((k == "text" || k == "string") && s.Arg(1).Is("at")) {
        ExpectTextAt(s);
    } else if (k == "z") {
        ExpectZAt(s);
    } else if (k == "cell") {
        ExpectCell(s, context);
    } else if (k == "clipboard") {
        compare(Value(s, 1), os::Clipboard::GetText());
    } else if (k == "opened") {
        ExpectOpened(s);
    } else {
        forms::Control& c = Resolve(A(s, 1), context);
        compare(Value(s, 2), PropertyOf(c, k));
    }
}

void Execution::ExpectEntities(const Statement& s)
{
    const auto n = ParseInteger(A(s, 1));
    if (!n) throw StepError("a number of entities", Quote(A(s, 1)));
    std::vector<int> types;
    std::vector<acad::Variant> data;
    std::size_t first = 2;
    acad::Block* space = nullptr;
    if (s.Args() > 2 && s.Arg(2).Is("in")) space = &SpaceArg(s, 2, first);
    for (std::size_t i = first; i < s.Args(); ++i) {
        const std::string t = A(s, i);
        const auto eq = t.find('=');
        const auto code = eq == std::string::npos ? std::nullopt : ParseInteger(t.substr(0, eq));
        if (!code) throw StepError("a filter CODE=VALUE", Quote(t));
        const std::string value = t.substr(eq + 1);
        types.push_back(*code);
        if (TextCode(*code))
            data.emplace_back(value);
        else if (const auto iv = ParseInteger(value))
            data.emplace_back(*iv);
        else if (const auto dv = acad::input::ParseReal(value))
            data.emplace_back(*dv);
        else
            throw StepError("a number for group code " + std::to_string(*code), Quote(value));
    }
    if (space) {
        // What a selection of everything finds, kept to one space.
        const acad::SelectionFilter filter(types, data);
        int found = 0;
        for (acad::Entity* e : *space)
            if (filter.Matches(*e)) ++found;
        if (found != *n) throw StepError(std::to_string(*n) + " entities", std::to_string(found));
        return;
    }
    acad::Document& doc = Drawing();
    const std::string name = "QUORIL_E2E";
    try {
        doc.SelectionSets().Item(name)->Delete();
    } catch (const acad::Error&) {
    }
    acad::SelectionSet* set = doc.SelectionSets().Add(name);
    int found = 0;
    try {
        set->Select(acad::acSelectionSetAll, {}, {}, types, data);
        found = set->Count();
    } catch (...) {
        set->Delete();
        throw;
    }
    set->Delete();
    if (found != *n) throw StepError(std::to_string(*n) + " entities", std::to_string(found));
}

// A paper-space layout of the active drawing by its name, as the host
// compares names (without case); the layouts there are listed when it fails.
void Execution::ExpectLayout(const Statement& s, bool present)
{
    const std::string name = A(s, 1);
    acad::Document& doc = Drawing();
    const acad::Layout* found = doc.Layouts().Find(name);
    if (found && found->IsErased()) found = nullptr;
    if ((found != nullptr) == present) return;
    std::string names;
    for (const acad::Layout* l : doc.Layouts())
        if (!l->IsErased()) names += (names.empty() ? "" : ", ") + Quote(l->Name());
    if (present) throw StepError("a layout " + Quote(name), "the layouts " + names);
    throw StepError("no layout " + Quote(name), "it exists");
}

void Execution::ExpectAttribute(const Statement& s)
{
    const std::string tag = A(s, 1);
    acad::Document& doc = Drawing();
    acad::BlockReference* block = nullptr;
    std::size_t valueAt = 4;
    if (s.Arg(2).Is("at")) {
        // Within a thousandth, as drawings write coordinates rounded. Of the
        // blocks there (a marker may share a manhole's point), the first that
        // carries the tag; else the first, to say what it carries.
        const acad::Point3d p = PointArg(s, 3);
        acad::Block& space = SpaceArg(s, 4, valueAt);
        for (acad::Entity* e : space) {
            auto* b = dynamic_cast<acad::BlockReference*>(e);
            if (!b) continue;
            const acad::Point3d q = b->InsertionPoint();
            if (std::fabs(q.x - p.x) > 1e-3 || std::fabs(q.y - p.y) > 1e-3) continue;
            if (!block) block = b;
            const auto attributes = b->GetAttributes();
            if (std::any_of(attributes.begin(), attributes.end(), [&](acad::AttributeReference* a) {
                    return acad::UpperName(a->TagString()) == acad::UpperName(tag);
                })) {
                block = b;
                break;
            }
        }
        if (!block) throw StepError("a block reference inserted at " + A(s, 3), "none there");
    } else {
        acad::AcadObject* o = doc.HandleToObject(A(s, 3));
        block = dynamic_cast<acad::BlockReference*>(o);
        if (!block) throw StepError("a block reference with the handle " + A(s, 3), o ? o->ObjectName() : "nothing");
    }
    const auto want = Value(s, valueAt);
    std::string tags;
    for (acad::AttributeReference* a : block->GetAttributes()) {
        if (acad::UpperName(a->TagString()) == acad::UpperName(tag)) {
            if (!Matches(want.second, a->TextString(), want.first))
                throw StepError((want.first ? "a text containing " : "") + Quote(want.second), Quote(a->TextString()));
            return;
        }
        tags += (tags.empty() ? "" : ", ") + a->TagString();
    }
    throw StepError("an attribute " + tag + " on the block " + block->Name(),
                    tags.empty() ? "no attributes" : "the attributes " + tags);
}

// ------------------------------------------------------------------ newer statements

void Execution::Fixture(const Statement& s)
{
    const std::string kind = A(s, 0), path = A(s, 2);
    const auto n = ParseInteger(A(s, 1));
    if (!n || *n < 1) throw StepError("a number of items above 0", Quote(A(s, 1)));
    if (kind == "survey")
        fixtures::Survey(*n, path);
    else if (kind == "section")
        fixtures::Section(*n, path);
    else if (kind == "erased")
        fixtures::Erased(*n, path);
    else if (kind == "zones")
        fixtures::Zones(*n, path, vars_["program"]);
    else if (kind == "oldwater")
        fixtures::OldWater(*n, path);
    else if (kind == "topography")
        fixtures::Topography(*n, path);
    else if (kind == "zonehatches")
        fixtures::ZoneHatches(*n, path);
    else if (kind == "spread")
        fixtures::Spread(*n, path);
    else if (kind == "buildings")
        fixtures::Buildings(*n, path);
    else if (kind == "streets")
        fixtures::Streets(*n, path);
    else if (kind == "splines")
        fixtures::Splines(*n, path);
    else if (kind == "farhatch")
        fixtures::FarHatches(*n, path);
    else if (kind == "elevated")
        fixtures::Elevated(*n, path);
    else if (kind == "sector")
        fixtures::Sector(*n, path);
    else if (kind == "grid")
        fixtures::Grid(*n, path);
    else if (kind == "numbering")
        fixtures::Numbering(*n, path);
    else if (kind == "scatter")
        fixtures::Scatter(*n, path);
    else if (kind == "sheetsxref")
        fixtures::SheetsXRef(*n, path);
    else if (kind == "sheets")
        fixtures::Sheets(*n, path);
    else
        throw StepError("a kind of drawing: " + fixtures::KindList(), Quote(kind));
}

// A picture menu's item, pressed at the middle of its cells that lie on the
// picture, the mouse moved there first as a hand would.
void Execution::Press(const Statement& s, forms::Control& c)
{
    auto* menu = dynamic_cast<PicMnuUsrCtl*>(&c);
    if (!menu) throw StepError(ControlName(c) + " is not a picture menu");
    const auto n = ParseInteger(A(s, 1));
    if (!n) throw StepError("an item number", Quote(A(s, 1)));
    const PicMnuBotaoRec b = menu->Botao(*n);
    if (menu->gDimX() < 1 || menu->gDimy() < 1 || b.Description.empty())
        throw StepError("an item " + std::to_string(*n) + " of the menu " + ControlName(c), "none");
    const int cellW = menu->gPicWidth() / menu->gDimX(), cellH = menu->gPicHeight() / menu->gDimy();
    const int c0 = b.Column, c1 = std::min(b.Column + b.ExtraColumns, menu->gDimX() - 1);
    const int r0 = b.Row, r1 = std::min(b.Row + b.ExtraRows, menu->gDimy() - 1);
    if (c1 < c0 || r1 < r0 || cellW < 1 || cellH < 1)
        throw StepError("item " + std::to_string(*n) + " on the menu's picture", "its cells lie outside it");
    // The middle of the middle cell: never on an edge shared with another item.
    const double x = ((c0 + c1) / 2 + 0.5) * cellW, y = ((r0 + r1) / 2 + 0.5) * cellH;
    forms::Control& picture = menu->Picture1;
    CheckReachable(picture);
    forms::user::MouseMove(picture, 0, 0, x, y);
    forms::user::ClickAt(picture, x, y);
}

// A right click in the drawing while nothing is asked of it.
void Execution::RightClick(const Statement& s)
{
    acad::Document& doc = Drawing();
    if (doc.CommandLine().Active())
        throw StepError("the drawing idle for a right click",
                        "the command " + doc.CommandLine().ActiveCommandName() + " waits for input");
    doc.BeginRightClick.Raise(PointArg(s, 0));
}

acad::Block& Execution::SpaceArg(const Statement& s, std::size_t i, std::size_t& next) const
{
    acad::Document& doc = Drawing();
    next = i;
    if (i >= s.Args() || !s.Arg(i).Is("in")) return doc.ModelSpace();
    next = i + 2;
    const std::string name = A(s, i + 1);
    if (acad::UpperName(name) == "MODEL") return doc.ModelSpace();
    if (name == "paper") return doc.PaperSpace();
    try {
        return doc.Layouts().Item(name)->Block();
    } catch (const acad::Error&) {
        std::string names;
        for (int k = 0; k < doc.Layouts().Count(); ++k) names += (k ? ", " : "") + Quote(doc.Layouts().Item(k)->Name());
        throw StepError("a layout " + Quote(name), "the layouts " + names);
    }
}

void Execution::ExpectQuery(const Statement& s)
{
    // The data layer's own connection: a database, a folder (or one file) of
    // dBase tables, a workbook.
    const fs::path path = A(s, 1);
    const std::string ext = acad::UpperName(path.extension().string());
    const bool dbf = fs::is_directory(path) || ext == ".DBF";
    const std::string source = ext == ".DBF" ? path.parent_path().string() : path.string();
    const std::string kind = dbf ? "dBase 5.0" : ext == ".XLS" ? "Excel 8.0" : "";
    const std::string jet = "Microsoft.Jet.OLEDB.4.0";
    const std::string cs =
        kind.empty()
            ? ado::BuildConnectionString({{"PROVIDER", jet}, {"Data Source", source}})
            : ado::BuildConnectionString({{"PROVIDER", jet}, {"Data Source", source}, {"Extended Properties", kind}});
    const auto want = Value(s, 3);
    std::string found;
    try {
        ado::Connection cn;
        cn.Open(cs);
        ado::Recordset rs = cn.Execute(A(s, 2));
        if (rs.Eof())
            found = "no rows";
        else
            found = rs.Fields().Item(0).Value().TextOr("Null");
        rs.Close();
        cn.Close();
    } catch (const std::exception& e) {
        throw StepError("the query to run", std::string("the data layer failed: ") + e.what());
    }
    if (!Matches(want.second, found, want.first))
        throw StepError((want.first ? "a value containing " : "") + Quote(want.second), Quote(found));
}

void Execution::ExpectDbf(const Statement& s)
{
    // Record RECORD (from 1) of the file, in the file's own order, as the data
    // layer reads the field: "Null" for a null.
    const fs::path path = A(s, 1);
    const std::string record = A(s, 2);
    long long n = 0;
    try {
        n = std::stoll(record);
    } catch (const std::exception&) {
        throw StepError("a record number from 1", Quote(record));
    }
    const auto want = Value(s, 4);
    std::string found;
    try {
        ado::Connection cn;
        cn.Open(ado::BuildConnectionString({{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"},
                                            {"Data Source", path.parent_path().string()},
                                            {"Extended Properties", "dBase 5.0"}}));
        ado::Recordset rs = cn.Execute("select * from [" + path.filename().string() + "]");
        if (n < 1 || n > rs.RecordCount()) {
            found = "no record " + record + " (the file holds " + std::to_string(rs.RecordCount()) + ")";
        } else {
            rs.Move(n - 1);
            found = rs.Fields(A(s, 3)).Value().TextOr("Null");
        }
        rs.Close();
        cn.Close();
    } catch (const std::exception& e) {
        throw StepError("the dBase file to read", std::string("the data layer failed: ") + e.what());
    }
    if (!Matches(want.second, found, want.first))
        throw StepError((want.first ? "a value containing " : "") + Quote(want.second), Quote(found));
}

void Execution::ExpectWorkbook(const Statement& s)
{
    const std::string cell = acad::UpperName(A(s, 3));
    // "B7": column letters, then the row.
    std::size_t i = 0;
    int col = 0;
    while (i < cell.size() && cell[i] >= 'A' && cell[i] <= 'Z') col = col * 26 + (cell[i++] - 'A' + 1);
    const auto row = ParseInteger(cell.substr(i));
    if (col == 0 || !row || *row < 1) throw StepError("a cell such as A1 or B7", Quote(A(s, 3)));
    std::string found;
    try {
        auto book = ado::detail::Workbook::Open(A(s, 1));
        found = book->FindSheet(A(s, 2)).Cell(*row, col).TextOr("");
    } catch (const std::exception& e) {
        throw StepError("the cell " + A(s, 3) + " of " + A(s, 2), e.what());
    }
    const auto want = Value(s, 4);
    if (!Matches(want.second, found, want.first))
        throw StepError((want.first ? "a value containing " : "") + Quote(want.second), Quote(found));
}

namespace {

// Where an entity stands for the checks at a point: a point's position, a
// block's or a text's insertion point.
std::optional<acad::Point3d> PlaceOf(acad::Entity* e)
{
    if (auto* p = dynamic_cast<acad::Point*>(e)) return p->Coordinates();
    if (auto* b = dynamic_cast<acad::BlockReference*>(e)) return b->InsertionPoint();
    if (auto* t = dynamic_cast<acad::TextBase*>(e)) return t->InsertionPoint();
    if (auto* m = dynamic_cast<acad::MText*>(e)) return m->InsertionPoint();
    return std::nullopt;
}

bool Near(const acad::Point3d& a, const acad::Point3d& b)
{
    return std::fabs(a.x - b.x) <= 1e-3 && std::fabs(a.y - b.y) <= 1e-3;
}

}  // namespace

// The extended data of the entity at a point, every application's values
// joined by "|": a survey point gives "P12|3.5|BORDO".
void Execution::ExpectXData(const Statement& s)
{
    if (!s.Arg(1).Is("at")) throw StepError("expect xdata at X,Y [in LAYOUT] [contains] VALUE");
    const acad::Point3d p = PointArg(s, 2);
    std::size_t next = 0;
    acad::Block& space = SpaceArg(s, 3, next);
    const auto want = Value(s, next);
    std::string seen;
    for (acad::Entity* e : space) {
        const auto at = PlaceOf(e);
        if (!at || !Near(*at, p)) continue;
        std::vector<int> types;
        std::vector<acad::Variant> values;
        e->GetXData("", types, values);
        if (values.empty()) continue;
        std::string found;
        for (std::size_t k = 0; k < values.size(); ++k) found += (k ? "|" : "") + values[k].ToString();
        if (Matches(want.second, found, want.first)) return;
        seen += (seen.empty() ? "" : ", ") + Quote(found);
    }
    throw StepError(
        "an entity at " + A(s, 2) + " with the extended data " + (want.first ? "containing " : "") + Quote(want.second),
        seen.empty() ? "no entity with extended data there" : seen);
}

namespace {

// Where an entity stands for the elevation check, Z included: what PlaceOf
// gives, a line's start, the centre of an arc, circle or ellipse, the first
// vertex of a polyline or the first control point of a spline.
std::optional<acad::Point3d> StandOf(acad::Entity* e)
{
    if (auto at = PlaceOf(e)) return at;
    if (auto* l = dynamic_cast<acad::Line*>(e)) return l->StartPoint();
    if (auto* a = dynamic_cast<acad::Arc*>(e)) return a->Center();
    if (auto* c = dynamic_cast<acad::Circle*>(e)) return c->Center();
    if (auto* el = dynamic_cast<acad::Ellipse*>(e)) return el->Center();
    if (auto* lw = dynamic_cast<acad::LWPolyline*>(e)) {
        const std::vector<double> xy = lw->Coordinates();
        if (xy.size() >= 2) return acad::Point3d{xy[0], xy[1], lw->Elevation()};
    }
    std::vector<double> xyz;
    if (auto* p = dynamic_cast<acad::PolylineBase*>(e)) xyz = p->Coordinates();
    if (auto* sp = dynamic_cast<acad::Spline*>(e)) xyz = sp->ControlPoints();
    if (xyz.size() >= 3) return acad::Point3d{xyz[0], xyz[1], xyz[2]};
    return std::nullopt;
}

}  // namespace

// The elevation of every entity standing at X,Y (StandOf).
void Execution::ExpectZAt(const Statement& s)
{
    const acad::Point3d p = PointArg(s, 2);
    std::size_t next = 0;
    acad::Block& space = SpaceArg(s, 3, next);
    const auto want = Value(s, next);
    std::string wrong;
    bool any = false;
    for (acad::Entity* e : space) {
        const auto at = StandOf(e);
        if (!at || !Near(*at, p)) continue;
        any = true;
        char z[64];
        std::snprintf(z, sizeof z, "%.10g", at->z);
        if (!Matches(want.second, z, want.first)) wrong += (wrong.empty() ? "" : ", ") + e->ObjectName() + " at Z " + z;
    }
    if (!any) throw StepError("an entity at " + A(s, 2) + " with Z " + Quote(want.second), "no entity there");
    if (!wrong.empty()) throw StepError("every entity at " + A(s, 2) + " with Z " + Quote(want.second), wrong);
}

void Execution::ExpectTextAt(const Statement& s)
{
    const acad::Point3d p = PointArg(s, 2);
    std::size_t next = 0;
    acad::Block& space = SpaceArg(s, 3, next);
    const auto want = Value(s, next);
    std::string seen;
    for (acad::Entity* e : space) {
        std::string text;
        if (auto* t = dynamic_cast<acad::Text*>(e))
            text = t->TextString();
        else if (auto* m = dynamic_cast<acad::MText*>(e))
            text = m->TextString();
        else
            continue;
        // An aligned text stands at its alignment point.
        const auto at = PlaceOf(e);
        const auto* tb = dynamic_cast<acad::TextBase*>(e);
        const bool alinhado = tb && tb->Alignment() != 0 && Near(tb->TextAlignmentPoint(), p);
        if (!alinhado && (!at || !Near(*at, p))) continue;
        if (Matches(want.second, text, want.first)) return;
        seen += (seen.empty() ? "" : ", ") + Quote(text);
    }
    throw StepError("a text at " + A(s, 2) + (want.first ? " containing " : " reading ") + Quote(want.second),
                    seen.empty() ? "no text there" : "the texts " + seen);
}

void Execution::ExpectCell(const Statement& s, forms::Form* context)
{
    forms::Control& c = Resolve(A(s, 1), context);
    auto* grid = dynamic_cast<forms::FlexGrid*>(&c);
    if (!grid) throw StepError(ControlName(c) + " is not a grid");
    const auto row = ParseInteger(A(s, 2)), col = ParseInteger(A(s, 3));
    if (!row || !col || *row < 0 || *col < 0 || *row >= grid->Rows() || *col >= grid->Cols())
        throw StepError("a cell ROW COL of " + ControlName(c) + " (" + std::to_string(grid->Rows()) + " rows, " +
                            std::to_string(grid->Cols()) + " columns, from 0)",
                        A(s, 2) + " " + A(s, 3));
    const auto want = Value(s, 4);
    const std::string text = grid->TextMatrix(*row, *col);
    if (!Matches(want.second, text, want.first))
        throw StepError((want.first ? "a text containing " : "") + Quote(want.second), Quote(text));
    const std::size_t back = (s.Arg(4).Is("contains") ? 6 : 5);
    if (back < s.Args()) {
        const std::string w = A(s, back + 1);
        std::optional<long long> colour;
        if (w.size() > 2 && (w.rfind("&H", 0) == 0 || w.rfind("&h", 0) == 0)) {
            std::string hex = w.substr(2);
            if (!hex.empty() && hex.back() == '&') hex.pop_back();
            try {
                std::size_t used = 0;
                colour = std::stoll(hex, &used, 16);
                if (used != hex.size()) colour.reset();
            } catch (const std::exception&) {
            }
        } else if (const auto v = ParseInteger(w)) {
            colour = *v;
        }
        if (!colour) throw StepError("a colour number (16777215 or &HFFFFFF&)", Quote(w));
        const long found = forms::CellBackColorAt(*grid, *row, *col);
        if (found != *colour) {
            char hex[32];
            std::snprintf(hex, sizeof hex, "&H%06lX&", static_cast<unsigned long>(found));
            throw StepError("the back colour " + w, std::to_string(found) + " (" + hex + ")");
        }
    }
}

void Execution::ExpectOpened(const Statement& s)
{
    const std::string path = A(s, 1);
    std::string seen;
    for (const auto& l : launches_) {
        for (const auto& a : l.arguments)
            if (a == path) return;
        std::string line = l.program;
        for (const auto& a : l.arguments) line += " " + a;
        seen += "\n            " + Quote(line);
    }
    throw StepError("the file " + path + " handed to its program",
                    launches_.empty() ? "no program started" : "the programs started" + seen);
}

// ------------------------------------------------------------------ words

std::string Execution::Expand(const Word& w) const
{
    const std::string& r = w.raw;
    std::string out;
    for (std::size_t i = 0; i < r.size();) {
        if (w.quoted && r[i] == '\\' && i + 1 < r.size()) {
            const char c = r[i + 1];
            switch (c) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case '"':
            case '\\':
            case '$': out += c; break;
            default: out += r.substr(i, 2);
            }
            i += 2;
            continue;
        }
        if (r[i] == '$' && i + 1 < r.size() && r[i + 1] == '{') {
            const auto close = r.find('}', i + 2);
            if (close == std::string::npos) throw StepError("${NAME} with its closing brace", Quote(r.substr(i)));
            const std::string name = r.substr(i + 2, close - i - 2);
            const auto it = vars_.find(name);
            if (it == vars_.end()) throw StepError("a known variable", "${" + name + "}");
            out += it->second;
            i = close + 1;
            continue;
        }
        out += r[i++];
    }
    return out;
}

std::pair<bool, std::string> Execution::Value(const Statement& s, std::size_t i) const
{
    if (s.Arg(i).Is("contains")) return {true, A(s, i + 1)};
    return {false, A(s, i)};
}

acad::Point3d Execution::PointArg(const Statement& s, std::size_t i) const
{
    const std::string t = A(s, i);
    const auto p = acad::input::ParsePoint(t);
    if (!p) throw StepError("a point x,y or x,y,z", Quote(t));
    return *p;
}

// ------------------------------------------------------------------ the program

void Execution::NotRunning() const
{
    if (runs_ == 0) throw StepError("the program is not running (no start yet)");
    throw StepError("the program is not running (it ended during " +
                    (endedBy_ ? Location(script_, *endedBy_) : std::string("its start")) + ")");
}

forms::Form& Execution::Base(forms::Form* context) const
{
    if (context) return *context;
    if (!ProgramRunning()) NotRunning();
    return *form1_;
}

forms::Control& Execution::Resolve(const std::string& path, forms::Form* context) const
{
    forms::Form* base = context ? context : (ProgramRunning() ? form1_ : nullptr);
    if (forms::Control* c = FindControl(path, base)) return *c;
    NotRunning();
}

acad::Application& Execution::Host() const
{
    if (!ProgramRunning()) NotRunning();
    if (!host_) throw StepError("the program runs without a drawing host (start nohost)");
    return *host_;
}

acad::Document& Execution::Drawing() const { return *Host().ActiveDocument(); }

}  // namespace

// ------------------------------------------------------------------ Runner

Runner::Runner(RunnerOptions options) : options_(std::move(options)), procedures_(SystemProcedures()) {}

Runner::~Runner() = default;

void Runner::Register(const std::string& name, Procedure procedure) { procedures_[name] = std::move(procedure); }

RunResult Runner::Run(const Script& script)
{
    Execution x(options_, procedures_, script);
    return x.Run();
}

RunResult Runner::RunFile(const std::string& path)
{
    try {
        return Run(LoadScript(path));
    } catch (const SyntaxError& e) {
        return {false, fs::path(path).filename().string() + ":" + std::to_string(e.Line()) + ": " + e.what() + "\n"};
    } catch (const std::exception& e) {
        return {false, std::string(e.what()) + "\n"};
    }
}

RunResult Runner::RunText(const std::string& name, const std::string& text)
{
    try {
        return Run(ParseScript(name, text));
    } catch (const SyntaxError& e) {
        return {false, name + ":" + std::to_string(e.Line()) + ": " + e.what() + "\n"};
    }
}

void Runner::SetTimeoutHandler(std::function<void(const std::string& report)> handler)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    TimeoutHandler() = std::move(handler);
}

RunnerOptions OptionsFromEnvironment()
{
    RunnerOptions o;
    auto env = [](const char* name) -> std::string {
        const char* v = std::getenv(name);
        return v ? v : "";
    };
    o.binFolder = env("QUORIL_BIN_DIR");
    o.sourceFolder = env("QUORIL_SOURCE_DIR");
    if (const auto t = acad::input::ParseReal(env("QUORIL_E2E_TIMEOUT")); t && *t > 0)
        o.timeout = std::chrono::milliseconds(static_cast<long long>(*t * 1000));
    o.keepFolders = !env("QUORIL_E2E_KEEP").empty();
    if (!env("QUORIL_E2E_TRACE").empty()) o.trace = &std::cerr;
    return o;
}

}  // namespace e2e
