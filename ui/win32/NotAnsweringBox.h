// The box that says a spooler call of the run hangs. It is a message box like the
// run's others, owned by the dialog window, but shown on a thread of its own: the
// dialog's thread goes on watching the call meanwhile, and closes the box itself
// when the call comes back. One box at a time; its thread is waited for before
// the next one starts and when this object goes.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/Wnd.h"
#include "ui/RunHold.h"
#include "win32/Handles.h"

class ThreadNotAnsweringBox : public reflasher::NotAnsweringBox {
public:
    // Boxes owned by `owner`, whose handle is read when one is shown.
    explicit ThreadNotAnsweringBox(const CWnd& owner) : owner_(owner) {}
    // Closes the box, and waits a little for its thread to end.
    ~ThreadNotAnsweringBox() override;
    ThreadNotAnsweringBox(const ThreadNotAnsweringBox&) = delete;
    ThreadNotAnsweringBox& operator=(const ThreadNotAnsweringBox&) = delete;

    // Starts the box's thread and returns. Without a thread (no resources left)
    // there is no box; the user may leave all the same.
    void Show(const reflasher::RunMessage& message) override;
    // Asks the box's thread to close it as if OK were pressed; returns at once.
    void Close() override;
    // Waits until the box is gone (at most `timeoutMs`), letting through what the
    // box sends to its owner on the way: a box shown next then comes after it.
    void WaitUntilGone(DWORD timeoutMs);

private:
    // What the box's thread shows, shared with it.
    struct Request;
    static unsigned __stdcall ShowBox(void* request);

    const CWnd& owner_;
    std::shared_ptr<Request> shown_;
    reflasher::UniqueKernelHandle thread_;
    DWORD threadId_ = 0;
};
