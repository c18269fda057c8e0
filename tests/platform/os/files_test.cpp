#include "Support.h"

#include "platform/os/Files.h"
#include "platform/os/Ticks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <thread>

using namespace ostest;

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
