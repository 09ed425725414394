#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::optional<CommandLineReply> replyTo(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "kelvara-calculator");
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    return commandLineReply(argv);
}

const char* const kVersion = "Kelvara Calculator " KELVARA_VERSION "\n";

struct Row {
    const char* name;
    std::vector<std::string> arguments;
    // "help", "unknown", the exact version line, or nullptr when the window should open.
    const char* reply;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class CommandLine : public ::testing::TestWithParam<Row> {};

TEST_P(CommandLine, AnswersTheConventionalFlagsAndRefusesTheUnknown) {
    const auto reply = replyTo(GetParam().arguments);
    const std::string expected = GetParam().reply ? GetParam().reply : "";
    if (expected.empty()) {
        EXPECT_FALSE(reply.has_value()) << reply->text;
        return;
    }
    ASSERT_TRUE(reply.has_value());
    const std::string usage = "Usage: kelvara-calculator [--help | --version]\n";
    if (expected == "help") {
        EXPECT_EQ(reply->status, 0);
        EXPECT_TRUE(reply->text.starts_with(usage)) << reply->text;
        EXPECT_NE(reply->text.find("--version  print the version and exit"), std::string::npos)
            << reply->text;
    } else if (expected == "unknown") {
        EXPECT_EQ(reply->status, 2);
        const std::string said = "kelvara-calculator: unknown option '" + GetParam().arguments.back() + "'\n";
        EXPECT_EQ(reply->text.substr(0, said.size() + usage.size()), said + usage);
    } else {
        EXPECT_EQ(reply->status, 0);
        EXPECT_EQ(reply->text, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLine,
    ::testing::Values(Row{"NoArguments", {}, nullptr}, Row{"Help", {"--help"}, "help"},
                      Row{"ShortHelp", {"-h"}, "help"}, Row{"Version", {"--version"}, kVersion},
                      Row{"AfterToolkitOptions", {"-platform", "offscreen", "--version"}, kVersion},
                      Row{"FirstFlagWins", {"--version", "--help"}, kVersion},
                      Row{"ToolkitOptionsLeftAlone", {"-platform", "offscreen"}, nullptr},
                      Row{"NoPartialMatch", {"--versions"}, "unknown"},
                      Row{"NoSingleDashVersion", {"-version"}, "unknown"},
                      Row{"UnknownOption", {"--frobnicate"}, "unknown"},
                      Row{"UnknownAfterToolkitOptions", {"--platform", "xcb", "-reverse", "-x"}, "unknown"}),
    [](const auto& info) { return std::string(info.param.name); });

// The build's version is the one the changelog's newest entry releases.
TEST(CommandLine, VersionIsTheChangelogsNewest) {
    std::ifstream changelog(KELVARA_CHANGELOG);
    std::string first;
    ASSERT_TRUE(std::getline(changelog, first)) << KELVARA_CHANGELOG;
    EXPECT_EQ(first.substr(0, first.find(')') + 1), "kelvara-calculator (" KELVARA_VERSION ")");
}

TEST(CommandLine, ProgramNameAloneIsNoFlag) {
    std::string name = "--help";
    char* argv[] = {name.data()};
    EXPECT_FALSE(commandLineReply(argv).has_value());
}

} // namespace
