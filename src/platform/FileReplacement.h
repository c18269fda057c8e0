#pragma once
// Writing a file in place of another only once it is complete: the text goes
// to a hidden temporary file in the same folder (same file system, so the
// final rename is atomic), which takes the permissions of the file it
// replaces, is flushed to disk and only then renamed over the target. A
// failure at any step, or a replacement dropped before Commit, removes the
// temporary and leaves the old file as it was.
// A file the user may not write is refused, not replaced behind his back (the
// folder's permission would allow the rename), and a symbolic link is written
// through to the file it names, so the link stays a link.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/SystemErrorText.h"

namespace platform {

class FileReplacement {
public:
    explicit FileReplacement(const std::filesystem::path& target) : target_(target), written_(Destination(target))
    {
        if (IsReadOnly(written_)) {
            error_ = kReadOnly;
            return;
        }
        const std::filesystem::path folder = written_.has_parent_path() ? written_.parent_path() : ".";
        std::string name = "." + written_.filename().string() + ".XXXXXX";
        temp_ = (folder / name).string();
        const int fd = ::mkstemp(temp_.data());
        if (fd < 0) {
            Fail();
            temp_.clear();
            return;
        }
        ::fchmod(fd, ModeFor(written_));
        file_ = ::fdopen(fd, "wb");
        if (!file_) {
            Fail();
            ::close(fd);
            Abandon();
        }
    }
    ~FileReplacement() { Abandon(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Null when the temporary file could not be made (Error() says why).
    std::FILE* File() const { return file_; }
    // The temporary file's name, for a writer that works by name once what
    // was written through File() is flushed (a workbook driver, which may put
    // a new file there); Commit puts in place whatever file is there then.
    const std::string& Path() const { return temp_; }
    bool IsOpen() const { return file_ != nullptr; }
    const std::filesystem::path& Target() const { return target_; }
    // The reason for the last failure, in Portuguese.
    const std::string& Error() const { return error_; }

    static constexpr const char* kReadOnly = "O arquivo é somente leitura";

    // The file that writing `path` changes: the one a symbolic link (or a
    // chain of them) names, else `path` itself.
    static std::filesystem::path Destination(const std::filesystem::path& path)
    {
        std::filesystem::path p = path;
        for (int hops = 0; hops < 40; ++hops) {
            std::error_code ec;
            if (!std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec)) || ec) return p;
            const std::filesystem::path next = std::filesystem::read_symlink(p, ec);
            if (ec) return p;
            p = next.is_absolute() ? next : p.parent_path() / next;
        }
        return p;
    }

    // True for an existing file the user may not write. Root passes every
    // permission check, yet a file nobody may write is one he, too, means to
    // keep; a read-only disk refuses everyone.
    static bool IsReadOnly(const std::filesystem::path& file)
    {
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
        if (::access(file.c_str(), W_OK) != 0) return errno == EACCES || errno == EROFS || errno == EPERM;
        return ::geteuid() == 0 && (st.st_mode & 0222) == 0;
    }

    // Puts the written file in place of the target; false (and the target
    // untouched) when the data could not reach the disk.
    bool Commit()
    {
        if (!file_) return false;
        bool ok = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
        if (!ok) Fail();
        if (std::fclose(file_) != 0 && ok) {
            ok = false;
            Fail();
        }
        file_ = nullptr;
        if (ok && std::rename(temp_.c_str(), written_.c_str()) != 0) {
            ok = false;
            Fail();
        }
        if (ok) temp_.clear();
        Abandon();
        return ok;
    }

    // Drops what was written; the target stays as it was.
    void Abandon()
    {
        if (file_) std::fclose(file_);
        file_ = nullptr;
        if (!temp_.empty()) ::unlink(temp_.c_str());
        temp_.clear();
    }

private:
    // The permissions of the file replaced, or those a new file would get.
    static mode_t ModeFor(const std::filesystem::path& target)
    {
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }
    void Fail() { error_ = ErrnoText(errno); }

    std::filesystem::path target_;
    std::filesystem::path written_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    std::string error_;
};

} // namespace platform
