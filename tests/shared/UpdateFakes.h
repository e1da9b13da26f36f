// Test-side stand-ins for what an update run talks to, for the native tests and the
// Windows tier alike: a dialog and a clock that record every call in one ordered
// log (the clock's pauses can be held), a keep-awake request that notes when it
// comes, in-memory firmware files, an embedded image that may or may not be there,
// a small image the simulated embosser accepts, and an allocator that can refuse.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/Allocator.h"
#include "sim/SyntheticFirmware.h"
#include "update/Pauses.h"
#include "update/FirmwareSources.h"
#include "update/KeepAwake.h"
#include "update/DialogRequests.h"

namespace reflasher::fakes {

// Everything the run did toward the user, the clock and the device, in order.
class EventLog {
public:
    void Add(std::wstring event) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::wstring> Events() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    // Only the events that start with `prefix`, in order.
    std::vector<std::wstring> Only(const std::wstring& prefix) const {
        std::vector<std::wstring> picked;
        for (const auto& event : Events()) {
            if (event.compare(0, prefix.size(), prefix) == 0) picked.push_back(event);
        }
        return picked;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> events_;
};

struct RecordedMessage {
    std::wstring text;
    std::wstring caption;
    MessageIcon icon;
};

class RecordingDialog : public DialogRequests {
public:
    explicit RecordingDialog(EventLog& log) : log_(log) {}

    // Called while a message box would be open.
    std::function<void()> onMessage;
    // Called when the run reports that the device's work is over.
    std::function<void()> onDeviceWorkEnded;
    // The run's busy flag: once it is clear the real dialog may be gone, so every
    // call made then is counted.
    const std::atomic<bool>* busyFlag = nullptr;

    void SetProgressRange(int lower, int upper) override {
        Touch();
        log_.Add(L"range " + std::to_wstring(lower) + L"-" + std::to_wstring(upper));
    }
    void SetProgressPos(int position) override {
        Touch();
        position_ = position;
        log_.Add(L"pos " + std::to_wstring(position));
    }
    void SetStatusLine(const std::wstring& text) override {
        Touch();
        statusText_ = text;
        log_.Add(L"status " + text);
    }
    void RepaintDialog() override {
        Touch();
        log_.Add(L"repaint dialog");
    }
    void RepaintProgressBar() override {
        Touch();
        log_.Add(L"repaint bar");
    }
    void ShowMessage(const std::wstring& text, const std::wstring& caption,
                     MessageIcon icon) override {
        Touch();
        messages_.push_back({text, caption, icon});
        log_.Add(L"message " + caption);
        if (onMessage) onMessage();
    }
    // Kept out of the log, so that the run's own sequence reads as before.
    void DeviceWorkEnded() override {
        Touch();
        deviceWorkEnded_.push_back(log_.Events().size());
        if (onDeviceWorkEnded) onDeviceWorkEnded();
    }
    int Position() const { return position_; }
    const std::wstring& StatusText() const { return statusText_; }
    const std::vector<RecordedMessage>& Messages() const { return messages_; }
    // How many events the log held at each report that the device's work was over.
    const std::vector<std::size_t>& DeviceWorkEnds() const { return deviceWorkEnded_; }
    int CallsWhileIdle() const { return callsWhileIdle_; }

private:
    void Touch() const {
        if (busyFlag != nullptr && !*busyFlag) ++callsWhileIdle_;
    }

    EventLog& log_;
    int position_ = -1;  // never set
    std::wstring statusText_;
    std::vector<RecordedMessage> messages_;
    std::vector<std::size_t> deviceWorkEnded_;
    mutable std::atomic<int> callsWhileIdle_{0};
};

// Takes no time, except while held: then a pause waits for Release(). Remembers
// every pause, in the log too when it has one.
class FakePauses : public Pauses {
public:
    FakePauses() = default;
    explicit FakePauses(EventLog& log) : log_(&log) {}
    void Sleep(std::uint32_t milliseconds) override {
        std::unique_lock<std::mutex> lock(mutex_);
        pauses_.push_back(milliseconds);
        totalMs_ += milliseconds;
        if (log_ != nullptr) log_->Add(L"sleep " + std::to_wstring(milliseconds));
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
        --waiting_;
    }
    // Read once the run is over.
    const std::vector<std::uint32_t>& Pauses() const { return pauses_; }
    std::uint64_t TotalMs() const { return totalMs_; }

    void Hold() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = false;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // True once a pause is being held.
    bool WaitUntilHeld(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return waiting_ > 0 && !open_; });
    }

private:
    EventLog* log_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int waiting_ = 0;
    std::vector<std::uint32_t> pauses_;
    std::uint64_t totalMs_ = 0;
};

