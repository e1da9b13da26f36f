// DLLs that Windows does not protect (winspool.drv, version.dll, oleacc.dll) are
// never imported: Windows would look for them in the program's own folder first,
// where anyone may have put a copy. They are loaded here instead, from the system
// folder only, on first use; so is comdlg32, whose Wine build imports winspool.drv.
#pragma once

#include <windows.h>

namespace reflasher {

class SystemLibrary {
public:
    // Loads `fileName` (e.g. L"winspool.drv") from the system folder, and from
    // nowhere else. Loaded() tells whether that worked.
    explicit SystemLibrary(const wchar_t* fileName);
    // Never freed: a worker thread may still be inside the DLL while the process ends.
    ~SystemLibrary() = default;
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    bool Loaded() const { return module_ != nullptr; }

    // The exported function `name` as a pointer of type `Function`, or nullptr
    // when the DLL or the function isn't there. Take the type from the header's
    // declaration, decltype(&::Name), so the calling convention (stdcall on i686)
    // is the header's, not ours.
    template <class Function>
    Function Find(const char* name) const {
        // Through a plain function pointer: GCC warns on a direct cast between
        // unrelated function types.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(Address(name)));
    }

private:
    FARPROC Address(const char* name) const;

    HMODULE module_;
};

// The first statements of the entry point: every later load, also the ones that
// system DLLs make for themselves, searches the system folder only, and the
// current folder (where a file dialog may have been) is never searched. It also
// loads the one DLL that Wine's own code looks for past those rules (msimg32).
void RestrictDllSearchToSystemFolder();

}  // namespace reflasher

// A function of a SystemLibrary by the name the Windows headers declare it with.
#define REFLASHER_SYSTEM_FUNCTION(library, name) (library).Find<decltype(&::name)>(#name)
