// An in-memory print spooler for tests: any printer list, any status bytes and
// reported count, every job's bytes captured, any operation failing on demand,
// and a ledger of open handles. A simulated device may sit behind a printer.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/Spooler.h"

namespace reflasher::sim {

// The error codes the simulated spooler reports (the Windows values).
constexpr std::uint32_t kErrorGenFailure = 31;
constexpr std::uint32_t kErrorInvalidPrinterName = 1801;

enum class SpoolerOp {
    EnumPrintersSizeNeeded,
    EnumPrinters,
    OpenPrinter,
    ClosePrinter,
    GetPrinterSizeNeeded,
    GetPrinterPort,
    GetPrinterData,
    StartDocPrinter,
    StartPagePrinter,
    WritePrinter,
    EndPagePrinter,
    EndDocPrinter,
};
constexpr int kSpoolerOpCount = 12;
const char* SpoolerOpName(SpoolerOp op);

// What the driver and device behind one printer do.
class SimulatedDevice {
public:
    virtual ~SimulatedDevice() = default;
    // A whole raw job, delivered when its document ends.
    virtual void OnJob(const std::vector<unsigned char>& bytes) = 0;
    // The current "QMSTSSTR" value (text and zero byte); empty means none. One call per poll.
    virtual std::vector<unsigned char> OnStatusQuery() = 0;
};

struct CapturedJob {
    std::wstring printerName;
    DocInfo docInfo;
    bool pageStarted = false;
    std::vector<std::uint32_t> writeSizes;  // one entry per WritePrinter call
    std::vector<unsigned char> bytes;
    bool ended = false;
};

class SimulatedSpooler : public Spooler {
public:
    // Adds a local printer; `device` (not owned) answers status queries and takes jobs.
    void AddPrinter(const PrinterInfo& info, SimulatedDevice* device = nullptr);
    // Fixed status bytes for a printer without a device; `reportedCount` overrides the
    // count reported (default: the size of `bytes`).
    void SetStatusBytes(const std::wstring& printerName, std::vector<unsigned char> bytes,
                        std::optional<std::uint32_t> reportedCount = std::nullopt);
    void SetStatusText(const std::wstring& printerName, const std::string& text);

    // Makes the `nth` call (1-based) of `op` fail; nth 0 makes every call fail.
    // A failed open reports kErrorGenFailure.
    void FailCall(SpoolerOp op, int nth = 0);
    // Opens asking for any right beyond `granted` fail with access denied, as for a
    // user who may print but not manage the printer.
    void LimitAccess(std::uint32_t granted);
    // WritePrinter reports at most this many bytes written (the rest is dropped).
    void LimitWrites(std::uint32_t maxBytesTaken);
    // EnumPrintersSizeNeeded reports this instead of the real size.
    void OverrideEnumSize(std::uint32_t size);

    int OpenHandleCount() const;
    int CallCount(SpoolerOp op) const;
    std::vector<CapturedJob> Jobs() const;
    std::vector<PrinterDefaults> OpenDefaults() const;
    std::vector<std::wstring> OpenedNames() const;
    std::vector<std::wstring> StatusValueNames() const;
    std::vector<std::uint32_t> StatusBufferSizes() const;

    // Spooler
    std::uint32_t EnumPrintersSizeNeeded() override;
    std::vector<PrinterInfo> EnumPrinters(void* buffer, std::uint32_t bufferSize) override;
    bool OpenPrinter(const std::wstring& printerName, PrinterHandle* handle,
                     const PrinterDefaults& defaults) override;
    // Per thread, like GetLastError: set by every failed open, never cleared.
    std::uint32_t LastError() override;
    void ClosePrinter(PrinterHandle handle) override;
    std::uint32_t GetPrinterSizeNeeded(PrinterHandle handle) override;
    bool GetPrinterPort(PrinterHandle handle, void* buffer, std::uint32_t bufferSize,
                        std::wstring* portName) override;
    std::uint32_t GetPrinterData(PrinterHandle handle, const std::wstring& valueName,
                                 unsigned char* buffer, std::uint32_t bufferSize) override;
    bool StartDocPrinter(PrinterHandle handle, const DocInfo& docInfo) override;
    bool StartPagePrinter(PrinterHandle handle) override;
    std::uint32_t WritePrinter(PrinterHandle handle, const void* data,
                               std::uint32_t count) override;
    void EndPagePrinter(PrinterHandle handle) override;
    void EndDocPrinter(PrinterHandle handle) override;

private:
    struct Printer {
        PrinterInfo info;
        SimulatedDevice* device = nullptr;
        std::vector<unsigned char> statusBytes;
        std::optional<std::uint32_t> reportedCount;
    };
    struct OpenPrinterState {
        std::size_t printerIndex = 0;
        std::optional<std::size_t> jobIndex;  // the job under way on this handle
    };

    // Counts the call and tells whether it must fail. Caller holds the mutex.
    bool CallFails(SpoolerOp op);
    OpenPrinterState* Find(PrinterHandle handle);
    std::uint32_t PrinterInfoSize(const Printer& printer) const;

    mutable std::mutex mutex_;
    std::vector<Printer> printers_;
    std::map<PrinterHandle, OpenPrinterState> open_;
    PrinterHandle nextHandle_ = 0x100;
    std::vector<CapturedJob> jobs_;
    int calls_[kSpoolerOpCount] = {};
    std::map<int, std::vector<int>> failures_;  // op -> nth calls to fail (0 = all)
    std::optional<std::uint32_t> writeLimit_;
    std::optional<std::uint32_t> enumSizeOverride_;
    std::optional<std::uint32_t> grantedAccess_;
    std::vector<PrinterDefaults> openDefaults_;
    std::vector<std::wstring> openedNames_;
    std::vector<std::wstring> statusValueNames_;
    std::vector<std::uint32_t> statusBufferSizes_;
};

}  // namespace reflasher::sim
