#include "platform/os/TextFile.h"

#include "platform/os/FileUtil.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
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
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c == 0xE0)
            len = 3, lo = 0xA0;
        else if (c == 0xED)
            len = 3, hi = 0x9F;  // no surrogates
        else if (c >= 0xE1 && c <= 0xEF)
            len = 3;
        else if (c == 0xF0)
            len = 4, lo = 0x90;
        else if (c >= 0xF1 && c <= 0xF3)
            len = 4;
        else if (c == 0xF4)
            len = 4, hi = 0x8F;  // nothing above U+10FFFF
        else
            return false;
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
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
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
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
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
        if (u <= 0xFFFF && hit != high + 32 && *hit >= 0x100)
            out += static_cast<char>(0x80 + (hit - high));
        else
            out += other(u);
    }
    return out;
}

namespace {

constexpr std::size_t kPiece = 1 << 16;

// The bytes of an unfinished UTF-8 sequence at the end of `bytes` (0 to 3),
// to be judged with the piece that follows.
std::size_t UnfinishedTail(const std::string& bytes)
{
    for (std::size_t k = 1; k <= 3 && k <= bytes.size(); ++k) {
        const unsigned char c = static_cast<unsigned char>(bytes[bytes.size() - k]);
        if ((c & 0xC0) == 0x80) continue;
        const std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return len > k ? k : 0;
    }
    return 0;
}

// Decodes the UTF-16 bytes of `in` onto `out` as UTF-8 and leaves in `in`
// what the next piece must finish (an odd byte, half a surrogate pair); at
// the end of the file that rest, like any unpaired surrogate, is U+FFFD.
void Utf16ToUtf8(std::string& in, bool little, bool atEnd, std::string& out)
{
    const auto* s = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    const auto unit = [&](std::size_t i) -> char32_t {
        return little ? s[i] | (s[i + 1] << 8) : (s[i] << 8) | s[i + 1];
    };
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 4 > n && !atEnd) break;
        if (u >= 0xD800 && u <= 0xDBFF && i + 4 <= n && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            platform::AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else {
            platform::AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
        }
    }
    if (atEnd && i < n) {
        platform::AppendUtf8(out, 0xFFFD);
        i = n;
    }
    in.erase(0, i);
}

bool IsPadding(char c) { return c == '\0' || c == '\x1A'; }

std::string LineTooLong(long line, const std::string& path, std::size_t longest)
{
    return "A linha " + std::to_string(line) + " do arquivo de texto '" + path + "' passa de " +
           std::to_string(longest) + " bytes.";
}

}  // namespace

Status TextReader::Open(const std::string& path, std::size_t longestLine)
{
    Close();
    std::error_code ec;
    if (fs::is_directory(path, ec)) return Status::Fail(Describe("abrir o arquivo de texto", path, EISDIR));
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return Status::Fail(Describe("abrir o arquivo de texto", path, errno ? errno : ENOENT));
    // The first pass: the encoding (a sequence may straddle two pieces) and
    // the length of each line as ReadLine gives it: a byte-order mark is no
    // part of the first line, and UTF-16 counts as the UTF-8 it becomes.
    // Old DOS programs end their files with the mark 1Ah, and some pad them
    // with NUL bytes up to a block: what the file holds of these after its
    // last text is no line, and is not handed out (`textEnd`, counted in the
    // bytes ReadLine works on). Until text follows them they count in no
    // line's length either.
    bool utf8 = true, afterCr = false, utf16 = false, little = false, first = true, bom = false;
    std::string piece, carried, decoded;
    std::size_t length = 0, padding = 0, total = 0, textEnd = 0;
    long line = 1;
    // Counts the bytes towards `textEnd` in the same pass: once a line is
    // refused the file is not opened, so what is left of the piece needs no
    // counting.
    const auto tooLong = [&](const std::string& text, std::size_t from) {
        // A byte-order mark is in no line, but ReadLine's bytes start with it.
        if (from > 0) textEnd = total += from;
        for (std::size_t i = from; i < text.size(); ++i) {
            const char c = text[i];
            ++total;
            if (IsPadding(c)) {
                afterCr = false;
                ++padding;
                continue;
            }
            textEnd = total;
            if (c == '\n' || c == '\r') {
                if (longestLine && length + padding > longestLine) return true;
                if (!(c == '\n' && afterCr)) {
                    ++line;
                    length = 0;
                }
                padding = 0;
                afterCr = c == '\r';
                continue;
            }
            afterCr = false;
            length += padding + 1;
            padding = 0;
            if (longestLine && length > longestLine) return true;
        }
        return false;
    };
    bool refused = false;
    piece.resize(kPiece);
    for (std::size_t n; !refused && (n = std::fread(piece.data(), 1, kPiece, f)) > 0;) {
        piece.resize(n);
        std::size_t from = 0;
        if (first && n >= 2 && (piece.compare(0, 2, "\xFF\xFE") == 0 || piece.compare(0, 2, "\xFE\xFF") == 0)) {
            utf16 = true;
            little = piece[0] == '\xFF';
            from = 2;
        } else if (first && piece.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            bom = true;
            from = 3;
        }
        first = false;
        if (utf16) {
            carried.append(piece, from, std::string::npos);
            decoded.clear();
            Utf16ToUtf8(carried, little, false, decoded);
            refused = tooLong(decoded, 0);
        } else {
            refused = tooLong(piece, from);
            if (utf8) {
                carried += piece;
                const std::size_t tail = UnfinishedTail(carried);
                utf8 = IsValidUtf8(carried.substr(0, carried.size() - tail));
                carried.erase(0, carried.size() - tail);
            }
        }
        piece.resize(kPiece);
    }
    if (!refused && utf16 && !carried.empty()) {
        decoded.clear();
        Utf16ToUtf8(carried, little, true, decoded);
        refused = tooLong(decoded, 0);
    }
    if (refused) {
        std::fclose(f);
        return Status::Fail(LineTooLong(line, path, longestLine));
    }
    if (std::ferror(f)) {
        const int err = errno;
        std::fclose(f);
        return Status::Fail(Describe("ler o arquivo de texto", path, err ? err : EIO));
    }
    std::rewind(f);
    file_ = f;
    path_ = path;
    longest_ = longestLine;
    left_ = textEnd;
    if (utf16) {
        encoding_ = little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        if (std::fseek(f, 2, SEEK_SET) != 0) {
            const int err = errno;
            Close();
            return Status::Fail(Describe("ler o arquivo de texto", path, err ? err : EIO));
        }
        return Status::Ok();
    }
    encoding_ = utf8 && carried.empty() ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    // The mark is no text whatever the rest turns out to be: a program that
    // wrote it may still have let a Western byte into a later line.
    if (bom && Fill()) pos_ = 3;
    return failure_.ok ? Status::Ok() : failure_;
}

