#pragma once

#include <windows.h>

namespace forms::win32 {

// Parts of Windows that only some uses need (COM and what builds on it: the picture codecs for twice-size
// drawings, the accessibility library for a screen reader, the shell for an address), loaded on their first
// use rather than with the program.

// A function of a system library, loaded from the system's own folder on first use; null where there is none.
FARPROC systemFunction(const wchar_t* library, const char* name);
template <typename F> F systemFunction(const wchar_t* library, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(systemFunction(library, name)));
}

// COM on this thread, started on first use; false where it cannot be.
bool comStarted();
// CoCreateInstance of an in-process object, COM started first.
HRESULT createComObject(REFCLSID type, REFIID iid, void** object);

} // namespace forms::win32
