// Every text the program shows or says to the user, in one place; the dialog
// templates' own texts are in resources/Reflasher.rc. As users know them, typos
// and trailing blanks and line breaks too ("in process!", "occured", "unkonwn",
// "again \n", the blank after "automatically."): the README and the tests quote
// them, and tests/shared/ExpectedTexts.h writes them out again under the same names.
#pragma once

namespace reflasher::texts {

// Message box captions.
inline constexpr wchar_t kErrorCaption[] = L"Error";
inline constexpr wchar_t kInfoCaption[] = L"Info";

// The printer list: its lines, and the message that follows filling it.
inline constexpr wchar_t kNoPrinters[] = L"No printers available";
// An embosser's line joins its queue's name and its port with this.
inline constexpr wchar_t kOnPort[] = L" on ";
inline constexpr wchar_t kChoosePrinter[] = L"Choose printer from list";
inline constexpr wchar_t kEnumerationNoMemory[] = L"Printer Enumeration failed (malloc failure)";
inline constexpr wchar_t kSpoolerNotRunning[] =
    L"The print spooler is not running!\n"
    L"Please start the Print Spooler service,\n"
    L"or restart the computer, and start this\n"
    L"application again.";
inline constexpr wchar_t kNotDetected[] =
    L"A Quillmar Dovrex Tactigraph was not detected!\n"
    L"Make sure that the printer is turned on\n"
    L"and connected to the computer via the USB port.";

// The dialog's refusals of Start Download.
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

// The notice above the controls when the program carries its image: the version
// line (or the words for none), then the note.
inline constexpr wchar_t kNoFirmwareVersion[] = L"No file version available!\r\n\r\n";
inline constexpr wchar_t kFirmwareVersionLead[] = L"Quillmar Dovrex Firmware Version ";
inline constexpr wchar_t kInstallNote[] =
    L"Please install the printer locally at a USB port. This application will\r\n"
    L"negotiate the updating process with the printer automatically. ";

// A chosen file refused, at Browse or at Start. One that can't be firmware reads
// kNotFirmware, the reason, then kChooseAgain; the image reader words the faults.
inline constexpr wchar_t kFileCantOpen[] =
    L"The firmware file could not be opened!\nIt may have been moved or deleted, or another "
    L"program\nmay be using it. Please close that program,\nor choose the file again with Browse.";
inline constexpr wchar_t kFileCantRead[] =
    L"The firmware file could not be read!\nPlease choose the file again with Browse.";
inline constexpr wchar_t kFileNoMemory[] = L"File read failure (malloc failure)";
inline constexpr wchar_t kNotFirmware[] = L"The chosen file is not firmware for this printer!\n";
inline constexpr wchar_t kFileTooLarge[] = L"It is larger than 64 MB, far too large to be firmware.";
inline constexpr wchar_t kChooseAgain[] = L"\nPlease choose the right firmware file with Browse.";

// The status line during a run.
inline constexpr wchar_t kNegotiating[] = L"negotiating update";
inline constexpr wchar_t kSending[] = L"sending firmware";
inline constexpr wchar_t kErasing[] = L"erasing flash";
inline constexpr wchar_t kWriting[] = L"writing flash";
inline constexpr wchar_t kDone[] = L"writing done";

// What a run concludes, in its last message box.
inline constexpr wchar_t kNeverReady[] =
    L"The Printer failed to respond\nbefore timeout.\nPlease turn the printer off\n"
    L"and on again before retrying.";
inline constexpr wchar_t kRecheckInvalidFile[] =
    L"The file received by the printer is invalid!\n"
    L"Turn the printer off and on again, and retry.";
inline constexpr wchar_t kRecheckError[] =
    L"An error occured while trying to upgrade flash.\n"
    L"Please turn the printer off and on again, and retry.";
inline constexpr wchar_t kNotFinished[] =
    L"There was an error upgrading the flash!\nPlease turn the printer off and on "
    L"again \nbefore trying again.";
inline constexpr wchar_t kSuccess[] =
    L"The Flash upgrade was successful.\nPlease turn the printer off and on "
    L"again,\nand close this application before\nresuming printing.";
inline constexpr wchar_t kInvalidHex[] =
    L"The hex file that was selected\nis invalid! Please turn the printer,\n"
    L"off and on again before retrying\n";
inline constexpr wchar_t kFlashDeviceError[] =
    L"A flash device error occured!\nPlease turn the printer off and\n"
    L"on again before retrying.\n";
inline constexpr wchar_t kWriteError[] =
    L"A flash write error occured!\nPlease turn the printer off and\n"
    L"on again before retrying.\n";
inline constexpr wchar_t kUnknownError[] =
    L"An unkonwn error has occured!\nPlease turn the printer off and\n"
    L"on again before retrying.\n";
// Switching the embosser off now could leave it unusable: the text says to wait.
inline constexpr wchar_t kStillWriting[] =
    L"The printer is still writing its new firmware!\nThe update is still under way. "
    L"Please wait\nuntil the printer has finished before you\nswitch it off.";
inline constexpr wchar_t kWriteFailed[] = L"Failed to write to printer";
// Nothing was sent: the queue or the device can't take an update now.
inline constexpr wchar_t kQueueOffline[] =
    L"The printer is offline!\nNothing was sent to the printer.\nPlease connect it, "
    L"turn it on, and make sure\nits queue is not set to use the printer offline,\n"
    L"then retry.";
inline constexpr wchar_t kQueuePaused[] =
    L"The printer's queue is paused!\nNothing was sent to the printer.\n"
    L"Please resume printing in its queue,\nthen retry.";
inline constexpr wchar_t kQueueFault[] =
    L"The printer's queue reports an error!\nNothing was sent to the printer.\n"
    L"Please turn the printer off and on again,\nclear the error in its queue, "
    L"and retry.";
inline constexpr wchar_t kDocumentsWaiting[] =
    L"Documents are waiting in the printer's queue!\nNothing was sent to the "
    L"printer.\nPlease let them print or cancel them,\nthen retry.";
inline constexpr wchar_t kAlreadyUpdating[] =
    L"The printer is already in firmware update mode!\nNothing was sent to the printer.\n"
    L"Please turn the printer off and on again,\nthen retry.";
inline constexpr wchar_t kForeignDocument[] =
    L"Another document was sent to the printer\nduring the update! The firmware was not "
    L"sent.\nPlease turn the printer off and on again,\nand retry once that document has "
    L"printed.";
inline constexpr wchar_t kReopenFailed[] =
    L"The printer could not be opened again!\nIt is waiting for its firmware, and would take\n"
    L"the next document it gets as its firmware.\nPlease turn the printer off and on again\n"
    L"before printing anything, then retry.";
inline constexpr wchar_t kRunFailed[] =
    L"An unexpected error stopped the update!\nPlease turn the printer off and on again\n"
    L"before printing anything, then retry.";

// A spooler call that hangs, by where the run was when it began; every one begins
// "The printer is not answering!".
inline constexpr wchar_t kStuckBeforeFirmware[] =
    L"The printer is not answering!\nNo firmware was sent to the printer.\n"
    L"Please wait, or close this application and\nturn the printer off and on again\n"
    L"before printing anything.";
inline constexpr wchar_t kStuckAfterFirmware[] =
    L"The printer is not answering!\nThe firmware may have reached the printer.\n"
    L"Please wait, or close this application and\nturn the printer off and on again\n"
    L"before printing anything.";
// While flash polling the image has gone: switching the embosser off now could
// leave it unusable.
inline constexpr wchar_t kStuckWhileWriting[] =
    L"The printer is not answering!\nIt may still be writing its new firmware and\n"
    L"must not be turned off until it has finished.\nPlease wait: the update goes on by itself\n"
    L"if Windows' printing answers again.";

// What a screen reader says for the controls that have no label of their own.
inline constexpr wchar_t kPrinterListName[] = L"Printer";
inline constexpr wchar_t kProgressBarName[] = L"Progress";
inline constexpr wchar_t kStatusLineDescription[] = L"Status";

}  // namespace reflasher::texts
