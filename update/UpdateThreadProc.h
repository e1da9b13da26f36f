// An update run's worker thread and what it owns. The dialog may be destroyed as
// soon as the worker clears the busy flag (the user may then close the program), so
// the worker keeps its own copies of all it needs and frees them itself, after the
// flag is clear, touching nothing of the dialog from then on.
#pragma once

#include <memory>

#include "update/UpdateRun.h"

namespace reflasher {

// What one run's worker takes with it and frees at its end.
class UpdateThreadArgument {
public:
    virtual ~UpdateThreadArgument() = default;
    virtual UpdateContext& Context() = 0;
};

// UpdateRun, then clears downloadInProgress as its very last act on anything
// shared with the dialog, however the run is left. Gives 0.
unsigned UpdateThreadProc(UpdateContext& context);

// The worker thread's body: the above on the argument's context, then the
// argument is freed. Gives the same result.
unsigned UpdateThreadProc(std::unique_ptr<UpdateThreadArgument> argument);

}  // namespace reflasher
