// What a main-dialog test runs the dialog with: a simulated spooler with
// simulated embossers behind it, a clock whose pauses can be held, an embedded
// image that may or may not be there, real files, the real embossers' locks, and a
// worker start that can fail.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "device/Allocator.h"
#include "sim/EmbosserModel.h"
#include "sim/SimulatedSpooler.h"
#include "tests/shared/UpdateFakes.h"
#include "ui/win32/DialogServices.h"
#include "update/win32/NamedMutexLocks.h"
#include "update/win32/Win32FileOpener.h"

namespace rig {

inline bool StartThread(ThreadProc proc, void* parameter) { return BeginDetachedThread(proc, parameter); }
inline bool FailToStartThread(ThreadProc, void*) { return false; }

struct DialogRig {
    reflasher::sim::SimulatedSpooler spooler;
    std::vector<std::unique_ptr<reflasher::sim::EmbosserModel>> embossers;
    reflasher::fakes::FakePauses clock;
    reflasher::fakes::FakeKeepAwake keepAwake;
    reflasher::fakes::FakeEmbeddedImage image;
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
    void EmbedImage() { image.image = reflasher::fakes::SmallFirmwareImage(); }
    DialogServices Services() {
        return DialogServices{{&spooler, &clock, &keepAwake, &image, &files,
                               &reflasher::Allocator::Heap(), &locks},
                              startThread};
    }
};

}  // namespace rig
