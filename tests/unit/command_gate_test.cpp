// A window's commands do not nest: one that the pump delivers while another
// runs waits for it (held, in order) or is refused, and the gate is free
// again afterwards, also when a command ends by an exception.
#include "ui/command_gate.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

TEST(CommandGate, NestedCommandsWaitOrAreRefused) {
    for (bool hold : {true, false}) {
        CommandGate gate;
        gate.hold = hold;
        std::string ran;
        std::function<void(uintptr_t)> run = [&](uintptr_t c) {
            ran += char('0' + c);
            if (c == 1) {  // as the pump delivers them in the middle of the first
                gate_run(&gate, 2, run);
                gate_run(&gate, 3, run);
            }
        };
        gate_run(&gate, 1, run);
        EXPECT_EQ(ran, hold ? "123" : "1");
        EXPECT_FALSE(gate.busy);
    }
    CommandGate gate;
    EXPECT_THROW(gate_run(&gate, 1, [](uintptr_t) { throw std::runtime_error("no memory"); }),
                 std::runtime_error);
    EXPECT_FALSE(gate.busy);
}

}  // namespace
