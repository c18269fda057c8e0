#pragma once
// The text layer of DXF files: groups (a code line and a value line) read from
// memory and written to a buffer, numbers and strings as the file holds them.
// Engine-internal: the reader and writer of DxfFile.cpp build on it.
//
// Reading is tolerant of what hand-written files do (blanks around group codes,
// CR LF or LF, "," as decimal point, 8-bit Windows text). What would make the
// drawing wrong (a code that is not a number, a truncated file) fails with
// DamagedGroup naming the file and line, which a reader may step over to the
// next record (Resync); a value that does not read is taken as its default and
// told to the reader's BadValueSink. Text that is no DXF at all (binary content,
// a file that cannot be read) fails with a plain acad::Error.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/acad/Error.h"
#include "platform/acad/Geometry.h"

namespace acad::dxf {

// A group or record of a drawing file that does not read, at `Line()`: the
// reader leaves out what holds it and reads on. Uncaught, it is the file error
// naming the line.
class DamagedGroup : public Error {
public:
    DamagedGroup(std::size_t line, std::string what, const std::string& description)
        : Error(ErrorCode::FileError, description), line_(line), what_(std::move(what))
    {
    }
    std::size_t Line() const { return line_; }
    const std::string& What() const { return what_; }

private:
    std::size_t line_;
    std::string what_;
};

// Largest magnitude accepted for a real value: any finite double, as the
// engine's own members accept. A tighter bound would refuse files the host
// itself writes, where derived values (a text's insertion point worked out
// from its alignment point, the drawing's extents) outgrow what was read.
inline constexpr double kMaxMagnitude = std::numeric_limits<double>::max();

// Longest line (a group code or a value, without its line break) a drawing
// may hold: far above any real value (texts come in pieces of 250 characters,
// solids' data in lines of 254), so that a damaged file is refused before it
// fills the memory. The writer keeps to it too: a value that would not fit
// once saved is refused when read, so that what opens also saves.
inline constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;
// Most bytes the writer may make of one byte of a value: a control character
// becomes a 7-byte \U+XXXX.
inline constexpr std::size_t kMaxSavedGrowth = 7;
// How much of a file is read at a time.
inline constexpr std::size_t kReadPiece = std::size_t{1} << 20;

// Text decoding of one value: valid UTF-8 is taken as it is, anything else as
// Windows-1252 (what files of the 8-bit era hold); \U+XXXX escapes become the
// character they name.
void DecodeText(std::string_view raw, std::string& out);
// Text as the writer puts it in a file, in the code page the header names
// ($DWGCODEPAGE ANSI_1252, as AC1015 readers expect): Windows-1252 bytes, and
// \U+XXXX for characters the code page lacks and for control characters
// (which would break the line structure). Appends to `out`; DecodeText gives
// the text back.
void EncodeText(std::string_view utf8, std::string& out);
// The character of a byte of Windows-1252.
char32_t Cp1252(unsigned char b);

// Numbers as files hold them. Reals accept "," as decimal point and an empty
// value as 0; integers accept a real value with no fraction ("1.0").
bool ParseReal(std::string_view s, double& v);
bool ParseInteger(std::string_view s, long long& v);
bool ParseHandle(std::string_view s, std::uint64_t& v);  // hexadecimal, not 0
// Shortest text that reads back as the same double (precision >= 16), or
// `precision` significant digits; always with a "." and AutoCAD's exponent form.
// An infinity is written as the largest double of its sign; `v` is not NaN.
void AppendReal(std::string& out, double v, int precision = 17);

// A value of a file as a message quotes it: decoded, without control
// characters, at most 40 bytes of it.
std::string Quoted(std::string_view raw);

// Blanks around a value: space, tab, CR, VT, FF (a line break ends the line).
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
// Inline: it runs for most groups of a file, which mostly have no blanks to drop.
inline std::string_view Trim(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return {s.data() + b, e - b};  // b <= e: no bounds check needed
}

// Reads groups from text held in memory, or from a file a piece at a time (a
// drawing of a million entities need not be held whole while it is read). The
// views handed out (Raw, Word) stay valid until the second call of Next after.
class GroupReader {
public:
    // Told of a value that does not read (the current group); the reader then
    // takes the default it was asked for.
    class BadValueSink {
    public:
        virtual void BadValue(const GroupReader& in) = 0;

