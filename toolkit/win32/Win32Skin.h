#pragma once

// The skin as the Win32 layer draws it, one header per concern.

#include "toolkit/win32/Win32Dpi.h"
#include "toolkit/win32/Win32Fonts.h"
#include "toolkit/win32/Win32Icons.h"
#include "toolkit/win32/Win32Pictures.h"
#include "toolkit/win32/Win32Text.h"
#include "toolkit/win32/Win32Utf8.h"
