#include "events/GameEvent.h"

#include <gtest/gtest.h>

namespace {

struct Sender : CEventSource {
    explicit Sender(int* counter) : destroyed(counter) {}
    ~Sender() override { ++*destroyed; }
    int* destroyed;
};

TEST(GameEvent, SenderHandleFollowsCopiesAndIsReleasedWithTheLastRecord)
{
    int destroyed = 0;
    CountedHandle<Sender> owner = MakeCountedHandle(new Sender(&destroyed));
    {
        GameEventVector list(25);
        GameEvent event;
        event.kind = 13;
        event.sender = owner;
        list.Push(event);
        EXPECT_EQ(owner.UseCount(), 3u);

        GameEvent copy = list.At(0);
        EXPECT_EQ(owner.UseCount(), 4u);
        GameEvent empty;
        copy = empty; // re-pointing releases the old sender
        EXPECT_EQ(owner.UseCount(), 3u);
        EXPECT_FALSE(copy.sender);
        list.Erase(0);
        EXPECT_EQ(owner.UseCount(), 2u);
    }
    EXPECT_EQ(owner.UseCount(), 1u);
    owner.Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST(GameEvent, CopyingAnEventWithoutSenderLeavesItEmpty)
{
    GameEvent event;
    event.value = 7;
    const GameEvent copy = event;
    EXPECT_FALSE(copy.sender);
    EXPECT_EQ(copy.value, 7);
}

} // namespace
