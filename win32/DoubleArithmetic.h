#pragma once

#include <cfloat>

// Progress percentages are doubles truncated to integers, and where 29 / 100 * 100 lands (28 or
// 29) depends on the precision of the arithmetic. Every build computes as x86-64 does: in double
// precision, never in x87's wider registers (the i686 toolchain file selects SSE2).
static_assert(FLT_EVAL_METHOD == 0, "doubles must be evaluated in double precision");
