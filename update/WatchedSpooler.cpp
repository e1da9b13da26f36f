#include "update/WatchedSpooler.h"

namespace reflasher {

std::uint32_t WatchedSpooler::PrinterListSize() {
    WatchedCall call(watch_);
    return spooler_.PrinterListSize();
}

std::vector<PrinterInfo> WatchedSpooler::ListPrinters(void* buffer, std::uint32_t bufferSize) {
    WatchedCall call(watch_);
    return spooler_.ListPrinters(buffer, bufferSize);
}

bool WatchedSpooler::Open(const std::wstring& printerName, PrinterHandle* handle,
                          const PrinterDefaults& defaults) {
    WatchedCall call(watch_);
    return spooler_.Open(printerName, handle, defaults);
}

// Not a spooler call: the thread's error code, read at once.
std::uint32_t WatchedSpooler::LastError() { return spooler_.LastError(); }

void WatchedSpooler::Close(PrinterHandle handle) {
    WatchedCall call(watch_);
    spooler_.Close(handle);
}

std::uint32_t WatchedSpooler::PrinterRecordSize(PrinterHandle handle) {
    WatchedCall call(watch_);
    return spooler_.PrinterRecordSize(handle);
}

bool WatchedSpooler::ReadPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
                              std::wstring* portName) {
    WatchedCall call(watch_);
    return spooler_.ReadPort(handle, buffer, bufferSize, portName);
}

std::uint32_t WatchedSpooler::ReadDriverData(PrinterHandle handle, const std::wstring& valueName,
                                             unsigned char* buffer, std::uint32_t bufferSize) {
    WatchedCall call(watch_);
    return spooler_.ReadDriverData(handle, valueName, buffer, bufferSize);
}

JobId WatchedSpooler::BeginDocument(PrinterHandle handle, const DocInfo& docInfo) {
    WatchedCall call(watch_);
    return spooler_.BeginDocument(handle, docInfo);
}

bool WatchedSpooler::BeginPage(PrinterHandle handle) {
    WatchedCall call(watch_);
    return spooler_.BeginPage(handle);
}

std::uint32_t WatchedSpooler::Write(PrinterHandle handle, const void* data, std::uint32_t count) {
    WatchedCall call(watch_);
    return spooler_.Write(handle, data, count);
}

void WatchedSpooler::EndPage(PrinterHandle handle) {
    WatchedCall call(watch_);
    spooler_.EndPage(handle);
}

void WatchedSpooler::EndDocument(PrinterHandle handle) {
    WatchedCall call(watch_);
    spooler_.EndDocument(handle);
}

QueueState WatchedSpooler::GetQueueState(PrinterHandle handle) {
    WatchedCall call(watch_);
    return spooler_.GetQueueState(handle);
}

bool WatchedSpooler::ListQueuedJobs(PrinterHandle handle, std::vector<QueuedJob>* jobs) {
    WatchedCall call(watch_);
    return spooler_.ListQueuedJobs(handle, jobs);
}

bool WatchedSpooler::DeleteJob(PrinterHandle handle, JobId job) {
    WatchedCall call(watch_);
    return spooler_.DeleteJob(handle, job);
}

bool WatchedSpooler::AbortDocument(PrinterHandle handle) {
    WatchedCall call(watch_);
    return spooler_.AbortDocument(handle);
}

bool WatchedSpooler::PauseJob(PrinterHandle handle, JobId job) {
    WatchedCall call(watch_);
    return spooler_.PauseJob(handle, job);
}

bool WatchedSpooler::ResumeJob(PrinterHandle handle, JobId job) {
    WatchedCall call(watch_);
    return spooler_.ResumeJob(handle, job);
}

}  // namespace reflasher
