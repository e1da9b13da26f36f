// Keeping the computer from sleeping while the embosser works: a computer that
// sleeps mid-flash can leave the embosser unusable. Behind this so that tests can
// see when the request is made and withdrawn.
#pragma once

namespace reflasher {

class KeepAwake {
public:
    virtual ~KeepAwake() = default;
    // Asks the system to stay awake; the request belongs to the calling thread.
    virtual void KeepSystemAwake() = 0;
    // Withdraws that request; called on the same thread.
    virtual void AllowSystemSleep() = 0;
};

}  // namespace reflasher
