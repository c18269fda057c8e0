#include "platform/os/Files.h"

#include "platform/os/FileUtil.h"
#include "platform/os/Trash.h"
#include "platform/FileReplacement.h"
#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace os {

namespace detail {

namespace {
std::string Sentence(const std::string& what, const fs::path& path, const std::string& reason)
{
    const std::string quoted = "'" + path.string() + "'";
    std::string action = what;
    if (const auto at = action.find("{}"); at != std::string::npos)
        action.replace(at, 2, quoted);
    else
        action += " " + quoted;
    return "Não foi possível " + action + ": " + reason + ".";
}
}  // namespace

std::string Describe(const std::string& what, const fs::path& path, int errnum)
{
    return Sentence(what, path, platform::ErrnoText(errnum));
}

std::string Describe(const std::string& what, const fs::path& path, const std::error_code& ec)
{
    return Sentence(what, path, platform::ErrnoText(ec));
}

std::string Describe(const std::string& what, const fs::path& path, const std::string& reason)
{
    return Sentence(what, path, reason);
}

}  // namespace detail

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::exists(path, ec) && !fs::is_directory(path, ec);
}

bool FolderExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

namespace {

// What refuses a copy before anything is made beside the target.
Status CanCopy(const std::string& source, const std::string& target)
{
    std::error_code ec;
    if (!FileExists(source)) return Status::Fail(detail::Describe("copiar", source, ENOENT));
    if (target.empty()) return Status::Fail("Não foi possível copiar '" + source + "': falta o nome do destino.");
    if (FolderExists(target)) return Status::Fail(detail::Describe("copiar para", target, EISDIR));
    if (fs::exists(target, ec) && fs::equivalent(source, target, ec))
        return Status::Fail("Não foi possível copiar '" + source + "' para '" + target + "': é o mesmo arquivo.");
    return Status::Ok();
}

// `source` into the copy made for its target, once CanCopy agreed.
Status Fill(const std::string& source, platform::FileReplacement& copy)
{
    const std::string target = copy.Target().string();
    // A link keeps pointing at the copy; a file the user may not write stays.
    if (copy.TargetIsReadOnly())
        return Status::Fail("Não foi possível copiar para '" + target + "': " + platform::FileReplacement::kReadOnly +
                            ".");
    if (!copy.IsOpen()) return Status::Fail(detail::Describe("copiar para", target, copy.Error()));
    if (!copy.CopyFrom(source))
        return Status::Fail(detail::Describe("copiar '" + source + "' para", target, copy.Error()));
    return Status::Ok();
}

// The copy in the target's place, an existing target to the trash first when
// asked; `what` names the step in the message of a failed rename.
Status PutInPlace(platform::FileReplacement& copy, bool trashOld, const std::string& what)
{
    std::error_code ec;
    const std::string target = copy.Target().string();
    if (trashOld && fs::exists(fs::symlink_status(copy.Written(), ec))) {
        // What the copy became (a database filled after it) is to be on the
        // disk before the old file is gone.
        if (!copy.Sync()) return Status::Fail(detail::Describe(what, target, copy.Error()));
        const Status trashed = MoveToTrash(copy.Written().string());
        if (!trashed)
            return Status::Fail("Não foi possível enviar '" + target + "' à lixeira, e ele continua como estava.\r\n" +
                                trashed.message);
    }
    if (!copy.Commit()) return Status::Fail(detail::Describe(what, target, copy.Error()));
    return Status::Ok();
}

Status Copy(const std::string& source, const std::string& target, bool trashOld)
{
    if (Status can = CanCopy(source, target); !can) return can;
    platform::FileReplacement copy(target);
    if (Status copied = Fill(source, copy); !copied) return copied;
    return PutInPlace(copy, trashOld, "copiar '" + source + "' para");
}

}  // namespace

Status CopyFileInto(const std::string& source, platform::FileReplacement& copy)
{
    if (Status can = CanCopy(source, copy.Target().string()); !can) return can;
    return Fill(source, copy);
}

Status CopyFile(const std::string& source, const std::string& target) { return Copy(source, target, false); }

Status CopyFileTrashingOld(const std::string& source, const std::string& target) { return Copy(source, target, true); }

Status ReplaceTrashingOld(platform::FileReplacement& copy) { return PutInPlace(copy, true, "gravar"); }

Status DeleteFile(const std::string& path)
{
    if (FolderExists(path)) return Status::Fail(detail::Describe("excluir", path, EISDIR));
    if (::unlink(path.c_str()) != 0) return Status::Fail(detail::Describe("excluir", path, errno));
    return Status::Ok();
}

std::string SystemFolder() { return "/usr/bin"; }

}  // namespace os
