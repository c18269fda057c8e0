// Zoom, the view state, paper space and system variables.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;

TEST(Views, ZoomsMoveTheViewTheVariablesReport)
{
    Application app;
    Document* doc = app.Documents().Add("Acad");
    doc->SetScreenSize(1600, 800);
    EXPECT_EQ(doc->GetVariable("SCREENSIZE").AsPoint(), (Point3d{1600, 800, 0}));
    EXPECT_EQ(doc->GetVariable("VIEWCTR").AsPoint(), (Point3d{6, 4.5, 0}));
    EXPECT_DOUBLE_EQ(doc->GetVariable("VIEWSIZE").AsDouble(), 9.0);

    int changes = 0;
    auto c = doc->ViewChanged.Connect([&] { ++changes; });
    app.ZoomCenter({100, 200, 0}, 60);
    EXPECT_EQ(doc->GetVariable("VIEWCTR").AsPoint(), (Point3d{100, 200, 0}));
    EXPECT_DOUBLE_EQ(doc->GetVariable("VIEWSIZE").AsDouble(), 60.0);
    EXPECT_DOUBLE_EQ(doc->ActiveView().Width(), 120.0);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, app.ZoomCenter({0, 0, 0}, 0));

    // Window then relative scale: the system's "ZoomJanela" with factor 0.8.
    app.ZoomWindow({0, 0, 0}, {10, 40, 0});
    EXPECT_EQ(doc->ActiveView().Center(), (Point3d{5, 20, 0}));
    EXPECT_DOUBLE_EQ(doc->ActiveView().Height(), 40.0);
    app.ZoomScaled(0.8, acZoomScaledRelative);
    EXPECT_DOUBLE_EQ(doc->ActiveView().Height(), 50.0);
    app.ZoomWindow({0, 0, 0}, {100, 10, 0});  // wide window: the width decides
    EXPECT_DOUBLE_EQ(doc->ActiveView().Height(), 50.0);

    doc->ModelSpace().AddLine({-10, -10}, {30, 10});
    app.ZoomExtents();
    EXPECT_EQ(doc->ActiveView().Center(), (Point3d{10, 0, 0}));
    EXPECT_DOUBLE_EQ(doc->ActiveView().Height(), 20.0 * (1 + View::kExtentsMargin));
    EXPECT_EQ(changes, 5);
    // The drawing with a margin around it.
    Box visible = doc->ActiveView().VisibleBox();
    EXPECT_DOUBLE_EQ(visible.min.x, 10 - 20 * 1.06);
    EXPECT_DOUBLE_EQ(visible.max.x, 10 + 20 * 1.06);

    // Near the largest double the centre is still a number.
    Document* far = app.Documents().Add("Acad");
    far->ModelSpace().AddLine({1e308, 0}, {1.5e308, 1});
    app.ZoomExtents();
    EXPECT_EQ(far->ActiveView().Center(), (Point3d{1.25e308, 0.5, 0}));
    // A box reaching infinity, along either axis, has no centre to look at: the view stays.
    const double inf = std::numeric_limits<double>::infinity();
    View& view = far->ActiveView();
    const double height = view.Height();
    view.Fit(Box::FromCorners({0, 0, 0}, {inf, 1, 0}));
    view.Fit(Box::FromCorners({0, -inf, 0}, {1, 1, 0}));
    EXPECT_EQ(view.Center(), (Point3d{1.25e308, 0.5, 0}));
    EXPECT_EQ(view.Height(), height);
}

