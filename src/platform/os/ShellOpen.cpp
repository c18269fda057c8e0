#include "platform/os/ShellOpen.h"

#include "platform/os/DesktopApps.h"
#include "platform/os/Dialogs.h"
#include "platform/os/FileUtil.h"
#include "platform/ProcessState.h"

#include <QMimeDatabase>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace os {

namespace {

LaunchHook& Hook()
{
    static LaunchHook hook;
    return hook;
}
const platform::ProcessStateReset kResetHook([] { Hook() = nullptr; });

const char* const kAnyFile = "application/octet-stream";

bool LaunchCommand(const std::vector<std::string>& cmd, const std::string& dir)
{
    if (cmd.empty()) return false;
    return Launch({cmd.front(), {cmd.begin() + 1, cmd.end()}, dir});
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

}  // namespace

LaunchHook SetLaunchHook(LaunchHook hook)
{
    LaunchHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

bool Launch(const LaunchRequest& request)
{
    if (Hook()) {
        LaunchHook hook = Hook();
        return hook(request);
    }
    if (request.program.empty()) return false;
    QStringList args;
    for (const auto& a : request.arguments) args << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(request.program), args,
                                   QString::fromStdString(request.workingDir));
}

std::vector<std::string> MimeTypesOf(const std::string& path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString(path));
    std::vector<std::string> out{type.name().toStdString()};
    for (const QString& t : type.allAncestors()) out.push_back(t.toStdString());
    return out;
}

OpenResult ShellOpen(const std::string& path, WindowHandle owner)
{
    std::error_code ec;
    if (path.empty() || !fs::exists(path, ec)) return {OpenOutcome::Failed, detail::Describe("abrir", path, ENOENT)};
    const fs::path abs = fs::absolute(path, ec).lexically_normal();
    const std::string file = abs.string();
    const std::string dir = fs::is_directory(abs, ec) ? file : abs.parent_path().string();
    const auto types = MimeTypesOf(file);
    const AppRegistry registry = AppRegistry::Load();

    // Every file derives from the generic binary type; a program registered
    // for that (a hex viewer) is offered, never used without asking.
    std::string failed;
    for (const auto& type : types) {
        if (type == kAnyFile) continue;
        if (const DesktopApp* app = registry.DefaultFor(type)) {
            if (LaunchCommand(CommandForFile(app->exec, file, app), dir)) return {OpenOutcome::Opened, {}};
            failed = app->name;
            break;
        }
    }

    // Programs for the file's types first, then any other program that opens files.
    std::vector<const DesktopApp*> candidates;
    for (const auto& type : types)
        for (const DesktopApp* a : registry.AppsFor(type))
            if (std::find(candidates.begin(), candidates.end(), a) == candidates.end()) candidates.push_back(a);
    std::vector<const DesktopApp*> others;
    for (const auto& a : registry.All())
        if (a.TakesFiles() && !a.noDisplay && std::find(candidates.begin(), candidates.end(), &a) == candidates.end())
            others.push_back(&a);
    std::stable_sort(others.begin(), others.end(),
                     [](const DesktopApp* a, const DesktopApp* b) { return Lower(a->name) < Lower(b->name); });
    candidates.insert(candidates.end(), others.begin(), others.end());

    const std::string name = abs.filename().string();
    if (!DialogsAvailable()) {
        return {OpenOutcome::Failed,
                failed.empty() ? "Não foi possível abrir '" + file + "': nenhum programa está associado ao seu tipo."
                               : "Não foi possível abrir '" + file + "': " + failed + " não pôde ser iniciado."};
    }
    DialogRequest req;
    req.kind = DialogKind::ChooseProgram;
    req.owner = owner;
    req.title = "Abrir com";
    req.text = (failed.empty() ? "Nenhum programa está associado ao arquivo \"" + name + "\"."
                               : "Não foi possível iniciar " + failed + " para abrir \"" + name + "\".") +
               "\nEscolha o programa com que abri-lo:";
    req.fileName = file;
    for (const DesktopApp* a : candidates) req.candidates.push_back(a->name);
    for (;;) {
        const DialogAnswer a = Ask(req);
        if (!a.accepted) return {OpenOutcome::Cancelled, {}};
        const bool listed = a.choice >= 0 && a.choice < static_cast<int>(candidates.size());
        const auto cmd = listed ? CommandForFile(candidates[a.choice]->exec, file, candidates[a.choice])
                                : CommandForFile(a.command, file);
        if (LaunchCommand(cmd, dir)) return {OpenOutcome::OpenedChosen, {}};
        const std::string what = listed ? candidates[a.choice]->name : a.command;
        ShowWarning(owner, req.title, "Não foi possível iniciar \"" + what + "\".");
    }
}

}  // namespace os
