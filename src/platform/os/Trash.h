#pragma once
// Moving files to the user's trash, following the freedesktop.org trash
// rules, so that they can be restored from any file manager. No
// question is asked.

#include "platform/os/Status.h"

#include <string>

namespace os {

// The home trash: $XDG_DATA_HOME/Trash, by default ~/.local/share/Trash.
std::string HomeTrashFolder();

// Moves a file, a link or a folder to the home trash, with a .trashinfo
// record of its original path and the deletion time. A name already in the
// trash gets a number ("rede.2.dwg"). A file on another file system is
// copied into the trash and then deleted. A missing path, or one that cannot
// be removed, is a failure and leaves everything as it was.
Status MoveToTrash(const std::string& path);

}  // namespace os
