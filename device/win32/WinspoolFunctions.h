// The winspool functions the spooler adapter calls, taken from the system's
// winspool.drv at run time: an imported winspool.drv would be looked for beside
// the program first.
#pragma once

#include <windows.h>
#include <winspool.h>

namespace reflasher {

struct WinspoolFunctions {
    decltype(&::EnumPrintersW) enumPrinters = nullptr;
    decltype(&::OpenPrinterW) openPrinter = nullptr;
    decltype(&::ClosePrinter) closePrinter = nullptr;
    decltype(&::GetPrinterW) getPrinter = nullptr;
    decltype(&::GetPrinterDataW) getPrinterData = nullptr;
    decltype(&::StartDocPrinterW) startDocPrinter = nullptr;
    decltype(&::StartPagePrinter) startPagePrinter = nullptr;
    decltype(&::WritePrinter) writePrinter = nullptr;
    decltype(&::EndPagePrinter) endPagePrinter = nullptr;
    decltype(&::EndDocPrinter) endDocPrinter = nullptr;
    decltype(&::EnumJobsW) enumJobs = nullptr;
    decltype(&::SetJobW) setJob = nullptr;
    decltype(&::AbortPrinter) abortPrinter = nullptr;

    // Those of the system folder's winspool.drv, loaded once, on the first call.
    // A function that can't be had stays null.
    static const WinspoolFunctions& System();
};

}  // namespace reflasher
