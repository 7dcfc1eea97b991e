#pragma once
// The main window's design measures at scale 1.0 (its background picture, IDB_MAIN_BACKGROUND, is
// drawn to them), for the window itself and for what stands in for it.
namespace main_design {

constexpr float kWidth = 400;
constexpr float kHeight = 600;
// The bottom row (the agreement check box, its link and the feedback link): 25 above the bottom edge
// and 20 high.
constexpr float kRowFromBottom = 25;
constexpr float kRowHeight = 20;

}  // namespace main_design
