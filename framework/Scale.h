#pragma once
// Display scale factor: every pixel measure of a skinned window is its design value at 100 %
// times this factor, truncated toward zero.
#include <windows.h>

namespace fx {

// Screens of more than 100 logical pixels per inch scale by dpi / 100; 96 and 100 keep 1.0.
inline float ScaleFactorForDpi(int logPixelsY)
{
    return logPixelsY > 100 ? static_cast<float>(logPixelsY / 100.0) : 1.0f;
}

inline float ScreenScaleFactor()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return ScaleFactorForDpi(dpi);
}

// (int)(value × scale): truncation toward zero, as every layout formula of the program uses.
inline int Scaled(float value, float scale) { return static_cast<int>(value * scale); }

}  // namespace fx
