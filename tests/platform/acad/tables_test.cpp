// Layers, linetypes, text styles and registered applications.
#include <gtest/gtest.h>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;
using acadcore_test::TempDir;

namespace {
const char* kLin =
    ";; linetypes for tests\n"
    "*DASHED,Dashed __ __ __\n"
    "A,.5,-.25\n"
    "*DASHDOT,Dash dot __ . __ .\n"
    "A,.5,-.25,0,-.25\n"
    "*GAS_LINE,Gas line ----GAS----\n"
    "A,.5,-.2,[\"GAS\",STANDARD,S=.1,R=0.0,X=-0.1,Y=-.05],-.25\n";
}

TEST(Layers, AddOfAnExistingNameInAnotherCaseGivesThatLayer)
{
    Document doc;
    Layer* pv = doc.Layers().Add("PV");
    pv->SetColor(8);
    EXPECT_EQ(doc.Layers().Add("pv"), pv);
    EXPECT_EQ(doc.Layers().Add("Pv")->Color(), 8);
    EXPECT_EQ(doc.Layers().Count(), 2);
    // Accented names compare without case too.
    Layer* c = doc.Layers().Add("0-Conferência");
    EXPECT_EQ(doc.Layers().Add("0-CONFERÊNCIA"), c);
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.Layers().Add("A*B"));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, doc.Layers().Add(""));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.Layers().Item("NADA"));

    // Walking the layers gives them in creation order, exact names.
    std::vector<std::string> names;
    for (Layer* l : doc.Layers()) names.push_back(l->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"0", "PV", "0-Conferência"}));
}

TEST(Layers, StatesAndTheirRefusals)
{
    Document doc;
    Layer* rede = doc.Layers().Add("REDE");
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, rede->SetColor(0));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, rede->SetColor(256));
    rede->SetColor(6);
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, rede->SetLinetype("DASHED"));
    EXPECT_EQ(rede->Linetype(), "Continuous");

    doc.SetActiveLayer(*rede);
    EXPECT_EQ(doc.GetVariable("CLAYER").AsString(), "REDE");
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, rede->SetFreeze(true));
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, rede->Delete());
    Line* l = doc.ModelSpace().AddLine({0, 0}, {1, 1});
    EXPECT_EQ(l->Layer(), "REDE");  // new entities go on the current layer

    doc.SetVariable("CLAYER", "0");
    rede->SetFreeze(true);
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, doc.SetActiveLayer(*rede));
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, rede->Delete());  // the line uses it
    rede->SetFreeze(false);

    // A locked layer keeps its entities as they are.
    rede->SetLock(true);
    EXPECT_ACAD_ERROR(ErrorCode::LockedLayer, l->Move({0, 0}, {1, 0}));
    EXPECT_ACAD_ERROR(ErrorCode::LockedLayer, l->SetColor(1));
    EXPECT_DOUBLE_EQ(l->StartPoint().x, 0.0);
    rede->SetLock(false);
    l->Delete();
    rede->Delete();
    EXPECT_EQ(doc.Layers().Find("REDE"), nullptr);
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, doc.Layers().Item("0")->Delete());
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, doc.Layers().Item("0")->SetName("ZERO"));
}

TEST(Linetypes, LoadFromLinFilesFoundByPathOrInSupportFolders)
{
    TempDir dir;
    dir.Write("ACAD.LIN", kLin);
    Application app;
    app.SetSupportFolders({dir.Path()});
    Document* doc = app.Documents().Add("Acad");

    doc->Linetypes().Load("DASHED", "acad.lin");  // found in the program folder, any letter case
    Linetype* dashed = doc->Linetypes().Item("dashed");
    EXPECT_EQ(dashed->Name(), "DASHED");
    EXPECT_EQ(dashed->Description(), "Dashed __ __ __");
    EXPECT_EQ(dashed->Pattern(), (std::vector<double>{0.5, -0.25}));
    EXPECT_DOUBLE_EQ(dashed->PatternLength(), 0.75);
    EXPECT_ACAD_ERROR(ErrorCode::DuplicateKey, doc->Linetypes().Load("DASHED", "acad.lin"));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc->Linetypes().Load("DESATIVAR", "acad.lin"));
    EXPECT_ACAD_ERROR(ErrorCode::FileNotFound, doc->Linetypes().Load("DESATIVAR", "r-quoril.lin"));

    auto own = dir.Write("r-quoril.lin", "*DESATIVAR,Desativada\nA,1,-1\n");
    doc->Linetypes().Load("DESATIVAR", own.string());
    doc->Linetypes().Load("GAS_LINE", (dir / "ACAD.LIN").string());
    Linetype* gas = doc->Linetypes().Item("GAS_LINE");
    EXPECT_EQ(gas->Pattern(), (std::vector<double>{0.5, -0.2, -0.25}));
    EXPECT_NE(gas->ComplexText().find("GAS"), std::string::npos);

    Layer* t = doc->Layers().Add("T_150");
    t->SetLinetype("DESATIVAR");
    EXPECT_EQ(t->Linetype(), "DESATIVAR");
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, doc->Linetypes().Item("DESATIVAR")->Delete());
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, t->SetLinetype("ByLayer"));
}

