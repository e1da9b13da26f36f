// Puts the embosser model behind a printer of Wine's real spooler: every job the
// port's sink leaves in the job folder goes to the model in order, and the
// model's status string is published as the printer's QMSTSSTR on every tick.
#pragma once

#include <cstddef>
#include <string>

#include "sim/EmbosserModel.h"
#include "sim/win32/BridgeLog.h"
#include "sim/win32/BridgeOptions.h"
#include "sim/win32/wine/JobFolder.h"

namespace reflasher::bridge {

class EmbosserBridge {
public:
    // The job folder must start empty: job-0001.bin is taken as the first job.
    EmbosserBridge(const BridgeOptions& options, BridgeLog& log);

    // Publishes the idle status; false when the registry can't be written.
    bool Start();
    // Hands the jobs that have arrived to the model, which reacts to a job at once.
    void TakeNewJobs();
    // Advances the model one step and publishes its status.
    void Tick();

private:
    void TakeJob(const std::vector<unsigned char>& bytes);
    bool Publish();
    void SaveFirmware(const std::vector<unsigned char>& bytes);

    const BridgeOptions options_;
    BridgeLog& log_;
    sim::EmbosserModel model_;
    wineprefix::JobFolder inbox_;
    int nextJob_ = 1;
    std::string published_;
    bool publishedOnce_ = false;
};

}  // namespace reflasher::bridge
