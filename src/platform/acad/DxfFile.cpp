// Drawing files on disk: read whole, written to a temporary file in the same
// folder and renamed over the drawing only once complete.

#include "platform/acad/DxfFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/acad/DxfWriter.h"
#include "platform/acad/Error.h"

namespace acad {

namespace {

[[noreturn]] void WriteFailed(const std::filesystem::path& path, const std::string& why)
{
    throw Error(ErrorCode::FileError, "Não foi possível gravar o desenho \"" + path.string() + "\": " + why);
}

}  // namespace

void ReadDxf(Document& doc, const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Error(ErrorCode::FileNotFound, "Arquivo de desenho \"" + path.string() + "\" não encontrado");
    std::ifstream in(path, std::ios::binary);
    std::string text;
    const auto size = std::filesystem::file_size(path, ec);
    if (in && !ec) {
        text.resize(static_cast<std::size_t>(size));
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (!in && !in.eof())
        throw Error(ErrorCode::FileError, "Não foi possível ler o desenho \"" + path.string() + "\": " +
                                              std::strerror(errno));
    ReadDxfText(doc, text, path.string());
}

void WriteDxf(const Document& doc, const std::filesystem::path& path, const DxfWriteOptions& options)
{
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string hidden = path.filename().string();
    hidden.insert(hidden.begin(), '.');
    hidden.append(".XXXXXX");
    std::string temp = (folder / hidden).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) WriteFailed(path, std::strerror(errno));
    // The new file gets the permissions of the one it replaces, or the usual ones.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        const std::string why = std::strerror(errno);
        ::close(fd);
        ::unlink(temp.c_str());
        WriteFailed(path, why);
    }
    bool ok = false;
    std::string why = "erro de escrita";
    try {
        ok = dxf::WriteDxfTo(doc, f, options) && std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
        if (!ok) why = std::strerror(errno);
    } catch (...) {
        std::fclose(f);
        ::unlink(temp.c_str());
        throw;
    }
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        why = std::strerror(errno);
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        why = std::strerror(errno);
    }
    if (!ok) {
        ::unlink(temp.c_str());
        WriteFailed(path, why);
    }
}

}  // namespace acad
