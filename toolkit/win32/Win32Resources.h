#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace forms::win32 {

// The bytes of a file embedded in the executable by its resource name; empty when there is none.
std::span<const std::uint8_t> resourceBytes(const std::string& name);

} // namespace forms::win32
