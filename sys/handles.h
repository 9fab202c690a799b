// Window-system handles as the portable code sees them. The tags are those
// of <windows.h> (which defines STRICT), so these are the very same types
// as HWND, HICON and HINSTANCE there, and opaque pointers everywhere else.
#pragma once

#include <cstdint>

struct HWND__;
struct HICON__;
struct HINSTANCE__;

typedef HWND__* WindowHandle;
typedef HICON__* IconHandle;
typedef HINSTANCE__* InstanceHandle;

// A screen or image position; the layout of the Win32 POINT.
struct PixelPoint {
    int32_t x;
    int32_t y;
};

// A rectangle in top-down image or screen coordinates, right and bottom
// exclusive; the same layout as the Win32 RECT.
struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
