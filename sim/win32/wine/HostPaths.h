// Unix paths handed to a Windows test through its environment, and their Wine names.
#pragma once

#include <string>

namespace reflasher::wineprefix {

// The variable's value, or empty when it is not set.
std::wstring EnvironmentValue(const wchar_t* name);

// The Windows name Wine gives a Unix path: its Z: drive is the Unix root.
std::wstring WinePathOf(const std::wstring& unixPath);

}  // namespace reflasher::wineprefix
