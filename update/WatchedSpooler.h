// The run's spooler with every call timed by a StuckCallWatch.
#pragma once

#include "device/Spooler.h"
#include "update/StuckCallWatch.h"

namespace reflasher {

class WatchedSpooler : public Spooler {
public:
    WatchedSpooler(Spooler& spooler, StuckCallWatch& watch) : spooler_(spooler), watch_(watch) {}

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
    Spooler& spooler_;
    StuckCallWatch& watch_;
};

}  // namespace reflasher
