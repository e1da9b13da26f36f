// The ten print-spooler operations the program uses, and the error code of a
// failed one, behind one interface so that everything above it builds and runs
// without Windows. The Win32 adapter passes each call straight to winspool;
// tests use the simulated spooler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// winspool.h names EnumPrinters, OpenPrinter, GetPrinterData and StartDocPrinter
// as macros for their ...A/...W forms, which would rename the methods below. It is
// included only through device/win32/WinspoolFunctions.h, which undoes them at once;
// a file that includes it some other way before this one is stopped here.
#if defined(EnumPrinters) || defined(OpenPrinter) || defined(GetPrinterData) || \
    defined(StartDocPrinter)
#error "include <winspool.h> only through device/win32/WinspoolFunctions.h"
#endif

namespace reflasher {

// Opaque spooler handle; 0 means "no printer".
using PrinterHandle = std::uintptr_t;

// What we read from one PRINTER_INFO_2W record.
struct PrinterInfo {
    std::wstring printerName;
    std::wstring portName;
    std::wstring driverName;
};

// PRINTER_DEFAULTS as the program passes it: data type, no device mode, access.
struct PrinterDefaults {
    std::wstring dataType;
    std::uint32_t desiredAccess = 0;
};

// DOC_INFO_1 as the program passes it. An empty outputFile means "no output file" (null).
struct DocInfo {
    std::wstring documentName;
    std::wstring outputFile;
    std::wstring dataType;
};

constexpr std::uint32_t kPrinterAllAccess = 0xF000C;
// Printing and reading the printer, without the right to manage it.
constexpr std::uint32_t kPrinterAccessUse = 0x8;

// The one error code the program acts on (ERROR_ACCESS_DENIED).
constexpr std::uint32_t kErrorAccessDenied = 5;

class Spooler {
public:
    virtual ~Spooler() = default;

    // EnumPrintersW(PRINTER_ENUM_LOCAL, no server, level 2) with no buffer: the size needed.
    virtual std::uint32_t EnumPrintersSizeNeeded() = 0;
    // EnumPrintersW again into the caller's buffer of `bufferSize` bytes; the records found.
    virtual std::vector<PrinterInfo> EnumPrinters(void* buffer, std::uint32_t bufferSize) = 0;

    // OpenPrinterW; true with `*handle` set when the printer was opened.
    virtual bool OpenPrinter(const std::wstring& printerName, PrinterHandle* handle,
                             const PrinterDefaults& defaults) = 0;
    // Why the calling thread's last failed call failed (GetLastError), read right after it.
    virtual std::uint32_t LastError() = 0;
    virtual void ClosePrinter(PrinterHandle handle) = 0;

    // GetPrinterW level 2 with no buffer: the size needed (0 when the call gives none).
    virtual std::uint32_t GetPrinterSizeNeeded(PrinterHandle handle) = 0;
    // GetPrinterW level 2 into the caller's buffer; the record's pPortName, or false.
    virtual bool GetPrinterPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
                                std::wstring* portName) = 0;

    // GetPrinterDataW(valueName, no type) into `buffer`; returns the byte count the
    // spooler reported (left at 0 when it reports none). The result code is not given.
    virtual std::uint32_t GetPrinterData(PrinterHandle handle, const std::wstring& valueName,
                                         unsigned char* buffer, std::uint32_t bufferSize) = 0;

    // StartDocPrinterW level 1; true when a job was started.
    virtual bool StartDocPrinter(PrinterHandle handle, const DocInfo& docInfo) = 0;
    virtual bool StartPagePrinter(PrinterHandle handle) = 0;
    // WritePrinter in one call; returns the count the spooler reports written.
    virtual std::uint32_t WritePrinter(PrinterHandle handle, const void* data,
                                       std::uint32_t count) = 0;
    virtual void EndPagePrinter(PrinterHandle handle) = 0;
    virtual void EndDocPrinter(PrinterHandle handle) = 0;
};

}  // namespace reflasher