bool TextReader::Fail(Status why)
{
    failure_ = std::move(why);
    buf_.clear();
    pos_ = 0;
    return false;
}

// Drops what was read and adds the next piece of the file; false when there is no more.
bool TextReader::Fill()
{
    if (!file_ || !failure_.ok) return false;
    buf_.erase(0, pos_);
    pos_ = 0;
    const std::size_t had = buf_.size();
    const bool utf16 = encoding_ == TextEncoding::Utf16LE || encoding_ == TextEncoding::Utf16BE;
    // Only the bytes before the padding at the end are handed out.
    const auto keep = [&](std::size_t from) {
        const std::size_t kept = std::min(buf_.size() - from, left_);
        buf_.resize(from + kept);
        left_ -= kept;
    };
    for (;;) {
        if (left_ == 0) return buf_.size() > had;
        std::string& into = utf16 ? raw_ : buf_;
        const std::size_t before = into.size();
        into.resize(before + kPiece);
        const std::size_t n = std::fread(into.data() + before, 1, kPiece, file_);
        into.resize(before + n);
        if (n == 0 && std::ferror(file_)) {
            const int err = errno;
            return Fail(Status::Fail(Describe("ler o arquivo de texto", path_, err ? err : EIO)));
        }
        if (!utf16) {
            keep(before);
            return buf_.size() > had;
        }
        // A piece may end inside a character: only a whole one is given.
        const std::size_t decoded = buf_.size();
        Utf16ToUtf8(raw_, encoding_ == TextEncoding::Utf16LE, n == 0, buf_);
        keep(decoded);
        if (buf_.size() > had) return true;
        if (n == 0) return false;
    }
}

bool TextReader::AtEndOfStream() { return pos_ >= buf_.size() && !Fill(); }

bool TextReader::ReadLine(std::string& line)
{
    if (AtEndOfStream()) return false;
    std::size_t from = pos_, end;
    while ((end = buf_.find_first_of("\r\n", from)) == std::string::npos) {
        if (longest_ && buf_.size() - pos_ > longest_)
            return Fail(Status::Fail(LineTooLong(line_ + 1, path_, longest_)));
        from = buf_.size() - pos_;
        if (!Fill()) {
            if (!failure_.ok) return false;
            end = buf_.size();
            break;
        }
    }
    if (longest_ && end - pos_ > longest_) return Fail(Status::Fail(LineTooLong(line_ + 1, path_, longest_)));
    line.assign(buf_, pos_, end - pos_);
    pos_ = std::min(end + 1, buf_.size());
    if (end < buf_.size() && buf_[end] == '\r' && (pos_ < buf_.size() || Fill()) && buf_[pos_] == '\n') ++pos_;
    if (encoding_ == TextEncoding::Windows1252) line = Windows1252ToUtf8(line);
    ++line_;
    return true;
}

void TextReader::Close()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
    path_.clear();
    buf_.clear();
    buf_.shrink_to_fit();
    raw_.clear();
    raw_.shrink_to_fit();
    pos_ = 0;
    longest_ = 0;
    left_ = 0;
    line_ = 0;
    encoding_ = TextEncoding::Utf8;
    failure_ = Status::Ok();
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
    if (!out_->IsOpen())
        return Abandon("Não foi possível criar o arquivo de texto '" + path + "': " + out_->Error() + ".");
    return Status::Ok();
}

void TextWriter::SetEncoding(TextEncoding encoding, std::function<std::string(char32_t)> replacement)
{
    encoding_ = encoding;
    replacement_ = std::move(replacement);
}

Status TextWriter::Write(const std::string& text)
{
    if (!IsOpen())
        return Status::Fail("Não foi possível gravar o arquivo de texto '" + target_ + "': ele não está aberto.");
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
    if (!IsOpen())
        return Status::Fail("Não foi possível fechar o arquivo de texto '" + target_ + "': ele não está aberto.");
    if (!out_->Commit())
        return Abandon("Não foi possível gravar o arquivo de texto '" + target_ + "': " + out_->Error() + ".");
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

}  // namespace os
