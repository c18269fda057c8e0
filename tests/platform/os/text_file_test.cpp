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

TEST(TextFile, TheByteOrderMarkIsNoPartOfTheFirstLinesLength)
{
    TempDir dir;
    const std::string bom = "\xEF\xBB\xBF";
    os::TextReader r;
    std::string line;
    WriteBytes(dir / "limite.txt", bom + std::string(65536, 'x') + "\r\nP2\r\n");
    const os::Status opened = r.Open(dir / "limite.txt", 65536);
    ASSERT_TRUE(opened) << opened.message;
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, std::string(65536, 'x'));
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "P2");

    // One byte more is still too long, and named by its line.
    WriteBytes(dir / "longa.txt", bom + std::string(65537, 'x') + "\r\n");
    const os::Status s = r.Open(dir / "longa.txt", 65536);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("A linha 1 "), std::string::npos) << s.message;

    // The mark is skipped, and not counted, also when a later line is in the
    // Western encoding.
    WriteBytes(dir / "misto.txt", bom + std::string(65536, 'x') + "\r\nP2\tS\xE3o\r\n");
    const os::Status mixed = r.Open(dir / "misto.txt", 65536);
    ASSERT_TRUE(mixed) << mixed.message;
    EXPECT_EQ(r.Encoding(), os::TextEncoding::Windows1252);
    ASSERT_TRUE(r.ReadLine(line)) << r.Failure().message;
    EXPECT_EQ(line, std::string(65536, 'x'));
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "P2\tSão");
    std::vector<std::string> lines;
    WriteBytes(dir / "curto.txt", bom + "P1\t1\r\nP2\tS\xE3o\r\n");
    ASSERT_TRUE(os::ReadTextLines(dir / "curto.txt", lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"P1\t1", "P2\tSão"}));
}

// What a spreadsheet saves as "Unicode text": UTF-16 with its byte-order mark.
TEST(TextFile, AUtf16FileIsReadInEitherByteOrder)
{
    TempDir dir;
    // "Pé\t1\r\n", U+1D11E (a surrogate pair), "\n", then an unpaired high
    // surrogate and a last line without its ending.
    const std::u16string text = u"P\u00E9\t1\r\n\U0001D11E\n\xD834x\r\nfim";
    const std::vector<std::string> lines{"P\xC3\xA9\t1", "\xF0\x9D\x84\x9E", "\xEF\xBF\xBDx", "fim"};
    for (const bool little : {true, false}) {
        SCOPED_TRACE(little ? "LE" : "BE");
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t u : text) {
            const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
            bytes += little ? std::string{lo, hi} : std::string{hi, lo};
        }
        WriteBytes(dir / "u16.txt", bytes);
        os::TextReader r;
        const os::Status opened = r.Open(dir / "u16.txt", 64);
        ASSERT_TRUE(opened) << opened.message;
        EXPECT_EQ(r.Encoding(), little ? os::TextEncoding::Utf16LE : os::TextEncoding::Utf16BE);
        std::vector<std::string> got;
        for (std::string line; r.ReadLine(line);) got.push_back(line);
        EXPECT_TRUE(r.Failure());
        EXPECT_EQ(got, lines);
        EXPECT_EQ(r.Line(), 4);
    }

    // The limit counts the bytes of the line as read (UTF-8), and the line
    // named is the file's own.
    std::string bytes = "\xFF\xFE";
    for (char c : std::string("a\r\n") + std::string(20, 'b') + "\r\n" + std::string(21, 'c')) bytes += {c, '\0'};
    WriteBytes(dir / "u16.txt", bytes);
    os::TextReader r;
    const os::Status s = r.Open(dir / "u16.txt", 20);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message.find("A linha 3 "), std::string::npos) << s.message;
    ASSERT_TRUE(r.Open(dir / "u16.txt", 21));
    std::vector<std::string> got;
    for (std::string line; r.ReadLine(line);) got.push_back(line);
    EXPECT_EQ(got, (std::vector<std::string>{"a", std::string(20, 'b'), std::string(21, 'c')}));

    // A character or a line ending across two pieces of the file (64 KB).
    for (const std::size_t at : {65534u, 65536u}) {
        SCOPED_TRACE(at);
        bytes = "\xFF\xFE";
        for (std::size_t k = 2; k < at; k += 2) bytes += {'a', '\0'};
        WriteBytes(dir / "u16.txt", bytes + std::string("\x34\xD8\x1E\xDD\r\0\n\0z\0", 10));
        ASSERT_TRUE(os::ReadTextLines(dir / "u16.txt", got));
        EXPECT_EQ(got, (std::vector<std::string>{std::string((at - 2) / 2, 'a') + "\xF0\x9D\x84\x9E", "z"}));
        WriteBytes(dir / "u16.txt", bytes + std::string("\r\0\n\0z\0", 6));
        ASSERT_TRUE(os::ReadTextLines(dir / "u16.txt", got));
        EXPECT_EQ(got, (std::vector<std::string>{std::string((at - 2) / 2, 'a'), "z"}));
    }

    // An odd byte at the end is no character.
    WriteBytes(dir / "u16.txt", std::string("\xFF\xFEo\0k\0\n", 7));
    std::vector<std::string> lines2;
    ASSERT_TRUE(os::ReadTextLines(dir / "u16.txt", lines2));
    EXPECT_EQ(lines2, (std::vector<std::string>{"ok\xEF\xBF\xBD"}));
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

// Old DOS programs end a file with the mark 1Ah, and some pad it with NUL
// bytes up to a block: neither is a line, nor part of the last one. Inside
// the text both are the line's own bytes.
TEST(TextFile, AnEndMarkOrNulPaddingAfterTheLastLineIsNoLine)
{
    TempDir dir;
    const std::string nuls(70000, '\0');  // past a piece of the file and the longest line
    std::string u16 = "\xFF\xFE";
    for (char c : std::string("a\r\nb\x1A") + std::string(4, '\0')) u16 += {c, '\0'};
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"P1\r\nP2\r\n\x1A", {"P1", "P2"}},
        {"P1\r\nP2\x1A", {"P1", "P2"}},
        {"P1\r\nP2\r\n" + nuls, {"P1", "P2"}},
        {"P1\r\nP2\r\n\x1A" + nuls + "\x1A", {"P1", "P2"}},
        {"S\xE3o\r\n\x1A", {"S\xC3\xA3o"}},
        {std::string("P\x1A\r\n\0P2\r\n", 9), {"P\x1A", std::string("\0P2", 3)}},
        {u16, {"a", "b"}},
        {"\x1A", {}},
    };
    for (const auto& [bytes, lines] : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 24)));
        WriteBytes(dir / "dos.txt", bytes);
        os::TextReader r;
        const os::Status opened = r.Open(dir / "dos.txt", 65536);
        ASSERT_TRUE(opened) << opened.message;
        std::vector<std::string> got;
        for (std::string line; r.ReadLine(line);) got.push_back(line);
        EXPECT_TRUE(r.Failure()) << r.Failure().message;
        EXPECT_EQ(got, lines);
        EXPECT_TRUE(r.AtEndOfStream());
    }
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
