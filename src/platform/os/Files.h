#pragma once
// Plain file operations with a result the caller can test and a description
// of what failed.

#include "platform/os/Status.h"

#include <string>

namespace platform {
class FileReplacement;
}

namespace os {

// True for an existing file (anything but a folder), following links.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Copies `source` over `target` (replacing it when it exists). The copy is
// written beside the target first and put in its place at the end, so a copy
// that fails half way leaves an existing target as it was.
Status CopyFile(const std::string& source, const std::string& target);
// The same, but an existing target goes to the trash, once the copy is
// complete beside it and just before the copy takes its name. A target that
// cannot go to the trash stops it: the copy is dropped, the target stays.
Status CopyFileTrashingOld(const std::string& source, const std::string& target);

// The two halves of CopyFileTrashingOld, for a caller that completes the copy
// before it takes the target's place: `source` copied into `copy` (made for
// the target), with the same checks; then an existing target to the trash
// and the copy in its place. The target is not touched until the second.
Status CopyFileInto(const std::string& source, platform::FileReplacement& copy);
Status ReplaceTrashingOld(platform::FileReplacement& copy);

// Deletes one file (not a folder). A missing file is a failure.
Status DeleteFile(const std::string& path);

// The folder of the system's own programs: the working folder of helper
// programs started on the user's behalf.
std::string SystemFolder();

}  // namespace os
