#include <windows.h>

#include <cstring>

#include "runtime/Badge.h"
#include "ui/Control.h"

namespace kestrix {

TBitmap FlashContentBadge() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, kBadgeWidth, -kBadgeHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    TBitmap badge;
    if (!dib || !bits) {
        DeleteDC(dc);
        return badge;
    }
    const HGDIOBJ oldBitmap = SelectObject(dc, dib);
    RECT all{0, 0, kBadgeWidth, kBadgeHeight};
    HBRUSH face = CreateSolidBrush(RGB(40, 40, 40));
    FillRect(dc, &all, face);
    DeleteObject(face);
    RECT mark{2, 2, 19, 19};
    HBRUSH red = CreateSolidBrush(RGB(204, 0, 0));
    FillRect(dc, &mark, red);
    DeleteObject(red);
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, TahomaFont(kDefaultFontHeight, true));
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 7, 4, "f", 1);
    RECT text{24, 0, kBadgeWidth, kBadgeHeight};
    DrawTextA(dc, "Flash content inside", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    SelectObject(dc, oldFont);
    GdiFlush();
    badge.SetSize(kBadgeWidth, kBadgeHeight);
    std::memcpy(badge.Pixels().data(), bits, badge.Pixels().size() * sizeof(uint32_t));
    for (uint32_t& pixel : badge.Pixels()) pixel |= 0xFF000000u;  // GDI leaves alpha at zero
    SelectObject(dc, oldBitmap);
    DeleteObject(dib);
    DeleteDC(dc);
    return badge;
}

}  // namespace kestrix
