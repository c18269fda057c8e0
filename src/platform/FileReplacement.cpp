#include "platform/FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/SystemErrorText.h"

namespace platform {

namespace {

// The permissions of the file replaced, or those a new file would get.
mode_t ModeFor(const std::filesystem::path& target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Room a writer that works on the temporary by name takes beside it for files
// of its own: a database's "-journal", a workbook library's ".XXXXXX".
constexpr long kRoomForWriters = 16;

// The temporary's template in `folder`: hidden, named like the target, and
// short enough for the folder's file system with the writers' room to spare,
// so that a file whose own name is at the limit can still be replaced. The
// name is cut between characters, never inside one.
std::string TemporaryName(const std::filesystem::path& folder, const std::string& name)
{
    long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (limit <= 0) limit = NAME_MAX;
    const std::string suffix = ".XXXXXX";
    const long room = limit - kRoomForWriters - 1 - static_cast<long>(suffix.size());
    std::size_t keep = std::min(name.size(), static_cast<std::size_t>(std::max(room, 1L)));
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    return (folder / ("." + name.substr(0, keep) + suffix)).string();
}

// Why the temporary could not be made. A folder the user may not write to is
// named as such: "permission denied" alone would point at the file he chose,
// which he may well be allowed to write.
std::string CannotCreate(int err, const std::filesystem::path& folder)
{
    if (err == EACCES || err == EPERM) {
        std::error_code ec;
        const std::filesystem::path shown = std::filesystem::absolute(folder, ec);
        return "Sem permissão para gravar na pasta \"" + (ec ? folder : shown).string() + "\"";
    }
    return ErrnoText(err);
}

}  // namespace

FileReplacement::FileReplacement(const std::filesystem::path& target) : target_(target), written_(Destination(target))
{
    if (IsReadOnly(written_)) {
        error_ = kReadOnly;
        readOnly_ = true;
        return;
    }
    // A folder is never replaced by a file, also when its name is typed
    // with a "/" at its end (which would otherwise make the temporary inside it).
    struct stat st {};
    if (::stat(written_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error_ = ErrnoText(EISDIR);
        return;
    }
    const std::filesystem::path folder = written_.has_parent_path() ? written_.parent_path() : ".";
    temp_ = TemporaryName(folder, written_.filename().string());
    const int fd = ::mkstemp(temp_.data());
    if (fd < 0) {
        error_ = CannotCreate(errno, folder);
        temp_.clear();
        return;
    }
    shownAs_ = temp_;
    ::fchmod(fd, ModeFor(written_));
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        Fail();
        ::close(fd);
        Abandon();
    }
}

FileReplacement::~FileReplacement() { Abandon(); }

std::filesystem::path FileReplacement::Destination(const std::filesystem::path& path)
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

bool FileReplacement::IsReadOnly(const std::filesystem::path& file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    if (::access(file.c_str(), W_OK) != 0) return errno == EACCES || errno == EROFS || errno == EPERM;
    return ::geteuid() == 0 && (st.st_mode & 0222) == 0;
}

bool FileReplacement::CopyFrom(const std::filesystem::path& source)
{
    if (!file_) return false;
    // Nothing was written through File() yet: the bytes go in from its start.
    const int out = ::fileno(file_);
    int err = ::ftruncate(out, 0) != 0 || ::lseek(out, 0, SEEK_SET) != 0 ? errno : 0;
    if (!err) err = CopyBytes(source, out);
    if (err) error_ = ErrnoText(err);
    return err == 0;
}

int CopyBytes(const std::filesystem::path& source, int out)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat st {};
    int err = ::fstat(in, &st) != 0 ? errno : 0;
    std::vector<char> buf(1 << 17);
    while (!err) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n < 0) err = errno;
            break;
        }
        for (ssize_t done = 0; done < n && !err;) {
            const ssize_t w = ::write(out, buf.data() + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno != EINTR) err = errno;
            if (w > 0) done += w;
        }
    }
    if (!err && ::fchmod(out, st.st_mode & 07777) != 0) err = errno;
    ::close(in);
    return err;
}

std::string FileReplacement::NamingTarget(std::string message) const
{
    if (shownAs_.empty()) return message;
    const std::string name = target_.string();
    for (std::size_t at = message.find(shownAs_); at != std::string::npos;
         at = message.find(shownAs_, at + name.size()))
        message.replace(at, shownAs_.size(), name);
    return message;
}

bool FileReplacement::Commit()
{
    if (!file_) return false;
    bool ok = Sync();
    if (std::fclose(file_) != 0 && ok) {
        ok = false;
        Fail();
    }
    file_ = nullptr;
    if (ok && std::rename(temp_.c_str(), written_.c_str()) != 0) {
        ok = false;
        Fail();
    }
    if (ok) {
        temp_.clear();
        SyncFolder();
    }
    Abandon();
    return ok;
}

bool FileReplacement::Sync()
{
    if (!file_) return false;
    if (std::fflush(file_) == 0 && SyncToDisk()) return true;
    Fail();
    return false;
}

// The new name to the disk. The file is in place already whatever this says:
// a folder that cannot be synced (some file systems refuse) fails nothing.
void FileReplacement::SyncFolder() const
{
    const std::filesystem::path folder = written_.has_parent_path() ? written_.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The file at Path() to the disk: the one written through File(), or the one
// a writer working by name put there in its place.
bool FileReplacement::SyncToDisk()
{
    const int own = ::fileno(file_);
    struct stat mine {
    }, there{};
    if (::fstat(own, &mine) == 0 && ::stat(temp_.c_str(), &there) == 0 && mine.st_dev == there.st_dev &&
        mine.st_ino == there.st_ino)
        return ::fsync(own) == 0;
    const int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

void FileReplacement::Abandon()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

void FileReplacement::Fail() { error_ = ErrnoText(errno); }

}  // namespace platform
