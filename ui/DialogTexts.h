// The main dialog's own texts for the user.
// As users know them, "in process!" and the last \n too: tests and the README quote them.
#pragma once

#include "update/MessageCaptions.h"

namespace texts {

using reflasher::kErrorCaption;
inline constexpr wchar_t kBusy[] =
    L"A download is currently in process!\nPlease wait for the download to complete.\n";
inline constexpr wchar_t kNoFileChosen[] = L"You must first select a file to download!";
inline constexpr wchar_t kWorkerNotStarted[] = L"The download could not be started.";
// What Windows shows when the user shuts down or logs off during a run.
inline constexpr wchar_t kSessionEndBlocked[] =
    L"A firmware update is in progress. Turning the computer off now can leave the embosser "
    L"unusable.";

// The Browse dialog: hex files offered first.
inline constexpr wchar_t kFirmwareExtension[] = L"hex";
inline constexpr wchar_t kFirmwareInitialName[] = L"*.hex";
inline constexpr wchar_t kFirmwareFilter[] = L"Hex Files (*.hex)|*.hex|All Files (*.*)|*.*||";

}  // namespace texts
