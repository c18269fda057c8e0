// Small value types: variants, errors, object lists.
#include <gtest/gtest.h>

#include "CoreTestUtil.h"
#include "platform/acad/Acad.h"

using namespace acad;

TEST(Values, VariantsConvertOnlyBetweenNumbers)
{
    Variant i = 42, d = 2.6, s = "BYLAYER", p = Point3d{1, 2, 3}, e;
    EXPECT_TRUE(i.IsInteger());
    EXPECT_DOUBLE_EQ(i.AsDouble(), 42.0);
    EXPECT_EQ(d.AsInt(), 3);
    EXPECT_EQ(s.AsString(), "BYLAYER");
    EXPECT_EQ(p.AsPoint(), (Point3d{1, 2, 3}));
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_EQ(d.ToString(), "2.6");
    EXPECT_EQ(p.ToString(), "1,2,3");
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, s.AsDouble());
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, i.AsString());
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, s.AsPoint());
    EXPECT_ACAD_ERROR(ErrorCode::InvalidInput, Variant(1e12).AsInt());

    Error cancel(ErrorCode::Cancelled, "cancelado");
    EXPECT_EQ(cancel.Number(), -2147352567);  // what the system's code compares with
    EXPECT_EQ(Error(ErrorCode::EmptyInput, "").Number(), static_cast<std::int32_t>(0x80210020u));
    EXPECT_STREQ(cancel.what(), "cancelado");
}

namespace {
struct Item {
    bool erased = false;
    bool IsErased() const { return erased; }
};
}  // namespace

TEST(Values, ObjectListsSkipErasedItemsAndCompactOnlyWhenIdle)
{
    Item items[6];
    ObjectList<Item> list;
    for (auto& it : items) list.Append(&it);
    items[1].erased = true;
    list.NoteErased();
    EXPECT_EQ(list.Count(), 5u);
    EXPECT_EQ(list.At(1), &items[2]);
    EXPECT_EQ(list.Last(), &items[5]);
    EXPECT_EQ(list.At(5), nullptr);

    // Erasing and adding while walking: every live item once, added ones included.
    Item extra;
    int seen = 0;
    for (Item* it : list) {
        ++seen;
        if (it == &items[0]) {
            items[3].erased = true;
            list.NoteErased();
            list.Append(&extra);
        }
        EXPECT_FALSE(it->erased);
    }
    EXPECT_EQ(seen, 5);  // 0, 2, 4, 5, extra
    EXPECT_EQ(list.Count(), 5u);
    EXPECT_EQ(list.Raw().size(), 5u);  // compacted once the walk ended
    EXPECT_EQ(list.At(4), &extra);
}