TEST(Views, ExtentsAreComputedFromTheDrawing)
{
    Document doc;
    EXPECT_EQ(doc.GetVariable("EXTMIN").AsPoint().x, 1e20);
    EXPECT_EQ(doc.GetVariable("EXTMAX").AsPoint().x, -1e20);
    Circle* c = doc.ModelSpace().AddCircle({10, 20, 0}, 5);
    EXPECT_EQ(doc.GetVariable("EXTMIN").AsPoint(), (Point3d{5, 15, 0}));
    EXPECT_EQ(doc.GetVariable("EXTMAX").AsPoint(), (Point3d{15, 25, 0}));
    c->SetRadius(1);
    EXPECT_EQ(doc.GetVariable("EXTMAX").AsPoint(), (Point3d{11, 21, 0}));
    c->Delete();
    EXPECT_EQ(doc.GetVariable("EXTMIN").AsPoint().x, 1e20);

    // A block that holds a circle reaching infinity: its references count with the rest of it.
    Block* b = doc.Blocks().Add({0, 0, 0}, "LONGE");
    b->AddCircle({1e308, 1e308, 0}, 1e308);
    b->AddLine({0, 0, 0}, {1, 1, 0});
    EXPECT_EQ(b->Extents(), Box::FromCorners({0, 0, 0}, {1, 1, 0}));
    BlockReference* r = doc.ModelSpace().InsertBlock({20, 0, 0}, "LONGE", 1, 1, 1, 0);
    EXPECT_EQ(doc.GetVariable("EXTMIN").AsPoint(), (Point3d{20, 0, 0}));
    EXPECT_EQ(doc.GetVariable("EXTMAX").AsPoint(), (Point3d{21, 1, 0}));
    r->SetRotation(kPi / 6);  // measured part by part
    EXPECT_NEAR(doc.GetVariable("EXTMAX").AsPoint().x, 20 + std::cos(kPi / 6) - 0.5, 1e-12);
    EXPECT_NEAR(doc.GetVariable("EXTMAX").AsPoint().y, 0.5 + std::cos(kPi / 6), 1e-12);
}

TEST(Views, PaperSpaceViewportAndItsModelSpace)
{
    Application app;
    Document* doc = app.Documents().Add("Acad");
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, doc->SetMSpace(true));
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, doc->ActivePViewport());
    doc->SetActiveSpace(acPaperSpace);
    EXPECT_EQ(doc->ActiveSpace(), acPaperSpace);
    EXPECT_EQ(doc->ActiveLayout().Name(), "Layout1");
    EXPECT_EQ(doc->GetVariable("TILEMODE").AsInt(), 0);
    PViewport* vp = doc->ActivePViewport();  // a layout shown the first time gets a viewport
    ASSERT_NE(vp, nullptr);
    EXPECT_EQ(vp->ObjectName(), "AcDbViewport");
    vp->SetWidth(786);
    vp->SetHeight(499);
    vp->SetCenter({400, 300, 0});
    doc->SetMSpace(true);
    Point3d lo, hi;
    doc->ActivePViewport()->GetBoundingBox(lo, hi);
    EXPECT_DOUBLE_EQ(std::abs(hi.x - lo.x), 786.0);
    EXPECT_DOUBLE_EQ(std::abs(hi.y - lo.y), 499.0);
    vp->Display(true);
    EXPECT_TRUE(vp->ViewportOn());

    // In the viewport's model space, zooms move the viewport's view only.
    const Point3d modelCenter = doc->ModelView().Center();
    app.ZoomWindow({0, 0, 0}, {786, 499, 0});
    EXPECT_EQ(doc->GetVariable("VIEWCTR").AsPoint(), (Point3d{393, 249.5, 0}));
    EXPECT_NEAR(vp->CustomScale(), 1.0, 1e-12);
    EXPECT_EQ(doc->ModelView().Center(), modelCenter);

    // Layouts: copies, deletion and the active layout moving on.
    Layout* copy = doc->Layouts().Copy(doc->ActiveLayout(), "Folha 2");
    EXPECT_EQ(copy->Block().Count(), 1);
    EXPECT_ACAD_ERROR(ErrorCode::DuplicateKey, doc->Layouts().Add("folha 2"));
    doc->ActiveLayout().Delete();
    EXPECT_EQ(doc->ActiveLayout().Name(), "Folha 2");
    EXPECT_EQ(doc->PaperSpace().Name(), "*Paper_Space");
    copy->Delete();
    EXPECT_EQ(doc->Layouts().Count(), 2);  // the last paper layout gives way to a new "Layout1"
    EXPECT_EQ(doc->Layouts().Item(1)->Name(), "Layout1");
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, doc->Layouts().Item("Model")->Delete());
    doc->SetVariable("TILEMODE", 1);
    EXPECT_EQ(doc->ActiveSpace(), acModelSpace);
}

