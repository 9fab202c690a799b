// The module whose resources the dialogs, icons and window classes come
// from.
#pragma once

#include "sys/handles.h"

// The instance start-up stored in g_app.instance, or this module's own when
// none was stored (the tests create windows without the program's start).
InstanceHandle app_instance();
