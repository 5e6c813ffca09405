#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/manual_page.h"
#include "program/options.h"

namespace {

// The words after the program name, parsed as the program does.
struct Parsed {
    std::vector<std::string> words;
    std::vector<char*> argv;
    int argc = 0;
    DemoOptions options;
    OptionsResult result;
    explicit Parsed(const std::vector<std::string>& after) : words{"velkarn"} {
        words.insert(words.end(), after.begin(), after.end());
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        argc = static_cast<int>(words.size());
        result = parseDemoOptions(argc, argv.data(), options);
    }
};

}  // namespace

TEST(ProgramOptions, OwnOptionsAreTakenOutAndTheirValuesKept) {
    const Parsed p({"--start", "12.5", "800", "--capture=out", "--fps=4", "--silent", "600", "--end", "30", "--stats",
                    "frames.csv", "--no-dialogs", "--vsync=off"});
    ASSERT_TRUE(p.result.ok) << p.result.error;
    ASSERT_EQ(p.argc, 3) << "the size words keep their count";
    EXPECT_STREQ(p.argv[1], "800");
    EXPECT_STREQ(p.argv[2], "600");
    EXPECT_EQ(p.argv[3], nullptr);
    EXPECT_EQ(*p.options.start, 12.5);
    EXPECT_EQ(*p.options.end, 30.0);
    EXPECT_EQ(*p.options.fps, 4);
    EXPECT_EQ(p.options.captureDir, "out");
    EXPECT_EQ(p.options.statsFile, "frames.csv");
    EXPECT_TRUE(p.options.silent && p.options.noDialogs && p.options.stats);
    EXPECT_FALSE(p.options.vsync);
}

// Each command line: a part of the error it gets, or "" when it parses, and then the
// words left for GLUT and the size arguments.
TEST(ProgramOptions, CommandLines) {
    struct Case {
        std::vector<std::string> words;  // after the program name
        const char* error;
        int kept = 0;
    };
    for (const Case& c : std::vector<Case>{
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
             {{"--vsync", "maybe"}, "--vsync needs on or off"},
             {{"--capture="}, "--capture needs a folder"},
             // An option never takes the next option as its value.
             {{"--capture", "--end", "1"}, "--capture needs a folder, not the option --end"},
             {{"--video", "--fps", "10"}, "--video needs a file name"},
             {{"--start", "20", "--end", "10"}, "--end must not be before --start"},
             {{"--capture", "a", "--video", "b.mp4"}, "cannot be combined"},
             // --stats takes any file name, but not a size word or an option.
             {{"--stats", "640", "360"}, "", 2},
             {{"--stats", "--watch"}, ""},
         }) {
        const Parsed p(c.words);
        SCOPED_TRACE(::testing::PrintToString(c.words) + ": " + p.result.error);
        EXPECT_EQ(p.result.ok, *c.error == '\0');
        EXPECT_NE(p.result.error.find(c.error), std::string::npos);
        EXPECT_TRUE(!p.result.ok || p.argc == 1 + c.kept) << p.argc << " words left";
    }
}

// The manual page names every option, with hyphens escaped so that they can be copied;
// its text never starts a roff request.
TEST(ManualPage, EveryOptionEscaped) {
    const std::string page = demoManualPage("1.0");
    for (const OptionEntry& option : demoOptionTable()) {
        std::string escaped;
        for (const char c : option.name) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(page.find(".B " + escaped), std::string::npos) << option.name;
    }
    EXPECT_EQ(roffText(".x\n'y\\z-w"), "\\&.x\n\\&'y\\ez\\-w");
}
