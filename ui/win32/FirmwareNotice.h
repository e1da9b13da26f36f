// The notice that replaces the file controls when the program carries its firmware:
// the firmware version (the program's own file version) and how to install the printer.
#pragma once

#include <windows.h>

#include <string>

// "Quillmar Dovrex Firmware Version a.b.d\r\n\r\n" from file version a.b.c.d, or
// "No file version available!\r\n\r\n" when there is none (null).
std::wstring FirmwareVersionLine(const VS_FIXEDFILEINFO* version);

// The version line from the running program's own version resource, then the install note.
std::wstring FirmwareNotice();

// The full path of `module`'s file (null: the program), however long; empty on failure.
// `initialCapacity` only sets where the search for a big enough buffer starts.
std::wstring ModuleFileName(HMODULE module, DWORD initialCapacity = MAX_PATH);
