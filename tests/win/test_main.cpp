// The Windows tests run as the program runs: with its own message pump
// installed for long operations (resampling a picture), so that whatever
// the pump delivers in the middle of a step reaches the code under test.
// It is installed again before every test, since some tests put in their
// own hook for a while.
#include <gtest/gtest.h>

#include "app/pump.h"
#include "sys/pump.h"

namespace {

class ProgramPump : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { pump_set_hook(pump_messages); }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ProgramPump);
    return RUN_ALL_TESTS();
}
