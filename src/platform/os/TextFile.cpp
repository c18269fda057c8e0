#include "platform/os/TextFile.h"

#include "platform/os/FileUtil.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using os::detail::Describe;

namespace os {

bool IsValidUtf8(const std::string& bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) len = 2;
        else if (c == 0xE0) len = 3, lo = 0xA0;
        else if (c == 0xED) len = 3, hi = 0x9F; // no surrogates
        else if (c >= 0xE1 && c <= 0xEF) len = 3;
        else if (c == 0xF0) len = 4, lo = 0x90;
        else if (c >= 0xF1 && c <= 0xF3) len = 4;
        else if (c == 0xF4) len = 4, hi = 0x8F; // nothing above U+10FFFF
        else return false;
        if (i + len > n) return false;
        if (s[i + 1] < lo || s[i + 1] > hi) return false;
        for (std::size_t k = 2; k < len; ++k)
            if ((s[i + k] & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

std::string Windows1252ToUtf8(const std::string& bytes)
{
    // 0x80-0x9F; the five bytes the code page leaves undefined keep their Latin-1 value.
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char c : bytes) {
        const char32_t u = (c >= 0x80 && c < 0xA0) ? high[c - 0x80] : c;
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string Utf8ToWindows1252(const std::string& text, const std::function<std::string(char32_t)>& replacement)
{
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    const auto other = [&](char32_t u) { return replacement ? replacement(u) : std::string("?"); };
    std::string out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // One well-formed sequence, or one malformed byte.
        std::size_t len = 0;
        for (std::size_t k = 2; k <= 4 && i + k <= n && !len; ++k)
            if (IsValidUtf8(text.substr(i, k))) len = k;
        if (!len) {
            out += other(0xFFFD);
            ++i;
            continue;
        }
        char32_t u = len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < len; ++k) u = (u << 6) | (s[i + k] & 0x3F);
        i += len;
        if (u >= 0xA0 && u <= 0xFF) {
            out += static_cast<char>(u);
            continue;
        }
        const char16_t* hit = std::find(high, high + 32, static_cast<char16_t>(u));
        // The five bytes the code page leaves undefined are not written for their Latin-1 values.
        if (u <= 0xFFFF && hit != high + 32 && *hit >= 0x100) out += static_cast<char>(0x80 + (hit - high));
        else out += other(u);
    }
    return out;
}

Status TextReader::Open(const std::string& path)
{
    Close();
    std::error_code ec;
    if (fs::is_directory(path, ec)) return Status::Fail(Describe("abrir o arquivo de texto", path, EISDIR));
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return Status::Fail(Describe("abrir o arquivo de texto", path, errno ? errno : ENOENT));
    data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        const int err = errno;
        Close();
        return Status::Fail(Describe("ler o arquivo de texto", path, err ? err : EIO));
    }
    if (IsValidUtf8(data_)) {
        encoding_ = TextEncoding::Utf8;
        if (data_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
    } else {
        encoding_ = TextEncoding::Windows1252;
    }
    return Status::Ok();
}

bool TextReader::ReadLine(std::string& line)
{
    if (AtEndOfStream()) return false;
    std::size_t end = data_.find('\n', pos_);
    const std::size_t next = end == std::string::npos ? data_.size() : end + 1;
    if (end == std::string::npos) end = data_.size();
    if (end > pos_ && data_[end - 1] == '\r') --end;
    line.assign(data_, pos_, end - pos_);
    if (encoding_ == TextEncoding::Windows1252) line = Windows1252ToUtf8(line);
    pos_ = next;
    ++line_;
    return true;
}

void TextReader::Close()
{
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
    line_ = 0;
    encoding_ = TextEncoding::Utf8;
}

Status ReadTextLines(const std::string& path, std::vector<std::string>& lines)
{
    lines.clear();
    TextReader r;
    if (Status s = r.Open(path); !s) return s;
    std::string line;
    while (r.ReadLine(line)) lines.push_back(line);
    return Status::Ok();
}

TextWriter::~TextWriter()
{
    if (IsOpen()) Close();
}

Status TextWriter::Abandon(const std::string& message)
{
    out_.reset();
    return Status::Fail(message);
}

Status TextWriter::Create(const std::string& path, LineEnding ending)
{
    if (IsOpen()) Abandon({});
    if (path.empty()) return Status::Fail("Não foi possível criar o arquivo de texto: falta o nome do arquivo.");
    std::error_code ec;
    if (fs::is_directory(path, ec)) return Status::Fail(Describe("criar o arquivo de texto", path, EISDIR));
    target_ = path;
    ending_ = ending;
    out_ = std::make_unique<platform::FileReplacement>(path);
    if (!out_->IsOpen()) return Abandon("Não foi possível criar o arquivo de texto '" + path + "': " + out_->Error() + ".");
    return Status::Ok();
}

void TextWriter::SetEncoding(TextEncoding encoding, std::function<std::string(char32_t)> replacement)
{
    encoding_ = encoding;
    replacement_ = std::move(replacement);
}

Status TextWriter::Write(const std::string& text)
{
    if (!IsOpen()) return Status::Fail("Não foi possível gravar o arquivo de texto '" + target_ + "': ele não está aberto.");
    if (encoding_ == TextEncoding::Windows1252) {
        const std::string bytes = Utf8ToWindows1252(text, replacement_);
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out_->File()) != bytes.size())
            return Abandon(Describe("gravar o arquivo de texto", target_, errno));
        return Status::Ok();
    }
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), out_->File()) != text.size())
        return Abandon(Describe("gravar o arquivo de texto", target_, errno));
    return Status::Ok();
}

Status TextWriter::WriteLine(const std::string& text)
{
    if (Status s = Write(text); !s) return s;
    return Write(ending_ == LineEnding::CRLF ? "\r\n" : "\n");
}

Status TextWriter::Close()
{
    if (!IsOpen()) return Status::Fail("Não foi possível fechar o arquivo de texto '" + target_ + "': ele não está aberto.");
    if (!out_->Commit()) return Abandon("Não foi possível gravar o arquivo de texto '" + target_ + "': " + out_->Error() + ".");
    out_.reset();
    return Status::Ok();
}

Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines, LineEnding ending)
{
    TextWriter w;
    if (Status s = w.Create(path, ending); !s) return s;
    for (const auto& line : lines)
        if (Status s = w.WriteLine(line); !s) return s;
    return w.Close();
}

} // namespace os
