#include "toolkit/win32/Win32Resources.h"

#include "toolkit/win32/Win32Utf8.h"

#include <windows.h>

namespace forms::win32 {

std::span<const std::uint8_t> resourceBytes(const std::string& name) {
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, widen(name).c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

} // namespace forms::win32
