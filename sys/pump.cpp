#include "sys/pump.h"

namespace {
PumpHook g_hook = nullptr;
}

void pump_set_hook(PumpHook hook) { g_hook = hook; }

int pump_run() { return g_hook ? g_hook() : 0; }
