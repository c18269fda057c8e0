#include "Support.h"

#include "platform/os/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ostest;

TEST(TextFile, WritesTheLineEndingAskedForAndReadsBack)
{
    TempDir dir;
    const std::vector<std::string> lines{"0", "SECTION", "Cotação 12.50", "", "EOF"};

    ASSERT_TRUE(os::WriteTextLines(dir / "crlf.dxf", lines, os::LineEnding::CRLF));
    EXPECT_EQ(ReadBytes(dir / "crlf.dxf"), "0\r\nSECTION\r\nCota\xC3\xA7\xC3\xA3o 12.50\r\n\r\nEOF\r\n");
    ASSERT_TRUE(os::WriteTextLines(dir / "lf.txt", lines, os::LineEnding::LF));
    EXPECT_EQ(ReadBytes(dir / "lf.txt"), "0\nSECTION\nCota\xC3\xA7\xC3\xA3o 12.50\n\nEOF\n");

    for (const char* name : {"crlf.dxf", "lf.txt"}) {
        std::vector<std::string> back;
        ASSERT_TRUE(os::ReadTextLines(dir / name, back));
        EXPECT_EQ(back, lines) << name;
    }
}

TEST(TextFile, ReadsMixedEndingsByteOrderMarkAndALastLineWithoutEnding)
{
    TempDir dir;
    WriteBytes(dir / "p.txt", "\xEF\xBB\xBFP1\t100.5\r\nP2\t\xC3\xA9\n\r\nP3");
    os::TextReader r;
    ASSERT_TRUE(r.Open(dir / "p.txt"));
    EXPECT_EQ(r.Encoding(), os::TextEncoding::Utf8);
    std::string line;
    std::vector<std::string> got;
    while (!r.AtEndOfStream()) {
        ASSERT_TRUE(r.ReadLine(line));
        got.push_back(line);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"P1\t100.5", "P2\t\xC3\xA9", "", "P3"}));
    EXPECT_EQ(r.Line(), 4);
    EXPECT_FALSE(r.ReadLine(line));

    WriteBytes(dir / "empty.txt", "");
    ASSERT_TRUE(r.Open(dir / "empty.txt"));
    EXPECT_TRUE(r.AtEndOfStream());
    EXPECT_FALSE(r.ReadLine(line));
}

TEST(TextFile, AnOldWindowsFileIsReadAsWesternEncoding)
{
    TempDir dir;
    // "Ponto São José – cota 10€" as an older program wrote it.
    WriteBytes(dir / "old.txt", "Ponto S\xE3o Jos\xE9 \x96 cota 10\x80\r\nfim\r\n");
    std::vector<std::string> lines;
    os::TextReader r;
    ASSERT_TRUE(r.Open(dir / "old.txt"));
    EXPECT_EQ(r.Encoding(), os::TextEncoding::Windows1252);
    ASSERT_TRUE(os::ReadTextLines(dir / "old.txt", lines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Ponto São José – cota 10€");
    EXPECT_EQ(lines[1], "fim");

    // Malformed UTF-8 of every kind falls back; well-formed text does not.
    EXPECT_FALSE(os::IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(os::IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(os::IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(os::IsValidUtf8("abc\xE2\x82"));       // cut short
    EXPECT_TRUE(os::IsValidUtf8("São \xF0\x9F\x98\x80"));
}

TEST(TextFile, TheOldFileStaysUntilTheNewOneIsComplete)
{
    TempDir dir;
    WriteBytes(dir / "rede.dxf", "old\r\n");
    {
        os::TextWriter w;
        ASSERT_TRUE(w.Create(dir / "rede.dxf", os::LineEnding::CRLF));
        ASSERT_TRUE(w.Write("0"));
        ASSERT_TRUE(w.WriteLine());
        ASSERT_TRUE(w.WriteLine("EOF"));
        EXPECT_EQ(ReadBytes(dir / "rede.dxf"), "old\r\n");
        // Going out of scope completes the file.
    }
    EXPECT_EQ(ReadBytes(dir / "rede.dxf"), "0\r\nEOF\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    os::TextWriter w;
    EXPECT_FALSE(w.Create(dir / "nao/existe.txt"));
    EXPECT_FALSE(w.WriteLine("x"));
    EXPECT_FALSE(w.Close());
    std::vector<std::string> lines;
    const auto s = os::ReadTextLines(dir / "falta.txt", lines);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("falta.txt"), std::string::npos);
    EXPECT_FALSE(os::ReadTextLines(dir.path(), lines));
}

TEST(TextFile, WritesWindowsWesternWithTheCallersReplacement)
{
    TempDir dir;
    const std::string path = dir / "w.txt";
    std::vector<std::string> asked;
    os::TextWriter w;
    w.SetEncoding(os::TextEncoding::Windows1252, [&asked](char32_t c) {
        asked.push_back(std::to_string(static_cast<unsigned long>(c)));
        return std::string("<") + asked.back() + ">";
    });
    ASSERT_TRUE(w.Create(path, os::LineEnding::CRLF));
    // Latin-1 letters, the code page's own 0x80-0x9F characters, one it lacks,
    // one outside the basic plane and a malformed byte.
    ASSERT_TRUE(w.WriteLine("Ação é 100€ “x” Œ"));
    ASSERT_TRUE(w.WriteLine("Ω 😀 \xC3"));
    ASSERT_TRUE(w.Close());
    EXPECT_EQ(ReadBytes(path), "A\xE7\xE3o \xE9 100\x80 \x93x\x94 \x8C\r\n<937> <128512> <65533>\r\n");
    EXPECT_EQ(asked, (std::vector<std::string>{"937", "128512", "65533"}));

    // Read back, the text comes back as it was written.
    std::vector<std::string> lines;
    ASSERT_TRUE(os::ReadTextLines(path, lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"Ação é 100€ “x” Œ", "<937> <128512> <65533>"}));

    // Without a replacement: "?"; the code page's five undefined bytes are
    // not stood in for by their Latin-1 controls.
    EXPECT_EQ(os::Utf8ToWindows1252("Ω\xC2\x81"), "??");
}
