// What the user must read on screen, for the native tests and the Windows tier
// alike: written out here once rather than taken from the program's catalogue
// (texts/ProgramTexts.h), under the same names, so a wrong character in the
// program fails a test.
#pragma once

namespace reflasher::expected {

inline constexpr wchar_t kMainCaption[] = L"Quillmar Dovrex Firmware Update";
inline constexpr wchar_t kErrorCaption[] = L"Error";
inline constexpr wchar_t kInfoCaption[] = L"Info";

inline constexpr wchar_t kNotDetected[] =
    L"A Quillmar Dovrex Tactigraph was not detected!\nMake sure that the printer is turned on\n"
    L"and connected to the computer via the USB port.";
inline constexpr wchar_t kNoPrinters[] = L"No printers available";
inline constexpr wchar_t kEnumerationNoMemory[] = L"Printer Enumeration failed (malloc failure)";
inline constexpr wchar_t kChoosePrinter[] = L"Choose printer from list";
inline constexpr wchar_t kBusy[] =
    L"A download is currently in process!\nPlease wait for the download to complete.\n";
inline constexpr wchar_t kNoFileChosen[] = L"You must first select a file to download!";
// A chosen file that can't be firmware, by the fault the program names.
inline constexpr wchar_t kCutOffFile[] =
    L"The chosen file is not firmware for this printer!\n"
    L"The file breaks off at line 4 before its end record: the download may not have finished.\n"
    L"Please choose the right firmware file with Browse.";
inline constexpr wchar_t kNotRecordsFile[] =
    L"The chosen file is not firmware for this printer!\n"
    L"Line 1 is not a firmware record (S-record text).\n"
    L"Please choose the right firmware file with Browse.";
inline constexpr wchar_t kBrowseHint[] = L"Press the Browse Button to locate the file to download";

inline constexpr wchar_t kSuccess[] =
    L"The Flash upgrade was successful.\nPlease turn the printer off and on again,\n"
    L"and close this application before\nresuming printing.";
inline constexpr wchar_t kNeverReady[] =
    L"The Printer failed to respond\nbefore timeout.\nPlease turn the printer off\nand on again "
    L"before retrying.";
inline constexpr wchar_t kRecheckInvalidFile[] =
    L"The file received by the printer is invalid!\nTurn the printer off and on again, and retry.";
inline constexpr wchar_t kRecheckError[] =
    L"An error occured while trying to upgrade flash.\nPlease turn the printer off and on again, "
    L"and retry.";
inline constexpr wchar_t kNotFinished[] =
    L"There was an error upgrading the flash!\nPlease turn the printer off and on again \nbefore "
    L"trying again.";
inline constexpr wchar_t kStillWriting[] =
    L"The printer is still writing its new firmware!\nThe update is still under way. Please wait\n"
    L"until the printer has finished before you\nswitch it off.";
inline constexpr wchar_t kUnknownError[] =
    L"An unkonwn error has occured!\nPlease turn the printer off and\non again before retrying.\n";
inline constexpr wchar_t kInvalidHex[] =
    L"The hex file that was selected\nis invalid! Please turn the printer,\noff and on again before "
    L"retrying\n";
inline constexpr wchar_t kFlashDeviceError[] =
    L"A flash device error occured!\nPlease turn the printer off and\non again before retrying.\n";
inline constexpr wchar_t kFileNoMemory[] = L"File read failure (malloc failure)";
inline constexpr wchar_t kWriteFailed[] = L"Failed to write to printer";
// Start refused with nothing sent: the queue can't deliver.
inline constexpr wchar_t kQueueOffline[] =
    L"The printer is offline!\nNothing was sent to the printer.\nPlease connect it, turn it on, "
    L"and make sure\nits queue is not set to use the printer offline,\nthen retry.";
inline constexpr wchar_t kQueuePaused[] =
    L"The printer's queue is paused!\nNothing was sent to the printer.\nPlease resume printing "
    L"in its queue,\nthen retry.";
inline constexpr wchar_t kQueueFault[] =
    L"The printer's queue reports an error!\nNothing was sent to the printer.\nPlease turn the "
    L"printer off and on again,\nclear the error in its queue, and retry.";
inline constexpr wchar_t kDocumentsWaiting[] =
    L"Documents are waiting in the printer's queue!\nNothing was sent to the printer.\nPlease let "
    L"them print or cancel them,\nthen retry.";
inline constexpr wchar_t kAlreadyUpdating[] =
    L"The printer is already in firmware update mode!\nNothing was sent to the printer.\nPlease "
    L"turn the printer off and on again,\nthen retry.";
inline constexpr wchar_t kForeignDocument[] =
    L"Another document was sent to the printer\nduring the update! The firmware was not sent.\n"
    L"Please turn the printer off and on again,\nand retry once that document has printed.";
inline constexpr wchar_t kReopenFailed[] =
    L"The printer could not be opened again!\nIt is waiting for its firmware, and would take\nthe "
    L"next document it gets as its firmware.\nPlease turn the printer off and on again\nbefore "
    L"printing anything, then retry.";
inline constexpr wchar_t kRunFailed[] =
    L"An unexpected error stopped the update!\nPlease turn the printer off and on again\nbefore "
    L"printing anything, then retry.";
inline constexpr wchar_t kStuckBeforeFirmware[] =
    L"The printer is not answering!\nNo firmware was sent to the printer.\nPlease wait, or close "
    L"this application and\nturn the printer off and on again\nbefore printing anything.";
inline constexpr wchar_t kStuckAfterFirmware[] =
    L"The printer is not answering!\nThe firmware may have reached the printer.\nPlease wait, or "
    L"close this application and\nturn the printer off and on again\nbefore printing anything.";
// While flash polling: the image has gone, so no advice to turn the printer off.
inline constexpr wchar_t kStuckWhileWriting[] =
    L"The printer is not answering!\nIt may still be writing its new firmware and\nmust not be "
    L"turned off until it has finished.\nPlease wait: the update goes on by itself\nif Windows' "
    L"printing answers again.";
inline constexpr wchar_t kWriteError[] =
    L"A flash write error occured!\nPlease turn the printer off and\non again before retrying.\n";

inline constexpr wchar_t kEmbeddedNotice[] =
    L"Quillmar Dovrex Firmware Version 8.0.81\r\n\r\n"
    L"Please install the printer locally at a USB port. This application will\r\n"
    L"negotiate the updating process with the printer automatically. ";

inline constexpr wchar_t kAboutCaption[] = L"About Reflasher";
inline constexpr wchar_t kAboutVersion[] = L"Reflasher Version 2.0";

inline constexpr wchar_t kNegotiating[] = L"negotiating update";
inline constexpr wchar_t kSending[] = L"sending firmware";
inline constexpr wchar_t kErasing[] = L"erasing flash";
inline constexpr wchar_t kWriting[] = L"writing flash";
inline constexpr wchar_t kDone[] = L"writing done";

}  // namespace reflasher::expected
