// Small value types: variants, errors, object lists.
#include <gtest/gtest.h>

#include <vector>

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
    list.NoteErased(&items[1]);
    items[1].erased = true;
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
            list.NoteErased(&items[3]);
            items[3].erased = true;
            list.Append(&extra);
        }
        EXPECT_FALSE(it->erased);
    }
    EXPECT_EQ(seen, 5);  // 0, 2, 4, 5, extra
    EXPECT_EQ(list.Count(), 5u);
    EXPECT_EQ(list.Raw().size(), 5u);  // compacted once the walk ended
    EXPECT_EQ(list.At(4), &extra);
}

TEST(Values, ObjectListsFindPositionsWhileItemsAreErasedByPosition)
{
    // The purge's sweeps: delete the item at each position of the shrinking list,
    // then again, until nothing is left; positions always count live items only.
    std::vector<Item> items(1000);
    ObjectList<Item> list;
    for (auto& it : items) list.Append(&it);
    std::vector<Item*> live;
    for (auto& it : items) live.push_back(&it);
    int sweeps = 0;
    while (list.Count() > 0) {
        ++sweeps;
        const std::size_t n = list.Count();
        for (std::size_t i = 0; i < n; ++i) {
            Item* it = list.At(i);
            if (i >= live.size()) {
                EXPECT_EQ(it, nullptr);
                continue;
            }
            ASSERT_EQ(it, live[i]) << "sweep " << sweeps << " position " << i;
            if (i % 3 == 2) continue;  // some refuse to go, as applications in use do
            list.NoteErased(it);
            it->erased = true;
            live.erase(live.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (list.Count() == n) {
            for (Item* it : live) {
                list.NoteErased(it);
                it->erased = true;
            }
            live.clear();
        }
        // Backwards as well: the last item, each time.
        for (int k = 0; k < 3 && list.Count() > 0; ++k) {
            ASSERT_EQ(list.Last(), live.back());
            list.NoteErased(live.back());
            live.back()->erased = true;
            live.pop_back();
        }
        EXPECT_EQ(list.Count(), live.size());
    }
    EXPECT_GT(sweeps, 2);
    EXPECT_EQ(list.At(0), nullptr);
}
