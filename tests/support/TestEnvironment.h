#pragma once
// What a test program's look must not take from the machine it runs on, and a
// way to run it on default faces of other heights, as many desktops have.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace testsupport {

// A desktop's settings for Qt's scale, style and theme (its fonts included)
// are not the test's: its pictures and sizes are checked pixel by pixel.
inline void ClearDesktopLook()
{
    for (const char* name :
         {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
          "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_FONT_DPI", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE"})
        ::unsetenv(name);
}

namespace detail {

// The big-endian number of `bytes` bytes at `at`, as the font's tables hold them.
inline std::uint32_t BigEndian(const std::string& b, std::size_t at, std::size_t bytes)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < bytes; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// The 16-bit value at `at`, signed or not as the field is, times `factor`.
inline void Scale16(std::string& b, std::size_t at, double factor, bool isSigned)
{
    const std::uint32_t raw = BigEndian(b, at, 2);
    const long v = isSigned && raw >= 0x8000 ? static_cast<long>(raw) - 0x10000 : static_cast<long>(raw);
    long scaled = std::lround(static_cast<double>(v) * factor);
    const long lo = isSigned ? -32768 : 0, hi = isSigned ? 32767 : 65535;
    scaled = scaled < lo ? lo : scaled > hi ? hi : scaled;
    const auto u = static_cast<unsigned>(scaled & 0xFFFF);
    b[at] = static_cast<char>(u >> 8);
    b[at + 1] = static_cast<char>(u & 0xFF);
}

// A TrueType face whose lines (ascent, descent and gap) are `factor` times as
// tall, in both tables where font engines read them; its letters are unchanged.
inline bool StretchLines(std::string& font, double factor)
{
    if (font.size() < 12) return false;
    const std::size_t tables = BigEndian(font, 4, 2);
    bool stretched = false;
    for (std::size_t i = 0; i < tables && 12 + 16 * (i + 1) <= font.size(); ++i) {
        const std::size_t rec = 12 + 16 * i;
        const std::string tag = font.substr(rec, 4);
        const std::size_t at = BigEndian(font, rec + 8, 4), length = BigEndian(font, rec + 12, 4);
        if (at + length > font.size()) return false;
        if (tag == "hhea" && length >= 10) {
            for (std::size_t field : {4u, 6u, 8u}) Scale16(font, at + field, factor, true);
            stretched = true;
        } else if (tag == "OS/2" && length >= 78) {
            for (std::size_t field : {68u, 70u, 72u}) Scale16(font, at + field, factor, true);
            for (std::size_t field : {74u, 76u}) Scale16(font, at + field, factor, false);
        }
    }
    return stretched;
}

}  // namespace detail

// QUORIL_TEST_OTHER_FONTS set: for the life of this object the program sees
// the machine's default faces (the DejaVu family, which a fresh machine
// chooses when a program names no face) with lines half as tall again, as on
// a desktop whose default faces are others; the faces a program names (the
// Liberation family) are left as they are.
class OtherDefaultFonts {
public:
    OtherDefaultFonts()
    {
        const char* wanted = std::getenv("QUORIL_TEST_OTHER_FONTS");
        if (!wanted || !*wanted) return;
        namespace fs = std::filesystem;
        std::vector<fs::path> originals;
        std::error_code ec;
        for (fs::recursive_directory_iterator it("/usr/share/fonts", ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (it->is_regular_file() && name.rfind("DejaVu", 0) == 0 && it->path().extension() == ".ttf")
                originals.push_back(it->path());
        }
        if (originals.empty()) {
            failure_ = "QUORIL_TEST_OTHER_FONTS: no DejaVu faces under /usr/share/fonts";
            return;
        }
        std::string pattern = (fs::temp_directory_path(ec) / "quoril-fonts-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            failure_ = "QUORIL_TEST_OTHER_FONTS: cannot make a folder " + pattern;
            return;
        }
        folder_ = pattern;
        std::string rejected;
        for (const fs::path& original : originals) {
            std::ifstream in(original, std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (!detail::StretchLines(bytes, 1.5)) continue;
            std::ofstream(folder_ / original.filename(), std::ios::binary) << bytes;
            rejected += "    <glob>" + original.string() + "</glob>\n";
        }
        // The cache first: fontconfig writes to the first folder it may, and the
        // machine's own cache is not to learn of these faces.
        std::ofstream(folder_ / "fonts.conf")
            << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n"
            << "  <cachedir>" << (folder_ / "cache").string() << "</cachedir>\n"
            << "  <selectfont><rejectfont>\n"
            << rejected << "  </rejectfont></selectfont>\n"
            << "  <include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
            << "  <dir>" << folder_.string() << "</dir>\n</fontconfig>\n";
        ::setenv("FONTCONFIG_FILE", (folder_ / "fonts.conf").c_str(), 1);
    }
    ~OtherDefaultFonts()
    {
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    }
    OtherDefaultFonts(const OtherDefaultFonts&) = delete;
    OtherDefaultFonts& operator=(const OtherDefaultFonts&) = delete;
    // Why the faces could not be made (the run is then not to go on), or "".
    const std::string& Failure() const { return failure_; }

private:
    std::filesystem::path folder_;
    std::string failure_;
};

}  // namespace testsupport
