// The spooler interface passed straight through to winspool. It holds no state
// but the table of winspool's functions, so one object may serve the dialog
// thread (enumeration) and a worker thread (everything else) at once. Handles it
// returns belong to the caller, who closes them with ClosePrinter. A winspool function that can't be had fails as
// the call itself would: no printers, no printer opened, no job, no status.
#pragma once

#include "device/Spooler.h"
#include "device/win32/WinspoolFunctions.h"

namespace reflasher {

class Win32Spooler final : public Spooler {
public:
    // The system's winspool.drv, loaded when the first call needs it.
    Win32Spooler() = default;
    // Tests: these functions instead (`functions` outlives the adapter).
    explicit Win32Spooler(const WinspoolFunctions& functions) : functions_(&functions) {}

    std::uint32_t PrinterListSize() override;
    std::vector<PrinterInfo> ListPrinters(void* buffer, std::uint32_t bufferSize) override;

    bool Open(const std::wstring& printerName, PrinterHandle* handle,
              const PrinterDefaults& defaults) override;
    std::uint32_t LastError() override;
    void Close(PrinterHandle handle) override;

    std::uint32_t PrinterRecordSize(PrinterHandle handle) override;
    bool ReadPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
                  std::wstring* portName) override;

    std::uint32_t ReadDriverData(PrinterHandle handle, const std::wstring& valueName,
                                 unsigned char* buffer, std::uint32_t bufferSize) override;

    JobId BeginDocument(PrinterHandle handle, const DocInfo& docInfo) override;
    bool BeginPage(PrinterHandle handle) override;
    std::uint32_t Write(PrinterHandle handle, const void* data, std::uint32_t count) override;
    void EndPage(PrinterHandle handle) override;
    void EndDocument(PrinterHandle handle) override;

    QueueState GetQueueState(PrinterHandle handle) override;
    bool ListQueuedJobs(PrinterHandle handle, std::vector<QueuedJob>* jobs) override;
    bool DeleteJob(PrinterHandle handle, JobId job) override;
    bool AbortDocument(PrinterHandle handle) override;
    bool PauseJob(PrinterHandle handle, JobId job) override;
    bool ResumeJob(PrinterHandle handle, JobId job) override;

private:
    const WinspoolFunctions& Winspool() const;
    // GetPrinterW at `level` into a buffer of the size it asks for; empty when it fails.
    std::vector<unsigned char> GetPrinterRecord(PrinterHandle handle, DWORD level);

    const WinspoolFunctions* functions_ = nullptr;
};

}  // namespace reflasher
