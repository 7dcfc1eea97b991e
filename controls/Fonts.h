#pragma once
// Fonts derived from a window's font, and text measurement in them.
#include "framework/Gdi.h"

#include <string>

// The window's font (WM_GETFONT), else DEFAULT_GUI_FONT, else ANSI_VAR_FONT.
HFONT GetWindowFontOrDefault(HWND window);

// A copy of `window`'s font. A nonzero `sizeIncrease` makes the font that much taller and, when
// `weight` > 0, sets its weight; a size increase of 0 ignores the weight.
bool DeriveFont(HWND window, int sizeIncrease, int weight, fx::CFont& font);

// Width in pixels of `text` in a font derived as above, measured on `dc`; -1 without a window or
// a device context.
int MeasureTextWidth(HWND window, HDC dc, const std::wstring& text, int sizeIncrease, int weight);
