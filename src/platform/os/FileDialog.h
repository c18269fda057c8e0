#pragma once
// File open and save dialogs and the folder browser, with the options the
// system's dialogs take: title, initial folder, a filter written as
// "AutoCAD Drawing *.dwg|*.dwg|Todos *.*|*.*", the default extension, the
// option flags (same values as the system's: 2 asks before overwriting), the
// proposed name. A cancelled dialog gives ok = false and error 0, as the
// system's common dialogs do.

#include "platform/os/Dialogs.h"
#include "platform/os/Window.h"

#include <string>
#include <vector>

namespace os {

// Option flags, with the values the system's dialogs use.
constexpr long kOverwritePrompt = 0x2;     // Save: ask before replacing an existing file
constexpr long kAllowMultiSelect = 0x200;  // Open: several files of one folder
constexpr long kPathMustExist = 0x800;     // Open: the folder of a typed name must exist
constexpr long kFileMustExist = 0x1000;    // Open: the file must exist

// Error code of a dialog that could not be shown at all (no application and no driver).
constexpr long kDialogFailure = 0xFFFF;

struct FileDialogOptions {
    std::string title;
    std::string initialDir;  // where it opens, unless the proposed name has a folder that exists
    std::string filter;
    int filterIndex = 1;     // 1-based
    std::string defaultExt;  // without the dot
    std::string fileName;    // proposed name, with or without a folder; a name typed alone goes where it opened
    long flags = 0;
    WindowHandle owner = 0;
};

struct FileDialogResult {
    bool ok = false;
    std::string fileName;            // full path of the (first) chosen file
    std::string fileTitle;           // its name without folder
    std::string folder;              // its folder, ending with "/"
    std::vector<std::string> files;  // every chosen file, full paths (one unless multi-select)
    int filterIndex = 0;             // filter in use when the dialog closed (1-based)
    long error = 0;                  // 0 when cancelled, kDialogFailure when no dialog could be shown
};

FileDialogResult ShowOpenDialog(const FileDialogOptions& options);
FileDialogResult ShowSaveDialog(const FileDialogOptions& options);

struct FolderDialogResult {
    bool ok = false;
    std::string path;  // the chosen folder, without a trailing "/" (except the root)
    long error = 0;
};

FolderDialogResult BrowseForFolder(const std::string& title, const std::string& startFolder = {},
                                   WindowHandle owner = 0);

// The description/pattern pairs of a "|"-separated filter; an unpaired last
// description is ignored.
std::vector<FileFilter> ParseFilter(const std::string& filter);

}  // namespace os
