// Saving a drawing over an existing file: a read-only drawing is refused with
// its name and stays as it was; a drawing reached through a link is saved into
// the file the link names, and the link stays; a name whose "\" belongs to a
// folder or file on disk is refused rather than read as a separator. A name at
// the system's limit saves; a failed save says why, naming the folder or the
// value at fault, and keeps the file on disk.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

using namespace acad;
using acadcore_test::TempDir;

namespace {

std::string Contents(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(DrawingSaveOver, ReadOnlyDrawingsAreRefusedAndLinksWrittenThrough)
{
    TempDir dir;
    Document doc;
    doc.ModelSpace().AddLine(Point3d(0, 0), Point3d(10, 5));

    const auto locked = dir.Write("rede.dwg", "0\nEOF\n");
    ::chmod(locked.c_str(), 0444);
    try {
        doc.SaveAs(locked.string());
        ADD_FAILURE() << "a read-only drawing was replaced";
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::FileError);
        EXPECT_NE(e.Description().find("rede.dwg"), std::string::npos) << e.Description();
        EXPECT_NE(e.Description().find("somente leitura"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(Contents(locked), "0\nEOF\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    std::filesystem::create_directory(dir / "projetos");
    const auto real = dir.Write("projetos/bairro.dwg", "0\nEOF\n");
    std::filesystem::create_symlink("projetos/bairro.dwg", dir / "atalho.dwg");
    doc.SaveAs((dir / "atalho.dwg").string());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "atalho.dwg"));
    Document back;
    ReadDxf(back, real);
    EXPECT_EQ(back.ModelSpace().Count(), 1);
    // Saving again under the drawing's name goes the same way.
    doc.ModelSpace().AddLine(Point3d(1, 1), Point3d(2, 2));
    doc.Save();
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "atalho.dwg"));
    Document again;
    ReadDxf(again, real);
    EXPECT_EQ(again.ModelSpace().Count(), 2);

    // "Obra\" is a folder of its own beside last year's "Obra": read with its
    // "\" as a separator the name would reach "Obra/rede.dwg", so it is refused.
    std::filesystem::create_directory(dir / "Obra\\");
    std::filesystem::create_directory(dir / "Obra");
    const auto lastYear = dir.Write("Obra/rede.dwg", "0\nEOF\n");
    try {
        doc.SaveAs((dir / "Obra\\/rede.dwg").string());
        ADD_FAILURE() << "saved through a folder named with a backslash";
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::FileError);
        EXPECT_NE(e.Description().find("Obra\\"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(Contents(lastYear), "0\nEOF\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "Obra\\"));
    EXPECT_EQ(doc.Name(), "atalho.dwg");
    // A link named "Obra\" that leads nowhere is such a name on disk too.
    std::filesystem::remove(dir / "Obra\\");
    std::filesystem::create_symlink(dir / "levada", dir / "Obra\\");
    EXPECT_THROW(doc.SaveAs((dir / "Obra\\/rede.dwg").string()), Error);
    EXPECT_EQ(Contents(lastYear), "0\nEOF\n");
    EXPECT_EQ(doc.Name(), "atalho.dwg");
    // A file named with a backslash is not saved over another one either.
    const auto odd = dir.Write("Obra\\rede.dwg", "odd");
    EXPECT_THROW(doc.SaveAs(odd.string()), Error);
    EXPECT_EQ(Contents(lastYear), "0\nEOF\n");
    EXPECT_EQ(Contents(odd), "odd");
    // The program's own names, joined with "\", still go where they say.
    doc.SaveAs((dir / "projetos").string() + "\\nova.dwg");
    EXPECT_TRUE(std::filesystem::exists(dir / "projetos/nova.dwg"));
}

namespace {

// The folder's entries, the drawing's hidden copies included.
std::size_t Entries(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// The description of the error a save throws ("" when it saves).
std::string SaveError(Document& doc, const std::string& name)
{
    try {
        doc.SaveAs(name);
    } catch (const Error& e) {
        return e.Description();
    }
    return {};
}

}  // namespace

// A drawing that opens saves: a name at the system's limit (255 bytes, or 124
// two-byte letters) still leaves room for the hidden copy beside it.
TEST(DrawingSaveOver, ANameAtTheLimitSavesAndAFailedSaveNamesItsCause)
{
    TempDir dir;
    Document doc;
    doc.ModelSpace().AddLine(Point3d(0, 0), Point3d(10, 5));
    std::string cedilhas;
    for (int i = 0; i < 124; ++i) cedilhas += "ç";
    for (const std::string& name :
         {std::string(251, 'a') + ".dwg", std::string(244, 'b') + ".dwg", cedilhas + ".dwg"}) {
        const auto path = dir / name;
        dir.Write(name, "0\nEOF\n");
        Document opened;
        ReadDxf(opened, path);
        EXPECT_EQ(SaveError(doc, path.string()), "") << name.size() << " bytes";
        doc.ModelSpace().AddLine(Point3d(1, 1), Point3d(2, 2));
        EXPECT_NO_THROW(doc.Save()) << name.size() << " bytes";
        Document back;
        ReadDxf(back, path);
        EXPECT_EQ(back.ModelSpace().Count(), doc.ModelSpace().Count());
    }
    EXPECT_EQ(Entries(dir.Path()), 3u);

    // A folder typed with a "/" at its end is a folder, as without it; nothing
    // is made inside it.
    std::filesystem::create_directory(dir / "obra");
    for (const std::string& name : {(dir / "obra").string(), (dir / "obra").string() + "/"}) {
        const std::string why = SaveError(doc, name);
        EXPECT_NE(why.find("É uma pasta, não um arquivo"), std::string::npos) << why;
    }
    EXPECT_EQ(Entries(dir / "obra"), 0u);

    // A writable drawing in a folder its user may not write to: the folder is
    // named as the cause, not the drawing. Root writes anywhere, so as root the
    // save is tried as another user who owns the drawing.
    const auto drawing = dir.Write("obra/rede.dwg", "0\nEOF\n");
    const std::string expected = "Sem permissão para gravar na pasta \"" + (dir / "obra").string() + "\"";
    const auto tried = [&] {
        const std::string why = SaveError(doc, drawing.string());
        return why.find(expected) != std::string::npos && why.find("rede.dwg") != std::string::npos;
    };
    if (::geteuid() == 0) {
        ::chmod(dir.Path().c_str(), 0755);
        ::chown(drawing.c_str(), 65534, 65534);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(2);
            std::_Exit(tried() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "expected: " << expected;
    } else {
        ::chmod((dir / "obra").c_str(), 0555);
        EXPECT_TRUE(tried()) << "expected: " << expected;
        ::chmod((dir / "obra").c_str(), 0755);
    }
    EXPECT_EQ(Contents(drawing), "0\nEOF\n");

    // A value that is not a number reaches the writer: the save is refused
    // and the drawing on disk stays as it was, without a copy left beside it.
    const auto kept = dir.Write("mantido.dwg", "0\nEOF\n");
    doc.ModelSpace().AddLine(Point3d(0, 0), Point3d(1, 0))->SetThickness(std::numeric_limits<double>::quiet_NaN());
    const std::string why = SaveError(doc, kept.string());
    EXPECT_NE(why.find("NaN"), std::string::npos) << why;
    EXPECT_NE(why.find("mantido.dwg"), std::string::npos) << why;
    EXPECT_EQ(Contents(kept), "0\nEOF\n");
    EXPECT_EQ(Entries(dir.Path()), 5u);
}
