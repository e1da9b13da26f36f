// An update run's worker thread and what it owns. The dialog may be destroyed as
// soon as the worker clears the busy flag (the user may then close the program), so
// the worker keeps its own copies of all it needs and frees them itself, after the
// flag is clear, touching nothing of the dialog from then on.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "update/UpdateRun.h"

// The calling convention of a thread's procedure (_beginthreadex's); the host's own elsewhere.
#if defined(_WIN32)
#define REFLASHER_THREAD_CALL __stdcall
#else
#define REFLASHER_THREAD_CALL
#endif

namespace reflasher {

// What one run's worker takes with it, built once by the dialog at Start and freed
// by the worker at its end: the requests it makes of the dialog, a copy of the
// services, the firmware image, and the run's context over them.
struct UpdateThreadArgument {
    UpdateThreadArgument(const UpdateServices& runServices,
                         std::unique_ptr<DialogRequests> dialogRequests, std::wstring printer,
                         FirmwareImage firmware, std::atomic<bool>& downloadInProgress)
        : services(runServices),
          dialog(std::move(dialogRequests)),
          image(std::move(firmware)),
          context{services, *dialog, std::move(printer), image, downloadInProgress} {}
    UpdateThreadArgument(const UpdateThreadArgument&) = delete;
    UpdateThreadArgument& operator=(const UpdateThreadArgument&) = delete;

    const UpdateServices services;
    const std::unique_ptr<DialogRequests> dialog;
    const FirmwareImage image;
    UpdateContext context;
};

// UpdateRun, then clears downloadInProgress as its very last act on anything
// shared with the dialog, however the run is left. Gives 0.
unsigned UpdateThreadProc(UpdateContext& context);

// The worker thread's procedure: `argument` is an UpdateThreadArgument it now owns.
// The above on its context, then the argument is freed. Gives the same result.
unsigned REFLASHER_THREAD_CALL UpdateThreadProc(void* argument);

}  // namespace reflasher
