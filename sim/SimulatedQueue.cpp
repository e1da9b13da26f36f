// The simulated spooler's queue model: what may go out now, what a job shows in
// the job list, and what a job cut off leaves at the device. The calls that move
// jobs along are in SimulatedSpooler.cpp.
#include "sim/SimulatedSpooler.h"

namespace reflasher::sim {

bool SimulatedSpooler::CanDeliver(const Printer& printer) const {
    constexpr std::uint32_t kHoldingBits = queue_status::kPaused | queue_status::kOffline |
                                           queue_status::kError;
    return !printer.paused && !printer.workOffline && printer.connected &&
           (printer.statusBits & kHoldingBits) == 0;
}

bool SimulatedSpooler::PortBusyElsewhere(const Printer& printer) const {
    for (const CapturedJob& job : jobs_) {
        if (job.fate != JobFate::Queued || !job.printing || job.printerName == printer.info.printerName) {
            continue;
        }
        for (const Printer& other : printers_) {
            if (other.info.printerName == job.printerName && other.info.portName == printer.info.portName) {
                return true;
            }
        }
    }
    return false;
}

std::vector<SimulatedSpooler::Delivery> SimulatedSpooler::TakeDeliveries() {
    std::vector<Delivery> deliveries;
    for (const Printer& printer : printers_) {
        if (!CanDeliver(printer) || PortBusyElsewhere(printer)) continue;
        for (CapturedJob& job : jobs_) {
            if (job.printerName != printer.info.printerName || job.fate != JobFate::Queued) continue;
            if (job.paused) {
                if (job.printing) break;  // stopped half way: the port waits for it
                continue;                 // a paused job lets the others by
            }
            if ((job.heldBits & (job_status::kError | job_status::kDeleting)) != 0) break;
            if (!job.ended && printer.mode == DeliveryMode::AfterSpooled) break;
            job.printing = true;
            if (printer.stalled) break;  // nothing more goes out
            job.sentBytes = job.bytes.size();
            if (!job.ended) break;  // still being written: the rest goes as it comes
            job.fate = JobFate::Delivered;
            if (printer.device) deliveries.push_back(Delivery{printer.device, job.bytes});
        }
    }
    return deliveries;
}

void SimulatedSpooler::CutOff(CapturedJob& job, JobFate fate, std::vector<Delivery>* deliveries) {
    job.fate = fate;
    const Printer* printer = FindPrinter(job.printerName);
    if (job.printing && job.sentBytes > 0 && printer != nullptr && printer->device != nullptr) {
        deliveries->push_back(Delivery{
            printer->device,
            std::vector<unsigned char>(job.bytes.begin(),
                                       job.bytes.begin() + static_cast<std::ptrdiff_t>(job.sentBytes))});
    }
}

std::uint32_t SimulatedSpooler::StatusOf(const CapturedJob& job) const {
    if (job.fate == JobFate::Delivered) return job_status::kPrinted | job_status::kComplete;
    std::uint32_t status = job.heldBits;
    if (job.paused) status |= job_status::kPaused;
    if (job.printing) status |= job_status::kPrinting;
    if (!job.ended) status |= job_status::kSpooling;
    return status;
}

void SimulatedSpooler::Deliver(const std::vector<Delivery>& deliveries) {
    for (const Delivery& delivery : deliveries) delivery.device->OnJob(delivery.bytes);
}

}  // namespace reflasher::sim
