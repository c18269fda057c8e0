#include "Support.h"

#include "platform/os/TextFile.h"
#include "platform/os/Trash.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <cmath>
#include <ctime>
#include <sys/stat.h>

using namespace ostest;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> Info(const std::string& file)
{
    std::vector<std::string> lines;
    os::ReadTextLines(file, lines);
    std::map<std::string, std::string> out;
    EXPECT_FALSE(lines.empty());
    if (!lines.empty()) {
        EXPECT_EQ(lines[0], "[Trash Info]");
    }
    for (const auto& l : lines)
        if (auto eq = l.find('='); eq != std::string::npos) out[l.substr(0, eq)] = l.substr(eq + 1);
    return out;
}

struct TrashTest : ::testing::Test {
    TempDir home;
    ScopedEnv h{"HOME", home.path()};
    ScopedEnv x{"XDG_DATA_HOME", std::nullopt};
    std::string trash = home / ".local/share/Trash";
};

}  // namespace

TEST_F(TrashTest, AFileGoesToTheHomeTrashWithItsRecord)
{
    EXPECT_EQ(os::HomeTrashFolder(), trash);
    fs::create_directories(home / "Dados Rede");
    const std::string file = home / "Dados Rede/saída 1.xls";
    WriteBytes(file, "workbook");

    const auto s = os::MoveToTrash(file);
    ASSERT_TRUE(s) << s.message;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(ReadBytes(trash + "/files/saída 1.xls"), "workbook");
    const auto info = Info(trash + "/info/saída 1.xls.trashinfo");
    EXPECT_EQ(info.at("Path"), home.path() + "/Dados%20Rede/sa%C3%ADda%201.xls");
    // Local time, to the second, in the form the freedesktop.org trash rules give.
    std::tm tm{};
    tm.tm_isdst = -1;
    const std::string date = info.at("DeletionDate");
    const char* end = ::strptime(date.c_str(), "%Y-%m-%dT%H:%M:%S", &tm);
    ASSERT_TRUE(end && *end == '\0') << date;
    EXPECT_LE(std::abs(std::difftime(std::mktime(&tm), std::time(nullptr))), 60.0) << date;
    struct stat st {};
    ::stat(trash.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(TrashTest, NamesAlreadyInTheTrashGetANumber)
{
    for (int i = 0; i < 3; ++i) {
        WriteBytes(home / "rede.dwg", "v" + std::to_string(i));
        ASSERT_TRUE(os::MoveToTrash(home / "rede.dwg"));
    }
    // A file in files/ left without its record is not overwritten either.
    WriteBytes(trash + "/files/rede.4.dwg", "orphan");
    WriteBytes(home / "rede.dwg", "v3");
    ASSERT_TRUE(os::MoveToTrash(home / "rede.dwg"));

    EXPECT_EQ(ReadBytes(trash + "/files/rede.dwg"), "v0");
    EXPECT_EQ(ReadBytes(trash + "/files/rede.2.dwg"), "v1");
    EXPECT_EQ(ReadBytes(trash + "/files/rede.3.dwg"), "v2");
    EXPECT_EQ(ReadBytes(trash + "/files/rede.4.dwg"), "orphan");
    EXPECT_EQ(ReadBytes(trash + "/files/rede.5.dwg"), "v3");
    EXPECT_FALSE(fs::exists(trash + "/info/rede.4.dwg.trashinfo"));
    for (const char* n : {"rede.dwg", "rede.2.dwg", "rede.3.dwg", "rede.5.dwg"})
        EXPECT_EQ(Info(trash + "/info/" + n + ".trashinfo").at("Path"), home / "rede.dwg") << n;

    // A name at the system's limit (255 bytes) is shortened in the trash, where
    // its record takes ".trashinfo" more, between letters of two bytes; the
    // record keeps the whole name.
    const auto letras = [](int n, const std::string& c) {
        std::string s;
        for (int i = 0; i < n; ++i) s += c;
        return s;
    };
    const std::string longo = letras(125, "ç") + "a.dwg";
    ASSERT_EQ(longo.size(), 255u);
    for (int i = 0; i < 2; ++i) {
        WriteBytes(home / longo, "v" + std::to_string(i));
        const auto s = os::MoveToTrash(home / longo);
        ASSERT_TRUE(s) << s.message;
    }
    const std::string primeiro = letras(120, "ç") + ".dwg", segundo = letras(119, "ç") + ".2.dwg";
    EXPECT_EQ(ReadBytes(trash + "/files/" + primeiro), "v0");
    EXPECT_EQ(ReadBytes(trash + "/files/" + segundo), "v1");
    for (const std::string& n : {primeiro, segundo})
        EXPECT_EQ(Info(trash + "/info/" + n + ".trashinfo").at("Path"),
                  home.path() + "/" + letras(125, "%C3%A7") + "a.dwg");
}

TEST_F(TrashTest, FoldersAndXdgDataHome)
{
    TempDir data;
    ScopedEnv xdg{"XDG_DATA_HOME", data.path()};
    EXPECT_EQ(os::HomeTrashFolder(), data / "Trash");
    fs::create_directories(home / "proj/sub");
    WriteBytes(home / "proj/sub/a.txt", "a");
    ASSERT_TRUE(os::MoveToTrash(home / "proj/"));
    EXPECT_FALSE(fs::exists(home / "proj"));
    EXPECT_EQ(ReadBytes(data / "Trash/files/proj/sub/a.txt"), "a");
    EXPECT_EQ(Info(data / "Trash/info/proj.trashinfo").at("Path"), home / "proj");
}

TEST_F(TrashTest, FailuresLeaveEverythingAsItWas)
{
    auto s = os::MoveToTrash(home / "falta.dwg");
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("falta.dwg"), std::string::npos);

    WriteBytes(home / "x.dwg", "x");
    ASSERT_TRUE(os::MoveToTrash(home / "x.dwg"));
    EXPECT_FALSE(os::MoveToTrash(trash + "/files/x.dwg"));  // already there
    EXPECT_TRUE(fs::exists(trash + "/files/x.dwg"));
    EXPECT_FALSE(os::MoveToTrash(home / ".local"));  // would swallow the trash itself
    EXPECT_TRUE(fs::exists(trash + "/files/x.dwg"));
    EXPECT_FALSE(os::MoveToTrash(""));
}

TEST_F(TrashTest, ATrashThatCannotBeWrittenIsToldWithTheUsersFile)
{
    const std::string file = home / "rede.dwg";
    WriteBytes(file, "drawing");
    // A file where the trash's folder would be.
    WriteBytes(home / "dados", "not a folder");
    {
        ScopedEnv xdg{"XDG_DATA_HOME", home / "dados"};
        const auto s = os::MoveToTrash(file);
        EXPECT_EQ(s.message, "Não foi possível mover '" + file + "' para a lixeira: a lixeira '" +
                                 home / "dados/Trash" + "' não pôde ser gravada (Parte do caminho não é uma pasta).");
    }
    // A trash on a full disk: its record cannot be written.
    fs::create_directories(home / "cheio");
    const auto full = OnAFullDisk(home / "cheio", 64 * 1024, [&] {
        WriteBytes(home / "cheio/enche", std::string(64 * 1024, 'x'));
        ScopedEnv xdg{"XDG_DATA_HOME", home / "cheio"};
        return os::MoveToTrash(file).message + "|" + ReadBytes(file);
    });
    EXPECT_EQ(ReadBytes(file), "drawing");
    if (!full) GTEST_SKIP() << "no memory file system can be mounted here";
    EXPECT_EQ(*full, "Não foi possível mover '" + file + "' para a lixeira: a lixeira '" + home / "cheio/Trash" +
                         "' não pôde ser gravada (Espaço insuficiente no disco).|drawing");
    // Room for the record, not for the copy a trash on another disk takes.
    WriteBytes(home / "grande.dwg", std::string(64 * 1024, 'g'));
    const auto noRoom = OnAFullDisk(home / "cheio", 64 * 1024, [&] {
        WriteBytes(home / "cheio/enche", std::string(48 * 1024, 'x'));
        ScopedEnv xdg{"XDG_DATA_HOME", home / "cheio"};
        const std::string said = os::MoveToTrash(home / "grande.dwg").message;
        std::error_code ec;
        return said + "|" + std::to_string(std::distance(fs::directory_iterator(home / "cheio/Trash/files", ec), {})) +
               std::to_string(std::distance(fs::directory_iterator(home / "cheio/Trash/info", ec), {}));
    });
    EXPECT_EQ(*noRoom,
              "Não foi possível mover '" + home / "grande.dwg" + "' para a lixeira: Espaço insuficiente no disco.|00");
    EXPECT_EQ(ReadBytes(home / "grande.dwg").size(), 64u * 1024u);
}

TEST_F(TrashTest, AFileOnAnotherFileSystemIsCopiedThenDeleted)
{
    // /dev/shm is a memory file system on most machines; skip where it is not
    // separate from the temporary folder.
    struct stat a {
    }, b{};
    if (::stat("/dev/shm", &a) != 0 || ::stat(home.path().c_str(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system available";
    char templ[] = "/dev/shm/quoril-os-XXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    const std::string other = templ;
    WriteBytes(other + "/levantamento.txt", "P1 10 20 30");
    fs::create_directories(other + "/pasta/sub");
    WriteBytes(other + "/pasta/sub/b.txt", "b");

    const auto s = os::MoveToTrash(other + "/levantamento.txt");
    EXPECT_TRUE(s) << s.message;
    EXPECT_FALSE(fs::exists(other + "/levantamento.txt"));
    EXPECT_EQ(ReadBytes(trash + "/files/levantamento.txt"), "P1 10 20 30");
    EXPECT_EQ(Info(trash + "/info/levantamento.txt.trashinfo").at("Path"), other + "/levantamento.txt");

    EXPECT_TRUE(os::MoveToTrash(other + "/pasta"));
    EXPECT_FALSE(fs::exists(other + "/pasta"));
    EXPECT_EQ(ReadBytes(trash + "/files/pasta/sub/b.txt"), "b");
    fs::remove_all(other);
}
