#pragma once

// The size of the trace area most view tests lay their window out at.
inline constexpr int kViewWidth = 400;
inline constexpr int kViewHeight = 300;
