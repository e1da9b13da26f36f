// The folder where tools/wine-job-sink.sh leaves each job printed to a mapped
// port: job-0001.bin, job-0002.bin, ... in the order the jobs ended.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace reflasher::wineprefix {

class JobFolder {
public:
    // `unixPath`: the folder as the sink (a Unix program) sees it.
    explicit JobFolder(std::wstring unixPath);

    // Creates the folder if needed and deletes the jobs of earlier runs.
    bool Reset() const;

    // What a port is mapped to so that its jobs land here.
    std::wstring SinkCommand(const std::wstring& sinkUnixPath) const;

    int JobCount() const;
    // The bytes of job `number` (from 1), waiting up to `timeoutMs` for it to arrive.
    std::optional<std::vector<unsigned char>> WaitForJob(int number, unsigned timeoutMs) const;

private:
    std::wstring JobPath(int number) const;

    std::wstring unixPath_;
    std::wstring winePath_;
};

}  // namespace reflasher::wineprefix
