#include "ui/geometry.h"

#include <algorithm>

void rect_widen(PixelRect* acc, const PixelRect& r) {
    acc->left = std::min(acc->left, r.left);
    acc->top = std::min(acc->top, r.top);
    acc->right = std::max(acc->right, r.right);
    acc->bottom = std::max(acc->bottom, r.bottom);
}
