// The lock's name: one per embosser whatever the letter case the user's copy sees,
// and a valid kernel object name for any printer name.
#include <gtest/gtest.h>

#include "update/EmbosserLock.h"

namespace reflasher {
namespace {

TEST(EmbosserLockName, OneNamePerPrinterAndNoBackslash) {
    EXPECT_EQ(EmbosserLockName(L"Dovrex Embosser"), EmbosserLockName(L"DOVREX embosser"));
    EXPECT_NE(EmbosserLockName(L"Dovrex 1"), EmbosserLockName(L"Dovrex 2"));
    const std::wstring odd = EmbosserLockName(L"\\\\host\\Dovrex");
    EXPECT_EQ(odd.find(L'\\'), std::wstring::npos);
    // An escape can't be forged by a printer's own text.
    EXPECT_NE(EmbosserLockName(L"a\\b"), EmbosserLockName(L"a%5Cb"));
}

}  // namespace
}  // namespace reflasher
