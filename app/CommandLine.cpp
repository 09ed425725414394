#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Usage: kelvara-calculator [--help | --version]\n"
    "\n"
    "Estimates what a driver saves by adding the fuel additive Kelvara to every full tank.\n"
    "Opens the calculator window: type the tank capacity, the monthly top-ups, the mileage per\n"
    "full tank and the fuel price, then press CALCULATE.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Home page: https://www.kelvara.example/\n";

// Qt's own options, with one or two leading dashes: those that take the next argument, and the others.
constexpr std::array<std::string_view, 14> kToolkitOptionsWithValue{"platform",        "platformpluginpath",
                                                                    "platformtheme",   "plugin",
                                                                    "qwindowgeometry", "qwindowtitle",
                                                                    "qwindowicon",     "style",
                                                                    "stylesheet",      "session",
                                                                    "display",         "name",
                                                                    "title",           "visual"};
constexpr std::array<std::string_view, 5> kToolkitFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

std::string_view optionName(std::string_view argument) {
    if (argument.starts_with("--")) return argument.substr(2);
    if (argument.starts_with("-")) return argument.substr(1);
    return {};
}

bool listed(std::span<const std::string_view> names, std::string_view name) {
    return !name.empty() && std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

std::optional<CommandLineReply> commandLineReply(std::span<char* const> arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") return CommandLineReply{kUsage, 0};
        if (argument == "--version") return CommandLineReply{"Kelvara Calculator " KELVARA_VERSION "\n", 0};
        const std::string_view name = optionName(argument);
        if (listed(kToolkitOptionsWithValue, name)) {
            ++i;
            continue;
        }
        if (listed(kToolkitFlags, name)) continue;
        const std::string what = name.empty() ? "unexpected argument '" : "unknown option '";
        return CommandLineReply{"kelvara-calculator: " + what + std::string(argument) + "'\n" + kUsage, 2};
    }
    return std::nullopt;
}
