// SPDX-License-Identifier: MIT
#include "winview/Dpi.h"

RECT ToPixels(const TwipsRect& rect, unsigned dpi)
{
    return {TwipsToPixels(rect.x, dpi), TwipsToPixels(rect.y, dpi), TwipsToPixels(rect.x + rect.width, dpi),
            TwipsToPixels(rect.y + rect.height, dpi)};
}

int ScaleFromDesign(int pixels, unsigned dpi)
{
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(DesignDpi));
}

unsigned WindowDpi(HWND window)
{
    const UINT dpi = window != nullptr ? GetDpiForWindow(window) : GetDpiForSystem();
    return dpi != 0 ? dpi : DesignDpi;
}

SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, unsigned dpi)
{
    RECT rect{0, 0, client.cx, client.cy};
    AdjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}
