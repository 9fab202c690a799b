#include "ui/clipboard_text.h"

#include <cstdlib>
#include <cstring>

#include "state/messages.h"

char* clipboard_copy_text(HWND owner, int* opened) {
    *opened = OpenClipboard(owner) ? 1 : 0;
    if (!*opened) return nullptr;
    char* copy = nullptr;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
        // Another program may have put a block there without its NUL.
        size_t limit = GlobalSize(data);
        const char* nul = static_cast<const char*>(std::memchr(text, 0, limit));
        size_t length = nul ? size_t(nul - text) : limit;
        if (length > 0 && (copy = static_cast<char*>(std::malloc(length + 1)))) {
            std::memcpy(copy, text, length);
            copy[length] = '\0';
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return copy;
}

int clipboard_put_text(HWND owner, const char* text) {
    if (!OpenClipboard(owner)) return kMsgClipboardOpen;
    EmptyClipboard();
    size_t length = std::strlen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, length + 8);
    char* p = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
    if (!p) {
        if (block) GlobalFree(block);
        CloseClipboard();
        return kMsgNoMemory;
    }
    std::memcpy(p, text, length + 1);
    GlobalUnlock(block);
    if (!SetClipboardData(CF_TEXT, block)) {
        // The block is still ours and the clipboard holds nothing new.
        GlobalFree(block);
        CloseClipboard();
        return kMsgNoMemory;
    }
    CloseClipboard();
    return 0;
}
