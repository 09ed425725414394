#include "app/CommandLine.h"

#include <string_view>

std::optional<std::string> commandLineReply(std::span<char* const> arguments) {
    for (std::string_view argument : arguments.subspan(arguments.empty() ? 0 : 1)) {
        if (argument == "--help" || argument == "-h")
            return std::string(
                "Usage: kelvara-calculator [--help | --version]\n"
                "\n"
                "Estimates what a driver saves by adding the fuel additive Kelvara to every full tank.\n"
                "Opens the calculator window: type the tank capacity, the monthly top-ups, the mileage per\n"
                "full tank and the fuel price, then press CALCULATE.\n"
                "\n"
                "  -h, --help     print this help and exit\n"
                "      --version  print the version and exit\n"
                "\n"
                "Home page: https://www.kelvara.example/\n");
        if (argument == "--version") return std::string("Kelvara Calculator " KELVARA_VERSION "\n");
    }
    return std::nullopt;
}