TEST(Variables, DefaultsKindsAndRefusals)
{
    Document doc;
    EXPECT_EQ(doc.GetVariable("CECOLOR").AsString(), "BYLAYER");
    EXPECT_EQ(doc.GetVariable("osmode").AsInt(), 0);
    EXPECT_EQ(doc.GetVariable("ORTHOMODE").AsInt(), 0);
    EXPECT_EQ(doc.GetVariable("FILEDIA").AsInt(), 1);
    EXPECT_EQ(doc.GetVariable("CMDECHO").AsInt(), 1);
    EXPECT_DOUBLE_EQ(doc.GetVariable("LTSCALE").AsDouble(), 1.0);
    EXPECT_DOUBLE_EQ(doc.GetVariable("SNAPANG").AsDouble(), 0.0);
    EXPECT_EQ(doc.GetVariable("CLAYER").AsString(), "0");
    EXPECT_EQ(doc.GetVariable("CTAB").AsString(), "Model");
    EXPECT_EQ(doc.GetVariable("DWGNAME").AsString(), "Drawing1.dwg");

    doc.SetVariable("OSMODE", 512);
    EXPECT_EQ(doc.Variables().OsMode(), 512);
    doc.SetVariable("LTSCALE", 100);
    EXPECT_DOUBLE_EQ(doc.GetVariable("LTSCALE").AsDouble(), 100.0);
    doc.SetVariable("SNAPANG", 1.25);
    doc.SetVariable("CECOLOR", "bylayer");
    EXPECT_EQ(doc.GetVariable("CECOLOR").AsString(), "BYLAYER");
    doc.SetVariable("CECOLOR", "5");
    EXPECT_EQ(doc.GetVariable("CECOLOR").AsString(), "5");

    EXPECT_ACAD_ERROR(ErrorCode::UnknownVariable, doc.GetVariable("NAOEXISTE"));
    EXPECT_ACAD_ERROR(ErrorCode::UnknownVariable, doc.SetVariable("NAOEXISTE", 1));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.SetVariable("OSMODE", "1"));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.SetVariable("OSMODE", 1.5));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.SetVariable("FILEDIA", 2));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.SetVariable("LTSCALE", 0));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.SetVariable("CECOLOR", "VERMELHO"));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.SetVariable("VIEWSIZE", 10.0));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.SetVariable("CLAYER", "NADA"));
    EXPECT_DOUBLE_EQ(doc.GetVariable("LTSCALE").AsDouble(), 100.0);

    // A point that is not a number everywhere is refused as such a number is, and the old one stays.
    const auto recusa = [&](const std::string& name, const Variant& value) {
        try {
            doc.SetVariable(name, value);
        } catch (const Error& e) {
            EXPECT_EQ(e.Code(), ErrorCode::InvalidInput) << name;
            return e.Description();
        }
        return std::string("aceito");
    };
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(recusa("LTSCALE", inf), "Valor inválido para LTSCALE: esperado um número");
    doc.SetVariable("LIMMAX", Point3d{100, 50, 0});
    EXPECT_EQ(recusa("LIMMAX", Point3d{inf, 50, 0}), "Valor inválido para LIMMAX: esperado um número");
    EXPECT_EQ(recusa("LIMMAX", Point3d{100, 50, nan}), "Valor inválido para LIMMAX: esperado um número");
    EXPECT_EQ(doc.GetVariable("LIMMAX").AsPoint(), (Point3d{100, 50, 0}));
}

TEST(Variables, ValuesReadFromAFileHeader)
{
    // What the file reader hands over: stored values, the saved view, and computed ones ignored.
    Document doc;
    SystemVariables& v = doc.Variables();
    v.SetStored("LTSCALE", 25.0);
    v.SetStored("VIEWCTR", Point3d{300100, 7000200, 0});
    v.SetStored("VIEWSIZE", 350.0);
    v.SetStored("EXTMIN", Point3d{1, 1, 1});  // computed from the drawing: ignored
    v.SetStored("ACADVER", "AC1015");         // read-only for users, kept for the file
    v.SetStored("NAOEXISTE", 1);              // unknown: ignored
    v.SetStored("CECOLOR", 256);
    EXPECT_DOUBLE_EQ(doc.GetVariable("LTSCALE").AsDouble(), 25.0);
    EXPECT_EQ(doc.GetVariable("VIEWCTR").AsPoint(), (Point3d{300100, 7000200, 0}));
    EXPECT_DOUBLE_EQ(doc.GetVariable("VIEWSIZE").AsDouble(), 350.0);
    EXPECT_EQ(doc.GetVariable("EXTMIN").AsPoint().x, 1e20);
    EXPECT_EQ(doc.GetVariable("CECOLOR").AsString(), "BYLAYER");
    EXPECT_EQ(doc.GetVariable("ACADVER").AsString(), "AC1015");
    auto names = v.StoredNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "LTSCALE"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "EXTMIN"), names.end());
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, v.SetStored("LTSCALE", "x"));
}
