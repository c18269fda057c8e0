#include "platform/os/Files.h"

#include "platform/os/FileUtil.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace os {

namespace detail {

std::string Describe(const std::string& what, const fs::path& path, int errnum)
{
    return what + ": " + path.string() + ": " + std::strerror(errnum);
}

std::string Describe(const std::string& what, const fs::path& path, const std::error_code& ec)
{
    return what + ": " + path.string() + ": " + ec.message();
}

fs::path MakeTempBeside(const fs::path& target)
{
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    std::string templ = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(templ.data());
    if (fd < 0) return {};
    ::close(fd);
    return templ;
}

} // namespace detail

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

Status CopyFile(const std::string& source, const std::string& target)
{
    std::error_code ec;
    if (!FileExists(source)) return Status::Fail(detail::Describe("copy", source, ENOENT));
    if (target.empty()) return Status::Fail("copy: no target name given for " + source);
    if (FolderExists(target)) return Status::Fail(detail::Describe("copy", target, EISDIR));
    if (fs::exists(target, ec) && fs::equivalent(source, target, ec))
        return Status::Fail("copy: " + source + " and " + target + " are the same file");
    const fs::path tmp = detail::MakeTempBeside(target);
    if (tmp.empty()) return Status::Fail(detail::Describe("copy", target, errno));
    const auto undo = [&](const std::string& msg) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return Status::Fail(msg);
    };
    if (!fs::copy_file(source, tmp, fs::copy_options::overwrite_existing, ec))
        return undo(detail::Describe("copy " + source + " to", target, ec));
    fs::permissions(tmp, fs::status(source, ec).permissions(), ec);
    fs::rename(tmp, target, ec);
    if (ec) return undo(detail::Describe("copy " + source + " to", target, ec));
    return Status::Ok();
}

Status DeleteFile(const std::string& path)
{
    if (FolderExists(path)) return Status::Fail(detail::Describe("delete", path, EISDIR));
    if (::unlink(path.c_str()) != 0) return Status::Fail(detail::Describe("delete", path, errno));
    return Status::Ok();
}

std::string SystemFolder() { return "/usr/bin"; }

} // namespace os
