#pragma once

#include <ostream>
#include <string>

namespace {

// Test rows are shown and named by their name instead of as a dump of their bytes.
template <typename Row>
requires requires(const Row& row) {
    *static_cast<std::ostream*>(nullptr) << row.name;
}
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

inline auto rowName = [](const auto& info) { return std::string(info.param.name); };

} // namespace
