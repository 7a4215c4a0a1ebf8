#include "engine/CountedHandle.h"

#include <gtest/gtest.h>

#include <new>

// The handle's control block comes from the non-throwing new; this test
// binary replaces it so that a test can make it fail.
namespace {
bool g_refuseNothrowNew = false;
}
// What it hands out is freed by the ordinary delete, so it comes from the
// ordinary new.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_refuseNothrowNew)
        return nullptr;
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace {

struct Tracked {
    explicit Tracked(int* counter) : destroyed(counter) {}
    ~Tracked() { ++*destroyed; }
    int* destroyed;
};

TEST(CountedHandle, NullObjectGivesEmptyHandle)
{
    CountedHandle<Tracked> handle = MakeCountedHandle<Tracked>(nullptr);
    EXPECT_FALSE(handle);
    handle.Reset();
    EXPECT_FALSE(handle);
}

TEST(CountedHandle, BlockThatCannotBeMadeDeletesTheObject)
{
    int destroyed = 0;
    g_refuseNothrowNew = true;
    CountedHandle<Tracked> handle = MakeCountedHandle(new Tracked(&destroyed));
    g_refuseNothrowNew = false;
    EXPECT_FALSE(handle);
    EXPECT_EQ(destroyed, 1);
}

TEST(CountedHandle, DestroysExactlyAtTheLastRelease)
{
    int destroyed = 0;
    {
        CountedHandle<Tracked> a = MakeCountedHandle(new Tracked(&destroyed));
        {
            CountedHandle<Tracked> b = a;
            EXPECT_EQ(a.UseCount(), 2u);
        }
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(CountedHandle, SelfAndSharedAssignmentKeepTheObject)
{
    int destroyed = 0;
    CountedHandle<Tracked> a = MakeCountedHandle(new Tracked(&destroyed));
    CountedHandle<Tracked>& alias = a;
    a = alias;
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(a.UseCount(), 1u);

    CountedHandle<Tracked> b = a;
    b = a;
    EXPECT_EQ(a.UseCount(), 2u);
    EXPECT_EQ(destroyed, 0);
}

TEST(CountedHandle, AssigningEmptyOrResettingReleases)
{
    int destroyed = 0;
    CountedHandle<Tracked> a = MakeCountedHandle(new Tracked(&destroyed));
    a = CountedHandle<Tracked>();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(a);

    CountedHandle<Tracked> b = MakeCountedHandle(new Tracked(&destroyed));
    b.Reset();
    EXPECT_EQ(destroyed, 2);
    b.Reset();
    EXPECT_EQ(destroyed, 2);
}

TEST(CountedHandle, EqualityBySharedBlockOrBothEmpty)
{
    int destroyed = 0;
    CountedHandle<Tracked> a = MakeCountedHandle(new Tracked(&destroyed));
    CountedHandle<Tracked> b = a;
    CountedHandle<Tracked> c = MakeCountedHandle(new Tracked(&destroyed));
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == c);
    EXPECT_TRUE(CountedHandle<Tracked>() == CountedHandle<Tracked>());
}

struct Base {
    virtual ~Base() = default;
};
struct Derived : Base {
    explicit Derived(int* counter) : destroyed(counter) {}
    ~Derived() override { ++*destroyed; }
    int* destroyed;
};

TEST(CountedHandle, BaseHandleSharesTheCountAndDestroysTheDerived)
{
    int destroyed = 0;
    {
        CountedHandle<Derived> derived = MakeCountedHandle(new Derived(&destroyed));
        CountedHandle<Base> base = derived;
        EXPECT_EQ(derived.UseCount(), 2u);
        derived.Reset();
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

} // namespace