    protected:
        ~BadValueSink() = default;
    };

    GroupReader(std::string_view text, std::string sourceName);
    // Reads `file` (open for reading, owned by the caller) from its position,
    // at most `piece` bytes at a time.
    GroupReader(std::FILE* file, std::string sourceName, std::size_t piece = kReadPiece);

    // Advances to the next group; false at the end of the text.
    bool Next();
    // Reads what is left of a file without keeping it: a binary file is
    // refused wherever its binary part lies, as text held in memory is.
    void CheckRest();
    // Makes the current group the next one again (one level).
    void Unget();
    // After damage: goes on to the next group that starts a record (a code 0
    // line followed by a record's name), which becomes the next one Next
    // gives; false when the text ends first. Lines of any length are passed
    // over without being held, and the same group is never given twice in a
    // row, so that a reader that fails on it again still moves on.
    bool Resync();
    // The text has ended: the last Next found nothing more.
    bool AtEnd() const { return atEnd_; }
    // The number of the last line read.
    std::size_t LastLine() const { return nextLine_ - 1; }
    int Code() const { return code_; }
    // The value line without its line break (blanks kept: strings may need them).
    // The value as text (Raw, Word, Text, TextInto, captured) fails when the
    // writer could not save it in one line again.
    std::string_view Raw() const
    {
        if (long_) [[unlikely]]
            CheckSavedLength();
        return value_;
    }
    // The value with surrounding blanks removed (keywords, names of sections).
    std::string_view Word() const { return Trim(Raw()); }
    // The value as a piece of a text that the writer splits again (a
    // multi-line text's groups 3 and 1): any length a line may have.
    std::string_view Piece() const { return value_; }
    // Line number of the current group's code line (1-based).
    std::size_t Line() const { return line_; }
    const std::string& SourceName() const { return source_; }

    // Typed values of the current group. A value that does not read (or lies
    // out of its type's range) is `def`, told to the sink; without a sink it
    // fails with the line.
    double Real(double def = 0.0) const;
    double Angle(double def = 0.0) const;  // degrees in the file, radians returned (and `def`)
    int Int(int def = 0) const;            // range of the code's type (16 or 32 bits, bool, byte)
    // Whether the value reads as a real (nothing told).
    bool IsReal() const;
    // The value into `v` when it reads; else false, told to the sink, and `v`
    // as it was (a field keeps its default).
    bool ReadReal(double& v) const;
    bool ReadAngle(double& v) const;
    bool ReadInt(int& v) const;
    void SetBadValueSink(BadValueSink* sink) { sink_ = sink; }
    std::uint64_t Handle() const;  // 0 when the value is not a handle
    std::string Text() const;
    void TextInto(std::string& out) const;

    // While `into` is set, every group read is also appended to it as the file
    // holds it; Unget takes the last one back.
    struct Captured {
        int code = 0;
        std::string value;
        std::size_t line = 0;
    };
    void Capture(std::vector<Captured>* into) { capture_ = into; }

