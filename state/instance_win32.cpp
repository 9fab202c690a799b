#include "state/instance.h"

#include <windows.h>

#include "state/app_state.h"

InstanceHandle app_instance() {
    return g_app.instance ? g_app.instance : GetModuleHandleA(nullptr);
}
