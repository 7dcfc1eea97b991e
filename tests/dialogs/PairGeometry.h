#pragma once
// Checks where a dialog pair's frame and child lie on the screen.
#include "tests/uidriver/UiTestSupport.h"

#include <doctest.h>

// The frame's size, and the child's margins inside it (left, top, right, bottom).
inline void CheckPairGeometry(HWND frame, HWND child, SIZE frameSize, const RECT& inset)
{
    const RECT f = ui::WindowRect(frame);
    const RECT c = ui::WindowRect(child);
    CHECK(ui::SizeOf(f).cx == frameSize.cx);
    CHECK(ui::SizeOf(f).cy == frameSize.cy);
    CHECK(c.left - f.left == inset.left);
    CHECK(c.top - f.top == inset.top);
    CHECK(f.right - c.right == inset.right);
    CHECK(f.bottom - c.bottom == inset.bottom);
}
