// The test program's entry. Every engine a test starts brings SDL's audio up and down;
// on the system's driver, a machine without a sound card spends seconds (minutes under
// the sanitizers, on a busy core) in the driver's start and stop. The tests run on SDL's
// dummy driver, which always opens and plays nothing, unless the environment names
// another driver for a run on a real device. The tests of the audio layer name their own
// driver; the programs the tests start inherit the choice.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
