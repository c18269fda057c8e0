// Saving a drawing over an existing file: a read-only drawing is refused with
// its name and stays as it was; a drawing reached through a link is saved into
// the file the link names, and the link stays; a name whose "\" belongs to a
// folder or file on disk is refused rather than read as a separator.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
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
