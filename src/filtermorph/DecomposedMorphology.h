// Helpers of the decomposed filter method that the dialogs, the tests and the benchmark share.
#pragma once

#include <cstdint>

namespace dt::filtermorph {

// The green level of drawing pass `pass` (0-based filter row) for a filter of `filterHeight`
// rows: passes brighten in steps of 128 / filterHeight from 127, capped at 255.
int PassShade(int pass, int filterHeight);

}  // namespace dt::filtermorph
