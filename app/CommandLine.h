#pragma once

#include <optional>
#include <span>
#include <string>

// The text that the conventional --help or --version asks for, to print before any window or display is
// touched; nothing when the program should start as usual (every other argument is left to the toolkit).
std::optional<std::string> commandLineReply(std::span<char* const> arguments);
