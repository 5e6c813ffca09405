// velkarn_manual OUT VERSION: writes the manual page velkarn(6) made from the option table.
#include <cstdio>
#include <fstream>
#include <string>

#include "program/manual_page.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: velkarn_manual OUT VERSION\n");
        return 2;
    }
    const std::string page = demoManualPage(argv[2]);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(page.data(), static_cast<std::streamsize>(page.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "velkarn_manual: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
