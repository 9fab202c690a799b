// A window's commands do not nest. A command's handler may run the message
// pump (resampling a picture, a modal box or menu, the wait for the editor
// program), and the pump may deliver the window's next command before the
// first one has finished with the state both work on; a second step started
// then would read half-changed state (a queued "next item" storing the
// fields the first step had not yet filled). Such a command is refused, or,
// where the window holds commands, kept and run after the first one, in
// the order they came.
#pragma once

#include <cstdint>

constexpr int kGateHeldMax = 8;

struct CommandGate {
    bool busy = false;
    bool hold = false;  // keep commands that come while busy (otherwise refuse them)
    int held_count = 0;
    uintptr_t held[kGateHeldMax] = {};
};

// True when `command` may run now: the gate is then busy until
// gate_release. Otherwise it is held (when the gate holds and has room) or
// refused.
bool gate_enter(CommandGate* gate, uintptr_t command);
// Takes the oldest held command; false when none is left.
bool gate_next(CommandGate* gate, uintptr_t* command);
// Frees the gate; commands still held are dropped.
void gate_release(CommandGate* gate);

// The gate taken for a scope: false when the command was held or refused.
class GateScope {
public:
    GateScope(CommandGate* gate, uintptr_t command) : gate_(gate), entered_(gate_enter(gate, command)) {}
    ~GateScope() {
        if (entered_) gate_release(gate_);
    }
    GateScope(const GateScope&) = delete;
    GateScope& operator=(const GateScope&) = delete;
    explicit operator bool() const { return entered_; }

private:
    CommandGate* gate_;
    bool entered_;
};

// Runs `run(command)` through the gate, then the commands held meanwhile.
// The gate is freed however the run ends (an exception included).
template <typename Run>
void gate_run(CommandGate* gate, uintptr_t command, Run run) {
    const GateScope scope(gate, command);
    if (!scope) return;
    do {
        run(command);
    } while (gate_next(gate, &command));
}
