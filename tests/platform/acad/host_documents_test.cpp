// Running-object table, application and documents.
#include <gtest/gtest.h>

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <filesystem>
#include <optional>
#include <string>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"

using namespace acad;
using acadcore_test::DxfAvailable;
using acadcore_test::ScopedHome;
using acadcore_test::TempDir;

TEST(RunningObjects, AttachOnlyToARegisteredHost)
{
    RevokeActiveObject("AutoCAD.Application");
    try {
        GetObject("AutoCAD.Application");
        FAIL() << "attached without a running host";
    } catch (const Error& e) {
        EXPECT_EQ(e.Code(), ErrorCode::NotRunning);
        EXPECT_NE(e.Description().find("AutoCAD.Application"), std::string::npos);
    }
    Application app;
    {
        ActiveObjectRegistration reg(app);
        EXPECT_EQ(GetObject("AutoCAD.Application"), &app);
        EXPECT_EQ(GetObject("autocad.application"), &app);  // identifiers ignore case
        EXPECT_EQ(GetObject("", "AutoCAD.Application"), &app);
        EXPECT_ACAD_ERROR(ErrorCode::NotRunning, GetObject("Other.Application"));
    }
    EXPECT_ACAD_ERROR(ErrorCode::NotRunning, GetObject("AutoCAD.Application"));
}

TEST(Documents, NewDrawingHasTheDefaultState)
{
    TempDir home;
    ScopedHome scoped(home.Path());
    Application app;
    EXPECT_ACAD_ERROR(ErrorCode::NoDocument, app.ActiveDocument());
    EXPECT_EQ(app.Caption(), "AutoCAD");
    Document* doc = app.Documents().Add("Acad");
    EXPECT_EQ(app.ActiveDocument(), doc);
    EXPECT_EQ(doc->FullName(), "");
    EXPECT_EQ(doc->Name(), "Drawing1.dwg");
    EXPECT_EQ(app.Caption(), "AutoCAD - [Drawing1.dwg]");
    // Never saved, it lies in the user's folder, not where the program was started.
    EXPECT_EQ(doc->Path(), home.Path().string());
    EXPECT_EQ(doc->GetVariable("DWGPREFIX").AsString(), home.Path().string() + "/");
    std::filesystem::create_directory(home / "Documentos");
    EXPECT_EQ(doc->Path(), (home / "Documentos").string());
    {
        // HOME set but empty: the account's home, never the working folder.
        ScopedHome empty("");
        const std::filesystem::path account = ::getpwuid(::getuid())->pw_dir;
        EXPECT_TRUE(doc->Path() == account.string() || doc->Path() == (account / "Documentos").string()) << doc->Path();
    }

    ASSERT_EQ(doc->Layers().Count(), 1);
    EXPECT_EQ(doc->Layers().Item(0)->Name(), "0");
    EXPECT_EQ(doc->Layers().Item(0)->Color(), 7);
    EXPECT_EQ(doc->ActiveLayer().Name(), "0");
    EXPECT_EQ(doc->TextStyles().Item(0)->Name(), "Standard");
    EXPECT_NE(doc->Linetypes().Find("CONTINUOUS"), nullptr);
    EXPECT_NE(doc->Linetypes().Find("BYLAYER"), nullptr);
    EXPECT_NE(doc->Linetypes().Find("BYBLOCK"), nullptr);
    EXPECT_NE(doc->RegisteredApplications().Find("ACAD"), nullptr);
    ASSERT_EQ(doc->Layouts().Count(), 2);
    EXPECT_EQ(doc->Layouts().Item(0)->Name(), "Model");
    EXPECT_EQ(doc->Layouts().Item(1)->Name(), "Layout1");
    EXPECT_EQ(doc->Blocks().Item(0)->Name(), "*Model_Space");
    EXPECT_EQ(doc->Blocks().Item(1)->Name(), "*Paper_Space");
    EXPECT_EQ(&doc->ModelSpace(), doc->Blocks().Item("*MODEL_SPACE"));
    EXPECT_EQ(doc->ActiveSpace(), acModelSpace);
    EXPECT_EQ(doc->ModelSpace().Count(), 0);
    EXPECT_TRUE(doc->Saved());
}

