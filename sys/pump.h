// Lets long operations of the portable core (resampling a large picture)
// keep the program's windows alive. The Windows program installs its
// message pump here; the native build has none.
#pragma once

// The hook dispatches waiting window messages and returns 1 when the program
// is asked to quit, 0 otherwise.
typedef int (*PumpHook)();

void pump_set_hook(PumpHook hook);
// Runs the installed hook; 0 when none is installed.
int pump_run();
