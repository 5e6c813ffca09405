#include <gtest/gtest.h>

#include "base/process_exit.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    checkLeaksNow();
    return result;
}