TEST(Documents, SeveralDrawingsKeepTheirOwnContent)
{
    Application app;
    Document* a = app.Documents().Add("Acad");
    Document* b = app.Documents().Add("Acad");
    EXPECT_EQ(b->Name(), "Drawing2.dwg");
    EXPECT_EQ(app.ActiveDocument(), b);
    a->ModelSpace().AddLine({0, 0}, {1, 1});
    a->Layers().Add("PV");
    EXPECT_EQ(b->ModelSpace().Count(), 0);
    EXPECT_EQ(b->Layers().Find("PV"), nullptr);
    a->Activate();
    EXPECT_EQ(app.ActiveDocument(), a);
    EXPECT_EQ(app.Caption(), "AutoCAD - [Drawing1.dwg]");

    std::vector<Document*> seen;
    for (const auto& d : app.Documents()) seen.push_back(d.get());
    EXPECT_EQ(seen, (std::vector<Document*>{a, b}));

    // An entity of one drawing cannot be put into another.
    auto stray = std::make_unique<Line>(*a, LineData{{0, 0}, {1, 0}});
    EXPECT_ACAD_ERROR(ErrorCode::WrongDocument, b->ModelSpace().AppendEntity(std::move(stray)));

    app.Documents().Close(*a);
    EXPECT_EQ(app.Documents().Count(), 1);
    EXPECT_EQ(app.ActiveDocument(), b);
}

TEST(Documents, QuiescentUnlessACommandWaits)
{
    Application app;
    Document* d = app.Documents().Add("Acad");
    EXPECT_TRUE(app.GetAcadState().IsQuiescent());
    d->SetCommandActive(true);
    EXPECT_FALSE(app.GetAcadState().IsQuiescent());
    d->SetCommandActive(false);
    int raised = 0;
    auto c = app.VisibleChanged.Connect([&](bool v) { raised += v ? 1 : 0; });
    app.SetVisible(true);
    app.SetVisible(true);
    EXPECT_TRUE(app.Visible());
    EXPECT_EQ(raised, 1);
}

TEST(Documents, OpeningAMissingOrDamagedFileAddsNothing)
{
    TempDir dir;
    Application app;
    app.Documents().Add("Acad");
    EXPECT_ACAD_ERROR(ErrorCode::FileNotFound, app.Documents().Open((dir / "missing.dwg").string()));
    auto bad = dir.Write("bad.dwg", std::string("AC1015\0\x01\x02 binary drawing", 24));
    EXPECT_NE(acadcore_test::CodeOf([&] { app.Documents().Open(bad.string()); }), 0u);
    EXPECT_EQ(app.Documents().Count(), 1);
    // The drawing in the folder "Obra\" is not the one in "Obra": neither is opened for it.
    std::filesystem::create_directory(dir / "Obra");
    std::filesystem::create_directory(dir / "Obra\\");
    Document other;
    other.ModelSpace().AddLine({0, 0}, {1, 1});
    WriteDxf(other, dir / "Obra/rede.dwg");
    WriteDxf(other, dir / "Obra\\/rede.dwg");
    EXPECT_ACAD_ERROR(ErrorCode::FileError, app.Documents().Open((dir / "Obra\\/rede.dwg").string()));
    EXPECT_EQ(app.Documents().Count(), 1);
}

TEST(Documents, SaveAsThenOpenGivesTheDrawingBack)
{
    if (!DxfAvailable()) GTEST_SKIP() << "DXF files not available yet";
    TempDir dir;
    Application app;
    Document* d = app.Documents().Add("Acad");
    EXPECT_ACAD_ERROR(ErrorCode::FileError, d->Save());
    d->Layers().Add("REDE")->SetColor(6);
    Line* l = d->ModelSpace().AddLine({1, 2}, {3, 4});
    l->SetLayer("REDE");
    const std::string handle = l->Handle();
    EXPECT_FALSE(d->Saved());
    d->SaveAs((dir / "rede.dwg").string());
    EXPECT_TRUE(d->Saved());
    EXPECT_EQ(d->Name(), "rede.dwg");
    EXPECT_EQ(d->FullName(), (dir / "rede.dwg").string());

    Document* o = app.Documents().Open((dir / "rede.dwg").string());
    EXPECT_EQ(app.ActiveDocument(), o);
    EXPECT_EQ(o->FullName(), (dir / "rede.dwg").string());
    ASSERT_EQ(o->ModelSpace().Count(), 1);
    auto* back = As<Line>(o->ModelSpace().Item(0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Layer(), "REDE");
    EXPECT_EQ(back->Handle(), handle);
    EXPECT_EQ(o->Layers().Item("rede")->Color(), 6);

    // A name alone saves a new drawing into the user's documents.
    ScopedHome scoped(dir.Path());
    std::filesystem::create_directory(dir / "Documentos");
    Document* n = app.Documents().Add("Acad");
    n->SaveAs("novo.dwg");
    EXPECT_EQ(n->FullName(), (dir / "Documentos" / "novo.dwg").string());
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "Documentos" / "novo.dwg"));
}
