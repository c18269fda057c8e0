#include "platform/os/FileDialog.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace os {

namespace {

bool IsFile(const fs::path& p)
{
    std::error_code ec;
    return fs::exists(p, ec) && !fs::is_directory(p, ec);
}

bool IsFolder(const fs::path& p)
{
    std::error_code ec;
    return fs::is_directory(p, ec);
}

// A typed name is relative to the folder the dialog shows.
fs::path Resolve(const std::string& answer, const std::string& initialDir)
{
    fs::path p(answer);
    if (p.is_relative()) {
        std::error_code ec;
        fs::path base = initialDir.empty() ? fs::current_path(ec) : fs::path(initialDir);
        p = base / p;
    }
    return p.lexically_normal();
}

// The default extension is added to a name typed without one; when opening,
// a file that exists under the name as typed is still taken.
fs::path WithDefaultExt(const fs::path& p, const std::string& ext, bool opening)
{
    if (ext.empty() || p.filename().empty() || p.has_extension()) return p;
    fs::path with = p;
    with += "." + ext;
    if (opening && !IsFile(with) && IsFile(p)) return p;
    return with;
}

std::string DefaultTitle(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Save: return "Salvar como";
    case DialogKind::Folder: return "Procurar pasta";
    default: return "Abrir";
    }
}

// Why a chosen name cannot be taken (the dialog then says so and stays open), or "".
// Names the program builds may join folders with "\", so the drawing host
// reads every "\" as a separator: a "\" inside a folder's or file's name
// would lead to another file than the one chosen.
std::string Refusal(DialogKind kind, long flags, const std::vector<fs::path>& chosen)
{
    for (const auto& p : chosen) {
        const std::string s = p.string();
        if (s.find('\\') != std::string::npos) {
            if (kind == DialogKind::Folder)
                return "A pasta " + s +
                       " tem \"\\\" no nome, que o programa lê como separador de pastas.\nEscolha outra pasta.";
            return s +
                   "\nNomes de arquivos e pastas com \"\\\" não podem ser usados: o programa lê \"\\\" como "
                   "separador de pastas.\nEscolha outro nome ou outra pasta.";
        }
        if (kind == DialogKind::Folder) {
            if (!IsFolder(p)) return "A pasta " + s + " não existe.";
            continue;
        }
        if (IsFolder(p)) return s + " é uma pasta.\nEscolha um arquivo.";
        const fs::path parent = p.parent_path();
        const bool mustExist = kind == DialogKind::Open && (flags & (kFileMustExist | kAllowMultiSelect));
        if (mustExist && !IsFile(p))
            return s + "\nArquivo não encontrado.\nVerifique se o nome do arquivo está correto.";
        const bool pathMustExist = kind == DialogKind::Save || (flags & kPathMustExist);
        if (pathMustExist && !parent.empty() && !IsFolder(parent))
            return s + "\nA pasta não existe.\nVerifique se o caminho está correto.";
    }
    return {};
}

// A proposed name with a folder opens the dialog there (beside the drawing,
// for a name made from the drawing's), as the system's dialogs do; otherwise
// it opens in its initial folder. A name typed alone goes where it opened.
std::string InitialFolder(const FileDialogOptions& o)
{
    const fs::path p(o.fileName);
    return p.is_absolute() && IsFolder(p.parent_path()) ? p.parent_path().string() : o.initialDir;
}

FileDialogResult RunFileDialog(DialogKind kind, const FileDialogOptions& options)
{
    FileDialogResult result;
    if (!DialogsAvailable()) {
        result.error = kDialogFailure;
        return result;
    }
    FileDialogOptions o = options;
    o.initialDir = InitialFolder(options);
    DialogRequest req;
    req.kind = kind;
    req.owner = o.owner;
    req.title = o.title;
    req.initialDir = o.initialDir;
    req.fileName = o.fileName;
    req.filters = ParseFilter(o.filter);
    req.filterIndex = o.filterIndex;
    req.defaultExt = o.defaultExt;
    req.flags = o.flags;
    const std::string title = o.title.empty() ? DefaultTitle(kind) : o.title;
    for (;;) {
        const DialogAnswer a = Ask(req);
        if (!a.accepted || a.paths.empty()) return result;  // cancelled: error 0
        if (a.filterIndex > 0) req.filterIndex = a.filterIndex;
        std::vector<fs::path> chosen;
        for (const auto& p : a.paths)
            chosen.push_back(WithDefaultExt(Resolve(p, o.initialDir), o.defaultExt, kind == DialogKind::Open));
        req.fileName = chosen.front().string();
        if (const std::string why = Refusal(kind, o.flags, chosen); !why.empty()) {
            ShowWarning(o.owner, title, why);
            continue;
        }
        if (kind == DialogKind::Save && (o.flags & kOverwritePrompt) && IsFile(chosen.front())) {
            DialogRequest confirm;
            confirm.kind = DialogKind::Confirm;
            confirm.owner = o.owner;
            confirm.title = title;
            confirm.text = chosen.front().filename().string() + " já existe.\nDeseja substituí-lo?";
            confirm.fileName = chosen.front().string();
            if (!Ask(confirm).accepted) continue;
        }
        result.ok = true;
        for (const auto& p : chosen) result.files.push_back(p.string());
        result.fileName = result.files.front();
        result.fileTitle = chosen.front().filename().string();
        result.folder = chosen.front().parent_path().string();
        if (result.folder.empty() || result.folder.back() != '/') result.folder += '/';
        result.filterIndex = req.filterIndex;
        return result;
    }
}

}  // namespace

std::vector<FileFilter> ParseFilter(const std::string& filter)
{
    // Pieces between "|" in order, empty ones kept; the rest after the last
    // "|" only when it is not empty.
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        const auto bar = filter.find('|', start);
        if (bar == std::string::npos) {
            if (start < filter.size()) pieces.push_back(filter.substr(start));
            break;
        }
        pieces.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<FileFilter> out;
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) out.push_back({pieces[i], pieces[i + 1]});
    return out;
}

FileDialogResult ShowOpenDialog(const FileDialogOptions& options) { return RunFileDialog(DialogKind::Open, options); }

FileDialogResult ShowSaveDialog(const FileDialogOptions& options) { return RunFileDialog(DialogKind::Save, options); }

FolderDialogResult BrowseForFolder(const std::string& title, const std::string& startFolder, WindowHandle owner)
{
    FolderDialogResult result;
    if (!DialogsAvailable()) {
        result.error = kDialogFailure;
        return result;
    }
    DialogRequest req;
    req.kind = DialogKind::Folder;
    req.owner = owner;
    req.title = title;
    req.initialDir = startFolder;
    for (;;) {
        const DialogAnswer a = Ask(req);
        if (!a.accepted || a.paths.empty()) return result;
        fs::path p = Resolve(a.paths.front(), startFolder);
        if (const std::string why = Refusal(DialogKind::Folder, 0, {p}); !why.empty()) {
            ShowWarning(owner, title.empty() ? DefaultTitle(DialogKind::Folder) : title, why);
            continue;
        }
        std::string s = p.string();
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        result.ok = true;
        result.path = s;
        return result;
    }
}

}  // namespace os
