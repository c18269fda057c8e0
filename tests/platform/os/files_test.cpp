#include "Support.h"

#include "platform/os/Files.h"
#include "platform/os/TextFile.h"
#include "platform/os/Ticks.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <dlfcn.h>
#include <regex>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace ostest;

namespace {

// What reached the disk, and in what order, while a test watches.
std::vector<std::string>* gDiskLog = nullptr;

std::string PathOf(int fd)
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : "?";
}

template <typename Fn>
Fn Real(const char* name)
{
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

// The system's own calls, watched on their way.
extern "C" int fsync(int fd)
{
    static const auto real = Real<int (*)(int)>("fsync");
    if (gDiskLog) gDiskLog->push_back("fsync " + PathOf(fd));
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    static const auto real = Real<int (*)(const char*, const char*)>("rename");
    if (gDiskLog) gDiskLog->push_back(std::string("rename ") + from + " > " + to);
    return real(from, to);
}

TEST(Files, CopyReplacesAnExistingTargetAndKeepsTheSourcesPermissions)
{
    TempDir dir;
    WriteBytes(dir / "modelo.mdb", "template contents");
    WriteBytes(dir / "saida.mdb", "old output, much longer than the template");
    ::chmod((dir / "modelo.mdb").c_str(), 0640);

    const auto s = os::CopyFile(dir / "modelo.mdb", dir / "saida.mdb");
    ASSERT_TRUE(s) << s.message;
    EXPECT_EQ(ReadBytes(dir / "saida.mdb"), "template contents");
    EXPECT_EQ(ReadBytes(dir / "modelo.mdb"), "template contents");
    struct stat st {};
    ::stat((dir / "saida.mdb").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary file is left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    ASSERT_TRUE(os::CopyFile(dir / "modelo.mdb", dir / "nova.mdb"));
    EXPECT_EQ(ReadBytes(dir / "nova.mdb"), "template contents");

    // A name at the system's limit is replaced as any other, by a copy and by
    // the text writer: the hidden copy beside it keeps within the limit.
    const std::string longo = dir / (std::string(NAME_MAX - 4, 'n') + ".mdb");
    WriteBytes(longo, "old");
    ASSERT_TRUE(os::CopyFile(dir / "modelo.mdb", longo));
    EXPECT_EQ(ReadBytes(longo), "template contents");
    ASSERT_TRUE(os::WriteTextLines(longo, {"x"}));
    EXPECT_EQ(ReadBytes(longo), "x\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

TEST(Files, FailedCopiesNameWhatFailedAndLeaveTheTargetAlone)
{
    TempDir dir;
    WriteBytes(dir / "saida.mdb", "keep me");

    auto s = os::CopyFile(dir / "falta.mdb", dir / "saida.mdb");
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("falta.mdb"), std::string::npos) << s.message;
    EXPECT_EQ(ReadBytes(dir / "saida.mdb"), "keep me");

    // Copying a file onto itself must not destroy it.
    s = os::CopyFile(dir / "saida.mdb", dir.path() + "/./saida.mdb");
    EXPECT_FALSE(s);
    EXPECT_EQ(ReadBytes(dir / "saida.mdb"), "keep me");

    // Into a folder that does not exist.
    s = os::CopyFile(dir / "saida.mdb", dir / "nao/existe.mdb");
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("existe.mdb"), std::string::npos) << s.message;

    // Over a folder.
    std::filesystem::create_directory(dir / "pasta");
    EXPECT_FALSE(os::CopyFile(dir / "saida.mdb", dir / "pasta"));
    EXPECT_TRUE(os::FolderExists(dir / "pasta"));
}

TEST(Files, ExistenceAndDeletion)
{
    TempDir dir;
    WriteBytes(dir / "a.dxf", "0\nEOF\n");
    std::filesystem::create_directory(dir / "sub");

    EXPECT_TRUE(os::FileExists(dir / "a.dxf"));
    EXPECT_FALSE(os::FileExists(dir / "sub"));
    EXPECT_FALSE(os::FileExists(dir / "b.dxf"));
    EXPECT_FALSE(os::FileExists(""));
    EXPECT_TRUE(os::FolderExists(dir / "sub"));
    EXPECT_FALSE(os::FolderExists(dir / "a.dxf"));

    EXPECT_TRUE(os::DeleteFile(dir / "a.dxf"));
    EXPECT_FALSE(os::FileExists(dir / "a.dxf"));
    const auto again = os::DeleteFile(dir / "a.dxf");
    EXPECT_FALSE(again);
    EXPECT_NE(again.message.find("a.dxf"), std::string::npos);
    EXPECT_FALSE(os::DeleteFile(dir / "sub"));
    EXPECT_TRUE(os::FolderExists(dir / "sub"));

    EXPECT_TRUE(os::FolderExists(os::SystemFolder()));
}

TEST(Ticks, CountMillisecondsForward)
{
    const long long t0 = os::TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const long long t1 = os::TickCount();
    EXPECT_GE(t1 - t0, 20);
    EXPECT_LT(t1 - t0, 10000);
}

namespace {

// Runs `f` in a child process as the unprivileged user "nobody" and returns
// its exit code; -1 when this process cannot become someone else.
int AsNobody(const std::function<int()>& f)
{
    if (::geteuid() != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(100);
        std::_Exit(f());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

TEST(Files, AReplacedFileMustBeWritableAndALinkStaysALink)
{
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);  // the folder lets anyone rename files in it

    // A file nobody may write: refused by the text writer and by a copy, even
    // for root (whom the system lets write anything); file and mode unchanged.
    WriteBytes(dir / "protegido.txt", "keep me");
    ::chmod((dir / "protegido.txt").c_str(), 0444);
    auto s = os::WriteTextLines(dir / "protegido.txt", {"novo"});
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("protegido.txt"), std::string::npos) << s.message;
    EXPECT_NE(s.message.find("somente leitura"), std::string::npos) << s.message;
    WriteBytes(dir / "fonte.txt", "source");
    s = os::CopyFile(dir / "fonte.txt", dir / "protegido.txt");
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("somente leitura"), std::string::npos) << s.message;
    EXPECT_EQ(ReadBytes(dir / "protegido.txt"), "keep me");
    EXPECT_EQ(ModeOf(dir / "protegido.txt"), 0444u);

    // The same for an ordinary user: someone else's file he may not write, and
    // his own read-only one, stay; his own writable one is replaced.
    WriteBytes(dir / "alheio.txt", "root's");
    ::chmod((dir / "alheio.txt").c_str(), 0644);
    WriteBytes(dir / "meu.txt", "mine");
    WriteBytes(dir / "meu_protegido.txt", "mine, kept");
    ::chown((dir / "meu.txt").c_str(), 65534, 65534);
    ::chown((dir / "meu_protegido.txt").c_str(), 65534, 65534);
    ::chmod((dir / "meu_protegido.txt").c_str(), 0444);
    const int code = AsNobody([&] {
        if (os::WriteTextLines(dir / "alheio.txt", {"x"})) return 1;
        if (os::CopyFile(dir / "fonte.txt", dir / "alheio.txt")) return 2;
        if (os::WriteTextLines(dir / "meu_protegido.txt", {"x"})) return 3;
        if (!os::WriteTextLines(dir / "meu.txt", {"novo"})) return 4;
        return 0;
    });
    if (code != -1) {
        EXPECT_EQ(code, 0);
        EXPECT_EQ(ReadBytes(dir / "alheio.txt"), "root's");
        EXPECT_EQ(ReadBytes(dir / "meu_protegido.txt"), "mine, kept");
        EXPECT_EQ(ReadBytes(dir / "meu.txt"), "novo\r\n");
    }

    // Links, relative and in a chain: the file at the end changes, with its
    // own permissions; every link stays a link.
    std::filesystem::create_directory(dir / "dados");
    WriteBytes(dir / "dados/real.txt", "old");
    ::chmod((dir / "dados/real.txt").c_str(), 0640);
    std::filesystem::create_symlink("dados/real.txt", dir / "atalho.txt");
    std::filesystem::create_symlink(dir / "atalho.txt", dir / "atalho2.txt");
    ASSERT_TRUE(os::WriteTextLines(dir / "atalho2.txt", {"novo"}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "atalho.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "atalho2.txt"));
    EXPECT_EQ(ReadBytes(dir / "dados/real.txt"), "novo\r\n");
    EXPECT_EQ(ModeOf(dir / "dados/real.txt"), 0640u);
    ASSERT_TRUE(os::CopyFile(dir / "fonte.txt", dir / "atalho.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "atalho.txt"));
    EXPECT_EQ(ReadBytes(dir / "dados/real.txt"), "source");
    // A link to a file not made yet makes it.
    std::filesystem::create_symlink("dados/nova.txt", dir / "futuro.txt");
    ASSERT_TRUE(os::WriteTextLines(dir / "futuro.txt", {"1"}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "futuro.txt"));
    EXPECT_EQ(ReadBytes(dir / "dados/nova.txt"), "1\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "dados"), {}), 2);
}

TEST(Files, FailuresAreToldInPortugueseWithTheFilesName)
{
    TempDir dir;
    auto s = os::CopyFile(dir / "falta.mdb", dir / "saida.mdb");
    EXPECT_EQ(s.message, "Não foi possível copiar '" + dir / "falta.mdb" + "': Arquivo ou pasta não encontrado.");
    s = os::WriteTextLines(dir / "nao/existe.txt", {"x"});
    EXPECT_EQ(s.message, "Não foi possível criar o arquivo de texto '" + dir / "nao/existe.txt" +
                             "': Arquivo ou pasta não encontrado.");
    s = os::DeleteFile(dir / "falta.dwg");
    EXPECT_EQ(s.message, "Não foi possível excluir '" + dir / "falta.dwg" + "': Arquivo ou pasta não encontrado.");

    // A disk that takes no more (a file size limit here): the old file stays.
    WriteBytes(dir / "rede.txt", "old");
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const auto r = os::WriteTextLines(dir / "rede.txt", std::vector<std::string>(500, "linha longa o bastante"));
        std::_Exit(r.message == "Não foi possível gravar o arquivo de texto '" + dir / "rede.txt" +
                                    "': Arquivo grande demais."
                       ? 0
                       : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadBytes(dir / "rede.txt"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    // A full disk is told as such, naming the file; the old file stays.
    WriteBytes(dir / "modelo.mdb", std::string(200000, 'm'));
    std::filesystem::create_directory(dir / "cheio");
    const std::string target = dir / "cheio/saida.mdb";
    const auto full = OnAFullDisk(dir / "cheio", 64 * 1024, [&] {
        WriteBytes(target, "old");
        const auto r = os::CopyFile(dir / "modelo.mdb", target);
        return r.message + "|" + ReadBytes(target) + "|" +
               std::to_string(std::distance(std::filesystem::directory_iterator(dir / "cheio"), {}));
    });
    if (!full) GTEST_SKIP() << "no memory file system can be mounted here";
    EXPECT_EQ(*full, "Não foi possível copiar '" + dir / "modelo.mdb" + "' para '" + target +
                         "': Espaço insuficiente no disco.|old|1");
}

// A replaced file is on the disk before it takes its name, and the name
// after it: after a power cut, the old file or the new one, never an empty one.
TEST(Files, ANewFileIsOnTheDiskBeforeItTakesItsNameAndTheNameAfter)
{
    TempDir dir;
    ScopedEnv home{"HOME", dir.path()};
    ScopedEnv xdg{"XDG_DATA_HOME", std::nullopt};
    const std::string d = std::filesystem::canonical(dir.path()).string();
    WriteBytes(dir / "modelo.mdb", "template");
    WriteBytes(dir / "saida.mdb", "old");
    std::filesystem::create_directory(dir / "dados");
    std::filesystem::create_symlink("dados/real.txt", dir / "atalho.txt");
    std::vector<std::string> log;
    const auto watched = [&](const std::function<bool()>& step) {
        log.clear();
        gDiskLog = &log;
        const bool ok = step();
        gDiskLog = nullptr;
        EXPECT_TRUE(ok);
        // The hidden copy's random name, and the folder's, shortened.
        std::vector<std::string> said;
        for (const std::string& e : log)
            said.push_back(std::regex_replace(
                std::regex_replace(e, std::regex("[^ ]*/\\.[^ /]+\\.[A-Za-z0-9]{6}"), "novo"), std::regex(d), "D"));
        return said;
    };
    using Said = std::vector<std::string>;
    EXPECT_EQ(watched([&] { return bool(os::CopyFile(dir / "modelo.mdb", dir / "saida.mdb")); }),
              (Said{"fsync novo", "rename novo > D/saida.mdb", "fsync D"}));
    // The old file goes to the trash only once the new one is on the disk.
    EXPECT_EQ(watched([&] { return bool(os::CopyFileTrashingOld(dir / "modelo.mdb", dir / "saida.mdb")); }),
              (Said{"fsync novo", "rename D/saida.mdb > D/.local/share/Trash/files/saida.mdb", "fsync novo",
                    "rename novo > D/saida.mdb", "fsync D"}));
    EXPECT_EQ(watched([&] { return bool(os::WriteTextLines(dir / "atalho.txt", {"x"})); }),
              (Said{"fsync novo", "rename novo > D/dados/real.txt", "fsync D/dados"}));
    EXPECT_EQ(ReadBytes(dir / "saida.mdb"), "template");
    EXPECT_EQ(ReadBytes(dir / ".local/share/Trash/files/saida.mdb"), "template");
}
