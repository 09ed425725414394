#pragma once

#include <string>

namespace forms::win32 {

// The toolkit's UTF-8 and the system's UTF-16.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

} // namespace forms::win32
