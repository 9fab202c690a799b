#include "ui/editor_program.h"

#include <cstdio>

int editor_command_line(const char* editor, const char* file, char* out) {
    int length = std::snprintf(out, kEditorCommandSize, "\"%s\" \"%s\"", editor, file);
    return length > 0 && length < kEditorCommandSize ? 1 : 0;
}