TEST(TextStyles, AddFetchesAndTheStandardStyleStays)
{
    Document doc;
    TextStyle* s = doc.TextStyles().Add("ROMANS");
    EXPECT_EQ(doc.TextStyles().Add("romans"), s);
    s->SetFontFile("Romans.shx");
    EXPECT_EQ(s->FontFile(), "Romans.shx");
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, s->SetWidth(0));
    doc.SetVariable("TEXTSTYLE", "ROMANS");
    EXPECT_EQ(doc.ModelSpace().AddText("x", {0, 0, 0}, 1)->StyleName(), "ROMANS");
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, doc.TextStyles().Item("Standard")->Delete());
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, s->Delete());
}

TEST(RegisteredApplications, DeleteIsRefusedWhileObjectsUseTheApplication)
{
    Document doc;
    Point* p1 = doc.ModelSpace().AddPoint({1, 1, 0});
    Point* p2 = doc.ModelSpace().AddPoint({2, 2, 0});
    p1->SetXData({1001, 1000, 1000}, {"P12", "101.25", "BL"});
    p2->SetXData({1001, 1000, 1000}, {"P12", "99", ""});
    doc.RegisteredApplications().Add("ORFA");
    RegisteredApplication* app = doc.RegisteredApplications().Item("P12");  // registered by SetXData
    EXPECT_EQ(app->UseCount(), 2);
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, app->Delete());
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, doc.RegisteredApplications().Item("ACAD")->Delete());
    p1->Delete();
    EXPECT_ACAD_ERROR(ErrorCode::ObjectInUse, app->Delete());
    p2->Delete();  // erasing the last point leaves the application unused
    EXPECT_EQ(app->UseCount(), 0);

    // The system's purge: delete by position, sweep until nothing more goes.
    int before = doc.RegisteredApplications().Count();
    for (int sweep = 0; sweep < 5; ++sweep) {
        int n = doc.RegisteredApplications().Count();
        for (int i = 0; i < n; ++i) {
            try {
                doc.RegisteredApplications().Item(i)->Delete();
            } catch (const Error&) {
                // in use, or past the end of the shrinking collection
            }
        }
        if (doc.RegisteredApplications().Count() == n) break;
    }
    EXPECT_EQ(before, 3);
    EXPECT_EQ(doc.RegisteredApplications().Count(), 1);
    EXPECT_EQ(doc.RegisteredApplications().Item(0)->Name(), "ACAD");
}

TEST(Tables, RenamesKeepLookupsAndRefuseClashes)
{
    TempDir dir;
    dir.Write("acad.lin", kLin);
    Document doc;
    Layer* a = doc.Layers().Add("ANTIGO");
    Line* l = doc.ModelSpace().AddLine({0, 0}, {1, 0});
    l->SetLayer("ANTIGO");
    a->SetName("0-Antigo");
    EXPECT_EQ(l->Layer(), "0-Antigo");  // entities follow the record, not the name
    EXPECT_EQ(doc.Layers().Find("ANTIGO"), nullptr);
    EXPECT_EQ(doc.Layers().Find("0-antigo"), a);
    doc.Layers().Add("REDE");
    EXPECT_ACAD_ERROR(ErrorCode::DuplicateKey, a->SetName("rede"));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, a->SetName("X|Y"));
    EXPECT_ACAD_ERROR(ErrorCode::NotApplicable, doc.Linetypes().Item("Continuous")->SetName("Cheia"));

    // "*" loads every linetype of the file that is not loaded yet.
    doc.Linetypes().Load("DASHED", (dir / "acad.lin").string());
    doc.Linetypes().Load("*", (dir / "acad.lin").string());
    EXPECT_NE(doc.Linetypes().Find("DASHDOT"), nullptr);
    EXPECT_NE(doc.Linetypes().Find("GAS_LINE"), nullptr);
    EXPECT_EQ(doc.Linetypes().Count(), 6);
    doc.SetVariable("CELTYPE", "DASHED");
    EXPECT_EQ(doc.ModelSpace().AddPoint({0, 0, 0})->Linetype(), "DASHED");
    EXPECT_EQ(doc.GetVariable("CELTYPE").AsString(), "DASHED");
    doc.SetVariable("CELTYPE", "ByLayer");
    EXPECT_EQ(doc.GetVariable("CELTYPE").AsString(), "BYLAYER");
}
