// Object ids, handles, erased objects and extended data.
#include <gtest/gtest.h>

#include <set>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;

TEST(Identity, IdsAreUniqueAndStableAcrossDocuments)
{
    Document a, b;
    Line* la = a.ModelSpace().AddLine({0, 0}, {1, 0});
    Line* lb = b.ModelSpace().AddLine({0, 0}, {1, 0});
    std::set<std::int32_t> ids;
    for (const auto& o : a.Objects()) ids.insert(o->ObjectID());
    for (const auto& o : b.Objects()) ids.insert(o->ObjectID());
    EXPECT_EQ(ids.size(), a.Objects().size() + b.Objects().size());
    EXPECT_GT(la->ObjectID(), 0);

    const std::int32_t id = la->ObjectID();
    la->SetStartPoint({5, 5, 0});
    la->SetLayer("0");
    EXPECT_EQ(la->ObjectID(), id);
    EXPECT_EQ(a.ObjectIdToObject(id), la);
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, b.ObjectIdToObject(id));  // not this drawing's
    EXPECT_EQ(b.ObjectIdToObject(lb->ObjectID()), lb);
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, a.ObjectIdToObject(0));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, a.ObjectIdToObject(-5));
}

TEST(Identity, HandlesAreHexTextAndCanTakeFileValues)
{
    Document doc;
    Line* l = doc.ModelSpace().AddLine({0, 0}, {1, 0});
    const std::string h = l->Handle();
    for (char c : h)
        EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(c)) && !std::islower(static_cast<unsigned char>(c)));
    EXPECT_EQ(doc.HandleToObject(h), l);
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.HandleToObject("ZZ"));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.HandleToObject(""));

    // A handle read from a file: found by it afterwards, and new handles go past it.
    doc.SetObjectHandle(*l, 0x2F0);
    EXPECT_EQ(l->Handle(), "2F0");
    EXPECT_EQ(doc.HandleToObject("2f0"), l);
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.HandleToObject(h));
    Point* p = doc.ModelSpace().AddPoint({0, 0, 0});
    EXPECT_GT(p->HandleValue(), 0x2F0u);
    EXPECT_ACAD_ERROR(ErrorCode::DuplicateKey, doc.SetObjectHandle(*p, 0x2F0));
}

TEST(Identity, ErasedObjectsStayObjectsButRefuseEverything)
{
    Document doc;
    Point* p = doc.ModelSpace().AddPoint({1, 2, 3});
    const std::int32_t id = p->ObjectID();
    const std::string h = p->Handle();
    p->Delete();
    EXPECT_TRUE(p->IsErased());
    EXPECT_EQ(p->ObjectID(), id);
    EXPECT_EQ(p->ObjectName(), "AcDbPoint");
    EXPECT_ACAD_ERROR(ErrorCode::ObjectErased, p->Delete());  // deleting twice fails
    EXPECT_ACAD_ERROR(ErrorCode::ObjectErased, p->Coordinates());
    EXPECT_ACAD_ERROR(ErrorCode::ObjectErased, p->SetLayer("0"));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.ObjectIdToObject(id));
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.HandleToObject(h));
    EXPECT_EQ(doc.ModelSpace().Count(), 0);
}

TEST(Identity, DeletingWhileWalkingASpaceVisitsEveryEntityOnce)
{
    Document doc;
    for (int i = 0; i < 10; ++i) doc.ModelSpace().AddPoint({double(i), 0, 0});
    int visited = 0;
    for (Entity* e : doc.ModelSpace()) {
        ++visited;
        if (As<Point>(e)->Coordinates().x < 5) e->Delete();
    }
    EXPECT_EQ(visited, 10);
    EXPECT_EQ(doc.ModelSpace().Count(), 5);
    EXPECT_DOUBLE_EQ(As<Point>(doc.ModelSpace().Item(0))->Coordinates().x, 5.0);
    EXPECT_DOUBLE_EQ(As<Point>(doc.ModelSpace().Item(doc.ModelSpace().Count() - 1))->Coordinates().x, 9.0);
    EXPECT_ACAD_ERROR(ErrorCode::KeyNotFound, doc.ModelSpace().Item(5));
}

TEST(XData, PerApplicationAndAllAtOnce)
{
    Document doc;
    Point* p = doc.ModelSpace().AddPoint({0, 0, 0});
    std::vector<int> types;
    std::vector<Variant> values;
    p->GetXData("", types, values);
    EXPECT_TRUE(types.empty());
    EXPECT_TRUE(values.empty());

    p->SetXData({1001, 1000, 1000}, {"P7", "12.5", "Poste"});
    p->SetXData({1001, 1040, 1070, 1071, 1010}, {"NUMEROTRE", 3.5, 12, 70000, Point3d{1, 2, 3}});
    p->GetXData("", types, values);
    EXPECT_EQ(types, (std::vector<int>{1001, 1000, 1000, 1001, 1040, 1070, 1071, 1010}));
    EXPECT_EQ(values[0].AsString(), "P7");
    EXPECT_EQ(values[1].AsString(), "12.5");
    EXPECT_EQ(values[2].AsString(), "Poste");
    EXPECT_EQ(values[3].AsString(), "NUMEROTRE");
    EXPECT_DOUBLE_EQ(values[4].AsDouble(), 3.5);
    EXPECT_EQ(values[5].AsInt(), 12);
    EXPECT_EQ(values[7].AsPoint(), (Point3d{1, 2, 3}));

    p->GetXData("numerotre", types, values);  // one application, any case
    EXPECT_EQ(types.size(), 5u);
    EXPECT_EQ(values[0].AsString(), "NUMEROTRE");

    // Setting an application again replaces its items; alone it removes them.
    p->SetXData({1001, 1000}, {"P7", "13"});
    p->GetXData("P7", types, values);
    EXPECT_EQ(types, (std::vector<int>{1001, 1000}));
    p->SetXData({1001}, {"P7"});
    p->GetXData("P7", types, values);
    EXPECT_TRUE(types.empty());
    p->GetXData("", types, values);
    EXPECT_EQ(values[0].AsString(), "NUMEROTRE");
    EXPECT_EQ(doc.RegisteredApplications().Item("P7")->UseCount(), 0);
}

TEST(XData, BadArraysLeaveTheObjectAsItWas)
{
    Document doc;
    Line* l = doc.ModelSpace().AddLine({0, 0}, {1, 0});
    l->SetXData({1001, 1000}, {"APP", "ok"});
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, l->SetXData({1000}, {"sem aplicação"}));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, l->SetXData({1001, 1000}, {"APP"}));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, l->SetXData({1001, 1000, 1040}, {"APP", "novo", "não é número"}));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, l->SetXData({1001, 1070}, {"APP", 70000}));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, l->SetXData({1001, 1000}, {"A*B", "x"}));
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, l->SetXData({1001, 1002}, {"APP", "("}));
    std::vector<int> types;
    std::vector<Variant> values;
    l->GetXData("", types, values);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[1].AsString(), "ok");
    EXPECT_EQ(doc.RegisteredApplications().Find("A*B"), nullptr);
}
