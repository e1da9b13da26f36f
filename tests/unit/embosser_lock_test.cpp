// The lock's name: one per embosser (its port) whatever the letter case the user's
// copy sees, and a valid kernel object name for any port name.
#include <gtest/gtest.h>

#include "update/EmbosserLock.h"

namespace reflasher {
namespace {

TEST(EmbosserLockName, OneNamePerPortAndNoBackslash) {
    EXPECT_EQ(EmbosserLockName(L"USB001"), EmbosserLockName(L"usb001"));
    EXPECT_NE(EmbosserLockName(L"USB001"), EmbosserLockName(L"USB002"));
    const std::wstring odd = EmbosserLockName(L"\\\\host\\Dovrex");
    EXPECT_EQ(odd.find(L'\\'), std::wstring::npos);
    // An escape can't be forged by a port's own text.
    EXPECT_NE(EmbosserLockName(L"a\\b"), EmbosserLockName(L"a%5Cb"));
}

}  // namespace
}  // namespace reflasher
