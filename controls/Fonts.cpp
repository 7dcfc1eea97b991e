#include "controls/Fonts.h"

HFONT GetWindowFontOrDefault(HWND window)
{
    HFONT font = window ? reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)) : nullptr;
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!font) font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    return font;
}

bool DeriveFont(HWND window, int sizeIncrease, int weight, fx::CFont& font)
{
    LOGFONTW logFont{};
    if (!GetObjectW(GetWindowFontOrDefault(window), sizeof(logFont), &logFont)) return false;
    if (sizeIncrease != 0) {
        if (weight > 0) logFont.lfWeight = weight;
        // Heights are negative for character heights: subtracting makes the font taller.
        logFont.lfHeight -= sizeIncrease;
    }
    font.Reset(CreateFontIndirectW(&logFont));
    return static_cast<bool>(font);
}

int MeasureTextWidth(HWND window, HDC dc, const std::wstring& text, int sizeIncrease, int weight)
{
    if (!window || !dc) return -1;
    fx::CFont font;
    if (!DeriveFont(window, sizeIncrease, weight, font)) return -1;
    fx::CSelectObject select(dc, font.Get());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}
