#include "platform/unique_resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace vitrell {
namespace {

std::vector<int> g_freed;  // what the fake traits released, in order

struct FakeTraits {
    using Handle = int;
    static Handle Empty() { return 0; }
    static void Free(Handle h) { g_freed.push_back(h); }
};
using Owner = UniqueResource<FakeTraits>;

TEST(UniqueResource, FreesExactlyOnceWhateverPathOwnershipTakes) {
    g_freed.clear();
    {
        Owner a(1);
        Owner b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 1);
        Owner c(2);
        c = std::move(b);  // frees 2, takes 1
        EXPECT_EQ(g_freed, std::vector<int>{2});
        c = std::move(c);  // self-move keeps it
        EXPECT_EQ(c.get(), 1);
        c.reset(3);        // frees 1
        const int released = Owner(4).release();
        EXPECT_EQ(released, 4);
        Owner empty;
        empty.reset();     // nothing to free
    }
    EXPECT_EQ(g_freed, (std::vector<int>{2, 1, 3}));
}

}  // namespace
}  // namespace vitrell
