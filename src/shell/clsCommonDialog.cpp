#include "shell/clsCommonDialog.h"

#include "platform/acad/Application.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/RunningObjects.h"
#include "platform/forms/Form.h"
#include "platform/os/FileDialog.h"

namespace {

// The owner's window as the platform's dialogs know it: found by its caption.
os::WindowHandle JanelaDe(forms::Form* Owner)
{
    if (!Owner || Owner->Caption().empty()) return 0;
    return os::FindWindowByTitle(Owner->Caption());
}

// Splits at the delimiter: the parts between delimiters in order, empty ones
// kept; what follows the last delimiter only when it is not empty.
std::vector<std::string> Divide(const std::string& text, char delimiter)
{
    std::vector<std::string> partes;
    std::string::size_type start = 0, at;
    while ((at = text.find(delimiter, start)) != std::string::npos) {
        partes.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    if (start < text.size()) partes.push_back(text.substr(start));
    return partes;
}

// Where a dialog given no folder opens, as the host's own dialogs do: beside
// the drawing shown, or where a drawing never saved lies. Neither the folder
// the program was started from (its own files, "IniFile.txt" among them) nor
// the last one some other dialog visited.
std::string PastaDoDesenho()
{
    try {
        if (acad::Document* doc = acad::GetObject(acad::kProgID)->ActiveDocument()) return doc->Path();
    } catch (const acad::Error&) {
        // No host, or no drawing open in it.
    }
    return acad::NewDrawingFolder().string();
}

std::string SemBarraFinal(const std::string& folder)
{
    if (folder.size() > 1 && folder.back() == '/') return folder.substr(0, folder.size() - 1);
    return folder;
}

}  // namespace

long clsCommonDialog::ShowOpen(forms::Form* Owner) { return Show(Owner, false); }

long clsCommonDialog::ShowSave(forms::Form* Owner) { return Show(Owner, true); }

long clsCommonDialog::Show(forms::Form* Owner, bool save)
{
    os::FileDialogOptions o;
    o.title = dialogTitle_;
    o.initialDir = initDir_.empty() ? PastaDoDesenho() : initDir_;
    o.filter = filter_;
    o.filterIndex = filterIndex_ > 0 ? filterIndex_ : 1;
    o.defaultExt = defaultExt_;
    o.fileName = filename_;
    o.flags = flags_;
    o.owner = JanelaDe(Owner);
    const os::FileDialogResult r = save ? os::ShowSaveDialog(o) : os::ShowOpenDialog(o);
    if (!r.ok) {
        lastError_ = r.error;
        return 0;
    }
    lastError_ = 0;
    fileTitle_ = r.fileTitle;
    path_ = r.folder;
    if (r.files.size() > 1) {
        // Several files of one folder: the folder, then each name, NUL-separated.
        filename_ = SemBarraFinal(r.folder);
        for (const std::string& f : r.files) {
            filename_ += '\0';
            filename_ += f.substr(f.find_last_of('/') + 1);
        }
    } else {
        filename_ = r.fileName;
    }
    return 1;
}

long clsCommonDialog::Browse(forms::Form* Owner)
{
    const os::FolderDialogResult r = os::BrowseForFolder(dialogTitle_, initDir_, JanelaDe(Owner));
    if (!r.ok) {
        lastError_ = r.error;
        return 0;
    }
    lastError_ = 0;
    path_ = r.path;
    return 1;
}

std::vector<std::string> clsCommonDialog::ParseFileNames() const
{
    const std::vector<std::string> partes = Divide(filename_, '\0');
    if (partes.size() <= 1) return {filename_};
    const std::string folder = SemBarraFinal(partes[0]);
    std::vector<std::string> files;
    for (std::size_t k = 1; k < partes.size(); ++k)
        files.push_back(folder == "/" ? folder + partes[k] : folder + "/" + partes[k]);
    return files;
}
