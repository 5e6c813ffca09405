#include <gtest/gtest.h>

#include "base/process_exit.h"
#include "sim/soft_bodies.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The tests that run ticks use the demo's bodies, built from the run folder's mesh.
    buildSoftBodies();
    const int result = RUN_ALL_TESTS();
    checkLeaksNow();
    return result;
}
