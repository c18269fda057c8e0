#pragma once
// The file dialogs and the folder browser, with their settings kept as
// properties between calls on the same object, and the chosen file split into
// full name, title and folder.
//
//     clsCommonDialog dlg;
//     dlg.SetDialogTitle("Salvar Planilha");
//     dlg.SetFilter("Planilha do MSExcel *.xls|*.xls");
//     dlg.SetDefaultExt("xls");
//     dlg.SetFLAGS(2);                         // ask before overwriting
//     if (dlg.ShowSave(gMainForm) > 0) use(dlg.Filename());

#include <string>
#include <vector>

namespace forms {
class Form;
}

class clsCommonDialog {
public:
    // Folder the open and save dialogs open in, unless the proposed name has
    // a folder of its own; when empty, the folder of the drawing shown in the
    // host (for a drawing never saved, the user's documents).
    std::string InitDir() const { return initDir_; }
    void SetInitDir(const std::string& v) { initDir_ = v; }
    // Title of the dialog; the prompt of Browse.
    std::string DialogTitle() const { return dialogTitle_; }
    void SetDialogTitle(const std::string& v) { dialogTitle_ = v; }
    // Pairs of description and pattern, all separated by "|", kept unchanged.
    std::string Filter() const { return filter_; }
    void SetFilter(const std::string& v) { filter_ = v; }
    // Extension added when the user types none ("dwg", "xls", ...).
    std::string DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& v) { defaultExt_ = v; }
    // Before a dialog: the proposed name. After a successful one: the chosen
    // full path; for several files of one folder, the folder and the names
    // separated by NUL characters (see ParseFileNames).
    std::string Filename() const { return filename_; }
    void SetFilename(const std::string& v) { filename_ = v; }
    // The chosen name without its folder.
    std::string FileTitle() const { return fileTitle_; }
    // The folder of the chosen file, with its trailing "/"; after Browse, the chosen folder.
    std::string Path() const { return path_; }
    // Filter pair selected first (1 = the first).
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int v) { filterIndex_ = v; }
    // Option flags of the open and save dialogs, passed unchanged (2 asks
    // before overwriting; 0x200 allows several files).
    long FLAGS() const { return flags_; }
    void SetFLAGS(long v) { flags_ = v; }
    // Kept for the callers that set it; names of any length are returned whole.
    int MaxFileSize() const { return maxFileSize_; }
    void SetMaxFileSize(int v) { maxFileSize_ = v; }
    // Why the last dialog chose nothing: 0 when the user cancelled.
    long LastError() const { return lastError_; }

    // The open and save dialogs over Owner. Nonzero when a file was chosen;
    // otherwise Filename, FileTitle and Path are left as they were.
    long ShowOpen(forms::Form* Owner);
    long ShowSave(forms::Form* Owner);
    // The folder browser over Owner; nonzero when a folder was chosen (Path).
    long Browse(forms::Form* Owner);

    // The chosen files as full paths: Filename itself for one file, the
    // folder joined to each name for several.
    std::vector<std::string> ParseFileNames() const;

private:
    long Show(forms::Form* Owner, bool save);

    std::string initDir_, dialogTitle_, filter_, defaultExt_, filename_, fileTitle_, path_;
    int filterIndex_ = 0;
    long flags_ = 0;
    int maxFileSize_ = 256;
    long lastError_ = 0;
};
