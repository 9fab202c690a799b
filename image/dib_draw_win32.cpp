#include "image/dib_draw.h"

void dib_draw(const PAINTSTRUCT* paint, PackedDib dib) {
    const RECT& r = paint->rcPaint;
    if (!dib || r.left >= r.right || r.top >= r.bottom) return;
    MemLock<DibHeader> h(dib);
    if (!h) return;
    SetDIBitsToDevice(paint->hdc, r.left, r.top, DWORD(r.right - r.left), DWORD(r.bottom - r.top),
                      r.left, h->biHeight - r.bottom, 0, UINT(h->biHeight),
                      reinterpret_cast<uint8_t*>(h.get()) + 40 + 4 * dib_palette_entries(h.get()),
                      reinterpret_cast<BITMAPINFO*>(h.get()), DIB_RGB_COLORS);
}
