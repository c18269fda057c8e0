#pragma once
// Text files read and written line by line.
//
// Written files are UTF-8, or Windows-1252 when the caller asks (the text is
// given as UTF-8 either way), with the line ending the caller asks for. Reading
// accepts CR LF, LF and CR alone (older Macintosh files) as line endings, skips
// a UTF-8 byte-order mark, and takes a file that is not valid UTF-8 as the
// Windows Western encoding (Latin-1 with the printable characters of
// 0x80-0x9F, such as "€" and curly quotes), which is what users' older survey
// files are; a file that starts with a UTF-16 byte-order mark (a spreadsheet's
// "Unicode text") is read as UTF-16; every line comes back as UTF-8. DOS end
// marks (1Ah) and NUL bytes after the last text are padding, no line. A file
// is read piece by piece, never held whole.

#include "platform/os/Status.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "platform/FileReplacement.h"
#include <vector>

namespace os {

enum class LineEnding { LF, CRLF };
// Utf16LE and Utf16BE are read only (a file that starts with their
// byte-order mark); written files are UTF-8 or Windows1252.
enum class TextEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

class TextReader {
public:
    TextReader() = default;
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;
    ~TextReader() { Close(); }

    // Reads the file through once, keeping nothing of it, to learn its
    // encoding; with `longestLine`, a file with a line longer than that many
    // bytes is refused, naming the line.
    Status Open(const std::string& path, std::size_t longestLine = 0);
    // The next line without its ending; false at the end of the file, or when
    // reading failed (Failure says why).
    bool ReadLine(std::string& line);
    bool AtEndOfStream();
    // Lines read so far.
    long Line() const { return line_; }
    TextEncoding Encoding() const { return encoding_; }
    // Why reading stopped before the end (a disk error, a line grown past
    // the longest allowed since Open); ok otherwise.
    const Status& Failure() const { return failure_; }
    void Close();

private:
    bool Fill();
    bool Fail(Status why);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string buf_;  // a piece of the file; the next line starts at pos_
    std::string raw_;  // UTF-16 bytes not yet decoded into buf_
    std::size_t pos_ = 0;
    std::size_t longest_ = 0;
    std::size_t left_ = 0;  // bytes still to hand out before the padding at the end
    long line_ = 0;
    TextEncoding encoding_ = TextEncoding::Utf8;
    Status failure_;
};

// The file is written beside its final name and takes that name on Close, so
// a write that fails (a full disk) leaves an older file of that name intact.
// A writer destroyed while open closes itself.
class TextWriter {
public:
    TextWriter() = default;
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;
    ~TextWriter();

    // Creates (or, on Close, replaces) the file.
    Status Create(const std::string& path, LineEnding ending = LineEnding::CRLF);
    // The bytes written for the UTF-8 text given (UTF-8 until set). With
    // Windows1252 a character the code page lacks is written as what
    // `replacement` gives for it ("?" without one); so is a malformed UTF-8
    // sequence, as U+FFFD.
    void SetEncoding(TextEncoding encoding, std::function<std::string(char32_t)> replacement = {});
    Status Write(const std::string& text);
    Status WriteLine(const std::string& text = {});
    // Completes the file; reports any write that failed since Create.
    Status Close();
    bool IsOpen() const { return out_ && out_->IsOpen(); }

private:
    Status Abandon(const std::string& message);

    std::unique_ptr<platform::FileReplacement> out_;
    std::string target_;
    LineEnding ending_ = LineEnding::CRLF;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::function<std::string(char32_t)> replacement_;
};

Status ReadTextLines(const std::string& path, std::vector<std::string>& lines);
Status WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                      LineEnding ending = LineEnding::CRLF);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& bytes);
// Windows Western bytes to UTF-8.
std::string Windows1252ToUtf8(const std::string& bytes);
// UTF-8 to Windows Western bytes; each character the code page lacks (and each
// malformed sequence, as U+FFFD) becomes what `replacement` gives, "?" without one.
std::string Utf8ToWindows1252(const std::string& text, const std::function<std::string(char32_t)>& replacement = {});

}  // namespace os
