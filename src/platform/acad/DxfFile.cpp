// Drawing files on disk: read whole, written to a temporary file in the same
// folder and renamed over the drawing only once complete.

#include "platform/acad/DxfFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/FileReplacement.h"
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
    platform::FileReplacement out(path);
    if (!out.IsOpen()) WriteFailed(path, out.Error());
    if (!dxf::WriteDxfTo(doc, out.File(), options)) WriteFailed(path, std::strerror(errno));
    if (!out.Commit()) WriteFailed(path, out.Error());
}

}  // namespace acad
