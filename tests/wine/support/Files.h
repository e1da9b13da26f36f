// Whole files read and written by Windows path, and folders made.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace reflasher::e2e {

std::optional<std::vector<unsigned char>> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool FileExists(const std::wstring& path);
// Makes the folder and any missing parents.
bool MakeFolders(const std::wstring& path);

}  // namespace reflasher::e2e
