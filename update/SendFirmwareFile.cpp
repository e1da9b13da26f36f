#include <cstdint>
#include <limits>

#include "update/ResultMessages.h"
#include "update/UpdateRun.h"

namespace reflasher {
namespace {

void Show(UpdateDialog& dialog, const ResultMessage& message) {
    dialog.ShowMessage(message.text, message.caption, message.icon);
}

// WritePrinter takes a 32-bit count, and the whole file must fit one buffer: anything
// longer can't be sent in one piece, so it is treated like a failed allocation.
bool FitsOneWrite(std::uint64_t length) {
    return length <= std::numeric_limits<std::uint32_t>::max() &&
           length <= std::numeric_limits<std::size_t>::max();
}

}  // namespace

void SendFirmwareFile(UpdateContext& context, PrinterHandle printer) {
    // Opened sharing nothing: nobody can change the file while it is being sent.
    const std::unique_ptr<FirmwareFile> file = context.files.OpenExisting(context.dialog.FirmwarePath());
    if (!file) return;

    std::uint64_t length = 0;
    if (!file->Length(&length)) {
        // An unreadable length is a read that came short: nothing is sent.
        Show(context.dialog, PrinterWriteFailedMessage());
        return;
    }
    if (!FitsOneWrite(length)) {
        Show(context.dialog, FileAllocationFailedMessage());
        return;
    }
    const std::size_t size = static_cast<std::size_t>(length);
    std::uint32_t written = 0;  // stays 0 unless a write happens
    {
        const auto buffer = context.allocator.Allocate(size);
        if (!buffer) {
            Show(context.dialog, FileAllocationFailedMessage());
            return;
        }
        // One read of the whole file; an operating-system error counts as a short read.
        std::size_t bytesRead = 0;
        if (file->Read(buffer.get(), size, &bytesRead) && bytesRead == size) {
            written = context.spooler.WritePrinter(printer, buffer.get(),
                                                   static_cast<std::uint32_t>(size));
        }
    }
    if (written != length) Show(context.dialog, PrinterWriteFailedMessage());
}

}  // namespace reflasher
