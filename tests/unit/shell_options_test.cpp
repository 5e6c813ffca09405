#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "shell/options.h"

namespace {

struct Parsed {
    std::vector<std::string> words;
    std::vector<char*> argv;
    int argc = 0;
    DemoOptions options;
    OptionsResult result;
};

Parsed parse(std::vector<std::string> words) {
    Parsed p;
    p.words = std::move(words);
    for (auto& w : p.words) p.argv.push_back(w.data());
    p.argv.push_back(nullptr);
    p.argc = static_cast<int>(p.words.size());
    p.result = parseDemoOptions(p.argc, p.argv.data(), p.options);
    return p;
}

}  // namespace

TEST(ShellOptions, OwnOptionsAreRemovedSoResolutionArgumentsKeepTheirCount) {
    Parsed p = parse({"velkarn", "--start", "12.5", "800", "--silent", "600", "--no-dialogs"});
    ASSERT_TRUE(p.result.ok) << p.result.error;
    EXPECT_EQ(p.argc, 3);
    EXPECT_STREQ(p.argv[1], "800");
    EXPECT_STREQ(p.argv[2], "600");
    EXPECT_EQ(p.argv[3], nullptr);
    EXPECT_DOUBLE_EQ(*p.options.start, 12.5);
    EXPECT_TRUE(p.options.silent);
    EXPECT_TRUE(p.options.noDialogs);
}

TEST(ShellOptions, ValuesAfterEqualsAndCapture) {
    Parsed p = parse({"velkarn", "--capture=out", "--fps=4", "--end", "30", "--stats", "frames.csv"});
    ASSERT_TRUE(p.result.ok) << p.result.error;
    EXPECT_EQ(p.options.captureDir, "out");
    EXPECT_EQ(*p.options.fps, 4);
    EXPECT_DOUBLE_EQ(*p.options.end, 30.0);
    EXPECT_TRUE(p.options.stats);
    EXPECT_EQ(p.options.statsFile, "frames.csv");
    EXPECT_EQ(p.argc, 1);
}

// Each command line: the error it gets (a part of the message), or "" when it parses,
// and then the words left for GLUT and the size arguments.
TEST(ShellOptions, CommandLines) {
    struct Case {
        std::vector<std::string> words;  // after the program name
        const char* error;
        int kept = 0;  // words left (without the program name)
    };
    for (const Case& c : std::vector<Case>{
             {{"--frobnicate"}, "unknown option --frobnicate"},
             {{"-h"}, ""},
             {{"-display", ":1", "--help"}, "", 2},  // single-dash words stay for GLUT
             {{"--start"}, "--start needs a number of seconds"},
             {{"--start", "soon"}, "--start needs"},
             {{"--start", "-3"}, "--start needs"},
             {{"--start", "nan"}, "--start needs"},
             {{"--start", "1e308"}, "--start needs"},
             {{"--fps", "0"}, "--fps needs a whole number"},
             {{"--fps", "2.5"}, "--fps needs"},
             {{"--fps", "99999999999999999999"}, "--fps needs"},
             {{"--silent=yes"}, "--silent takes no value"},
             {{"--capture"}, "--capture needs a folder"},
             {{"--capture="}, "--capture needs a folder"},
             // An option never takes the next option as its value.
             {{"--capture", "--end", "1"}, "--capture needs a folder, not the option --end"},
             {{"--video", "--fps", "10"}, "--video needs a file name"},
             {{"--start", "20", "--end", "10"}, "--end must not be before --start"},
             {{"--capture", "a", "--video", "b.mp4"}, "cannot be combined"},
             // --stats takes any file name, but not a size word or an option.
             {{"--stats", "/tmp/s.txt"}, ""},
             {{"--stats", "640", "360"}, "", 2},
             {{"--stats", "--watch"}, ""},
         }) {
        std::vector<std::string> words = {"velkarn"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        const Parsed p = parse(words);
        const std::string line = ::testing::PrintToString(c.words);
        if (*c.error == '\0') {
            EXPECT_TRUE(p.result.ok) << line << ": " << p.result.error;
            EXPECT_EQ(p.argc, 1 + c.kept) << line;
        } else {
            EXPECT_FALSE(p.result.ok) << line;
            EXPECT_NE(p.result.error.find(c.error), std::string::npos) << line << ": " << p.result.error;
        }
    }
    EXPECT_TRUE(parse({"velkarn", "-h"}).options.help);
    EXPECT_EQ(parse({"velkarn", "--stats", "/tmp/s.txt"}).options.statsFile, "/tmp/s.txt");
    EXPECT_TRUE(parse({"velkarn", "--stats", "640", "360"}).options.statsFile.empty());
}

// --help is made from the option table, and the README's table names the same options.
TEST(ShellOptions, HelpAndReadmeListEveryOption) {
    std::set<std::string> names;
    const std::string help = demoUsage();
    for (const OptionEntry& option : demoOptionTable()) {
        names.emplace(option.name);
        if (!option.alias.empty()) names.emplace(option.alias);
        EXPECT_NE(help.find("  " + std::string(option.name)), std::string::npos) << option.name;
    }
    std::ifstream readme(std::string(VELKARN_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(readme.good());
    std::set<std::string> documented;
    for (std::string line; std::getline(readme, line);) {
        if (!line.starts_with("| `-")) continue;
        // The first cell: "`--help`, `-h`" or "`--start S`".
        const std::string cell = line.substr(1, line.find('|', 1) - 1);
        for (std::size_t tick = cell.find('`'); tick != std::string::npos; tick = cell.find('`', tick)) {
            const std::size_t close = cell.find('`', tick + 1);
            const std::string code = cell.substr(tick + 1, close - tick - 1);
            documented.insert(code.substr(0, code.find(' ')));
            tick = close + 1;
        }
    }
    EXPECT_EQ(documented, names);
}
