// Drawing files on disk: read a piece at a time, written to a temporary file in the same
// folder and renamed over the drawing only once complete.

#include "platform/acad/DxfFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/FileReplacement.h"
#include "platform/SystemErrorText.h"
#include "platform/acad/DxfReader.h"
#include "platform/acad/DxfWriter.h"
#include "platform/acad/Error.h"

namespace acad {

namespace {

[[noreturn]] void WriteFailed(const std::filesystem::path& path, const std::string& why)
{
    throw Error(ErrorCode::FileError, "Não foi possível gravar o desenho \"" + path.string() + "\": " + why);
}

}  // namespace

std::string ReadDxf(Document& doc, const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Error(ErrorCode::FileNotFound, "Arquivo de desenho \"" + path.string() + "\" não encontrado");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        throw Error(ErrorCode::FileError,
                    "Não foi possível ler o desenho \"" + path.string() + "\": " + platform::ErrnoText(errno));
    return dxf::ReadDxfFrom(doc, file.get(), path.string());
}

void WriteDxf(const Document& doc, const std::filesystem::path& path, const DxfWriteOptions& options)
{
    platform::FileReplacement out(path);
    if (!out.IsOpen()) WriteFailed(path, out.Error());
    bool written = false;
    try {
        written = dxf::WriteDxfTo(doc, out.File(), options);
    } catch (const Error& e) {  // a value no file can hold: the drawing on disk stays
        WriteFailed(path, e.Description());
    }
    if (!written) WriteFailed(path, platform::ErrnoText(errno));
    if (!out.Commit()) WriteFailed(path, out.Error());
}

}  // namespace acad
