#include "update/UpdateWorker.h"

namespace reflasher {

unsigned RunUpdateWorker(std::unique_ptr<WorkerRun> run) {
    const unsigned result = UpdateThreadProc(run->Context());
    run.reset();  // ours alone: the dialog is not touched here
    return result;
}

}  // namespace reflasher