    // DamagedGroup at the current group's line, or at `line`.
    [[noreturn]] void Fail(const std::string& what) const;
    [[noreturn]] void FailAt(std::size_t line, const std::string& what) const;
    // acad::Error: the text is no DXF that could be read.
    [[noreturn]] void Refuse(std::size_t line, const std::string& what) const;

private:
    std::string Where(std::size_t line, const std::string& what) const;
    [[gnu::cold, gnu::noinline]] void BadValue(const char* why) const;
    int IntOr(bool& bad) const;  // `bad` set (and told) when the value does not read
    // Reads a line as ReadLine does; one too long is passed over whole (its
    // view left empty, `tooLong` set) without being held.
    bool SkipOrReadLine(std::string_view& line, bool& tooLong);
    void CheckStart();
    // Only a value this long may make more than a line once saved.
    void NoteLength() { long_ = value_.size() > kMaxLineLength / kMaxSavedGrowth; }
    void CheckSavedLength() const;
    [[noreturn]] void LineTooLong(std::size_t line) const;
    bool ReadLine(std::string_view& line);
    // Next for what its quick reading leaves: blank lines, lines cut by the end
    // of what is held, bad codes, the end of the text.
    bool NextGeneral();
    // Out of line: Next stays light for the files read without capture.
    [[gnu::noinline]] void CaptureCurrent();
    // Reads more of the file, keeping what lies from keepFrom_ on; false at its end.
    bool Refill();

    const char* data_ = nullptr;  // the text, or what the buffer holds of the file
    std::size_t size_ = 0;
    std::FILE* file_ = nullptr;
    std::size_t piece_ = kReadPiece;
    bool eof_ = true;             // nothing more to read than data_ holds
    bool checkBinary_ = false;    // Refill looks for NUL bytes (after the start's checks)
    std::string buf_;             // the file's text from keepFrom_ on (streamed reading)
    std::size_t keepFrom_ = 0;    // start of the group before the current one
    std::size_t groupStart_ = 0;  // start of the current group's code line
    std::string source_;
    std::size_t pos_ = 0;
    std::size_t nextLine_ = 1;
    int code_ = 0;
    std::string_view value_;
    bool long_ = false;  // value_ is long enough to be looked at by CheckSavedLength
    std::size_t line_ = 0;
    bool atEnd_ = false;
    bool midLine_ = false;              // a line too long was cut where what was held ended
    std::uint64_t dropped_ = 0;         // bytes of the file Refill has let go
    std::uint64_t lastResync_ = ~0ULL;  // where Resync last stopped (offset in the file)
    BadValueSink* sink_ = nullptr;
    // State saved by Unget.
    bool pushedBack_ = false;
    std::vector<Captured>* capture_ = nullptr;
};

// Writes groups into a buffer, flushed to a file when one is given.
class GroupWriter {
public:
    // With `file` null everything stays in Text().
    explicit GroupWriter(std::FILE* file = nullptr, int precision = 17);

    // Both fail with acad::Error (FileError) on a value that would make a line
    // longer than kMaxLineLength, which no reader would take back; Real (and
    // Angle, Point, Point2) likewise on NaN.
    void String(int code, std::string_view utf8);
    void Keyword(int code, std::string_view ascii);  // no encoding (names of the format)
    void Real(int code, double v);
    void Angle(int code, double radians);
    void Int(int code, long long v);
    void Handle(int code, std::uint64_t h);
    void Point(int code, const Point3d& p);
    void Point2(int code, const Point3d& p);

    // Writes what is buffered to the file (FileError-free: the caller checks Failed).
    void Flush();
    bool Failed() const { return failed_; }
    const std::string& Text() const { return buf_; }
    std::string TakeText() { return std::move(buf_); }

private:
    void CodeLine(int code);
    // Ends the value written from `start`; refuses one longer than a line may be.
    void EndValue(int code, std::size_t start)
    {
        if (buf_.size() - start > kMaxLineLength) [[unlikely]]
            TooLong(code, start);
        buf_ += "\r\n";
        MaybeFlush();
    }
    [[noreturn]] void TooLong(int code, std::size_t start) const;
    [[noreturn]] void NotANumber(int code) const;
    void MaybeFlush()
    {
        if (file_ && buf_.size() >= kChunk) Flush();
    }
    static constexpr std::size_t kChunk = 1 << 20;
    std::FILE* file_;
    int precision_;
    bool failed_ = false;
    std::string buf_;
};

}  // namespace acad::dxf
