// Keeping the computer from sleeping while the embosser works: a computer that
// sleeps mid-flash can leave the embosser unusable. Behind this so that tests can
// see when the request is made and withdrawn.
#pragma once

namespace reflasher {

class KeepAwake {
public:
    virtual ~KeepAwake() = default;
    // Asks the system to stay awake.
    virtual void KeepSystemAwake() = 0;
    // Withdraws that request, from any thread: the dialog's thread does when a
    // spooler call of the run hangs. A second withdrawal does nothing.
    virtual void AllowSystemSleep() = 0;
};

}  // namespace reflasher
