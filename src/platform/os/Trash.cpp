#include "platform/os/Trash.h"

#include "platform/os/FileUtil.h"
#include "platform/FileReplacement.h"
#include "platform/SystemErrorText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;
using os::detail::Describe;

namespace os {

namespace {

const char* const kWhat = "mover {} para a lixeira";

fs::path HomeFolder()
{
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

// Missing folders of the trash are private to the user, as the
// freedesktop.org trash rules ask.
bool MakePrivateDirs(const fs::path& dir)
{
    fs::path built;
    for (const auto& part : dir) {
        built /= part;
        if (::mkdir(built.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    return false;
}

// The user's file is what could not be moved; the trash is why.
Status TrashNotWritable(const fs::path& file, const fs::path& trash, int err)
{
    return Status::Fail(Describe(
        kWhat, file, "a lixeira '" + trash.string() + "' não pôde ser gravada (" + platform::ErrnoText(err) + ")"));
}

// Path values are stored escaped as in URLs; "/" stays as it is.
std::string Escape(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.' || c == '~' || c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string Now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
    return buf;
}

const std::string kInfoSuffix = ".trashinfo";

// The first `size` bytes of `s`, cut between characters, never inside one.
std::string Cut(const std::string& s, std::size_t size)
{
    if (size >= s.size()) return s;
    while (size > 0 && (static_cast<unsigned char>(s[size]) & 0xC0) == 0x80) --size;
    return s.substr(0, size);
}

// "rede.dwg", "rede.2.dwg", "rede.3.dwg", ... A name whose record (the name
// with ".trashinfo") would pass the folder's name limit is shortened in its
// stem: the record keeps the whole path the file came from.
std::string NumberedName(const fs::path& name, int n, std::size_t limit)
{
    const std::string stem = name.stem().string();
    const std::string tail = (n == 1 ? std::string() : "." + std::to_string(n)) + name.extension().string();
    std::string numbered = n == 1 ? name.string() : stem + tail;
    if (numbered.size() <= limit) return numbered;
    if (tail.size() >= limit) return Cut(numbered, limit);
    return Cut(stem, limit - tail.size()) + tail;
}

// The longest name the trash's records allow for a file in it.
std::size_t NameLimit(const fs::path& info)
{
    long limit = ::pathconf(info.c_str(), _PC_NAME_MAX);
    if (limit <= 0) limit = NAME_MAX;
    return static_cast<std::size_t>(std::max<long>(limit - static_cast<long>(kInfoSuffix.size()), 1));
}

bool Within(const fs::path& inner, const fs::path& outer)
{
    const fs::path rel = inner.lexically_relative(outer);
    return !rel.empty() && *rel.begin() != "..";
}

bool WriteAll(int fd, const std::string& s)
{
    std::size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string HomeTrashFolder()
{
    const char* x = std::getenv("XDG_DATA_HOME");
    // The XDG base directory rules ignore a relative value.
    const fs::path base = (x && x[0] == '/') ? fs::path(x) : HomeFolder() / ".local" / "share";
    return (base / "Trash").string();
}

Status MoveToTrash(const std::string& path)
{
    if (path.empty()) return Status::Fail("Não foi possível mover para a lixeira: falta o nome do arquivo.");
    std::error_code ec;
    fs::path p = fs::absolute(path, ec).lexically_normal();
    if (p.has_parent_path() && p.filename().empty()) p = p.parent_path();  // "folder/" names the folder
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return Status::Fail(Describe(kWhat, p, errno));
    if (p == p.root_path()) return Status::Fail(Describe(kWhat, p, EPERM));

    const fs::path trash = HomeTrashFolder();
    if (Within(p, trash) || p == trash)
        return Status::Fail("Não foi possível mover '" + p.string() + "' para a lixeira: já está na lixeira.");
    if (Within(trash, p))
        return Status::Fail("Não foi possível mover '" + p.string() +
                            "' para a lixeira: a pasta contém a própria lixeira.");
    const fs::path files = trash / "files", info = trash / "info";
    if (!MakePrivateDirs(files) || !MakePrivateDirs(info)) return TrashNotWritable(p, trash, errno);

    // The info file is created first and exclusively: it reserves the name,
    // so two programs trashing at once never take the same one.
    const std::string record = "[Trash Info]\nPath=" + Escape(p.string()) + "\nDeletionDate=" + Now() + "\n";
    fs::path infoFile, dest;
    const std::size_t limit = NameLimit(info);
    for (int n = 1;; ++n) {
        if (n > 100000) return TrashNotWritable(p, trash, EEXIST);
        const std::string name = NumberedName(p.filename(), n, limit);
        infoFile = info / (name + kInfoSuffix);
        const int fd = ::open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return TrashNotWritable(p, trash, errno);
        }
        dest = files / name;
        struct stat taken {};
        if (::lstat(dest.c_str(), &taken) == 0) {  // a file left without its record
            ::close(fd);
            ::unlink(infoFile.c_str());
            continue;
        }
        const bool written = WriteAll(fd, record);
        const int err = errno;
        if (::close(fd) != 0 || !written) {
            ::unlink(infoFile.c_str());
            return TrashNotWritable(p, trash, written ? errno : err);
        }
        break;
    }
    const auto fail = [&](const std::string& msg) {
        ::unlink(infoFile.c_str());
        return Status::Fail(msg);
    };

    if (::rename(p.c_str(), dest.c_str()) == 0) return Status::Ok();
    if (errno != EXDEV) return fail(Describe(kWhat, p, errno));

    // Another file system: copy into the home trash, then delete. Deleting
    // must be possible before anything is copied.
    if (::access(p.parent_path().c_str(), W_OK | X_OK) != 0) return fail(Describe(kWhat, p, errno));
    if (S_ISREG(st.st_mode)) {
        // A file's bytes by our own copy, whose failure says why (a full disk).
        const int out = ::open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        int err = out < 0 ? errno : platform::CopyBytes(p, out);
        if (out >= 0 && ::close(out) != 0 && !err) err = errno;
        if (err) ec = std::error_code(err, std::generic_category());
    } else {
        fs::copy(p, dest, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove_all(dest, ignored);
        return fail(Describe(kWhat, p, ec));
    }
    fs::remove_all(p, ec);
    if (ec) {
        struct stat still {};
        if (::lstat(p.c_str(), &still) != 0) return Status::Ok();  // gone after all
        if (S_ISDIR(st.st_mode)) {
            // Part of the folder may be gone already: the full copy in the
            // trash is the only complete one, so it stays there.
            return Status::Fail(
                Describe("mover {} para a lixeira (copiado para a lixeira, mas não todo removido)", p, ec));
        }
        // The file is untouched: take its copy back out of the trash.
        std::error_code ignored;
        fs::remove_all(dest, ignored);
        return fail(Describe(kWhat, p, ec));
    }
    return Status::Ok();
}

}  // namespace os
