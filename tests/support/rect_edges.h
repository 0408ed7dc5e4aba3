// A rectangle's four edges as one value, so that tests compare and print them in one check.
#pragma once

#include <array>

#include "platform/platform.h"

inline std::array<int, 4> Edges(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
