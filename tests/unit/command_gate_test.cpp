// A command that comes while another of the same window runs is held and
// run after it, or refused; the gate is free afterwards, also after a throw.
#include "ui/command_gate.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

TEST(CommandGate, NestedCommandsWaitOrAreRefused) {
    for (bool hold : {true, false}) {
        CommandGate gate;
        gate.hold = hold;
        std::string ran;
        std::function<void(uintptr_t)> run = [&](uintptr_t c) {
            ran += char('0' + c);
            if (c == 1)  // as the pump delivers them in the middle of the first
                for (uintptr_t next : {2, 3}) gate_run(&gate, next, run);
        };
        gate_run(&gate, 1, run);
        EXPECT_EQ(ran, hold ? "123" : "1");
        EXPECT_THROW(gate_run(&gate, 1, [](uintptr_t) { throw 1; }), int);
        EXPECT_FALSE(gate.busy);
    }
}
