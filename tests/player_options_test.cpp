// The live program's command line, checked without GL.
#include "player/player_options.h"

#include <gtest/gtest.h>

namespace {
ParsedPlayerOptions parse(std::vector<std::string> args) {
    return parsePlayerOptions(args);
}
} // namespace

TEST(PlayerOptions, NoArgumentsPlayFullscreenFromTheStart) {
    const ParsedPlayerOptions parsed = parse({});
    ASSERT_EQ(parsed.error, "");
    EXPECT_FALSE(parsed.options.inWindow);
    EXPECT_FALSE(parsed.options.fromGiven);
    EXPECT_EQ(parsed.options.fromSeconds, 0.0);
    EXPECT_FALSE(parsed.options.help);
    EXPECT_FALSE(parsed.options.edit);
}

TEST(PlayerOptions, EditModeIsInAWindowAndTakesFrom) {
    const ParsedPlayerOptions parsed = parse({"--edit", "--from", "50"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.edit);
    EXPECT_TRUE(parsed.options.inWindow);
    EXPECT_EQ(parsed.options.fromSeconds, 50.0);
    EXPECT_EQ(parse({"--edit=yes"}).error, "--edit takes no value");
}

TEST(PlayerOptions, WindowAndFromInBothSpellings) {
    for (const ParsedPlayerOptions& parsed :
         {parse({"--window", "--from", "129"}), parse({"--from=129", "--window"})}) {
        ASSERT_EQ(parsed.error, "");
        EXPECT_TRUE(parsed.options.inWindow);
        EXPECT_TRUE(parsed.options.fromGiven);
        EXPECT_EQ(parsed.options.fromSeconds, 129.0);
    }
    EXPECT_EQ(parse({"--from", "0"}).options.fromSeconds, 0.0);
    EXPECT_EQ(parse({"--from", "163.99"}).options.fromSeconds, 163.99);
    EXPECT_TRUE(parse({"--window", "-h", "--bogus"}).options.help);
}

TEST(PlayerOptions, BadValuesAndUnknownOptionsGetOneLine) {
    const std::vector<std::vector<std::string>> bad = {
        {"--from"},         {"--from", ""},
        {"--from", "abc"},  {"--from", "12s"},
        {"--from", "-1"},   {"--from", "164"},
        {"--from=1e400"},   {"--from", "nan"},
        {"--from", "inf"},  {"--window=yes"},
        {"--fullscreen"},   {"129"},
        {"--still", "150"}, {"-w"},
    };
    for (const auto& args : bad) {
        const std::string error = parse(args).error;
        EXPECT_NE(error, "") << args[0];
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    EXPECT_EQ(parse({"--from", "200"}).error,
              "--from wants seconds from 0 to below 164 (got '200')");
    EXPECT_EQ(parse({"--size", "1x1"}).error, "unknown option '--size'");
}

TEST(PlayerOptions, VersionAsksForNothingElse) {
    const ParsedPlayerOptions parsed = parse({"--version", "--bogus"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.version);
    EXPECT_FALSE(parse({"--window"}).options.version);
}
