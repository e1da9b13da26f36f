// What the dialog holds for an update run while the embosser works: the embosser's
// lock against other copies, the refusal of the session's end, the request to keep
// the computer awake, the timer that watches the run's spooler calls, and the rule
// that the program can't be left. A call that hangs for a minute lets go of all but
// the lock and says so in a box of its own; if the call comes back while the
// embosser still works, everything is taken back and the box closed. Everything
// here runs on the dialog's thread; the worker is reached only through the watch.
#pragma once

#include <memory>
#include <string>

#include "update/EmbosserLock.h"
#include "update/KeepAwake.h"
#include "update/RunMessages.h"
#include "update/StuckCallWatch.h"

namespace reflasher {

// Refusing the end of the Windows session, with the reason Windows shows the user.
class SessionEndBlock {
public:
    virtual ~SessionEndBlock() = default;
    virtual void Block() = 0;
    // A second call does nothing.
    virtual void Allow() = 0;
};

// Calls RunHold::Tick about once a second, on the dialog's thread, while started.
class WatchTimer {
public:
    virtual ~WatchTimer() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
};

// The box that says a call hangs. Show returns at once; the user closes the box with
// OK, or the program with Close (which does nothing when no box is up).
class NotAnsweringBox {
public:
    virtual ~NotAnsweringBox() = default;
    virtual void Show(const RunMessage& message) = 0;
    virtual void Close() = 0;
};

struct RunHoldParts {
    EmbosserLocks& locks;
    KeepAwake& keepAwake;
    // None: the run's calls are not timed, and nothing is let go before the run's end.
    StuckCallWatch* watch;
    SessionEndBlock& sessionEnd;
    WatchTimer& timer;
    NotAnsweringBox& box;
};

class RunHold {
public:
    explicit RunHold(const RunHoldParts& parts) : parts_(parts) {}
    // Lets go of the lock, whatever the state: the process ends first while a hung
    // call may still come back (see ProcessEnding).
    ~RunHold() = default;
    RunHold(const RunHold&) = delete;
    RunHold& operator=(const RunHold&) = delete;

    // Start Download: takes the lock of the embosser on `port`, refuses the session's
    // end, and starts the watch afresh and its timer. False, with nothing changed,
    // while another run (of this copy or another) holds that embosser. The worker
    // asks for the computer to stay awake itself, when its run starts.
    bool BeginRun(const std::wstring& port);
    // The embosser is done with (the worker's word), or the worker never started:
    // lets go of everything, the keep-awake request too (the worker clears it before
    // it says so; a take-back may have fallen in between), and closes the box.
    void DeviceWorkEnded();
    // The timer's work: a call that hangs lets go of all but the lock, allows leaving
    // and shows the box with the message for the run's stage; the call's return,
    // while the embosser works, takes all that back and closes the box. Also fine to
    // call at any other time on the dialog's thread.
    void Tick();

    // Whether the program may be left while its run is under way: only between a
    // hang and its return. (With no run under way the dialog lets the user go.)
    bool MayLeaveMidRun() const { return state_ == State::LetGo; }
    // Whether the session's end is refused: while the embosser works and no call hangs.
    bool RefuseSessionEnd() const { return state_ == State::Holding; }

    // The dialog is going and the process with it: stops the timer, closes the box,
    // lets the session end and the computer sleep, and nothing is taken back from
    // now on. The lock stays while the embosser may still work: a hung call may
    // still come back and send, so no other copy may start until the process ends.
    void ProcessEnding();

private:
    enum class State { Idle, Holding, LetGo, Ending };

    void LetGo(RunStage stage);
    void TakeBack();

    RunHoldParts parts_;
    State state_ = State::Idle;
    std::unique_ptr<EmbosserLock> lock_;
};

}  // namespace reflasher
