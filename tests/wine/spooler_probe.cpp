// What Wine's spooler shows our adapter, for shell scripts that set up a prefix:
//   spooler_probe                       one line per printer: name<TAB>port<TAB>driver
//   spooler_probe status <printer>      "status <s> progress <p>" through OpenUsbPrinter
//   spooler_probe send <printer> <file> the file's bytes as one raw job
// Exit 0 on success, 2 on bad arguments, 3 when OpenUsbPrinter refuses, 4 when the file can't be
// read.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/DeviceStatus.h"
#include "device/UsbPrinter.h"
#include "device/win32/Win32Spooler.h"

namespace {

using namespace reflasher;

int ListPrinters(Spooler& spooler) {
    const std::uint32_t size = spooler.PrinterListSize();
    std::vector<unsigned char> buffer(size);
    for (const PrinterInfo& p : spooler.ListPrinters(buffer.data(), size)) {
        std::printf("%ls\t%ls\t%ls\n", p.printerName.c_str(), p.portName.c_str(),
                    p.driverName.c_str());
    }
    return 0;
}

int PrintStatus(Spooler& spooler, const std::wstring& printer) {
    PrinterHandle handle = 0;
    if (!OpenUsbPrinter(spooler, printer, &handle, UpdatePrinterDefaults())) return 3;
    const DeviceStatus status = QueryDeviceStatus(spooler, handle);
    spooler.Close(handle);
    std::printf("status %d progress %d\n", static_cast<int>(status.status),
                static_cast<int>(status.progress));
    return 0;
}

int SendFile(Spooler& spooler, const std::wstring& printer, const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file) return 4;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    PrinterHandle handle = 0;
    if (!OpenUsbPrinter(spooler, printer, &handle, UpdatePrinterDefaults())) return 3;
    if (spooler.BeginDocument(handle, DocInfo{L"", L"", L"RAW"})) {
        if (spooler.BeginPage(handle)) {
            spooler.Write(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
            spooler.EndPage(handle);
        }
        spooler.EndDocument(handle);
    }
    spooler.Close(handle);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Win32Spooler spooler;
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (argc == 1) return ListPrinters(spooler);
    if (command == L"status" && argc == 3) return PrintStatus(spooler, argv[2]);
    if (command == L"send" && argc == 4) return SendFile(spooler, argv[2], argv[3]);
    std::fprintf(stderr, "usage: spooler_probe [status <printer> | send <printer> <file>]\n");
    return 2;
}
