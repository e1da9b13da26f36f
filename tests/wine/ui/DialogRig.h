// What a main-dialog test runs the dialog with: a simulated spooler with
// simulated embossers behind it, a clock whose pauses can be held, an embedded
// image that may or may not be there, real files, the real embossers' locks, and a
// worker start that can fail.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/Allocator.h"
#include "sim/EmbosserModel.h"
#include "sim/SimulatedSpooler.h"
#include "sim/SyntheticFirmware.h"
#include "ui/DialogServices.h"
#include "update/Pauses.h"
#include "update/FirmwareSources.h"
#include "update/KeepAwake.h"
#include "update/win32/NamedMutexLocks.h"
#include "update/win32/Win32FileOpener.h"

namespace rig {

// Pauses return at once, except while held: then they wait for Release().
class GatePauses : public reflasher::Pauses {
public:
    void Sleep(std::uint32_t) override {
        std::unique_lock<std::mutex> lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
        --waiting_;
    }
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
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int waiting_ = 0;
};

// The pairing of these is checked by the native update tests.
class NoKeepAwake : public reflasher::KeepAwake {
public:
    void KeepSystemAwake() override {}
    void AllowSystemSleep() override {}
};

class FakeImageSource : public reflasher::EmbeddedImageSource {
public:
    bool present = false;
    std::string bytes;
    bool Find(reflasher::EmbeddedImage* image) const override {
        if (!present) return false;
        image->data = reinterpret_cast<const unsigned char*>(bytes.data());
        image->size = bytes.size();
        return true;
    }
};

// A small image the simulated embosser accepts.
inline std::string SmallFirmwareImage() {
    reflasher::sim::FirmwareLayout layout;
    layout.version = "00900000";
    layout.runs = {{0x02000000u, 0x0200004Fu}};
    return reflasher::sim::GenerateFirmwareImage(layout);
}

inline bool StartThread(ThreadProc proc, void* parameter) { return BeginDetachedThread(proc, parameter); }
inline bool FailToStartThread(ThreadProc, void*) { return false; }

struct DialogRig {
    reflasher::sim::SimulatedSpooler spooler;
    std::vector<std::unique_ptr<reflasher::sim::EmbosserModel>> embossers;
    GatePauses clock;
    NoKeepAwake keepAwake;
    FakeImageSource image;
    reflasher::Win32FileOpener files;
    // The real embossers' locks: a test thread taking one plays another copy.
    reflasher::NamedMutexLocks locks;
    bool (*startThread)(ThreadProc, void*) = &StartThread;

    // A qualifying printer with a simulated embosser behind it.
    reflasher::sim::EmbosserModel& AddEmbosser(const std::wstring& name,
                                               const std::wstring& port = L"USB001") {
        reflasher::sim::EmbosserScript script;
        script.pollsBeforeReady = 1;
        script.erasePolls = 1;
        script.writePolls = 2;
        embossers.push_back(std::make_unique<reflasher::sim::EmbosserModel>(script));
        spooler.AddPrinter({name, port, L"Quillmar Dovrex"}, embossers.back().get());
        return *embossers.back();
    }
    void EmbedImage() {
        image.present = true;
        image.bytes = SmallFirmwareImage();
    }
    DialogServices Services() {
        return DialogServices{{&spooler, &clock, &keepAwake, &image, &files,
                               &reflasher::Allocator::Heap(), &locks},
                              startThread};
    }
};

}  // namespace rig
