#pragma once
// The real program's pictures for the screenshot program: the main window and what it shows.
#include <string>

// Writes main*.png, viewer-open.png, about.png, save-as-over-program.png and the start-up prompts
// into `folder`.
bool ShootProgram(const std::wstring& folder);
