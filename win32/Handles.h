// Move-only owners for the Win32 handles the program and its tools open: kernel
// objects (threads, events, mutexes, processes, files), icons and hooks, so each is
// released exactly once. Bitmaps and memory DCs of the dialog's pictures have
// theirs over the portable drawing interface, in ui/GdiOwners.h.
#pragma once

#include <windows.h>

#include <utility>

namespace reflasher {

// Traits: `Handle` type; `Invalid()`, the value an empty owner holds; `Valid(h)`,
// whether `h` is a handle to close; `Close(h)`.
template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::Valid(handle_); }

    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        const Handle old = std::exchange(handle_, handle);
        if (Traits::Valid(old)) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

// Handle kinds whose only failure value is null.
template <class H>
struct NullIsInvalid {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
};

struct IconTraits : NullIsInvalid<HICON> {
    static void Close(Handle h) { DestroyIcon(h); }
};

// Threads, events, mutexes and processes fail as null, files as INVALID_HANDLE_VALUE:
// an owner holds either as no handle at all.
struct KernelHandleTraits : NullIsInvalid<HANDLE> {
    static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct HookTraits : NullIsInvalid<HHOOK> {
    static void Close(Handle h) { UnhookWindowsHookEx(h); }
};

using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueHook = UniqueHandle<HookTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

}  // namespace reflasher
