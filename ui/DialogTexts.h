// The main dialog's own texts for the user.
#pragma once

namespace texts {

inline constexpr wchar_t kErrorCaption[] = L"Error";
inline constexpr wchar_t kBusy[] =
    L"A download is currently in process!\nPlease wait for the download to complete.\n";
inline constexpr wchar_t kNoFileChosen[] = L"You must first select a file to download!";
inline constexpr wchar_t kWorkerNotStarted[] = L"The download could not be started.";

// The Browse dialog: hex files offered first.
inline constexpr wchar_t kFirmwareExtension[] = L"hex";
inline constexpr wchar_t kFirmwareInitialName[] = L"*.hex";
inline constexpr wchar_t kFirmwareFilter[] = L"Hex Files (*.hex)|*.hex|All Files (*.*)|*.*||";

}  // namespace texts
