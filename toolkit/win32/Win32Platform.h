#pragma once

#include <windows.h>

namespace forms::win32 {

inline constexpr const wchar_t* kFormClass = L"KelvaraForm";
// Labels, images, picture holders and frames: windows that draw what lies beneath them, then themselves.
inline constexpr const wchar_t* kSurfaceClass = L"KelvaraSurface";

HINSTANCE instance();
// Registers the toolkit's window classes once.
void registerClasses();

} // namespace forms::win32
