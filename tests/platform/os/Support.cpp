#include "Support.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ostest {

void EnsureQtApp()
{
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_os";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down among the other static objects at exit crashes.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

TempDir::TempDir()
{
    std::string templ = (std::filesystem::temp_directory_path() / "quoril-os-XXXXXX").string();
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name)
{
    if (const char* v = std::getenv(name)) old_ = v;
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (old_)
        ::setenv(name_.c_str(), old_->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

namespace {

bool WriteText(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// A mount of our own, seen by this process only; without the right to
// mount, in a user namespace of our own where we have it.
bool PrivateMounts()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const std::string uid = std::to_string(::getuid()), gid = std::to_string(::getgid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        WriteText("/proc/self/setgroups", "deny");
        if (!WriteText("/proc/self/uid_map", "0 " + uid + " 1") || !WriteText("/proc/self/gid_map", "0 " + gid + " 1"))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

}  // namespace

std::optional<std::string> OnAFullDisk(const std::string& folder, std::size_t bytes,
                                       const std::function<std::string()>& check)
{
    int channel[2];
    if (::pipe(channel) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const std::string size = "size=" + std::to_string(bytes);
        if (!PrivateMounts() || ::mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) != 0) std::_Exit(2);
        std::string seen;
        try {
            seen = check();
        } catch (const std::exception& e) {
            seen = std::string("exception: ") + e.what();
        }
        for (std::size_t done = 0; done < seen.size();) {
            const ssize_t n = ::write(channel[1], seen.data() + done, seen.size() - done);
            if (n <= 0) std::_Exit(3);
            done += static_cast<std::size_t>(n);
        }
        std::_Exit(0);
    }
    ::close(channel[1]);
    std::string seen;
    char buf[4096];
    for (ssize_t n; (n = ::read(channel[0], buf, sizeof buf)) > 0;) seen.append(buf, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return std::nullopt;  // no mount
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the check ended abnormally: " + std::to_string(status);
    return seen;
}

}  // namespace ostest
