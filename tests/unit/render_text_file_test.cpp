#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "render/text_file.h"

TEST(RenderTextFile, CrLfBecomesLfAndUnreadableFilesGiveNothing) {
    const struct {
        const char* name;
        std::optional<std::string> text;
    } cases[] = {{"crlf.glsl", "void main()\n{\n}\n"}, {"lone_cr.txt", "a\rb\n"},           {"one_byte.txt", "x"},
                 {"empty.txt", std::nullopt},          {"no_such_file.glsl", std::nullopt}, {"", std::nullopt}};
    for (const auto& c : cases) {
        const std::string path = std::string(VELKARN_TEST_DATA) + "/render/" + c.name;  // "" names the folder
        EXPECT_EQ(readTextFile(path.c_str()), c.text) << path;
    }
    EXPECT_FALSE(readTextFile(nullptr).has_value());
}
