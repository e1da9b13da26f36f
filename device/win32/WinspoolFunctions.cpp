#include "device/win32/WinspoolFunctions.h"

#include "win32/SystemLibrary.h"

namespace reflasher {

const WinspoolFunctions& WinspoolFunctions::System() {
    static const SystemLibrary winspool(L"winspool.drv");
    static const WinspoolFunctions functions = [] {
        WinspoolFunctions found;
        found.enumPrinters = REFLASHER_SYSTEM_FUNCTION(winspool, EnumPrintersW);
        found.openPrinter = REFLASHER_SYSTEM_FUNCTION(winspool, OpenPrinterW);
        found.closePrinter = REFLASHER_SYSTEM_FUNCTION(winspool, ClosePrinter);
        found.getPrinter = REFLASHER_SYSTEM_FUNCTION(winspool, GetPrinterW);
        found.getPrinterData = REFLASHER_SYSTEM_FUNCTION(winspool, GetPrinterDataW);
        found.startDocPrinter = REFLASHER_SYSTEM_FUNCTION(winspool, StartDocPrinterW);
        found.startPagePrinter = REFLASHER_SYSTEM_FUNCTION(winspool, StartPagePrinter);
        found.writePrinter = REFLASHER_SYSTEM_FUNCTION(winspool, WritePrinter);
        found.endPagePrinter = REFLASHER_SYSTEM_FUNCTION(winspool, EndPagePrinter);
        found.endDocPrinter = REFLASHER_SYSTEM_FUNCTION(winspool, EndDocPrinter);
        found.enumJobs = REFLASHER_SYSTEM_FUNCTION(winspool, EnumJobsW);
        found.setJob = REFLASHER_SYSTEM_FUNCTION(winspool, SetJobW);
        found.abortPrinter = REFLASHER_SYSTEM_FUNCTION(winspool, AbortPrinter);
        return found;
    }();
    return functions;
}

}  // namespace reflasher
