#include "image/dib_draw.h"

void dib_draw(const PAINTSTRUCT* paint, PackedDib dib) {
    const RECT& r = paint->rcPaint;
    if (!dib || r.left >= r.right || r.top >= r.bottom) return;
    DibHeader* h = static_cast<DibHeader*>(mem_lock(dib));
    if (!h) return;
    SetDIBitsToDevice(paint->hdc, r.left, r.top, DWORD(r.right - r.left), DWORD(r.bottom - r.top),
                      r.left, h->biHeight - r.bottom, 0, UINT(h->biHeight),
                      reinterpret_cast<uint8_t*>(h) + 40 + 4 * dib_palette_entries(h),
                      reinterpret_cast<BITMAPINFO*>(h), DIB_RGB_COLORS);
    mem_unlock(dib);
}
