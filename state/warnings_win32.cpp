#include "state/warnings.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "state/messages.h"

int show_warning(WindowHandle owner, int number) {
    MessageBeep(0);
    return MessageBoxA(owner, message_text(number), kAppCaption, MB_ICONWARNING);
}

int confirm_yes_no(WindowHandle owner, const char* text) {
    size_t a = std::strlen(text), b = std::strlen(kConfirmSuffix);
    char* full = static_cast<char*>(std::malloc(a + b + 1));
    if (!full) return 0;
    std::memcpy(full, text, a);
    std::memcpy(full + a, kConfirmSuffix, b + 1);
    int answer = MessageBoxA(owner, full, kAppCaption, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST);
    std::free(full);
    return answer == IDYES ? 1 : 0;
}
