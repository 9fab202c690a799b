#include "ui/command_gate.h"

bool gate_enter(CommandGate* gate, uintptr_t command) {
    if (!gate->busy) {
        gate->busy = true;
        return true;
    }
    if (gate->hold && gate->held_count < kGateHeldMax) gate->held[gate->held_count++] = command;
    return false;
}

bool gate_next(CommandGate* gate, uintptr_t* command) {
    if (gate->held_count == 0) return false;
    *command = gate->held[0];
    for (int i = 1; i < gate->held_count; ++i) gate->held[i - 1] = gate->held[i];
    --gate->held_count;
    return true;
}

void gate_release(CommandGate* gate) {
    gate->busy = false;
    gate->held_count = 0;
}
