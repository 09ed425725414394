#pragma once

#include <optional>
#include <span>
#include <string>

// What to print, and the status to end with, before any window or display is touched: the conventional
// --help and --version (on standard output, status 0), or an argument the program does not know (the usage
// on standard error, status 2). Nothing when the program should start as usual; the toolkit's own options
// are left to it.
struct CommandLineReply {
    std::string text;
    int status = 0;
};
std::optional<CommandLineReply> commandLineReply(std::span<char* const> arguments);
