#include "ui/guarded_proc.h"

#include "state/messages.h"
#include "state/warnings.h"

void procedure_failed(HWND window) {
    static bool telling = false;
    if (telling) return;
    telling = true;
    show_warning(IsWindow(window) ? window : nullptr, kMsgNoMemory);
    telling = false;
}
