// The owners of Win32 handles (win32/Handles.h): each handle is closed
// exactly once, and a kernel handle's owner counts both failure values as none.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "win32/Handles.h"

namespace reflasher {
namespace {

struct CountingTraits {
    using Handle = int;
    static int closed;
    static int lastClosed;
    static Handle Invalid() { return 0; }
    static bool Valid(Handle h) { return h != 0; }
    static void Close(Handle h) {
        ++closed;
        lastClosed = h;
    }
};
int CountingTraits::closed = 0;
int CountingTraits::lastClosed = 0;
using Counted = UniqueHandle<CountingTraits>;

TEST(HandlesTest, EachHandleIsClosedExactlyOnceWhateverMovesHappen) {
    CountingTraits::closed = 0;
    {
        Counted a(7);
        Counted b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 7);
        Counted c(9);
        c = std::move(b);  // 9 is closed now, 7 moves over
        EXPECT_EQ(CountingTraits::closed, 1);
        EXPECT_EQ(CountingTraits::lastClosed, 9);
        c = std::move(c);  // self-move keeps it
        EXPECT_EQ(c.get(), 7);
        const int released = Counted(11).Release();  // released: not closed
        EXPECT_EQ(released, 11);
        c.Reset(12);  // 7 closed
        EXPECT_EQ(CountingTraits::lastClosed, 7);
    }
    EXPECT_EQ(CountingTraits::closed, 3);  // 9, 7, and 12 at the end of the scope
    EXPECT_EQ(CountingTraits::lastClosed, 12);
}

TEST(HandlesTest, KernelHandleOwnerTakesNullAndInvalidHandleValueForNone) {
    EXPECT_FALSE(UniqueKernelHandle());
    EXPECT_FALSE(UniqueKernelHandle(nullptr));
    EXPECT_FALSE(UniqueKernelHandle(INVALID_HANDLE_VALUE));  // CreateFileW's failure

    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    DWORD flags = 0;
    {
        const UniqueKernelHandle owner(event);
        EXPECT_TRUE(owner);
        EXPECT_TRUE(GetHandleInformation(event, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(event, &flags)) << "still open after its owner went";
}

}  // namespace
}  // namespace reflasher