// Remembers every power request with its thread and how many events the log held
// when it came (kept out of the log, so that the run's own sequence reads as before).
class FakeKeepAwake : public KeepAwake {
public:
    struct PowerCall {
        bool keepAwake;
        std::thread::id thread;
        std::size_t eventsBefore;
    };

    FakeKeepAwake() = default;
    explicit FakeKeepAwake(EventLog& log) : log_(&log) {}
    void KeepSystemAwake() override { Record(true); }
    void AllowSystemSleep() override { Record(false); }
    std::vector<PowerCall> PowerCalls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return powerCalls_;
    }

private:
    void Record(bool keepAwake) {
        const std::size_t events = log_ != nullptr ? log_->Events().size() : 0;
        std::lock_guard<std::mutex> lock(mutex_);
        powerCalls_.push_back({keepAwake, std::this_thread::get_id(), events});
    }

    EventLog* log_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<PowerCall> powerCalls_;
};

class FakeEmbeddedImage : public EmbeddedImageSource {
public:
    std::optional<std::vector<unsigned char>> image;  // none: the program carries no image

    bool Find(FirmwareImage* found) const override {
        if (!image) return false;
        found->data = image->data();
        found->size = image->size();
        return true;
    }
};

// A small image the simulated embosser accepts.
inline std::vector<unsigned char> SmallFirmwareImage() {
    sim::FirmwareLayout layout = sim::StoredImageLayout();
    layout.runs = {{0x02000000u, 0x0200004Fu}};
    const std::string text = sim::GenerateFirmwareImage(layout);
    return std::vector<unsigned char>(text.begin(), text.end());
}

// One file of the in-memory file system, and how it misbehaves.
struct MemoryFileSpec {
    std::vector<unsigned char> bytes;
    bool lockedElsewhere = false;                // another program holds it: open fails
    std::optional<std::uint64_t> claimedLength;  // a length other than the bytes held
    bool lengthFails = false;                    // the OS can't tell the length
    bool readFails = false;                      // the OS read reports an error
    std::size_t readShortBy = 0;                 // the read delivers this many bytes less
};

class MemoryFileOpener : public FileOpener {
public:
    std::map<std::wstring, MemoryFileSpec> files;

    std::unique_ptr<FirmwareFile> OpenExisting(const std::wstring& path) override {
        openedPaths.push_back(path);
        const auto it = files.find(path);
        if (it == files.end() || it->second.lockedElsewhere) return nullptr;
        ++openFiles;
        return std::make_unique<File>(it->second, *this);
    }

    std::vector<std::wstring> openedPaths;
    std::vector<std::size_t> readSizes;  // the size asked for by every read
    int openFiles = 0;                   // files not yet closed

private:
    class File : public FirmwareFile {
    public:
        File(const MemoryFileSpec& spec, MemoryFileOpener& owner) : spec_(spec), owner_(owner) {}
        ~File() override { --owner_.openFiles; }
        bool Length(std::uint64_t* length) override {
            if (spec_.lengthFails) return false;
            *length = spec_.claimedLength.value_or(spec_.bytes.size());
            return true;
        }
        bool Read(void* buffer, std::size_t size, std::size_t* bytesRead) override {
            owner_.readSizes.push_back(size);
            *bytesRead = 0;
            if (spec_.readFails) return false;
            std::size_t available = spec_.bytes.size() - std::min(spec_.readShortBy, spec_.bytes.size());
            const std::size_t count = std::min(size, available - std::min(position_, available));
            const auto from = spec_.bytes.begin() + static_cast<std::ptrdiff_t>(position_);
            std::copy(from, from + static_cast<std::ptrdiff_t>(count), static_cast<unsigned char*>(buffer));
            position_ += count;
            *bytesRead = count;
            return true;
        }

    private:
        const MemoryFileSpec& spec_;
        MemoryFileOpener& owner_;
        std::size_t position_ = 0;  // reads go on where the last one stopped
    };
};

// A `failFrom` that lets every request through.
constexpr std::size_t kNeverFails = std::numeric_limits<std::size_t>::max();

// Refuses every request of at least `failFrom` bytes; remembers every request.
class FailingAllocator : public Allocator {
public:
    explicit FailingAllocator(std::size_t failFrom = 0) : failFrom_(failFrom) {}
    std::unique_ptr<unsigned char[]> Allocate(std::size_t size) noexcept override {
        requests.push_back(size);
        if (size >= failFrom_) return nullptr;
        return Allocator::Allocate(size);
    }
    std::vector<std::size_t> requests;

private:
    std::size_t failFrom_;
};

}  // namespace reflasher::fakes
