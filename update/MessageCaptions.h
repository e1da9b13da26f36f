// The caption of every warning message box, whichever layer words its text.
#pragma once

namespace reflasher {

inline constexpr wchar_t kErrorCaption[] = L"Error";

}  // namespace reflasher
